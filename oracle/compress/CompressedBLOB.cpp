// Storing and reading cached BLOB values in their compressed form.
#include "oracle/compress/CompressedBLOB.h"

#include <algorithm>

#include "oracle/compress/OracleCompress.h"

namespace oracle {

bool IsCompressedBLOB(const std::vector<std::uint8_t>& stored) {
  return stored.size() > 7 &&
         std::equal(CompressedBLOBMarker.begin(), CompressedBLOBMarker.end(), stored.begin());
}

std::vector<std::uint8_t> StoreBLOBValue(BLOBCompression& compression, void* dataSet, void* field,
                                         const std::vector<std::uint8_t>& value) {
  if (!compression.CompressBLOBs || value.empty()) return value;
  MemoryStream source(value);
  MemoryStream dest;
  if (compression.OnCompressBLOB) {
    compression.OnCompressBLOB(dataSet, field, source, dest);
  } else {
    dest.Write(CompressedBLOBMarker.data(), CompressedBLOBMarker.size());
    CompressStream(source, dest);
  }
  if (dest.Size() == 0) return value;
  compression.BytesBeforeCompression += static_cast<double>(value.size());
  compression.BytesAfterCompression += static_cast<double>(dest.Size());
  return dest.TakeBytes();
}

std::vector<std::uint8_t> ReadBLOBValue(const BLOBCompression& compression, void* dataSet,
                                        void* field, const std::vector<std::uint8_t>& stored) {
  MemoryStream dest;
  if (IsCompressedBLOB(stored)) {
    MemoryStream source(stored);
    source.SetPosition(CompressedBLOBMarker.size());
    DecompressStream(source, dest);
  } else if (compression.CompressBLOBs && compression.OnDecompressBLOB) {
    MemoryStream source(stored);
    compression.OnDecompressBLOB(dataSet, field, source, dest);
  }
  if (dest.Size() == 0) return stored;
  return dest.TakeBytes();
}

}  // namespace oracle
