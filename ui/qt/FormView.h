// A window rendered from a ui::Form model: one widget per control at the model's positions,
// scaled from the form's design resolution to the screen's. The model stays the truth: widget
// edits are written into it at once, and after every event the widgets are refreshed from it.
#pragma once

#include <QDialog>
#include <QRect>
#include <map>

#include "ui/Form.h"

class QKeyEvent;
class QCloseEvent;

namespace ui::qt {

// Converts design pixels to screen pixels. Edges are scaled, not sizes, so controls that touch
// in the design still touch on the screen whatever the rounding.
class Scale {
 public:
  Scale(int designPixelsPerInch, int screenDotsPerInch);
  int operator()(int designPixels) const;
  // A rectangle given in design pixels relative to a parent whose own design origin is
  // (originX, originY) in the form; the result is relative to that parent on the screen.
  QRect rect(int originX, int originY, int left, int top, int width, int height) const;

 private:
  int design_;
  int screen_;
};

class FormView : public QDialog {
 public:
  // Builds the widgets of `form`; the form must outlive the view.
  explicit FormView(Form& form, QWidget* parent = nullptr);
  ~FormView() override;

  Form& form() const { return form_; }
  const Scale& scale() const { return scale_; }
  QWidget* widgetFor(const Control& control) const;
  // The control a widget (or a widget inside it, such as a combo box's edit) renders.
  Control* controlFor(const QObject* widget) const;

  // Runs the form's FormShow, refreshes, focuses form.focused and centres the window.
  void prepareShow();
  // Puts every widget in the state the model describes.
  void refresh();
  // A point in the client coordinates of `parentControl` (the form when null), in design
  // pixels, as a point on the screen.
  QPoint toGlobal(const Control* parentControl, int x, int y) const;

  // Closes a modal show when the model asks for it; true when the view is run modally.
  void setRunningModal(bool modal) { runningModal_ = modal; }

  // The close box (and anything else that rejects the window) gives Cancel.
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void build();
  QWidget* create(Control& control, QWidget* parentWidget);
  void bind(Control& control, QWidget* widget);
  void setTabOrder();
  void applyGeometry(const Control& control, QWidget* widget) const;
  void applyFocus();
  void afterEvent();
  void click(Control& control);
  bool previewKey(QKeyEvent* event);
  void focusChanged(QWidget* old, QWidget* now);

  Form& form_;
  Scale scale_;
  std::map<const Control*, QWidget*> widgets_;
  std::map<const QObject*, Control*> controls_;
  const Control* appliedFocus_ = nullptr;
  bool runningModal_ = false;
  bool refreshing_ = false;
};

}  // namespace ui::qt
