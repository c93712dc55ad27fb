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
// run of equal counts. That node is found by a few single steps and then a galloping search
// rather than a plain linear scan; on a sorted array both find the same node, so the tree evolves
// exactly as the published coder's does.
class AdaptiveHuffman {
 public:
  using Slot = std::uint16_t;  // node numbers and counts (at most 0xFFFF, the sentinel)

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
        frequency_[l] = static_cast<Slot>(k);

        const unsigned i = son_[c];
        parent_[i] = static_cast<Slot>(l);
        if (i < kTreeSize) parent_[i + 1] = static_cast<Slot>(l);

        const unsigned j = son_[l];
        son_[l] = static_cast<Slot>(i);

        parent_[j] = static_cast<Slot>(c);
        if (j < kTreeSize) parent_[j + 1] = static_cast<Slot>(c);
        son_[c] = static_cast<Slot>(j);

        c = l;
      }
      c = parent_[c];
    } while (c != 0);  // the root's parent is recorded as 0
  }

 private:
  // The last node whose count is below k, given that node `from` is below k. Runs of equal
  // counts are mostly short, so a few steps are taken one by one before galloping. The sentinel
  // count after the root (0xFFFF) stops the search.
  unsigned LastBelow(unsigned from, unsigned k) const {
    unsigned lo = from;
    for (int n = 0; n < 4; ++n) {
      if (frequency_[lo + 1] >= k) return lo;
      ++lo;
    }
    unsigned step = 2;
    unsigned hi = lo + 1;
    while (frequency_[hi] < k) {
      lo = hi;
      hi = lo + step;
      step <<= 1;
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

  Slot frequency_[kTreeSize + 1];      // + the sentinel
  Slot parent_[kTreeSize + kSymbols];  // nodes, then the leaf of each symbol
  Slot son_[kTreeSize];
};

}  // namespace oracle::lzhuf
