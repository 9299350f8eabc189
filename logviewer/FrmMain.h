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

// Ids of the viewer's string table.
namespace text {
inline constexpr int kCaption = 100;
inline constexpr int kActionMenu = 101;
inline constexpr int kRefresh = 102;
inline constexpr int kExit = 103;
inline constexpr int kEditMenu = 104;
inline constexpr int kFind = 105;
inline constexpr int kFindNext = 106;
inline constexpr int kFindPrevious = 107;
inline constexpr int kCopy = 108;
inline constexpr int kViewMenu = 140;
inline constexpr int kShowErrors = 141;  // 141-145: the categories, in CategoryBit's order
inline constexpr int kFilterText = 146;
inline constexpr int kShowAll = 147;
inline constexpr int kFollow = 148;
inline constexpr int kFilterTextTitle = 150;
inline constexpr int kFilterTextPrompt = 151;
inline constexpr int kOK = 152;
inline constexpr int kCancel = 153;
inline constexpr int kDateHeader = 110;
inline constexpr int kTypeHeader = 111;
inline constexpr int kDescriptionHeader = 112;
inline constexpr int kDetailsHeader = 113;
inline constexpr int kDetailStatus = 120;
inline constexpr int kOf = 121;
inline constexpr int kEntries = 122;
inline constexpr int kWrappedDown = 123;
inline constexpr int kWrappedUp = 124;
inline constexpr int kNoServiceInfo = 130;
inline constexpr int kProgramTitle = 131;
inline constexpr int kNotFound = 132;
}  // namespace text

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
  // The entry shown in a row of the master list.
  std::size_t entryAt(std::size_t row) const { return order_.at(row); }

 private:
  ui::ListItem masterItem(std::size_t row) const;
  ui::ListItem detailItem(std::size_t row) const;
  const ByteWidths& widths();
  void applySort();
  void tmrPrepareSort_Timer();
  // Edit and View.
  void addEditAndViewMenus();
  void applyFilter(std::ptrdiff_t keepEntry);
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
