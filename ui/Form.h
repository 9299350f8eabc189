#pragma once
// The form model: a form owns its controls, menus and timers by name, each with the properties the
// programs use and the events a user raises. Positions and sizes are in twips. A toolkit realizes
// the form (real windows, or the test toolkit's record of them); the model tells the realization
// of every change through FormPeer, and the realization writes back what the user changed (a
// dragged column, a new window size, a chosen item) before it raises the event.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

class Form;
class FormToolkit;

enum class ControlKind {
  Button,
  Label,
  TextBox,
  CheckBox,
  OptionButton,
  ComboBox,
  Picture,
  Frame,
  ListView,
  StatusBar,
  TabStrip,  // tabs captioned by its list texts; value is the chosen tab
  UpDown,    // arrows that step its value between the range's ends
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
  Selection,   // a list's selected item
  ScrollInto,  // a list must scroll its selected item into view
  SortState,   // a list view's sort column and order
  ImageList,   // a list view's small-icon pictures
  Menu,        // the form's menu bar or a menu item
  Timer,       // a timer's interval or enabled state
};

// Keys the programs react to: menu shortcuts and key-down events.
enum class Key { None, Enter, Escape, Tab, Delete, F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12 };

struct Bounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Bounds&, const Bounds&) = default;
};

class Control {
 public:
  Control(Form& form, std::string name, ControlKind kind)
      : form_(form), name_(std::move(name)), kind_(kind) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& name() const { return name_; }
  ControlKind kind() const { return kind_; }
  Form& form() const { return form_; }

  const std::string& caption() const { return caption_; }
  void setCaption(std::string text);
  bool enabled() const { return enabled_; }
  void setEnabled(bool on);
  bool visible() const { return visible_; }
  void setVisible(bool on);
  const Bounds& bounds() const { return bounds_; }
  void setBounds(const Bounds& b);
  void move(int left, int top, int width, int height) { setBounds({left, top, width, height}); }
  int left() const { return bounds_.left; }
  int top() const { return bounds_.top; }
  int width() const { return bounds_.width; }
  int height() const { return bounds_.height; }
  // A check box's or option button's state (0 off, 1 on), a combo box's chosen index, a password
  // box's mask character; what it means belongs to the control kind.
  int value() const { return value_; }
  void setValue(int v);
  // The texts of a combo box's list or of a tab strip's tabs.
  const std::vector<std::string>& listTexts() const { return listTexts_; }
  void setListTexts(std::vector<std::string> texts);
  // An up-down control's range.
  int rangeMin = 0;
  int rangeMax = 100;
  int tabIndex = 0;
  bool isDefault = false;  // Enter presses it
  bool isCancel = false;   // Esc presses it
  bool password = false;   // a text box that shows "*" for each character

  std::function<void()> onClick;
  std::function<void()> onChange;
  std::function<void()> onGotFocus;
  std::function<void()> onLostFocus;
  std::function<void(Key)> onKeyDown;

  // Raise the events as a user would; the realization and the test toolkit call these.
  void click() {
    if (onClick) onClick();
  }
  void keyDown(Key key) {
    if (onKeyDown) onKeyDown(key);
  }
  // What the user changed, written back by the realization without a change notice.
  void userSetCaption(std::string text);
  void userSetValue(int v);
  void realizedBounds(const Bounds& b) { bounds_ = b; }

 protected:
  void changed(Change what);

 private:
  Form& form_;
  std::string name_;
  ControlKind kind_;
  std::string caption_;
  bool enabled_ = true;
  bool visible_ = true;
  Bounds bounds_;
  int value_ = 0;
  std::vector<std::string> listTexts_;
};

// A named set of pictures for list items, each a resource picture of the program by key.
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
  // How often ensureSelectedVisible was asked for: the realization and the tests follow it.
  int scrollRequests() const { return scrollRequests_; }

  // The sort the list shows (the owner of a virtual list keeps the rows in this order).
  bool sorted() const { return sorted_; }
  std::size_t sortKey() const { return sortKey_; }
  SortOrder sortOrder() const { return sortOrder_; }
  void setSort(bool sorted, std::size_t key, SortOrder order);

  std::function<void(std::size_t row)> onItemClick;
  std::function<void(std::size_t column)> onColumnClick;

  // The user chose a row (selection written back, then the event).
  void userClickItem(std::size_t row);
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
  int scrollRequests_ = 0;
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
  int twipsPerPixelX = 15;
  int twipsPerPixelY = 15;
  int verticalScrollBarWidth = 17;  // pixels
};

// The realization of one shown form.
class FormPeer {
 public:
  virtual ~FormPeer() = default;
  virtual void formChanged(Change what) = 0;
  virtual void controlChanged(Control& control, Change what) = 0;
  virtual void timerChanged(Timer& timer) = 0;
  // Width of the text in the form's font, in twips.
  virtual int textWidth(std::string_view utf8) = 0;
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
  bool resizable = false;
  int iconResourceId = 0;

  Control& addControl(std::string name, ControlKind kind);
  ListView& addListView(std::string name);
  StatusBar& addStatusBar(std::string name);
  ImageList& addImageList(std::string name);
  MenuItem& addMenu(MenuItem menu);
  Timer& addTimer(std::string name, int intervalMs);

  // nullptr when the form has no such control.
  Control* control(std::string_view name) const;
  const std::vector<Control*>& controls() const { return order_; }
  std::vector<MenuItem>& menus() { return menus_; }
  const std::vector<MenuItem>& menus() const { return menus_; }
  MenuItem* menuItem(std::string_view name);
  std::vector<std::unique_ptr<Timer>>& timers() { return timers_; }
  Timer* timer(std::string_view name);
  void setTimerEnabled(Timer& timer, bool on);
  // After editing a menu item in place.
  void menuChanged();

  // Shows the form without waiting (loading it first when needed).
  void show();
  // Shows the form modal to owner (or to the application) and returns when it has unloaded.
  void showModal(Form* owner = nullptr);
  // Closes the form; a modal showModal returns, the last form's unload ends the message loop.
  void unload();
  bool loaded() const { return peer_ != nullptr; }

  // Width of the text in the form's font, in twips.
  int textWidth(std::string_view utf8) const;
  ScreenMetrics screen() const;

  // Events.
  std::function<void()> onLoad;
  std::function<void()> onResize;
  std::function<void()> onUnload;

  // The realization.
  void attach(FormPeer* peer) { peer_ = peer; }
  FormPeer* peer() const { return peer_; }
  // The user resized the window: the new client size, then the resize event.
  void userResized(int width, int height);
  void notify(Control& control, Change what);
  // The menu item's click, as a user's choice or its shortcut raises it; false when none is named so.
  bool clickMenu(std::string_view name);
  // The menu item whose shortcut this key is, or nullptr.
  MenuItem* menuForShortcut(Key key);

 private:
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
  FormPeer* peer_ = nullptr;
};

}  // namespace ui
