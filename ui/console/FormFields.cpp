// Tab order, label look-up by geometry and the buttons a text front end offers.
#include "ui/console/internal/FormFields.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace ui::console {
namespace {

struct Rect {
  int left, top, right, bottom;
};

// Positions are relative to the parent's client area; a text front end ignores bevel widths.
Rect formRect(const Control& control) {
  int left = control.left;
  int top = control.top;
  for (const Control* p = control.parent; p != nullptr; p = p->parent) {
    left += p->left;
    top += p->top;
  }
  return {left, top, left + control.width, top + control.height};
}

// The path of (tab order, creation index) from the form down to the control.
using TabKey = std::vector<std::pair<int, std::size_t>>;

TabKey tabKey(const Form& form, const Control& control) {
  const auto& all = form.controls();
  TabKey key;
  for (const Control* c = &control; c != nullptr; c = c->parent) {
    std::size_t index = 0;
    while (index < all.size() && all[index].get() != c) ++index;
    key.emplace_back(c->tabOrder, index);
  }
  std::reverse(key.begin(), key.end());
  return key;
}

bool takesInput(const Control& c) {
  return c.kind == ControlKind::Edit || c.kind == ControlKind::ComboBox ||
         c.kind == ControlKind::DropDownList;
}

}  // namespace

std::vector<Control*> InTabOrder(const Form& form, const std::vector<Control*>& controls) {
  std::vector<std::pair<TabKey, Control*>> keyed;
  for (Control* c : controls)
    if (c->showing() && c->usable()) keyed.emplace_back(tabKey(form, *c), c);
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<Control*> out;
  for (auto& [key, c] : keyed) out.push_back(c);
  return out;
}

std::vector<InputField> InputFields(const Form& form) {
  std::vector<Control*> candidates;
  for (const auto& c : form.controls())
    if (takesInput(*c)) candidates.push_back(c.get());
  std::vector<InputField> fields;
  for (Control* c : InTabOrder(form, candidates)) fields.push_back({c, LabelFor(form, *c)});
  return fields;
}

std::string LabelFor(const Form& form, const Control& control) {
  const Rect target = formRect(control);
  const Control* best = nullptr;
  int bestRight = 0;
  for (const auto& c : form.controls()) {
    if (c->kind != ControlKind::Label || !c->showing()) continue;
    const Rect r = formRect(*c);
    const bool sameRow = r.top < target.bottom && target.top < r.bottom;
    // A label may reach a pixel or two into its field; what counts is that it starts left of it.
    const bool leftOf = r.left < target.left && r.right <= target.left + 4;
    if (!sameRow || !leftOf) continue;
    if (best == nullptr || r.right > bestRight) {
      best = c.get();
      bestRight = r.right;
    }
  }
  if (best != nullptr) {
    std::string text = PlainCaption(best->caption);
    if (!text.empty()) return text;
  }
  return control.name;
}

std::vector<Control*> ExtraButtons(const Form& form) {
  std::vector<Control*> candidates;
  for (const auto& c : form.controls()) {
    const bool button = c->kind == ControlKind::Button || c->kind == ControlKind::SpeedButton;
    const bool doesSomething = c->onClick || c->modalResult != ModalResult::None;
    if (button && doesSomething && !c->isDefault && !c->isCancel) candidates.push_back(c.get());
  }
  return InTabOrder(form, candidates);
}

std::string PlainCaption(const std::string& caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

}  // namespace ui::console
