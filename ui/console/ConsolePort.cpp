// Prompts, numbered choices and text message boxes on a pair of streams.
#include "ui/console/ConsolePort.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <exception>
#include <iostream>

#include "ui/console/internal/ConsoleTexts.h"
#include "ui/console/internal/EchoOff.h"
#include "ui/console/internal/FormFields.h"

namespace ui::console {
namespace {

constexpr char kEscape = '\x1b';
// What a password's value shows as; a fixed width, so the length is not given away either.
constexpr const char* kHiddenValue = "********";
// Longer lists of entries are shown on request only, filtered by the start the user types.
constexpr int kListedAtOnce = 20;

// A positive number written with digits only, or 0 when the text is anything else.
int numberIn(const std::string& text) {
  if (text.empty() || text.size() > 6) return 0;
  int value = 0;
  for (char ch : text) {
    if (std::isdigit(static_cast<unsigned char>(ch)) == 0) return 0;
    value = value * 10 + (ch - '0');
  }
  return value;
}

std::string lowerCase(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return text;
}

bool isEscape(const std::string& line) {
  return line.size() == 1 && line[0] == kEscape;
}

// Message texts may carry Windows line breaks.
std::string withPlainLineBreaks(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

// A glyph-only button is named by its hint.
std::string captionOf(const Control& control) {
  std::string text = PlainCaption(control.caption);
  if (text.empty()) text = control.hint;
  return text.empty() ? control.name : text;
}

const Control* findButton(const Form& form, bool wantDefault) {
  for (const auto& c : form.controls())
    if ((wantDefault ? c->isDefault : c->isCancel) && c->showing() && c->usable()) return c.get();
  return nullptr;
}

// The form's reaction to a key; when the form has no button for it, the key still does what a
// text dialog promises (Enter confirms, Escape cancels), as the close box would.
void pressKey(Form& form, Key key, bool ctrl) {
  const bool handled = form.FormKeyDown(key, ctrl);
  if (!handled && form.modalResult == ModalResult::None)
    form.modalResult = key == Key::Enter ? ModalResult::OK : ModalResult::Cancel;
}

}  // namespace

ConsolePort::ConsolePort()
    : ConsolePort(std::cin, std::cout, ::isatty(STDIN_FILENO) != 0 ? STDIN_FILENO : -1) {}

ConsolePort::ConsolePort(std::istream& in, std::ostream& out, int echoFd)
    : in_(in), out_(out), echoFd_(echoFd) {}

bool ConsolePort::readLine(std::string& line, bool secret) {
  ctrlHeld_ = false;
  out_.flush();
  bool ok = false;
  {
    EchoOff quiet(secret ? echoFd_ : -1);
    ok = static_cast<bool>(std::getline(in_, line));
  }
  if (!ok) {
    // The end of input ends the line the prompt started. On a terminal, Ctrl+D ends only this
    // prompt: the stream is made readable again for the prompts that follow.
    out_ << '\n';
    in_.clear();
    // The C library keeps the end of input of its own stream, under the standard input.
    if (&in_ == &std::cin) std::clearerr(stdin);
    return false;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

void ConsolePort::ShowMessage(const std::string& text) {
  out_ << '\n' << ApplicationTitle() << ": " << withPlainLineBreaks(text) << '\n';
  out_.flush();
}

bool ConsolePort::AskYesNo(const std::string& text) {
  out_ << '\n' << ApplicationTitle() << ": " << withPlainLineBreaks(text) << '\n';
  for (;;) {
    out_ << Say(texts::kYesNo);
    std::string line;
    if (!readLine(line)) return false;
    const std::string answer = lowerCase(line);
    if (answer == "j" || answer == "ja" || answer == "y" || answer == "yes") return true;
    if (answer == "n" || answer == "nei" || answer == "no" || isEscape(line)) return false;
    out_ << Say(texts::kYesNoInvalid) << '\n';
  }
}

Control* ConsolePort::actionButton(const Form& form) const {
  for (Control* c : ExtraButtons(form))
    if (c->kind == ControlKind::SpeedButton && c->onClick) return c;
  return nullptr;
}

ConsolePort::Step ConsolePort::pressAction(Form& form) {
  Control* button = actionButton(form);
  if (button == nullptr) return Step::Again;
  menuTitle_ = captionOf(*button);
  form.Click(*button);
  menuTitle_.clear();
  return form.modalResult != ModalResult::None ? Step::Closed : Step::Again;
}

ModalResult ConsolePort::ShowModal(Form& form) {
  form.modalResult = ModalResult::None;
  ctrlHeld_ = false;
  menuTitle_.clear();
  form.FormShow();
  out_ << "\n== " << PlainCaption(form.caption) << " ==\n";
  out_ << Say(texts::kKeepsValue);
  if (const Control* action = actionButton(form))
    out_ << Say(texts::kActionKey, {captionOf(*action)});
  out_ << ")\n";

  // A form that closes itself while being shown never waits for input.
  if (form.modalResult != ModalResult::None) return form.modalResult;

  for (;;) {
    Step step = Step::Next;
    for (const InputField& field : InputFields(form)) {
      // An earlier answer's handler may have hidden or disabled this one.
      if (!field.control->showing() || !field.control->usable()) continue;
      step = field.control->kind == ControlKind::DropDownList
                 ? promptChoice(form, *field.control, field.label)
                 : promptField(form, *field.control, field.label);
      if (step != Step::Next) break;
    }
    if (step == Step::Next) step = confirm(form);
    if (step == Step::Closed) {
      // End of input is the close box.
      if (form.modalResult == ModalResult::None) form.modalResult = ModalResult::Cancel;
      return form.modalResult;
    }
    out_ << '\n';
  }
}

ConsolePort::Step ConsolePort::promptField(Form& form, Control& control, const std::string& label) {
  const bool secret = control.passwordChar != '\0';
  const bool combo = control.kind == ControlKind::ComboBox;
  const int count = static_cast<int>(control.items.size());
  if (combo && count > 0) {
    // The entries are listed the first time only, and a long list not even then.
    if (listed_.insert(control.name).second) {
      out_ << label << ":\n";
      if (count <= kListedAtOnce)
        listEntries(control, "");
      else
        out_ << "  " << Say(texts::kManyEntries, {std::to_string(count)}) << '\n';
      out_ << "  " << Say(texts::kComboHint) << '\n';
    } else {
      out_ << "  " << Say(texts::kListOnRequest) << '\n';
    }
  }
  for (;;) {
    out_ << label;
    if (!control.text.empty()) out_ << " [" << (secret ? kHiddenValue : control.text) << ']';
    out_ << ": ";
    std::string line;
    if (!readLine(line, secret)) return endOfInput(form);
    if (line.empty()) return Step::Next;
    if (isEscape(line)) {
      pressKey(form, Key::Escape, false);
      return Step::Closed;
    }
    if (line == "h" && actionButton(form) != nullptr) return pressAction(form);
    if (combo && count > 0 && line.back() == '?' && line[0] != '\\') {
      const std::string start = line.substr(0, line.size() - 1);
      if (!listEntries(control, start)) out_ << Say(texts::kNoneStartsSo, {start}) << '\n';
      continue;
    }
    if (line[0] == '\\') {
      control.text = line.substr(1);
    } else if (const int n = combo ? numberIn(line) : 0; n > 0) {
      if (n > count) {
        out_ << Say(texts::kNoEntry, {std::to_string(n), std::to_string(count), line}) << '\n';
        continue;
      }
      control.text = control.items[static_cast<std::size_t>(n - 1)];
    } else {
      control.text = line;
    }
    if (combo) {
      const auto found = std::find(control.items.begin(), control.items.end(), control.text);
      control.itemIndex =
          found == control.items.end() ? -1 : static_cast<int>(found - control.items.begin());
    }
    return Step::Next;
  }
}

ConsolePort::Step ConsolePort::promptChoice(Form& form, Control& control,
                                            const std::string& label) {
  const int count = static_cast<int>(control.items.size());
  out_ << label << ":\n";
  for (int i = 0; i < count; ++i)
    out_ << "  " << (i + 1) << ") " << control.items[static_cast<std::size_t>(i)] << '\n';
  for (;;) {
    out_ << label;
    if (control.itemIndex >= 0 && control.itemIndex < count)
      out_ << " [" << control.items[static_cast<std::size_t>(control.itemIndex)] << ']';
    out_ << ": ";
    std::string line;
    if (!readLine(line)) return endOfInput(form);
    if (line.empty()) return Step::Next;
    if (isEscape(line)) {
      pressKey(form, Key::Escape, false);
      return Step::Closed;
    }
    if (line == "h" && actionButton(form) != nullptr) return pressAction(form);
    const std::string wanted = line[0] == '\\' ? line.substr(1) : line;
    int chosen = numberIn(wanted) - 1;
    for (int i = 0; chosen < 0 && i < count; ++i)
      if (lowerCase(control.items[static_cast<std::size_t>(i)]) == lowerCase(wanted)) chosen = i;
    if (chosen < 0 || chosen >= count) {
      out_ << Say(texts::kChooseRange, {std::to_string(count)}) << '\n';
      continue;
    }
    control.itemIndex = chosen;
    control.text = control.items[static_cast<std::size_t>(chosen)];
    return Step::Next;
  }
}

ConsolePort::Step ConsolePort::confirm(Form& form) {
  const Control* okButton = findButton(form, true);
  const Control* cancelButton = findButton(form, false);
  const Control* action = actionButton(form);
  // The history button is offered as "h" only.
  std::vector<Control*> extras = ExtraButtons(form);
  std::erase(extras, action);
  for (std::size_t i = 0; i < extras.size(); ++i)
    out_ << "  " << (i + 1) << ") " << captionOf(*extras[i]) << '\n';
  for (;;) {
    out_ << Say(texts::kConfirm, {okButton != nullptr ? captionOf(*okButton) : std::string("OK")});
    if (action != nullptr) out_ << ", h = " << captionOf(*action);
    out_ << ", c = " << (cancelButton != nullptr ? captionOf(*cancelButton) : std::string("Cancel"))
         << ": ";
    std::string line;
    if (!readLine(line)) return endOfInput(form);
    if (line.empty()) {
      pressKey(form, Key::Enter, false);
    } else if (line == "!") {
      ctrlHeld_ = true;
      pressKey(form, Key::Enter, true);
    } else if (line == "c" || isEscape(line)) {
      pressKey(form, Key::Escape, false);
    } else if (line == "e") {
      return Step::Again;
    } else if (line == "h" && action != nullptr) {
      return pressAction(form);
    } else if (const int n = numberIn(line); n > 0 && n <= static_cast<int>(extras.size())) {
      form.Click(*extras[static_cast<std::size_t>(n - 1)]);
      if (form.modalResult == ModalResult::None) return Step::Again;
    } else {
      const std::string extra =
          extras.empty() ? std::string() : Say(texts::kOrExtra, {std::to_string(extras.size())});
      out_ << Say(texts::kConfirmInvalid, {extra + (action != nullptr ? ", h" : "")}) << '\n';
      continue;
    }
    // A form whose key handler swallowed the key without closing stays open.
    return form.modalResult != ModalResult::None ? Step::Closed : Step::Again;
  }
}

ConsolePort::Step ConsolePort::endOfInput(Form& form) {
  pressKey(form, Key::Escape, false);
  return Step::Closed;
}

bool ConsolePort::listEntries(const Control& control, const std::string& start) {
  const std::string wanted = lowerCase(start);
  bool any = false;
  for (std::size_t i = 0; i < control.items.size(); ++i) {
    if (lowerCase(control.items[i].substr(0, wanted.size())) != wanted) continue;
    out_ << "  " << (i + 1) << ") " << control.items[i] << '\n';
    any = true;
  }
  return any;
}

void ConsolePort::listMenu(const std::vector<MenuItem>& items, int depth,
                           std::vector<const MenuItem*>& numbered) {
  const std::string indent(static_cast<std::size_t>(2 + 4 * depth), ' ');
  for (const MenuItem& item : items) {
    if (item.isSeparator()) continue;
    if (!item.children.empty()) {
      out_ << indent << item.caption << ":\n";
      listMenu(item.children, depth + 1, numbered);
    } else if (item.clickable) {
      numbered.push_back(&item);
      out_ << indent << numbered.size() << ") " << item.caption << '\n';
    } else {
      out_ << indent << "   " << item.caption << '\n';
    }
  }
}

const MenuItem* ConsolePort::PopupMenu(Form& /*form*/, const std::vector<MenuItem>& items,
                                       const Control* /*anchorParent*/, int /*x*/, int /*y*/) {
  out_ << (menuTitle_.empty() ? Say(texts::kMenuTitle) : menuTitle_) << ":\n";
  std::vector<const MenuItem*> numbered;
  listMenu(items, 0, numbered);
  if (numbered.empty()) {
    out_ << Say(texts::kNothingToChoose) << '\n';
    return nullptr;
  }
  const std::size_t count = numbered.size();
  for (;;) {
    out_ << Say(texts::kMenuChoose, {std::to_string(count)});
    std::string line;
    if (!readLine(line) || line.empty() || line == "c" || isEscape(line)) return nullptr;
    const bool ctrl = line[0] == '!';
    const int n = numberIn(ctrl ? line.substr(1) : line);
    if (n < 1 || static_cast<std::size_t>(n) > count) {
      out_ << Say(texts::kMenuInvalid, {std::to_string(count)}) << '\n';
      continue;
    }
    // Held until the next input, so the chosen entry's handler sees it.
    ctrlHeld_ = ctrl;
    return numbered[static_cast<std::size_t>(n - 1)];
  }
}

int ConsolePort::RunMainWindow(Form& mainForm) {
  while (!terminated_) {
    std::vector<Control*> candidates;
    for (const auto& c : mainForm.controls())
      if (c->kind == ControlKind::Button || c->kind == ControlKind::SpeedButton)
        candidates.push_back(c.get());
    const std::vector<Control*> buttons = InTabOrder(mainForm, candidates);
    out_ << "\n== " << PlainCaption(mainForm.caption) << " ==\n";
    for (std::size_t i = 0; i < buttons.size(); ++i)
      out_ << "  " << (i + 1) << ") " << captionOf(*buttons[i]) << '\n';
    out_ << Say(texts::kQuit) << '\n' << Say(texts::kChoose);
    std::string line;
    if (!readLine(line) || line == "q" || isEscape(line)) break;
    const int n = numberIn(line);
    if (n < 1 || static_cast<std::size_t>(n) > buttons.size()) {
      out_ << Say(texts::kMainInvalid, {std::to_string(buttons.size())}) << '\n';
      continue;
    }
    try {
      mainForm.Click(*buttons[static_cast<std::size_t>(n - 1)]);
    } catch (const std::exception& e) {
      // What the message loop does with an exception a handler let out: show it and go on.
      ShowMessage(e.what());
    }
  }
  return 0;
}

}  // namespace ui::console
