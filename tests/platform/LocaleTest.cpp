#include <gtest/gtest.h>

#include "platform/FakeProcess.h"
#include "platform/PosixLocale.h"
#include "platform/Services.h"

namespace platform {
namespace {

TEST(PosixLocale, LocaleNamesGiveLanguageIdsAndSeparators) {
  struct Case {
    const char* name;
    std::uint16_t id;
    char separator;
  };
  const Case cases[] = {
      {"nb_NO.UTF-8", kLangNorwegianBokmal, ','},
      {"no_NO", kLangNorwegianBokmal, ','},
      {"nb_NO", 0x0414, ','},
      {"nn_NO.UTF-8", kLangNorwegianNynorsk, ','},
      {"nn", kLangNorwegianNynorsk, ','},
      {"NB_no.utf8", 0x0414, ','},  // letter case of the name does not count
      {"en_US.UTF-8", kLangEnglishUS, '.'},
      {"en_GB.UTF-8", 0x0809, '.'},
      {"en", 0x0409, '.'},
      {"de_DE.UTF-8@euro", 0x0407, ','},
      {"de_AT", 0x0C07, ','},
      {"de_CH.UTF-8", 0x0807, '.'},
      {"sv_SE.UTF-8", 0x041D, ','},
      {"da_DK", 0x0406, ','},
      {"fi_FI", 0x040B, ','},
      {"sv_XX", 0x041D, ','},  // known language, unknown territory: its main variant
      {"C", kLangEnglishUS, '.'},
      {"C.UTF-8", kLangEnglishUS, '.'},
      {"POSIX", kLangEnglishUS, '.'},
      {"", kLangEnglishUS, '.'},
      {"xx_YY", kLangEnglishUS, '.'},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(languageIdOfLocaleName(c.name), c.id) << c.name;
    EXPECT_EQ(decimalSeparatorOfLocaleName(c.name), c.separator) << c.name;
  }
}

TEST(PosixLocale, VariablesTakePrecedenceInPosixOrder) {
  testing::FakeProcess env;
  ScopedServices scoped({.process = &env});
  PosixLocale locale;

  EXPECT_EQ(locale.languageId(), kLangEnglishUS);  // nothing set
  EXPECT_EQ(locale.decimalSeparator(), '.');

  env.env["LANG"] = "nn_NO.UTF-8";
  EXPECT_EQ(locale.languageId(), kLangNorwegianNynorsk);
  EXPECT_EQ(locale.decimalSeparator(), ',');

  env.env["LC_MESSAGES"] = "nb_NO.UTF-8";
  env.env["LC_NUMERIC"] = "en_US.UTF-8";
  EXPECT_EQ(locale.languageId(), kLangNorwegianBokmal);  // LC_MESSAGES over LANG
  EXPECT_EQ(locale.decimalSeparator(), '.');             // LC_NUMERIC over LANG

  env.env["LC_ALL"] = "de_DE.UTF-8";
  EXPECT_EQ(locale.languageId(), 0x0407);  // LC_ALL over everything
  EXPECT_EQ(locale.decimalSeparator(), ',');

  env.env["LC_ALL"] = "";  // an empty variable counts as unset
  EXPECT_EQ(locale.languageId(), kLangNorwegianBokmal);

  env.env["LC_ALL"] = "C";
  EXPECT_EQ(locale.languageId(), kLangEnglishUS);
  EXPECT_EQ(locale.decimalSeparator(), '.');
}

}  // namespace
}  // namespace platform
