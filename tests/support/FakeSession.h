// A session whose client calls are test doubles: each LogOn and each ChangePassword takes the next
// scripted outcome (success, an Oracle error, success with a password-expiry warning, or a failure
// that is no Oracle error) and records what it was given. LogOn splits the connect string first,
// as the real logon does, and records the parameters after the split.
#pragma once

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "oracle/session/OracleError.h"
#include "oracle/session/OracleSession.h"

namespace testsupport {

struct Outcome {
  int errorCode = 0;     // non-zero: the call fails with this Oracle error
  std::string message;   // the error's or the warning's text
  bool warning = false;  // a logon that succeeds with a password-expiry warning
  bool foreign = false;  // the call fails with an exception that is no Oracle error
};

inline Outcome Success() { return {}; }
inline Outcome Failure(int code, std::string message) { return {code, std::move(message)}; }
inline Outcome Warning(std::string message) { return {0, std::move(message), true}; }
inline Outcome ForeignFailure() { return {0, "not an Oracle failure", false, true}; }

struct Attempt {
  std::string username, password, database;
  oracle::TConnectAsOption connectAs = oracle::caNormal;
  bool operator==(const Attempt&) const = default;
};

class FakeSession : public oracle::TOracleSession {
 public:
  explicit FakeSession(oracle::TComponent* owner = nullptr) : TOracleSession(owner) {}
  ~FakeSession() override { LogOff(); }

  std::deque<Outcome> outcomes;        // of the logons; an empty queue means success
  std::deque<Outcome> changeOutcomes;  // of the password changes; empty means success
  std::vector<Attempt> attempts;       // every logon, in order
  std::vector<std::string> passwordChanges;
  int logOffs = 0;

  int logOns() const { return static_cast<int>(attempts.size()); }
  // Connected without a logon attempt.
  void connect() { SetConnectedState(true); }

  void LogOn() override {
    LogOff();
    ConnectString();
    attempts.push_back({LogonUsername(), LogonPassword(), LogonDatabase(), ConnectAs()});
    const Outcome outcome = next(outcomes);
    SetLogonWarning(outcome.warning ? outcome.message : std::string());
    if (outcome.errorCode == 0 && !outcome.foreign) SetConnectedState(true);
    FinishLogOnAttempt();
    raise(outcome);
  }

  void LogOff() override {
    if (!Connected()) return;
    ++logOffs;
    SetConnectedState(false);
  }

  void ChangePassword(const std::string& newPassword) override {
    passwordChanges.push_back(newPassword);
    raise(next(changeOutcomes));
    SetLogonPassword(newPassword);
  }

 private:
  static Outcome next(std::deque<Outcome>& queue) {
    if (queue.empty()) return {};
    Outcome outcome = queue.front();
    queue.pop_front();
    return outcome;
  }
  void raise(const Outcome& outcome) {
    if (outcome.foreign) throw std::runtime_error(outcome.message);
    if (outcome.errorCode != 0)
      throw oracle::EOracleError(outcome.errorCode, outcome.message, this, this);
  }
};

}  // namespace testsupport
