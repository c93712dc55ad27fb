// The LZHUF decoder: adaptive Huffman symbols, table-coded match positions, copies from the
// bytes already produced.
#pragma once

#include <cstddef>
#include <cstdint>

#include "oracle/compress/internal/AdaptiveHuffman.h"

namespace oracle {
class MemoryStream;
}

namespace oracle::lzhuf {

// The most bytes `codeBytes` bytes of code can describe. A literal takes at least 1 bit; a match
// of at most 60 bytes takes at least 1 bit of symbol and 9 of position. Any larger count cannot
// come from a complete stream.
constexpr std::uint64_t MaxDecodedSize(std::uint64_t codeBytes) {
  return codeBytes * 8 * 6;
}

// Working storage of one decoding; one object per call.
class Decoder {
 public:
  // Decodes exactly `count` bytes from code[0..size) and writes them to dest at its position;
  // returns the number of code bytes that held bits the decoding used. Raises oracle::Exception,
  // leaving dest untouched, when the code ends before `count` bytes are described (a truncated or
  // damaged stream).
  std::size_t Decode(const std::uint8_t* code, std::size_t size, std::uint32_t count,
                     MemoryStream& dest);

 private:
  AdaptiveHuffman huffman_;
};

}  // namespace oracle::lzhuf
