// The LZHUF encoder: LZSS matching over a 4096-byte ring with one binary search tree per first
// byte, and the adaptive Huffman code for literals and match lengths.
#pragma once

#include <cstddef>
#include <cstdint>

#include "oracle/compress/internal/AdaptiveHuffman.h"
#include "oracle/compress/internal/LzhufParameters.h"

namespace oracle {
class MemoryStream;
}

namespace oracle::lzhuf {

// Working storage of one encoding (about 30 KB); one object per call, so nothing is shared
// between calls. Starts zeroed: the ring bytes that input has not reached yet take part in the
// search trees' comparisons, and their value (zero) is part of the output's definition.
class Encoder {
 public:
  Encoder();

  // Writes the code bits of input[0..size) to dest at its position (not the count).
  void Encode(const std::uint8_t* input, std::size_t size, MemoryStream& dest);

 private:
  void InitTree();
  void InsertNode(int r);
  void ReplaceNode(int p, int r);
  void DeleteNode(int p);

  // The ring, followed by a copy of its first kLookAhead - 1 bytes so that a string starting near
  // the end reads on without wrapping, and by padding for word-sized comparisons.
  std::uint8_t text_[kRingSize + kLookAhead - 1 + 8];
  std::uint16_t left_[kRingSize + 1];
  std::uint16_t right_[kRingSize + 257];  // + one tree root per first byte
  std::uint16_t parent_[kRingSize + 1];
  int matchPosition_ = 0;
  int matchLength_ = 0;
  AdaptiveHuffman huffman_;
};

}  // namespace oracle::lzhuf
