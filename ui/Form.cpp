#include "ui/Form.h"

#include <algorithm>
#include <charconv>

#include "ui/FormToolkit.h"

namespace ui {

void Control::setContainer(Control* container, int page) {
  container_ = container && container->isContainer() && container != this ? container : nullptr;
  page_ = container_ && container_->kind() == ControlKind::TabStrip ? page : -1;
}

void Control::setCaption(std::string text) {
  if (text == caption_) return;
  caption_ = std::move(text);
  selStart_ = std::min<int>(selStart_, static_cast<int>(caption_.size()));
  selLength_ = 0;
  changed(Change::Caption);
}
void Control::setEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  changed(Change::Enabled);
}
void Control::setVisible(bool on) {
  if (on == visible_) return;
  visible_ = on;
  changed(Change::Visible);
}
bool Control::shown() const {
  if (!visible_) return false;
  if (!container_) return true;
  if (page_ >= 0 && container_->value() != page_) return false;
  return container_->shown();
}
bool Control::usable() const {
  for (const Control* c = this; c; c = c->container_)
    if (!c->enabled_) return false;
  return shown();
}
bool Control::focusable() const {
  switch (kind_) {
    case ControlKind::Button:
    case ControlKind::TextBox:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::ComboBox:
    case ControlKind::ListView:
    case ControlKind::TabStrip:
      return usable();
    default:
      return false;
  }
}
void Control::setBounds(const Bounds& b) {
  if (b == bounds_) return;
  bounds_ = b;
  changed(Change::Bounds);
}
void Control::setValue(int v) {
  if (kind_ == ControlKind::UpDown) v = std::clamp(v, rangeMin_, rangeMax_);
  if (v == value_) return;
  value_ = v;
  if (kind_ == ControlKind::OptionButton && v) clearGroup();
  changed(Change::Value);
}
void Control::setMaxLength(int characters) {
  if (characters == maxLength_) return;
  maxLength_ = characters;
  changed(Change::Limits);
}
void Control::setPassword(bool on) {
  if (on == password_) return;
  password_ = on;
  changed(Change::Limits);
}
void Control::setRange(int min, int max) {
  if (min == rangeMin_ && max == rangeMax_) return;
  rangeMin_ = min;
  rangeMax_ = max;
  changed(Change::Limits);
  setValue(value_);
}
void Control::setListTexts(std::vector<std::string> texts) {
  listTexts_ = std::move(texts);
  changed(Change::Items);
}
void Control::setForeColor(Color c) {
  if (c == foreColor_) return;
  foreColor_ = c;
  changed(Change::Looks);
}
void Control::setBackColor(Color c) {
  if (c == backColor_) return;
  backColor_ = c;
  changed(Change::Looks);
}
void Control::setFont(const Font& f) {
  if (f == font_) return;
  font_ = f;
  changed(Change::Looks);
}
void Control::setPicture(const Picture& p) {
  if (p == picture_) return;
  picture_ = p;
  changed(Change::Looks);
}
void Control::select(int start, int length) {
  const int size = static_cast<int>(caption_.size());
  selStart_ = std::clamp(start, 0, size);
  selLength_ = std::clamp(length, 0, size - selStart_);
  changed(Change::Selection);
}
void Control::selectAll() {
  select(0, static_cast<int>(caption_.size()));
}
void Control::setBuddy(Control* textBox) {
  if (buddy_) buddy_->buddyOf_ = nullptr;
  buddy_ = textBox;
  if (buddy_) buddy_->buddyOf_ = this;
}

void Control::click() {
  if (onClick) onClick();
}
void Control::userSetCaption(std::string text) {
  if (text == caption_) return;
  caption_ = std::move(text);
  if (buddyOf_) {
    // A number typed into the box moves its up-down box (within range) without an event of its own.
    int number = 0;
    const auto [end, error] = std::from_chars(caption_.data(), caption_.data() + caption_.size(), number);
    if (error == std::errc() && end == caption_.data() + caption_.size())
      buddyOf_->value_ = std::clamp(number, buddyOf_->rangeMin_, buddyOf_->rangeMax_);
  }
  if (onChange) onChange();
}
void Control::userSetValue(int v) {
  if (v == value_) return;
  previousValue_ = value_;
  value_ = v;
  if (kind_ == ControlKind::OptionButton && v) clearGroup();
  if (onChange) onChange();
}
void Control::userStep(int delta) {
  if (kind_ != ControlKind::UpDown) return;
  const int next = std::clamp(value_ + delta, rangeMin_, rangeMax_);
  if (next == value_) return;
  previousValue_ = value_;
  value_ = next;
  changed(Change::Value);
  if (buddy_) {
    // The buddy shows the new position as the program had typed it, and raises its change.
    buddy_->setCaption(std::to_string(next));
    if (buddy_->onChange) buddy_->onChange();
  }
  if (onChange) onChange();
}
void Control::clearGroup() {
  for (Control* other : form_.controls()) {
    if (other != this && other->kind_ == ControlKind::OptionButton && other->container_ == container_ &&
        other->page_ == page_ && other->value_) {
      other->value_ = 0;
      other->changed(Change::Value);
    }
  }
}
void Control::changed(Change what) {
  form_.notify(*this, what);
}

int ImageList::indexOf(std::string_view key) const {
  for (std::size_t i = 0; i < images.size(); ++i)
    if (images[i].key == key) return static_cast<int>(i);
  return -1;
}

void ListView::setColumns(std::vector<ListColumn> columns) {
  columns_ = std::move(columns);
  changed(Change::Columns);
}
void ListView::setColumnHeader(std::size_t column, std::string header) {
  if (column >= columns_.size()) columns_.resize(column + 1);
  columns_[column].header = std::move(header);
  changed(Change::Columns);
}
void ListView::setColumnWidth(std::size_t column, int twips) {
  if (column >= columns_.size()) columns_.resize(column + 1);
  if (twips < 0) twips = 0;
  if (columns_[column].width == twips) return;
  columns_[column].width = twips;
  changed(Change::Columns);
}
void ListView::userSetColumnWidth(std::size_t column, int twips) {
  if (column < columns_.size()) columns_[column].width = twips < 0 ? 0 : twips;
}
void ListView::setSmallIcons(const ImageList* images) {
  smallIcons_ = images;
  changed(Change::ImageList);
}
void ListView::clear() {
  items_.clear();
  virtualCount_ = 0;
  selected_ = -1;
  changed(Change::Items);
}
void ListView::addItem(ListItem item) {
  items_.push_back(std::move(item));
  changed(Change::Items);
}
void ListView::removeItem(std::size_t row) {
  if (isVirtual() || row >= items_.size()) return;
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(row));
  const auto removed = static_cast<std::ptrdiff_t>(row);
  if (selected_ == removed) {
    selected_ = -1;
  } else if (selected_ > removed) {
    --selected_;
  }
  changed(Change::Items);
  changed(Change::Selection);
}
void ListView::setVirtual(std::function<ListItem(std::size_t row)> fetch) {
  fetch_ = std::move(fetch);
  items_.clear();
  changed(Change::Items);
}
void ListView::setItemCount(std::size_t count) {
  virtualCount_ = count;
  if (selected_ >= static_cast<std::ptrdiff_t>(itemCount())) selected_ = -1;
  changed(Change::Items);
}
ListItem ListView::item(std::size_t row) const {
  if (row >= itemCount()) return {};
  return isVirtual() ? fetch_(row) : items_[row];
}
void ListView::select(std::ptrdiff_t row) {
  if (row < -1 || row >= static_cast<std::ptrdiff_t>(itemCount())) row = -1;
  selected_ = row;
  changed(Change::Selection);
}
void ListView::ensureSelectedVisible() {
  changed(Change::ScrollInto);
}
void ListView::setSort(bool sorted, std::size_t key, SortOrder order) {
  sorted_ = sorted;
  sortKey_ = key;
  sortOrder_ = order;
  changed(Change::SortState);
}
void ListView::userClickItem(std::size_t row) {
  if (row >= itemCount()) return;
  selected_ = static_cast<std::ptrdiff_t>(row);
  if (onItemClick) onItemClick(row);
}

Form::Form(FormToolkit& toolkit, std::string name) : toolkit_(toolkit), name_(std::move(name)) {}

Form::~Form() {
  if (peer_) toolkit_.unload(*this);
}

void Form::setCaption(std::string text) {
  if (text == caption_) return;
  caption_ = std::move(text);
  if (peer_) peer_->formChanged(Change::Caption);
}
void Form::setClientSize(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  if (peer_) peer_->formChanged(Change::Bounds);
}

template <typename T>
T& Form::add(std::unique_ptr<T> control, Control* container, int page) {
  T& added = *control;
  added.setContainer(container, page);
  order_.push_back(&added);
  controls_[added.name()] = std::move(control);
  return added;
}
Control& Form::addControl(std::string name, ControlKind kind, Control* container, int page) {
  return add(std::make_unique<Control>(*this, std::move(name), kind), container, page);
}
Control& Form::addMultiLineTextBox(std::string name, Control* container, int page) {
  return add(std::make_unique<Control>(*this, std::move(name), ControlKind::TextBox, true), container, page);
}
Control& Form::addLabel(std::string name, LabelLook look, Control* container, int page) {
  return add(std::make_unique<Control>(*this, std::move(name), ControlKind::Label, false, look), container, page);
}
ListView& Form::addListView(std::string name, Control* container) {
  return add(std::make_unique<ListView>(*this, std::move(name)), container, -1);
}
StatusBar& Form::addStatusBar(std::string name) {
  return add(std::make_unique<StatusBar>(*this, std::move(name)), nullptr, -1);
}
ImageList& Form::addImageList(std::string name) {
  imageLists_.push_back(std::make_unique<ImageList>());
  imageLists_.back()->name = std::move(name);
  return *imageLists_.back();
}
MenuItem& Form::addMenu(MenuItem menu) {
  menus_.push_back(std::move(menu));
  if (peer_) peer_->formChanged(Change::Menu);
  return menus_.back();
}
Timer& Form::addTimer(std::string name, int intervalMs) {
  timers_.push_back(std::make_unique<Timer>());
  timers_.back()->name = std::move(name);
  timers_.back()->intervalMs = intervalMs;
  return *timers_.back();
}

Control* Form::control(std::string_view name) const {
  auto found = controls_.find(name);
  return found == controls_.end() ? nullptr : found->second.get();
}

std::vector<Control*> Form::tabOrder() const {
  std::vector<Control*> order;
  for (Control* c : order_) {
    if (!c->focusable()) continue;
    // Of an option group only the chosen button is a stop (the first when none is chosen).
    if (c->kind() == ControlKind::OptionButton && !c->value()) {
      bool stop = true;
      for (Control* other : order_) {
        if (other != c && other->kind() == ControlKind::OptionButton && other->container() == c->container() &&
            other->page() == c->page() && other->focusable() &&
            (other->value() || (other->tabIndex < c->tabIndex))) {
          stop = false;
          break;
        }
      }
      if (!stop) continue;
    }
    order.push_back(c);
  }
  std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) { return a->tabIndex < b->tabIndex; });
  return order;
}

namespace {
MenuItem* findMenu(std::vector<MenuItem>& items, std::string_view name) {
  for (MenuItem& item : items) {
    if (item.name == name) return &item;
    if (MenuItem* inner = findMenu(item.items, name)) return inner;
  }
  return nullptr;
}
MenuItem* findShortcut(std::vector<MenuItem>& items, Key key) {
  for (MenuItem& item : items) {
    if (item.shortcut == key && item.items.empty()) return &item;
    if (MenuItem* inner = findShortcut(item.items, key)) return inner;
  }
  return nullptr;
}
}  // namespace

MenuItem* Form::menuItem(std::string_view name) {
  return findMenu(menus_, name);
}
MenuItem* Form::menuForShortcut(Key key) {
  return key == Key::None ? nullptr : findShortcut(menus_, key);
}
void Form::setMenuEnabled(std::string_view name, bool on) {
  MenuItem* item = menuItem(name);
  if (!item || item->enabled == on) return;
  item->enabled = on;
  menuChanged();
}
void Form::setMenuVisible(std::string_view name, bool on) {
  MenuItem* item = menuItem(name);
  if (!item || item->visible == on) return;
  item->visible = on;
  menuChanged();
}
void Form::setMenuCaption(std::string_view name, std::string caption) {
  MenuItem* item = menuItem(name);
  if (!item || item->caption == caption) return;
  item->caption = std::move(caption);
  menuChanged();
}

Timer* Form::timer(std::string_view name) {
  for (auto& t : timers_)
    if (t->name == name) return t.get();
  return nullptr;
}
void Form::setTimerEnabled(Timer& timer, bool on) {
  timer.enabled = on;
  if (peer_) peer_->timerChanged(timer);
}
void Form::menuChanged() {
  if (peer_) peer_->formChanged(Change::Menu);
}

void Form::setDefaultButton(Control* button) {
  if (button == defaultButton_) return;
  defaultButton_ = button;
  if (peer_) peer_->formChanged(Change::Default);
}
void Form::setCancelButton(Control* button) {
  cancelButton_ = button;
}

void Form::setFocus(Control& control) {
  if (&control.form() != this) return;
  if (!peer_) {
    startFocus_ = &control;
    return;
  }
  if (control.focusable()) peer_->focus(control);
}

void Form::show() {
  toolkit_.show(*this);
}
void Form::showModal(Form* owner) {
  toolkit_.showModal(*this, owner);
}
void Form::unload() {
  if (!peer_) return;
  if (onUnload) onUnload();
  // The unload event may have unloaded the form already.
  if (!peer_) return;
  focused_ = nullptr;
  focusAnnounced_ = false;
  startFocus_ = nullptr;
  toolkit_.unload(*this);
}

int Form::textWidth(std::string_view utf8) const {
  return peer_ ? peer_->textWidth(utf8) : toolkit_.textWidth(*this, utf8);
}
ScreenMetrics Form::screen() const {
  return toolkit_.screen();
}

void Form::realized() {
  if (!peer_) return;
  Control* first = startFocus_;
  startFocus_ = nullptr;
  if (!first || !first->focusable()) {
    const auto order = tabOrder();
    first = order.empty() ? nullptr : order.front();
  }
  if (first) peer_->focus(*first);
  if (peer_ && onShown) onShown();
}
void Form::userResized(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  if (onResize) onResize();
}
void Form::userFocusChanged(Control* now) {
  ++focusReports_;
  if (now == focused_) return;
  Control* before = focused_;
  const bool beforeAnnounced = focusAnnounced_;
  focused_ = now;
  focusAnnounced_ = false;
  // A control whose got-focus event never ran (a lost-focus handler took the focus away from it
  // at once) loses nothing.
  if (before && beforeAnnounced && before->onLostFocus) before->onLostFocus();
  // The lost-focus handler may have moved the focus elsewhere, or unloaded the form.
  if (focused_ == now && now && peer_) {
    focusAnnounced_ = true;
    if (now->onGotFocus) now->onGotFocus();
  }
  if (peer_) peer_->formChanged(Change::Default);
}

void Form::focusNext(bool backwards) {
  const auto order = tabOrder();
  if (order.empty()) return;
  auto at = std::find(order.begin(), order.end(), focused_);
  std::size_t index = 0;
  if (at == order.end()) {
    index = backwards ? order.size() - 1 : 0;
  } else {
    const auto here = static_cast<std::size_t>(at - order.begin());
    index = backwards ? (here + order.size() - 1) % order.size() : (here + 1) % order.size();
  }
  peer_->focus(*order[index]);
}

bool Form::keyDown(Key key, Modifiers modifiers) {
  if (!peer_ || key == Key::None) return false;
  if (keyPreview && onKeyDown) {
    onKeyDown(key, modifiers);
    if (!peer_) return true;
  }
  if (modifiers.none()) {
    if (MenuItem* item = menuForShortcut(key)) {
      if (!item->enabled) return true;
      clickMenu(item->name);
      return true;
    }
  }
  Control* focus = focused_ && focused_->usable() ? focused_ : nullptr;
  switch (key) {
    case Key::Enter:
      if (modifiers.alt || modifiers.ctrl) break;
      // A multi-line box takes Enter as a new line; a focused button is pressed by it.
      if (focus && focus->kind() == ControlKind::TextBox && focus->multiLine()) return false;
      if (focus && focus->kind() == ControlKind::Button) {
        focus->click();
        return true;
      }
      if (defaultButton_ && defaultButton_->usable()) {
        defaultButton_->click();
        return true;
      }
      return false;
    case Key::Escape:
      if (cancelButton_ && cancelButton_->usable()) {
        cancelButton_->click();
        return true;
      }
      return false;
    case Key::Tab:
      if (modifiers.alt || modifiers.ctrl) break;
      focusNext(modifiers.shift);
      return true;
    default:
      break;
  }
  if (focus) focus->keyDown(key);
  return false;
}

void Form::notify(Control& control, Change what) {
  if (peer_) peer_->controlChanged(control, what);
}
bool Form::clickMenu(std::string_view name) {
  MenuItem* item = menuItem(name);
  if (!item || !item->enabled || !item->visible || item->isSeparator()) return false;
  if (item->onClick) item->onClick();
  return true;
}

}  // namespace ui
