// Code bits packed most significant bit first, gathered in a 64-bit register and handed on in
// blocks to a byte sink; the last byte is padded with zero bits.
#pragma once

#include <cstddef>
#include <cstdint>

namespace oracle::lzhuf {

// Sink receives (const std::uint8_t* bytes, std::size_t count) each time a block fills, and once
// more at Finish().
template <typename Sink>
class BitWriter {
 public:
  explicit BitWriter(Sink& sink) : sink_(sink) {}

  // Appends the low `length` bits of code (length 1..32), highest first.
  void Put(unsigned length, std::uint32_t code) {
    pending_ = (pending_ << length) | code;
    count_ += length;
    if (count_ >= 32) {
      count_ -= 32;
      const auto word = static_cast<std::uint32_t>(pending_ >> count_);
      block_[used_] = static_cast<std::uint8_t>(word >> 24);
      block_[used_ + 1] = static_cast<std::uint8_t>(word >> 16);
      block_[used_ + 2] = static_cast<std::uint8_t>(word >> 8);
      block_[used_ + 3] = static_cast<std::uint8_t>(word);
      used_ += 4;
      if (used_ == kBlock) Flush();
    }
  }

  // Writes out whatever is pending, the last partial byte padded with zero bits.
  void Finish() {
    while (count_ >= 8) {
      count_ -= 8;
      block_[used_++] = static_cast<std::uint8_t>(pending_ >> count_);
    }
    if (count_ > 0) {
      block_[used_++] = static_cast<std::uint8_t>(pending_ << (8 - count_));
      count_ = 0;
    }
    Flush();
  }

 private:
  static constexpr std::size_t kBlock = 8192;

  void Flush() {
    if (used_ > 0) sink_(block_, used_);
    used_ = 0;
  }

  Sink& sink_;
  std::uint64_t pending_ = 0;  // the low count_ bits are still to be written
  unsigned count_ = 0;         // below 32 between calls
  std::size_t used_ = 0;
  std::uint8_t block_[kBlock + 8];  // room for the last partial word at Finish()
};

}  // namespace oracle::lzhuf
