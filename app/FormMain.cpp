// The main dialog's design: fixed border, centred, two buttons anchored right and bottom.
#include "app/FormMain.h"

namespace app {

TFormMain::TFormMain()
    : ui::Form("FormMain"),
      ButtonNewLogOn(add("ButtonNewLogOn", ui::ControlKind::Button, nullptr, 18, 19, 100, 25)),
      ButtonExit(add("ButtonExit", ui::ControlKind::Button, nullptr, 138, 19, 100, 25)) {
  caption = "Databaseinnlogging";
  clientWidth = 255;
  clientHeight = 60;
  designPixelsPerInch = 96;
  fontName = "MS Sans Serif";
  fontHeight = -11;
  fixedBorder = true;
  ButtonNewLogOn.caption = "Ny innlogging";
  ButtonNewLogOn.tabOrder = 0;
  ButtonExit.caption = "Avslutt";
  ButtonExit.tabOrder = 1;
  // Kept at the lower right; neither is a default or cancel button, so Enter presses only the
  // focused one and Escape does nothing.
  for (ui::Control* button : {&ButtonNewLogOn, &ButtonExit})
    button->anchors = ui::Anchors{false, false, true, true};
}

}  // namespace app
