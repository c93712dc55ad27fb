// Loads the logon history from arbitrary stored forms and stores it again. The first byte picks
// the form: the scrambled digit text alone, a registry file (.reg text) or an ini file, each held
// in memory; the rest is the text. A scrambled text of any characters must unscramble to itself.
// Any other crash, hang, leak or sanitizer report is a finding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "oracle/logon/LogonHistory.h"
#include "oracle/logon/LogonHistoryStorage.h"
#include "platform/Profile.h"
#include "platform/RegFileRegistry.h"
#include "platform/Services.h"
#include "platform/internal/IniDocument.h"

namespace {

// One ini file in memory, whatever the file name.
class MemoryProfile : public platform::Profile {
 public:
  explicit MemoryProfile(std::string_view text) : document_(text) {}
  std::string readString(const std::string&, std::string_view section, std::string_view key,
                         std::string_view defaultValue) const override {
    return document_.value(section, key).value_or(std::string(defaultValue));
  }
  std::vector<std::string> readSectionKeys(const std::string&,
                                           std::string_view section) const override {
    return document_.keys(section);
  }
  bool writeString(const std::string&, std::string_view section, std::string_view key,
                   std::string_view value) override {
    return document_.setValue(section, key, value);
  }
  bool eraseSection(const std::string&, std::string_view section) override {
    document_.eraseSection(section);
    return true;
  }

 private:
  platform::internal::IniDocument document_;
};

void require(bool condition) {
  if (!condition) __builtin_trap();
}

constexpr std::size_t kLongestStored = 519;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  oracle::THistoryItems list;
  list.WithPassword = (data[0] & 4) != 0;
  switch (data[0] % 3) {
    case 0: {
      oracle::UnscrambleHistoryText(text);
      const std::string plain = text.substr(0, kLongestStored);
      require(oracle::UnscrambleHistoryText(oracle::ScrambleHistoryText(plain)) == plain);
      break;
    }
    case 1: {
      platform::RegFileRegistry registry(platform::RegText{text});
      platform::Services services;
      services.registry = &registry;
      platform::ScopedServices scope(services);
      const std::string key = "Software\\Fuzz\\History";
      oracle::ReadHistoryFromRegistry(list, key);
      oracle::WriteHistoryToRegistry(list, key);
      oracle::THistoryItems again;
      oracle::ReadHistoryFromRegistry(again, key);
      break;
    }
    default: {
      MemoryProfile profile(text);
      platform::Services services;
      services.profile = &profile;
      platform::ScopedServices scope(services);
      oracle::ReadHistoryFromIniFile(list, "history.ini");
      oracle::WriteHistoryToIniFile(list, "history.ini");
      oracle::THistoryItems again;
      oracle::ReadHistoryFromIniFile(again, "history.ini");
      break;
    }
  }
  return 0;
}
