// The plain-data form model and its default keyboard behaviour.
#include "ui/Form.h"

namespace ui {

Control::Control(std::string name_, ControlKind kind_, Control* parent_, int left_, int top_,
                 int width_, int height_)
    : name(std::move(name_)),
      kind(kind_),
      parent(parent_),
      left(left_),
      top(top_),
      width(width_),
      height(height_) {}

bool Control::showing() const {
  for (const Control* c = this; c != nullptr; c = c->parent)
    if (!c->visible) return false;
  return true;
}

bool Control::usable() const {
  for (const Control* c = this; c != nullptr; c = c->parent)
    if (!c->enabled) return false;
  return true;
}

Form::Form(std::string name_) : name(std::move(name_)) {}

Control& Form::add(std::string controlName, ControlKind kind, Control* parent, int left, int top,
                   int width, int height) {
  controls_.push_back(
      std::make_unique<Control>(std::move(controlName), kind, parent, left, top, width, height));
  return *controls_.back();
}

Control* Form::find(std::string_view controlName) const {
  for (const auto& c : controls_)
    if (c->name == controlName) return c.get();
  return nullptr;
}

std::vector<Control*> Form::childrenOf(const Control* parent) const {
  std::vector<Control*> out;
  for (const auto& c : controls_)
    if (c->parent == parent) out.push_back(c.get());
  return out;
}

bool Form::FormKeyDown(Key key, bool /*ctrl*/) {
  // Enter presses the focused button, else the default button; Escape presses the cancel
  // button, as a dialog does.
  if (key == Key::Enter && focused != nullptr && focused->kind == ControlKind::Button &&
      focused->showing() && focused->usable()) {
    Click(*focused);
    return true;
  }
  for (const auto& c : controls_) {
    if (!c->showing() || !c->usable()) continue;
    if ((key == Key::Enter && c->isDefault) || (key == Key::Escape && c->isCancel)) {
      Click(*c);
      return true;
    }
  }
  return false;
}

void Form::Click(Control& button) {
  if (button.onClick) button.onClick();
  if (button.modalResult != ModalResult::None) modalResult = button.modalResult;
}

void Form::MenuItemChosen(const MenuItem& /*item*/) {}

}  // namespace ui
