// Splitting and composing connect strings.
#include "oracle/session/ConnectString.h"

#include <algorithm>

namespace oracle {
namespace {

std::string trim(const std::string& s) {
  // The framework's Trim drops every control character and space at both ends.
  std::size_t begin = 0, end = s.size();
  while (begin < end && static_cast<unsigned char>(s[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(s[end - 1]) <= ' ') --end;
  return s.substr(begin, end - begin);
}

// Takes " AS mode" off the end of the text; the search ignores quotes, as the original does.
void splitConnectAs(std::string& text, std::string& connectAs) {
  std::string upper = UpperCaseAscii(text);
  std::replace(upper.begin(), upper.end(), '\t', ' ');
  const std::size_t at = upper.find(" AS ");
  if (at == std::string::npos) return;
  connectAs = trim(upper.substr(at + 4));
  text = trim(text.substr(0, at));
}

}  // namespace

std::string UpperCaseAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::string ComposeConnectString(const TConnectStringParts& parts) {
  std::string s = parts.Username;
  if (!parts.Password.empty()) s += "/" + parts.Password;
  if (!parts.Database.empty()) s += "@" + parts.Database;
  if (!parts.ConnectAs.empty()) s += " as " + parts.ConnectAs;
  return s;
}

bool ParseConnectString(const std::string& text, TConnectStringParts& parts) {
  std::string rest = text;
  if (rest.empty()) rest = ComposeConnectString(parts);
  parts = TConnectStringParts{};

  splitConnectAs(rest, parts.ConnectAs);

  std::string* target[] = {&parts.Username, &parts.Password, &parts.Database};
  int state = 0;
  bool quoted = false;
  for (char c : rest) {
    if (c == '"') {
      quoted = !quoted;
      *target[state] += c;
    } else if (!quoted && c == '/' && state == 0) {
      state = 1;
    } else if (!quoted && c == '@' && state < 2) {
      state = 2;
    } else {
      *target[state] += c;
    }
  }
  return !parts.Password.empty() || !parts.Database.empty() || !parts.ConnectAs.empty() ||
         rest == "/";
}

std::string ConnectAsText(TConnectAsOption option) {
  switch (option) {
    case caSYSDBA: return "SYSDBA";
    case caSYSOPER: return "SYSOPER";
    case caNormal: break;
  }
  return {};
}

TConnectAsOption ConnectAsFromText(const std::string& text) {
  const std::string upper = UpperCaseAscii(text);
  if (upper == "SYSOPER") return caSYSOPER;
  if (upper == "SYSDBA") return caSYSDBA;
  return caNormal;
}

}  // namespace oracle
