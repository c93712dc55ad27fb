// Any bytes after a .reg header: the registry reads them without failing, keeps them byte for
// byte, and a write changes the one value it writes and nothing else that was readable.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "platform/RegFileRegistry.h"

namespace {

using platform::RegFileRegistry;
using platform::RegValue;
using platform::RootKey;

using Snapshot = std::map<std::string, RegValue>;

void require(bool condition) {
  if (!condition) std::abort();
}

std::string lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return s;
}

// Every readable value, keyed by root, key path and name (lower case, as they compare).
void collect(const RegFileRegistry& reg, RootKey root, const std::string& key, int depth,
             Snapshot& out) {
  for (const std::string& name : reg.valueNames(root, key)) {
    const std::optional<RegValue> value = reg.readValue(root, key, name);
    require(value.has_value());
    out[lower(std::to_string(static_cast<int>(root)) + "|" + key + "|" + name)] = *value;
  }
  if (depth == 0) return;
  for (const std::string& sub : reg.subkeys(root, key)) {
    require(reg.keyExists(root, key.empty() ? sub : key + "\\" + sub));
    collect(reg, root, key.empty() ? sub : key + "\\" + sub, depth - 1, out);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input = "Windows Registry Editor Version 5.00\n" +
                            std::string(reinterpret_cast<const char*>(data), size);
  RegFileRegistry reg(platform::RegText{input});
  require(reg.text() == input);

  Snapshot before;
  collect(reg, RootKey::LocalMachine, "", 4, before);
  collect(reg, RootKey::CurrentUser, "", 4, before);

  // Write into the first key the file has under HKEY_CURRENT_USER, or a new one.
  const std::vector<std::string> top = reg.subkeys(RootKey::CurrentUser, "");
  const std::string key = top.empty() ? "Fuzz" : top.front();
  const bool newKey = top.empty();
  const RegValue value{platform::RegValueType::String, "fuzz \"value\" \\ end"};
  require(reg.writeValue(RootKey::CurrentUser, key, "FuzzName", value));
  require(reg.readValue(RootKey::CurrentUser, key, "fuzzname") == value);
  if (newKey) require(reg.text().compare(0, input.size(), input) == 0);

  Snapshot after;
  collect(reg, RootKey::LocalMachine, "", 4, after);
  collect(reg, RootKey::CurrentUser, "", 4, after);
  after.erase(lower("1|" + key + "|FuzzName"));
  before.erase(lower("1|" + key + "|FuzzName"));
  require(before == after);

  // What was written reads the same from the text alone, as the next process would read it.
  const RegFileRegistry reread(platform::RegText{reg.text()});
  Snapshot again;
  collect(reread, RootKey::LocalMachine, "", 4, again);
  collect(reread, RootKey::CurrentUser, "", 4, again);
  again.erase(lower("1|" + key + "|FuzzName"));
  require(again == after);
  require(reread.readValue(RootKey::CurrentUser, key, "FuzzName") == value);

  require(reg.deleteValue(RootKey::CurrentUser, key, "FuzzName"));
  require(!reg.readValue(RootKey::CurrentUser, key, "FuzzName").has_value());
  return 0;
}
