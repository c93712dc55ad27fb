// Oracle's 18-character ROWID text for a row of a table (object number and SQLite rowid), and
// back. Blocks and slots are chosen so that every SQLite rowid has one text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace ociemu {

std::string RowidText(int64_t object, int64_t rowid);
std::optional<std::pair<int64_t, int64_t>> ParseRowid(std::string_view text);
int64_t ObjectNumber(std::string_view table);

}  // namespace ociemu
