// Line-preserving ini parsing and editing.
#include "platform/internal/IniDocument.h"

#include "platform/internal/Text.h"

namespace platform::internal {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string unquote(std::string_view value) {
  value = trim(value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

// Text that reads back as `value`: quoted when trimming or unquoting would otherwise change it.
std::string encodeValue(std::string_view value) {
  if (unquote(value) == value) return std::string(value);
  return "\"" + std::string(value) + "\"";
}

}  // namespace

IniDocument::IniDocument(std::string_view text) : eol_(dominantLineEnd(text)) {
  bool inSection = false;
  for (std::string& raw : splitLines(text)) {
    Line line;
    std::string_view body = lineBody(raw);
    std::size_t offset = 0;
    if (lines_.empty() && body.substr(0, kBom.size()) == kBom) offset = kBom.size();
    body.remove_prefix(offset);
    const std::string_view t = trim(body);
    if (!t.empty() && t.front() == '[' && t.find(']') != std::string_view::npos) {
      line.kind = Kind::Section;
      line.name = std::string(trim(t.substr(1, t.rfind(']') - 1)));
      inSection = true;
    } else if (inSection && !t.empty() && t.front() != ';') {
      const std::size_t eq = body.find('=');
      if (eq != std::string_view::npos && !trim(body.substr(0, eq)).empty()) {
        line.kind = Kind::Entry;
        line.name = std::string(trim(body.substr(0, eq)));
        std::size_t start = eq + 1;
        while (start < body.size() && (body[start] == ' ' || body[start] == '\t')) ++start;
        line.valueStart = offset + start;
      }
    }
    line.raw = std::move(raw);
    lines_.push_back(std::move(line));
  }
}

std::string IniDocument::text() const {
  std::string out;
  for (const Line& line : lines_) out += line.raw;
  return out;
}

std::optional<std::string> IniDocument::value(std::string_view section,
                                              std::string_view key) const {
  section = trim(section);
  key = trim(key);
  bool inSection = false;
  for (const Line& line : lines_) {
    if (line.kind == Kind::Section) {
      inSection = equalsNoCase(line.name, section);
    } else if (inSection && line.kind == Kind::Entry && equalsNoCase(line.name, key)) {
      return unquote(lineBody(line.raw).substr(line.valueStart));
    }
  }
  return std::nullopt;
}

std::vector<std::string> IniDocument::keys(std::string_view section) const {
  section = trim(section);
  std::vector<std::string> names;
  bool inSection = false;
  for (const Line& line : lines_) {
    if (line.kind == Kind::Section) {
      inSection = equalsNoCase(line.name, section);
    } else if (inSection && line.kind == Kind::Entry) {
      bool seen = false;
      for (const auto& name : names) seen = seen || equalsNoCase(name, line.name);
      if (!seen) names.push_back(line.name);
    }
  }
  return names;
}

bool IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
  section = trim(section);
  key = trim(key);
  const std::string_view breaks("\r\n\0", 3);
  if (section.empty() || key.empty() || section.find_first_of(breaks) != std::string_view::npos ||
      section.find(']') != std::string_view::npos ||
      key.find_first_of(breaks) != std::string_view::npos ||
      key.find('=') != std::string_view::npos || key.front() == '[' || key.front() == ';' ||
      value.find_first_of(breaks) != std::string_view::npos) {
    return false;
  }
  const std::string encoded = encodeValue(value);

  std::optional<std::size_t> firstSection;
  std::optional<std::size_t> lastEntry;  // the last entry of the first section of that name
  std::optional<std::size_t> current;
  bool inSection = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    Line& line = lines_[i];
    if (line.kind == Kind::Section) {
      current = i;
      inSection = equalsNoCase(line.name, section);
      if (inSection && !firstSection) firstSection = i;
      continue;
    }
    if (!inSection || line.kind != Kind::Entry) continue;
    if (equalsNoCase(line.name, key)) {
      // Keep the key's spelling and spacing; replace only the value text.
      const std::string end(lineEnd(line.raw));
      line.raw = line.raw.substr(0, line.valueStart) + encoded + end;
      return true;
    }
    if (current == firstSection) lastEntry = i;
  }

  auto terminateLast = [&](std::size_t index) {
    if (lineEnd(lines_[index].raw).empty()) lines_[index].raw += eol_;
  };
  Line entry;
  entry.kind = Kind::Entry;
  entry.name = std::string(key);
  entry.raw = std::string(key) + "=";
  entry.valueStart = entry.raw.size();
  entry.raw += encoded + eol_;
  if (firstSection) {
    const std::size_t after = lastEntry ? *lastEntry : *firstSection;
    terminateLast(after);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after + 1), std::move(entry));
    return true;
  }
  if (!lines_.empty()) {
    terminateLast(lines_.size() - 1);
    if (!trim(lineBody(lines_.back().raw)).empty())
      lines_.push_back(Line{Kind::Other, eol_, {}, 0});
  }
  Line header;
  header.kind = Kind::Section;
  header.name = std::string(section);
  header.raw = "[" + std::string(section) + "]" + eol_;
  lines_.push_back(std::move(header));
  lines_.push_back(std::move(entry));
  return true;
}

bool IniDocument::eraseSection(std::string_view section) {
  section = trim(section);
  bool erased = false;
  bool inSection = false;
  std::vector<Line> kept;
  for (Line& line : lines_) {
    if (line.kind == Kind::Section) inSection = equalsNoCase(line.name, section);
    if (inSection) {
      erased = true;
      continue;
    }
    kept.push_back(std::move(line));
  }
  lines_ = std::move(kept);
  return erased;
}

}  // namespace platform::internal
