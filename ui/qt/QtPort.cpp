// Message boxes, modal forms, popup menus, the keyboard state, the wait cursor and the main
// window's message loop, with Qt Widgets.
#include "ui/qt/QtPort.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QThread>
#include <exception>
#include <map>

#include "ui/Language.h"
#include "ui/qt/FormView.h"
#include "ui/qt/TextFit.h"

#if defined(__SANITIZE_THREAD__)
#define DBL_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define DBL_THREAD_SANITIZER 1
#endif
#endif
#ifdef DBL_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

namespace ui::qt {
namespace {

// The title of the framework's confirmation box; its buttons come from Qt's own translations.
constexpr Words kConfirmTitle{"Confirm", "Bekreft", "Stadfest"};

// A hand-off through Qt's event queue is ordered by Qt's own locks, which live in an
// uninstrumented library; under the thread sanitizer these make the order visible to it.
void HandOffRelease([[maybe_unused]] void* token) {
#ifdef DBL_THREAD_SANITIZER
  __tsan_release(token);
#endif
}

void HandOffAcquire([[maybe_unused]] void* token) {
#ifdef DBL_THREAD_SANITIZER
  __tsan_acquire(token);
#endif
}

QString qs(const std::string& text) {
  return QString::fromStdString(text);
}

// Message texts come with Windows line breaks.
QString messageText(const std::string& text) {
  QString result = qs(text);
  result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  // Oracle's texts end in a line break, which would only make the box taller.
  while (result.endsWith(QLatin1Char('\n'))) result.chop(1);
  return result;
}

// Menu captions are shown as they are: an ampersand is no shortcut marker here.
QString menuCaption(const std::string& caption) {
  QString result = qs(caption);
  result.replace(QLatin1Char('&'), QLatin1String("&&"));
  return result;
}

void addItems(QMenu* menu, const std::vector<MenuItem>& items,
              std::map<const QAction*, const MenuItem*>& chosen) {
  for (const MenuItem& item : items) {
    if (item.isSeparator()) {
      menu->addSeparator();
    } else if (!item.children.empty()) {
      QMenu* submenu = menu->addMenu(menuCaption(item.caption));
      addItems(submenu, item.children, chosen);
    } else {
      chosen[menu->addAction(menuCaption(item.caption))] = &item;
    }
  }
}

// Keeps the list of open views in step, also when a show ends with an exception.
class ViewEntry {
 public:
  ViewEntry(std::vector<FormView*>& views, FormView* view) : views_(views) {
    views_.push_back(view);
  }
  ~ViewEntry() { views_.pop_back(); }
  ViewEntry(const ViewEntry&) = delete;
  ViewEntry& operator=(const ViewEntry&) = delete;

 private:
  std::vector<FormView*>& views_;
};

}  // namespace

QtPort::QtPort() = default;

QtPort::~QtPort() {
  if (cursor_ != crDefault) QGuiApplication::restoreOverrideCursor();
}

FormView* QtPort::ViewOf(const Form& form) const {
  for (auto it = views_.rbegin(); it != views_.rend(); ++it)
    if (&(*it)->form() == &form) return *it;
  return nullptr;
}

void QtPort::ShowMessage(const std::string& text) {
  ShowDetailedMessage(text, {});
}

void QtPort::ShowDetailedMessage(const std::string& text, const std::string& detail) {
  QWidget* parent = views_.empty() ? QApplication::activeWindow() : views_.back();
  QMessageBox box(QMessageBox::NoIcon, qs(ApplicationTitle()), messageText(text), QMessageBox::Ok,
                  parent);
  box.setTextFormat(Qt::PlainText);
  if (!detail.empty()) {
    box.setInformativeText(messageText(detail));
    // A one-line detail stays on one line; the box would otherwise wrap it at its text's width.
    // A longer one is wrapped at a width that reads well rather than at the text's width.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
      if (detail.size() <= 100)
        label->setWordWrap(false);
      else
        MinimumBoxWidth(box, label->fontMetrics().averageCharWidth() * 64);
    }
  }
  box.setObjectName(QStringLiteral("MessageBox"));
  FitTitle(box);
  box.exec();
}

bool QtPort::AskYesNo(const std::string& text) {
  // The framework's standard confirmation box: its own title, the question mark, Yes and No,
  // all in the user's language.
  QWidget* parent = views_.empty() ? QApplication::activeWindow() : views_.back();
  QMessageBox box(QMessageBox::Question, qs(Say(kConfirmTitle)), messageText(text),
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::Yes);
  box.setObjectName(QStringLiteral("QuestionBox"));
  FitTitle(box);
  return box.exec() == QMessageBox::Yes;
}

ModalResult QtPort::ShowModal(Form& form) {
  form.modalResult = ModalResult::None;
  FormView view(form, views_.empty() ? nullptr : views_.back());
  const ViewEntry entry(views_, &view);
  view.setRunningModal(true);
  view.prepareShow();
  // A form may decide its result while it is being shown; it then closes at once.
  if (form.modalResult == ModalResult::None) view.exec();
  if (form.modalResult == ModalResult::None) form.modalResult = ModalResult::Cancel;
  return form.modalResult;
}

const MenuItem* QtPort::PopupMenu(Form& form, const std::vector<MenuItem>& items,
                                  const Control* anchorParent, int x, int y) {
  FormView* view = ViewOf(form);
  QMenu menu(view);
  std::map<const QAction*, const MenuItem*> chosen;
  addItems(&menu, items, chosen);
  const QPoint at = view != nullptr ? view->toGlobal(anchorParent, x, y) : QCursor::pos();
  const QAction* action = menu.exec(at);
  auto it = chosen.find(action);
  return it != chosen.end() ? it->second : nullptr;
}

bool QtPort::ControlKeyDown() {
  return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}

void QtPort::SetScreenCursor(int cursor) {
  if (cursor == cursor_) return;
  if (cursor_ != crDefault) QGuiApplication::restoreOverrideCursor();
  cursor_ = cursor;
  if (cursor_ != crDefault)
    QGuiApplication::setOverrideCursor(cursor_ == crHourGlass ? Qt::WaitCursor : Qt::ArrowCursor);
}

void QtPort::RunInMainThread(const std::function<void()>& function) {
  if (QThread::currentThread() == QCoreApplication::instance()->thread()) {
    function();
    return;
  }
  std::exception_ptr error;
  HandOffRelease(&error);
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [&] {
        HandOffAcquire(&error);
        try {
          function();
        } catch (...) {
          error = std::current_exception();
        }
        HandOffRelease(&error);
      },
      Qt::BlockingQueuedConnection);
  HandOffAcquire(&error);
  if (error) std::rethrow_exception(error);
}

int QtPort::RunMainWindow(Form& mainForm) {
  if (terminated_) return 0;
  FormView view(mainForm);
  const ViewEntry entry(views_, &view);
  view.prepareShow();
  view.show();
  return QApplication::exec();
}

void QtPort::Terminate() {
  terminated_ = true;
  QCoreApplication::quit();
}

}  // namespace ui::qt
