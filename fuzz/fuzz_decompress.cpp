// Fuzz target for the stream compressor: any bytes as a compressed stream (must decode to exactly
// its count or raise oracle::Exception, within bounded work), as a stored BLOB value, and as a
// value that must come back unchanged from CompressStream and DecompressStream.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "oracle/compress/CompressedBLOB.h"
#include "oracle/compress/OracleCompress.h"
#include "oracle/core/Exception.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);

  // As a compressed stream.
  {
    oracle::MemoryStream source(bytes);
    oracle::MemoryStream dest;
    try {
      oracle::DecompressStream(source, dest);
      const std::uint32_t count =
          static_cast<std::uint32_t>(data[0]) | (static_cast<std::uint32_t>(data[1]) << 8) |
          (static_cast<std::uint32_t>(data[2]) << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
      Check(dest.Size() == count);
      Check(source.Position() <= size);
    } catch (const oracle::Exception&) {
      Check(dest.Size() == 0);
    }
  }

  // As a stored BLOB value: marked values decode or raise, others come back as they are.
  {
    oracle::BLOBCompression compression;
    try {
      const auto value = oracle::ReadBLOBValue(compression, nullptr, nullptr, bytes);
      if (!oracle::IsCompressedBLOB(bytes)) Check(value == bytes);
    } catch (const oracle::Exception&) {
      Check(oracle::IsCompressedBLOB(bytes));
    }
  }

  // As a value: compress and decompress back, from a source position taken from the data.
  {
    const std::size_t start = size > 0 ? data[0] % (size + 1) : 0;
    oracle::MemoryStream source(bytes);
    source.SetPosition(start);
    oracle::MemoryStream packed;
    oracle::CompressStream(source, packed);
    Check(source.Position() == size);
    oracle::MemoryStream again(packed.Bytes());
    oracle::MemoryStream out;
    oracle::DecompressStream(again, out);
    Check(out.Bytes() ==
          std::vector<std::uint8_t>(bytes.begin() + static_cast<long>(start), bytes.end()));
    // A complete stream's last byte always holds code bits (the empty value's space literal is
    // never read).
    if (start < size) Check(again.Position() == packed.Size());
  }
  return 0;
}
