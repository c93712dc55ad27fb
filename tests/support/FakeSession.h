// A session whose logon step is a test double: each LogOn takes the next scripted outcome
// (success, an Oracle error, or success with a password-expiry warning) and records the
// parameters it was given after the connect string was split, as the real logon does.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "oracle/session/OracleError.h"
#include "oracle/session/OracleSession.h"

namespace e2e {

struct Outcome {
  int errorCode = 0;     // non-zero: the logon fails with this Oracle error
  std::string message;   // the error's or the warning's text
  bool warning = false;  // success with a password-expiry warning
};

inline Outcome Success() { return {}; }
inline Outcome Failure(int code, std::string message) { return {code, std::move(message), false}; }
inline Outcome Warning(std::string message) { return {0, std::move(message), true}; }

struct Attempt {
  std::string username, password, database;
  oracle::TConnectAsOption connectAs = oracle::caNormal;
  bool operator==(const Attempt&) const = default;
};

class SessionDouble : public oracle::TOracleSession {
 public:
  using TOracleSession::TOracleSession;
  ~SessionDouble() override { LogOff(); }

  std::deque<Outcome> outcomes;  // an empty queue means success
  std::vector<Attempt> attempts;
  std::vector<std::string> passwordChanges;
  int logOffs = 0;
  bool failPasswordChange = false;

  void LogOn() override {
    LogOff();
    ConnectString();
    attempts.push_back({LogonUsername(), LogonPassword(), LogonDatabase(), ConnectAs()});
    Outcome outcome;
    if (!outcomes.empty()) {
      outcome = outcomes.front();
      outcomes.pop_front();
    }
    SetLogonWarning(outcome.warning ? outcome.message : std::string());
    if (outcome.errorCode == 0) SetConnectedState(true);
    FinishLogOnAttempt();
    if (outcome.errorCode != 0)
      throw oracle::EOracleError(outcome.errorCode, outcome.message, this, this);
  }

  void LogOff() override {
    if (!Connected()) return;
    ++logOffs;
    SetConnectedState(false);
  }

  void ChangePassword(const std::string& newPassword) override {
    passwordChanges.push_back(newPassword);
    if (failPasswordChange)
      throw oracle::EOracleError(28003, "ORA-28003: password verification for the specified "
                                        "password failed\n", this, this);
    SetLogonPassword(newPassword);
  }
};

}  // namespace e2e
