// The fixed parameters of the LZHUF code and its prefix code for match positions. Internal to
// oracle/compress: both directions must use exactly these values or stored values stop decoding.
#pragma once

#include <array>
#include <cstdint>

namespace oracle::lzhuf {

inline constexpr int kRingSize = 4096;  // N: the sliding window
inline constexpr int kLookAhead = 60;   // F: longest match
inline constexpr int kThreshold = 2;    // matches of this length or shorter go out as literals
inline constexpr int kNil = kRingSize;  // "no node" in the search trees
inline constexpr int kFirstByte = kRingSize - kLookAhead;  // 4036: where input starts in the ring

inline constexpr int kSymbols = 256 - kThreshold + kLookAhead;  // 314: bytes, then lengths 3..60
inline constexpr int kTreeSize = 2 * kSymbols - 1;              // 627 nodes
inline constexpr int kRoot = kTreeSize - 1;                     // 626
inline constexpr unsigned kMaxFrequency = 0x8000;               // root count that forces a rebuild

// Symbol for a match of the given length (3..60), and back.
constexpr unsigned MatchSymbol(int length) {
  return static_cast<unsigned>(255 - kThreshold + length);
}
constexpr int MatchLengthOf(unsigned symbol) {
  return static_cast<int>(symbol) - 255 + kThreshold;
}

// The upper 6 bits of a position go out in a canonical prefix code: 3 bits for 0, 4 for 1..3,
// 5 for 4..11, 6 for 12..23, 7 for 24..47, 8 for 48..63, codes in increasing order of the value.
struct PositionCode {
  std::array<std::uint8_t, 64> length{};     // bits of the code for each upper value
  std::array<std::uint8_t, 64> code{};       // the code, right-aligned
  std::array<std::uint8_t, 256> upperOf{};   // next 8 input bits -> upper value
  std::array<std::uint8_t, 256> lengthOf{};  // next 8 input bits -> code length
};

constexpr PositionCode MakePositionCode() {
  PositionCode t;
  unsigned next = 0;
  unsigned previousLength = 3;
  for (unsigned u = 0; u < 64; ++u) {
    unsigned length = u == 0 ? 3 : u < 4 ? 4 : u < 12 ? 5 : u < 24 ? 6 : u < 48 ? 7 : 8;
    next <<= (length - previousLength);
    previousLength = length;
    t.length[u] = static_cast<std::uint8_t>(length);
    t.code[u] = static_cast<std::uint8_t>(next);
    // Every 8-bit window that starts with this code decodes to u.
    unsigned first = next << (8 - length);
    for (unsigned k = 0; k < (1u << (8 - length)); ++k) {
      t.upperOf[first + k] = static_cast<std::uint8_t>(u);
      t.lengthOf[first + k] = static_cast<std::uint8_t>(length);
    }
    ++next;
  }
  return t;
}

inline constexpr PositionCode kPositionCode = MakePositionCode();

// The published encoding table holds each code left-aligned in a byte; a few of its entries, so a
// slip in the rule above cannot go unnoticed.
static_assert(kPositionCode.code[0] << (8 - kPositionCode.length[0]) == 0x00);
static_assert(kPositionCode.code[1] << (8 - kPositionCode.length[1]) == 0x20);
static_assert(kPositionCode.code[3] << (8 - kPositionCode.length[3]) == 0x40);
static_assert(kPositionCode.code[4] << (8 - kPositionCode.length[4]) == 0x50);
static_assert(kPositionCode.code[12] << (8 - kPositionCode.length[12]) == 0x90);
static_assert(kPositionCode.code[23] << (8 - kPositionCode.length[23]) == 0xBC);
static_assert(kPositionCode.code[24] << (8 - kPositionCode.length[24]) == 0xC0);
static_assert(kPositionCode.code[47] << (8 - kPositionCode.length[47]) == 0xEE);
static_assert(kPositionCode.code[48] << (8 - kPositionCode.length[48]) == 0xF0);
static_assert(kPositionCode.code[63] << (8 - kPositionCode.length[63]) == 0xFF);
static_assert(kPositionCode.upperOf[0x1F] == 0 && kPositionCode.lengthOf[0x1F] == 3);
static_assert(kPositionCode.upperOf[0xFF] == 63 && kPositionCode.lengthOf[0xFF] == 8);

}  // namespace oracle::lzhuf
