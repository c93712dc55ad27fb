// SQLite's failures as Oracle's errors: the code, the names in the message and the parse offset
// in the statement as the application wrote it.
#include <cstring>
#include <optional>

#include "ociemu/internal/Catalogue.h"
#include "ociemu/internal/Cursor.h"
#include "ociemu/internal/CursorText.h"
#include "ociemu/internal/OracleError.h"
#include "ociemu/internal/SqlLexer.h"

namespace ociemu {

OracleError Cursor::MapError(Connection& conn, int rc) const {
  sqlite3* db = conn.Sql();
  const std::string msg = sqlite3_errmsg(db);
  int offset = 0;
  if (int position = sqlite3_error_offset(db); position >= 0 && translation_) {
    offset = static_cast<int>(translation_->OriginalOffset(static_cast<size_t>(position)));
  }
  auto after = [&](const char* prefix) -> std::optional<std::string> {
    size_t p = msg.find(prefix);
    if (p == std::string::npos) return std::nullopt;
    return msg.substr(p + std::strlen(prefix));
  };
  auto locate = [&](const std::string& name) {
    // Without an offset from SQLite, point at the first place the name is written.
    if (offset) return offset;
    std::string upper = Upper(name);
    try {
      for (const auto& t : Tokenize(text_)) {
        if (t.text == upper) return static_cast<int>(t.offset);
      }
    } catch (const OracleError&) {
    }
    return 0;
  };
  const std::string user = conn.currentUser;
  // Errors raised inside SQLite by the server's own functions carry their finished text.
  if (msg.rfind("ORA-", 0) == 0) {
    return OracleError(std::atoi(msg.c_str() + 4), msg.back() == '\n' ? msg : msg + "\n")
        .WithOffset(offset);
  }
  if (auto e = ConstraintError(db, msg, statementType_, DmlTable(text_))) return *e;
  if (auto name = after("no such table: ")) {
    std::string table = *name;
    if (table.rfind("main.", 0) == 0) table = table.substr(5);
    return OracleError(942).WithOffset(locate(table));
  }
  if (auto name = after("no such column: ")) {
    std::string column =
        name->substr(name->rfind('.') == std::string::npos ? 0 : name->rfind('.') + 1);
    return OracleError(904, {Quoted(*name)}).WithOffset(locate(column));
  }
  if (auto name = after("no such function: "))
    return OracleError(904, {Quoted(*name)}).WithOffset(locate(*name));
  if (msg.find("wrong number of arguments") != std::string::npos)
    return OracleError(909).WithOffset(offset);
  if (auto near = after("near \"")) {
    std::string token = near->substr(0, near->find('"'));
    int code = (Upper(token) == "FROM" || token == "," || token == ")") ? 936 : 933;
    return OracleError(code).WithOffset(offset);
  }
  if (msg.find("incomplete input") != std::string::npos) {
    return OracleError(921).WithOffset(static_cast<int>(text_.size()));
  }
  if (msg.find("already exists") != std::string::npos) return OracleError(955).WithOffset(offset);
  if (auto what = after("UNIQUE constraint failed: ")) {
    return OracleError(1, {user, Upper(what->substr(0, what->find('.')))});
  }
  if (auto what = after("NOT NULL constraint failed: ")) {
    return OracleError(statementType_ == OCI_STMT_UPDATE ? 1407 : 1400,
                       {"\"" + user + "\"." + Quoted(*what)});
  }
  if (auto what = after("CHECK constraint failed: ")) {
    if (what->rfind("OCIEMU$LEN$", 0) == 0) return OracleError(1401);
    return OracleError(2290, {user, Upper(*what)});
  }
  if (msg.find("FOREIGN KEY constraint failed") != std::string::npos) {
    return OracleError(statementType_ == OCI_STMT_DELETE ? 2292 : 2291,
                       {user, "FK_" + DmlTable(text_)});
  }
  if (auto name = after("no such savepoint: ")) return OracleError(1086, {Upper(*name)});
  // Writing rows another session changed after this transaction's snapshot.
  if (rc == SQLITE_BUSY_SNAPSHOT) return OracleError(8177);
  if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED || (rc & 0xFF) == SQLITE_BUSY)
    return OracleError(54);
  if ((rc & 0xFF) == SQLITE_INTERRUPT) return OracleError(1013);
  if (msg.find("integer overflow") != std::string::npos) return OracleError(1426);
  if ((rc & 0xFF) == SQLITE_MISMATCH) return OracleError(1722);
  return OracleError(600, {msg});
}

}  // namespace ociemu
