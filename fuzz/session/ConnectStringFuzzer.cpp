// Splits arbitrary connect strings (user/password@database AS role, quotes and all). The first
// byte chooses whether parts given beforehand are composed into the text instead. A split never
// fails; any crash, hang or sanitizer report is a finding.
#include <cstddef>
#include <cstdint>
#include <string>

#include "oracle/session/ConnectString.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  oracle::TConnectStringParts parts;
  if (data[0] & 1) {
    // Parts given, an empty text: the parts are composed and split.
    const std::size_t third = text.size() / 3;
    parts.Username = text.substr(0, third);
    parts.Password = text.substr(third, third);
    parts.Database = text.substr(2 * third);
    oracle::ParseConnectString("", parts);
  } else {
    oracle::ParseConnectString(text, parts);
  }
  oracle::ConnectAsFromText(parts.ConnectAs);
  oracle::ComposeConnectString(parts);
  return 0;
}
