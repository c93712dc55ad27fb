// Text helpers of the cursor's files.
#include "ociemu/internal/CursorText.h"

#include <cctype>

#include "ociemu/internal/OraDate.h"
#include "ociemu/internal/OracleError.h"
#include "ociemu/internal/SqlLexer.h"

namespace ociemu {

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

}  // namespace ociemu
