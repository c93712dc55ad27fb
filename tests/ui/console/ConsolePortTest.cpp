// The terminal front end on scripted input: prompts, choices, menus, confirmation, cancel, end of
// input, message boxes, questions and the main window.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <sstream>
#include <stdexcept>
#include <streambuf>

#include "ui/Language.h"
#include "ui/console/ConsolePort.h"

namespace {

using testing::HasSubstr;
using testing::Not;
using ui::ModalResult;
using ui::console::ConsolePort;

constexpr const char* kSecret = "Zq9-secret";

// A dialog with one of each kind of field, a cancel handler that counts, and a speed button whose
// menu entry fills the name and closes the dialog unless Ctrl is held.
class AccountForm : public ui::Form {
 public:
  AccountForm() : ui::Form("AccountForm") {
    caption = "&Account";
    OK.caption = "OK";
    OK.isDefault = true;
    OK.modalResult = ModalResult::OK;
    Cancel.caption = "Avbryt";
    Cancel.isCancel = true;
    Cancel.modalResult = ModalResult::Cancel;
    Cancel.onClick = [this] { ++cancelClicks; };
    Buttons.tabOrder = 0;
    Box.tabOrder = 1;
    NameLabel.caption = "&Name";
    SecretLabel.caption = "Secret";
    CityLabel.caption = "City";
    KindLabel.caption = "Kind";
    Secret.passwordChar = '*';
    Secret.tabOrder = 0;
    Name.tabOrder = 1;
    City.tabOrder = 2;
    City.items = {"Oslo", "Bergen"};
    Kind.tabOrder = 3;
    Kind.items = {"Normal", "SYSDBA", "SYSOPER"};
    Kind.itemIndex = 0;
    Note.tabOrder = 4;
    Frozen.enabled = false;
    Frozen.text = "frozen-value";
    Gone.visible = false;
  }

  // Adds the speed button with a menu like the logon history's.
  void addMenuButton() {
    ui::Control& more = add("MoreBtn", ui::ControlKind::SpeedButton, &Box, 260, 8, 20, 24);
    more.hint = "Recent names";
    more.onClick = [this] {
      const std::vector<ui::MenuItem> menu = {
          {"alpha", 0, {}, true},
          {"-", 1, {}, true},
          {"team", 0, {{"beta", 2, {}, true}, {"gamma", 3, {}, true}}, false}};
      const ui::MenuItem* chosen = ui::port().PopupMenu(*this, menu, &Box, 260, 32);
      ++menuShows;
      if (chosen == nullptr) return;
      Name.text = chosen->caption;
      ctrlInHandler = ui::port().ControlKeyDown();
      if (!ctrlInHandler) modalResult = ModalResult::OK;
    };
  }

  ui::Control& Buttons = add("Buttons", ui::ControlKind::Panel, nullptr, 0, 200, 300, 40);
  ui::Control& OK = add("OKBtn", ui::ControlKind::Button, &Buttons, 8, 6, 80, 25);
  ui::Control& Cancel = add("CancelBtn", ui::ControlKind::Button, &Buttons, 96, 6, 80, 25);
  ui::Control& Box = add("Box", ui::ControlKind::Panel, nullptr, 8, 8, 300, 190);
  ui::Control& NameLabel = add("NameLabel", ui::ControlKind::Label, &Box, 8, 12, 80, 16);
  ui::Control& Name = add("NameEdit", ui::ControlKind::Edit, &Box, 100, 8, 150, 24);
  ui::Control& SecretLabel = add("SecretLabel", ui::ControlKind::Label, &Box, 8, 40, 80, 16);
  ui::Control& Secret = add("SecretEdit", ui::ControlKind::Edit, &Box, 100, 36, 150, 24);
  ui::Control& CityLabel = add("CityLabel", ui::ControlKind::Label, &Box, 8, 68, 80, 16);
  ui::Control& City = add("CityCombo", ui::ControlKind::ComboBox, &Box, 100, 64, 150, 24);
  ui::Control& KindLabel = add("KindLabel", ui::ControlKind::Label, &Box, 8, 96, 80, 16);
  ui::Control& Kind = add("KindList", ui::ControlKind::DropDownList, &Box, 100, 92, 150, 24);
  ui::Control& Note = add("NoteEdit", ui::ControlKind::Edit, &Box, 100, 120, 150, 24);
  ui::Control& Frozen = add("FrozenEdit", ui::ControlKind::Edit, &Box, 100, 148, 150, 24);
  ui::Control& Gone = add("GoneEdit", ui::ControlKind::Edit, &Box, 100, 148, 150, 24);
  int cancelClicks = 0;
  int menuShows = 0;
  bool ctrlInHandler = false;
};

// The console port on a string of input, installed as the port in force.
struct Console {
  explicit Console(std::string input) : in(std::move(input)), port(in, out), installed(port) {}
  std::string output() const { return out.str(); }
  std::string rest() {
    std::string left;
    std::getline(in, left, '\0');
    return left;
  }

  std::istringstream in;
  std::ostringstream out;
  ConsolePort port;
  ui::ScopedPort installed;
};

// Where each text first appears; -1 when it does not.
std::vector<long> positions(const std::string& text, const std::vector<std::string>& parts) {
  std::vector<long> out;
  for (const auto& p : parts) {
    const auto at = text.find(p);
    out.push_back(at == std::string::npos ? -1 : static_cast<long>(at));
  }
  return out;
}

TEST(ConsolePort, EnterKeepsEveryValueAndPromptsInTabOrder) {
  AccountForm form;
  form.Name.text = "scott";
  form.Secret.text = kSecret;
  form.City.text = "Oslo";
  Console console("\n\n\n\n\n\n");

  EXPECT_EQ(console.port.ShowModal(form), ModalResult::OK);
  EXPECT_EQ(form.Name.text, "scott");
  EXPECT_EQ(form.Secret.text, kSecret);
  EXPECT_EQ(form.City.text, "Oslo");
  EXPECT_EQ(form.Kind.itemIndex, 0);

  const std::string out = console.output();
  const std::vector<long> at =
      positions(out, {"== Account ==", "Secret [********]: ", "Name [scott]: ", "City [Oslo]: ",
                      "Kind [Normal]: ", "NoteEdit: ", "Enter = OK"});
  for (std::size_t i = 0; i < at.size(); ++i) {
    EXPECT_GE(at[i], 0) << i;
    if (i > 0) {
      EXPECT_LT(at[i - 1], at[i]) << i;
    }
  }
  EXPECT_THAT(out, Not(HasSubstr(kSecret)));
  EXPECT_THAT(out, Not(HasSubstr("frozen-value")));
  EXPECT_THAT(out, Not(HasSubstr("GoneEdit")));
  EXPECT_THAT(out, HasSubstr("c = Avbryt"));
  EXPECT_EQ(console.rest(), "");
}

TEST(ConsolePort, TypedValuesChoicesAndLiteralText) {
  AccountForm form;
  form.Name.text = "old";
  // Secret, Name ("\" empties it), City by number, Kind by its text, Note with a literal "h".
  Console console(std::string(kSecret) + "\n\\\n2\nsysdba\n\\h\n\n");

  EXPECT_EQ(console.port.ShowModal(form), ModalResult::OK);
  EXPECT_EQ(form.Secret.text, kSecret);
  EXPECT_EQ(form.Name.text, "");
  EXPECT_EQ(form.City.text, "Bergen");
  EXPECT_EQ(form.City.itemIndex, 1);
  EXPECT_EQ(form.Kind.itemIndex, 1);
  EXPECT_EQ(form.Kind.text, "SYSDBA");
  EXPECT_EQ(form.Note.text, "h");
  // Typed without a terminal: nothing of the password reaches the output.
  EXPECT_THAT(console.output(), Not(HasSubstr(kSecret)));
  EXPECT_THAT(console.output(), HasSubstr("  2) Bergen\n"));
  EXPECT_THAT(console.output(), HasSubstr("  3) SYSOPER\n"));
}

TEST(ConsolePort, ChoicesOutOfRangeAskAgain) {
  AccountForm form;
  // City: 7 is no entry, then free text; Kind: 9 and "admin" are refused, then 3.
  Console console("\n\n7\nTrondheim\n9\nadmin\n3\n\n\n");

  EXPECT_EQ(console.port.ShowModal(form), ModalResult::OK);
  EXPECT_EQ(form.City.text, "Trondheim");
  EXPECT_EQ(form.City.itemIndex, -1);
  EXPECT_EQ(form.Kind.itemIndex, 2);
  EXPECT_THAT(console.output(), HasSubstr("No entry 7"));
  EXPECT_THAT(console.output(), HasSubstr("Choose 1 to 3, or type an entry as it is listed."));
}

TEST(ConsolePort, CancelAndEndOfInputNeverLoop) {
  struct Case {
    const char* name;
    const char* input;
    int cancelClicks;  // the cancel button: Ctrl+D and the end of input act as Escape
  };
  const Case cases[] = {
      {"c at the confirmation", "\n\n\n\n\nc\n", 1},
      {"Escape at the confirmation", "\n\n\n\n\n\x1b\n", 1},
      {"Escape at a field", "\n\x1b\n", 1},
      {"Escape at a choice", "\n\n\n\x1b\n", 1},
      {"no input at all", "", 1},
      {"end of input at a field", "\n\n", 1},
      {"end of input at a choice asked again", "\n\n\n9\n", 1},
      {"end of input at the confirmation", "\n\n\n\n\n", 1},
      {"end of input after a refused confirmation", "\n\n\n\n\nwhat\n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AccountForm form;
    Console console(c.input);
    EXPECT_EQ(console.port.ShowModal(form), ModalResult::Cancel);
    EXPECT_EQ(form.cancelClicks, c.cancelClicks);
  }
}

TEST(ConsolePort, ConfirmationWithCtrlHoldsTheKeyUntilTheNextInput) {
  AccountForm form;
  Console console("\n\n\n\n\n!\ny\n");
  EXPECT_EQ(console.port.ShowModal(form), ModalResult::OK);
  // The caller reads the key right after the show, as the logon loop does.
  EXPECT_TRUE(console.port.ControlKeyDown());
  EXPECT_TRUE(console.port.AskYesNo("Again?"));
  EXPECT_FALSE(console.port.ControlKeyDown());

  AccountForm plain;
  Console enter("\n\n\n\n\n\n");
  EXPECT_EQ(enter.port.ShowModal(plain), ModalResult::OK);
  EXPECT_FALSE(enter.port.ControlKeyDown());
}

TEST(ConsolePort, EditAgainAndOtherButtons) {
  AccountForm form;
  int applied = 0;
  ui::Control& apply = form.add("ApplyBtn", ui::ControlKind::Button, &form.Buttons, 184, 6, 80, 25);
  apply.caption = "&Apply";
  apply.onClick = [&] {
    ++applied;
    form.Note.text = "applied";
  };
  // Through the fields, "e" goes through them again (Name typed), then the Apply button, whose
  // change shows as the Note's default, then OK.
  Console console("\n\n\n\n\ne\n\nnew\n\n\n\n1\n\n\n\n\n\n\n");

  EXPECT_EQ(console.port.ShowModal(form), ModalResult::OK);
  EXPECT_EQ(form.Name.text, "new");
  EXPECT_EQ(applied, 1);
  EXPECT_EQ(form.Note.text, "applied");
  EXPECT_THAT(console.output(), HasSubstr("  1) Apply\n"));
  EXPECT_THAT(console.output(), HasSubstr("NoteEdit [applied]: "));
  EXPECT_EQ(console.rest(), "");
}

TEST(ConsolePort, FormWithoutButtonsStillConfirmsAndCancels) {
  ui::Form bare("Bare");
  bare.caption = "Bare";
  ui::Control& edit = bare.add("Edit", ui::ControlKind::Edit, nullptr, 0, 0, 10, 10);
  {
    Console console("x\n\n");
    EXPECT_EQ(console.port.ShowModal(bare), ModalResult::OK);
    EXPECT_EQ(edit.text, "x");
  }
  {
    Console console("\nc\n");
    EXPECT_EQ(console.port.ShowModal(bare), ModalResult::Cancel);
  }
}

TEST(ConsolePort, FormThatClosesWhileShownReadsNothing) {
  struct SelfClosing : AccountForm {
    void FormShow() override { modalResult = ModalResult::OK; }
  } form;
  Console console("typed\n");
  EXPECT_EQ(console.port.ShowModal(form), ModalResult::OK);
  EXPECT_EQ(console.rest(), "typed\n");
}

TEST(ConsolePort, MenuEntryFromAFieldPromptClosesTheDialog) {
  AccountForm form;
  form.addMenuButton();
  Console console("\nh\n3\nleft over\n");

  EXPECT_EQ(console.port.ShowModal(form), ModalResult::OK);
  EXPECT_EQ(form.Name.text, "gamma");
  EXPECT_FALSE(form.ctrlInHandler);
  // Closed at once: the rest of the input is untouched.
  EXPECT_EQ(console.rest(), "left over\n");
  const std::string out = console.output();
  EXPECT_THAT(out, HasSubstr("; h at any prompt: Recent names;"));
  EXPECT_THAT(out,
              HasSubstr("Recent names:\n  1) alpha\n  team:\n      2) beta\n      3) gamma\n"));
  EXPECT_THAT(out, Not(HasSubstr(") -")));
}

TEST(ConsolePort, MenuEntryWithCtrlOnlyFillsAndTheFieldsComeAgain) {
  AccountForm form;
  form.addMenuButton();
  // At the confirmation: h, entry 2 with Ctrl; then the fields again with the new name kept.
  Console console("\n\n\n\n\nh\n!2\n\n\n\n\n\n\n");

  EXPECT_EQ(console.port.ShowModal(form), ModalResult::OK);
  EXPECT_EQ(form.Name.text, "beta");
  EXPECT_TRUE(form.ctrlInHandler);
  EXPECT_FALSE(console.port.ControlKeyDown());  // confirmed with a plain Enter
  EXPECT_THAT(console.output(), HasSubstr("Name [beta]: "));
}

TEST(ConsolePort, MenuDismissedOrRefused) {
  {
    // Enter dismisses; a wrong number asks again; the end of input dismisses and then cancels.
    AccountForm form;
    form.addMenuButton();
    Console console("h\n\nh\n5\n");
    EXPECT_EQ(console.port.ShowModal(form), ModalResult::Cancel);
    EXPECT_EQ(form.menuShows, 2);
    EXPECT_EQ(form.Name.text, "");
    EXPECT_EQ(form.cancelClicks, 1);
  }
  {
    // Without a menu button, "h" is only text.
    AccountForm form;
    Console console("\nh\n\n\n\n\n");
    EXPECT_EQ(console.port.ShowModal(form), ModalResult::OK);
    EXPECT_EQ(form.Name.text, "h");
  }
  {
    Console console("");
    const std::vector<ui::MenuItem> onlySeparators = {{"-", 0, {}, true}};
    ui::Form form("F");
    EXPECT_EQ(console.port.PopupMenu(form, onlySeparators, nullptr, 0, 0), nullptr);
    EXPECT_THAT(console.output(), HasSubstr("(nothing to choose)"));
  }
}

TEST(ConsolePort, MessagesCarryTheApplicationTitle) {
  Console console("");
  console.port.SetApplicationTitle("dblogon");
  console.port.ShowMessage("ORA-28002: the password will expire\r\nin 7 days");
  EXPECT_EQ(console.output(), "\ndblogon: ORA-28002: the password will expire\nin 7 days\n");
}

TEST(ConsolePort, YesNoAcceptsNorwegianAndEnglishAnswers) {
  struct Case {
    const char* input;
    bool answer;
    const char* rest;
  };
  const Case cases[] = {
      {"y\nmore", true, "more"}, {"J\n", true, ""},      {"ja\n", true, ""},
      {"Yes\n", true, ""},       {"n\n", false, ""},     {"Nei\n", false, ""},
      {"no\n", false, ""},       {"\x1b\n", false, ""},  {"\nmaybe\nj\n", true, ""},
      {"", false, ""},           {"maybe\n", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    Console console(c.input);
    EXPECT_EQ(console.port.AskYesNo("Change the password now?"), c.answer);
    EXPECT_EQ(console.rest(), c.rest);
    EXPECT_THAT(console.output(), HasSubstr("Change the password now?\n[y/n] "));
  }
}

TEST(ConsolePort, BusyCursorIsKeptButShowsNothing) {
  Console console("");
  {
    ui::BusyCursor busy(ui::crHourGlass);
    EXPECT_EQ(console.port.ScreenCursor(), ui::crHourGlass);
  }
  EXPECT_EQ(console.port.ScreenCursor(), ui::crDefault);
  EXPECT_EQ(console.output(), "");
}

class MainDialog : public ui::Form {
 public:
  MainDialog() : ui::Form("MainDialog") {
    caption = "Databaseinnlogging";
    Again.caption = "Ny innlogging";
    Quit.caption = "Avslutt";
    Quit.tabOrder = 1;
    Quit.onClick = [] { ui::port().Terminate(); };
  }
  ui::Control& Again = add("AgainBtn", ui::ControlKind::Button, nullptr, 18, 19, 100, 25);
  ui::Control& Quit = add("QuitBtn", ui::ControlKind::Button, nullptr, 138, 19, 100, 25);
};

TEST(ConsolePort, MainWindowRunsButtonsUntilTerminate) {
  MainDialog main;
  int again = 0;
  main.Again.onClick = [&] {
    if (++again == 2) throw std::runtime_error("Initialization error");
  };
  Console console("1\n7\n1\n2\n1\n");

  EXPECT_EQ(console.port.RunMainWindow(main), 0);
  EXPECT_EQ(again, 2);
  EXPECT_EQ(console.rest(), "1\n");
  const std::string out = console.output();
  EXPECT_THAT(out, HasSubstr("== Databaseinnlogging ==\n  1) Ny innlogging\n  2) Avslutt\n"));
  // A handler's exception is shown and the window goes on.
  EXPECT_THAT(out, HasSubstr("dblogon: Initialization error\n"));
}

TEST(ConsolePort, MainWindowClosesAtEndOfInputOrQ) {
  for (const char* input : {"", "1\n", "q\n1\n"}) {
    SCOPED_TRACE(input);
    MainDialog main;
    int again = 0;
    main.Again.onClick = [&] { ++again; };
    Console console(input);
    EXPECT_EQ(console.port.RunMainWindow(main), 0);
    EXPECT_EQ(again, std::string(input) == "1\n" ? 1 : 0);
  }
}

// The echo of a POSIX terminal, through a pseudo-terminal. A Windows console cannot be made
// without a window of its own, so there these cases have no counterpart in this program.
#ifndef _WIN32
// Serves lines one at a time and notes, each time it is asked for more, whether the terminal
// echoes at that moment.
class EchoProbe : public std::streambuf {
 public:
  EchoProbe(int fd, std::vector<std::string> lines) : fd_(fd), lines_(std::move(lines)) {}
  std::vector<bool> echoAtRead;

 protected:
  int_type underflow() override {
    if (next_ >= lines_.size()) return traits_type::eof();
    termios state{};
    ::tcgetattr(fd_, &state);
    echoAtRead.push_back((state.c_lflag & ECHO) != 0);
    current_ = lines_[next_++] + "\n";
    setg(current_.data(), current_.data(), current_.data() + current_.size());
    return traits_type::to_int_type(current_[0]);
  }

 private:
  int fd_;
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
  std::string current_;
};

// A pseudo-terminal pair, closed at the end of the test whatever happens.
struct PseudoTerminal {
  int master = -1;
  int slave = -1;
  bool open() {
    master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return false;
    slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    return slave >= 0;
  }
  bool echoes() const {
    termios state{};
    return ::tcgetattr(slave, &state) == 0 && (state.c_lflag & ECHO) != 0;
  }
  ~PseudoTerminal() {
    if (slave >= 0) ::close(slave);
    if (master >= 0) ::close(master);
  }
};

TEST(ConsolePort, PasswordIsReadWithEchoOffOnATerminal) {
  PseudoTerminal terminal;
  if (!terminal.open()) GTEST_SKIP() << "no pseudo-terminal available";
  const int slave = terminal.slave;

  AccountForm form;
  EchoProbe probe(slave, {"pw", "name", "", "", "", ""});
  std::istream in(&probe);
  std::ostringstream out;
  ConsolePort port(in, out, slave);
  EXPECT_EQ(port.ShowModal(form), ModalResult::OK);
  EXPECT_EQ(form.Secret.text, "pw");
  EXPECT_EQ(form.Name.text, "name");
  // The password (first in tab order) without echo, everything else with it.
  EXPECT_EQ(probe.echoAtRead, (std::vector<bool>{false, true, true, true, true, true}));
  EXPECT_TRUE(terminal.echoes());
  // Once the password is read, Ctrl+C has its usual action again.
  struct sigaction interrupt {};
  ASSERT_EQ(::sigaction(SIGINT, nullptr, &interrupt), 0);
  EXPECT_EQ(interrupt.sa_handler, SIG_DFL);
}

// Ctrl+C at the password prompt ends the program by the signal as usual, but not before the
// terminal echoes again: otherwise the user's shell is left silent.
class InterruptAtRead : public std::streambuf {
 protected:
  int_type underflow() override {
    ::raise(SIGINT);
    return traits_type::eof();
  }
};

TEST(ConsolePort, InterruptAtPasswordPromptGivesEchoBack) {
  PseudoTerminal terminal;
  if (!terminal.open()) GTEST_SKIP() << "no pseudo-terminal available";
  const int slave = terminal.slave;
  ASSERT_TRUE(terminal.echoes());

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    AccountForm form;
    InterruptAtRead interrupt;
    std::istream in(&interrupt);
    std::ostringstream out;
    ConsolePort port(in, out, slave);
    port.ShowModal(form);
    ::_exit(0);  // not reached when the signal ends the child
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "child exited with " << status;
  EXPECT_EQ(WTERMSIG(status), SIGINT);
  EXPECT_TRUE(terminal.echoes());
}

#endif  // _WIN32

// Input as a terminal gives it: Ctrl+D (here "^D") ends the read in progress only, and the
// next read goes on with what is typed after it.
class TerminalInput : public std::streambuf {
 public:
  explicit TerminalInput(std::vector<std::string> lines) : lines_(std::move(lines)) {}

 protected:
  int_type underflow() override {
    if (next_ >= lines_.size()) return traits_type::eof();
    if (lines_[next_] == "^D") {
      ++next_;
      return traits_type::eof();
    }
    current_ = lines_[next_++] + "\n";
    setg(current_.data(), current_.data(), current_.data() + current_.size());
    return traits_type::to_int_type(current_[0]);
  }

 private:
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
  std::string current_;
};

TEST(ConsolePort, CtrlDCancelsTheDialogAndEndsTheProgramOnlyFromTheMainMenu) {
  MainDialog main;
  AccountForm form;
  std::vector<ModalResult> results;
  main.Again.onClick = [&] { results.push_back(ui::port().ShowModal(form)); };
  // Main menu: 1 opens the dialog, Ctrl+D at its first prompt cancels it; again, a name, then
  // Ctrl+D at the confirmation cancels too; Ctrl+D at the main menu ends.
  TerminalInput input({"1", "^D", "1", "", "Kari", "", "", "", "^D", "^D", "1"});
  std::istream in(&input);
  std::ostringstream out;
  ConsolePort port(in, out);
  const ui::ScopedPort installed(port);
  EXPECT_EQ(port.RunMainWindow(main), 0);
  EXPECT_THAT(results, testing::ElementsAre(ModalResult::Cancel, ModalResult::Cancel));
  EXPECT_EQ(form.cancelClicks, 2);  // as Escape: through the dialog's cancel button
  std::string left;
  EXPECT_TRUE(std::getline(in, left));
  EXPECT_EQ(left, "1");  // nothing was read after the main menu's Ctrl+D
}

TEST(ConsolePort, ALongListIsShownOnRequestAndFilteredByItsStart) {
  AccountForm form;
  form.City.items.clear();
  for (int i = 1; i <= 10000; ++i) form.City.items.push_back("DB" + std::to_string(i));
  // Secret, Name; City: the list on request, filtered, a start nothing matches, a number.
  Console console("\n\nDB999?\nXY?\n?\n9999\n\n\n\n");
  EXPECT_EQ(console.port.ShowModal(form), ModalResult::OK);
  EXPECT_EQ(form.City.text, "DB9999");
  const std::string out = console.output();
  EXPECT_THAT(out, HasSubstr("10000 entries: type the start of one and ? to list those"));
  EXPECT_THAT(out, HasSubstr("  999) DB999\n  9990) DB9990\n  9991) DB9991\n"));
  EXPECT_THAT(out, HasSubstr("  9999) DB9999\nCity: "));
  EXPECT_THAT(out, HasSubstr("No entry begins with \"XY\"."));
  // All of them once, on request: the "?" alone.
  EXPECT_THAT(out, HasSubstr("  1) DB1\n  2) DB2\n"));
  // Until the whole list is asked for, the screen holds a few lines, not ten thousand.
  const std::string beforeAll = out.substr(0, out.find("  1) DB1\n"));
  EXPECT_LT(std::count(beforeAll.begin(), beforeAll.end(), '\n'), 40) << beforeAll;
}

TEST(ConsolePort, AShortListIsShownOnceAndOnRequestAfterThat) {
  AccountForm form;
  Console console("\n\n\n\n\ne\n\n\n?\n\n\n\n\n");
  EXPECT_EQ(console.port.ShowModal(form), ModalResult::OK);
  const std::string out = console.output();
  const std::string list = "  1) Oslo\n  2) Bergen\n";
  const std::size_t first = out.find(list);
  ASSERT_NE(first, std::string::npos) << out;
  const std::size_t request = out.find("(? lists the entries", first);
  ASSERT_NE(request, std::string::npos) << out;
  // The edit round does not list again until "?" asks for it, and then just once.
  const std::size_t second = out.find(list, first + 1);
  EXPECT_GT(second, request) << out;
  EXPECT_EQ(out.find(list, second + 1), std::string::npos) << out;
}

TEST(ConsolePort, InvalidAnswersSayWhatIsValidInTheTerminalsWords) {
  AccountForm form;
  form.addMenuButton();
  MainDialog main;
  main.Again.onClick = [&] { ui::port().ShowModal(form); };
  // Main menu 7; dialog: fields kept, confirmation x, h opens the menu, 9 is no entry, Enter
  // none; c cancels; q ends.
  Console console("7\n1\n\n\n\n\n\nx\nh\n9\n\nc\nq\n");
  EXPECT_EQ(console.port.RunMainWindow(main), 0);
  const std::string out = console.output();
  EXPECT_THAT(out, HasSubstr("Choose a number from 1 to 2, or q to quit.\n"));
  EXPECT_THAT(out, HasSubstr("Answer with Enter, !, e, h or c.\n"));
  EXPECT_THAT(out, HasSubstr("Choose a number from 1 to 3, or Enter for none.\n"));
  EXPECT_THAT(out, HasSubstr("! = OK without recording it in the history"));
  EXPECT_THAT(out, HasSubstr("  q) quit\n"));
  // Keys are typed here, not held, and there is no window to close.
  EXPECT_THAT(out, Not(HasSubstr("Ctrl")));
  EXPECT_THAT(out, Not(HasSubstr("window")));
}

TEST(ConsolePort, HelperLinesSpeakTheUsersLanguage) {
  struct Case {
    ui::Language language;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {ui::Language::Bokmal,
       {"(Enter beholder verdien i hakeparentes", "(et tall velger en oppføring",
        "Velg 1 til 3, eller skriv", "uten å lagre det i historikken, e = endre", "Svar med Enter",
        "  q) avslutt\nVelg: "}},
      {ui::Language::Nynorsk,
       {"(Enter held på verdien i hakeparentes", "(eit tal vel ei oppføring",
        "Vel 1 til 3, eller skriv", "utan å lagre det i historikken, e = endre", "Svar med Enter",
        "  q) avslutt\nVel: "}},
  };
  for (const Case& c : cases) {
    ui::SetLanguage(c.language);
    AccountForm form;
    MainDialog main;
    main.Again.onClick = [&] { ui::port().ShowModal(form); };
    Console console("1\n\n\n\n9\n\n\nx\nc\nq\n");
    console.port.RunMainWindow(main);
    ui::SetLanguage(ui::Language::English);
    for (const std::string& line : c.lines) EXPECT_THAT(console.output(), HasSubstr(line));
  }
}

}  // namespace
