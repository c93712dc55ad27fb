// How a text front end walks a form: which controls take input, in which order, under which
// label, and which buttons it can offer besides confirming and cancelling.
#pragma once

#include <string>
#include <vector>

#include "ui/Form.h"

namespace ui::console {

// A control the user types into or chooses from, with the text that names it.
struct InputField {
  Control* control;
  std::string label;
};

// Controls that are showing and enabled, sorted by tab order as the focus would travel: a
// parent's tab order first, then the child's own; equal tab orders keep the order of creation.
std::vector<Control*> InTabOrder(const Form& form, const std::vector<Control*>& controls);

// The showing, enabled edits, combo boxes and drop-down lists in tab order, each with its label.
std::vector<InputField> InputFields(const Form& form);

// The caption of the label that sits left of the control on the same row (the nearest one whose
// vertical extent overlaps the control's), else the control's name.
std::string LabelFor(const Form& form, const Control& control);

// Buttons a user could press other than the default and the cancel button: showing, enabled,
// and doing something (a click handler or a modal result). In tab order.
std::vector<Control*> ExtraButtons(const Form& form);

// A caption without its keyboard accelerator marks ("&Save" -> "Save", "&&" -> "&").
std::string PlainCaption(const std::string& caption);

}  // namespace ui::console
