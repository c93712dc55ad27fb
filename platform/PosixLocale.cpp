// Table-driven mapping of POSIX locale names to LANGIDs and decimal separators. A table rather than
// the C library's locale data: the result must not depend on which locales the machine generated.
#include "platform/PosixLocale.h"

#include <optional>
#include <string>

#include "platform/Process.h"
#include "platform/Services.h"
#include "platform/internal/Text.h"

namespace platform {
namespace {

struct LocaleParts {
  std::string language;   // lower case, "nb"
  std::string territory;  // lower case, "no"
};

// "ll_TT.codeset@modifier" into its language and territory.
LocaleParts splitLocaleName(std::string_view name) {
  const std::size_t end = name.find_first_of(".@");
  if (end != std::string_view::npos) name = name.substr(0, end);
  LocaleParts parts;
  const std::size_t sep = name.find_first_of("_-");
  parts.language = internal::lowerAscii(name.substr(0, sep));
  if (sep != std::string_view::npos) parts.territory = internal::lowerAscii(name.substr(sep + 1));
  return parts;
}

struct TerritoryId {
  const char* language;
  const char* territory;  // nullptr: the language's main variant
  std::uint16_t id;
};

// Windows LANGIDs: primary language in the low 10 bits, sublanguage above.
constexpr TerritoryId kLanguageIds[] = {
    {"nb", nullptr, 0x0414}, {"no", nullptr, 0x0414}, {"nn", nullptr, 0x0814},
    {"en", nullptr, 0x0409}, {"en", "gb", 0x0809},    {"en", "au", 0x0C09},
    {"en", "ca", 0x1009},    {"en", "nz", 0x1409},    {"en", "ie", 0x1809},
    {"de", nullptr, 0x0407}, {"de", "ch", 0x0807},    {"de", "at", 0x0C07},
    {"sv", nullptr, 0x041D}, {"sv", "fi", 0x081D},    {"da", nullptr, 0x0406},
    {"fi", nullptr, 0x040B}, {"is", nullptr, 0x040F}, {"fr", nullptr, 0x040C},
    {"fr", "be", 0x080C},    {"fr", "ca", 0x0C0C},    {"fr", "ch", 0x100C},
    {"es", nullptr, 0x0C0A}, {"es", "mx", 0x080A},    {"it", nullptr, 0x0410},
    {"nl", nullptr, 0x0413}, {"nl", "be", 0x0813},    {"pt", nullptr, 0x0816},
    {"pt", "br", 0x0416},    {"pl", nullptr, 0x0415}, {"cs", nullptr, 0x0405},
    {"ru", nullptr, 0x0419}, {"et", nullptr, 0x0425}, {"ja", nullptr, 0x0411},
    {"zh", nullptr, 0x0804}, {"zh", "tw", 0x0404},
};

// Languages whose usual number format has a decimal comma.
constexpr const char* kDecimalCommaLanguages[] = {"nb", "nn", "no", "de", "sv", "da",
                                                  "fi", "is", "fr", "es", "it", "nl",
                                                  "pt", "pl", "cs", "ru", "et"};

// Territories of those languages that write a decimal point after all.
constexpr TerritoryId kDecimalPointTerritories[] = {
    {"de", "ch", 0}, {"it", "ch", 0}, {"fr", "ch", 0}, {"es", "mx", 0}};

std::optional<std::string> firstSet(std::initializer_list<const char*> names) {
  for (const char* name : names) {
    std::optional<std::string> value = process().getEnv(name);
    if (value && !value->empty()) return value;
  }
  return std::nullopt;
}

}  // namespace

std::uint16_t languageIdOfLocaleName(std::string_view localeName) {
  const LocaleParts parts = splitLocaleName(localeName);
  std::uint16_t main = 0;
  for (const TerritoryId& row : kLanguageIds) {
    if (parts.language != row.language) continue;
    if (row.territory == nullptr) {
      main = row.id;
    } else if (parts.territory == row.territory) {
      return row.id;
    }
  }
  return main != 0 ? main : kLangEnglishUS;
}

char decimalSeparatorOfLocaleName(std::string_view localeName) {
  const LocaleParts parts = splitLocaleName(localeName);
  for (const TerritoryId& row : kDecimalPointTerritories) {
    if (parts.language == row.language && parts.territory == row.territory) return '.';
  }
  for (const char* language : kDecimalCommaLanguages) {
    if (parts.language == language) return ',';
  }
  return '.';
}

std::uint16_t PosixLocale::languageId() const {
  return languageIdOfLocaleName(firstSet({"LC_ALL", "LC_MESSAGES", "LANG"}).value_or(""));
}

char PosixLocale::decimalSeparator() const {
  return decimalSeparatorOfLocaleName(firstSet({"LC_ALL", "LC_NUMERIC", "LANG"}).value_or(""));
}

}  // namespace platform
