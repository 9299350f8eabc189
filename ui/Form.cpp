#include "ui/Form.h"

#include "ui/FormToolkit.h"

namespace ui {

void Control::setCaption(std::string text) {
  if (text == caption_) return;
  caption_ = std::move(text);
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
void Control::setBounds(const Bounds& b) {
  if (b == bounds_) return;
  bounds_ = b;
  changed(Change::Bounds);
}
void Control::setValue(int v) {
  if (v == value_) return;
  value_ = v;
  changed(Change::Value);
}
void Control::setListTexts(std::vector<std::string> texts) {
  listTexts_ = std::move(texts);
  changed(Change::Items);
}
void Control::userSetCaption(std::string text) {
  if (text == caption_) return;
  caption_ = std::move(text);
  if (onChange) onChange();
}
void Control::userSetValue(int v) {
  if (v == value_) return;
  value_ = v;
  if (onChange) onChange();
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
  ++scrollRequests_;
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

Control& Form::addControl(std::string name, ControlKind kind) {
  auto control = std::make_unique<Control>(*this, name, kind);
  Control& added = *control;
  order_.push_back(&added);
  controls_[std::move(name)] = std::move(control);
  return added;
}
ListView& Form::addListView(std::string name) {
  auto control = std::make_unique<ListView>(*this, name);
  ListView& added = *control;
  order_.push_back(&added);
  controls_[std::move(name)] = std::move(control);
  return added;
}
StatusBar& Form::addStatusBar(std::string name) {
  auto control = std::make_unique<StatusBar>(*this, name);
  StatusBar& added = *control;
  order_.push_back(&added);
  controls_[std::move(name)] = std::move(control);
  return added;
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

void Form::show() {
  toolkit_.show(*this);
}
void Form::showModal(Form* owner) {
  toolkit_.showModal(*this, owner);
}
void Form::unload() {
  if (!peer_) return;
  if (onUnload) onUnload();
  toolkit_.unload(*this);
}

int Form::textWidth(std::string_view utf8) const {
  return peer_ ? peer_->textWidth(utf8) : toolkit_.textWidth(*this, utf8);
}
ScreenMetrics Form::screen() const {
  return toolkit_.screen();
}

void Form::userResized(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  if (onResize) onResize();
}
void Form::notify(Control& control, Change what) {
  if (peer_) peer_->controlChanged(control, what);
}
bool Form::clickMenu(std::string_view name) {
  MenuItem* item = menuItem(name);
  if (!item || !item->enabled || item->isSeparator()) return false;
  if (item->onClick) item->onClick();
  return true;
}

}  // namespace ui
