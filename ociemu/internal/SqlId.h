// The SQL_ID Oracle gives a statement text: the last 64 bits of the MD5 digest of the text
// with its terminating NUL, in 13 base-32 digits.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ociemu {

// MD5 as RFC 1321 defines it.
std::array<std::uint8_t, 16> Md5(std::string_view data);
std::string SqlId(std::string_view statementText);

}  // namespace ociemu
