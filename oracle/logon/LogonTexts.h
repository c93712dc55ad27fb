// The user-visible texts of the logon dialogs (and three record-conflict messages of the dataset):
// process-wide, English by default, switched once at start-up to Norwegian Bokmål or Nynorsk by
// the user's locale. Dialogs read them each time they are prepared.
#pragma once

#include <cstdint>
#include <string>

namespace oracle {

struct TLogonTexts {
  std::string LogonCaptionText = "Oracle Logon";
  std::string ChangePasswordText = "Change password";
  std::string ConfirmText = "Confirm";
  std::string UsernameText = "Username";
  std::string PasswordText = "Password";
  std::string DatabaseText = "Database";
  std::string ConnectAsLabelText = "Connect as";
  std::string NewPasswordText = "New password";
  std::string OldPasswordText = "Old password";
  std::string VerificationText = "Verification";
  std::string VerificationFailedText = "Verification failed";
  std::string ChangePasswordNowText = "Do you wish to change your password now?";
  std::string PasswordExpiredText = "Your password has expired";
  std::string OKText = "OK";
  std::string CancelText = "Cancel";
  std::string LogonHistoryText = "Logon history";
  std::string RecordLockedText = "Record is locked by another user";
  std::string RecordChangedText = "Record has been changed by another user";
  std::string RecordDeletedText = "Record has been deleted by another user";
};

// The process-wide texts. Written at start-up and by a logon component's Caption only.
TLogonTexts& LogonTexts();

// Puts the English defaults back (start-up, and tests that change texts).
void ResetLogonTexts();

// Replaces the texts by the Norwegian ones when the language identifier (a Windows LANGID:
// primary language in the low 10 bits, sublanguage in the next 6) asks for Bokmål or Nynorsk.
void SelectLanguageTexts(std::uint16_t languageId);
// The start-up step: the same, for the user's locale as the locale service reports it.
void SelectLanguageTexts();

}  // namespace oracle
