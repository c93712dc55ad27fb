// The program's start as far as the logon dialog, for the start-up benchmark: the layer's units,
// the data module with its configured components, and the first Execute. When the dialog has
// painted itself the probe writes "shown" to standard output and leaves the dialog with Cancel.
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>
#include <cstdio>

#include "app/DataModule.h"
#include "app/Shell.h"
#include "oracle/logon/OracleLogon.h"
#include "ui/qt/FormView.h"
#include "ui/qt/QtFrontEnd.h"

namespace {

class FirstPaint final : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!reported_ && event->type() == QEvent::Paint) {
      auto* widget = qobject_cast<QWidget*>(watched);
      auto* view = widget != nullptr ? qobject_cast<QDialog*>(widget->window()) : nullptr;
      if (view != nullptr && dynamic_cast<ui::qt::FormView*>(view) != nullptr) {
        reported_ = true;
        std::fputs("shown\n", stdout);
        std::fflush(stdout);
        QTimer::singleShot(0, view, &QDialog::reject);
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  return ui::qt::RunWithQt(argc, argv, "dblogon", [] {
    FirstPaint watcher;
    qApp->installEventFilter(&watcher);
    app::StartUnits();
    app::TdmMain dmMain(nullptr);
    dmMain.OracleLogon->Execute();
    qApp->removeEventFilter(&watcher);
    app::StopUnits();
    return 0;
  });
}
