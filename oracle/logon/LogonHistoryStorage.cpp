// Registry and ini storage of the logon history, and the digit scrambling of stored entries.
#include "oracle/logon/LogonHistoryStorage.h"

#include <chrono>
#include <random>

#include "oracle/core/Exception.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "platform/Services.h"

namespace oracle {
namespace {

using platform::RootKey;

// Past this many characters a scrambled character no longer fits four digits, and the stored
// text could not be read back; such entries are not stored.
constexpr std::size_t kMaxScrambledLength = 519;
const char* const kIniSection = "Logon";

std::string withoutLeadingBackslash(const std::string& key) {
  return !key.empty() && key[0] == '\\' ? key.substr(1) : key;
}

std::string valueName(std::size_t n) { return "Logon" + std::to_string(n); }

void addLoaded(THistoryItems& list, std::size_t n, const std::string& text) {
  if (list.MaxItems == 0 || n < static_cast<std::size_t>(list.MaxItems))
    AddHistoryItem(list, text, "", "", "", false);
}

// Seeded anew from the clock for each store, so each write scrambles differently.
std::mt19937& generator() {
  static std::mt19937 engine;
  return engine;
}

void seedFromClock() {
  generator().seed(static_cast<std::mt19937::result_type>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count()));
}

}  // namespace

std::string ScrambleHistoryText(const std::string& text) {
  if (text.size() > kMaxScrambledLength)
    throw Exception("History text too long to store (" + std::to_string(text.size()) +
                    " characters)");
  const int seed = 2000 + std::uniform_int_distribution<int>(0, 999)(generator());
  std::string out = std::to_string(seed);
  for (std::size_t i = 1; i <= text.size(); ++i) {
    const int code = static_cast<unsigned char>(text[i - 1]);
    const int v = ((seed + 10 * static_cast<int>(i)) ^ (code * 16)) + 1000;
    out += std::to_string(v);
  }
  return out;
}

std::string UnscrambleHistoryText(const std::string& text) {
  const auto number = [](const std::string& s, std::size_t at, int& value) {
    if (at + 4 > s.size()) return false;
    value = 0;
    for (std::size_t k = at; k < at + 4; ++k) {
      if (s[k] < '0' || s[k] > '9') return false;
      value = value * 10 + (s[k] - '0');
    }
    return true;
  };
  std::string out;
  int seed = 0;
  if (!number(text, 0, seed)) return out;
  for (std::size_t at = 4, i = 1; at < text.size(); at += 4, ++i) {
    int c = 0;
    if (!number(text, at, c)) break;  // damaged: keep what was decoded so far
    out += static_cast<char>((((c - 1000) ^ (seed + 10 * static_cast<int>(i))) / 16) & 0xFF);
  }
  return out;
}

bool ReadHistoryFromRegistry(THistoryItems& list, const std::string& key) {
  if (key.empty()) return true;
  const std::string path = withoutLeadingBackslash(key);
  platform::Registry& registry = platform::registry();
  if (!registry.keyExists(RootKey::CurrentUser, path)) return true;
  // Values of any length are read: a long entry must not end the loading and have the entries
  // after it deleted by the next store.
  for (std::size_t n = 0;; ++n) {
    const auto value = registry.readValue(RootKey::CurrentUser, path, valueName(n));
    if (!value) break;
    const std::string data = value->data.substr(0, value->data.find('\0'));
    const std::string text = UnscrambleHistoryText(data);
    if (text.empty()) break;
    addLoaded(list, n, text);
  }
  return true;
}

bool WriteHistoryToRegistry(const THistoryItems& list, const std::string& key) {
  if (key.empty()) return true;
  seedFromClock();
  const std::string path = withoutLeadingBackslash(key);
  platform::Registry& registry = platform::registry();
  if (!registry.createKey(RootKey::CurrentUser, path)) return true;
  for (std::size_t n = 0; registry.deleteValue(RootKey::CurrentUser, path, valueName(n)); ++n) {
  }
  std::size_t n = 0;
  for (const THistoryItem& item : list.Items()) {
    const std::string entry = HistoryEntryText(item);
    if (entry.size() > kMaxScrambledLength) continue;
    registry.writeString(RootKey::CurrentUser, path, valueName(n++), ScrambleHistoryText(entry));
  }
  return true;
}

bool ReadHistoryFromIniFile(THistoryItems& list, const std::string& fileName) {
  if (fileName.empty()) return true;
  try {
    platform::Profile& profile = platform::profile();
    for (std::size_t n = 0;; ++n) {
      const std::string stored = profile.readString(fileName, kIniSection, std::to_string(n), "");
      if (stored.empty()) break;
      const std::string text = UnscrambleHistoryText(stored);
      if (text.empty()) break;
      addLoaded(list, n, text);
    }
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

bool WriteHistoryToIniFile(const THistoryItems& list, const std::string& fileName) {
  if (fileName.empty()) return true;
  try {
    seedFromClock();
    platform::Profile& profile = platform::profile();
    if (!profile.eraseSection(fileName, kIniSection)) return false;
    std::size_t n = 0;
    for (const THistoryItem& item : list.Items()) {
      const std::string entry = HistoryEntryText(item);
      if (entry.size() > kMaxScrambledLength) continue;
      if (!profile.writeString(fileName, kIniSection, std::to_string(n++),
                               ScrambleHistoryText(entry)))
        return false;
    }
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

}  // namespace oracle
