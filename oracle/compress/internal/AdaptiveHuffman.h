// The adaptive Huffman tree of the LZHUF code, shared by the encoder and the decoder: 314 leaves,
// counts kept in non-decreasing order over the node numbers, updated after every symbol.
#pragma once

#include <cstdint>

#include "oracle/compress/internal/LzhufParameters.h"

namespace oracle::lzhuf {

// Node numbers 0..626 are ordered by count; node 626 is the root. son_[n] is the even-numbered
// first child of n (the second is son_[n] + 1), or kTreeSize + symbol for a leaf. parent_[n] is
// the parent of node n, and parent_[kTreeSize + symbol] the leaf of a symbol.
//
// The counts stay sorted because every increment is followed by a swap with the last node of the
// run of equal counts; that run is found by a galloping search instead of a linear scan. Both find
// the same node (the array is sorted), so the tree evolves exactly as the published coder's does.
class AdaptiveHuffman {
 public:
  // Every leaf at count 1, paired in order.
  void Start();

  // The leaf of a symbol and the parent of a node; kRoot has no parent.
  unsigned LeafOf(unsigned symbol) const { return parent_[kTreeSize + symbol]; }
  unsigned Parent(unsigned node) const { return parent_[node]; }
  // First child of an inner node, or kTreeSize + symbol when node is a leaf.
  unsigned Child(unsigned node) const { return son_[node]; }

  // Counts one more use of symbol. When the root count has reached kMaxFrequency the tree is
  // first rebuilt from the halved leaf counts (rounded up).
  void Update(unsigned symbol) {
    if (frequency_[kRoot] == kMaxFrequency) Rebuild();
    unsigned c = parent_[kTreeSize + symbol];
    do {
      const unsigned k = ++frequency_[c];
      if (k > frequency_[c + 1]) {
        const unsigned l = LastBelow(c + 1, k);
        frequency_[c] = frequency_[l];
        frequency_[l] = static_cast<std::uint16_t>(k);

        const unsigned i = son_[c];
        parent_[i] = static_cast<std::uint16_t>(l);
        if (i < kTreeSize) parent_[i + 1] = static_cast<std::uint16_t>(l);

        const unsigned j = son_[l];
        son_[l] = static_cast<std::uint16_t>(i);

        parent_[j] = static_cast<std::uint16_t>(c);
        if (j < kTreeSize) parent_[j + 1] = static_cast<std::uint16_t>(c);
        son_[c] = static_cast<std::uint16_t>(j);

        c = l;
      }
      c = parent_[c];
    } while (c != 0);  // the root's parent is recorded as 0
  }

 private:
  // The last node whose count is below k, given that node `from` is below k. The sentinel count
  // after the root (0xFFFF) stops the search.
  unsigned LastBelow(unsigned from, unsigned k) const {
    unsigned lo = from;
    unsigned step = 1;
    unsigned hi = lo + 1;
    while (frequency_[hi] < k) {
      lo = hi;
      step <<= 1;
      hi = lo + step;
      if (hi > kTreeSize) {
        hi = kTreeSize;
        break;
      }
    }
    while (hi - lo > 1) {
      const unsigned mid = (lo + hi) / 2;
      if (frequency_[mid] < k)
        lo = mid;
      else
        hi = mid;
    }
    return lo;
  }

  void Rebuild();

  std::uint16_t frequency_[kTreeSize + 1];       // + the sentinel
  std::uint16_t parent_[kTreeSize + kSymbols];   // nodes, then the leaf of each symbol
  std::uint16_t son_[kTreeSize];
};

}  // namespace oracle::lzhuf
