// The password change dialog offered when a password has expired or is about to.
#pragma once

#include <string>

#include "ui/Form.h"

namespace oracle {

class TOracleSession;

// True when the password was changed (and the session logged on if it was not connected);
// false when the user cancelled. Raises "Session undefined" without a session.
bool ChangePasswordDialog(TOracleSession* session, const std::string& caption,
                          const ui::Picture& picture);

}  // namespace oracle
