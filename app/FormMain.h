// TFormMain: the program's main dialog, "Databaseinnlogging", with "Ny innlogging" and "Avslutt".
#pragma once

#include "ui/Form.h"

namespace app {

class TFormMain : public ui::Form {
 public:
  TFormMain();

  ui::Control& ButtonNewLogOn;
  ui::Control& ButtonExit;
};

}  // namespace app
