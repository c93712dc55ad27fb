// tnsnames.ora is read whole: comments end at the line's end, a definition is a name list, "="
// and either a parenthesized descriptor (any number of lines) or the rest of the line.
#include "ociemu/internal/NetConfig.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

#include "ociemu/internal/Home.h"
#include "ociemu/internal/OracleError.h"

namespace ociemu {
namespace {

std::string Upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Lower(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string FolderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

// The file without comments: "#" outside parentheses' quoted values up to the line's end.
std::string StripComments(const std::string& text) {
  std::string out;
  bool comment = false;
  for (char c : text) {
    if (c == '\n') comment = false;
    if (c == '#') comment = true;
    if (!comment || c == '\n') out += c;
  }
  return out;
}

void ReadInto(const std::string& file, std::map<std::string, std::string>& out,
              std::set<std::string>& seen) {
  if (seen.size() > 32 || !seen.insert(file).second || !FileExists(file)) return;
  std::ifstream in(file, std::ios::binary);
  std::stringstream buf;
  buf << in.rdbuf();
  const std::string text = StripComments(buf.str());
  size_t i = 0;
  while (i < text.size()) {
    // Name list up to "=" (stray text or a lone ")" without one ends the definition).
    size_t eq = i;
    while (eq < text.size() && text[eq] != '=' && text[eq] != '(' && text[eq] != ')') ++eq;
    if (eq >= text.size()) break;
    if (text[eq] != '=') {
      // Unbalanced text at the top level: skip its parenthesized group.
      int depth = 0;
      for (i = eq; i < text.size(); ++i) {
        if (text[i] == '(') ++depth;
        if (text[i] == ')' && --depth <= 0) break;
      }
      ++i;
      continue;
    }
    std::string names = text.substr(i, eq - i);
    size_t v = eq + 1;
    while (v < text.size() && (text[v] == ' ' || text[v] == '\t' || text[v] == '\r')) ++v;
    // A descriptor may start on the lines after the "=".
    size_t ahead = v;
    while (ahead < text.size() && static_cast<unsigned char>(text[ahead]) <= ' ') ++ahead;
    if (ahead < text.size() && text[ahead] == '(') v = ahead;
    std::string value;
    if (v < text.size() && text[v] == '(') {
      int depth = 0;
      size_t e = v;
      for (; e < text.size(); ++e) {
        if (text[e] == '(') ++depth;
        if (text[e] == ')' && --depth == 0) break;
      }
      value = text.substr(v, std::min(e, text.size() - 1) - v + 1);
      i = e + 1;
    } else {
      size_t e = text.find('\n', v);
      if (e == std::string::npos) e = text.size();
      value = Trim(std::string_view(text).substr(v, e - v));
      i = e;
    }
    std::vector<std::string> list;
    std::string item;
    for (char c : names + ",") {
      if (c == ',' || static_cast<unsigned char>(c) <= ' ') {
        if (!item.empty()) list.push_back(Upper(item));
        item.clear();
      } else {
        item += c;
      }
    }
    if (list.size() == 1 && list[0] == "IFILE") {
      std::string path = Trim(value);
      if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
        path = path.substr(1, path.size() - 2);
      }
      if (!path.empty() && path[0] != '/' && FileExists(FolderOf(file) + "/" + path)) {
        path = FolderOf(file) + "/" + path;
      }
      ReadInto(path, out, seen);
      continue;
    }
    for (const auto& name : list) out.emplace(name, value);
  }
}

// A parsed (KEY=VALUE) tree: value text for leaves, children for lists.
struct Node {
  std::string key;
  std::string value;
  std::vector<Node> children;
};

class DescriptorParser {
 public:
  explicit DescriptorParser(std::string_view text) : text_(text) {}

  Node Parse() {
    Node root;
    SkipSpace();
    while (pos_ < text_.size()) {
      root.children.push_back(ParseNode());
      SkipSpace();
    }
    return root;
  }

 private:
  [[noreturn]] void Fail() { throw OracleError(12154); }
  void SkipSpace() {
    while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) <= ' ') ++pos_;
  }
  void Expect(char c) {
    SkipSpace();
    if (pos_ >= text_.size() || text_[pos_] != c) Fail();
    ++pos_;
  }
  Node ParseNode() {
    Expect('(');
    Node node;
    SkipSpace();
    while (pos_ < text_.size() && text_[pos_] != '=' && text_[pos_] != '(' && text_[pos_] != ')') {
      node.key += text_[pos_++];
    }
    node.key = Upper(Trim(node.key));
    if (node.key.empty()) Fail();
    Expect('=');
    SkipSpace();
    if (pos_ < text_.size() && text_[pos_] == '(') {
      while (true) {
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == '(') {
          node.children.push_back(ParseNode());
        } else {
          break;
        }
      }
    } else {
      while (pos_ < text_.size() && text_[pos_] != ')' && text_[pos_] != '(') {
        node.value += text_[pos_++];
      }
      node.value = Trim(node.value);
    }
    Expect(')');
    return node;
  }

  std::string_view text_;
  size_t pos_ = 0;
};

const Node* FindKey(const Node& node, const std::string& key) {
  if (node.key == key) return &node;
  for (const auto& child : node.children) {
    if (const Node* found = FindKey(child, key)) return found;
  }
  return nullptr;
}

ConnectTarget FromValue(const std::string& value) {
  if (!value.empty() && value[0] == '(') return ParseDescriptor(value);
  return ParseEasyConnect(value);
}

}  // namespace

std::map<std::string, std::string> ReadTnsNames(const std::string& file) {
  std::map<std::string, std::string> out;
  std::set<std::string> seen;
  ReadInto(file, out, seen);
  return out;
}

std::string ReadDefaultDomain(const std::string& folder) {
  std::ifstream in(folder + "/sqlnet.ora");
  std::string line;
  while (std::getline(in, line)) {
    auto hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    if (Lower(Trim(line.substr(0, eq))) == "names.default_domain") return Trim(line.substr(eq + 1));
  }
  return "";
}

ConnectTarget ParseDescriptor(std::string_view text) {
  Node root = DescriptorParser(text).Parse();
  ConnectTarget target;
  const Node* protocol = FindKey(root, "PROTOCOL");
  const Node* host = FindKey(root, "HOST");
  bool local = protocol && (Upper(protocol->value) == "BEQ" || Upper(protocol->value) == "IPC");
  if (!local) {
    if (!host || host->value.empty()) throw OracleError(12154);
    target.host = host->value;
  }
  const Node* service = FindKey(root, "SERVICE_NAME");
  if (!service || service->value.empty()) service = FindKey(root, "SID");
  if (!service || service->value.empty()) throw OracleError(12504);
  target.service = service->value;
  return target;
}

ConnectTarget ParseEasyConnect(std::string_view text) {
  std::string s = Trim(text);
  if (s.rfind("//", 0) == 0) s = s.substr(2);
  ConnectTarget target;
  size_t i = 0;
  if (!s.empty() && s[0] == '[') {
    auto close = s.find(']');
    if (close == std::string::npos) throw OracleError(12154);
    target.host = s.substr(1, close - 1);
    i = close + 1;
  } else {
    while (i < s.size() && s[i] != ':' && s[i] != '/') ++i;
    target.host = s.substr(0, i);
  }
  if (target.host.empty()) throw OracleError(12154);
  if (i < s.size() && s[i] == ':') {
    size_t p = ++i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
    if (i == p) throw OracleError(12154);
  }
  if (i < s.size() && s[i] == '/') {
    size_t p = ++i;
    while (i < s.size() && s[i] != ':' && s[i] != '/') ++i;
    target.service = s.substr(p, i - p);
  } else if (i < s.size()) {
    throw OracleError(12154);
  }
  if (target.service.empty()) throw OracleError(12514);
  return target;
}

ConnectTarget ResolveConnectText(std::string_view text) {
  std::string s = Trim(text);
  if (s.empty()) {
    std::string sid = EnvironmentValue("ORACLE_SID");
    return ConnectTarget{"", sid.empty() ? "orcl" : sid};
  }
  if (s[0] == '(') return ParseDescriptor(s);

  const std::string folder = NetworkAdminFolder();
  const auto aliases = ReadTnsNames(folder + "/tnsnames.ora");
  std::string name = Upper(s);
  std::vector<std::string> candidates;
  const std::string domain = Upper(ReadDefaultDomain(folder));
  if (!domain.empty() && name.find('.') == std::string::npos) {
    candidates.push_back(name + "." + domain);
  }
  candidates.push_back(name);
  for (const auto& candidate : candidates) {
    auto it = aliases.find(candidate);
    if (it != aliases.end()) return FromValue(it->second);
  }
  if (s.find('/') != std::string::npos || s.find(':') != std::string::npos) {
    return ParseEasyConnect(s);
  }
  throw OracleError(12154);
}

bool IsLocalHost(const std::string& host) {
  std::string h = Lower(host);
  if (h.empty() || h == "localhost" || h == "localhost.localdomain" || h == "::1" ||
      h == "0.0.0.0" || h.rfind("127.", 0) == 0) {
    return true;
  }
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) == 0) {
    std::string self = Lower(name);
    if (h == self) return true;
    if (h == self.substr(0, self.find('.'))) return true;
    if (self == h.substr(0, h.find('.'))) return true;
  }
  return false;
}

std::string DatabaseFileFor(const std::string& service) {
  const std::string folder = DataFolder();
  std::string name = Lower(service);
  if (name.empty() || name.find('/') != std::string::npos || name[0] == '.') {
    throw OracleError(12514);
  }
  std::string file = folder + "/" + name + ".db";
  if (FileExists(file)) return file;
  auto dot = name.find('.');
  if (dot != std::string::npos) {
    file = folder + "/" + name.substr(0, dot) + ".db";
    if (FileExists(file)) return file;
  }
  throw OracleError(12514);
}

}  // namespace ociemu
