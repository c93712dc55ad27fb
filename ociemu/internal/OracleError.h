// The server's and client's error messages: Oracle's text for each error number, and the
// exception the engine throws to report one, carrying the code and the finished message.
#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ociemu {

// The published text of an error number with "%s" filled from args in order, without the
// "ORA-nnnnn: " prefix. Unknown numbers give Oracle's "message not found" text.
std::string ErrorText(int code, std::initializer_list<std::string_view> args = {});

// "ORA-01017: invalid username/password; logon denied" plus the line break the client adds.
std::string FormatError(int code, std::initializer_list<std::string_view> args = {});

// A failed call as the server or client reports it. offset is the parse error offset of a
// statement, when there is one.
class OracleError : public std::runtime_error {
 public:
  OracleError(int code, std::initializer_list<std::string_view> args = {});
  OracleError(int code, std::string message) : std::runtime_error(message), code_(code) {}

  int Code() const noexcept { return code_; }
  // The full message as OCIErrorGet writes it, line break included.
  std::string Message() const { return what(); }
  int Offset() const noexcept { return offset_; }
  OracleError& WithOffset(int offset) {
    offset_ = offset;
    return *this;
  }

 private:
  int code_;
  int offset_ = 0;
};

}  // namespace ociemu
