// Shared pieces of the Qt view tests: one QApplication on the offscreen platform for the whole
// program, and a way to act inside a modal window's own event loop.
#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

#include "ui/qt/FormView.h"
#include "ui/qt/QtPort.h"

namespace uitest {

// The application, made on first use (never during test listing).
QApplication& application();

// Once the window of `form` is up, runs `act` on it from inside its modal loop. A window still
// open after a few seconds is closed, so a test that fails to close it fails instead of hanging.
void whenShown(ui::qt::QtPort& port, const ui::Form& form,
               std::function<void(ui::qt::FormView&)> act);

// The widget of a control by its name, of the wanted class; nullptr when missing.
template <typename Widget>
Widget* widget(ui::qt::FormView& view, const char* name) {
  return view.findChild<Widget*>(QString::fromLatin1(name));
}

}  // namespace uitest
