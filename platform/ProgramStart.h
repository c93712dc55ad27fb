// What a program's main does first on every system: take its arguments as UTF-8 and make the
// console show the UTF-8 it writes ("Vellykka innlogging!", "Bokmål", user names).
#pragma once

#include <string>
#include <vector>

namespace platform {

// The arguments after the program's path, in UTF-8. On Windows they come from the wide command
// line, since argv holds them in the ANSI code page (losing what it cannot show); elsewhere argv
// already is the text.
std::vector<std::string> programArguments(int argc, char** argv);

// Windows: the console's input and output code pages become UTF-8. Elsewhere nothing to do.
void useUtf8Console();

}  // namespace platform
