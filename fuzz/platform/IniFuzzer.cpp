// Reads arbitrary ini texts the way the profile functions do, and writes one value into them. The
// text is cut at the first NUL: before it the file, after it "section\nkey\nvalue" to write.
// Reading keeps the text byte for byte; a write that is accepted reads back as written.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/internal/IniDocument.h"

namespace {

void require(bool condition) {
  if (!condition) __builtin_trap();
}

// The next line of `rest`, taken off it.
std::string_view takeLine(std::string_view& rest) {
  const std::size_t end = rest.find('\n');
  const std::string_view line = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = input.find('\0');
  const std::string_view file = input.substr(0, cut);
  std::string_view edit =
      cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);

  platform::internal::IniDocument document(file);
  require(document.text() == file);
  const std::string_view section = takeLine(edit);
  const std::string_view key = takeLine(edit);
  const std::string_view value = takeLine(edit);
  for (const std::string& name : document.keys(section)) document.value(section, name);
  if (document.setValue(section, key, value)) {
    const auto read = document.value(section, key);
    require(read.has_value() && *read == value);
    require(platform::internal::IniDocument(document.text()).value(section, key) == read);
  }
  document.eraseSection(section);
  return 0;
}
