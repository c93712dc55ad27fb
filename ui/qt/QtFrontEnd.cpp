// The application object and the installed port around a program run.
#include "ui/qt/QtFrontEnd.h"

#include <QApplication>

#include "ui/qt/QtPort.h"

namespace ui::qt {

int RunWithQt(int& argc, char** argv, const std::string& applicationTitle,
              const std::function<int()>& program) {
  QApplication application(argc, argv);
  QtPort port;
  port.SetApplicationTitle(applicationTitle);
  const ScopedPort installed(port);
  return program();
}

}  // namespace ui::qt
