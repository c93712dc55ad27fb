// CompressStream and DecompressStream over the LZHUF coder.
//
// Each call builds its own working storage (ring, search trees, Huffman tree, bit registers:
// about 30 KB) and frees it at the end, so there is no unit lock. The storage has to be set up at
// every call anyway, so making it the call's own costs nothing, and it buys three things: calls on
// different threads run side by side instead of queueing on one process-wide lock; no lock of
// ours can take part in a lock-order cycle with the caller's; and the output depends on the input
// alone, since the encoder's comparisons read ring bytes past the end of the input, which are
// zero in fresh storage rather than whatever an earlier call left there. The code bits are those
// of the published coder started on fresh storage.
#include "oracle/compress/OracleCompress.h"

#include <cstdint>
#include <limits>
#include <memory>

#include "oracle/compress/internal/LzhufDecoder.h"
#include "oracle/compress/internal/LzhufEncoder.h"
#include "oracle/core/Exception.h"

namespace oracle {

namespace {

// The coder reads the source's memory while it writes the destination, which may move it.
void RequireTwoStreams(const MemoryStream& source, const MemoryStream& dest) {
  if (&source == &dest) throw Exception("Source and destination must be different streams");
}

}  // namespace

void CompressStream(MemoryStream& source, MemoryStream& dest) {
  RequireTwoStreams(source, dest);
  const std::size_t start = source.Position();
  const std::size_t n = start < source.Size() ? source.Size() - start : 0;
  if (n > std::numeric_limits<std::uint32_t>::max())
    throw Exception("Stream too large to compress");

  // Room for the count and about as much code as input; incompressible input grows past it.
  const std::size_t at = dest.Position();
  dest.SetSize(at + n + 4);
  dest.Seek(static_cast<std::int64_t>(at), soBeginning);
  const std::uint8_t count[4] = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                                 static_cast<std::uint8_t>(n >> 16),
                                 static_cast<std::uint8_t>(n >> 24)};
  dest.Write(count, sizeof count);

  auto encoder = std::make_unique<lzhuf::Encoder>();
  encoder->Encode(source.Memory() + (n > 0 ? start : 0), n, dest);
  source.SetPosition(start + n);
  dest.SetSize(dest.Position());
}

void DecompressStream(MemoryStream& source, MemoryStream& dest) {
  RequireTwoStreams(source, dest);
  const std::size_t start = source.Position();
  const std::size_t available = start < source.Size() ? source.Size() - start : 0;
  if (available < 4) throw Exception("Compressed stream is truncated");
  const std::uint8_t* header = source.Memory() + start;
  const std::uint32_t n =
      static_cast<std::uint32_t>(header[0]) | (static_cast<std::uint32_t>(header[1]) << 8) |
      (static_cast<std::uint32_t>(header[2]) << 16) | (static_cast<std::uint32_t>(header[3]) << 24);

  // The destination takes the bytes only once they are all decoded, so a damaged stream leaves it
  // as it was, and an untrustworthy count never sizes anything up front.
  const std::size_t at = dest.Position();
  auto decoder = std::make_unique<lzhuf::Decoder>();
  const std::size_t used = decoder->Decode(header + 4, available - 4, n, dest);
  dest.SetSize(at + n);
  source.SetPosition(start + 4 + used);
}

}  // namespace oracle
