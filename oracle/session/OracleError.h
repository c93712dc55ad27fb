// The exceptions of client failures: EOracleError with the Oracle error code, the component whose
// call failed and the session; EOracleWarning for codes configured as warnings; EOracleMTSError
// for the transaction server layer.
#pragma once

#include <cstdint>
#include <string>

#include "oracle/core/Exception.h"

namespace oracle {

class TOracleSession;
class TComponent;

// Error texts taken from the client are cut after this many characters.
constexpr std::size_t MaxErrorMessageLength = 1023;

class EOracleError : public Exception {
 public:
  // An error whose code and text are already known (the text as the client wrote it).
  EOracleError(std::int32_t errorCode, std::string message, TComponent* sender,
               TOracleSession* session);

  std::int32_t ErrorCode() const { return errorCode_; }
  TComponent* Sender() const { return sender_; }
  TOracleSession* Session() const { return session_; }

 private:
  std::int32_t errorCode_;
  TComponent* sender_;
  TOracleSession* session_;
};

class EOracleWarning : public EOracleError {
 public:
  using EOracleError::EOracleError;
};

class EOracleMTSError : public Exception {
 public:
  // Status 0 wraps another failure: `function` then carries that failure's message.
  EOracleMTSError(const std::string& function, std::int32_t status);
  std::int32_t ErrorCode() const { return errorCode_; }

 private:
  std::int32_t errorCode_;
};

// The text of a transaction server status, empty for a status not in the table.
std::string MTSStatusText(std::int32_t status);

// Raises EOracleMTSError for a non-zero status; does nothing for 0.
void CheckMTSError(std::int32_t status, const std::string& function);

}  // namespace oracle
