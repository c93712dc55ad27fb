// dblogon --batch: the test of one UserId= as the dialog would run it, or a list run when
// several targets or any of the list switches are given.
#pragma once

#include <string>
#include <vector>

#include "app/BatchOptions.h"

namespace app {

// The values of the UserId= arguments among the layer's arguments, in order.
std::vector<std::string> UserIdValues(const std::vector<std::string>& passOn);

// Runs the batch mode of the program and returns its exit status. A single UserId= without a
// password gets one from --password-stdin, DBLOGON_PASSWORD or the terminal, given to the layer
// in its copy of the arguments only.
int RunBatchMode(const std::vector<std::string>& passOn, const BatchOptions& options);

}  // namespace app
