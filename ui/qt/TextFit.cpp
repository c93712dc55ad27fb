// Measuring titles against the window that carries them.
#include "ui/qt/TextFit.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace ui::qt {
namespace {

// Icon, close button and the frame's padding at 96 dots per inch; title bars are bigger on
// screens with more dots.
constexpr int kDecorationAt96Dpi = 88;

}  // namespace

int TitleBarWidth(const QWidget& window, const QString& title) {
  QFont font = QApplication::font();
  font.setBold(true);
  const int dpi = window.logicalDpiX() > 0 ? window.logicalDpiX() : 96;
  return QFontMetrics(font).horizontalAdvance(title) + kDecorationAt96Dpi * dpi / 96;
}

void MinimumBoxWidth(QMessageBox& box, int width) {
  // The one way a message box takes a minimum width: a spacer across its layout's last row.
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  grid->addItem(new QSpacerItem(width - 2 * grid->contentsMargins().left(), 0, QSizePolicy::Minimum,
                                QSizePolicy::Minimum),
                grid->rowCount(), 0, 1, grid->columnCount());
}

void FitTitle(QMessageBox& box) {
  MinimumBoxWidth(box, TitleBarWidth(box, box.windowTitle()));
}

}  // namespace ui::qt
