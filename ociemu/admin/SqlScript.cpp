// Script splitting and the result table.
#include "ociemu/admin/SqlScript.h"

#include <algorithm>
#include <cstring>
#include <ostream>
#include <sstream>

#include "ociemu/internal/Cursor.h"
#include "ociemu/internal/OracleError.h"

namespace ociemu::admin {
namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

bool StartsWithWord(const std::string& line, const char* word) {
  std::string lower;
  for (char c : line) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  size_t n = std::strlen(word);
  return lower.compare(0, n, word) == 0 &&
         (lower.size() == n || std::isspace(static_cast<unsigned char>(lower[n])));
}

void PrintTable(const std::vector<ColumnDesc>& columns,
                const std::vector<std::vector<std::string>>& rows, std::ostream& out) {
  std::vector<size_t> widths;
  for (const auto& c : columns) widths.push_back(c.name.size());
  for (const auto& row : rows) {
    for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
  }
  auto cell = [&](const std::string& v, size_t i) {
    bool right = columns[i].type.code == kTypeNumber;
    std::string pad(widths[i] - v.size(), ' ');
    return right ? pad + v : v + pad;
  };
  std::string line, rule;
  for (size_t i = 0; i < columns.size(); ++i) {
    if (i) {
      line += ' ';
      rule += ' ';
    }
    line += cell(columns[i].name, i);
    rule += std::string(widths[i], '-');
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  out << line << "\n" << rule << "\n";
  for (const auto& row : rows) {
    std::string text;
    for (size_t i = 0; i < row.size(); ++i) {
      if (i) text += ' ';
      text += cell(row[i], i);
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    out << text << "\n";
  }
  out << "\n" << rows.size() << (rows.size() == 1 ? " row selected.\n\n" : " rows selected.\n\n");
}

void RunQuery(Cursor& cursor, const std::shared_ptr<Connection>& conn, std::ostream& out) {
  cursor.Execute(conn, 0, 0, 0);
  const auto& columns = cursor.Columns();
  std::vector<std::vector<char>> buffers(columns.size(), std::vector<char>(4001));
  std::vector<sb2> indicators(columns.size());
  for (size_t i = 0; i < columns.size(); ++i) {
    cursor.Define(static_cast<ub4>(i + 1), DefineBuffer{buffers[i].data(), 4001, SQLT_STR,
                                                      &indicators[i], nullptr, nullptr, nullptr});
  }
  std::vector<std::vector<std::string>> rows;
  while (cursor.Fetch(1).status != OCI_NO_DATA) {
    std::vector<std::string> row;
    for (size_t i = 0; i < columns.size(); ++i) {
      row.push_back(indicators[i] == -1 ? "" : std::string(buffers[i].data()));
    }
    rows.push_back(std::move(row));
  }
  PrintTable(columns, rows, out);
}

}  // namespace

std::vector<ScriptStatement> SplitScript(const std::string& script) {
  std::vector<ScriptStatement> out;
  std::istringstream in(script);
  std::string line, current;
  int lineNumber = 0, start = 0;
  bool inString = false;
  while (std::getline(in, line)) {
    ++lineNumber;
    const std::string trimmed = Trim(line);
    if (current.empty() && !inString) {
      if (trimmed.empty() || trimmed.rfind("--", 0) == 0 || StartsWithWord(trimmed, "rem") ||
          StartsWithWord(trimmed, "prompt") || trimmed == "/") {
        continue;
      }
      start = lineNumber;
    }
    if (!inString && trimmed == "/") {
      out.push_back(ScriptStatement{Trim(current), start});
      current.clear();
      continue;
    }
    for (char c : line) {
      if (c == '\'') inString = !inString;
    }
    std::string part = line;
    bool ends = false;
    if (!inString) {
      std::string t = Trim(part);
      if (!t.empty() && t.back() == ';') {
        part = t.substr(0, t.size() - 1);
        ends = true;
      }
    }
    current += (current.empty() ? "" : "\n") + part;
    if (ends) {
      out.push_back(ScriptStatement{Trim(current), start});
      current.clear();
    }
  }
  if (!Trim(current).empty()) out.push_back(ScriptStatement{Trim(current), start});
  return out;
}

bool RunScript(Connection& conn, const std::string& user, const std::string& script,
               std::ostream& out, std::ostream& err) {
  conn.currentUser = user;
  // The cursor keeps the connection it runs on; hand it a non-owning one.
  std::shared_ptr<Connection> shared(&conn, [](Connection*) {});
  for (const auto& statement : SplitScript(script)) {
    Cursor cursor;
    cursor.Prepare(statement.text);
    try {
      if (cursor.IsQuery()) {
        RunQuery(cursor, shared, out);
      } else {
        cursor.Execute(shared, 1, 0, 0);
        conn.Commit();
        if (cursor.StatementType() >= OCI_STMT_UPDATE &&
            cursor.StatementType() <= OCI_STMT_INSERT) {
          out << cursor.RowCount() << (cursor.RowCount() == 1 ? " row" : " rows")
              << " processed.\n";
        } else {
          out << "Statement processed.\n";
        }
      }
    } catch (const OracleError& e) {
      conn.Rollback();
      err << "ERROR at line " << statement.line << ":\n" << e.Message();
      return false;
    }
  }
  return true;
}

}  // namespace ociemu::admin
