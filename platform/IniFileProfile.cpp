// Ini files read whole per call and rewritten atomically.
#include "platform/IniFileProfile.h"

#include "platform/internal/AtomicFile.h"
#include "platform/internal/IniDocument.h"
#include "platform/internal/Text.h"

namespace platform {
namespace {

std::string contentOf(const std::string& file) {
  std::string content;
  if (file.empty() || internal::readWholeFile(file, content) != internal::ReadStatus::Ok)
    content.clear();
  return content;
}

}  // namespace

std::string IniFileProfile::readString(const std::string& file, std::string_view section,
                                       std::string_view key, std::string_view defaultValue) const {
  const internal::IniDocument document(contentOf(file));
  std::optional<std::string> value = document.value(section, key);
  if (value) return std::move(*value);
  return std::string(internal::trimRight(defaultValue));
}

std::vector<std::string> IniFileProfile::readSectionKeys(const std::string& file,
                                                         std::string_view section) const {
  return internal::IniDocument(contentOf(file)).keys(section);
}

bool IniFileProfile::writeString(const std::string& file, std::string_view section,
                                 std::string_view key, std::string_view value) {
  if (file.empty()) return false;
  return internal::editFile(
      file,
      [&](internal::ReadStatus, std::string& content) {
        internal::IniDocument document(content);
        if (!document.setValue(section, key, value)) return internal::EditResult::Refuse;
        std::string updated = document.text();
        if (updated == content) return internal::EditResult::Keep;
        content = std::move(updated);
        return internal::EditResult::Write;
      },
      0666);
}

bool IniFileProfile::eraseSection(const std::string& file, std::string_view section) {
  if (file.empty()) return false;
  return internal::editFile(
      file,
      [&](internal::ReadStatus, std::string& content) {
        internal::IniDocument document(content);
        if (!document.eraseSection(section)) return internal::EditResult::Keep;
        content = document.text();
        return internal::EditResult::Write;
      },
      0666);
}

}  // namespace platform
