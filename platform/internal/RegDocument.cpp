// Parsing and line-preserving editing of .reg text.
#include "platform/internal/RegDocument.h"

#include <cstdint>
#include <cstdio>

#include "platform/internal/Text.h"

namespace platform::internal {
namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Data lines longer than this are continued with a backslash, as the registry editor does.
constexpr std::size_t kHexLineWidth = 77;

std::string_view rootName(RootKey root) {
  return root == RootKey::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

// A key path without its leading and trailing backslashes; nullopt when it cannot name a key (a
// line break, or an empty part between two backslashes).
std::optional<std::string> normalizeKey(std::string_view key) {
  while (!key.empty() && key.front() == '\\') key.remove_prefix(1);
  while (!key.empty() && key.back() == '\\') key.remove_suffix(1);
  if (key.find_first_of("\r\n") != std::string_view::npos) return std::nullopt;
  if (key.find("\\\\") != std::string_view::npos) return std::nullopt;
  return std::string(key);
}

// ---- UTF-8 <-> UTF-16LE, for string data held as hex --------------------------------------------

void appendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Unpaired surrogates and an odd last byte become U+FFFD: the value stays readable.
std::string utf16ToUtf8(std::string_view bytes) {
  std::string out;
  const std::size_t units = bytes.size() / 2;
  auto unit = [&](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * i])) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * i + 1])) << 8);
  };
  for (std::size_t i = 0; i < units; ++i) {
    const std::uint32_t u = unit(i);
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < units && unit(i + 1) >= 0xDC00 &&
        unit(i + 1) < 0xE000) {
      appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
      ++i;
    } else if (u >= 0xD800 && u < 0xE000) {
      appendUtf8(out, 0xFFFD);
    } else {
      appendUtf8(out, u);
    }
  }
  if (bytes.size() % 2 != 0) appendUtf8(out, 0xFFFD);
  return out;
}

// Bytes that are not valid UTF-8 are taken as Latin-1 characters.
std::string utf8ToUtf16(std::string_view text) {
  std::string out;
  auto put = [&](std::uint32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  };
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t len = b < 0x80         ? 1
                      : (b >> 5) == 6  ? 2
                      : (b >> 4) == 14 ? 3
                      : (b >> 3) == 30 ? 4
                                       : 0;
    std::uint32_t cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
    bool valid = len != 0 && i + len <= text.size();
    for (std::size_t k = 1; valid && k < len; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      valid = (c >> 6) == 2;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (valid && ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) ||
                  (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp < 0xE000))) {
      valid = false;
    }
    if (!valid) {
      cp = b;
      len = 1;
    }
    if (cp >= 0x10000) {
      put(0xD800 + ((cp - 0x10000) >> 10));
      put(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      put(cp);
    }
    i += len;
  }
  return out;
}

// ---- quoted strings ----------------------------------------------------------------------------

// Reads a quoted string whose opening quote is at `pos`. \\ and \" are the escapes; a backslash
// before any other character stands for itself. Returns the position after the closing quote.
std::optional<std::size_t> readQuoted(std::string_view s, std::size_t pos, std::string& out) {
  out.clear();
  for (std::size_t i = pos + 1; i < s.size(); ++i) {
    if (s[i] == '"') return i + 1;
    if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) ++i;
    out += s[i];
  }
  return std::nullopt;
}

std::string quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = toLowerAscii(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "01,ff, 3a" into bytes; nullopt on anything else.
std::optional<std::string> parseHexBytes(std::string_view data) {
  std::string bytes;
  data = trim(data);
  if (data.empty()) return bytes;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = data.find(',', start);
    const std::string_view token = trim(data.substr(
        start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (token.empty() && comma == std::string_view::npos && start > 0) break;  // trailing comma
    if (token.empty() || token.size() > 2) return std::nullopt;
    int value = 0;
    for (char c : token) {
      const int d = hexDigit(c);
      if (d < 0) return std::nullopt;
      value = value * 16 + d;
    }
    bytes += static_cast<char>(value);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return bytes;
}

std::string decodeText(std::string_view bytes, bool utf16) {
  std::string text = utf16 ? utf16ToUtf8(bytes) : std::string(bytes);
  return text;
}

std::string stripTrailingNuls(std::string text) {
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

// The typed value of raw registry data of type `type` (REG_SZ = 1, REG_EXPAND_SZ = 2, ...).
RegValue valueOfData(unsigned type, const std::string& bytes, bool utf16) {
  RegValue v;
  switch (type) {
    case 1:
      v.type = RegValueType::String;
      v.data = stripTrailingNuls(decodeText(bytes, utf16));
      break;
    case 2:
      v.type = RegValueType::ExpandString;
      v.data = stripTrailingNuls(decodeText(bytes, utf16));
      break;
    case 3:
      v.type = RegValueType::Binary;
      v.data = bytes;
      break;
    case 4:
      v.type = bytes.size() == 4 ? RegValueType::Dword : RegValueType::Other;
      v.data = bytes;
      break;
    case 7:
      // Each string keeps its terminating NUL; only the list's final NUL goes.
      v.type = RegValueType::MultiString;
      v.data = stripTrailingNuls(decodeText(bytes, utf16));
      if (!v.data.empty()) v.data += '\0';
      break;
    default:
      v.type = RegValueType::Other;
      v.data = bytes;
      break;
  }
  return v;
}

std::string hexLines(std::string prefix, std::string_view bytes, std::string_view eol) {
  std::string out;
  std::string line = std::move(prefix);
  static const char* digits = "0123456789abcdef";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    line += digits[b >> 4];
    line += digits[b & 15];
    if (i + 1 < bytes.size()) {
      line += ',';
      if (line.size() >= kHexLineWidth) {
        out += line;
        out += '\\';
        out += eol;
        line = "  ";
      }
    }
  }
  out += line;
  return out;
}

}  // namespace

// ---- parsing -----------------------------------------------------------------------------------

RegDocument::RegDocument(std::string_view text) {
  // The registry editor saves version 5 files as UTF-16. Such a file is read (as its UTF-8 form)
  // but never written: rewriting it in another encoding would change every byte.
  if (text.size() >= 2 && text.substr(0, 2) == "\xFF\xFE") {
    parse(utf16ToUtf8(text.substr(2)));
    utf16File_ = true;
    clean_ = false;
    return;
  }
  parse(text);
}

void RegDocument::parse(std::string_view text) {
  entries_.clear();
  foreign_ = false;
  clean_ = true;
  utf16_ = true;
  eol_ = dominantLineEnd(text);
  const std::vector<std::string> lines = splitLines(text);
  bool headerSeen = false;
  std::size_t i = 0;
  while (i < lines.size()) {
    Entry entry;
    std::string_view body = lineBody(lines[i]);
    if (i == 0 && body.substr(0, kBom.size()) == kBom) body.remove_prefix(kBom.size());
    const std::string_view t = trim(body);
    std::size_t used = 1;
    if (t.empty()) {
      entry.kind = Kind::Blank;
    } else if (!headerSeen) {
      headerSeen = true;
      if (t == kHeader5 || t == kHeader4) {
        entry.kind = Kind::Header;
        utf16_ = t == kHeader5;
      } else {
        // Not a registry file. Its lines are still read, leniently, as if the header had been
        // there (the loop comes back to this line), but the text is never written to.
        foreign_ = true;
        clean_ = false;
        continue;
      }
    } else if (t.front() == ';') {
      entry.kind = Kind::Comment;
    } else if (t.front() == '[') {
      entry.kind = Kind::BadSection;
      const std::size_t close = t.rfind(']');
      if (close != std::string_view::npos && close == t.size() - 1 && t.size() > 2 && t[1] != '-') {
        std::string_view inner = t.substr(1, close - 1);
        const std::size_t slash = inner.find('\\');
        const std::string_view rootText = inner.substr(0, slash);
        std::string_view path =
            slash == std::string_view::npos ? std::string_view() : inner.substr(slash + 1);
        const std::optional<std::string> normalized = normalizeKey(path);
        if (normalized && !rootText.empty()) {
          entry.kind = Kind::Section;
          entry.path = *normalized;
          if (equalsNoCase(rootText, "HKEY_LOCAL_MACHINE") || equalsNoCase(rootText, "HKLM")) {
            entry.root = RootKey::LocalMachine;
          } else if (equalsNoCase(rootText, "HKEY_CURRENT_USER") ||
                     equalsNoCase(rootText, "HKCU")) {
            entry.root = RootKey::CurrentUser;
          } else if (!startsWithNoCase(rootText, "HKEY_")) {
            entry.kind = Kind::BadSection;
          }
        }
      }
    } else if (t.front() == '"' || t.front() == '@') {
      used = parseValue(lines, i, entry);
    } else {
      entry.kind = Kind::Junk;
    }
    if (entry.kind == Kind::Junk || entry.kind == Kind::BadSection) clean_ = false;
    for (std::size_t k = 0; k < used; ++k) entry.raw += lines[i + k];
    entries_.push_back(std::move(entry));
    i += used;
  }
}

std::size_t RegDocument::parseValue(const std::vector<std::string>& lines, std::size_t first,
                                    Entry& entry) const {
  entry.kind = Kind::Junk;
  const std::string_view line = trim(lineBody(lines[first]));
  std::size_t pos = 0;
  if (line.front() == '@') {
    entry.name.clear();
    pos = 1;
  } else {
    const std::optional<std::size_t> end = readQuoted(line, 0, entry.name);
    if (!end) return 1;
    pos = *end;
  }
  std::string_view rest = trimLeft(line.substr(pos));
  if (rest.empty() || rest.front() != '=') return 1;
  rest = trimLeft(rest.substr(1));

  if (!rest.empty() && rest.front() == '"') {
    std::string text;
    const std::optional<std::size_t> end = readQuoted(rest, 0, text);
    if (!end || !trim(rest.substr(*end)).empty()) return 1;
    entry.kind = Kind::Value;
    entry.value = {RegValueType::String, std::move(text)};
    return 1;
  }
  if (startsWithNoCase(rest, "dword:")) {
    const std::string_view digits = trim(rest.substr(6));
    if (digits.empty() || digits.size() > 8) return 1;
    std::uint32_t n = 0;
    for (char c : digits) {
      const int d = hexDigit(c);
      if (d < 0) return 1;
      n = n * 16 + static_cast<std::uint32_t>(d);
    }
    entry.kind = Kind::Value;
    entry.value.type = RegValueType::Dword;
    entry.value.data = {static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF),
                        static_cast<char>((n >> 16) & 0xFF), static_cast<char>(n >> 24)};
    return 1;
  }
  if (!startsWithNoCase(rest, "hex")) return 1;
  rest.remove_prefix(3);
  unsigned type = 3;
  if (!rest.empty() && rest.front() == '(') {
    const std::size_t close = rest.find(')');
    if (close == std::string_view::npos || close == 1 || close > 9) return 1;
    type = 0;
    for (char c : rest.substr(1, close - 1)) {
      const int d = hexDigit(c);
      if (d < 0) return 1;
      type = type * 16 + static_cast<unsigned>(d);
    }
    rest.remove_prefix(close + 1);
  }
  if (rest.empty() || rest.front() != ':') return 1;
  rest.remove_prefix(1);

  // Gather the continuation lines. A line that looks like the start of something else (a section,
  // a value, a comment, a blank) is never swallowed: the broken value ends before it.
  std::string data(rest);
  std::size_t used = 1;
  for (;;) {
    const std::string_view current = trimRight(data);
    if (current.empty() || current.back() != '\\') break;
    data.resize(current.size() - 1);
    // A continuation with nothing after it is a cut-off value. Taking it as complete would let a
    // line appended later turn it into a different value.
    if (first + used >= lines.size()) return used;
    const std::string_view next = lineBody(lines[first + used]);
    const std::string_view t = trimLeft(next);
    if (t.empty() || t.front() == '[' || t.front() == '"' || t.front() == '@' || t.front() == ';') {
      return used;
    }
    data += next;
    ++used;
  }
  const std::optional<std::string> bytes = parseHexBytes(data);
  if (!bytes) return used;
  entry.kind = Kind::Value;
  entry.value = valueOfData(type, *bytes, utf16_);
  return used;
}

std::string RegDocument::text() const {
  std::string out;
  for (const auto& entry : entries_) out += entry.raw;
  return out;
}

// ---- queries -----------------------------------------------------------------------------------

bool RegDocument::sectionMatches(const Entry& section, RootKey root, std::string_view key) const {
  return section.kind == Kind::Section && section.root == root && equalsNoCase(section.path, key);
}

template <typename Visit>
void RegDocument::forEachValueOf(RootKey root, std::string_view key, Visit visit) const {
  bool inKey = false;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const Entry& entry = entries_[i];
    if (entry.kind == Kind::Section || entry.kind == Kind::BadSection) {
      inKey = sectionMatches(entry, root, key);
    } else if (inKey && entry.kind == Kind::Value) {
      visit(i, entry);
    }
  }
}

bool RegDocument::keyExists(RootKey root, std::string_view key) const {
  const std::optional<std::string> k = normalizeKey(key);
  if (!k) return false;
  if (k->empty()) return true;
  const std::string below = *k + "\\";
  for (const auto& entry : entries_) {
    if (entry.kind != Kind::Section || entry.root != root) continue;
    if (equalsNoCase(entry.path, *k) || startsWithNoCase(entry.path, below)) return true;
  }
  return false;
}

std::optional<RegValue> RegDocument::value(RootKey root, std::string_view key,
                                           std::string_view name) const {
  const std::optional<std::string> k = normalizeKey(key);
  if (!k) return std::nullopt;
  std::optional<RegValue> found;
  forEachValueOf(root, *k, [&](std::size_t, const Entry& entry) {
    if (equalsNoCase(entry.name, name)) found = entry.value;
  });
  return found;
}

std::vector<std::string> RegDocument::subkeys(RootKey root, std::string_view key) const {
  std::vector<std::string> names;
  const std::optional<std::string> k = normalizeKey(key);
  if (!k) return names;
  const std::string below = k->empty() ? std::string() : *k + "\\";
  for (const auto& entry : entries_) {
    if (entry.kind != Kind::Section || entry.root != root) continue;
    if (!startsWithNoCase(entry.path, below) || entry.path.size() == below.size()) continue;
    const std::string_view rest = std::string_view(entry.path).substr(below.size());
    const std::string_view child = rest.substr(0, rest.find('\\'));
    bool seen = false;
    for (const auto& name : names) seen = seen || equalsNoCase(name, child);
    if (!seen) names.emplace_back(child);
  }
  return names;
}

std::vector<std::string> RegDocument::valueNames(RootKey root, std::string_view key) const {
  std::vector<std::string> names;
  const std::optional<std::string> k = normalizeKey(key);
  if (!k) return names;
  forEachValueOf(root, *k, [&](std::size_t, const Entry& entry) {
    for (const auto& name : names) {
      if (equalsNoCase(name, entry.name)) return;
    }
    names.push_back(entry.name);
  });
  return names;
}

// ---- edits -------------------------------------------------------------------------------------

void RegDocument::ensureHeader() {
  for (const auto& entry : entries_) {
    if (entry.kind != Kind::Blank) return;
  }
  // Only blanks so far: a new registry file. The blanks stay after the header.
  Entry header;
  header.kind = Kind::Header;
  header.raw = std::string(kHeader5) + eol_;
  Entry blank;
  blank.kind = Kind::Blank;
  blank.raw = eol_;
  entries_.insert(entries_.begin(), {std::move(header), std::move(blank)});
  utf16_ = true;
}

void RegDocument::ensureEndsWithLine() {
  if (!entries_.empty() && lineEnd(entries_.back().raw).empty()) entries_.back().raw += eol_;
}

std::size_t RegDocument::appendSection(RootKey root, std::string_view key) {
  ensureHeader();
  ensureEndsWithLine();
  if (!entries_.empty() && entries_.back().kind != Kind::Blank) {
    Entry blank;
    blank.kind = Kind::Blank;
    blank.raw = eol_;
    entries_.push_back(std::move(blank));
  }
  Entry section;
  section.kind = Kind::Section;
  section.root = root;
  section.path = std::string(key);
  section.raw =
      "[" + std::string(rootName(root)) + (key.empty() ? "" : "\\") + std::string(key) + "]" + eol_;
  entries_.push_back(std::move(section));
  return entries_.size() - 1;
}

bool RegDocument::createKey(RootKey root, std::string_view key, bool& changed) {
  changed = false;
  const std::optional<std::string> k = normalizeKey(key);
  if (!k || !acceptsWrites()) return false;
  // A key exists also when only sections of its subkeys name it, as importing the file creates
  // every key on the way; the root itself always exists.
  if (keyExists(root, *k)) return true;
  appendSection(root, *k);
  changed = true;
  return true;
}

bool RegDocument::setValue(RootKey root, std::string_view key, std::string_view name,
                           const RegValue& value, bool& changed) {
  changed = false;
  const std::optional<std::string> k = normalizeKey(key);
  if (!k || !acceptsWrites() || name.find_first_of("\r\n") != std::string_view::npos) return false;

  std::optional<std::size_t> existing;
  forEachValueOf(root, *k, [&](std::size_t i, const Entry& entry) {
    if (equalsNoCase(entry.name, name)) existing = i;
  });
  if (existing && entries_[*existing].value == value) return true;
  // A value that exists keeps the spelling of its name, as on Windows.
  const std::string spelling = existing ? entries_[*existing].name : std::string(name);

  // Format with the line end of the file and, for text kept as hex, its text encoding.
  const std::string prefix = spelling.empty() ? std::string("@=") : quote(spelling) + "=";
  auto encode = [&](std::string text) { return utf16_ ? utf8ToUtf16(text) : text; };
  std::string line;
  switch (value.type) {
    case RegValueType::String:
      if (value.data.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos) {
        line = prefix + quote(value.data);
      } else {
        line = hexLines(prefix + "hex(1):", encode(value.data + '\0'), eol_);
      }
      break;
    case RegValueType::ExpandString:
      line = hexLines(prefix + "hex(2):", encode(value.data + '\0'), eol_);
      break;
    case RegValueType::MultiString: {
      std::string list = value.data;
      if (!list.empty() && list.back() != '\0') list += '\0';
      list += '\0';
      line = hexLines(prefix + "hex(7):", encode(list), eol_);
      break;
    }
    case RegValueType::Dword:
      if (value.data.size() == 4) {
        std::uint32_t n = 0;
        for (int b = 3; b >= 0; --b) {
          n = (n << 8) | static_cast<unsigned char>(value.data[static_cast<std::size_t>(b)]);
        }
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(n));
        line = prefix + "dword:" + digits;
      } else {
        line = hexLines(prefix + "hex(4):", value.data, eol_);
      }
      break;
    case RegValueType::Binary:
      line = hexLines(prefix + "hex:", value.data, eol_);
      break;
    case RegValueType::Other:
      line = hexLines(prefix + "hex(0):", value.data, eol_);
      break;
  }

  // What a read of the new line gives, so the entry's parsed form matches its text exactly.
  const RegDocument check(std::string(utf16_ ? kHeader5 : kHeader4) + "\n[HKEY_CURRENT_USER\\x]\n" +
                          line + "\n");
  std::optional<RegValue> parsed = check.value(RootKey::CurrentUser, "x", spelling);
  if (!parsed) return false;

  if (existing && entries_[*existing].value == *parsed) return true;
  if (existing) {
    Entry& entry = entries_[*existing];
    entry.raw = line + std::string(lineEnd(entry.raw));
    entry.value = *parsed;
    changed = true;
    return true;
  }

  // A new value goes after the last value of the key's last section, else into a new section.
  std::optional<std::size_t> section;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (sectionMatches(entries_[i], root, *k)) section = i;
  }
  if (!section) section = appendSection(root, *k);
  std::size_t at = *section + 1;
  for (std::size_t i = *section + 1; i < entries_.size(); ++i) {
    const Kind kind = entries_[i].kind;
    if (kind == Kind::Section || kind == Kind::BadSection) break;
    if (kind == Kind::Value) at = i + 1;
  }
  if (lineEnd(entries_[at - 1].raw).empty()) entries_[at - 1].raw += eol_;
  Entry entry;
  entry.kind = Kind::Value;
  entry.name = std::string(name);
  entry.value = *parsed;
  entry.raw = line + eol_;
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
  changed = true;
  return true;
}

bool RegDocument::deleteValue(RootKey root, std::string_view key, std::string_view name) {
  const std::optional<std::string> k = normalizeKey(key);
  if (!k || !acceptsWrites()) return false;
  std::vector<std::size_t> doomed;
  forEachValueOf(root, *k, [&](std::size_t i, const Entry& entry) {
    if (equalsNoCase(entry.name, name)) doomed.push_back(i);
  });
  for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(*it));
  }
  return !doomed.empty();
}

}  // namespace platform::internal
