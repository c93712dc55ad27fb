// The scripted user and the record of what the program showed.
#include "support/ScriptedPort.h"

#include <exception>
#include <utility>

namespace testsupport {
namespace {

bool takesText(const ui::Control& c) {
  return c.kind == ui::ControlKind::Edit || c.kind == ui::ControlKind::ComboBox;
}

bool isList(const ui::Control& c) {
  return c.kind == ui::ControlKind::ComboBox || c.kind == ui::ControlKind::DropDownList;
}

bool isButton(const ui::Control& c) {
  return c.kind == ui::ControlKind::Button || c.kind == ui::ControlKind::SpeedButton;
}

std::string shownText(const ui::Control& c) {
  if (c.kind == ui::ControlKind::DropDownList)
    return c.itemIndex >= 0 && static_cast<std::size_t>(c.itemIndex) < c.items.size()
               ? c.items[static_cast<std::size_t>(c.itemIndex)]
               : std::string();
  return c.text;
}

void flatten(const std::vector<ui::MenuItem>& items, const std::string& prefix,
             std::vector<std::string>& out) {
  for (const ui::MenuItem& item : items) {
    out.push_back(prefix + item.caption);
    if (!item.children.empty()) flatten(item.children, prefix + item.caption + " > ", out);
  }
}

const ui::MenuItem* findEntry(const std::vector<ui::MenuItem>& items, const std::string& wanted,
                              const std::string& prefix) {
  for (const ui::MenuItem& item : items) {
    if (!item.children.empty()) {
      if (const ui::MenuItem* found =
              findEntry(item.children, wanted, prefix + item.caption + " > "))
        return found;
      continue;
    }
    if (item.clickable && !item.isSeparator() &&
        (item.caption == wanted || prefix + item.caption == wanted))
      return &item;
  }
  return nullptr;
}

}  // namespace

std::string ToString(ui::ModalResult result) {
  switch (result) {
    case ui::ModalResult::OK:
      return "OK";
    case ui::ModalResult::Cancel:
      return "Cancel";
    case ui::ModalResult::Yes:
      return "Yes";
    case ui::ModalResult::No:
      return "No";
    case ui::ModalResult::None:
      break;
  }
  return "None";
}

// --- Script ------------------------------------------------------------------------------------

Script& Script::add(Action action) {
  actions_.push_back(std::move(action));
  return *this;
}

Script::Action Script::step(Kind kind, std::string target, std::string text, int index, bool ctrl) {
  Script::Action action;
  action.kind = kind;
  action.target = std::move(target);
  action.text = std::move(text);
  action.index = index;
  action.ctrl = ctrl;
  return action;
}

Script& Script::Type(std::string field, std::string text) {
  return add(step(Kind::Type, std::move(field), std::move(text)));
}

Script& Script::Choose(std::string field, int index) {
  return add(step(Kind::Choose, std::move(field), {}, index));
}

Script& Script::PickHistory(std::string caption, bool ctrl) {
  return PickMenu("HistoryBtn", std::move(caption), ctrl);
}

Script& Script::PickMenu(std::string button, std::string caption, bool ctrl) {
  return add(step(Kind::PickMenu, std::move(button), std::move(caption), -1, ctrl));
}

Script& Script::Click(std::string button, bool ctrl) {
  return add(step(Kind::Click, std::move(button), {}, -1, ctrl));
}

Script& Script::ClickOK(bool ctrl) {
  return add(step(Kind::ClickOK, {}, {}, -1, ctrl));
}
Script& Script::PressEnter() {
  return add(step(Kind::Enter));
}
Script& Script::PressCtrlEnter() {
  return add(step(Kind::Enter, {}, {}, -1, true));
}
Script& Script::PressEscape() {
  return add(step(Kind::Escape));
}
Script& Script::CloseBox() {
  return add(step(Kind::CloseBox));
}

Script& Script::Check(std::function<void(ui::Form&)> check) {
  Action action = step(Kind::Check);
  action.check = std::move(check);
  return add(std::move(action));
}

// --- ScriptedPort: the script --------------------------------------------------------------------

ScriptedPort::ScriptedPort() = default;
ScriptedPort::~ScriptedPort() = default;

Script& ScriptedPort::OnModal(std::string expectedCaption) {
  modals_.emplace_back();
  modals_.back().expectedCaption_ = std::move(expectedCaption);
  return modals_.back();
}

Script& ScriptedPort::OnMainWindow() {
  if (!mainWindow_) mainWindow_.emplace();
  return *mainWindow_;
}

ScriptedPort& ScriptedPort::AnswerYes() {
  answers_.push_back(true);
  return *this;
}

ScriptedPort& ScriptedPort::AnswerNo() {
  answers_.push_back(false);
  return *this;
}

// --- ScriptedPort: the record --------------------------------------------------------------------

std::vector<std::string> ScriptedPort::Transcript() const {
  std::vector<std::string> lines;
  for (const Event& e : events_) {
    switch (e.kind) {
      case EventKind::Message:
        lines.push_back("message: " + e.text);
        break;
      case EventKind::Question:
        lines.push_back("question: " + e.text + " -> " + e.outcome);
        break;
      case EventKind::Modal:
        lines.push_back("modal: " + e.text + " -> " + e.outcome);
        break;
      case EventKind::Menu:
        lines.push_back("menu: " + e.text);
        break;
      case EventKind::MainWindow:
        lines.push_back("main window: " + e.text);
        break;
      case EventKind::Cursor:
        break;
    }
  }
  return lines;
}

namespace {

std::vector<std::string> textsOf(const std::vector<ScriptedPort::Event>& events,
                                 ScriptedPort::EventKind kind) {
  std::vector<std::string> out;
  for (const auto& e : events)
    if (e.kind == kind) out.push_back(e.text);
  return out;
}

}  // namespace

std::vector<std::string> ScriptedPort::Messages() const {
  return textsOf(events_, EventKind::Message);
}

std::vector<std::string> ScriptedPort::Questions() const {
  return textsOf(events_, EventKind::Question);
}

std::vector<std::string> ScriptedPort::Captions() const {
  return textsOf(events_, EventKind::Modal);
}

std::vector<int> ScriptedPort::CursorChanges() const {
  std::vector<int> out;
  for (const Event& e : events_)
    if (e.kind == EventKind::Cursor) out.push_back(e.cursor);
  return out;
}

bool ScriptedPort::AllPlayed() const {
  return modals_.empty() && answers_.empty() && (!mainWindow_ || mainWindow_->actions_.empty());
}

// --- ScriptedPort: the port ----------------------------------------------------------------------

void ScriptedPort::ShowMessage(const std::string& text) {
  events_.push_back({EventKind::Message, text, {}});
  messageDetails_.emplace_back();
}

void ScriptedPort::ShowDetailedMessage(const std::string& text, const std::string& detail) {
  events_.push_back({EventKind::Message, text, {}});
  messageDetails_.push_back(detail);
}

bool ScriptedPort::AskYesNo(const std::string& text) {
  bool yes = false;
  if (answers_.empty()) {
    ranDry_ = true;
    problem("no answer scripted for the question \"" + text + "\" (answered No)");
  } else {
    yes = answers_.front();
    answers_.pop_front();
  }
  events_.push_back({EventKind::Question, text, yes ? "Yes" : "No"});
  return yes;
}

void ScriptedPort::SetScreenCursor(int cursor) {
  cursor_ = cursor;
  events_.push_back({EventKind::Cursor, {}, {}, cursor});
}

ui::Control* ScriptedPort::usable(ui::Form& form, const std::string& name,
                                  const std::string& where) {
  ui::Control* c = form.find(name);
  if (c == nullptr) {
    problem(where + ": no control named " + name);
    return nullptr;
  }
  if (!c->showing() || !c->usable()) {
    problem(where + ": " + name + (c->showing() ? " is disabled" : " is not showing"));
    return nullptr;
  }
  return c;
}

bool ScriptedPort::play(ui::Form& form, const Script::Action& action, const std::string& where) {
  using Kind = Script::Kind;
  // A key held for a step stays held until the next step, as the caller reads it after the show.
  ctrlHeld_ = action.ctrl;
  switch (action.kind) {
    case Kind::Type: {
      ui::Control* c = usable(form, action.target, where);
      if (c == nullptr) return false;
      if (!takesText(*c)) {
        problem(where + ": " + action.target + " cannot be typed into");
        return false;
      }
      c->text = action.text;
      if (c->kind == ui::ControlKind::ComboBox) {
        c->itemIndex = -1;
        for (std::size_t i = 0; i < c->items.size(); ++i)
          if (c->items[i] == c->text) c->itemIndex = static_cast<int>(i);
      }
      return true;
    }
    case Kind::Choose: {
      ui::Control* c = usable(form, action.target, where);
      if (c == nullptr) return false;
      if (!isList(*c)) {
        problem(where + ": " + action.target + " is not a list");
        return false;
      }
      if (action.index < 0 || static_cast<std::size_t>(action.index) >= c->items.size()) {
        problem(where + ": " + action.target + " has no item " + std::to_string(action.index));
        return false;
      }
      c->itemIndex = action.index;
      c->text = c->items[static_cast<std::size_t>(action.index)];
      return true;
    }
    case Kind::PickMenu: {
      ui::Control* c = usable(form, action.target, where);
      if (c == nullptr) return false;
      pick_ = PendingPick{action.text};
      form.Click(*c);
      const PendingPick pick = *pick_;
      pick_.reset();
      if (!pick.opened) {
        problem(where + ": clicking " + action.target + " opened no menu");
        return false;
      }
      if (!pick.found) {
        problem(where + ": the menu of " + action.target + " has no entry \"" + action.text + '"');
        return false;
      }
      return true;
    }
    case Kind::Click: {
      ui::Control* c = usable(form, action.target, where);
      if (c == nullptr) return false;
      if (!isButton(*c)) {
        problem(where + ": " + action.target + " is not a button");
        return false;
      }
      form.Click(*c);
      return true;
    }
    case Kind::ClickOK: {
      for (const auto& c : form.controls()) {
        if (!c->isDefault) continue;
        if (!c->showing() || !c->usable()) break;
        form.Click(*c);
        return true;
      }
      problem(where + ": no usable default button");
      return false;
    }
    case Kind::Enter:
      form.FormKeyDown(ui::Key::Enter, action.ctrl);
      return true;
    case Kind::Escape:
      form.FormKeyDown(ui::Key::Escape, false);
      return true;
    case Kind::CloseBox:
      // The window manager's close: no handler of the form runs.
      if (form.modalResult == ui::ModalResult::None) form.modalResult = ui::ModalResult::Cancel;
      return true;
    case Kind::Check:
      action.check(form);
      return true;
  }
  return false;
}

ui::ModalResult ScriptedPort::ShowModal(ui::Form& form) {
  form.modalResult = ui::ModalResult::None;
  ctrlHeld_ = false;
  form.FormShow();

  ShowRecord record;
  record.caption = form.caption;
  for (const auto& c : form.controls())
    if (takesText(*c) || isList(*c)) record.texts[c->name] = shownText(*c);
  if (form.focused != nullptr) record.focused = form.focused->name;
  const std::size_t showIndex = shows_.size();
  shows_.push_back(record);
  // Recorded before the steps run, so what the steps cause (menus, nested boxes) follows it.
  const std::size_t eventIndex = events_.size();
  events_.push_back({EventKind::Modal, form.caption, {}});
  const std::string where = "show " + std::to_string(showIndex + 1) + " \"" + form.caption + '"';

  if (form.modalResult != ui::ModalResult::None) {
    // The form closed itself while being shown: the user had no turn, so no script is used.
  } else if (modals_.empty()) {
    ranDry_ = true;
    problem(where + ": no script left (answered Cancel)");
  } else {
    // Taken off the queue first: a step may open a nested show that plays the next script.
    const Script script = std::move(modals_.front());
    modals_.pop_front();
    bool failed = false;
    if (!script.expectedCaption_.empty() && script.expectedCaption_ != form.caption) {
      problem(where + ": expected the caption \"" + script.expectedCaption_ + '"');
      failed = true;
    }
    for (std::size_t i = 0; !failed && i < script.actions_.size(); ++i) {
      if (!play(form, script.actions_[i], where)) {
        failed = true;
        break;
      }
      if (form.modalResult != ui::ModalResult::None) {
        if (i + 1 < script.actions_.size())
          problem(where + ": the form closed with " + ToString(form.modalResult) + " after step " +
                  std::to_string(i + 1) + " of " + std::to_string(script.actions_.size()));
        break;
      }
    }
    if (failed) {
      form.modalResult = ui::ModalResult::Cancel;
    } else if (form.modalResult == ui::ModalResult::None) {
      ranDry_ = true;
      problem(where + ": the script ended with the form open (answered Cancel)");
    }
  }
  if (form.modalResult == ui::ModalResult::None) form.modalResult = ui::ModalResult::Cancel;

  shows_[showIndex].result = form.modalResult;
  shows_[showIndex].ctrlAtClose = ctrlHeld_;
  events_[eventIndex].outcome = ToString(form.modalResult);
  return form.modalResult;
}

ScriptedPort& ScriptedPort::PickFromNextMenu(std::string caption) {
  pick_ = PendingPick{std::move(caption)};
  return *this;
}

const ui::MenuItem* ScriptedPort::PopupMenu(ui::Form& /*form*/,
                                            const std::vector<ui::MenuItem>& items,
                                            const ui::Control* anchorParent, int x, int y) {
  std::vector<std::string> entries;
  flatten(items, {}, entries);
  std::string joined;
  for (const std::string& e : entries) joined += (joined.empty() ? "" : " | ") + e;
  menus_.push_back(entries);
  menuPlaces_.push_back({anchorParent, x, y});
  events_.push_back({EventKind::Menu, joined, {}});
  // A menu opened by a plain click (no pick scripted) is dismissed.
  if (!pick_ || pick_->opened) return nullptr;
  pick_->opened = true;
  const ui::MenuItem* entry = findEntry(items, pick_->caption, {});
  pick_->found = entry != nullptr;
  return entry;
}

int ScriptedPort::RunMainWindow(ui::Form& mainForm) {
  events_.push_back({EventKind::MainWindow, mainForm.caption, {}});
  const std::string where = "main window \"" + mainForm.caption + '"';
  bool closed = terminated_;
  while (!closed) {
    if (!mainWindow_ || mainWindow_->actions_.empty()) {
      ranDry_ = true;
      problem(where + ": no script left (closed)");
      break;
    }
    // Taken off the list first, for the same reason as the modal scripts.
    const Script::Action action = std::move(mainWindow_->actions_.front());
    mainWindow_->actions_.erase(mainWindow_->actions_.begin());
    mainForm.modalResult = ui::ModalResult::None;
    try {
      if (!play(mainForm, action, where)) break;
    } catch (const std::exception& e) {
      // What the message loop does with an exception a handler let out: show it and go on.
      ShowMessage(e.what());
    }
    closed = terminated_ || action.kind == Script::Kind::CloseBox;
  }
  if (closed && mainWindow_ && !mainWindow_->actions_.empty())
    problem(where + ": closed with " + std::to_string(mainWindow_->actions_.size()) +
            " steps left");
  return 0;
}

}  // namespace testsupport
