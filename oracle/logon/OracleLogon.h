// TOracleLogon: asks the user for logon parameters and logs a session on, with retries, the
// password change dialog, and the logon history.
#pragma once

#include <cstdint>
#include <string>

#include "oracle/core/Component.h"
#include "oracle/logon/LogonOptions.h"
#include "ui/Form.h"

namespace oracle {

class TOracleSession;

class TOracleLogon : public TComponent {
 public:
  explicit TOracleLogon(TComponent* owner);
  ~TOracleLogon() override;

  const char* ClassName() const override { return "TOracleLogon"; }
  const char* ParentClassName() const override { return "TComponent"; }

  TOracleSession* Session() const { return session_; }
  void SetSession(TOracleSession* session);
  std::uint16_t Retries() const { return retries_; }
  void SetRetries(std::uint16_t value) { retries_ = value; }
  TLogonOptions Options() const { return options_; }
  void SetOptions(TLogonOptions value) { options_ = value; }
  std::int32_t AliasDropDownCount() const { return aliasDropDownCount_; }
  void SetAliasDropDownCount(std::int32_t value) { aliasDropDownCount_ = value; }
  const std::string& HistoryRegSection() const { return historyRegSection_; }
  void SetHistoryRegSection(std::string value) { historyRegSection_ = std::move(value); }
  const std::string& HistoryIniFile() const { return historyIniFile_; }
  void SetHistoryIniFile(std::string value) { historyIniFile_ = std::move(value); }
  std::int32_t HistorySize() const { return historySize_; }
  void SetHistorySize(std::int32_t value) { historySize_ = value; }
  bool HistoryWithPassword() const { return historyWithPassword_; }
  void SetHistoryWithPassword(bool value) { historyWithPassword_ = value; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string value) { caption_ = std::move(value); }
  const ui::Picture& Picture() const { return picture_; }
  void SetPicture(const ui::Picture& value) { picture_ = value; }

  // Runs the whole logon exchange. True when the dialog was confirmed at least once or an
  // automatic logon was attempted; the caller tells success by the session's Connected.
  bool Execute();

  void Notification(TComponent* component, TOperation operation) override;

 private:
  TOracleSession* session_ = nullptr;
  std::uint16_t retries_ = 2;
  TLogonOptions options_{ldAuto, ldDatabase};
  std::int32_t aliasDropDownCount_ = 8;
  std::string historyRegSection_;
  std::string historyIniFile_;
  std::int32_t historySize_ = 6;
  bool historyWithPassword_ = false;
  std::string caption_;
  ui::Picture picture_;
};

// The dialog operation behind Execute. `options` is the component's own: the removal of ldAuto
// is written through it. Raises "Session undefined" without a session.
bool LogonDialog(TOracleSession* session, std::uint16_t retries, std::int32_t aliasDropDownCount,
                 const ui::Picture& picture, TLogonOptions& options);

// The value of the first program argument that contains `name` followed by "=" (letter case
// ignored): the argument's text from position length(name) + 2 on, at most 255 characters.
std::string CommandLineValue(const std::string& name);

// True while a Ctrl key is held.
bool ControlKeyDown();

// Which user, database and connect-as mode the session's last logon used, with the dialog's
// labels ("Username: scott, Database: DEMO, Connect as: Normal"). A mode typed after "as" that
// is no mode has become Normal by the connect-string rule; this is where the user sees that.
std::string LogonAttemptDescription(const TOracleSession& session);

// What the program tells its user to do when the client library does not load, shown under the
// layer's "Initialization error" message in the logon dialog. Empty (the default): nothing.
const std::string& ClientLoadAdvice();
void SetClientLoadAdvice(std::string advice);

}  // namespace oracle
