// TLogOnForm: the model of the logon dialog's window, also reused by the password change dialog.
// Controls are plain data (ui::Form); preparation, layout arithmetic, the history menu and the
// keyboard and focus rules are methods here, so they run without a display.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "oracle/logon/LogonOptions.h"
#include "ui/Form.h"

namespace oracle {

class TOracleSession;

class TLogOnForm : public ui::Form {
 public:
  TLogOnForm();

  // Controls, in the form's declaration order.
  ui::Control& ButtonPanel;
  ui::Control& OKBtn;
  ui::Control& CancelBtn;
  ui::Control& GroupBox;
  ui::Control& Label1;
  ui::Control& HistoryBtn;
  ui::Control& Label2;
  ui::Control& UsernameEdit;
  ui::Control& PasswordEdit;
  ui::Control& DBPanel;
  ui::Control& Label3;
  ui::Control& DatabaseEdit;
  ui::Control& AliasList;
  ui::Control& CAPanel;
  ui::Control& Label4;
  ui::Control& ConnectAsList;
  ui::Control& LogonImage;

  // Where the net service names come from (the client binding's alias list); nullopt when the
  // list cannot be had. Set before PrepareLogon; tests set their own.
  using AliasSource = std::function<std::optional<std::vector<std::string>>()>;
  // Whether the client library is loaded and offers the OCI8 interface.
  using OCI8Check = std::function<bool()>;

  // Prepares the form for a logon from the session's parameters and the component's options.
  void PrepareLogon(const TOracleSession& session, int aliasDropDownCount,
                    const ui::Picture& picture, TLogonOptions options,
                    const AliasSource& aliases, const OCI8Check& oci8Available);
  // Prepares the form as the password change dialog: two hidden-text fields, no database or
  // connect-as rows.
  void PreparePasswordChange(const std::string& caption, const ui::Picture& picture);

  void SetLogonPicture(const ui::Picture& picture);

  // The database text read back: the alias list's text when it is in use, else the edit's.
  std::string DatabaseText(TLogonOptions options) const;
  void SetDatabaseText(TLogonOptions options, const std::string& text);

  // Events.
  void FormShow() override;
  bool FormKeyDown(ui::Key key, bool ctrl) override;
  void HistoryBtnClick();
  void HistoryClick(int tag);
  void MenuItemChosen(const ui::MenuItem& item) override;

  // The menu the history button shows, built from the process-wide history.
  std::vector<ui::MenuItem> BuildHistoryMenu() const;

 private:
  void shortenBy(const ui::Control& panel);
};

}  // namespace oracle
