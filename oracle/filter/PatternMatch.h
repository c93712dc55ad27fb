// The wildcard match of string comparisons with partial match: "*" stands for any run of
// characters and "?" for exactly one.
#pragma once

#include <string_view>

namespace oracle {

// Whether text matches pattern. Characters are compared exactly (UTF-8 characters, so "?"
// takes a whole multi-byte character). A "*" that is the last pattern character matches any
// rest of the text, even an empty one; a "*" with more pattern behind it leaves at least one
// character of the text for that rest, so "A*" matches "A" while "A**" and "A*?" do not.
// Runs in time proportional to the product of the two lengths at most, whatever the stars.
bool MatchesPattern(std::string_view text, std::string_view pattern);

}  // namespace oracle
