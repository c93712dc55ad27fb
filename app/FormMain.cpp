// The main dialog's layout: a fixed dialog of 255 x 60 with two buttons kept at its lower right.
#include "app/FormMain.h"

namespace {

void placeAtLowerRight(ui::Control& button) {
  button.anchors = ui::Anchors{false, false, true, true};
}

}  // namespace

TFormMain::TFormMain()
    : ui::Form("FormMain"),
      ButtonNewLogOn(add("ButtonNewLogOn", ui::ControlKind::Button, nullptr, 18, 19, 100, 25)),
      ButtonExit(add("ButtonExit", ui::ControlKind::Button, nullptr, 138, 19, 100, 25)) {
  caption = "Databaseinnlogging";
  clientWidth = 255;
  clientHeight = 60;
  designPixelsPerInch = 96;
  fontHeight = -11;
  fixedBorder = true;

  ButtonNewLogOn.caption = "Ny innlogging";
  ButtonNewLogOn.tabOrder = 0;
  placeAtLowerRight(ButtonNewLogOn);
  ButtonExit.caption = "Avslutt";
  ButtonExit.tabOrder = 1;
  placeAtLowerRight(ButtonExit);
  // Neither button is the default or the cancel button: Enter presses the focused one only,
  // and Escape does nothing.
}
