// UTF-8 decoding and encoding around towupper.
#include "oracle/core/TextCase.h"

#include <cwctype>

namespace oracle {
namespace {

// Decodes one UTF-8 sequence at `i`; returns false (and consumes nothing) for an invalid one.
bool decode(const std::string& s, std::size_t& i, char32_t& out) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char b0 = byte(i);
  int extra = 0;
  if (b0 < 0x80) {
    out = b0;
  } else if ((b0 & 0xE0) == 0xC0) {
    out = b0 & 0x1F;
    extra = 1;
  } else if ((b0 & 0xF0) == 0xE0) {
    out = b0 & 0x0F;
    extra = 2;
  } else if ((b0 & 0xF8) == 0xF0) {
    out = b0 & 0x07;
    extra = 3;
  } else {
    return false;
  }
  if (i + static_cast<std::size_t>(extra) >= s.size()) return false;
  for (int k = 1; k <= extra; ++k) {
    const unsigned char b = byte(i + static_cast<std::size_t>(k));
    if ((b & 0xC0) != 0x80) return false;
    out = (out << 6) | (b & 0x3F);
  }
  i += static_cast<std::size_t>(extra) + 1;
  return true;
}

void encode(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string UpperCaseLocale(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    char32_t c = 0;
    if (!decode(text, i, c)) {
      out += text[i++];
      continue;
    }
    const auto upper = static_cast<char32_t>(std::towupper(static_cast<std::wint_t>(c)));
    // towupper knows only the C locale's letters until the program sets the user's locale;
    // Latin-1 letters are mapped here as well so that æøå compare right in either case.
    if (upper == c && ((c >= 0xE0 && c <= 0xFE && c != 0xF7)))
      encode(c - 0x20, out);
    else
      encode(upper, out);
  }
  return out;
}

}  // namespace oracle
