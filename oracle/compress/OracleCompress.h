// Compression of a byte range between two in-memory streams with the LZHUF code. A compressed
// stream is the uncompressed size as 4 bytes little-endian, then the code bits, most significant
// bit first, the last byte padded with zero bits.
#pragma once

#include "oracle/compress/MemoryStream.h"

namespace oracle {

// Compresses the bytes of source from its position to its end and writes the compressed stream to
// dest at dest's position; dest then ends where the stream ends. Leaves source at its end. Raises
// oracle::Exception ("Stream too large to compress") for more than 4 GB - 1 bytes, which the count
// cannot hold.
//
// Calls share no state: any number may run at once on different streams. Source and dest must be
// two streams (oracle::Exception otherwise).
void CompressStream(MemoryStream& source, MemoryStream& dest);

// Reads a compressed stream at source's position and writes the bytes it holds to dest at dest's
// position; dest then ends after them. Leaves source after the last byte the code used.
//
// Raises oracle::Exception ("Compressed stream is truncated") when source ends before the count
// and the code are complete, or when the count is more than the code could describe; dest is
// then left as it was. The work and memory are bounded by the size of source (at most 48 bytes
// out per byte of code), whatever the count says.
void DecompressStream(MemoryStream& source, MemoryStream& dest);

}  // namespace oracle
