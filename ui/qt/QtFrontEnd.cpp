// The application object and the installed port around a program run.
#include "ui/qt/QtFrontEnd.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "ui/Language.h"
#include "ui/qt/QtPort.h"

namespace ui::qt {

// Qt's own words (the standard buttons, the edit fields' context menu) in the user's language.
// Qt ships no Bokmål catalogue of its own; Nynorsk is the nearest written Norwegian it has, and
// its button words are Bokmål's too (Ja, Nei, Avbryt).
bool LoadQtTranslation(QTranslator& translator, Language language) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  bool loaded = false;
  switch (language) {
    case Language::Bokmal:
      for (const char* name : {"qtbase_nb", "qtbase_no", "qtbase_nn"})
        if (!loaded) loaded = translator.load(QString::fromLatin1(name), folder);
      break;
    case Language::Nynorsk:
      loaded = translator.load(QStringLiteral("qtbase_nn"), folder);
      break;
    case Language::English:
      break;
  }
  return loaded;
}

int RunWithQt(int& argc, char** argv, const std::string& applicationTitle,
              const std::function<int()>& program) {
  QApplication application(argc, argv);
  QTranslator translator;
  if (LoadQtTranslation(translator, CurrentLanguage()))
    QCoreApplication::installTranslator(&translator);
  QtPort port;
  port.SetApplicationTitle(applicationTitle);
  const ScopedPort installed(port);
  return program();
}

}  // namespace ui::qt
