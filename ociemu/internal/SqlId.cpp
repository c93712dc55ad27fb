#include "ociemu/internal/SqlId.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace ociemu {
namespace {

std::uint32_t RotateLeft(std::uint32_t x, int c) {
  return (x << c) | (x >> (32 - c));
}

// Per-round shift amounts and the sine-derived constants of RFC 1321.
constexpr int kShift[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                            5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                            4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                            6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

std::array<std::uint32_t, 64> SineTable() {
  std::array<std::uint32_t, 64> k{};
  for (int i = 0; i < 64; ++i) {
    k[static_cast<size_t>(i)] =
        static_cast<std::uint32_t>(std::floor(std::fabs(std::sin(i + 1.0)) * 4294967296.0));
  }
  return k;
}

std::uint32_t LittleEndian(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

std::array<std::uint8_t, 16> Md5(std::string_view data) {
  static const std::array<std::uint32_t, 64> k = SineTable();
  std::vector<std::uint8_t> message(data.begin(), data.end());
  const std::uint64_t bits = static_cast<std::uint64_t>(data.size()) * 8;
  message.push_back(0x80);
  while (message.size() % 64 != 56) message.push_back(0);
  for (int i = 0; i < 8; ++i) message.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));

  std::uint32_t h[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
  for (size_t block = 0; block < message.size(); block += 64) {
    std::uint32_t m[16];
    for (size_t i = 0; i < 16; ++i) m[i] = LittleEndian(&message[block + 4 * i]);
    std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3];
    for (int i = 0; i < 64; ++i) {
      std::uint32_t f;
      int g;
      if (i < 16) {
        f = (b & c) | (~b & d);
        g = i;
      } else if (i < 32) {
        f = (d & b) | (~d & c);
        g = (5 * i + 1) % 16;
      } else if (i < 48) {
        f = b ^ c ^ d;
        g = (3 * i + 5) % 16;
      } else {
        f = c ^ (b | ~d);
        g = (7 * i) % 16;
      }
      const std::uint32_t next = d;
      d = c;
      c = b;
      b = b + RotateLeft(a + f + k[static_cast<size_t>(i)] + m[g], kShift[i]);
      a = next;
    }
    h[0] += a;
    h[1] += b;
    h[2] += c;
    h[3] += d;
  }
  std::array<std::uint8_t, 16> digest{};
  for (size_t i = 0; i < 16; ++i) digest[i] = static_cast<std::uint8_t>(h[i / 4] >> (8 * (i % 4)));
  return digest;
}

std::string SqlId(std::string_view statementText) {
  std::string text(statementText);
  text.push_back('\0');
  const auto digest = Md5(text);
  const std::uint64_t value =
      (static_cast<std::uint64_t>(LittleEndian(&digest[8])) << 32) | LittleEndian(&digest[12]);
  static constexpr char kDigits[] = "0123456789abcdfghjkmnpqrstuvwxyz";
  std::string id(13, '0');
  std::uint64_t rest = value;
  for (int i = 12; i >= 0; --i) {
    id[static_cast<size_t>(i)] = kDigits[rest % 32];
    rest /= 32;
  }
  return id;
}

}  // namespace ociemu
