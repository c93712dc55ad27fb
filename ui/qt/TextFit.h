// Room for a window's own texts: the caption in its title bar, and the texts of message boxes.
// A window may be designed narrower than its translated caption; it then grows just enough.
#pragma once

#include <QString>

class QMessageBox;
class QWidget;

namespace ui::qt {

// The width a window needs for its title bar to show `title` whole: the title in the bold
// application font, with room for the window manager's icon and buttons.
int TitleBarWidth(const QWidget& window, const QString& title);

// Makes a message box at least as wide as its title needs. Message boxes size themselves from
// their text alone, so a short text under a long title would cut the title.
void FitTitle(QMessageBox& box);

// Makes a message box at least `width` pixels wide (within its margins).
void MinimumBoxWidth(QMessageBox& box, int width);

}  // namespace ui::qt
