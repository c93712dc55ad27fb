// The text table and the start-up language choice.
#include "oracle/logon/LogonTexts.h"

#include "platform/Locale.h"
#include "platform/Services.h"

namespace oracle {
namespace {

constexpr std::uint16_t kPrimaryNorwegian = 0x14;
constexpr std::uint16_t kSubBokmal = 1;
constexpr std::uint16_t kSubNynorsk = 2;

TLogonTexts& instance() {
  static TLogonTexts texts;
  return texts;
}

void applyBokmal(TLogonTexts& t) {
  t.LogonCaptionText = "Oracle-pålogging";
  t.ChangePasswordText = "Forandre passord";
  t.ConfirmText = "Bekreft";
  t.UsernameText = "Brukernavn";
  t.PasswordText = "Passord";
  t.DatabaseText = "Database";
  t.NewPasswordText = "Nytt passord";
  t.OldPasswordText = "Gammelt passord";
  t.VerificationText = "Verifiser";
  t.VerificationFailedText = "Mislykket verifikasjon";
  t.ChangePasswordNowText = "Vil du forandre passordet nå?";
  t.PasswordExpiredText = "Levetiden for passordet er over";
  t.OKText = "OK";
  t.CancelText = "Avbryt";
  t.LogonHistoryText = "Påloggingshistorie";
  t.RecordLockedText = "Posten er låst av en annen bruker";
  t.RecordChangedText = "Posten er endret av en annen bruker";
  t.RecordDeletedText = "Posten er slettet av en annen bruker";
}

void applyNynorsk(TLogonTexts& t) {
  t.LogonCaptionText = "Oracle-pålogging";
  t.ChangePasswordText = "Endre passord";
  t.ConfirmText = "Stadfest";
  t.UsernameText = "Brukarnamn";
  t.PasswordText = "Passord";
  t.DatabaseText = "Database";
  t.NewPasswordText = "Nytt passord";
  t.OldPasswordText = "Gamalt passord";
  t.VerificationText = "Verifiser";
  t.VerificationFailedText = "Mislykka verifikasjon";
  t.ChangePasswordNowText = "Vil du endre passordet no?";
  t.PasswordExpiredText = "Levetida for passordet er over";
  t.OKText = "OK";
  t.CancelText = "Avbryt";
  t.LogonHistoryText = "Påloggingshistorie";
  t.RecordLockedText = "Posten er låst av ein annan brukar";
  t.RecordChangedText = "Posten er endra av ein annan brukar";
  t.RecordDeletedText = "Posten er sletta av ein annan brukar";
}

}  // namespace

TLogonTexts& LogonTexts() { return instance(); }

void ResetLogonTexts() { instance() = TLogonTexts{}; }

void SelectLanguageTexts(std::uint16_t languageId) {
  const std::uint16_t primary = languageId & 0x3FF;
  const std::uint16_t sub = languageId >> 10;
  if (primary != kPrimaryNorwegian) return;
  if (sub == kSubBokmal) applyBokmal(instance());
  if (sub == kSubNynorsk) applyNynorsk(instance());
}

void SelectLanguageTexts() { SelectLanguageTexts(platform::locale().languageId()); }

}  // namespace oracle
