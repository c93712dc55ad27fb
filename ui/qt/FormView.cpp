// Rendering a form model with Qt Widgets, and feeding the user's actions back into it.
#include "ui/qt/FormView.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "ui/UiPort.h"
#include "ui/qt/PictureImage.h"
#include "ui/qt/TextFit.h"

namespace ui::qt {
namespace {

// A caption as a button shows it: "&&" is an ampersand, a single "&" marks the mnemonic.
QString withoutMnemonics(QString caption) {
  caption.replace(QLatin1String("&&"), QLatin1String("\x01"));
  caption.remove(QLatin1Char('&'));
  caption.replace(QLatin1Char('\x01'), QLatin1Char('&'));
  return caption;
}

QString qs(const std::string& text) {
  return QString::fromStdString(text);
}

int screenDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? std::max(1, qRound(screen->logicalDotsPerInch())) : 96;
}

// The control's left and top in the form's client coordinates, design pixels.
QPoint designOrigin(const Control* control) {
  QPoint origin;
  for (const Control* c = control; c != nullptr; c = c->parent) origin += QPoint(c->left, c->top);
  return origin;
}

bool takesFocus(ControlKind kind) {
  return kind == ControlKind::Edit || kind == ControlKind::ComboBox ||
         kind == ControlKind::DropDownList || kind == ControlKind::Button;
}

// Shows the form's own password character instead of the style's dot.
class PasswordCharStyle final : public QProxyStyle {
 public:
  explicit PasswordCharStyle(char passwordChar) : passwordChar_(passwordChar) {}
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return QChar::fromLatin1(passwordChar_).unicode();
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }

 private:
  char passwordChar_;
};

// The font the form was designed with, in points as the design stored it, at the screen's size.
// The design's face is not assumed to exist: the application's face is kept.
QFont formFont(const Form& form, int dpi) {
  QFont font = QApplication::font();
  const long points = std::lround(std::abs(form.fontHeight) * 72.0 / form.designPixelsPerInch);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * dpi / 72.0))));
  return font;
}

void setFrame(QFrame* frame, Bevel bevel) {
  switch (bevel) {
    case Bevel::None:
      frame->setFrameStyle(QFrame::NoFrame);
      break;
    case Bevel::Raised:
      frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
      break;
    case Bevel::Lowered:
      frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      break;
    case Bevel::Group:  // lowered outside, raised inside: an etched line
      frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
      frame->setLineWidth(1);
      frame->setMidLineWidth(0);
      break;
  }
}

void setItems(QComboBox* combo, const std::vector<std::string>& items) {
  QStringList wanted;
  for (const std::string& item : items) wanted << qs(item);
  QStringList current;
  for (int i = 0; i < combo->count(); ++i) current << combo->itemText(i);
  if (current == wanted) return;
  const QString text = combo->currentText();
  combo->clear();
  combo->addItems(wanted);
  if (combo->isEditable()) combo->setEditText(text);
}

// Runs an event handler of the model. An exception must not unwind through Qt's event loop:
// like the framework's default handling, its message is shown and the program goes on.
template <typename Handler>
auto guarded(Handler&& handler) -> decltype(handler()) {
  try {
    return handler();
  } catch (const std::exception& e) {
    port().ShowMessage(e.what());
  } catch (...) {
    port().ShowMessage("Unknown exception");
  }
  return decltype(handler())();
}

}  // namespace

Scale::Scale(int designPixelsPerInch, int screenDotsPerInch)
    : design_(std::max(1, designPixelsPerInch)), screen_(std::max(1, screenDotsPerInch)) {}

int Scale::operator()(int designPixels) const {
  return static_cast<int>(std::lround(static_cast<double>(designPixels) * screen_ / design_));
}

QRect Scale::rect(int originX, int originY, int left, int top, int width, int height) const {
  const Scale& s = *this;
  const int x = s(originX + left) - s(originX);
  const int y = s(originY + top) - s(originY);
  const int w = s(originX + left + width) - s(originX + left);
  const int h = s(originY + top + height) - s(originY + top);
  return {x, y, w, h};
}

FormView::FormView(Form& form, QWidget* parent)
    : QDialog(parent), form_(form), scale_(form.designPixelsPerInch, screenDpi()) {
  setObjectName(qs(form_.name));
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (form_.fixedBorder) flags |= Qt::MSWindowsFixedSizeDialogHint;
  if (form_.stayOnTop) flags |= Qt::WindowStaysOnTopHint;
  setWindowFlags(flags);
  setFont(formFont(form_, screenDpi()));
  setSizeGripEnabled(false);
  build();
  connect(qApp, &QApplication::focusChanged, this, &FormView::focusChanged);
  refresh();
}

FormView::~FormView() {
  // The password styles are children of the view; the widgets using them must go first.
  const QList<QWidget*> children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  qDeleteAll(children);
}

void FormView::build() {
  // Parents come before their children in the model, so one pass in model order suffices.
  for (const auto& owned : form_.controls()) {
    Control& control = *owned;
    QWidget* parentWidget = control.parent != nullptr ? widgetFor(*control.parent) : this;
    if (parentWidget == nullptr) parentWidget = this;
    QWidget* widget = create(control, parentWidget);
    widget->setObjectName(qs(control.name));
    widgets_[&control] = widget;
    controls_[widget] = &control;
    if (auto* combo = qobject_cast<QComboBox*>(widget); combo != nullptr && combo->lineEdit())
      controls_[combo->lineEdit()] = &control;
    bind(control, widget);
  }
  setTabOrder();
}

QWidget* FormView::create(Control& control, QWidget* parentWidget) {
  switch (control.kind) {
    case ControlKind::Panel: {
      auto* frame = new QFrame(parentWidget);
      setFrame(frame, control.bevel);
      return frame;
    }
    case ControlKind::Label: {
      auto* label = new QLabel(parentWidget);
      label->setTextFormat(Qt::PlainText);
      return label;
    }
    case ControlKind::Edit:
      return new QLineEdit(parentWidget);
    case ControlKind::ComboBox: {
      auto* combo = new QComboBox(parentWidget);
      combo->setEditable(true);
      combo->setInsertPolicy(QComboBox::NoInsert);
      return combo;
    }
    case ControlKind::DropDownList:
      return new QComboBox(parentWidget);
    case ControlKind::Button: {
      auto* button = new QPushButton(parentWidget);
      // Enter is the model's to decide (the form's key handler); Qt's own default-button
      // handling would press a second button.
      button->setAutoDefault(false);
      return button;
    }
    case ControlKind::SpeedButton: {
      auto* button = new QToolButton(parentWidget);
      button->setFocusPolicy(Qt::NoFocus);  // speed buttons never take the focus
      button->setToolButtonStyle(Qt::ToolButtonIconOnly);
      return button;
    }
    case ControlKind::Image: {
      auto* image = new QLabel(parentWidget);
      image->setAlignment(Qt::AlignCenter);
      image->setAttribute(Qt::WA_TranslucentBackground);
      return image;
    }
  }
  return new QWidget(parentWidget);
}

void FormView::bind(Control& control, QWidget* widget) {
  Control* c = &control;
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    connect(edit, &QLineEdit::textEdited, this, [this, c](const QString& text) {
      if (!refreshing_) c->text = text.toStdString();
    });
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    connect(combo, &QComboBox::currentIndexChanged, this, [this, c, combo](int index) {
      if (refreshing_) return;
      c->itemIndex = index;
      c->text = combo->currentText().toStdString();
    });
    if (combo->isEditable()) {
      connect(combo, &QComboBox::editTextChanged, this, [this, c](const QString& text) {
        if (!refreshing_) c->text = text.toStdString();
      });
    }
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    connect(button, &QAbstractButton::clicked, this, [this, c] { click(*c); });
  }
  if (takesFocus(control.kind)) widget->installEventFilter(this);
}

void FormView::setTabOrder() {
  // Depth first through the containers, siblings by their tab order, as the keyboard walks.
  std::vector<QWidget*> chain;
  auto walk = [&](auto&& self, const Control* parent) -> void {
    std::vector<Control*> children = form_.childrenOf(parent);
    std::stable_sort(children.begin(), children.end(),
                     [](const Control* a, const Control* b) { return a->tabOrder < b->tabOrder; });
    for (Control* child : children) {
      if (takesFocus(child->kind))
        chain.push_back(widgetFor(*child));
      else if (child->kind == ControlKind::Panel)
        self(self, child);
    }
  };
  walk(walk, nullptr);
  for (std::size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

QWidget* FormView::widgetFor(const Control& control) const {
  auto it = widgets_.find(&control);
  return it != widgets_.end() ? it->second : nullptr;
}

Control* FormView::controlFor(const QObject* widget) const {
  auto it = controls_.find(widget);
  return it != controls_.end() ? it->second : nullptr;
}

void FormView::applyGeometry(const Control& control, QWidget* widget) const {
  const QPoint origin = designOrigin(control.parent);
  QRect r =
      scale_.rect(origin.x(), origin.y(), control.left, control.top, control.width, control.height);
  if (control.kind == ControlKind::Label) {
    // The design's font may be smaller than the one at hand, and a translation longer than the
    // designed text: grow the label about its middle, and away from the side its text keeps to,
    // rather than clip the text.
    const int needed = widget->fontMetrics().height();
    if (r.height() < needed) {
      r.moveTop(r.top() - (needed - r.height()) / 2);
      r.setHeight(needed);
    }
    const int wide = widget->fontMetrics().horizontalAdvance(qs(control.caption)) + 2;
    if (r.width() < wide) {
      if (control.textAlign == TextAlign::Right) r.setLeft(std::max(0, r.right() + 1 - wide));
      if (r.width() < wide) r.setWidth(wide);
    }
  } else if (control.kind == ControlKind::Button && !control.caption.empty()) {
    const int wide =
        widget->fontMetrics().horizontalAdvance(withoutMnemonics(qs(control.caption))) +
        widget->fontMetrics().averageCharWidth() * 2;
    if (r.width() < wide) r.setWidth(wide);
  }
  widget->setGeometry(r);
}

void FormView::refresh() {
  refreshing_ = true;
  setWindowTitle(qs(form_.caption));

  for (const auto& owned : form_.controls()) {
    const Control& control = *owned;
    QWidget* widget = widgetFor(control);
    if (widget == nullptr) continue;
    const QSignalBlocker blocker(widget);
    applyGeometry(control, widget);
    widget->setEnabled(control.enabled);
    widget->setToolTip(qs(control.hint));

    if (auto* label = qobject_cast<QLabel*>(widget); label != nullptr) {
      if (control.kind == ControlKind::Image) {
        if (control.picture.empty())
          label->clear();
        else
          label->setPixmap(QPixmap::fromImage(ToImage(control.picture)));
      } else {
        label->setText(qs(control.caption));
        label->setAlignment(
            (control.textAlign == TextAlign::Right ? Qt::AlignRight : Qt::AlignLeft) |
            Qt::AlignVCenter);
      }
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
      if (edit->text() != qs(control.text)) edit->setText(qs(control.text));
      if (control.passwordChar != '\0') {
        if (edit->echoMode() != QLineEdit::Password) {
          auto* style = new PasswordCharStyle(control.passwordChar);
          style->setParent(this);
          edit->setStyle(style);
          edit->setEchoMode(QLineEdit::Password);
        }
      } else {
        edit->setEchoMode(QLineEdit::Normal);
      }
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      setItems(combo, control.items);
      combo->setMaxVisibleItems(std::max(1, control.dropDownCount));
      if (combo->isEditable()) {
        if (combo->currentText() != qs(control.text)) {
          combo->setCurrentIndex(combo->findText(qs(control.text), Qt::MatchExactly));
          combo->setEditText(qs(control.text));
        }
      } else {
        combo->setCurrentIndex(control.itemIndex < combo->count() ? control.itemIndex : -1);
      }
    } else if (auto* tool = qobject_cast<QToolButton*>(widget)) {
      if (control.picture.empty()) {
        tool->setIcon(QIcon());
        tool->setText(qs(control.caption));
      } else {
        const QPixmap glyph = QPixmap::fromImage(ToImage(control.picture));
        tool->setIcon(QIcon(glyph));
        tool->setIconSize(glyph.size());
      }
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
      button->setText(qs(control.caption));
      button->setDefault(control.isDefault);
    }
    // Last, so that a child shown while its window is hidden appears with the window.
    widget->setVisible(control.visible);
  }
  // The designed size, wider only where the dialog's own texts need it: its caption, and any
  // text that had to grow past the right edge.
  int width = std::max(scale_(form_.clientWidth), TitleBarWidth(*this, windowTitle()));
  const int margin = scale_(form_.clientWidth) > 0 ? scale_(8) : 0;
  for (const auto& [control, widget] : widgets_) {
    if (!control->visible || widget->parentWidget() == nullptr) continue;
    const int right = widget->mapTo(this, QPoint(widget->width(), 0)).x();
    if (right > scale_(form_.clientWidth)) width = std::max(width, right + margin);
  }
  const QSize client(width, scale_(form_.clientHeight));
  if (form_.fixedBorder)
    setFixedSize(client);
  else
    resize(client);
  refreshing_ = false;
}

void FormView::applyFocus() {
  if (form_.focused == appliedFocus_) return;
  appliedFocus_ = form_.focused;
  if (form_.focused == nullptr) return;
  if (QWidget* widget = widgetFor(*form_.focused)) widget->setFocus(Qt::OtherFocusReason);
}

void FormView::prepareShow() {
  form_.FormShow();
  refresh();
  appliedFocus_ = nullptr;
  applyFocus();
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen != nullptr) {
    QRect frame(QPoint(), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

QPoint FormView::toGlobal(const Control* parentControl, int x, int y) const {
  const QPoint origin = designOrigin(parentControl);
  const QPoint local(scale_(origin.x() + x) - scale_(origin.x()),
                     scale_(origin.y() + y) - scale_(origin.y()));
  const QWidget* widget = parentControl != nullptr ? widgetFor(*parentControl) : this;
  return (widget != nullptr ? widget : this)->mapToGlobal(local);
}

void FormView::focusChanged(QWidget* /*old*/, QWidget* now) {
  if (refreshing_ || now == nullptr) return;
  if (Control* control = controlFor(now)) {
    form_.focused = control;
    appliedFocus_ = control;
  }
}

void FormView::click(Control& control) {
  guarded([&] { form_.Click(control); });
  afterEvent();
}

void FormView::afterEvent() {
  refresh();
  applyFocus();
  if (runningModal_ && form_.modalResult != ModalResult::None)
    QDialog::done(form_.modalResult == ModalResult::OK ? Accepted : Rejected);
}

bool FormView::previewKey(QKeyEvent* event) {
  Key key = Key::Other;
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
    key = Key::Enter;
  else if (event->key() == Qt::Key_Escape)
    key = Key::Escape;
  else
    return false;
  const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
  const bool handled = guarded([&] { return form_.FormKeyDown(key, ctrl); });
  if (handled) afterEvent();
  return handled;
}

bool FormView::eventFilter(QObject* watched, QEvent* event) {
  // Key preview: the form sees Enter and Escape before the focused control does.
  if (event->type() == QEvent::KeyPress) {
    if (Control* control = controlFor(watched)) {
      // Keys go to the focused control: that is the model's focus, whatever Qt reported.
      form_.focused = control;
      appliedFocus_ = control;
      if (previewKey(static_cast<QKeyEvent*>(event))) return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void FormView::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
    // Reaching the window itself: either no control had the focus, and the form has not seen
    // the key yet, or a control let it pass after the form declined it. Qt's own dialog keys
    // (default button, Escape closing) never apply: the model decides.
    const QWidget* focus = focusWidget();
    if (focus == nullptr || controlFor(focus) == nullptr) previewKey(event);
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void FormView::reject() {
  // The close box (and anything else that rejects) gives Cancel.
  if (form_.modalResult == ModalResult::None) form_.modalResult = ModalResult::Cancel;
  QDialog::reject();
}

}  // namespace ui::qt
