// The dialog texts by the user's locale, and a component's Caption over them.
#include "oracle/logon/LogonTexts.h"

#include <gtest/gtest.h>

#include "support/ScriptedPort.h"
#include "oracle/logon/LogOnForm.h"
#include "oracle/logon/OracleLogon.h"
#include "oracle/session/OracleSession.h"
#include "platform/FakeProcess.h"
#include "platform/PosixLocale.h"
#include "platform/Services.h"

namespace oracle {
namespace {

class LogonTextsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetLogonTexts(); }
  void TearDown() override { ResetLogonTexts(); }
};

// What the logon dialog reads, for each locale.
struct Shown {
  std::string caption, username, password, database, connectAs, ok, cancel, confirm, hint,
      changeNow;
};

Shown shownTexts() {
  const TLogonTexts& t = LogonTexts();
  return {t.LogonCaptionText, t.UsernameText, t.PasswordText,
          t.DatabaseText,     t.ConnectAsLabelText, t.OKText,
          t.CancelText,       t.ConfirmText,  t.LogonHistoryText,
          t.ChangePasswordNowText};
}

bool operator==(const Shown& a, const Shown& b) {
  return a.caption == b.caption && a.username == b.username && a.password == b.password &&
         a.database == b.database && a.connectAs == b.connectAs && a.ok == b.ok &&
         a.cancel == b.cancel && a.confirm == b.confirm && a.hint == b.hint &&
         a.changeNow == b.changeNow;
}

void PrintTo(const Shown& s, std::ostream* os) {
  *os << s.caption << '|' << s.username << '|' << s.confirm << '|' << s.cancel << '|' << s.hint;
}

const Shown kEnglish{"Oracle Logon", "Username", "Password", "Database", "Connect as", "OK",
                     "Cancel", "Confirm", "Logon history",
                     "Do you wish to change your password now?"};
const Shown kBokmal{"Oracle-pålogging", "Brukernavn", "Passord", "Database", "Connect as", "OK",
                    "Avbryt", "Bekreft", "Påloggingshistorie", "Vil du forandre passordet nå?"};
const Shown kNynorsk{"Oracle-pålogging", "Brukarnamn", "Passord", "Database", "Connect as", "OK",
                     "Avbryt", "Stadfest", "Påloggingshistorie", "Vil du endre passordet no?"};

TEST_F(LogonTextsTest, LanguageIdentifierChoosesTheTexts) {
  const std::pair<std::uint16_t, const Shown*> cases[] = {
      {0x0414, &kBokmal},   // Norwegian Bokmål
      {0x0814, &kNynorsk},  // Norwegian Nynorsk
      {0x0409, &kEnglish},  // US English
      {0x0407, &kEnglish},  // German
      {0x0014, &kEnglish},  // Norwegian, neutral sublanguage
      {0x0C14, &kEnglish},  // Norwegian, a sublanguage of neither kind
      {0x0415, &kEnglish},  // Polish: sublanguage 1 of another language
  };
  for (const auto& [id, expected] : cases) {
    ResetLogonTexts();
    SelectLanguageTexts(id);
    EXPECT_EQ(shownTexts(), *expected) << std::hex << id;
  }
}

TEST_F(LogonTextsTest, EveryReplacedTextChangesAndTheDatasetTextsFollow) {
  SelectLanguageTexts(0x0814);
  const TLogonTexts& t = LogonTexts();
  EXPECT_EQ(t.ChangePasswordText, "Endre passord");
  EXPECT_EQ(t.OldPasswordText, "Gamalt passord");
  EXPECT_EQ(t.VerificationFailedText, "Mislykka verifikasjon");
  EXPECT_EQ(t.PasswordExpiredText, "Levetida for passordet er over");
  EXPECT_EQ(t.RecordLockedText, "Posten er låst av ein annan brukar");
  EXPECT_EQ(t.RecordChangedText, "Posten er endra av ein annan brukar");
  EXPECT_EQ(t.RecordDeletedText, "Posten er sletta av ein annan brukar");
  ResetLogonTexts();
  SelectLanguageTexts(0x0414);
  EXPECT_EQ(t.ChangePasswordText, "Forandre passord");
  EXPECT_EQ(t.NewPasswordText, "Nytt passord");
  EXPECT_EQ(t.VerificationText, "Verifiser");
  EXPECT_EQ(t.PasswordExpiredText, "Levetiden for passordet er over");
  EXPECT_EQ(t.RecordDeletedText, "Posten er slettet av en annen bruker");
}

TEST_F(LogonTextsTest, StartUpStepReadsTheUserLocale) {
  const std::pair<const char*, const Shown*> cases[] = {
      {"nb_NO.UTF-8", &kBokmal}, {"nn_NO.UTF-8", &kNynorsk}, {"de_DE.UTF-8", &kEnglish},
      {"", &kEnglish}};
  for (const auto& [lang, expected] : cases) {
    platform::testing::FakeProcess process;
    if (*lang != '\0') process.env["LANG"] = lang;
    platform::PosixLocale locale;
    const platform::ScopedServices services({.process = &process, .locale = &locale});
    ResetLogonTexts();
    SelectLanguageTexts();
    EXPECT_EQ(shownTexts(), *expected) << lang;
  }
}

// A component's Caption is written into the shared caption text and wins over the locale's,
// also for the later dialogs of other components.
TEST_F(LogonTextsTest, ComponentCaptionWinsAndStays) {
  SelectLanguageTexts(0x0414);
  testsupport::ScriptedPort port;
  port.OnModal().PressEscape();
  port.OnModal().PressEscape();

  TOracleSession session(nullptr);
  TOracleLogon withCaption(nullptr);
  withCaption.SetSession(&session);
  withCaption.SetOptions({ldDatabase});
  withCaption.SetCaption("Kundedatabase");
  TOracleLogon plain(nullptr);
  plain.SetSession(&session);
  plain.SetOptions({ldDatabase});

  EXPECT_FALSE(withCaption.Execute());
  EXPECT_FALSE(plain.Execute());
  EXPECT_EQ(port.Captions(), (std::vector<std::string>{"Kundedatabase", "Kundedatabase"}));
}

}  // namespace
}  // namespace oracle
