// A list guarded by its own lock, walked under that lock (the framework's thread list).
#pragma once

#include <algorithm>
#include <mutex>
#include <vector>

namespace oracle {

template <typename T>
class TThreadList {
 public:
  void Add(T item) {
    std::lock_guard lock(mutex_);
    items_.push_back(item);
  }
  void Remove(T item) {
    std::lock_guard lock(mutex_);
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it != items_.end()) items_.erase(it);
  }
  bool Contains(T item) const {
    std::lock_guard lock(mutex_);
    return std::find(items_.begin(), items_.end(), item) != items_.end();
  }
  std::size_t Count() const {
    std::lock_guard lock(mutex_);
    return items_.size();
  }
  // Runs `visit` on each item under the list's lock. The lock is recursive, so a visitor may
  // call back into the list (an item removing itself, for example).
  template <typename Visit>
  void ForEach(Visit&& visit) const {
    std::lock_guard lock(mutex_);
    const std::vector<T> snapshot = items_;
    for (T item : snapshot) visit(item);
  }
  template <typename Visit>
  void ForEachReverse(Visit&& visit) const {
    std::lock_guard lock(mutex_);
    const std::vector<T> snapshot = items_;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) visit(*it);
  }
  std::vector<T> Snapshot() const {
    std::lock_guard lock(mutex_);
    return items_;
  }

 private:
  mutable std::recursive_mutex mutex_;
  std::vector<T> items_;
};

}  // namespace oracle
