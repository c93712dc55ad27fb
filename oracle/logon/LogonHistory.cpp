// The in-memory history list and its duplicate rules.
#include "oracle/logon/LogonHistory.h"

#include "oracle/session/ConnectString.h"

namespace oracle {

THistoryItems& LogonHistory() {
  static THistoryItems history;
  return history;
}

void THistoryItems::MoveToTop(std::size_t index) {
  if (index == 0 || index >= items_.size()) return;
  THistoryItem item = std::move(items_[index]);
  items_.erase(items_.begin() + static_cast<long>(index));
  items_.insert(items_.begin(), std::move(item));
}

bool IsHistoryGroup(const THistoryItem& item) {
  return !item.Username.empty() && item.Username[0] == '>';
}

std::string HistoryItemText(const THistoryItem& item) {
  std::string text = item.Username;
  if (!item.Database.empty()) text += "@" + item.Database;
  if (!item.ConnectAs.empty()) text += " as " + item.ConnectAs;
  if (IsHistoryGroup(item)) text.erase(0, 1);
  return text;
}

std::string HistoryEntryText(const THistoryItem& item) {
  std::string text = item.Username + "/" + item.Password + "@" + item.Database;
  if (!item.ConnectAs.empty()) text += " as " + item.ConnectAs;
  return text;
}

void AddHistoryItem(THistoryItems& list, const std::string& username, const std::string& password,
                    const std::string& database, const std::string& connectAs, bool moveToTop) {
  if (username.empty()) return;

  TConnectStringParts parts{username, password, database, connectAs};
  ParseConnectString("", parts);
  if (!list.WithPassword) parts.Password.clear();

  std::string key = UpperCaseAscii(parts.Username);
  if (!parts.Database.empty()) key += "@" + UpperCaseAscii(parts.Database);
  if (!parts.ConnectAs.empty()) key += " AS " + parts.ConnectAs;

  for (std::size_t i = list.Count(); i-- > 0;)
    if (UpperCaseAscii(HistoryItemText(list[i])) == key) list.Delete(i);

  if (list.MaxItems > 0)
    while (list.Count() >= static_cast<std::size_t>(list.MaxItems))
      list.Delete(static_cast<std::size_t>(list.MaxItems) - 1);

  list.Append({parts.Username, parts.Password, parts.Database, parts.ConnectAs});
  if (moveToTop) list.MoveToTop(list.Count() - 1);
}

}  // namespace oracle
