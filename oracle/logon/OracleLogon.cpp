// The logon component and its attempt loop.
#include "oracle/logon/OracleLogon.h"

#include <algorithm>
#include <cctype>

#include "oracle/core/Exception.h"
#include "oracle/logon/ClientAccess.h"
#include "oracle/logon/LogOnForm.h"
#include "oracle/logon/LogonHistory.h"
#include "oracle/logon/LogonHistoryStorage.h"
#include "oracle/logon/LogonTexts.h"
#include "oracle/logon/PasswordDialog.h"
#include "oracle/session/ConnectString.h"
#include "oracle/session/OracleError.h"
#include "oracle/session/OracleSession.h"
#include "platform/Process.h"
#include "platform/Services.h"
#include "ui/UiPort.h"

namespace oracle {
namespace {

constexpr int kPasswordExpired = 28001;

bool containsIgnoringCase(const std::string& text, const std::string& part) {
  auto it = std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
    return std::toupper(static_cast<unsigned char>(a)) ==
           std::toupper(static_cast<unsigned char>(b));
  });
  return it != text.end();
}

void refillFromSession(TLogOnForm& form, const TOracleSession& session, TLogonOptions options) {
  form.UsernameEdit.text = session.LogonUsername();
  form.PasswordEdit.text = session.LogonPassword();
  form.SetDatabaseText(options, session.LogonDatabase());
}

}  // namespace

std::string LogonAttemptDescription(const TOracleSession& session) {
  std::string username = session.LogonUsername();
  std::string database = session.LogonDatabase();
  TConnectAsOption connectAs = session.ConnectAs();
  // A logon that failed before the session split a full connect string typed as the username
  // (the client did not load) still has it whole: split it here, so the password never shows.
  TConnectStringParts parts;
  if (username.find_first_of("/@") != std::string::npos && ParseConnectString(username, parts)) {
    username = parts.Username;
    if (!parts.Database.empty()) database = parts.Database;
    if (!parts.ConnectAs.empty()) connectAs = ConnectAsFromText(parts.ConnectAs);
  }
  const TLogonTexts& texts = LogonTexts();
  const std::string mode = connectAs == caNormal ? "Normal" : ConnectAsText(connectAs);
  return texts.UsernameText + ": " + username + ", " + texts.DatabaseText + ": " + database + ", " +
         texts.ConnectAsLabelText + ": " + mode;
}

namespace {

// One confirmed attempt: hand the fields to the session and log on. Failures are shown here;
// only exceptions outside the framework's class pass on.
void attemptLogon(TOracleSession& session, TLogOnForm& form, const ui::Picture& picture,
                  TLogonOptions options, bool noHistory) {
  session.SetLogonUsername(form.UsernameEdit.text);
  session.SetLogonPassword(form.PasswordEdit.text);
  session.SetLogonDatabase(form.DatabaseText(options));
  session.SetConnectAs(caNormal);
  if (options.contains(ldConnectAs)) {
    if (form.ConnectAsList.itemIndex == 1) session.SetConnectAs(caSYSDBA);
    if (form.ConnectAsList.itemIndex == 2) session.SetConnectAs(caSYSOPER);
  }
  try {
    if (session.IsODBCLogon() && options.contains(ldDatabaseList)) {
      session.LogOff();
      UnloadClient();
    }
    session.LogOn();
    if (!session.LogonWarning().empty()) {
      const std::string question =
          session.LogonWarning() + "\r\n" + LogonTexts().ChangePasswordNowText;
      if (ui::port().AskYesNo(question))
        ChangePasswordDialog(&session, LogonTexts().PasswordExpiredText, picture);
    }
    if (options.contains(ldLogonHistory) && !noHistory)
      AddHistoryItem(LogonHistory(), session.LogonUsername(), session.LogonPassword(),
                     session.LogonDatabase(), ConnectAsText(session.ConnectAs()), true);
  } catch (const EOracleError& e) {
    if (e.ErrorCode() == kPasswordExpired && ClientRunsOCI8())
      ChangePasswordDialog(&session, LogonTexts().PasswordExpiredText, picture);
    else
      ui::port().ShowDetailedMessage(e.Message(), LogonAttemptDescription(session));
  } catch (const Exception& e) {
    ui::port().ShowDetailedMessage(e.Message(),
                                   ClientLoaded() ? std::string() : ClientLoadAdvice());
  }
}

}  // namespace

TOracleLogon::TOracleLogon(TComponent* owner) : TComponent(owner) {}

TOracleLogon::~TOracleLogon() {
  MarkDestroying();
  SetSession(nullptr);
}

void TOracleLogon::SetSession(TOracleSession* session) {
  if (session == session_) return;
  if (session_ != nullptr) RemoveFreeNotification(session_);
  session_ = session;
  if (session_ != nullptr) FreeNotification(session_);
}

void TOracleLogon::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == session_) session_ = nullptr;
}

namespace {
std::string& clientLoadAdvice() {
  static std::string advice;
  return advice;
}
}  // namespace

const std::string& ClientLoadAdvice() {
  return clientLoadAdvice();
}
void SetClientLoadAdvice(std::string advice) {
  clientLoadAdvice() = std::move(advice);
}

bool TOracleLogon::Execute() {
  if (session_ == nullptr) return false;
  THistoryItems& history = LogonHistory();
  if (options_.contains(ldLogonHistory)) {
    history.WithPassword = historyWithPassword_;
    history.MaxItems = historySize_;
    if (!historyRegSection_.empty()) {
      history.Clear();
      ReadHistoryFromRegistry(history, historyRegSection_);
    } else if (!historyIniFile_.empty()) {
      history.Clear();
      ReadHistoryFromIniFile(history, historyIniFile_);
    }
  }
  if (!caption_.empty()) LogonTexts().LogonCaptionText = caption_;

  const bool result = LogonDialog(session_, retries_, aliasDropDownCount_, picture_, options_);

  if (options_.contains(ldLogonHistory)) {
    // Stored whatever the outcome; a storage failure is not the user's concern here.
    if (!historyRegSection_.empty())
      WriteHistoryToRegistry(history, historyRegSection_);
    else if (!historyIniFile_.empty())
      WriteHistoryToIniFile(history, historyIniFile_);
  }
  return result;
}

bool LogonDialog(TOracleSession* session, std::uint16_t retries, std::int32_t aliasDropDownCount,
                 const ui::Picture& picture, TLogonOptions& options) {
  if (session == nullptr) throw Exception("Session undefined");
  TLogOnForm form;
  form.PrepareLogon(*session, aliasDropDownCount, picture, options, ClientAliasList,
                    ClientOffersOCI8);
  bool result = false;
  unsigned n = 0;
  ui::ModalResult r = ui::ModalResult::Cancel;
  do {
    r = ui::ModalResult::Cancel;
    bool noHistory = false;
    if (options.contains(ldAuto) && n == 0) {
      options.erase(ldAuto);
      const std::string v = CommandLineValue("UserId");
      if (!v.empty()) {
        form.UsernameEdit.text = v;
        form.PasswordEdit.text.clear();
        form.SetDatabaseText(options, "");
        r = ui::ModalResult::OK;
      } else if (!session->LogonUsername().empty() && !session->LogonPassword().empty()) {
        r = ui::ModalResult::OK;
      }
    }
    if (r != ui::ModalResult::OK) {
      r = ui::port().ShowModal(form);
      if (r == ui::ModalResult::OK) noHistory = ControlKeyDown();
    }
    ++n;
    if (r == ui::ModalResult::OK) {
      result = true;
      attemptLogon(*session, form, picture, options, noHistory);
      refillFromSession(form, *session, options);
    }
  } while (!session->Connected() && r == ui::ModalResult::OK && n <= retries);
  return result;
}

std::string CommandLineValue(const std::string& name) {
  const std::string key = name + "=";
  for (const std::string& arg : platform::process().arguments()) {
    if (!containsIgnoringCase(arg, key)) continue;
    // Counted from the start of the argument, whatever stands before the name.
    const std::size_t from = name.size() + 1;
    return from < arg.size() ? arg.substr(from, 255) : std::string();
  }
  return {};
}

bool ControlKeyDown() {
  return ui::port().ControlKeyDown();
}

}  // namespace oracle
