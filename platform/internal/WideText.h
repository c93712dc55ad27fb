// UTF-8 (the layer's text) to and from UTF-16 (the wide Win32 calls), so that names outside the
// ANSI code page survive a trip through the operating system.
#pragma once

#include <string>
#include <string_view>

namespace platform::internal {

// Invalid sequences become U+FFFD rather than failing the call.
std::wstring toWide(std::string_view utf8);
std::string fromWide(std::wstring_view utf16);

}  // namespace platform::internal
