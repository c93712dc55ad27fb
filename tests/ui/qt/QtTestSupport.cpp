// The offscreen application and the modal-window helper of the Qt view tests.
#include "QtTestSupport.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QWidget>

// The application lives until the process ends, and with it the font library's caches, which
// the leak checker of the sanitizer builds would report as leaks.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace uitest {

QApplication& application() {
  // Never destroyed: Qt's test library keeps input devices of its own that must not outlive an
  // application torn down at exit.
  static QApplication* app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "qt-view-tests";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  return *app;
}

void whenShown(ui::qt::QtPort& port, const ui::Form& form,
               std::function<void(ui::qt::FormView&)> act) {
  QTimer::singleShot(0, &application(), [&port, &form, act = std::move(act)] {
    ui::qt::FormView* view = port.ViewOf(form);
    ASSERT_NE(view, nullptr) << "the window is not up";
    QTimer::singleShot(5000, &application(), [guard = QPointer<ui::qt::FormView>(view)] {
      ui::qt::FormView* open = guard.data();
      if (open == nullptr || !open->isVisible()) return;
      ADD_FAILURE() << "the window was left open";
      if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
      open->reject();
    });
    act(*view);
  });
}

}  // namespace uitest
