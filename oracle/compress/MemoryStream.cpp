// A byte stream held in memory.
#include "oracle/compress/MemoryStream.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "oracle/core/Exception.h"

namespace oracle {

void MemoryStream::SetSize(std::size_t size) {
  bytes_.resize(size);
  if (position_ > size) position_ = size;
}

std::size_t MemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == soCurrent)
    base = static_cast<std::int64_t>(position_);
  else if (origin == soEnd)
    base = static_cast<std::int64_t>(bytes_.size());
  if ((offset < 0 && base + offset < 0) ||
      (offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset))
    throw Exception("Invalid stream position");
  position_ = static_cast<std::size_t>(base + offset);
  return position_;
}

std::size_t MemoryStream::Read(void* buffer, std::size_t count) {
  if (position_ >= bytes_.size()) return 0;
  const std::size_t n = std::min(count, bytes_.size() - position_);
  std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  return n;
}

std::size_t MemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return 0;
  if (count > std::numeric_limits<std::size_t>::max() - position_)
    throw Exception("Invalid stream position");
  if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
  std::memcpy(bytes_.data() + position_, buffer, count);
  position_ += count;
  return count;
}

std::vector<std::uint8_t> MemoryStream::TakeBytes() {
  std::vector<std::uint8_t> bytes = std::move(bytes_);
  bytes_.clear();
  position_ = 0;
  return bytes;
}

}  // namespace oracle
