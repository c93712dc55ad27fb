// A byte stream held in memory, with a position and a size, as the compressor and the dataset's
// BLOB cache pass values around.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace oracle {

enum SeekOrigin : std::uint8_t { soBeginning, soCurrent, soEnd };

// The position may lie past the end: reading there gives nothing, writing there first fills the
// gap with zero bytes. Not thread-safe; one owner at a time.
class MemoryStream {
 public:
  MemoryStream() = default;
  // Holds bytes, positioned at 0.
  explicit MemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

  std::size_t Size() const { return bytes_.size(); }
  // Cuts or extends (with zero bytes) to size; a position past the new end moves to the end.
  void SetSize(std::size_t size);

  std::size_t Position() const { return position_; }
  void SetPosition(std::size_t position) { position_ = position; }

  // Moves the position relative to origin and returns it. Raises oracle::Exception
  // ("Invalid stream position") rather than go before the beginning.
  std::size_t Seek(std::int64_t offset, SeekOrigin origin);

  // Copies up to count bytes from the position on into buffer; returns how many, and moves on.
  std::size_t Read(void* buffer, std::size_t count);
  // Copies count bytes to the position on, growing the stream as needed; returns count.
  std::size_t Write(const void* buffer, std::size_t count);

  // All the bytes, independent of the position.
  const std::uint8_t* Memory() const { return bytes_.data(); }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  // Hands the bytes over and leaves the stream empty at position 0.
  std::vector<std::uint8_t> TakeBytes();

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

}  // namespace oracle
