// Which controls a text front end prompts for, in which order, and under which label.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ui/console/internal/FormFields.h"

namespace {

using testing::ElementsAre;
using ui::ControlKind;

std::vector<std::string> namesOf(const std::vector<ui::console::InputField>& fields) {
  std::vector<std::string> out;
  for (const auto& f : fields) out.push_back(f.control->name + "=" + f.label);
  return out;
}

TEST(FormFields, TabOrderFollowsParentsFirstAndSkipsWhatCannotBeUsed) {
  ui::Form form("F");
  // Created in an order unlike the tab order; panels carry their own tab orders.
  ui::Control& lower = form.add("Lower", ControlKind::Panel, nullptr, 0, 100, 300, 50);
  ui::Control& upper = form.add("Upper", ControlKind::Panel, nullptr, 0, 0, 300, 100);
  lower.tabOrder = 1;
  upper.tabOrder = 0;
  form.add("C", ControlKind::Edit, &lower, 100, 0, 100, 24).tabOrder = 0;
  form.add("B", ControlKind::ComboBox, &upper, 100, 40, 100, 24).tabOrder = 1;
  form.add("A", ControlKind::Edit, &upper, 100, 0, 100, 24).tabOrder = 0;
  form.add("Tie", ControlKind::DropDownList, &upper, 100, 70, 100, 24).tabOrder = 1;
  form.add("Off", ControlKind::Edit, &upper, 100, 70, 100, 24).enabled = false;
  form.add("Hidden", ControlKind::Edit, &upper, 100, 70, 100, 24).visible = false;
  form.add("Button", ControlKind::Button, &upper, 100, 70, 100, 24);
  ui::Control& gone = form.add("GonePanel", ControlKind::Panel, nullptr, 0, 200, 300, 50);
  form.add("InGone", ControlKind::Edit, &gone, 0, 0, 10, 10);
  gone.visible = false;
  ui::Control& dead = form.add("DeadPanel", ControlKind::Panel, nullptr, 0, 250, 300, 50);
  form.add("InDead", ControlKind::Edit, &dead, 0, 0, 10, 10);
  dead.enabled = false;

  // Equal tab orders keep the order of creation.
  EXPECT_THAT(namesOf(ui::console::InputFields(form)), ElementsAre("A=A", "B=B", "Tie=Tie", "C=C"));
}

TEST(FormFields, LabelIsTheNearestShowingLabelLeftOfTheFieldOnItsRow) {
  ui::Form form("F");
  ui::Control& box = form.add("Box", ControlKind::Panel, nullptr, 8, 8, 340, 150);
  ui::Control& row = form.add("Row", ControlKind::Panel, &box, 2, 80, 330, 32);
  // On the form: field at x 136..321, y 88..112 (inside Row inside Box).
  ui::Control& field = form.add("DbEdit", ControlKind::Edit, &row, 126, 0, 185, 24);
  form.add("Far", ControlKind::Label, &box, 0, 84, 60, 16).caption = "Far";
  form.add("Near", ControlKind::Label, &row, 8, 4, 113, 16).caption = "&Database";
  form.add("Above", ControlKind::Label, &row, 126, -20, 100, 16).caption = "Above";
  form.add("Right", ControlKind::Label, &row, 320, 4, 30, 16).caption = "Right";
  ui::Control& hidden = form.add("Hidden", ControlKind::Label, &row, 60, 4, 60, 16);
  hidden.caption = "Hidden";
  hidden.visible = false;
  EXPECT_EQ(ui::console::LabelFor(form, field), "Database");

  // Another row's label does not count, and without a label the name stands in.
  ui::Control& lone = form.add("LoneEdit", ControlKind::Edit, &box, 128, 20, 185, 24);
  EXPECT_EQ(ui::console::LabelFor(form, lone), "LoneEdit");
}

TEST(FormFields, PlainCaptionDropsAcceleratorMarks) {
  EXPECT_EQ(ui::console::PlainCaption("&Username"), "Username");
  EXPECT_EQ(ui::console::PlainCaption("Save && &Close"), "Save & Close");
  EXPECT_EQ(ui::console::PlainCaption("Trailing&"), "Trailing");
}

TEST(FormFields, ExtraButtonsLeaveOutDefaultCancelAndIdleButtons) {
  ui::Form form("F");
  ui::Control& ok = form.add("OK", ControlKind::Button, nullptr, 0, 0, 10, 10);
  ok.isDefault = true;
  ok.modalResult = ui::ModalResult::OK;
  ui::Control& cancel = form.add("Cancel", ControlKind::Button, nullptr, 0, 0, 10, 10);
  cancel.isCancel = true;
  cancel.modalResult = ui::ModalResult::Cancel;
  form.add("Idle", ControlKind::Button, nullptr, 0, 0, 10, 10);
  ui::Control& apply = form.add("Apply", ControlKind::Button, nullptr, 0, 0, 10, 10);
  apply.onClick = [] {};
  apply.tabOrder = 2;
  ui::Control& more = form.add("More", ControlKind::SpeedButton, nullptr, 0, 0, 10, 10);
  more.onClick = [] {};
  more.tabOrder = 1;
  ui::Control& retry = form.add("Retry", ControlKind::Button, nullptr, 0, 0, 10, 10);
  retry.modalResult = ui::ModalResult::Yes;
  retry.tabOrder = 3;
  std::vector<std::string> names;
  for (ui::Control* c : ui::console::ExtraButtons(form)) names.push_back(c->name);
  EXPECT_THAT(names, ElementsAre("More", "Apply", "Retry"));
}

}  // namespace
