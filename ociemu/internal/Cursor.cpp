// Execution, binding and fetching. Values cross between the application's buffers (external
// datatypes) and SQLite's values here; dates travel as Julian day numbers, numbers as SQLite
// integers or doubles, and an empty text is NULL as Oracle has it.
#include "ociemu/internal/Cursor.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "ociemu/internal/OraDate.h"
#include "ociemu/internal/OraNumber.h"
#include "ociemu/internal/OracleError.h"
#include "ociemu/internal/SqlLexer.h"

namespace ociemu {
namespace {

class ConnectionSchema : public SchemaLookup {
 public:
  explicit ConnectionSchema(Connection& c) : c_(c) {}
  std::optional<std::string> DeclaredType(const std::string& table,
                                          const std::string& column) override {
    const char* declared = nullptr;
    const char* collation = nullptr;
    int notNull = 0, primaryKey = 0, autoIncrement = 0;
    if (sqlite3_table_column_metadata(c_.Sql(), nullptr, table.c_str(), column.c_str(), &declared,
                                      &collation, &notNull, &primaryKey,
                                      &autoIncrement) == SQLITE_OK &&
        declared) {
      return std::string(declared);
    }
    return std::nullopt;
  }
  bool IsAccount(const std::string& name) override {
    auto it = accounts_.find(name);
    if (it != accounts_.end()) return it->second;
    bool account = name == "SYS" || name == "PUBLIC" || c_.Db().FindAccount(name).has_value();
    accounts_[name] = account;
    return account;
  }

 private:
  Connection& c_;
  std::map<std::string, bool> accounts_;
};

std::string Upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Quoted(const std::string& dotted) {
  std::string out;
  size_t start = 0;
  while (true) {
    size_t dot = dotted.find('.', start);
    out += "\"" + Upper(dotted.substr(start, dot - start)) + "\"";
    if (dot == std::string::npos) break;
    out += ".";
    start = dot + 1;
  }
  return out;
}

std::string DateFormatOf(const Connection& c) {
  auto it = c.sessionSettings.find("nls_date_format");
  return it == c.sessionSettings.end() ? kDefaultDateFormat : it->second;
}

// The table a DML statement writes to (for the ROWID of its last row).
std::string DmlTable(const std::string& sql) {
  try {
    auto tokens = Tokenize(sql);
    for (size_t i = 0; i + 1 < tokens.size(); ++i) {
      if (tokens[i].Is("INTO") || tokens[i].Is("UPDATE") ||
          (tokens[i].Is("DELETE") && !tokens[i + 1].Is("FROM")) || tokens[i].Is("FROM")) {
        size_t t = i + 1;
        if (t + 2 < tokens.size() && tokens[t + 1].IsSymbol(".")) t += 2;
        return tokens[t].text;
      }
    }
  } catch (const OracleError&) {
  }
  return "";
}

// The element of a bind as SQLite binds it.
void BindValue(sqlite3_stmt* st, int index, const BindBuffer& b, ub4 row) {
  if (!b.value || (b.indicator && b.indicator[row] < 0)) {
    sqlite3_bind_null(st, index);
    return;
  }
  const char* base = static_cast<const char*>(b.value) +
                     static_cast<size_t>(row) * static_cast<size_t>(b.size > 0 ? b.size : 0);
  const size_t size = b.size > 0 ? static_cast<size_t>(b.size) : 0;
  auto text = [&](const char* p, size_t n) {
    if (n == 0) {
      sqlite3_bind_null(st, index);  // Oracle has no empty string
    } else {
      sqlite3_bind_text(st, index, p, static_cast<int>(n), SQLITE_TRANSIENT);
    }
  };
  auto blob = [&](const char* p, size_t n) {
    if (n == 0) {
      sqlite3_bind_null(st, index);
    } else {
      sqlite3_bind_blob(st, index, p, static_cast<int>(n), SQLITE_TRANSIENT);
    }
  };
  auto number = [&](const Number& n) {
    if (n.isInteger) {
      sqlite3_bind_int64(st, index, n.integer);
    } else {
      sqlite3_bind_double(st, index, n.real);
    }
  };
  const size_t given = b.length ? std::min<size_t>(b.length[row], size) : size;
  switch (b.type) {
    case SQLT_CHR:
    case SQLT_AFC:
    case SQLT_LNG:
      return text(base, given);
    case SQLT_STR:
    case SQLT_AVC: {
      size_t n = strnlen(base, size);
      return text(base, n);
    }
    case SQLT_VCS:
    case SQLT_VBI: {
      if (size < 2) throw OracleError(1459);
      ub2 n;
      std::memcpy(&n, base, 2);
      n = static_cast<ub2>(std::min<size_t>(n, size - 2));
      return b.type == SQLT_VCS ? text(base + 2, n) : blob(base + 2, n);
    }
    case SQLT_LVC:
    case SQLT_LVB: {
      if (size < 4) throw OracleError(1459);
      sb4 n;
      std::memcpy(&n, base, 4);
      size_t len = n < 0 ? 0 : std::min<size_t>(static_cast<size_t>(n), size - 4);
      return b.type == SQLT_LVC ? text(base + 4, len) : blob(base + 4, len);
    }
    case SQLT_BIN:
    case SQLT_LBI:
      return blob(base, given);
    case SQLT_INT: {
      int64_t v;
      if (size == 1) {
        v = *reinterpret_cast<const signed char*>(base);
      } else if (size == 2) {
        int16_t x;
        std::memcpy(&x, base, 2);
        v = x;
      } else if (size == 4) {
        int32_t x;
        std::memcpy(&x, base, 4);
        v = x;
      } else if (size == 8) {
        std::memcpy(&v, base, 8);
      } else {
        throw OracleError(1459);
      }
      return static_cast<void>(sqlite3_bind_int64(st, index, v));
    }
    case SQLT_UIN: {
      uint64_t v;
      if (size == 1) {
        v = static_cast<unsigned char>(*base);
      } else if (size == 2) {
        uint16_t x;
        std::memcpy(&x, base, 2);
        v = x;
      } else if (size == 4) {
        uint32_t x;
        std::memcpy(&x, base, 4);
        v = x;
      } else if (size == 8) {
        std::memcpy(&v, base, 8);
      } else {
        throw OracleError(1459);
      }
      if (v > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
        return static_cast<void>(sqlite3_bind_double(st, index, static_cast<double>(v)));
      }
      return static_cast<void>(sqlite3_bind_int64(st, index, static_cast<int64_t>(v)));
    }
    case SQLT_FLT:
    case SQLT_BFLOAT:
    case SQLT_BDOUBLE:
    case SQLT_IBFLOAT:
    case SQLT_IBDOUBLE: {
      double v;
      if (size == 4) {
        float f;
        std::memcpy(&f, base, 4);
        v = f;
      } else if (size == 8) {
        std::memcpy(&v, base, 8);
      } else {
        throw OracleError(1459);
      }
      return number(Normalize(v));
    }
    case SQLT_NUM: {
      auto n = DecodeNumber(reinterpret_cast<const unsigned char*>(base), static_cast<int>(given));
      if (!n) throw OracleError(1722);
      return number(*n);
    }
    case SQLT_VNU: {
      if (size < 1) throw OracleError(1459);
      int len = static_cast<unsigned char>(base[0]);
      if (static_cast<size_t>(len) + 1 > size) throw OracleError(1722);
      auto n = DecodeNumber(reinterpret_cast<const unsigned char*>(base + 1), len);
      if (!n) throw OracleError(1722);
      return number(*n);
    }
    case SQLT_DAT: {
      if (size < 7) throw OracleError(1459);
      auto t = DecodeDate7(reinterpret_cast<const unsigned char*>(base));
      if (!t) throw OracleError(1841);
      return static_cast<void>(sqlite3_bind_double(st, index, JulianDay(*t)));
    }
    case SQLT_ODT: {
      if (size < 8) throw OracleError(1459);
      CivilTime t;
      sb2 year;
      std::memcpy(&year, base, 2);
      t.year = year;
      t.month = static_cast<unsigned char>(base[2]);
      t.day = static_cast<unsigned char>(base[3]);
      t.hour = static_cast<unsigned char>(base[4]);
      t.minute = static_cast<unsigned char>(base[5]);
      t.second = static_cast<unsigned char>(base[6]);
      if (!IsValid(t)) throw OracleError(1841);
      return static_cast<void>(sqlite3_bind_double(st, index, JulianDay(t)));
    }
    default:
      throw OracleError(3001);
  }
}

}  // namespace

Cursor::~Cursor() {
  Close();
}

void Cursor::Close() {
  sqlite3_finalize(stmt_);
  stmt_ = nullptr;
  conn_.reset();
  executed_ = false;
  fetchDone_ = false;
}

void Cursor::Prepare(std::string sql) {
  Close();
  text_ = std::move(sql);
  prepared_ = true;
  translation_.reset();
  columns_.clear();
  described_ = false;
  namedBinds_.clear();
  positionBinds_.clear();
  defines_.clear();
  rowCount_ = rowsFetched_ = 0;
  parseOffset_ = 0;
  auto [type, code] = Classify(text_);
  statementType_ = type;
  functionCode_ = code;
}

void Cursor::BindName(const std::string& name, const BindBuffer& buffer) {
  std::string key = name;
  if (!key.empty() && key[0] == ':') key.erase(0, 1);
  if (key.size() >= 2 && key.front() == '"' && key.back() == '"') {
    key = key.substr(1, key.size() - 2);
  } else {
    key = Upper(key);
  }
  if (key.empty()) throw OracleError(1036);
  namedBinds_[key] = buffer;
}

void Cursor::BindPosition(ub4 position, const BindBuffer& buffer) {
  if (position == 0) throw OracleError(1036);
  positionBinds_[position] = buffer;
}

void Cursor::Define(ub4 position, const DefineBuffer& buffer) {
  if (position == 0) throw OracleError(1007);
  defines_[position] = buffer;
}

void Cursor::Translate(Connection& conn) {
  if (translation_) return;
  ConnectionSchema schema(conn);
  try {
    translation_ = ociemu::Translate(text_, schema);
  } catch (const OracleError& e) {
    parseOffset_ = e.Offset();
    throw;
  }
  statementType_ = translation_->statementType;
  functionCode_ = translation_->functionCode;
}

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
  if (msg.rfind("ORA-", 0) == 0) return OracleError(std::atoi(msg.c_str() + 4)).WithOffset(offset);
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
  if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED || (rc & 0xFF) == SQLITE_BUSY)
    return OracleError(54);
  if ((rc & 0xFF) == SQLITE_INTERRUPT) return OracleError(1013);
  if (msg.find("integer overflow") != std::string::npos) return OracleError(1426);
  if ((rc & 0xFF) == SQLITE_MISMATCH) return OracleError(1722);
  return OracleError(600, {msg});
}

void Cursor::PrepareSqlite(Connection& conn) {
  if (stmt_ && sqlite3_db_handle(stmt_) == conn.Sql()) return;
  sqlite3_finalize(stmt_);
  stmt_ = nullptr;
  described_ = false;
  const char* tail = nullptr;
  int rc = sqlite3_prepare_v2(conn.Sql(), translation_->sql.c_str(),
                              static_cast<int>(translation_->sql.size()), &stmt_, &tail);
  if (rc != SQLITE_OK) {
    OracleError e = MapError(conn, rc);
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    parseOffset_ = e.Offset();
    throw e;
  }
  if (!stmt_) throw OracleError(900);
}

void Cursor::DescribeColumns(Connection& conn) {
  if (described_) return;
  columns_.clear();
  const int count = sqlite3_column_count(stmt_);
  const auto& items = translation_->items;
  size_t star = items.size();
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].star) {
      star = i;
      break;
    }
  }
  for (int c = 0; c < count; ++c) {
    ColumnDesc d;
    const char* name = sqlite3_column_name(stmt_, c);
    d.name = name ? name : "";
    const char* declared = sqlite3_column_decltype(stmt_, c);
    if (declared) d.type = TypeFromDeclared(declared);
    if (!d.type.known) {
      // The select-list item of this column, counting from the back after a "*".
      const SelectItem* item = nullptr;
      size_t index = static_cast<size_t>(c);
      if (index < star && index < items.size()) {
        item = &items[index];
      } else if (star < items.size()) {
        size_t fromEnd = static_cast<size_t>(count - 1 - c);
        if (fromEnd < items.size() - star - 1) item = &items[items.size() - 1 - fromEnd];
      }
      if (item && item->type.known) d.type = item->type;
    }
    if (!d.type.known) d.type = ColumnType::Varchar(4000);
    const char* table = sqlite3_column_table_name(stmt_, c);
    const char* origin = sqlite3_column_origin_name(stmt_, c);
    if (table && origin) {
      const char* decl = nullptr;
      const char* collation = nullptr;
      int notNull = 0, primaryKey = 0, autoIncrement = 0;
      if (sqlite3_table_column_metadata(conn.Sql(), nullptr, table, origin, &decl, &collation,
                                        &notNull, &primaryKey, &autoIncrement) == SQLITE_OK) {
        d.nullable = !notNull && !primaryKey;
      }
    }
    columns_.push_back(std::move(d));
  }
  described_ = true;
}

void Cursor::BindRow(Connection& conn, ub4 row) {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
  (void)conn;
  const auto& names = translation_->binds;
  for (size_t k = 0; k < names.size(); ++k) {
    const BindBuffer* buffer = nullptr;
    auto byName = namedBinds_.find(names[k]);
    if (byName != namedBinds_.end()) {
      buffer = &byName->second;
    } else {
      auto byPosition = positionBinds_.find(static_cast<ub4>(k + 1));
      if (byPosition != positionBinds_.end()) buffer = &byPosition->second;
    }
    if (!buffer) throw OracleError(1008);
    BindValue(stmt_, static_cast<int>(k + 1), *buffer, row);
  }
}

void Cursor::Describe(const std::shared_ptr<Connection>& conn) {
  if (!prepared_) throw OracleError(24337);
  Translate(*conn);
  if (translation_->action != Translation::kQuery) return;
  PrepareSqlite(*conn);
  DescribeColumns(*conn);
  if (!conn_) conn_ = conn;
}

Cursor::Outcome Cursor::Execute(const std::shared_ptr<Connection>& conn, ub4 iters, ub4 rowoff,
                                ub4 mode) {
  if (!prepared_) throw OracleError(24337);
  executed_ = false;
  fetchDone_ = false;
  rowCount_ = rowsFetched_ = 0;
  parseOffset_ = 0;
  if (conn_ != conn) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    described_ = false;
    conn_ = conn;
  }
  Connection& c = *conn;
  Translate(c);
  const Translation& t = *translation_;
  Outcome outcome;
  switch (t.action) {
    case Translation::kQuery: {
      PrepareSqlite(c);
      DescribeColumns(c);
      if (mode & OCI_DESCRIBE_ONLY) return outcome;
      BindRow(c, rowoff);
      executed_ = true;
      if (iters == 0) return outcome;
      outcome = Fetch(iters);
      if ((mode & OCI_EXACT_FETCH) && outcome.status != OCI_NO_DATA) {
        int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) throw OracleError(1422);
        fetchDone_ = true;
      }
      return outcome;
    }
    case Translation::kDml: {
      if (iters == 0) throw OracleError(24333);
      PrepareSqlite(c);
      c.BeginTransaction();
      for (ub4 r = rowoff; r < rowoff + iters; ++r) {
        BindRow(c, r);
        int rc = sqlite3_step(stmt_);
        if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
          OracleError e = MapError(c, rc);
          sqlite3_reset(stmt_);
          throw e;
        }
        rowCount_ += static_cast<ub4>(sqlite3_changes(c.Sql()));
        sqlite3_reset(stmt_);
      }
      if (t.statementType == OCI_STMT_INSERT) {
        lastInsertRowid_ = sqlite3_last_insert_rowid(c.Sql());
        lastTable_ = DmlTable(text_);
      }
      executed_ = true;
      if (mode & OCI_COMMIT_ON_SUCCESS) c.Commit();
      return outcome;
    }
    default:
      RunServerStatement(c);
      executed_ = true;
      return outcome;
  }
}

void Cursor::RunServerStatement(Connection& c) {
  const Translation& t = *translation_;
  auto exec = [&](const std::string& sql) {
    if (sqlite3_exec(c.Sql(), sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
      throw MapError(c, sqlite3_errcode(c.Sql()));
    }
  };
  switch (t.action) {
    case Translation::kDdl:
      c.Commit();  // DDL ends the transaction before it runs
      exec(t.sql);
      return;
    case Translation::kCommit:
      c.Commit();
      return;
    case Translation::kRollback:
      if (t.savepoint.empty()) return c.Rollback();
      if (!c.InTransaction()) throw OracleError(1086, {t.savepoint});
      exec("ROLLBACK TO \"" + t.savepoint + "\"");
      return;
    case Translation::kSavepoint:
      c.BeginTransaction();
      exec("SAVEPOINT \"" + t.savepoint + "\"");
      return;
    case Translation::kAlterSession:
      for (const auto& [name, value] : t.settings) c.sessionSettings[name] = value;
      return;
    case Translation::kAlterUser: {
      const auto& a = t.alterUser;
      auto target = c.Db().FindAccount(a.user);
      if (!target) throw OracleError(1918, {a.user});
      auto self = c.Db().FindAccount(c.currentUser);
      const bool privileged = c.currentUser == "SYS" || (self && self->sysdba);
      if ((a.user != c.currentUser || a.lock || a.expire) && !privileged) throw OracleError(1031);
      c.Commit();
      if (a.password) {
        if (a.password->empty()) throw OracleError(988);
        c.Db().SetPassword(a.user, *a.password);
        if (target->status == kStatusExpired || target->status == kStatusGrace) {
          c.Db().SetStatus(a.user, kStatusOpen);
        }
      }
      if (a.lock) c.Db().SetStatus(a.user, *a.lock ? kStatusLocked : kStatusOpen);
      if (a.expire) c.Db().SetStatus(a.user, kStatusExpired);
      return;
    }
    case Translation::kCreateSequence: {
      c.Commit();
      sqlite3_stmt* st = nullptr;
      sqlite3_prepare_v2(c.Sql(), "insert into ociemu_sequences values (?1, ?2, ?3)", -1, &st,
                         nullptr);
      sqlite3_bind_text(st, 1, t.sequence.name.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_int64(st, 2, t.sequence.start);
      sqlite3_bind_int64(st, 3, t.sequence.increment);
      int rc = sqlite3_step(st);
      sqlite3_finalize(st);
      if (rc != SQLITE_DONE) throw OracleError(955);
      return;
    }
    case Translation::kDropSequence: {
      c.Commit();
      sqlite3_stmt* st = nullptr;
      sqlite3_prepare_v2(c.Sql(), "delete from ociemu_sequences where name = ?1", -1, &st, nullptr);
      sqlite3_bind_text(st, 1, t.sequence.name.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_step(st);
      sqlite3_finalize(st);
      if (sqlite3_changes(c.Sql()) == 0) throw OracleError(2289);
      return;
    }
    default:
      throw OracleError(3001);
  }
}

Cursor::Outcome Cursor::Fetch(ub4 rows) {
  if (!executed_ || !stmt_) throw OracleError(24338);
  if (!IsQuery()) throw OracleError(1002);
  if (!conn_ || !conn_->Usable()) throw OracleError(3114);
  rowsFetched_ = 0;
  Outcome outcome;
  bool truncated = false;
  for (ub4 r = 0; r < rows && !fetchDone_; ++r) {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_DONE) {
      fetchDone_ = true;
      break;
    }
    if (rc != SQLITE_ROW) throw MapError(*conn_, rc);
    for (const auto& [position, d] : defines_) {
      if (position > columns_.size()) throw OracleError(1007);
      truncated |= StoreColumn(static_cast<int>(position - 1), d, r);
    }
    ++rowsFetched_;
  }
  rowCount_ += rowsFetched_;
  if (rowsFetched_ < rows) {
    outcome.status = OCI_NO_DATA;
  } else if (truncated) {
    outcome.status = OCI_SUCCESS_WITH_INFO;
    outcome.warning = 1406;
  }
  return outcome;
}

bool Cursor::StoreColumn(int col, const DefineBuffer& d, ub4 row) {
  const ColumnDesc& desc = columns_[static_cast<size_t>(col)];
  const int sqliteType = sqlite3_column_type(stmt_, col);
  auto setIndicator = [&](sb2 v) {
    if (d.indicator) d.indicator[row] = v;
  };
  auto setLength = [&](size_t n) {
    if (d.length) d.length[row] = static_cast<ub2>(std::min<size_t>(n, 65535));
  };
  auto setCode = [&](ub2 v) {
    if (d.returnCode) d.returnCode[row] = v;
  };
  if (sqliteType == SQLITE_NULL ||
      (sqliteType == SQLITE_TEXT && sqlite3_column_bytes(stmt_, col) == 0)) {
    if (!d.indicator) throw OracleError(1405);
    setIndicator(-1);
    setLength(0);
    setCode(1405);
    return false;
  }
  setIndicator(0);
  setCode(0);
  if (!d.value) return false;
  const size_t size = d.size > 0 ? static_cast<size_t>(d.size) : 0;
  char* out = static_cast<char*>(d.value) + static_cast<size_t>(row) * size;
  const bool isDate = desc.type.code == kTypeDate;

  auto number = [&]() -> Number {
    if (isDate) throw OracleError(932, {"NUMBER", "DATE"});
    switch (sqliteType) {
      case SQLITE_INTEGER:
        return Number{true, sqlite3_column_int64(stmt_, col), 0};
      case SQLITE_FLOAT:
        return Normalize(sqlite3_column_double(stmt_, col));
      default: {
        const char* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
        auto n =
            ParseNumber(std::string_view(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, col))));
        if (!n) throw OracleError(1722);
        return *n;
      }
    }
  };
  auto date = [&]() -> CivilTime {
    if (sqliteType == SQLITE_INTEGER || sqliteType == SQLITE_FLOAT) {
      if (!isDate && desc.type.known && desc.type.code == kTypeNumber) {
        throw OracleError(932, {"DATE", "NUMBER"});
      }
      return FromJulianDay(sqlite3_column_double(stmt_, col));
    }
    std::string s(reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col)),
                  static_cast<size_t>(sqlite3_column_bytes(stmt_, col)));
    try {
      return ParseDate(s, "YYYY-MM-DD HH24:MI:SS");
    } catch (const OracleError&) {
      return ParseDate(s, DateFormatOf(*conn_));
    }
  };
  // Characters of the value as the client sees them in a character buffer.
  std::string converted;
  auto chars = [&]() -> std::string_view {
    if (isDate) {
      converted = FormatDate(date(), DateFormatOf(*conn_));
      return converted;
    }
    switch (sqliteType) {
      case SQLITE_INTEGER:
      case SQLITE_FLOAT:
        converted = NumberToText(number());
        return converted;
      case SQLITE_BLOB: {
        static const char* hex = "0123456789ABCDEF";
        const unsigned char* p = static_cast<const unsigned char*>(sqlite3_column_blob(stmt_, col));
        for (int i = 0; i < sqlite3_column_bytes(stmt_, col); ++i) {
          converted += hex[p[i] >> 4];
          converted += hex[p[i] & 15];
        }
        return converted;
      }
      default:
        return std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col)),
                                static_cast<size_t>(sqlite3_column_bytes(stmt_, col)));
    }
  };
  auto bytes = [&]() -> std::string_view {
    if (sqliteType == SQLITE_BLOB) {
      return std::string_view(static_cast<const char*>(sqlite3_column_blob(stmt_, col)),
                              static_cast<size_t>(sqlite3_column_bytes(stmt_, col)));
    }
    return chars();
  };
  // Copies into the element; a value longer than the room left is cut (ORA-01406).
  auto put = [&](std::string_view v, char* dest, size_t room, bool terminate, bool pad) {
    if (terminate) room = room ? room - 1 : 0;
    if (v.size() > room) {
      std::memcpy(dest, v.data(), room);
      if (terminate && size) dest[room] = 0;
      setLength(room);
      setIndicator(v.size() <= 32767 ? static_cast<sb2>(v.size()) : -2);
      setCode(1406);
      return true;
    }
    std::memcpy(dest, v.data(), v.size());
    if (pad) std::memset(dest + v.size(), ' ', room - v.size());
    if (terminate) dest[v.size()] = 0;
    setLength(pad ? room : v.size());
    return false;
  };
  switch (d.type) {
    case SQLT_CHR:
    case SQLT_LNG:
      return put(chars(), out, size, false, false);
    case SQLT_AFC:
      return put(chars(), out, size, false, true);
    case SQLT_STR:
    case SQLT_AVC:
      return put(chars(), out, size, true, false);
    case SQLT_BIN:
    case SQLT_LBI:
      return put(bytes(), out, size, false, false);
    case SQLT_VCS:
    case SQLT_VBI: {
      if (size < 2) throw OracleError(1459);
      bool cut = put(d.type == SQLT_VCS ? chars() : bytes(), out + 2, size - 2, false, false);
      ub2 n = d.length ? d.length[row] : static_cast<ub2>(std::min(chars().size(), size - 2));
      std::memcpy(out, &n, 2);
      return cut;
    }
    case SQLT_LVC:
    case SQLT_LVB: {
      if (size < 4) throw OracleError(1459);
      std::string_view v = d.type == SQLT_LVC ? chars() : bytes();
      bool cut = put(v, out + 4, size - 4, false, false);
      sb4 n = static_cast<sb4>(std::min(v.size(), size - 4));
      std::memcpy(out, &n, 4);
      return cut;
    }
    case SQLT_INT:
    case SQLT_UIN: {
      Number n = number();
      double rounded = n.isInteger ? 0 : std::round(n.real);
      int64_t v = n.isInteger ? n.integer : static_cast<int64_t>(rounded);
      if (!n.isInteger && std::fabs(rounded) >= 9.2e18) throw OracleError(1455);
      bool isUnsigned = d.type == SQLT_UIN;
      if (isUnsigned && v < 0) throw OracleError(1455);
      auto fits = [&](int64_t lo, int64_t hi) {
        if (v < lo || v > hi) throw OracleError(1455);
      };
      if (size == 1) {
        isUnsigned ? fits(0, 255) : fits(-128, 127);
        out[0] = static_cast<char>(v);
      } else if (size == 2) {
        isUnsigned ? fits(0, 65535) : fits(-32768, 32767);
        int16_t x = static_cast<int16_t>(v);
        std::memcpy(out, &x, 2);
      } else if (size == 4) {
        isUnsigned ? fits(0, 4294967295LL) : fits(INT32_MIN, INT32_MAX);
        int32_t x = static_cast<int32_t>(v);
        std::memcpy(out, &x, 4);
      } else if (size == 8) {
        std::memcpy(out, &v, 8);
      } else {
        throw OracleError(1459);
      }
      setLength(size);
      return false;
    }
    case SQLT_FLT:
    case SQLT_BFLOAT:
    case SQLT_BDOUBLE:
    case SQLT_IBFLOAT:
    case SQLT_IBDOUBLE: {
      double v = number().AsDouble();
      if (size == 4) {
        float f = static_cast<float>(v);
        std::memcpy(out, &f, 4);
      } else if (size == 8) {
        std::memcpy(out, &v, 8);
      } else {
        throw OracleError(1459);
      }
      setLength(size);
      return false;
    }
    case SQLT_NUM:
    case SQLT_VNU: {
      unsigned char encoded[22];
      int len = EncodeNumber(number(), encoded);
      const size_t prefix = d.type == SQLT_VNU ? 1 : 0;
      if (size < static_cast<size_t>(len) + prefix) throw OracleError(1406);
      if (prefix) out[0] = static_cast<char>(len);
      std::memcpy(out + prefix, encoded, static_cast<size_t>(len));
      setLength(static_cast<size_t>(len) + prefix);
      return false;
    }
    case SQLT_DAT: {
      if (size < 7) throw OracleError(1459);
      EncodeDate7(date(), reinterpret_cast<unsigned char*>(out));
      setLength(7);
      return false;
    }
    case SQLT_ODT: {
      if (size < 8) throw OracleError(1459);
      CivilTime t = date();
      sb2 year = static_cast<sb2>(t.year);
      std::memcpy(out, &year, 2);
      out[2] = static_cast<char>(t.month);
      out[3] = static_cast<char>(t.day);
      out[4] = static_cast<char>(t.hour);
      out[5] = static_cast<char>(t.minute);
      out[6] = static_cast<char>(t.second);
      setLength(8);
      return false;
    }
    case SQLT_RDD: {
      if (size < sizeof(void*) || !d.setRowid) throw OracleError(1459);
      void* descriptor = nullptr;
      std::memcpy(&descriptor, out, sizeof descriptor);
      if (!d.setRowid(descriptor, std::string(chars()))) throw OracleError(1410);
      setLength(sizeof(void*));
      return false;
    }
    default:
      throw OracleError(3001);
  }
}

std::string Cursor::LastRowid() const {
  if (!lastInsertRowid_) return "";
  return RowidText(ObjectNumber(lastTable_), lastInsertRowid_);
}

}  // namespace ociemu
