// An ini file held as its physical lines, read and edited with the semantics of the Win32 profile
// functions; edits touch only the lines they change.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::internal {

// "[section]" lines open a section (the name trimmed, up to the last "]"); "key=value" lines in a
// section are entries (key and value trimmed; a value in matching double or single quotes loses
// them); anything else (";" comments, blank lines, lines without "=", lines before the first
// section) is kept and ignored. Names compare without regard to case; when a section or a key
// appears twice, the first occurrence wins.
class IniDocument {
 public:
  explicit IniDocument(std::string_view text);

  std::string text() const;

  std::optional<std::string> value(std::string_view section, std::string_view key) const;
  std::vector<std::string> keys(std::string_view section) const;

  // false when the names or the value cannot be written as one ini line (line breaks, a key with
  // "=" or starting with "[" or ";", a section with "]", empty names); nothing changes then.
  bool setValue(std::string_view section, std::string_view key, std::string_view value);
  // Removes every section of that name with all its lines; false when there was none.
  bool eraseSection(std::string_view section);

 private:
  enum class Kind { Other, Section, Entry };
  struct Line {
    Kind kind = Kind::Other;
    std::string raw;             // with its line end
    std::string name;            // section name or key
    std::size_t valueStart = 0;  // Entry: offset in raw where the value text begins
  };

  std::vector<Line> lines_;
  std::string eol_;
};

}  // namespace platform::internal
