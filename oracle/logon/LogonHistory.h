// The most-recently-used list of logon parameters that the logon dialog offers. One list per
// process, shared by all logon components; index 0 is the most recent logon.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace oracle {

struct THistoryItem {
  std::string Username;  // a leading ">" marks a group header
  std::string Password;  // empty when the list does not keep passwords
  std::string Database;
  std::string ConnectAs;  // "SYSDBA", "SYSOPER" or empty
};

class THistoryItems {
 public:
  std::int32_t MaxItems = 0;  // most entries kept; 0 means no limit
  bool WithPassword = false;

  std::size_t Count() const { return items_.size(); }
  const THistoryItem& operator[](std::size_t index) const { return items_.at(index); }
  const std::vector<THistoryItem>& Items() const { return items_; }
  void Clear() { items_.clear(); }
  void Append(THistoryItem item) { items_.push_back(std::move(item)); }
  void Delete(std::size_t index) { items_.erase(items_.begin() + static_cast<long>(index)); }
  void MoveToTop(std::size_t index);

 private:
  std::vector<THistoryItem> items_;
};

// The process-wide list. Touched from the GUI thread only.
THistoryItems& LogonHistory();

// Adds a logon, replacing entries with the same menu text (user, database, mode; not password).
// A full connect string given as the username is split first. An empty username adds nothing.
void AddHistoryItem(THistoryItems& list, const std::string& username, const std::string& password,
                    const std::string& database, const std::string& connectAs, bool moveToTop);

// What the menu shows and duplicates are found by: user@database as MODE, no password, and
// without the ">" of a group header.
std::string HistoryItemText(const THistoryItem& item);
// What is stored: user/password@database, always all five pieces, then " as MODE" when set.
std::string HistoryEntryText(const THistoryItem& item);
bool IsHistoryGroup(const THistoryItem& item);

}  // namespace oracle
