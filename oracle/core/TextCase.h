// Letter-case mapping by the user's locale, for comparisons that ignore case.
#pragma once

#include <string>

namespace oracle {

// Upper-cases a UTF-8 text by the process's C locale (set from the environment at start-up);
// bytes that are not valid UTF-8 are kept as they are.
std::string UpperCaseLocale(const std::string& text);

}  // namespace oracle
