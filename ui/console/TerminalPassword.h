// Asking for a password on the controlling terminal with echo off, whatever standard input and
// output are (they may be a pipe or a file in a script).
#pragma once

#include <optional>
#include <string>

namespace ui::console {

// Writes `prompt` to the terminal and reads one line without echo. nullopt when the process has
// no terminal or the line could not be read (end of input).
std::optional<std::string> ReadPasswordFromTerminal(const std::string& prompt);

}  // namespace ui::console
