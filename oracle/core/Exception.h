// The framework's general exception class: misuse and loading failures raise it with a fixed
// English message; EOracleError and the other exception classes of the layer derive from it.
#pragma once

#include <exception>
#include <string>

namespace oracle {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const noexcept { return message_; }

 protected:
  void SetMessage(std::string message) { message_ = std::move(message); }

 private:
  std::string message_;
};

}  // namespace oracle
