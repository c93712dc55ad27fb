// Forms as models: controls are plain data and event handlers are ordinary methods, so the
// preparation, layout arithmetic, menus and focus rules run and are tested without a display.
// A front end (ui/qt, ui/console, the test driver) renders a form and feeds user actions back.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

enum class ModalResult { None, OK, Cancel, Yes, No };

enum class ControlKind {
  Panel,         // a container, possibly bevelled
  Label,         // static text
  Edit,          // one-line text field
  ComboBox,      // editable drop-down list
  DropDownList,  // drop-down list that cannot be typed into
  Button,        // push button
  SpeedButton,   // flat button with a glyph
  Image,
};

enum class Align { None, Left, Bottom };
enum class Bevel { None, Raised, Lowered, Group };  // Group: raised inner, lowered outer
enum class TextAlign { Left, Right };

// The edges of its parent a control keeps its distance to when the parent is resized.
struct Anchors {
  bool left = true;
  bool top = true;
  bool right = false;
  bool bottom = false;
};

// Keys a form's key handler sees before its controls (key preview).
enum class Key { Enter, Escape, Other };

// An image held as 32-bit ARGB pixels, row by row.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  bool empty() const { return width <= 0 || height <= 0; }
};

class Control {
 public:
  Control(std::string name, ControlKind kind, Control* parent, int left, int top, int width,
          int height);

  const std::string name;
  const ControlKind kind;
  Control* const parent;  // nullptr: placed on the form itself

  int left, top, width, height;  // in the parent's client coordinates, design pixels
  bool visible = true;           // the control's own visibility flag
  bool enabled = true;
  std::string caption;  // labels, buttons, panels
  std::string text;     // edits and combo boxes
  std::string hint;
  std::vector<std::string> items;  // list kinds
  int itemIndex = -1;
  int dropDownCount = 8;
  int itemHeight = 0;
  char passwordChar = '\0';  // shows this character for every typed one when not NUL
  Align align = Align::None;
  Anchors anchors;
  Bevel bevel = Bevel::None;
  TextAlign textAlign = TextAlign::Left;
  int tabOrder = 0;
  ModalResult modalResult = ModalResult::None;  // buttons: closes the modal show with this
  bool isDefault = false;                       // pressed by Enter
  bool isCancel = false;                        // pressed by Escape
  Picture picture;                              // images and speed-button glyphs
  std::function<void()> onClick;

  // Visible itself and through every parent.
  bool showing() const;
  // Enabled itself and through every parent.
  bool usable() const;
};

// One entry of a popup menu. A caption "-" shows as a separator line.
struct MenuItem {
  std::string caption;
  int tag = 0;
  std::vector<MenuItem> children;  // a non-empty list makes a submenu
  bool clickable = true;           // false for submenu headers

  bool isSeparator() const { return caption == "-"; }
};

class Form {
 public:
  explicit Form(std::string name);
  virtual ~Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string name;
  std::string caption;
  int clientWidth = 0;
  int clientHeight = 0;
  int designPixelsPerInch = 96;  // positions are scaled from this to the screen's resolution
  std::string fontName = "MS Sans Serif";
  int fontHeight = -11;
  bool stayOnTop = false;
  bool keyPreview = false;
  bool fixedBorder = true;
  Control* focused = nullptr;  // the control that has (or gets) the keyboard focus

  // Set by handlers or button presses to close a modal show; the front end resets it to None
  // before it shows the form.
  ModalResult modalResult = ModalResult::None;

  Control& add(std::string name, ControlKind kind, Control* parent, int left, int top, int width,
               int height);
  Control* find(std::string_view name) const;
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  std::vector<Control*> childrenOf(const Control* parent) const;

  // Events. Front ends call them; the defaults do nothing.
  virtual void FormShow() {}
  // Returns true when the key was handled (swallowed) by the form.
  virtual bool FormKeyDown(Key key, bool ctrl);
  // The user pressed a button (mouse or keyboard): runs its handler, then applies its result.
  void Click(Control& button);
  // The user picked an entry of a popup menu this form opened (see UiPort::PopupMenu).
  virtual void MenuItemChosen(const MenuItem& item);

 private:
  std::vector<std::unique_ptr<Control>> controls_;
};

}  // namespace ui
