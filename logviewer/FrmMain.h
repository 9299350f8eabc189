#pragma once
// frmMain, the log viewer's window: the master log's entries above, the selected entry's detail
// log below (shown only while it has lines), and a status bar counting the detail lines.

#include <cstdint>
#include <string>
#include <vector>

#include "base/StringTable.h"
#include "logviewer/EntryFilter.h"
#include "logviewer/EntryOrder.h"
#include "logviewer/LogFiles.h"
#include "logviewer/TextWidths.h"
#include "platform/AnsiCodec.h"
#include "platform/FileReader.h"
#include "platform/Locale.h"
#include "platform/Registry.h"
#include "ui/Form.h"
#include "ui/FormToolkit.h"

namespace quillon {

// Resource ids of the category pictures, in the image list's order "ADV", "DET", "ERR", "REC".
inline constexpr int kFirstCategoryPicture = 201;

struct ViewerServices {
  ui::FormToolkit& toolkit;
  platform::Registry& registry;
  platform::FileReader& files;
  platform::AnsiCodec& codec;
  platform::Locale& locale;
  const platform::StringTable& strings;
};

class FrmMain final : public ui::Form {
 public:
  explicit FrmMain(const ViewerServices& services);

  // Set-up (reads the install location, with its message on failure), then loading the master log.
  void Form_Initialize();
  void Form_Load();
  void Form_Resize();
  void mRefresh_Click();
  void mExit_Click();
  void lvLogMaster_ItemClick(std::size_t row);
  void lvLogMaster_ColumnClick(std::size_t column);

  void LoadMasterLog();
  void LoadDetailLog(std::string_view ansiName);
  void ArrangeLists();
  void UpdateStatus();

  ui::ListView& lvLogMaster;
  ui::ListView& lvLogDetail;
  ui::StatusBar& StatusBar1;
  ui::ImageList& ImageList1;
  // Once the first screen is up, lets the master log's file go (its bytes copied meanwhile) and starts
  // sorting by description ahead of a click on its header.
  ui::Timer& tmrPrepareSort;
  // While the master log's first screen shows its last entries only: starts parsing the whole log
  // on a worker once the screen is up, then shows the whole log when the worker is done.
  ui::Timer& tmrLoadRest;
  // The bytes read from the master log's end for its first screen; 0 reads the whole log at once.
  std::size_t tailBytes = 64 * 1024;
  // While the log is followed: reads what the engine appended to the logs on show.
  ui::Timer& tmrFollow;

  // Edit and View, the menus after Actions.
  void mFind_Click();
  void mFindNext_Click(bool down);
  void mCopy_Click();
  void mCategory_Click(std::uint8_t bit);
  void mFilterText_Click();
  void mShowAll_Click();
  void mFollow_Click();
  void tmrFollow_Timer();
  const EntryFilter& filter() const { return filter_; }

  const std::string& location() const { return location_; }
  std::int64_t widestDescriptionTwips() const { return widestDescription_; }
  std::int64_t widestDetailTwips() const { return widestDetail_; }
  int scrollBarWidthTwips() const { return scrollBarWidth_; }
  const MasterLog& masterLog() const { return master_; }
  // Whether the master list shows the log's last entries only, the rest still being read.
  bool loadingRest() const { return !restPath_.empty(); }
  // Waits for the rest of the master log and shows it whole; for what needs every entry.
  void completeLoading();

 private:
  ui::ListItem masterItem(std::size_t row) const;
  ui::ListItem detailItem(std::size_t row) const;
  const ByteWidths& widths();
  void applySort();
  void tmrPrepareSort_Timer();
  void tmrLoadRest_Timer();
  bool loadTailFirst(const std::string& path);

  // The master list's selection before its log changed: the selected entry by its place in the
  // file, and whether it was the last row.
  struct SelectionMark {
    std::int64_t entry = -1;
    bool last = true;
  };
  SelectionMark markSelection() const;
  // Shows the master log anew after it changed, the selection as marked: a last row selected
  // stays on the last row, another entry stays selected where the new order puts it. The one path
  // for a log loaded, for the rest of a log shown tail first, and for entries appended to it.
  void showMasterLog(const SelectionMark& mark);
  // Edit and View.
  void addEditAndViewMenus();
  void applyFilter(std::ptrdiff_t keepEntry);
  void checkFilterMenus();
  std::ptrdiff_t selectedEntry() const;
  void selectMasterRow(std::size_t row);
  bool findInMaster(const ui::FindQuery& query);
  bool findInDetail(const ui::FindQuery& query);
  void find(const ui::FindQuery& query);
  std::string filterStatus() const;
  void followMaster();
  void followDetail();
  void readDetail(std::string_view ansiName);

  ViewerServices services_;
  std::string location_;
  int scrollBarWidth_ = 0;
  DateForm dateForm_;
  MasterLog master_;
  RowOrder order_;  // reads orders_: reset with it
  std::size_t sortColumn_ = 3;
  bool descending_ = false;
  // After master_: destroyed first, it joins its worker while the log it reads still exists.
  EntryOrders orders_;
  std::vector<std::string> detail_;
  std::int64_t widestDescription_ = 0;
  std::int64_t widestDetail_ = 0;
  ByteWidths widths_;
  bool widthsMeasured_ = false;
  std::string restPath_;  // the master log whose rest is read, while its tail is shown
  // After widths_ and master_: destroyed first, it stops and joins its worker.
  MasterLogLoad rest_;
  // Edit and View.
  EntryFilter filter_;
  std::vector<std::uint32_t> filtered_;  // order_ reads it while a filter is on
  ui::FindQuery findQuery_;
  bool findAsked_ = false;
  bool follow_ = false;
  std::string detailName_;           // the detail log on show (ANSI)
  std::uint64_t detailLineStart_ = 0;  // where its last line starts when it had no end yet, else its size
  bool detailLastOpen_ = false;
};

}  // namespace quillon
