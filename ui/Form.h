#pragma once
// The form model: a form owns its controls, menus and timers by name, each with the properties the
// programs use and the events a user raises. Positions and sizes are in twips, relative to the
// control's container (a frame, a picture box or a tab strip's page) or to the form's client area.
// A toolkit realizes the form (real windows, or the test toolkit's record of them); the model tells
// the realization of every change through FormPeer, and the realization writes back what the user
// changed (a dragged column, a new window size, a chosen item) before it raises the event.
//
// The rules a user relies on are the model's, so that every toolkit keeps them alike: Enter presses
// the default button, Esc the cancel button, Tab walks the tab order, a form with key preview sees
// keys before its controls, option buttons of one container form one group, a tab strip's change
// knows the tab it left, an up-down box steps the text box it is attached to, and hiding or
// disabling a container hides or disables what it holds.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ui {

class Form;
class FormToolkit;
struct ImageList;

enum class ControlKind {
  Button,
  Label,         // static text; a link label is clickable; a bordered one has a sunken edge
  TextBox,       // single- or multi-line entry; a password box shows "*" for each character
  CheckBox,
  OptionButton,  // one of a group: the option buttons of one container
  ComboBox,      // a drop-down list; value is the chosen index
  Image,         // a picture from an image list or a resource, not a container
  Picture,       // a picture box: a container with a background colour and an optional picture
  Frame,         // a container with an etched border and a caption (none when the caption is empty)
  Shape,         // a filled rectangle drawn behind the controls of its container
  ListView,
  StatusBar,
  TabStrip,  // tabs captioned by its list texts; value is the chosen tab; its pages hold controls
  UpDown,    // arrows that step its value between the range's ends and write it into its buddy
};

// What changed in a control or form, so that a realization updates only that.
enum class Change {
  Caption,
  Enabled,
  Visible,
  Bounds,
  Value,
  Columns,     // a list view's column headers or widths
  Items,       // a list's items or item count
  Selection,   // a list's selected item, or a text box's selected text
  ScrollInto,  // a list must scroll its selected item into view
  SortState,   // a list view's sort column and order
  ImageList,   // a list view's small-icon pictures
  Menu,        // the form's menu bar or a menu item
  Timer,       // a timer's interval or enabled state
  Looks,       // colours, font, picture
  Limits,      // a text box's password mark or length limit, an up-down box's range
  Default,     // the form's default or cancel button
};

// Keys the programs react to: menu shortcuts, dialog keys and key-down events.
enum class Key {
  None,
  Enter,
  Escape,
  Tab,
  Delete,
  F1,
  F2,
  F3,
  F4,
  F5,
  F6,
  F7,
  F8,
  F9,
  F10,
  F11,
  F12,
  Up,
  Down,
  Left,
  Right,
  Space,
};

// The modifier keys held with a key.
struct Modifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  bool none() const { return !shift && !ctrl && !alt; }
  friend bool operator==(const Modifiers&, const Modifiers&) = default;
};

struct Bounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Bounds&, const Bounds&) = default;
};

// A colour as 0xRRGGBB, or one of the system's colours.
using Color = std::uint32_t;
inline constexpr Color kDefaultColor = 0xFFFFFFFFu;  // the look the control kind has by itself
inline constexpr Color kSystemColor = 0x80000000u;   // | a system colour index
inline constexpr Color kWindowColor = kSystemColor | 5u;
inline constexpr Color rgb(int r, int g, int b) {
  return (static_cast<Color>(r & 0xFF) << 16) | (static_cast<Color>(g & 0xFF) << 8) | static_cast<Color>(b & 0xFF);
}

struct Font {
  Font(bool bold = false, bool underline = false, int points = 0, std::string face = {})
      : bold(bold), underline(underline), points(points), face(std::move(face)) {}
  bool bold;
  bool underline;
  int points;        // 0: the form's size
  std::string face;  // the typeface's name; empty: the form's
  friend bool operator==(const Font&, const Font&) = default;
};

// What an image control or a picture box shows: a picture of an image list (0-based), or a
// resource picture of the program (an icon or a bitmap), or nothing.
struct Picture {
  const ImageList* list = nullptr;
  int index = -1;
  int resourceId = 0;
  bool empty() const { return resourceId == 0 && (list == nullptr || index < 0); }
  friend bool operator==(const Picture&, const Picture&) = default;
};

// How a label looks: plain, with a sunken edge, or as a link a user clicks. It is chosen once, when
// the label is added (Form::addLabel): the window's style holds it for the window's life.
enum class LabelLook { Plain, Edged, Link };

class Control {
 public:
  // multiLine: a text box whose lines end in CR LF, Enter starting a new one; it is chosen once, as
  // a window cannot change it (Form::addMultiLineTextBox). look: a label's, chosen once likewise.
  Control(Form& form, std::string name, ControlKind kind, bool multiLine = false,
          LabelLook look = LabelLook::Plain)
      : form_(form), name_(std::move(name)), kind_(kind), multiLine_(multiLine), look_(look) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& name() const { return name_; }
  ControlKind kind() const { return kind_; }
  Form& form() const { return form_; }

  // The container the control sits in (nullptr: the form), and for a tab strip the page (0-based).
  // Set before the form is shown.
  Control* container() const { return container_; }
  int page() const { return page_; }
  void setContainer(Control* container, int page = -1);
  bool isContainer() const {
    return kind_ == ControlKind::Frame || kind_ == ControlKind::Picture || kind_ == ControlKind::TabStrip;
  }

  const std::string& caption() const { return caption_; }
  void setCaption(std::string text);
  bool enabled() const { return enabled_; }
  void setEnabled(bool on);
  bool visible() const { return visible_; }
  void setVisible(bool on);
  // Visible and in a shown container (on the tab strip's chosen page).
  bool shown() const;
  // Shown, enabled and in enabled containers: a user can reach it.
  bool usable() const;
  // A user can give it the focus (and Tab reaches it).
  bool focusable() const;

  const Bounds& bounds() const { return bounds_; }
  void setBounds(const Bounds& b);
  void move(int left, int top, int width, int height) { setBounds({left, top, width, height}); }
  int left() const { return bounds_.left; }
  int top() const { return bounds_.top; }
  int width() const { return bounds_.width; }
  int height() const { return bounds_.height; }
  // A check box's or option button's state (0 off, 1 on), a combo box's chosen index, a tab strip's
  // tab, an up-down box's position; what it means belongs to the control kind.
  int value() const { return value_; }
  void setValue(int v);
  // The tab strip's tab before the user's latest change.
  int previousValue() const { return previousValue_; }
  // The texts of a combo box's list or of a tab strip's tabs.
  const std::vector<std::string>& listTexts() const { return listTexts_; }
  void setListTexts(std::vector<std::string> texts);

  // Looks.
  Color foreColor() const { return foreColor_; }
  void setForeColor(Color c);
  // A picture box's background, a shape's fill.
  Color backColor() const { return backColor_; }
  void setBackColor(Color c);
  const Font& font() const { return font_; }
  void setFont(const Font& f);
  const Picture& picture() const { return picture_; }
  void setPicture(const Picture& p);
  void clearPicture() { setPicture({}); }

  // Text entry.
  // Characters a user may type (a program's text stays whole); 0: no limit.
  int maxLength() const { return maxLength_; }
  void setMaxLength(int characters);
  // Lines end in CR LF; Enter starts a new line.
  bool multiLine() const { return multiLine_; }
  // Shows "*" for each character.
  bool password() const { return password_; }
  void setPassword(bool on);
  // A label with a sunken edge; a label a user clicks, drawn as a link.
  bool border() const { return look_ == LabelLook::Edged; }
  bool link() const { return look_ == LabelLook::Link; }
  int selectionStart() const { return selStart_; }
  int selectionLength() const { return selLength_; }
  // Selects characters [start, start + length) of the text; selectAll selects the whole text.
  void select(int start, int length);
  void selectAll();

  // An up-down box's range, its position moved into it, and the text box it writes into.
  int rangeMin() const { return rangeMin_; }
  int rangeMax() const { return rangeMax_; }
  void setRange(int min, int max);
  Control* buddy() const { return buddy_; }
  void setBuddy(Control* textBox);

  int tabIndex = 0;

  std::function<void()> onClick;
  std::function<void()> onChange;
  std::function<void()> onGotFocus;
  std::function<void()> onLostFocus;
  std::function<void(Key)> onKeyDown;

  // Raise the events as a user would; the realization and the test toolkit call these.
  void click();
  void keyDown(Key key) {
    if (onKeyDown) onKeyDown(key);
  }
  // What the user changed, written back by the realization without a change notice, then the
  // event. A chosen option button clears the others of its group; a text typed into an up-down
  // box's buddy moves the up-down box.
  void userSetCaption(std::string text);
  void userSetValue(int v);
  // The user pressed an up-down box's arrows: the value moves by delta within the range, the buddy
  // shows it and raises its change event.
  void userStep(int delta);
  void userSelected(int start, int length) {
    selStart_ = start;
    selLength_ = length;
  }
  void realizedBounds(const Bounds& b) { bounds_ = b; }

 protected:
  void changed(Change what);

 private:
  void clearGroup();
  Form& form_;
  std::string name_;
  ControlKind kind_;
  const bool multiLine_;
  const LabelLook look_;
  int maxLength_ = 0;
  bool password_ = false;
  int rangeMin_ = 0;
  int rangeMax_ = 100;
  Control* container_ = nullptr;
  int page_ = -1;
  std::string caption_;
  bool enabled_ = true;
  bool visible_ = true;
  Bounds bounds_;
  int value_ = 0;
  int previousValue_ = 0;
  std::vector<std::string> listTexts_;
  Color foreColor_ = kDefaultColor;
  Color backColor_ = kDefaultColor;
  Font font_;
  Picture picture_;
  int selStart_ = 0;
  int selLength_ = 0;
  Control* buddy_ = nullptr;
  Control* buddyOf_ = nullptr;
};

// A named set of pictures, each a resource picture of the program by key.
struct ImageList {
  std::string name;
  int imageSize = 16;  // pixels
  struct Image {
    std::string key;
    int resourceId = 0;
  };
  std::vector<Image> images;
  // 0-based position of the key, -1 when the list has no such picture.
  int indexOf(std::string_view key) const;
  Picture picture(int index) const { return {this, index, 0}; }
};

struct ListColumn {
  std::string header;
  int width = 0;  // twips
};

// One row of a list view: its text, the texts of the further columns, its picture and its tag.
struct ListItem {
  std::string text;
  std::vector<std::string> subItems;
  std::string iconKey;  // key in the list's image list; empty for none
  std::string tag;
};

enum class SortOrder { Ascending, Descending };

// A report-style list view. Its items are either kept here, or, for a virtual list, fetched from
// the owner by row when shown: the owner keeps the data and its order, the list only the count.
class ListView final : public Control {
 public:
  ListView(Form& form, std::string name) : Control(form, std::move(name), ControlKind::ListView) {}

  const std::vector<ListColumn>& columns() const { return columns_; }
  void setColumns(std::vector<ListColumn> columns);
  void setColumnHeader(std::size_t column, std::string header);
  void setColumnWidth(std::size_t column, int twips);
  int columnWidth(std::size_t column) const { return column < columns_.size() ? columns_[column].width : 0; }
  // The user dragged a column's edge.
  void userSetColumnWidth(std::size_t column, int twips);

  // Small icons of the items (an image list of the form), or nullptr.
  const ImageList* smallIcons() const { return smallIcons_; }
  void setSmallIcons(const ImageList* images);

  // Kept items.
  void clear();
  void addItem(ListItem item);
  void removeItem(std::size_t row);
  // Virtual items: the count, and how to fetch a row.
  void setVirtual(std::function<ListItem(std::size_t row)> fetch);
  bool isVirtual() const { return static_cast<bool>(fetch_); }
  void setItemCount(std::size_t count);

  std::size_t itemCount() const { return isVirtual() ? virtualCount_ : items_.size(); }
  ListItem item(std::size_t row) const;

  // The selected row, or -1.
  std::ptrdiff_t selectedIndex() const { return selected_; }
  void select(std::ptrdiff_t row);
  void ensureSelectedVisible();

  // The sort the list shows (the owner of a virtual list keeps the rows in this order).
  bool sorted() const { return sorted_; }
  std::size_t sortKey() const { return sortKey_; }
  SortOrder sortOrder() const { return sortOrder_; }
  void setSort(bool sorted, std::size_t key, SortOrder order);

  std::function<void(std::size_t row)> onItemClick;
  std::function<void(std::size_t column)> onColumnClick;

  // The user chose a row (selection written back, then the event).
  void userClickItem(std::size_t row);
  // The user took the highlight off without choosing another row (a click on blank space): no row
  // is selected, and no event follows, as nothing was chosen.
  void userClearSelection() { selected_ = -1; }
  void userClickColumn(std::size_t column) {
    if (onColumnClick) onColumnClick(column);
  }

 private:
  std::vector<ListColumn> columns_;
  const ImageList* smallIcons_ = nullptr;
  std::vector<ListItem> items_;
  std::function<ListItem(std::size_t)> fetch_;
  std::size_t virtualCount_ = 0;
  std::ptrdiff_t selected_ = -1;
  bool sorted_ = false;
  std::size_t sortKey_ = 0;
  SortOrder sortOrder_ = SortOrder::Ascending;
};

// A status bar at the bottom of its form showing one simple text. Its height is the system's: the
// realization writes it back into the bounds.
class StatusBar final : public Control {
 public:
  StatusBar(Form& form, std::string name) : Control(form, std::move(name), ControlKind::StatusBar) {}
  const std::string& simpleText() const { return caption(); }
  void setSimpleText(std::string text) { setCaption(std::move(text)); }
};

struct MenuItem {
  MenuItem() = default;
  MenuItem(std::string itemName, std::string itemCaption, Key key = Key::None)
      : name(std::move(itemName)), caption(std::move(itemCaption)), shortcut(key) {}
  std::string name;
  std::string caption;  // "&" marks the access key; "-" is a separator
  Key shortcut = Key::None;
  bool enabled = true;
  bool visible = true;
  bool checked = false;
  std::vector<MenuItem> items;
  std::function<void()> onClick;
  bool isSeparator() const { return caption == "-"; }
};

struct Timer {
  std::string name;
  int intervalMs = 0;
  bool enabled = false;
  std::function<void()> onTimer;
};

// Screen facts the layouts use.
struct ScreenMetrics {
  int dpi = 96;
  // Whole twips in one pixel, for layouts that step by pixels (15 at 96 dots per inch).
  int twipsPerPixelX = 15;
  int twipsPerPixelY = 15;
  int verticalScrollBarWidth = 17;  // pixels
};

// How a form's window is framed and placed.
enum class FormStyle {
  Sizable,  // a resizable main window, shown in the taskbar
  Fixed,    // a main window of fixed size with a minimise button only, shown in the taskbar
  Dialog,   // a fixed dialog frame without minimise or maximise, not in the taskbar, centred on its owner
};

// An opaque handle of a shown form's window, for the system's own dialogs and messages; only the
// system's code turns it back into a window.
using NativeHandle = std::uintptr_t;

// The realization of one shown form.
class FormPeer {
 public:
  virtual ~FormPeer() = default;
  virtual void formChanged(Change what) = 0;
  virtual void controlChanged(Control& control, Change what) = 0;
  virtual void timerChanged(Timer& timer) = 0;
  // Gives the control the focus; the realization reports the focus moves back (userFocusChanged).
  virtual void focus(Control& control) = 0;
  // Width of the text in the form's font, in twips.
  virtual int textWidth(std::string_view utf8) = 0;
  virtual NativeHandle nativeHandle() const = 0;
};

class Form {
 public:
  Form(FormToolkit& toolkit, std::string name);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& name() const { return name_; }
  FormToolkit& toolkit() const { return toolkit_; }

  const std::string& caption() const { return caption_; }
  void setCaption(std::string text);
  // The client area (inside the border, below the menu), in twips.
  int clientWidth() const { return clientWidth_; }
  int clientHeight() const { return clientHeight_; }
  void setClientSize(int width, int height);
  FormStyle style = FormStyle::Fixed;
  bool resizable() const { return style == FormStyle::Sizable; }
  int iconResourceId = 0;
  // The form sees key presses before its controls do.
  bool keyPreview = false;

  Control& addControl(std::string name, ControlKind kind, Control* container = nullptr, int page = -1);
  Control& addMultiLineTextBox(std::string name, Control* container = nullptr, int page = -1);
  Control& addLabel(std::string name, LabelLook look, Control* container = nullptr, int page = -1);
  ListView& addListView(std::string name, Control* container = nullptr);
  StatusBar& addStatusBar(std::string name);
  ImageList& addImageList(std::string name);
  MenuItem& addMenu(MenuItem menu);
  Timer& addTimer(std::string name, int intervalMs);

  // nullptr when the form has no such control.
  Control* control(std::string_view name) const;
  // In the order they were added: the order of creation, and so of drawing.
  const std::vector<Control*>& controls() const { return order_; }
  // The controls a user can reach with Tab, in tab order.
  std::vector<Control*> tabOrder() const;
  std::vector<MenuItem>& menus() { return menus_; }
  const std::vector<MenuItem>& menus() const { return menus_; }
  MenuItem* menuItem(std::string_view name);
  // Sets a menu item's state and tells the realization.
  void setMenuEnabled(std::string_view name, bool on);
  void setMenuVisible(std::string_view name, bool on);
  void setMenuCaption(std::string_view name, std::string caption);
  std::vector<std::unique_ptr<Timer>>& timers() { return timers_; }
  Timer* timer(std::string_view name);
  void setTimerEnabled(Timer& timer, bool on);
  // After editing a menu item in place.
  void menuChanged();

  // Enter presses the default button, Esc the cancel button; either may change while shown.
  Control* defaultButton() const { return defaultButton_; }
  void setDefaultButton(Control* button);
  Control* cancelButton() const { return cancelButton_; }
  void setCancelButton(Control* button);

  // The control that has the focus, or nullptr.
  Control* focused() const { return focused_; }
  // Gives the control the focus (once shown: before that, the focus it will start with).
  void setFocus(Control& control);

  // Shows the form without waiting (loading it first when needed).
  void show();
  // Shows the form modal to owner (or to the application) and returns when it has unloaded.
  void showModal(Form* owner = nullptr);
  // Closes the form; a modal showModal returns, the last form's unload ends the message loop.
  void unload();
  bool loaded() const { return peer_ != nullptr; }
  // The shown form's window, 0 when not shown.
  NativeHandle nativeHandle() const { return peer_ ? peer_->nativeHandle() : 0; }

  // Width of the text in the form's font, in twips.
  int textWidth(std::string_view utf8) const;
  ScreenMetrics screen() const;

  // Events.
  std::function<void()> onLoad;
  // The window is up and drawn, with the focus in place.
  std::function<void()> onShown;
  std::function<void()> onResize;
  std::function<void()> onUnload;
  // With key preview: every key before the control with the focus sees it.
  std::function<void(Key, Modifiers)> onKeyDown;

  // The realization.
  void attach(FormPeer* peer) { peer_ = peer; }
  FormPeer* peer() const { return peer_; }
  // The window is up: the focus goes where the program put it, else to the first in tab order.
  void realized();
  // The user resized the window: the new client size, then the resize event.
  void userResized(int width, int height);
  // The system moved the focus: lost focus on the control that had it, got focus on the new one.
  void userFocusChanged(Control* now);
  // How many focus moves the realization has reported so far: it tells whether a move it asked
  // for was reported (and its handlers run) before the system's call returned.
  unsigned focusReports() const { return focusReports_; }
  // A key pressed while the form is active: key preview, menu shortcuts, Enter, Esc and Tab are
  // the form's; anything else goes to the control with the focus. True when the form used the key,
  // so the control must not see it too.
  bool keyDown(Key key, Modifiers modifiers = {});
  void notify(Control& control, Change what);
  // The menu item's click, as a user's choice or its shortcut raises it; false when none is named so.
  bool clickMenu(std::string_view name);
  // The menu item whose shortcut this key is, or nullptr.
  MenuItem* menuForShortcut(Key key);

 private:
  template <typename T>
  T& add(std::unique_ptr<T> control, Control* container, int page);
  void focusNext(bool backwards);

  FormToolkit& toolkit_;
  std::string name_;
  std::string caption_;
  int clientWidth_ = 4800;
  int clientHeight_ = 3600;
  std::map<std::string, std::unique_ptr<Control>, std::less<>> controls_;
  std::vector<Control*> order_;
  std::vector<std::unique_ptr<ImageList>> imageLists_;
  std::vector<MenuItem> menus_;
  std::vector<std::unique_ptr<Timer>> timers_;
  Control* defaultButton_ = nullptr;
  Control* cancelButton_ = nullptr;
  Control* focused_ = nullptr;
  bool focusAnnounced_ = false;
  unsigned focusReports_ = 0;
  Control* startFocus_ = nullptr;
  FormPeer* peer_ = nullptr;
};

}  // namespace ui
