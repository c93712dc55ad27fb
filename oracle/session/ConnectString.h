// The connect-string grammar: username/password@database as SYSDBA, each part but the first
// optional; quotes keep "/" and "@" inside a part.
#pragma once

#include <string>

#include "oracle/session/SessionTypes.h"

namespace oracle {

struct TConnectStringParts {
  std::string Username;
  std::string Password;
  std::string Database;
  std::string ConnectAs;  // the upper-cased text behind " AS ", empty when none
};

// Splits `text` into `parts`. An empty text first composes a connect string from the parts given
// in `parts` and splits that instead. Returns the flag *complete*: a password, a database or a
// connect-as text was found, or the text was exactly "/" (operating-system authentication).
// Never fails: an unparsable text lands in the username.
bool ParseConnectString(const std::string& text, TConnectStringParts& parts);

// Username, then "/" password, "@" database and " as " connect-as where not empty.
std::string ComposeConnectString(const TConnectStringParts& parts);

std::string ConnectAsText(TConnectAsOption option);
TConnectAsOption ConnectAsFromText(const std::string& text);

// Upper-cases the ASCII letters a to z only, as the history and the connect-as texts compare.
std::string UpperCaseAscii(std::string text);

}  // namespace oracle
