// The in-memory record host and its fields.
#include "oracle/filter/MemoryRecordHost.h"

#include <cstdint>

#include "oracle/filter/EExpression.h"
#include "oracle/filter/internal/LocaleRules.h"

namespace oracle {
namespace {

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

const Variant& nullValue() {
  static const Variant value = Variant::null();
  return value;
}

// Runs a variant conversion, turning its failure into the filter's exception.
template <typename F>
auto convert(F&& f) -> decltype(f()) {
  try {
    return f();
  } catch (const VariantConversionError& e) {
    throw EExpression(e.what());
  }
}

}  // namespace

class TMemoryRecordHost::Field : public TRecordField {
 public:
  Field(const TMemoryRecordHost& host, int index, std::string name, TFieldDataType type)
      : host_(host), index_(index), name_(std::move(name)), type_(type) {}

  const std::string& Name() const { return name_; }

  TFieldDataType DataType() const override { return type_; }
  bool IsNull() const override { return Value().isMissing(); }

  double AsDateTime() const override {
    const Variant& v = Value();
    if (v.isMissing()) return 0;
    if (v.type() == VariantType::String) {
      const std::string text = v.toString();
      const auto rules = filter_internal::localeRules();
      if (const auto date = filter_internal::parseDateTime(text, rules)) return *date;
      throw EExpression("'" + text + "' is not a valid date");
    }
    return convert([&] { return v.toDate(); });
  }

  std::string AsString() const override {
    const Variant& v = Value();
    if (v.isMissing()) return {};
    switch (type_) {
      case fdDate:
      case fdTime:
      case fdDateTime:
        return filter_internal::formatDateTime(AsDateTime(), filter_internal::localeRules());
      case fdFloat:
      case fdCurrency:
      case fdBCD:
        return filter_internal::formatFloat(AsFloat(),
                                            filter_internal::localeRules().decimalSeparator);
      default:
        return convert([&] { return v.toString(); });
    }
  }

  double AsFloat() const override {
    const Variant& v = Value();
    return v.isMissing() ? 0 : convert([&] { return v.toDouble(); });
  }

  std::int32_t AsInteger() const override {
    const Variant& v = Value();
    if (v.isMissing()) return 0;
    const std::int64_t value = convert([&] { return v.toInt(); });
    if (value < INT32_MIN || value > INT32_MAX) throw EExpression("Integer overflow");
    return static_cast<std::int32_t>(value);
  }

  bool AsBoolean() const override {
    const Variant& v = Value();
    return !v.isMissing() && convert([&] { return v.toBool(); });
  }

 private:
  const Variant& Value() const { return host_.Value(index_); }

  const TMemoryRecordHost& host_;
  int index_;
  std::string name_;
  TFieldDataType type_;
};

TMemoryRecordHost::TMemoryRecordHost() = default;
TMemoryRecordHost::~TMemoryRecordHost() = default;

int TMemoryRecordHost::AddField(std::string name, TFieldDataType type) {
  const int index = FieldCount();
  fields_.push_back(std::make_unique<Field>(*this, index, std::move(name), type));
  for (auto& record : records_) record.push_back(Variant::null());
  return index;
}

void TMemoryRecordHost::AddRecord(std::vector<Variant> values) {
  values.resize(fields_.size(), Variant::null());
  records_.push_back(std::move(values));
}

const Variant& TMemoryRecordHost::Value(int field) const {
  if (current_ < 0 || current_ >= RecordCount() || field < 0 || field >= FieldCount())
    return nullValue();
  return records_[static_cast<std::size_t>(current_)][static_cast<std::size_t>(field)];
}

const TRecordField* TMemoryRecordHost::FindField(std::string_view name) const {
  for (const auto& field : fields_) {
    if (sameName(field->Name(), name)) return field.get();
  }
  return nullptr;
}

}  // namespace oracle
