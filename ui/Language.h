// The language the front ends' own words are in (prompts, hints, advice): English, or Norwegian
// Bokmål or Nynorsk, chosen once at start-up by the user's locale like the logon dialogs' texts.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace ui {

enum class Language { English, Bokmal, Nynorsk };

// From a Windows language identifier (primary language in the low 10 bits, sublanguage above).
Language LanguageFromId(std::uint16_t languageId);

Language CurrentLanguage();
void SetLanguage(Language language);

// One text in the three languages; Say picks the current one.
struct Words {
  const char* english;
  const char* bokmal;
  const char* nynorsk;
};
std::string Say(const Words& words);
// Say with {1}, {2}, ... replaced by the given values.
std::string Say(const Words& words, std::initializer_list<std::string> values);

}  // namespace ui
