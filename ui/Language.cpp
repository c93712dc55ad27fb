// The process-wide choice of language for the front ends' own words.
#include "ui/Language.h"

#include <atomic>

namespace ui {
namespace {

constexpr std::uint16_t kPrimaryNorwegian = 0x14;
constexpr std::uint16_t kSubBokmal = 1;
constexpr std::uint16_t kSubNynorsk = 2;

std::atomic<Language>& current() {
  static std::atomic<Language> language{Language::English};
  return language;
}

}  // namespace

Language LanguageFromId(std::uint16_t languageId) {
  if ((languageId & 0x3FF) != kPrimaryNorwegian) return Language::English;
  const std::uint16_t sub = languageId >> 10;
  return sub == kSubBokmal    ? Language::Bokmal
         : sub == kSubNynorsk ? Language::Nynorsk
                              : Language::English;
}

Language CurrentLanguage() {
  return current().load();
}
void SetLanguage(Language language) {
  current().store(language);
}

std::string Say(const Words& words) {
  switch (CurrentLanguage()) {
    case Language::Bokmal:
      return words.bokmal;
    case Language::Nynorsk:
      return words.nynorsk;
    case Language::English:
      break;
  }
  return words.english;
}

std::string Say(const Words& words, std::initializer_list<std::string> values) {
  std::string text = Say(words);
  int n = 0;
  for (const std::string& value : values) {
    const std::string mark = "{" + std::to_string(++n) + "}";
    for (std::size_t at = text.find(mark); at != std::string::npos;
         at = text.find(mark, at + value.size()))
      text.replace(at, mark.size(), value);
  }
  return text;
}

}  // namespace ui
