// ALTER SESSION and ALTER USER, which the server answers itself.
#include <cctype>

#include "ociemu/internal/DialectTranslator.h"
#include "ociemu/internal/OraDate.h"

namespace ociemu {
namespace dialect {

Translation Translator::AlterSession() {
  result_.action = Translation::kAlterSession;
  result_.statementType = 7;
  result_.functionCode = 52;
  size_t i = 2;
  if (!Word(i, "SET")) {
    // ALTER SESSION ENABLE/DISABLE/FORCE ... : accepted, nothing to record.
    if (Word(i, "ENABLE") || Word(i, "DISABLE") || Word(i, "FORCE") || Word(i, "CLOSE") ||
        Word(i, "ADVISE")) {
      return result_;
    }
    Fail(2248, i);
  }
  ++i;
  static const std::set<std::string> known = {"OPTIMIZER_MODE",
                                              "OPTIMIZER_GOAL",
                                              "SQL_TRACE",
                                              "ISOLATION_LEVEL",
                                              "CURRENT_SCHEMA",
                                              "TIME_ZONE",
                                              "CURSOR_SHARING",
                                              "STATISTICS_LEVEL",
                                              "EVENTS",
                                              "EDITION",
                                              "DDL_LOCK_TIMEOUT",
                                              "SKIP_UNUSABLE_INDEXES",
                                              "SORT_AREA_SIZE",
                                              "HASH_AREA_SIZE",
                                              "WORKAREA_SIZE_POLICY",
                                              "COMMIT_WRITE",
                                              "CONSTRAINTS",
                                              "DB_FILE_MULTIBLOCK_READ_COUNT",
                                              "GLOBAL_NAMES",
                                              "RECYCLEBIN",
                                              "PARALLEL_DEGREE_POLICY",
                                              "TRACEFILE_IDENTIFIER",
                                              "MAX_DUMP_FILE_SIZE",
                                              "TIMED_STATISTICS",
                                              "QUERY_REWRITE_ENABLED",
                                              "QUERY_REWRITE_INTEGRITY",
                                              "STAR_TRANSFORMATION_ENABLED",
                                              "PLSQL_WARNINGS",
                                              "PLSQL_OPTIMIZE_LEVEL",
                                              "PLSQL_CODE_TYPE",
                                              "PLSQL_DEBUG",
                                              "NLS_LANGUAGE"};
  while (T(i).kind != Token::kEnd) {
    if (T(i).kind != Token::kWord || !T(i + 1).IsSymbol("=")) Fail(922, i);
    const std::string name = T(i).text;
    if (!known.count(name) && name.rfind("NLS_", 0) != 0 && name.rfind("OPTIMIZER_", 0) != 0 &&
        name[0] != '_') {
      Fail(2248, i);
    }
    size_t v = i + 2;
    if (T(v).kind == Token::kEnd) Fail(922, v);
    std::string value;
    // A value runs to the next "name =" or the end (ISOLATION_LEVEL = READ COMMITTED).
    while (T(v).kind != Token::kEnd &&
           !(T(v).kind == Token::kWord && T(v + 1).IsSymbol("=") && !value.empty())) {
      if (!value.empty()) value += ' ';
      value +=
          T(v).kind == Token::kString || T(v).kind == Token::kQuotedName ? T(v).text : T(v).raw;
      ++v;
    }
    std::string lower;
    for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "nls_date_format") FormatDate(CivilTime{2000, 1, 1, 0, 0, 0}, value);
    if (lower == "isolation_level") {
      std::string upper;
      for (char c : value) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (upper != "SERIALIZABLE" && upper != "READ COMMITTED") Fail(2248, i);
    }
    result_.settings.emplace_back(lower, value);
    i = v;
  }
  if (result_.settings.empty()) Fail(922, i);
  return result_;
}

Translation Translator::AlterUser() {
  result_.action = Translation::kAlterUser;
  result_.statementType = 7;
  result_.functionCode = 53;
  if (T(2).kind != Token::kWord && T(2).kind != Token::kQuotedName) Fail(1935, 2);
  result_.alterUser.user = T(2).text;
  size_t i = 3;
  if (T(i).kind == Token::kEnd) Fail(922, i);
  while (T(i).kind != Token::kEnd) {
    if (Word(i, "IDENTIFIED") && Word(i + 1, "BY")) {
      const Token& pw = T(i + 2);
      if (pw.kind != Token::kWord && pw.kind != Token::kQuotedName && pw.kind != Token::kNumber) {
        Fail(988, i + 2);
      }
      // Passwords are case-sensitive as written.
      result_.alterUser.password = pw.kind == Token::kQuotedName ? pw.text : pw.raw;
      i += 3;
      if (Word(i, "REPLACE")) i += 2;
    } else if (Word(i, "ACCOUNT") && (Word(i + 1, "LOCK") || Word(i + 1, "UNLOCK"))) {
      result_.alterUser.lock = Word(i + 1, "LOCK");
      i += 2;
    } else if (Word(i, "PASSWORD") && Word(i + 1, "EXPIRE")) {
      result_.alterUser.expire = true;
      i += 2;
    } else {
      Fail(922, i);
    }
  }
  return result_;
}

}  // namespace dialect
}  // namespace ociemu
