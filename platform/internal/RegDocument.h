// A registry file in the .reg text format, held as its physical lines so that an edit rewrites only
// the lines it changes and every other byte (comments, spacing, line ends, damaged lines) survives.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"

namespace platform::internal {

// Reading is lenient: a line that does not parse is skipped (kept verbatim, ignored), and the
// values after a damaged section header belong to no key. When one key has several sections, their
// values add up and a later value of the same name wins, as importing the file would do.
class RegDocument {
 public:
  RegDocument() = default;
  explicit RegDocument(std::string_view text);

  std::string text() const;
  // True when the text starts (after blank lines) with a .reg header line, or holds only blanks.
  // Anything else is not a registry file, and edits are refused so as not to write into it.
  bool isRegistryText() const { return !foreign_; }
  // Edits are refused for foreign text and for UTF-16 files (which read, as their UTF-8 form).
  bool acceptsWrites() const { return !foreign_ && !utf16File_; }
  // False when some line was skipped as damaged (or the header is missing).
  bool parsedCleanly() const { return clean_; }

  bool keyExists(RootKey root, std::string_view key) const;
  std::optional<RegValue> value(RootKey root, std::string_view key, std::string_view name) const;
  std::vector<std::string> subkeys(RootKey root, std::string_view key) const;
  std::vector<std::string> valueNames(RootKey root, std::string_view key) const;

  // Edits return false when the request cannot be written (a name with a line break, an empty key
  // part, a text that is not a registry file); the document is then unchanged. `changed` tells
  // whether the text differs afterwards.
  bool createKey(RootKey root, std::string_view key, bool& changed);
  bool setValue(RootKey root, std::string_view key, std::string_view name, const RegValue& value,
                bool& changed);
  // Removes the value from every section of the key; false when there was none.
  bool deleteValue(RootKey root, std::string_view key, std::string_view name);

 private:
  enum class Kind { Blank, Comment, Header, Section, BadSection, Value, Junk };
  struct Entry {
    Kind kind = Kind::Junk;
    std::string raw;              // the physical line(s), line ends included
    std::optional<RootKey> root;  // Section: nullopt for a root this port does not have
    std::string path;             // Section: key path without the root
    std::string name;             // Value
    RegValue value;               // Value
  };

  void parse(std::string_view text);
  std::size_t parseValue(const std::vector<std::string>& lines, std::size_t first,
                         Entry& entry) const;
  // Calls visit(index, entry) for each value entry that belongs to a section of exactly that key.
  template <typename Visit>
  void forEachValueOf(RootKey root, std::string_view key, Visit visit) const;
  bool sectionMatches(const Entry& section, RootKey root, std::string_view key) const;
  void ensureHeader();
  void ensureEndsWithLine();
  std::size_t appendSection(RootKey root, std::string_view key);

  std::vector<Entry> entries_;
  bool utf16_ = true;  // version 5 files hold string data as UTF-16; REGEDIT4 files as bytes
  bool foreign_ = false;
  bool utf16File_ = false;
  bool clean_ = true;
  std::string eol_ = "\n";
};

}  // namespace platform::internal
