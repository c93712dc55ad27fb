// Running a program on the Qt front end, without the program including Qt itself.
#pragma once

#include <functional>
#include <string>

#include "ui/Language.h"

class QTranslator;

namespace ui::qt {

// Loads Qt's own catalogue for the language (its standard buttons, the edit fields' context
// menu); false when there is none (English needs none).
bool LoadQtTranslation(QTranslator& translator, Language language);

// Makes the application object (which takes Qt's own command-line options out of argc/argv),
// loads Qt's own translations for the current language (ui/Language.h), installs the Qt port with
// the given application title for the run of `program`, and returns what `program` returns.
int RunWithQt(int& argc, char** argv, const std::string& applicationTitle,
              const std::function<int()>& program);

}  // namespace ui::qt
