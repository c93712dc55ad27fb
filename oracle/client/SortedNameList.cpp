// Case-insensitive sorted name list.
#include "oracle/client/SortedNameList.h"

#include "oracle/client/internal/Text.h"

namespace oracle {

bool CaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const {
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    auto ca = static_cast<unsigned char>(internal::LowerChar(a[i]));
    auto cb = static_cast<unsigned char>(internal::LowerChar(b[i]));
    if (ca != cb) return ca < cb;
  }
  return a.size() < b.size();
}

bool SortedNameList::add(std::string name, int tag) {
  return entries_.emplace(std::move(name), tag).second;
}

std::vector<std::string> SortedNameList::names() const {
  std::vector<std::string> result;
  result.reserve(entries_.size());
  for (const auto& entry : entries_) result.push_back(entry.first);
  return result;
}

}  // namespace oracle
