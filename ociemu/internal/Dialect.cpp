// Translation of Oracle statements for SQLite. Two passes over the tokens: the first finds the
// query blocks (select list, FROM list, aliases), the second writes SQLite's text with the
// rewrites, asking the blocks for the types of expressions.
#include "ociemu/internal/Dialect.h"

#include "ociemu/internal/DialectTranslator.h"

namespace ociemu {
namespace dialect {

Translation Translator::Run() {
  const Token& first = tokens_[0];
  if (first.kind == Token::kEnd) Fail(900, 0);
  if (first.Is("SELECT") || first.Is("WITH") || first.IsSymbol("(")) return Query(1, 4);
  if (first.Is("INSERT")) return Query(4, 3);
  if (first.Is("UPDATE")) return Query(2, 5);
  if (first.Is("DELETE")) return Query(3, 9);
  if (first.Is("COMMIT")) {
    result_.action = Translation::kCommit;
    result_.functionCode = 54;
    return result_;
  }
  if (first.Is("ROLLBACK")) {
    result_.action = Translation::kRollback;
    result_.functionCode = 55;
    size_t i = 1;
    if (Word(i, "WORK")) ++i;
    if (Word(i, "TO")) {
      ++i;
      if (Word(i, "SAVEPOINT")) ++i;
      result_.savepoint = T(i).text;
      if (result_.savepoint.empty()) Fail(905, i);
    }
    return result_;
  }
  if (first.Is("SAVEPOINT")) {
    result_.action = Translation::kSavepoint;
    result_.functionCode = 56;
    result_.savepoint = T(1).text;
    if (result_.savepoint.empty()) Fail(905, 1);
    return result_;
  }
  if (first.Is("ALTER") && Word(1, "SESSION")) return AlterSession();
  if (first.Is("ALTER") && Word(1, "USER")) return AlterUser();
  if (first.Is("CREATE") || first.Is("DROP") || first.Is("TRUNCATE") || first.Is("ALTER")) {
    const bool create = first.Is("CREATE");
    size_t i = 1;
    if (create && Word(i, "OR") && Word(i + 1, "REPLACE")) i += 2;
    while (Word(i, "GLOBAL") || Word(i, "TEMPORARY") || Word(i, "UNIQUE") || Word(i, "BITMAP") ||
           Word(i, "PUBLIC")) {
      result_.publicSynonym |= Word(i, "PUBLIC");
      ++i;
    }
    const std::string what = T(i).kind == Token::kWord ? T(i).text : "";
    if (what == "SEQUENCE") return Sequence(create);
    if (create && what == "TABLE") return CreateTable();
    result_.action = Translation::kDdl;
    result_.statementType =
        first.Is("CREATE") ? 5 : (first.Is("DROP") ? 6 : (first.Is("ALTER") ? 7 : 0));
    if (first.Is("TRUNCATE")) {
      result_.functionCode = 85;
      size_t name = Word(1, "TABLE") ? 2 : 1;
      if (T(name + 1).IsSymbol(".")) name += 2;
      Out("DELETE FROM", 0);
      EmitToken(name);
      return result_;
    }
    if (first.Is("DROP") && (what == "TABLE" || what == "VIEW" || what == "INDEX")) {
      result_.functionCode = what == "TABLE" ? 8 : (what == "VIEW" ? 7 : 21);
      size_t name = i + 1;
      if (T(name + 1).IsSymbol(".")) name += 2;
      Out("DROP " + what, 0);
      EmitToken(name);
      result_.objectType = "DROP " + what;
      result_.objectName = T(name).text;
      return result_;
    }
    if (what == "SYNONYM") {
      // A synonym reads as a view of its object here; the catalogue keeps what it names.
      result_.statementType = create ? 5 : 6;
      size_t name = i + 1;
      if (T(name + 1).IsSymbol(".")) name += 2;
      if (T(name).kind != Token::kWord && T(name).kind != Token::kQuotedName) Fail(903, name);
      result_.objectName = T(name).text;
      result_.objectType = create ? "SYNONYM" : "DROP SYNONYM";
      if (!create) {
        Out("DROP VIEW IF EXISTS", 0);
        EmitToken(name);
        return result_;
      }
      if (!Word(name + 1, "FOR")) Fail(905, name + 1);
      size_t target = name + 2;
      if (T(target + 1).IsSymbol(".")) target += 2;
      if (T(target).kind != Token::kWord && T(target).kind != Token::kQuotedName) {
        Fail(903, target);
      }
      result_.synonymTarget = T(target).text;
      Out("DROP VIEW IF EXISTS", 0);
      EmitToken(name);
      result_.sql += "; CREATE VIEW";
      EmitToken(name);
      result_.sql += " AS SELECT * FROM";
      EmitToken(target);
      return result_;
    }
    if (create && (what == "VIEW" || what == "INDEX")) {
      result_.functionCode = what == "VIEW" ? 10 : 20;
      {
        size_t name = i + 1;
        if (T(name + 1).IsSymbol(".")) name += 2;
        result_.objectType = what;
        result_.objectName = T(name).text;
      }
      FindBlocks();
      if (what == "VIEW" && Word(1, "OR")) {
        // CREATE OR REPLACE VIEW: SQLite drops and creates.
        size_t name = i + 1;
        if (T(name + 1).IsSymbol(".")) name += 2;
        Out("DROP VIEW IF EXISTS", 0);
        EmitToken(name);
        result_.sql += "; CREATE VIEW";
        Emit(name, tokens_.size());
        return result_;
      }
      size_t end = tokens_.size();
      if (what == "INDEX") {
        // Storage clauses after the column list mean nothing here.
        for (size_t k = 0; k < tokens_.size(); ++k) {
          if (tokens_[k].IsSymbol("(") && depth_[k] == 0) {
            end = MatchingParen(k) + 1;
            break;
          }
        }
      }
      Out("CREATE", 0);
      Emit(1, end);
      return result_;
    }
    if (first.Is("ALTER") && what == "TABLE") {
      result_.functionCode = 26;
      size_t name = i + 1;
      if (T(name + 1).IsSymbol(".")) name += 2;
      if (Word(name + 1, "ADD")) {
        size_t k = name + 2;
        bool paren = T(k).IsSymbol("(");
        size_t close = paren ? MatchingParen(k) : tokens_.size() - 1;
        size_t start = paren ? k + 1 : k;
        bool firstColumn = true;
        for (size_t j = start; j <= close; ++j) {
          if (j == close ||
              (tokens_[j].IsSymbol(",") && depth_[j] == depth_[k] + (paren ? 1 : 0))) {
            if (!firstColumn) result_.sql += "; ";
            firstColumn = false;
            Out("ALTER TABLE", 0);
            EmitToken(name);
            result_.sql += " ADD COLUMN";
            std::vector<std::string> checks;
            ColumnDefinition(start, j, checks, T(name).text);
            for (const auto& check : checks) result_.sql += " " + check;
            start = j + 1;
          }
        }
        return result_;
      }
      if (Word(name + 1, "RENAME") && Word(name + 2, "TO")) {
        Out("ALTER TABLE", 0);
        EmitToken(name);
        result_.sql += " RENAME TO";
        EmitToken(name + 3);
        return result_;
      }
    }
    result_.action = Translation::kUnsupported;
    return result_;
  }
  if (first.Is("BEGIN") || first.Is("DECLARE")) {
    result_.statementType = first.Is("BEGIN") ? 8 : 9;
    result_.functionCode = 34;
    return result_;
  }
  if (first.Is("CALL")) {
    result_.statementType = 10;
    return result_;
  }
  if (first.Is("MERGE")) {
    result_.statementType = 16;
    return result_;
  }
  if (first.Is("GRANT") || first.Is("REVOKE") || first.Is("LOCK") || first.Is("COMMENT") ||
      first.Is("ANALYZE") || first.Is("SET") || first.Is("EXPLAIN") || first.Is("RENAME") ||
      first.Is("AUDIT") || first.Is("NOAUDIT")) {
    return result_;
  }
  Fail(900, 0);
}

}  // namespace dialect

size_t Translation::OriginalOffset(size_t position) const {
  size_t offset = 0;
  for (const auto& [pos, original] : offsets) {
    if (pos > position) break;
    offset = original;
  }
  return offset;
}

std::pair<uint16_t, uint16_t> Classify(std::string_view sql) {
  std::vector<Token> tokens;
  try {
    tokens = Tokenize(sql);
  } catch (const OracleError&) {
    return {0, 0};
  }
  const Token& t = tokens[0];
  auto next = [&](size_t i) -> const Token& { return tokens[std::min(i, tokens.size() - 1)]; };
  if (t.Is("SELECT") || t.Is("WITH") || t.IsSymbol("(")) return {1, 4};
  if (t.Is("INSERT")) return {4, 3};
  if (t.Is("UPDATE")) return {2, 5};
  if (t.Is("DELETE")) return {3, 9};
  if (t.Is("CREATE")) return {5, next(1).Is("TABLE") ? 1 : 0};
  if (t.Is("DROP")) return {6, next(1).Is("TABLE") ? 8 : 0};
  if (t.Is("ALTER")) {
    if (next(1).Is("SESSION")) return {7, 52};
    if (next(1).Is("USER")) return {7, 53};
    return {7, 26};
  }
  if (t.Is("BEGIN")) return {8, 34};
  if (t.Is("DECLARE")) return {9, 34};
  if (t.Is("CALL")) return {10, 0};
  if (t.Is("MERGE")) return {16, 0};
  if (t.Is("COMMIT")) return {0, 54};
  if (t.Is("ROLLBACK")) return {0, 55};
  return {0, 0};
}

Translation Translate(std::string_view sql, SchemaLookup& schema) {
  return dialect::Translator(sql, schema).Run();
}

}  // namespace ociemu
