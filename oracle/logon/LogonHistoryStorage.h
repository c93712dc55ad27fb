// Loading and storing the logon history in the current user's registry or an ini file, each
// entry scrambled into a string of decimal digits.
#pragma once

#include <string>

#include "oracle/logon/LogonHistory.h"

namespace oracle {

// Registry values Logon0, Logon1, ... under HKEY_CURRENT_USER\key. Both return true except
// where noted; a key that cannot be opened or created changes nothing.
bool ReadHistoryFromRegistry(THistoryItems& list, const std::string& key);
bool WriteHistoryToRegistry(const THistoryItems& list, const std::string& key);

// Keys 0, 1, ... of section "Logon". False when the file could not be read or written.
bool ReadHistoryFromIniFile(THistoryItems& list, const std::string& fileName);
bool WriteHistoryToIniFile(const THistoryItems& list, const std::string& fileName);

// Keyless scrambling: a random four-digit seed, then four digits per character.
std::string ScrambleHistoryText(const std::string& text);
// Decodes up to the first group of four characters that is not a decimal number.
std::string UnscrambleHistoryText(const std::string& text);

}  // namespace oracle
