// TFormMain: the model of the program's main dialog, "Databaseinnlogging", from which the logon
// test is repeated or the program ended. The program sets the buttons' onClick handlers.
#pragma once

#include "ui/Form.h"

class TFormMain : public ui::Form {
 public:
  TFormMain();

  ui::Control& ButtonNewLogOn;  // "Ny innlogging": repeats the logon test
  ui::Control& ButtonExit;      // "Avslutt": ends the program
};
