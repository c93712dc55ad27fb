// Start and rebuild of the adaptive Huffman tree; the per-symbol update is inline in the header.
#include "oracle/compress/internal/AdaptiveHuffman.h"

#include <cstring>

namespace oracle::lzhuf {

void AdaptiveHuffman::Start() {
  for (unsigned i = 0; i < kSymbols; ++i) {
    frequency_[i] = 1;
    son_[i] = static_cast<Slot>(i + kTreeSize);
    parent_[i + kTreeSize] = static_cast<Slot>(i);
  }
  unsigned i = 0;
  for (unsigned j = kSymbols; j <= kRoot; ++j, i += 2) {
    frequency_[j] = static_cast<Slot>(frequency_[i] + frequency_[i + 1]);
    son_[j] = static_cast<Slot>(i);
    parent_[i] = parent_[i + 1] = static_cast<Slot>(j);
  }
  frequency_[kTreeSize] = 0xFFFF;
  parent_[kRoot] = 0;
}

void AdaptiveHuffman::Rebuild() {
  // Gather the leaves at the front, in their current order, with halved counts.
  unsigned j = 0;
  for (unsigned i = 0; i < kTreeSize; ++i) {
    if (son_[i] >= kTreeSize) {
      frequency_[j] = static_cast<Slot>((frequency_[i] + 1u) / 2u);
      son_[j] = son_[i];
      ++j;
    }
  }
  // Join the two lowest nodes in turn and slot each new node in by count, after equal counts.
  for (unsigned i = 0, n = kSymbols; n < kTreeSize; i += 2, ++n) {
    const unsigned f = frequency_[i] + frequency_[i + 1];
    frequency_[n] = static_cast<Slot>(f);
    unsigned k = n - 1;
    while (f < frequency_[k]) --k;
    ++k;
    const std::size_t moved = n - k;
    std::memmove(&frequency_[k + 1], &frequency_[k], moved * sizeof frequency_[0]);
    frequency_[k] = static_cast<Slot>(f);
    std::memmove(&son_[k + 1], &son_[k], moved * sizeof son_[0]);
    son_[k] = static_cast<Slot>(i);
  }
  for (unsigned i = 0; i < kTreeSize; ++i) {
    const unsigned k = son_[i];
    if (k >= kTreeSize)
      parent_[k] = static_cast<Slot>(i);
    else
      parent_[k] = parent_[k + 1] = static_cast<Slot>(i);
  }
}

}  // namespace oracle::lzhuf
