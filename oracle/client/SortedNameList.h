// A sorted list of names compared without regard to letter case, each with an integer tag; adding
// a name already present (in any case) is ignored. The binding keeps its installed Oracle homes
// and its net service names in such lists.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace oracle {

// Orders names by their lower-case bytes, so punctuation sorts before letters as in the
// platform's own case-insensitive collation.
struct CaseInsensitiveLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

class SortedNameList {
 public:
  using Map = std::map<std::string, int, CaseInsensitiveLess>;
  using const_iterator = Map::const_iterator;

  // False when the name (ignoring case) is already in the list; the first spelling stays.
  bool add(std::string name, int tag = 0);
  void clear() { entries_.clear(); }
  std::size_t count() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  bool contains(std::string_view name) const { return entries_.find(name) != entries_.end(); }

  // Entries in sorted order: first = the name as first added, second = its tag.
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }
  std::vector<std::string> names() const;

 private:
  Map entries_;
};

}  // namespace oracle
