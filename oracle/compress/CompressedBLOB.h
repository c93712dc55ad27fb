// The form in which a dataset keeps cached BLOB values compressed: an 8-byte marker followed by a
// compressed stream, or whatever the dataset's own compression events make of the value.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "oracle/compress/MemoryStream.h"

namespace oracle {

// The first 8 bytes of a value compressed with CompressStream.
inline constexpr std::array<std::uint8_t, 8> CompressedBLOBMarker = {0x91, 0x00, 0xA6, 0x38,
                                                                     0x88, 0xB7, 0xCC, 0x1B};

// A dataset's compression event: called with the dataset, the field, the source stream (holding
// the value, positioned at 0) and an empty destination stream, in this order. What it writes to
// dest replaces the value; leaving dest empty keeps the value as it is. The dataset and field are
// passed through untouched, for the handler to tell values apart.
using TBLOBCompressionEvent =
    std::function<void(void* dataSet, void* field, MemoryStream& source, MemoryStream& dest)>;

// What the storing and reading rules need of a dataset: its option, its events, and the two
// running totals it keeps.
struct BLOBCompression {
  bool CompressBLOBs = false;
  TBLOBCompressionEvent OnCompressBLOB;
  TBLOBCompressionEvent OnDecompressBLOB;
  // Bytes of the values before and after compression, counted for every value whose compressed
  // form replaced it.
  double BytesBeforeCompression = 0;
  double BytesAfterCompression = 0;
};

// True for a value longer than 7 bytes that begins with CompressedBLOBMarker.
bool IsCompressedBLOB(const std::vector<std::uint8_t>& stored);

// The form to keep for a BLOB value. With CompressBLOBs off, or an empty value, the value itself.
// Otherwise OnCompressBLOB's output when the event is set, else the marker followed by the
// CompressStream output; the result is used even when longer than the value, and counts in the
// totals. An event that writes nothing leaves the value uncompressed and the totals unchanged.
std::vector<std::uint8_t> StoreBLOBValue(BLOBCompression& compression, void* dataSet, void* field,
                                         const std::vector<std::uint8_t>& value);

// The value a stored form holds. A marked value (see IsCompressedBLOB) is decompressed from
// offset 8, whatever CompressBLOBs says; otherwise, with CompressBLOBs on and OnDecompressBLOB
// set, the event produces the value. An empty result gives the stored bytes as they are. A marked
// value that does not decompress raises oracle::Exception ("Compressed stream is truncated").
std::vector<std::uint8_t> ReadBLOBValue(const BLOBCompression& compression, void* dataSet,
                                        void* field, const std::vector<std::uint8_t>& stored);

}  // namespace oracle
