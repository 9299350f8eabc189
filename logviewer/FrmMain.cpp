#include "logviewer/FrmMain.h"

#include <algorithm>
#include <limits>

#include "base/ClassicRuntime.h"
#include "logviewer/EntryOrder.h"
#include "logviewer/FrmFilterText.h"
#include "logviewer/Registry.h"
#include "resources/logviewer/Texts.h"

namespace quillon {
namespace {

// View's category items, in the order of the filter's category bits (bit k: item k).
constexpr const char* kCategoryMenus[] = {"mShowErrors", "mShowAdvisories", "mShowTaskEntries", "mShowRecovery",
                                          "mShowUncategorized"};

constexpr const char* kServiceInfoLocation =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Pellora\\Korvane\\ServiceInfo\\Location";
constexpr const char* kMasterLog = "\\$LOGS\\KRV.log";
constexpr const char* kLogsFolder = "\\$LOGS\\";

// The client area the window starts with, in twips.
constexpr int kStartWidth = 9630;
constexpr int kStartHeight = 6285;
// Starting widths of the columns the user may drag, in twips.
constexpr int kDateWidth = 1900;
constexpr int kTypeWidth = 750;
// Room beside a text in its column, in twips.
constexpr int kDescriptionMargin = 60;
constexpr int kDetailMargin = 120;
// How often a followed log is looked at.
constexpr int kFollowIntervalMs = 500;
// The bytes of a followed log that tell it is still the same file.
constexpr std::size_t kFollowHeadBytes = 256;
// What the status bar puts between its parts.
constexpr const char* kStatusGap = "      ";

// Column widths are whole twips; a text of millions of characters is wider than any screen, and is
// held at the largest width a column can take.
int columnTwips(std::int64_t twips) {
  return static_cast<int>(std::clamp<std::int64_t>(twips, 0, std::numeric_limits<int>::max() / 2));
}

}  // namespace

FrmMain::FrmMain(const ViewerServices& services)
    : ui::Form(services.toolkit, "frmMain"),
      lvLogMaster(addListView("lvLogMaster")),
      lvLogDetail(addListView("lvLogDetail")),
      StatusBar1(addStatusBar("StatusBar1")),
      ImageList1(addImageList("ImageList1")),
      tmrPrepareSort(addTimer("tmrPrepareSort", 1)),
      tmrLoadRest(addTimer("tmrLoadRest", 10)),
      tmrFollow(addTimer("tmrFollow", kFollowIntervalMs)),
      services_(services) {
  style = ui::FormStyle::Sizable;
  iconResourceId = 1;
  setClientSize(kStartWidth, kStartHeight);
  ImageList1.imageSize = 16;
  const char* keys[] = {"ADV", "DET", "ERR", "REC"};
  for (int i = 0; i < 4; ++i) ImageList1.images.push_back({keys[i], kFirstCategoryPicture + i});

  lvLogMaster.setColumns({{"", kDateWidth}, {"", kTypeWidth}, {"", 0}, {"", 0}});
  lvLogMaster.setSmallIcons(&ImageList1);
  lvLogMaster.setVirtual([this](std::size_t row) { return masterItem(row); });
  lvLogMaster.setSort(true, kSortKeyColumn, ui::SortOrder::Ascending);
  lvLogMaster.onItemClick = [this](std::size_t row) { lvLogMaster_ItemClick(row); };
  lvLogMaster.onColumnClick = [this](std::size_t column) { lvLogMaster_ColumnClick(column); };
  lvLogMaster.tabIndex = 0;

  lvLogDetail.setColumns({{"", 0}});
  lvLogDetail.setVirtual([this](std::size_t row) { return detailItem(row); });
  lvLogDetail.setVisible(false);
  lvLogDetail.tabIndex = 1;

  tmrPrepareSort.onTimer = [this] { tmrPrepareSort_Timer(); };
  tmrFollow.onTimer = [this] { tmrFollow_Timer(); };
  tmrLoadRest.onTimer = [this] { tmrLoadRest_Timer(); };

  onLoad = [this] { Form_Load(); };
  onResize = [this] { Form_Resize(); };
}

void FrmMain::Form_Initialize() {
  services_.toolkit.initCommonControls();
  std::string value;
  if (ReadRegistryValue(services_.registry, services_.codec, kServiceInfoLocation, value)) {
    location_ = value;
  } else {
    ui::MessageBoxRequest box;
    box.text = services_.strings.text(text::NoServiceInfo);
    box.title = services_.strings.text(text::ProgramTitle);
    box.buttons = ui::Buttons::OK;
    box.icon = ui::Icon::None;
    services_.toolkit.messageBox(box);
    location_.clear();
  }
  dateForm_.date = services_.locale.dateSeparator();
  dateForm_.time = services_.locale.timeSeparator();
  dateForm_.order = services_.locale.dateOrder();

  setCaption(services_.strings.text(text::Caption));
  ui::MenuItem action{"mAction", services_.strings.text(text::ActionsMenu)};
  ui::MenuItem refresh{"mRefresh", services_.strings.text(text::RefreshMenu), ui::Key::F5};
  refresh.onClick = [this] { mRefresh_Click(); };
  ui::MenuItem exit{"mExit", services_.strings.text(text::ExitMenu)};
  exit.onClick = [this] { mExit_Click(); };
  action.items = {refresh, ui::MenuItem{"mSeparator1", "-"}, exit};
  menus().clear();
  addMenu(action);
  addEditAndViewMenus();
  const ui::ScreenMetrics metrics = screen();
  scrollBarWidth_ = metrics.verticalScrollBarWidth * metrics.twipsPerPixelX;

  lvLogMaster.setColumnHeader(kDateColumn, services_.strings.text(text::DateHeader));
  lvLogMaster.setColumnHeader(kTypeColumn, services_.strings.text(text::TypeHeader));
  lvLogMaster.setColumnHeader(kDescriptionColumn, services_.strings.text(text::DescriptionHeader));
  lvLogDetail.setColumnHeader(0, services_.strings.text(text::DetailsHeader));
}

void FrmMain::Form_Load() {
  LoadMasterLog();
}

void FrmMain::Form_Resize() {
  const ui::ScreenMetrics metrics = screen();
  const std::int64_t w = clientWidth();
  const std::int64_t fourPixels = 4 * metrics.twipsPerPixelX;

  lvLogMaster.setBounds({0, lvLogMaster.top(), static_cast<int>(w), lvLogMaster.height()});
  std::int64_t description = w - lvLogMaster.columnWidth(kDateColumn) - lvLogMaster.columnWidth(kTypeColumn) -
                             scrollBarWidth_ - fourPixels;
  description = std::max<std::int64_t>({description, scrollBarWidth_, widestDescription_});
  lvLogMaster.setColumnWidth(kDescriptionColumn, columnTwips(description));
  lvLogMaster.setColumnWidth(kSortKeyColumn, 0);

  lvLogDetail.setBounds({0, lvLogDetail.top(), static_cast<int>(w), lvLogDetail.height()});
  std::int64_t details = w - scrollBarWidth_ - fourPixels;
  details = std::max<std::int64_t>({details, scrollBarWidth_, widestDetail_});
  lvLogDetail.setColumnWidth(0, columnTwips(details));
  ArrangeLists();
}

void FrmMain::ArrangeLists() {
  const ui::ScreenMetrics metrics = screen();
  const int w = clientWidth();
  int available = clientHeight() - StatusBar1.height() + 2 * metrics.twipsPerPixelY;
  available = std::max(available, 100 * metrics.twipsPerPixelY);
  int masterHeight = available;
  if (lvLogDetail.itemCount() > 0) {
    masterHeight = static_cast<int>(classic::roundHalfEven(available * 0.25));
    lvLogDetail.setBounds({0, masterHeight, w, available - masterHeight});
    lvLogDetail.setVisible(true);
  } else {
    lvLogDetail.setVisible(false);
  }
  lvLogMaster.setBounds({0, 0, w, masterHeight});
  if (lvLogMaster.itemCount() > 0) lvLogMaster.ensureSelectedVisible();
}

void FrmMain::UpdateStatus() {
  if (detail_.empty()) {
    StatusBar1.setSimpleText(filterStatus());
    return;
  }
  StatusBar1.setSimpleText("      " + services_.strings.text(text::DetailStatus) + " " +
                           classic::signedNumberText(static_cast<std::int64_t>(detail_.size())) +
                           filterStatus());
}

void FrmMain::mRefresh_Click() {
  LoadMasterLog();
}
void FrmMain::mExit_Click() {
  unload();
}

void FrmMain::lvLogMaster_ItemClick(std::size_t row) {
  if (row >= order_.size()) return;
  LoadDetailLog(master_.detailName(order_[row]));
}

void FrmMain::lvLogMaster_ColumnClick(std::size_t column) {
  completeLoading();
  const std::size_t k = column == kDateColumn ? kSortKeyColumn : column;
  if (sortColumn_ == k) {
    descending_ = !descending_;
  } else {
    sortColumn_ = k;
    descending_ = false;
  }
  // The selection stays on the same entry, wherever the new order puts it.
  const std::ptrdiff_t selectedRow = lvLogMaster.selectedIndex();
  const std::ptrdiff_t selectedEntry =
      selectedRow >= 0 ? static_cast<std::ptrdiff_t>(order_[selectedRow]) : -1;
  applySort();
  lvLogMaster.setItemCount(order_.size());
  if (selectedEntry >= 0) {
    lvLogMaster.select(order_.rowOf(static_cast<std::uint32_t>(selectedEntry)));
    lvLogMaster.ensureSelectedVisible();
  }
}

void FrmMain::applySort() {
  order_ = orders_.rows(master_, sortColumn_, descending_);
  if (filter_.active()) {
    filtered_ = filteredEntries(master_, order_, filter_, services_.codec, dateForm_);
    order_ = RowOrder(&filtered_, filtered_.size(), false);
  } else {
    filtered_ = {};
  }
  lvLogMaster.setSort(true, sortColumn_, descending_ ? ui::SortOrder::Descending : ui::SortOrder::Ascending);
}

const ByteWidths& FrmMain::widths() {
  if (!widthsMeasured_) {
    widths_ = ByteWidths(services_.codec, [this](std::string_view text) { return textWidth(text); });
    widthsMeasured_ = true;
  }
  return widths_;
}

// A timer's message comes only when no other waits, the first screen's painting included. The
// master log's file is let go first: the sort's worker must read the bytes that stay.
void FrmMain::tmrPrepareSort_Timer() {
  setTimerEnabled(tmrPrepareSort, false);
  master_.releaseFile();
  if (master_.size() > 1) orders_.prepare(master_, kDescriptionColumn);
}

void FrmMain::LoadMasterLog() {
  setTimerEnabled(tmrPrepareSort, false);
  setTimerEnabled(tmrLoadRest, false);
  rest_.cancel();
  restPath_.clear();
  order_ = RowOrder();
  orders_.reset();  // before the log it reads changes
  master_.clear();
  lvLogMaster.setItemCount(0);
  detail_.clear();
  lvLogDetail.setItemCount(0);

  if (!location_.empty()) {
    const std::string path = location_ + kMasterLog;
    if (!loadTailFirst(path)) master_.load(services_.files.stream(path), dateForm_, &widths());
  }
  showMasterLog(SelectionMark{});
}

// Shown by date, oldest first (as at start), a log in time order ends with its newest entries:
// its first screen needs only the file's last bytes. Anything else is read whole at once.
bool FrmMain::loadTailFirst(const std::string& path) {
  if (tailBytes == 0 || sortColumn_ != kSortKeyColumn || descending_) return false;
  auto tail = services_.files.readEnd(path, tailBytes);
  if (!tail || tail->offset == 0) return false;
  master_.loadTail(std::move(tail->contents), tail->offset, dateForm_, &widths());
  if (master_.size() == 0 || master_.stoppedEarly() || !master_.inTimeOrder()) {
    master_.clear();
    return false;
  }
  restPath_ = path;
  setTimerEnabled(tmrLoadRest, true);
  return true;
}

// The first tick comes once the first screen is painted (a timer's message waits for the others):
// the whole log is parsed on a worker from then on; a later tick finds it done.
void FrmMain::tmrLoadRest_Timer() {
  if (!loadingRest()) {
    setTimerEnabled(tmrLoadRest, false);
  } else if (!rest_.started()) {
    rest_.start(services_.files.stream(restPath_), dateForm_, &widths());
  } else if (rest_.done()) {
    completeLoading();
  }
}

void FrmMain::completeLoading() {
  if (!loadingRest()) return;
  setTimerEnabled(tmrLoadRest, false);
  if (!rest_.started()) rest_.start(services_.files.stream(restPath_), dateForm_, &widths());
  restPath_.clear();
  const SelectionMark mark = markSelection();
  order_ = RowOrder();
  orders_.reset();
  std::vector<std::uint32_t> byDescription;
  master_ = rest_.take(byDescription);
  orders_.adopt(master_, kDescriptionColumn, std::move(byDescription));
  showMasterLog(mark);
}

FrmMain::SelectionMark FrmMain::markSelection() const {
  SelectionMark mark;
  const std::ptrdiff_t row = lvLogMaster.selectedIndex();
  mark.last = row >= 0 && static_cast<std::size_t>(row) + 1 == order_.size();
  if (row >= 0 && static_cast<std::size_t>(row) < order_.size())
    mark.entry = static_cast<std::int64_t>(master_.fileOffset(order_[static_cast<std::size_t>(row)]));
  return mark;
}

void FrmMain::showMasterLog(const SelectionMark& mark) {
  applySort();
  widestDescription_ = master_.size() > 0 ? master_.widestDescription() + kDescriptionMargin : 0;
  lvLogMaster.setItemCount(order_.size());

  std::ptrdiff_t row = -1;
  if (!mark.last && mark.entry >= 0) {
    const std::ptrdiff_t entry = master_.entryAtOffset(static_cast<std::uint64_t>(mark.entry));
    if (entry >= 0) row = order_.rowOf(static_cast<std::uint32_t>(entry));
  }
  // The last row, as after every load, unless the user's chosen entry is still there (or the user
  // chose none).
  if (row < 0 && (mark.last || mark.entry >= 0)) row = static_cast<std::ptrdiff_t>(order_.size()) - 1;
  if (row >= 0) {
    lvLogMaster.select(row);
    const std::size_t entry = order_[static_cast<std::size_t>(row)];
    // The detail log on show is the selected entry's already when that entry stays selected.
    if (mark.entry >= 0 && master_.fileOffset(entry) == static_cast<std::uint64_t>(mark.entry)) {
      Form_Resize();
    } else {
      LoadDetailLog(master_.detailName(entry));
    }
  } else {
    Form_Resize();
  }
  UpdateStatus();
  if (!loadingRest() && (master_.holdsFile() || (master_.size() > 1 && !orders_.known(kDescriptionColumn))))
    setTimerEnabled(tmrPrepareSort, true);
}

void FrmMain::LoadDetailLog(std::string_view ansiName) {
  readDetail(ansiName);
  widestDetail_ = 0;
  const ByteWidths& measure = widths();
  for (const std::string& line : detail_)
    widestDetail_ = std::max(widestDetail_, measure.width(line) + kDetailMargin);
  lvLogDetail.setItemCount(detail_.size());
  Form_Resize();
  UpdateStatus();
}

ui::ListItem FrmMain::masterItem(std::size_t row) const {
  ui::ListItem item;
  if (row >= order_.size()) return item;
  const std::size_t i = order_[row];
  const MasterEntry entry = master_.entry(i);
  const classic::DateTime when = unpackDate(entry.when);
  item.text = displayDate(when, dateForm_);
  item.subItems = {numberText(entry.number), shownText(services_.codec, master_.description(i)),
                   sortKeyText(when)};
  item.iconKey = std::string(categoryKey(entry.category));
  item.tag = shownText(services_.codec, master_.detailName(i));
  return item;
}

ui::ListItem FrmMain::detailItem(std::size_t row) const {
  ui::ListItem item;
  if (row < detail_.size()) item.text = shownText(services_.codec, detail_[row]);
  return item;
}

// Edit and View: find, copy, filter and follow, in the menus after Actions. Nothing here runs
// until the user chooses one of them.

void FrmMain::addEditAndViewMenus() {
  const platform::StringTable& t = services_.strings;
  const ui::Modifiers ctrl{false, true, false};
  const ui::Modifiers shift{true, false, false};
  ui::MenuItem edit{"mEdit", t.text(text::EditMenu)};
  ui::MenuItem find{"mFind", t.text(text::FindMenu), ui::Key::F, ctrl};
  find.onClick = [this] { mFind_Click(); };
  ui::MenuItem findNext{"mFindNext", t.text(text::FindNextMenu), ui::Key::F3};
  findNext.onClick = [this] { mFindNext_Click(true); };
  ui::MenuItem findPrevious{"mFindPrevious", t.text(text::FindPreviousMenu), ui::Key::F3, shift};
  findPrevious.onClick = [this] { mFindNext_Click(false); };
  ui::MenuItem copy{"mCopy", t.text(text::CopyMenu), ui::Key::C, ctrl};
  copy.onClick = [this] { mCopy_Click(); };
  edit.items = {find, findNext, findPrevious, ui::MenuItem{"mSeparator2", "-"}, copy};
  addMenu(edit);

  ui::MenuItem view{"mView", t.text(text::ViewMenu)};
  const text::Id captions[] = {text::ErrorsMenu, text::AdvisoriesMenu, text::TaskEntriesMenu,
                               text::RecoveryMenu, text::UncategorizedMenu};
  for (int k = 0; k < 5; ++k) {
    ui::MenuItem category{kCategoryMenus[k], t.text(captions[k])};
    category.checked = true;
    const auto bit = static_cast<std::uint8_t>(1 << k);
    category.onClick = [this, bit] { mCategory_Click(bit); };
    view.items.push_back(category);
  }
  ui::MenuItem filterText{"mFilterText", t.text(text::FilterTextMenu)};
  filterText.onClick = [this] { mFilterText_Click(); };
  ui::MenuItem showAll{"mShowAll", t.text(text::ShowAllMenu)};
  showAll.onClick = [this] { mShowAll_Click(); };
  ui::MenuItem follow{"mFollow", t.text(text::FollowMenu)};
  follow.onClick = [this] { mFollow_Click(); };
  view.items.push_back(filterText);
  view.items.push_back(showAll);
  view.items.push_back(ui::MenuItem{"mSeparator3", "-"});
  view.items.push_back(follow);
  addMenu(view);
}

std::ptrdiff_t FrmMain::selectedEntry() const {
  const std::ptrdiff_t row = lvLogMaster.selectedIndex();
  if (row < 0 || static_cast<std::size_t>(row) >= order_.size()) return -1;
  return static_cast<std::ptrdiff_t>(order_[static_cast<std::size_t>(row)]);
}

void FrmMain::selectMasterRow(std::size_t row) {
  lvLogMaster.select(static_cast<std::ptrdiff_t>(row));
  lvLogMaster.ensureSelectedVisible();
  LoadDetailLog(master_.detailName(order_[row]));
}

std::string FrmMain::filterStatus() const {
  if (!filter_.active()) return "";
  const platform::StringTable& t = services_.strings;
  return kStatusGap + std::to_string(order_.size()) + " " + t.text(text::FilterStatusOf) + " " +
         std::to_string(master_.size()) + " " + t.text(text::FilterStatusEntries);
}

void FrmMain::mFind_Click() {
  services_.toolkit.showFind(*this, findQuery_, [this](const ui::FindQuery& query) {
    findQuery_ = query;
    findAsked_ = true;
    find(query);
  });
}

void FrmMain::mFindNext_Click(bool down) {
  if (!findAsked_ || findQuery_.text.empty()) {
    findQuery_.down = down;
    mFind_Click();
    return;
  }
  ui::FindQuery query = findQuery_;
  query.down = down;
  find(query);
}

void FrmMain::find(const ui::FindQuery& query) {
  if (query.text.empty()) return;
  const bool inDetail = focused() == &lvLogDetail && lvLogDetail.visible() && !detail_.empty();
  if (!inDetail) completeLoading();  // the search goes through every entry
  if (inDetail ? findInDetail(query) : findInMaster(query)) return;
  ui::MessageBoxRequest box;
  box.text = services_.strings.text(text::NotFound);
  if (const std::size_t at = box.text.find("%1"); at != std::string::npos)
    box.text.replace(at, 2, query.text);
  box.title = services_.strings.text(text::ProgramTitle);
  box.buttons = ui::Buttons::OK;
  box.icon = ui::Icon::Information;
  services_.toolkit.messageBox(box);
}

bool FrmMain::findInMaster(const ui::FindQuery& query) {
  const TextMatcher matcher(services_.codec, query.text, query.matchCase, dateForm_);
  const auto found = findRow(order_.size(), lvLogMaster.selectedIndex(), query.down,
                             [&](std::size_t row) { return matcher.inEntry(master_, order_[row], dateForm_); });
  if (!found) return false;
  selectMasterRow(found->row);
  if (found->wrapped)
    StatusBar1.setSimpleText(StatusBar1.simpleText() + kStatusGap +
                             services_.strings.text(query.down ? text::WrappedDown : text::WrappedUp));
  return true;
}

bool FrmMain::findInDetail(const ui::FindQuery& query) {
  const TextMatcher matcher(services_.codec, query.text, query.matchCase);
  const auto found = findRow(detail_.size(), lvLogDetail.selectedIndex(), query.down,
                             [&](std::size_t row) { return matcher.in(detail_[row]); });
  if (!found) return false;
  lvLogDetail.select(static_cast<std::ptrdiff_t>(found->row));
  lvLogDetail.ensureSelectedVisible();
  UpdateStatus();
  if (found->wrapped)
    StatusBar1.setSimpleText(StatusBar1.simpleText() + kStatusGap +
                             services_.strings.text(query.down ? text::WrappedDown : text::WrappedUp));
  return true;
}

void FrmMain::mCopy_Click() {
  std::string text;
  const std::ptrdiff_t detailRow = lvLogDetail.selectedIndex();
  if (focused() == &lvLogDetail && detailRow >= 0 && static_cast<std::size_t>(detailRow) < detail_.size()) {
    text = shownText(services_.codec, detail_[static_cast<std::size_t>(detailRow)]);
  } else {
    const std::ptrdiff_t row = lvLogMaster.selectedIndex();
    if (row < 0 || static_cast<std::size_t>(row) >= order_.size()) return;
    const ui::ListItem item = masterItem(static_cast<std::size_t>(row));
    text = item.text + "\t" + item.subItems.at(0) + "\t" + item.subItems.at(1);
  }
  services_.toolkit.setClipboardText(*this, text);
}

void FrmMain::mCategory_Click(std::uint8_t bit) {
  completeLoading();  // a filter chooses among every entry
  filter_.categories ^= bit;
  checkFilterMenus();
  applyFilter(selectedEntry());
}

void FrmMain::mFilterText_Click() {
  FrmFilterText dialog(services_.toolkit, services_.strings);
  const auto chosen = dialog.Ask(*this, filter_.text);
  if (!chosen || *chosen == filter_.text) return;
  completeLoading();
  filter_.text = *chosen;
  checkFilterMenus();
  applyFilter(selectedEntry());
}

void FrmMain::mShowAll_Click() {
  if (!filter_.active()) return;
  completeLoading();
  filter_ = EntryFilter();
  checkFilterMenus();
  applyFilter(selectedEntry());
}

// View's ticks show the filter: a ticked category is shown, a ticked Filter by Text holds a text.
void FrmMain::checkFilterMenus() {
  for (std::size_t k = 0; k < std::size(kCategoryMenus); ++k)
    setMenuChecked(kCategoryMenus[k], (filter_.categories & (1u << k)) != 0);
  setMenuChecked("mFilterText", !filter_.text.empty());
}

// The rows shown change: the entry that was selected stays selected where it is still shown;
// otherwise the last row is chosen, as after loading.
void FrmMain::applyFilter(std::ptrdiff_t keepEntry) {
  applySort();
  lvLogMaster.setItemCount(order_.size());
  const std::ptrdiff_t row = keepEntry >= 0 ? order_.rowOf(static_cast<std::uint32_t>(keepEntry)) : -1;
  if (row >= 0) {
    lvLogMaster.select(row);
    lvLogMaster.ensureSelectedVisible();
  } else if (!order_.empty()) {
    selectMasterRow(order_.size() - 1);
  } else {
    detail_.clear();
    detailName_.clear();
    lvLogDetail.setItemCount(0);
    Form_Resize();
  }
  UpdateStatus();
}

void FrmMain::mFollow_Click() {
  follow_ = !follow_;
  setMenuChecked("mFollow", follow_);
  setTimerEnabled(tmrFollow, follow_);
}

void FrmMain::tmrFollow_Timer() {
  // While a log shown tail first is still being read whole, what was appended waits for it.
  if (!follow_ || location_.empty() || loadingRest()) return;
  followMaster();
  followDetail();
}

// Reads what the engine appended to the master log since it was read; a log cut short or replaced
// (its first bytes changed) is read again whole. The newest entry, when selected, stays selected;
// any other selection stays where it is.
void FrmMain::followMaster() {
  const std::size_t known = master_.bytes();
  const auto tail = services_.files.readTail(location_ + kMasterLog, known, kFollowHeadBytes);
  if (!tail) return;
  const std::size_t compared = std::min(tail->head.size(), master_.head(kFollowHeadBytes).size());
  if (tail->size < known || tail->head.substr(0, compared) != master_.head(compared)) {
    LoadMasterLog();
    return;
  }
  if (tail->bytes.empty() || master_.stoppedEarly()) return;
  const std::ptrdiff_t row = lvLogMaster.selectedIndex();
  const bool newestSelected = row >= 0 && static_cast<std::size_t>(row) + 1 == order_.size();
  const std::ptrdiff_t keep = selectedEntry();
  const bool wasEmpty = order_.empty();
  setTimerEnabled(tmrPrepareSort, false);
  order_ = RowOrder();
  orders_.reset();  // before the log it reads changes
  master_.releaseFile();
  master_.append(tail->bytes, &widths());
  applySort();
  lvLogMaster.setItemCount(order_.size());
  const std::int64_t widest = master_.size() > 0 ? master_.widestDescription() + kDescriptionMargin : 0;
  if (widest != widestDescription_) {
    widestDescription_ = widest;
    Form_Resize();
  }
  if ((newestSelected || wasEmpty) && !order_.empty()) {
    selectMasterRow(order_.size() - 1);
  } else if (keep >= 0) {
    lvLogMaster.select(order_.rowOf(static_cast<std::uint32_t>(keep)));
  }
  UpdateStatus();
}

// The detail log on show, followed the same way.
void FrmMain::followDetail() {
  if (detailName_.empty()) return;
  const std::string path = location_ + kLogsFolder + services_.codec.fromAnsi(detailName_) + ".log";
  const auto tail = services_.files.readTail(path, detailLineStart_, 0);
  if (!tail) return;
  if (tail->size < detailLineStart_) {
    LoadDetailLog(std::string(detailName_));
    return;
  }
  if (tail->bytes.empty()) return;
  if (detailLastOpen_ && !detail_.empty()) detail_.pop_back();
  std::vector<std::string> more = detailLines({tail->bytes, tail->complete});
  // The tail starts where the last line without its end started: the next one starts after it.
  const std::size_t end = tail->bytes.find_last_of("\r\n");
  detailLastOpen_ = end + 1 != tail->bytes.size();
  detailLineStart_ = detailLastOpen_ ? detailLineStart_ + (end == std::string::npos ? 0 : end + 1) : tail->size;
  const ByteWidths& measure = widths();
  for (std::string& line : more) {
    widestDetail_ = std::max(widestDetail_, measure.width(line) + kDetailMargin);
    detail_.push_back(std::move(line));
  }
  lvLogDetail.setItemCount(detail_.size());
  Form_Resize();
  UpdateStatus();
}

// Reads the detail log, keeping where a follower goes on reading it.
void FrmMain::readDetail(std::string_view ansiName) {
  detail_.clear();
  detailName_.clear();
  detailLineStart_ = 0;
  detailLastOpen_ = false;
  if (ansiName.empty() || location_.empty() || !safeDetailName(ansiName)) return;
  detailName_ = std::string(ansiName);
  const std::string path = location_ + kLogsFolder + services_.codec.fromAnsi(ansiName) + ".log";
  auto contents = services_.files.readAll(path);
  if (!contents) return;
  detail_ = detailLines(*contents);
  const std::string& bytes = contents->bytes;
  detailLastOpen_ = !bytes.empty() && bytes.back() != '\r' && bytes.back() != '\n';
  const std::size_t end = bytes.find_last_of("\r\n");
  detailLineStart_ = detailLastOpen_ ? (end == std::string::npos ? 0 : end + 1) : bytes.size();
}

}  // namespace quillon
