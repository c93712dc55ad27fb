// Layout, preparation and event handlers of the logon dialog's model.
#include "oracle/logon/LogOnForm.h"

#include "oracle/logon/LogonHistory.h"
#include "oracle/logon/LogonTexts.h"
#include "oracle/session/ConnectString.h"
#include "oracle/session/OracleSession.h"
#include "ui/UiPort.h"

namespace oracle {
namespace {

using ui::ControlKind;

constexpr int kGroupBoxMargin = 8;  // the designed left position of GroupBox
constexpr int kGroupBoxBevel = 2;   // border width inside GroupBox

// The three-dot glyph of the history button: 10 x 8 pixels, dots on the bottom rows.
ui::Picture threeDotGlyph() {
  ui::Picture glyph{10, 8, std::vector<std::uint32_t>(80, 0x00000000)};
  for (int dot : {1, 4, 7})
    for (int y : {5, 6})
      for (int x : {dot, dot + 1}) glyph.pixels[static_cast<std::size_t>(y * 10 + x)] = 0xFF000000;
  return glyph;
}

int itemIndexFor(TConnectAsOption option) {
  return option == caSYSDBA ? 1 : option == caSYSOPER ? 2 : 0;
}

}  // namespace

TLogOnForm::TLogOnForm()
    : ui::Form("LogOnForm"),
      ButtonPanel(add("ButtonPanel", ControlKind::Panel, nullptr, 0, 168, 358, 47)),
      OKBtn(add("OKBtn", ControlKind::Button, &ButtonPanel, 8, 6, 97, 33)),
      CancelBtn(add("CancelBtn", ControlKind::Button, &ButtonPanel, 116, 6, 97, 33)),
      GroupBox(add("GroupBox", ControlKind::Panel, nullptr, 8, 8, 343, 153)),
      Label1(add("Label1", ControlKind::Label, &GroupBox, 8, 24, 115, 16)),
      HistoryBtn(add("HistoryBtn", ControlKind::SpeedButton, &GroupBox, 316, 20, 20, 25)),
      Label2(add("Label2", ControlKind::Label, &GroupBox, 8, 56, 115, 16)),
      UsernameEdit(add("UsernameEdit", ControlKind::Edit, &GroupBox, 128, 20, 185, 24)),
      PasswordEdit(add("PasswordEdit", ControlKind::Edit, &GroupBox, 128, 52, 185, 24)),
      DBPanel(add("DBPanel", ControlKind::Panel, &GroupBox, 2, 84, 339, 32)),
      Label3(add("Label3", ControlKind::Label, &DBPanel, 8, 4, 113, 16)),
      DatabaseEdit(add("DatabaseEdit", ControlKind::Edit, &DBPanel, 126, 0, 185, 24)),
      AliasList(add("AliasList", ControlKind::ComboBox, &DBPanel, 224, 0, 89, 24)),
      CAPanel(add("CAPanel", ControlKind::Panel, &GroupBox, 2, 116, 339, 35)),
      Label4(add("Label4", ControlKind::Label, &CAPanel, 8, 4, 113, 16)),
      ConnectAsList(add("ConnectAsList", ControlKind::DropDownList, &CAPanel, 126, 0, 95, 24)),
      LogonImage(add("LogonImage", ControlKind::Image, nullptr, 0, 0, 29, 168)) {
  caption = "Oracle Logon";
  clientWidth = 358;
  clientHeight = 215;
  designPixelsPerInch = 120;
  fontHeight = -13;
  stayOnTop = true;
  keyPreview = true;

  ButtonPanel.align = ui::Align::Bottom;
  ButtonPanel.tabOrder = 0;
  OKBtn.caption = "OK";
  OKBtn.isDefault = true;
  OKBtn.modalResult = ui::ModalResult::OK;
  OKBtn.tabOrder = 0;
  CancelBtn.caption = "Cancel";
  CancelBtn.isCancel = true;
  CancelBtn.modalResult = ui::ModalResult::Cancel;
  CancelBtn.tabOrder = 1;
  GroupBox.bevel = ui::Bevel::Group;
  GroupBox.tabOrder = 1;
  for (ui::Control* label : {&Label1, &Label2, &Label3, &Label4})
    label->textAlign = ui::TextAlign::Right;
  Label1.caption = "Username";
  Label2.caption = "Password";
  Label3.caption = "Database";
  Label4.caption = "Connect as";
  HistoryBtn.picture = threeDotGlyph();
  HistoryBtn.visible = false;
  HistoryBtn.onClick = [this] { HistoryBtnClick(); };
  UsernameEdit.tabOrder = 0;
  PasswordEdit.tabOrder = 1;
  PasswordEdit.passwordChar = '*';
  DBPanel.align = ui::Align::Bottom;
  DBPanel.tabOrder = 2;
  DatabaseEdit.tabOrder = 0;
  AliasList.itemHeight = 16;
  AliasList.visible = false;
  AliasList.tabOrder = 1;
  CAPanel.align = ui::Align::Bottom;
  CAPanel.tabOrder = 3;
  ConnectAsList.items = {"Normal", "SYSDBA", "SYSOPER"};
  ConnectAsList.itemIndex = 0;
  ConnectAsList.itemHeight = 16;
  LogonImage.align = ui::Align::Left;
}

void TLogOnForm::shortenBy(const ui::Control& panel) {
  GroupBox.height -= panel.height;
  clientHeight -= panel.height;
  // Bottom-aligned children follow the edges they are aligned to.
  ButtonPanel.top = clientHeight - ButtonPanel.height;
  LogonImage.height = clientHeight - ButtonPanel.height;
  int bottom = GroupBox.height - kGroupBoxBevel;
  for (ui::Control* p : {&CAPanel, &DBPanel}) {
    if (p == &panel || !p->visible) continue;
    p->top = bottom - p->height;
    bottom = p->top;
  }
}

void TLogOnForm::SetLogonPicture(const ui::Picture& picture) {
  LogonImage.picture = picture;
  const int w = picture.width;
  if (w > 0) {
    const int m = kGroupBoxMargin;
    LogonImage.width = w + 4 * m;
    clientWidth += w + 3 * m;
    ButtonPanel.width = clientWidth;
    GroupBox.left = w + 4 * m;
    OKBtn.left = w + 4 * m;
    CancelBtn.left = OKBtn.left + OKBtn.width + m;
    LogonImage.visible = true;
  } else {
    LogonImage.visible = false;
  }
}

void TLogOnForm::PrepareLogon(const TOracleSession& session, int aliasDropDownCount,
                              const ui::Picture& picture, TLogonOptions options,
                              const AliasSource& aliases, const OCI8Check& oci8Available) {
  SetLogonPicture(picture);
  const TLogonTexts& texts = LogonTexts();
  OKBtn.caption = texts.OKText;
  CancelBtn.caption = texts.CancelText;
  caption = texts.LogonCaptionText;
  Label1.caption = texts.UsernameText;
  Label2.caption = texts.PasswordText;
  Label3.caption = texts.DatabaseText;
  Label4.caption = texts.ConnectAsLabelText;

  UsernameEdit.text = session.LogonUsername();
  PasswordEdit.text = session.LogonPassword();

  if (options.contains(ldDatabaseList)) {
    AliasList.dropDownCount = aliasDropDownCount;
    AliasList.visible = true;
    AliasList.left = DatabaseEdit.left;
    AliasList.width = DatabaseEdit.width;
    if (aliases) {
      if (auto names = aliases())
        AliasList.items.insert(AliasList.items.end(), names->begin(), names->end());
    }
    DatabaseEdit.visible = false;
    AliasList.text = session.LogonDatabase();
  } else {
    DatabaseEdit.text = session.LogonDatabase();
  }

  ConnectAsList.itemIndex = itemIndexFor(session.ConnectAs());

  if (options.contains(ldLogonHistory)) {
    HistoryBtn.visible = true;
    HistoryBtn.enabled = LogonHistory().Count() > 0;
    HistoryBtn.hint = texts.LogonHistoryText;
  }

  if (!options.contains(ldDatabase)) {
    shortenBy(DBPanel);
    DBPanel.visible = false;
  }

  const bool offerConnectAs = options.contains(ldConnectAs) && oci8Available && oci8Available() &&
                              !session.Preferences().UseOCI7();
  if (!offerConnectAs) {
    shortenBy(CAPanel);
    CAPanel.visible = false;
  }

  if (options.contains(ldPasswordOnly)) {
    if (HistoryBtn.visible) HistoryBtn.enabled = false;
    UsernameEdit.enabled = UsernameEdit.text.empty();
    Label1.enabled = UsernameEdit.enabled;
    if (DatabaseEdit.visible) {
      DatabaseEdit.enabled = false;
      Label3.enabled = false;
    }
    if (AliasList.visible) AliasList.enabled = false;
    ConnectAsList.enabled = false;
    Label4.enabled = false;
  }
}

void TLogOnForm::PreparePasswordChange(const std::string& dialogCaption,
                                       const ui::Picture& picture) {
  SetLogonPicture(picture);
  const TLogonTexts& texts = LogonTexts();
  OKBtn.caption = texts.OKText;
  CancelBtn.caption = texts.CancelText;
  caption = dialogCaption;
  Label1.caption = texts.NewPasswordText;
  Label2.caption = texts.VerificationText;
  UsernameEdit.passwordChar = '*';
  UsernameEdit.text.clear();
  PasswordEdit.text.clear();
  // Both rows go at once: the group box and the form lose their heights together.
  const int removed = DBPanel.height + CAPanel.height;
  GroupBox.height -= removed;
  clientHeight -= removed;
  ButtonPanel.top = clientHeight - ButtonPanel.height;
  LogonImage.height = clientHeight - ButtonPanel.height;
  DBPanel.visible = false;
  CAPanel.visible = false;
}

std::string TLogOnForm::DatabaseText(TLogonOptions options) const {
  return options.contains(ldDatabaseList) ? AliasList.text : DatabaseEdit.text;
}

void TLogOnForm::SetDatabaseText(TLogonOptions options, const std::string& text) {
  if (options.contains(ldDatabaseList))
    AliasList.text = text;
  else
    DatabaseEdit.text = text;
}

void TLogOnForm::FormShow() {
  focused = UsernameEdit.enabled && UsernameEdit.text.empty() ? &UsernameEdit : &PasswordEdit;
}

bool TLogOnForm::FormKeyDown(ui::Key key, bool ctrl) {
  if (key == ui::Key::Enter && ctrl) {
    modalResult = ui::ModalResult::OK;
    return true;
  }
  return ui::Form::FormKeyDown(key, ctrl);
}

std::vector<ui::MenuItem> TLogOnForm::BuildHistoryMenu() const {
  // Built from a copy, so a menu action that changes the history cannot disturb the walk.
  const std::vector<THistoryItem> entries = LogonHistory().Items();
  std::vector<ui::MenuItem> menu;
  ui::MenuItem* group = nullptr;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const THistoryItem& entry = entries[i];
    const std::string text = HistoryItemText(entry);
    if (IsHistoryGroup(entry)) {
      if (text.empty()) {
        group = nullptr;
      } else {
        menu.push_back({text, 0, {}, false});
        group = &menu.back();
      }
      continue;
    }
    if (menu.empty() && text == "-") continue;  // a separator line never leads the menu
    ui::MenuItem item{text, static_cast<int>(i), {}, true};
    if (group != nullptr)
      group->children.push_back(std::move(item));
    else
      menu.push_back(std::move(item));
  }
  return menu;
}

void TLogOnForm::HistoryBtnClick() {
  const std::vector<ui::MenuItem> menu = BuildHistoryMenu();
  const ui::MenuItem* chosen = ui::port().PopupMenu(*this, menu, &GroupBox, HistoryBtn.left,
                                                    HistoryBtn.top + HistoryBtn.height);
  if (chosen != nullptr && chosen->clickable) HistoryClick(chosen->tag);
}

void TLogOnForm::MenuItemChosen(const ui::MenuItem& item) {
  if (item.clickable) HistoryClick(item.tag);
}

void TLogOnForm::HistoryClick(int tag) {
  const THistoryItems& history = LogonHistory();
  if (tag < 0 || static_cast<std::size_t>(tag) >= history.Count()) return;
  const THistoryItem entry = history[static_cast<std::size_t>(tag)];
  UsernameEdit.text = entry.Username;
  PasswordEdit.text = history.WithPassword ? entry.Password : std::string();
  if (DatabaseEdit.visible) DatabaseEdit.text = entry.Database;
  if (AliasList.visible) AliasList.text = entry.Database;
  if (ConnectAsList.visible) ConnectAsList.itemIndex = itemIndexFor(ConnectAsFromText(entry.ConnectAs));
  if (!UsernameEdit.text.empty() && !PasswordEdit.text.empty() && !ui::port().ControlKeyDown())
    modalResult = ui::ModalResult::OK;
}

}  // namespace oracle
