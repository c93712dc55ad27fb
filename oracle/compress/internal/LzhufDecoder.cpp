// The LZHUF decoder. Bits come from a 64-bit register refilled a word at a time; the ring buffer
// is replaced by the output itself preceded by the ring's initial contents, which gives the same
// bytes for every reference and lets copies run without wrapping.
#include "oracle/compress/internal/LzhufDecoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "oracle/compress/MemoryStream.h"
#include "oracle/compress/internal/LzhufParameters.h"
#include "oracle/core/Exception.h"

namespace oracle::lzhuf {
namespace {

[[noreturn]] void Truncated() {
  throw Exception("Compressed stream is truncated");
}

// Most significant bit first. Bits past the end of the code read as zero, but using one is an
// error: a complete stream never needs them, since every symbol's bits are written in full.
class BitReader {
 public:
  BitReader(const std::uint8_t* code, std::size_t size)
      : begin_(code), next_(code), end_(code + size) {}

  // Makes at least 56 bits available.
  void Refill() {
    if (end_ - next_ >= 8) {
      std::uint64_t word = 0;
      for (int k = 0; k < 8; ++k) word = (word << 8) | next_[k];
      // Whole bytes only count as taken; the bits of a partial byte past `available_` are exact
      // copies of what the next refill puts there, so or-ing them twice is harmless.
      bits_ |= word >> available_;
      const int taken = (63 - available_) >> 3;
      next_ += taken;
      available_ += taken * 8;
    } else {
      while (available_ <= 56) {
        std::uint64_t byte = 0;
        if (next_ < end_)
          byte = *next_++;
        else
          padding_ += 8;
        bits_ |= byte << (56 - available_);
        available_ += 8;
      }
    }
  }

  std::uint64_t Peek() const { return bits_; }
  void Skip(int count) {
    bits_ <<= count;
    available_ -= count;
  }
  int Available() const { return available_; }

  // True when some of the bits used so far lay past the end of the code.
  bool Overrun() const { return padding_ > available_; }

  // Code bytes holding at least one used bit.
  std::size_t Consumed() const {
    const std::int64_t used = static_cast<std::int64_t>(next_ - begin_) * 8 + padding_ - available_;
    const std::int64_t real = static_cast<std::int64_t>(end_ - begin_) * 8;
    return static_cast<std::size_t>((std::min(used, real) + 7) / 8);
  }

 private:
  const std::uint8_t* begin_;
  const std::uint8_t* next_;
  const std::uint8_t* end_;
  std::uint64_t bits_ = 0;    // next bit at the top
  int available_ = 0;         // valid bits in bits_
  std::int64_t padding_ = 0;  // zero bits supplied past the end
};

// The ring's contents before the first output byte, oldest first: the decoder's ring starts with
// spaces at 0..4035 and zeros at 4036..4095, and reading backwards from position 4036 meets
// 4036 spaces and then the 60 zeros.
constexpr std::size_t kHistory = kRingSize;

}  // namespace

std::size_t Decoder::Decode(const std::uint8_t* code, std::size_t size, std::uint32_t count,
                            MemoryStream& dest) {
  if (count == 0) return 0;
  if (count > MaxDecodedSize(size)) Truncated();
  huffman_.Start();

  // The buffer grows as bytes are produced, never to more than the count.
  std::vector<std::uint8_t> out;
  const std::size_t total = kHistory + count;
  out.resize(std::min<std::size_t>(total, kHistory + (std::size_t{1} << 16)));
  std::memset(out.data(), 0, kLookAhead);
  std::memset(out.data() + kLookAhead, ' ', kHistory - kLookAhead);
  std::size_t at = kHistory;

  BitReader bits(code, size);
  while (at < total) {
    if (bits.Available() < 40) {
      // A symbol takes at most 21 bits (see the encoder) and a position 14.
      if (bits.Overrun()) Truncated();
      bits.Refill();
    }
    if (out.size() - at < static_cast<std::size_t>(kLookAhead)) {
      const std::size_t grown = std::min(total, std::max(out.size() * 2, at + kLookAhead));
      out.reserve(grown);  // exactly: resize() alone may round the capacity up past the count
      out.resize(grown);
    }

    unsigned node = huffman_.Child(kRoot);
    int depth = 0;
    std::uint64_t window = bits.Peek();
    while (node < kTreeSize) {
      node = huffman_.Child(node + static_cast<unsigned>(window >> 63));
      window <<= 1;
      ++depth;
    }
    bits.Skip(depth);
    const unsigned symbol = node - kTreeSize;
    huffman_.Update(symbol);

    if (symbol < 256) {
      out[at++] = static_cast<std::uint8_t>(symbol);
      continue;
    }
    const auto top = static_cast<unsigned>(bits.Peek() >> 48);
    const unsigned upper = kPositionCode.upperOf[top >> 8];
    const unsigned length = kPositionCode.lengthOf[top >> 8];
    const unsigned position = (upper << 6) | ((top >> (10 - length)) & 0x3Fu);
    bits.Skip(static_cast<int>(length) + 6);

    // A damaged stream may describe more than the count: stop at the count.
    const std::size_t n = std::min<std::size_t>(MatchLengthOf(symbol), total - at);
    const std::size_t distance = position + 1;
    std::uint8_t* dst = out.data() + at;
    const std::uint8_t* src = dst - distance;
    if (distance >= n) {
      std::memcpy(dst, src, n);
    } else {
      for (std::size_t k = 0; k < n; ++k) dst[k] = src[k];  // overlapping: repeats as it goes
    }
    at += n;
  }
  if (bits.Overrun()) Truncated();
  dest.Write(out.data() + kHistory, count);
  return bits.Consumed();
}

}  // namespace oracle::lzhuf
