#include "ociemu/internal/Rowid.h"

#include <cctype>
#include <cstring>

namespace ociemu {
namespace {

const char kRowidAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

void Base64(std::string& out, int64_t value, int digits) {
  std::string part(static_cast<size_t>(digits), 'A');
  for (int i = digits - 1; i >= 0; --i) {
    part[static_cast<size_t>(i)] = kRowidAlphabet[value & 63];
    value >>= 6;
  }
  out += part;
}

std::optional<int64_t> FromBase64(std::string_view s) {
  int64_t v = 0;
  for (char c : s) {
    const char* p = std::strchr(kRowidAlphabet, c);
    if (!p || c == 0) return std::nullopt;
    v = (v << 6) | (p - kRowidAlphabet);
  }
  return v;
}

}  // namespace

int64_t ObjectNumber(std::string_view table) {
  // A stable object number per table name, in the range user objects have.
  uint32_t h = 2166136261u;
  for (char c : table) {
    h ^= static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c)));
    h *= 16777619u;
  }
  return 70000 + h % 900000;
}

std::string RowidText(int64_t object, int64_t rowid) {
  std::string out;
  Base64(out, object, 6);
  Base64(out, 4, 3);  // the file
  Base64(out, rowid >> 12, 6);
  Base64(out, rowid & 0xFFF, 3);
  return out;
}

std::optional<std::pair<int64_t, int64_t>> ParseRowid(std::string_view text) {
  if (text.size() != 18) return std::nullopt;
  auto object = FromBase64(text.substr(0, 6));
  auto block = FromBase64(text.substr(9, 6));
  auto row = FromBase64(text.substr(15, 3));
  if (!object || !block || !row || *row > 0xFFF) return std::nullopt;
  return std::pair<int64_t, int64_t>(*object, (*block << 12) | *row);
}

}  // namespace ociemu
