// The LZHUF encoder. Every choice that shapes the output (insertion order, which of equally long
// matches wins, the node replaced on a full-length match, the zero bytes past the input) is kept
// as the published coder makes it; only the way the work is done is faster.
#include "oracle/compress/internal/LzhufEncoder.h"

#include <bit>
#include <cstring>

#include "oracle/compress/MemoryStream.h"
#include "oracle/compress/internal/BitWriter.h"

namespace oracle::lzhuf {
namespace {

struct StreamSink {
  MemoryStream& dest;
  void operator()(const std::uint8_t* bytes, std::size_t count) const { dest.Write(bytes, count); }
};

// Compares the string at key with the one at other over bytes 1..kLookAhead-1 (byte 0 is equal
// by construction of the trees). Returns the length of the common prefix, or kLookAhead when all
// are equal, and sets cmp to the sign of key's byte minus other's at the first difference. Reads
// up to 64 bytes of each, eight at a time as big-endian words, so that the first differing byte
// is the most significant one and orders the words as it orders the strings.
inline std::uint64_t LoadBigEndian(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
  return v;
}

inline int Compare(const std::uint8_t* key, const std::uint8_t* other, int& cmp) {
  // Most comparisons end at the first byte; testing it alone keeps that case short.
  if (key[1] != other[1]) {
    cmp = key[1] - other[1];
    return 1;
  }
  for (int i = 1; i < kLookAhead; i += 8) {
    const std::uint64_t x = LoadBigEndian(key + i);
    const std::uint64_t y = LoadBigEndian(other + i);
    if (x != y) {
      const int at = i + std::countl_zero(x ^ y) / 8;
      if (at >= kLookAhead) return kLookAhead;  // only bytes past the look-ahead differ
      cmp = x > y ? 1 : -1;
      return at;
    }
  }
  return kLookAhead;
}

}  // namespace

Encoder::Encoder() {
  std::memset(text_, 0, sizeof text_);
  std::memset(left_, 0, sizeof left_);
  std::memset(right_, 0, sizeof right_);
  std::memset(parent_, 0, sizeof parent_);
}

void Encoder::InitTree() {
  for (int i = kRingSize + 1; i <= kRingSize + 256; ++i) right_[i] = kNil;
  for (int i = 0; i < kRingSize; ++i) parent_[i] = kNil;
}

// Inserts the string at r into its tree and leaves in matchLength_/matchPosition_ the longest
// match met on the way down (ties: the smallest position value among the nodes visited). A node
// with all kLookAhead bytes equal is replaced by r, so the newer position survives.
void Encoder::InsertNode(int r) {
  const std::uint8_t* key = &text_[r];
  int p = kRingSize + 1 + key[0];
  int cmp = 1;
  int bestLength = 0;
  int bestPosition = 0;
  right_[r] = left_[r] = kNil;
  for (;;) {
    if (cmp >= 0) {
      if (right_[p] != kNil) {
        p = right_[p];
      } else {
        right_[p] = static_cast<std::uint16_t>(r);
        parent_[r] = static_cast<std::uint16_t>(p);
        break;
      }
    } else {
      if (left_[p] != kNil) {
        p = left_[p];
      } else {
        left_[p] = static_cast<std::uint16_t>(r);
        parent_[r] = static_cast<std::uint16_t>(p);
        break;
      }
    }
    const int i = Compare(key, &text_[p], cmp);
    if (i > kThreshold) {
      const int position = ((r - p) & (kRingSize - 1)) - 1;
      if (i > bestLength) {
        bestPosition = position;
        bestLength = i;
        if (i >= kLookAhead) {
          ReplaceNode(p, r);
          break;
        }
      } else if (i == bestLength && position < bestPosition) {
        bestPosition = position;
      }
    }
  }
  matchLength_ = bestLength;
  matchPosition_ = bestPosition;
}

// Puts r in p's place in the tree (r's string equals p's over the whole look-ahead).
void Encoder::ReplaceNode(int p, int r) {
  parent_[r] = parent_[p];
  left_[r] = left_[p];
  right_[r] = right_[p];
  parent_[left_[p]] = static_cast<std::uint16_t>(r);
  parent_[right_[p]] = static_cast<std::uint16_t>(r);
  if (right_[parent_[p]] == p)
    right_[parent_[p]] = static_cast<std::uint16_t>(r);
  else
    left_[parent_[p]] = static_cast<std::uint16_t>(r);
  parent_[p] = kNil;
}

// Removes p from its tree; a node with two children is replaced by its in-order predecessor.
void Encoder::DeleteNode(int p) {
  if (parent_[p] == kNil) return;  // not in a tree
  int q;
  if (right_[p] == kNil) {
    q = left_[p];
  } else if (left_[p] == kNil) {
    q = right_[p];
  } else {
    q = left_[p];
    if (right_[q] != kNil) {
      do {
        q = right_[q];
      } while (right_[q] != kNil);
      right_[parent_[q]] = left_[q];
      parent_[left_[q]] = parent_[q];
      left_[q] = left_[p];
      parent_[left_[p]] = static_cast<std::uint16_t>(q);
    }
    right_[q] = right_[p];
    parent_[right_[p]] = static_cast<std::uint16_t>(q);
  }
  parent_[q] = parent_[p];
  if (right_[parent_[p]] == p)
    right_[parent_[p]] = static_cast<std::uint16_t>(q);
  else
    left_[parent_[p]] = static_cast<std::uint16_t>(q);
  parent_[p] = kNil;
}

void Encoder::Encode(const std::uint8_t* input, std::size_t size, MemoryStream& dest) {
  StreamSink sink{dest};
  BitWriter<StreamSink> bits(sink);
  huffman_.Start();

  // The code of a symbol is the path from the root to its leaf: 1 for the second child.
  auto putSymbol = [&](unsigned symbol) {
    std::uint32_t code = 0;
    unsigned length = 0;
    unsigned node = huffman_.LeafOf(symbol);
    do {
      code |= (node & 1u) << length;
      ++length;
      node = huffman_.Parent(node);
    } while (node != kRoot);
    // The counts are capped at kMaxFrequency, which bounds the depth of the tree (a leaf at
    // depth d needs a root count of at least Fibonacci(d + 2)) to 21, within Put()'s 32 bits.
    bits.Put(length, code);
    huffman_.Update(symbol);
  };
  auto putPosition = [&](unsigned position) {
    const unsigned upper = position >> 6;
    bits.Put(kPositionCode.length[upper] + 6u,
             (static_cast<std::uint32_t>(kPositionCode.code[upper]) << 6) | (position & 0x3Fu));
  };

  if (size == 0) {
    // An empty value still carries one symbol, a space literal, as the stored format has it;
    // a decoder stops at the count of 0 and never reads it.
    putSymbol(' ');
    bits.Finish();
    return;
  }

  InitTree();
  int s = 0;
  int r = kFirstByte;
  std::memset(text_, ' ', static_cast<std::size_t>(r));
  std::size_t next = 0;
  int len = 0;
  for (; len < kLookAhead && next < size; ++len) text_[r + len] = input[next++];
  for (int i = 1; i <= kLookAhead; ++i) InsertNode(r - i);
  InsertNode(r);
  do {
    if (matchLength_ > len) matchLength_ = len;
    if (matchLength_ <= kThreshold) {
      matchLength_ = 1;
      putSymbol(text_[r]);
    } else {
      putSymbol(MatchSymbol(matchLength_));
      putPosition(static_cast<unsigned>(matchPosition_));
    }
    const int last = matchLength_;
    int i = 0;
    for (; i < last && next < size; ++i) {
      const std::uint8_t c = input[next++];
      DeleteNode(s);
      text_[s] = c;
      if (s < kLookAhead - 1) text_[s + kRingSize] = c;
      s = (s + 1) & (kRingSize - 1);
      r = (r + 1) & (kRingSize - 1);
      InsertNode(r);
    }
    // Input has ended: slide on over the rest of the match without new bytes.
    while (i++ < last) {
      DeleteNode(s);
      s = (s + 1) & (kRingSize - 1);
      r = (r + 1) & (kRingSize - 1);
      if (--len) InsertNode(r);
    }
  } while (len > 0);
  bits.Finish();
}

}  // namespace oracle::lzhuf
