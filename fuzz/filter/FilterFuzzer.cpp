// Feeds arbitrary filter texts to ParseFilter and reads every tree it returns against a fixed
// record. The first byte picks the filter options and the conventions; the rest is the text.
// Any failure other than EExpression, any leak, hang or sanitizer report is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "oracle/core/DateTime.h"
#include "oracle/filter/ColumnExpression.h"
#include "oracle/filter/EExpression.h"
#include "oracle/filter/MemoryRecordHost.h"
#include "oracle/filter/ParseFilter.h"
#include "oracle/filter/internal/LocaleRules.h"
#include "platform/Locale.h"

namespace {

using namespace oracle;

// EMPNO, ENAME, SAL, HIREDATE, FLAG, COMM (null), NOTE: one record of each kind of field.
const TMemoryRecordHost& host() {
  static TMemoryRecordHost* records = [] {
    auto* h = new TMemoryRecordHost;
    h->AddField("EMPNO", fdInteger);
    h->AddField("ENAME", fdString);
    h->AddField("SAL", fdFloat);
    h->AddField("HIREDATE", fdDateTime);
    h->AddField("FLAG", fdBoolean);
    h->AddField("COMM", fdCurrency);
    h->AddField("NOTE", fdMemo);
    h->AddRecord({7369, "SMITH", 800.5, Variant::fromDate(*encodeDate(1980, 12, 17) + 0.25), true,
                  Variant::null(), "Ære være 1.2.2003"});
    h->SetCurrentRecord(0);
    return h;
  }();
  return *records;
}

template <typename Read>
void attempt(Read&& read) {
  try {
    read();
  } catch (const EExpression&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t control = data[0];
  TFilterOptions options;
  if (control & 1) options.insert(foCaseInsensitive);
  if (control & 2) options.insert(foNoPartialCompare);
  const filter_internal::ScopedLocaleRules locale(filter_internal::rulesForLanguage(
      control & 4 ? platform::kLangNorwegianBokmal : platform::kLangEnglishUS,
      control & 8 ? ',' : '.'));
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  std::unique_ptr<TExpression> root;
  try {
    root = ParseFilter(text, options, ColumnResolver(host()));
  } catch (const EExpression&) {
    return 0;
  }
  if (!root) return 0;
  attempt([&] { root->ExprType(); });
  attempt([&] { root->IsNull(); });
  attempt([&] { root->AsBoolean(); });
  attempt([&] { root->AsString(); });
  attempt([&] { root->AsFloat(); });
  attempt([&] { root->AsInteger(); });
  attempt([&] { root->AsDate(); });
  return 0;
}
