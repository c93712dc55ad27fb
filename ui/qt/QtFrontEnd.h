// Running a program on the Qt front end, without the program including Qt itself.
#pragma once

#include <functional>
#include <string>

namespace ui::qt {

// Makes the application object (which takes Qt's own command-line options out of argc/argv),
// installs the Qt port with the given application title for the run of `program`, and returns
// what `program` returns.
int RunWithQt(int& argc, char** argv, const std::string& applicationTitle,
              const std::function<int()>& program);

}  // namespace ui::qt
