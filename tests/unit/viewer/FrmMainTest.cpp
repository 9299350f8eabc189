// The viewer's window through the test toolkit: set-up, loading, the detail pane, the layout and
// the sorting, as the user sees them.

#include "ViewerFixture.h"

namespace {

using viewertest::masterLine;

class FrmMainTest : public viewertest::ViewerTest {
 protected:
  // Three entries: an advisory one, one with a 12-line detail log, and an error without one.
  void putSample() {
    putMaster(masterLine("12/08/2026 09:00:00", "1401", "Manager started") +
              masterLine("12/08/2026 09:05:00", "0020", "[CP000001] Copy/Update finished") +
              masterLine("12/08/2026 09:10:00", "0007", "Disk full") +
              masterLine("12/08/2026 09:11:00", "0000", "not listed"));
    putDetail("CP000001", 12);
  }
  // The layout: 15 twips per pixel, a scroll bar of 17 pixels, a status bar of 330 twips.
  static constexpr int kAvailable = 6285 - 330 + 2 * 15;
};

TEST_F(FrmMainTest, SetsUpCaptionMenuAndColumns) {
  putSample();
  auto& w = open();
  EXPECT_EQ(w.caption(), "Korvane\xe2\x84\xa2 Logs");
  EXPECT_EQ(w.clientWidth(), 9630);
  EXPECT_EQ(w.clientHeight(), 6285);
  ASSERT_EQ(w.menus().size(), 1u);
  const ui::MenuItem& action = w.menus()[0];
  EXPECT_EQ(action.name, "mAction");
  EXPECT_EQ(action.caption, "&Actions");
  ASSERT_EQ(action.items.size(), 3u);
  EXPECT_EQ(action.items[0].caption, "&Refresh");
  EXPECT_EQ(action.items[0].shortcut, ui::Key::F5);
  EXPECT_TRUE(action.items[1].isSeparator());
  EXPECT_EQ(action.items[2].caption, "E&xit");
  ASSERT_EQ(w.lvLogMaster.columns().size(), 4u);
  EXPECT_EQ(w.lvLogMaster.columns()[0].header, "Date");
  EXPECT_EQ(w.lvLogMaster.columns()[1].header, "Type");
  EXPECT_EQ(w.lvLogMaster.columns()[2].header, "Description");
  EXPECT_EQ(w.lvLogMaster.columns()[3].header, "");
  EXPECT_EQ(w.lvLogMaster.columnWidth(3), 0);
  EXPECT_EQ(w.lvLogDetail.columns().at(0).header, "Details");
  EXPECT_EQ(w.scrollBarWidthTwips(), 255);
  EXPECT_EQ(w.location(), viewertest::kLocation);
}

TEST_F(FrmMainTest, ShowsEntriesAndSelectsTheLastWithItsDetailLog) {
  putSample();
  auto& w = open();
  ASSERT_EQ(w.lvLogMaster.itemCount(), 3u);
  EXPECT_EQ(row(0), (std::vector<std::string>{"12/08/26 09:00:00", "1401", "Manager started"}));
  const ui::ListItem second = w.lvLogMaster.item(1);
  EXPECT_EQ(second.iconKey, "DET");
  EXPECT_EQ(second.tag, "CP000001");
  EXPECT_EQ(second.subItems.at(1), " Copy/Update finished");  // from position 40 on
  EXPECT_EQ(second.subItems.at(2), "20261208090500");
  EXPECT_EQ(w.lvLogMaster.item(0).iconKey, "ADV");
  EXPECT_EQ(w.lvLogMaster.item(2).iconKey, "ERR");
  // The last entry has no detail log: no pane, no status, the master list over the whole height.
  EXPECT_EQ(w.lvLogMaster.selectedIndex(), 2);
  EXPECT_EQ(toolkit.scrolledTo(w.lvLogMaster), 2);
  EXPECT_FALSE(w.lvLogDetail.visible());
  EXPECT_EQ(w.StatusBar1.simpleText(), "");
  EXPECT_EQ(w.lvLogMaster.bounds(), (ui::Bounds{0, 0, 9630, kAvailable}));
  EXPECT_EQ(files.opened, std::vector<std::string>{masterPath()});
}

TEST_F(FrmMainTest, ChoosingAnEntryShowsOrHidesTheDetailPane) {
  putSample();
  auto& w = open();
  toolkit.clickItem(w.lvLogMaster, 1);
  ASSERT_EQ(w.lvLogDetail.itemCount(), 12u);
  EXPECT_TRUE(w.lvLogDetail.visible());
  EXPECT_EQ(w.StatusBar1.simpleText(), "      Detail:  12");
  EXPECT_EQ(w.lvLogDetail.item(0).text, "12/08/2026 10:00:01 step 1");
  const int masterHeight = 1496;  // a quarter of the available height, rounded
  EXPECT_EQ(w.lvLogMaster.bounds(), (ui::Bounds{0, 0, 9630, masterHeight}));
  EXPECT_EQ(w.lvLogDetail.bounds(), (ui::Bounds{0, masterHeight, 9630, kAvailable - masterHeight}));

  toolkit.clickItem(w.lvLogMaster, 0);
  EXPECT_EQ(w.lvLogDetail.itemCount(), 0u);
  EXPECT_FALSE(w.lvLogDetail.visible());
  EXPECT_EQ(w.StatusBar1.simpleText(), "");
  EXPECT_EQ(w.lvLogMaster.height(), kAvailable);
}

TEST_F(FrmMainTest, AnEmptyDetailLogHidesThePane) {
  putMaster(masterLine("12/08/2026 09:05:00", "0020", "[EMPTY001] nothing logged"));
  files.put(detailPath("EMPTY001"), "");
  auto& w = open();
  EXPECT_EQ(files.opened.back(), detailPath("EMPTY001"));
  EXPECT_FALSE(w.lvLogDetail.visible());
  EXPECT_EQ(w.StatusBar1.simpleText(), "");
}

TEST_F(FrmMainTest, WithoutAMasterLogTheWindowIsEmpty) {
  auto& w = open();
  EXPECT_EQ(w.lvLogMaster.itemCount(), 0u);
  EXPECT_FALSE(w.lvLogDetail.visible());
  EXPECT_EQ(w.StatusBar1.simpleText(), "");
  EXPECT_EQ(w.lvLogMaster.bounds(), (ui::Bounds{0, 0, 9630, kAvailable}));
  EXPECT_EQ(w.lvLogMaster.columnWidth(2), 9630 - 1900 - 750 - 255 - 60);
}

TEST_F(FrmMainTest, AnUnreadableLocationIsReportedAndNoFileIsOpened) {
  registry = fakes::FakeRegistry();
  putSample();
  toolkit.expectBox();
  auto& w = open();
  EXPECT_TRUE(fakes::showedOneBox(toolkit.shown, {"Unable to read the Korvane ServiceInfo Key.", "Quillon",
                                                  ui::Buttons::OK, ui::Icon::None}));
  EXPECT_TRUE(w.loaded());
  toolkit.pressShortcut(w, ui::Key::F5);
  EXPECT_EQ(w.lvLogMaster.itemCount(), 0u);
  EXPECT_TRUE(files.opened.empty());
}

TEST_F(FrmMainTest, DetailNamesThatLeaveTheLogsFolderOpenNothing) {
  putMaster(masterLine("12/08/2026 09:05:00", "0020", "[..\\..\\ab] climbing") +
            masterLine("12/08/2026 09:06:00", "0020", "[a:b*c?d|] not a name"));
  auto& w = open();
  toolkit.clickItem(w.lvLogMaster, 0);
  EXPECT_EQ(files.opened, std::vector<std::string>{masterPath()});
  EXPECT_FALSE(w.lvLogDetail.visible());
}

TEST_F(FrmMainTest, ColumnClicksReverseAndSwitchTheSort) {
  putMaster(masterLine("12/08/2026 09:00:00", "0030", "bravo") +
            masterLine("12/08/2026 09:01:00", "0010", "Charlie") +
            masterLine("12/08/2026 09:02:00", "0020", "alpha"));
  auto& w = open();
  using V = std::vector<std::string>;
  EXPECT_EQ(types(), (V{"0030", "0010", "0020"}));
  toolkit.clickColumn(w.lvLogMaster, 0);  // sorted by the hidden date key already: newest first
  EXPECT_EQ(types(), (V{"0020", "0010", "0030"}));
  EXPECT_EQ(w.lvLogMaster.sortOrder(), ui::SortOrder::Descending);
  EXPECT_EQ(w.lvLogMaster.sortKey(), 3u);
  toolkit.clickColumn(w.lvLogMaster, 0);
  EXPECT_EQ(types(), (V{"0030", "0010", "0020"}));
  toolkit.clickColumn(w.lvLogMaster, 1);
  EXPECT_EQ(types(), (V{"0010", "0020", "0030"}));
  toolkit.clickColumn(w.lvLogMaster, 1);
  EXPECT_EQ(types(), (V{"0030", "0020", "0010"}));
  toolkit.clickColumn(w.lvLogMaster, 2);
  EXPECT_EQ(types(), (V{"0020", "0030", "0010"}));  // alpha, bravo, Charlie
  EXPECT_EQ(w.lvLogMaster.sortKey(), 2u);
  EXPECT_EQ(w.lvLogMaster.sortOrder(), ui::SortOrder::Ascending);
}

TEST_F(FrmMainTest, SortingKeepsTheSelectedEntryAndRefreshKeepsTheSort) {
  putSample();
  auto& w = open();
  toolkit.clickItem(w.lvLogMaster, 1);    // the entry with the detail log
  toolkit.clickColumn(w.lvLogMaster, 1);  // by type: 0007, 0020, 1401
  EXPECT_EQ(w.lvLogMaster.selectedIndex(), 1);
  EXPECT_EQ(w.lvLogMaster.item(1).tag, "CP000001");
  toolkit.clickColumn(w.lvLogMaster, 1);  // 1401, 0020, 0007
  EXPECT_EQ(w.lvLogMaster.selectedIndex(), 1);

  toolkit.clickColumn(w.lvLogMaster, 0);  // by date, ascending
  toolkit.clickColumn(w.lvLogMaster, 1);  // by type again, ascending
  toolkit.chooseMenu(w, "mRefresh");
  EXPECT_EQ(types(), (std::vector<std::string>{"0007", "0020", "1401"}));
  // The last item in the current order, not the newest entry.
  EXPECT_EQ(w.lvLogMaster.selectedIndex(), 2);
  EXPECT_EQ(w.lvLogMaster.item(2).subItems.at(1), "Manager started");
}

TEST_F(FrmMainTest, TheDescriptionOrderPreparedAheadFollowsTheFileOnRefresh) {
  putMaster(masterLine("12/08/2026 09:00:00", "0001", "delta") +
            masterLine("12/08/2026 09:01:00", "0002", "Alpha") +
            masterLine("12/08/2026 09:02:00", "0003", "charlie"));
  auto& w = open();
  using V = std::vector<std::string>;
  ASSERT_TRUE(w.tmrPrepareSort.enabled);
  w.tmrPrepareSort.onTimer();
  EXPECT_FALSE(w.tmrPrepareSort.enabled);

  // The file changed before the click: the order prepared for the old one is not used.
  putMaster(masterLine("12/08/2026 09:00:00", "0001", "bravo") +
            masterLine("12/08/2026 09:01:00", "0002", "echo") +
            masterLine("12/08/2026 09:02:00", "0003", "Able"));
  toolkit.chooseMenu(w, "mRefresh");
  EXPECT_TRUE(w.tmrPrepareSort.enabled);
  toolkit.clickColumn(w.lvLogMaster, 2);
  EXPECT_EQ(types(), (V{"0003", "0001", "0002"}));  // Able, bravo, echo
  toolkit.clickColumn(w.lvLogMaster, 2);
  EXPECT_EQ(types(), (V{"0002", "0001", "0003"}));
  EXPECT_EQ(w.lvLogMaster.selectedIndex(), 2);  // still the newest entry, "Able"

  // Sorted by description, changed again: Refresh sorts the new texts and needs no preparation.
  putMaster(masterLine("12/08/2026 09:00:00", "0001", "zulu") +
            masterLine("12/08/2026 09:01:00", "0002", "yankee") +
            masterLine("12/08/2026 09:02:00", "0003", "xray") +
            masterLine("12/08/2026 09:03:00", "0004", "Xray"));
  toolkit.chooseMenu(w, "mRefresh");
  EXPECT_EQ(types(), (V{"0001", "0002", "0004", "0003"}));  // descending: equal texts reversed too
  EXPECT_FALSE(w.tmrPrepareSort.enabled);
  toolkit.clickColumn(w.lvLogMaster, 1);
  EXPECT_EQ(types(), (V{"0001", "0002", "0003", "0004"}));
}

TEST_F(FrmMainTest, TheMasterLogsFileIsLetGoOnceTheFirstScreenIsUp) {
  files.holdFiles = true;
  putMaster(masterLine("12/08/2026 09:00:00", "0020", "[CP000001] Copy/Update finished"));
  putDetail("CP000001", 3);
  auto& w = open();
  // The first screen is drawn from the held file; even a log of one entry lets it go afterwards.
  EXPECT_EQ(files.heldViews, 1);
  EXPECT_TRUE(w.masterLog().holdsFile());
  EXPECT_EQ(row(0), (std::vector<std::string>{"12/08/26 09:00:00", "0020", " Copy/Update finished"}));
  ASSERT_TRUE(w.tmrPrepareSort.enabled);
  w.tmrPrepareSort.onTimer();
  EXPECT_EQ(files.heldViews, 0);
  EXPECT_FALSE(w.masterLog().holdsFile());
  EXPECT_FALSE(w.tmrPrepareSort.enabled);
  EXPECT_EQ(row(0), (std::vector<std::string>{"12/08/26 09:00:00", "0020", " Copy/Update finished"}));
  EXPECT_EQ(w.lvLogDetail.itemCount(), 3u);

  // Refresh lets the old view go and holds the new file until the next first screen.
  putMaster(masterLine("12/08/2026 09:00:00", "0001", "one") +
            masterLine("12/08/2026 09:01:00", "0002", "two"));
  toolkit.chooseMenu(w, "mRefresh");
  EXPECT_EQ(files.heldViews, 1);
  toolkit.clickColumn(w.lvLogMaster, 2);  // a sort before the timer reads the held bytes
  EXPECT_EQ(types(), (std::vector<std::string>{"0001", "0002"}));
  window.reset();  // closed while held: the copy is joined, the view goes
  EXPECT_EQ(files.heldViews, 0);
}

TEST_F(FrmMainTest, RefreshOrClosingWhileTheOrderIsPreparedIsSafe) {
  // Large enough that the worker still sorts when the log is replaced or the window closes.
  constexpr int kLines = 20000;
  auto text = [](int i, int shift) {
    return "entry " + std::to_string(100000 + (i * 7919 + shift) % kLines);
  };
  auto put = [&](int shift) {
    std::string bytes;
    for (int i = 0; i < kLines; ++i)
      bytes += masterLine("12/08/2026 09:00:00", std::to_string(1000 + i % 9000), text(i, shift));
    putMaster(bytes);
  };
  put(0);
  auto& w = open();
  w.tmrPrepareSort.onTimer();
  put(1);
  toolkit.chooseMenu(w, "mRefresh");
  ASSERT_EQ(w.lvLogMaster.itemCount(), static_cast<std::size_t>(kLines));
  w.tmrPrepareSort.onTimer();
  toolkit.clickColumn(w.lvLogMaster, 2);
  EXPECT_EQ(w.lvLogMaster.item(0).subItems.at(1), "entry 100000");
  // The selection stays on the last entry of the file, wherever the sort put it.
  EXPECT_EQ(w.lvLogMaster.item(static_cast<std::size_t>(w.lvLogMaster.selectedIndex())).subItems.at(1),
            text(kLines - 1, 1));

  toolkit.clickColumn(w.lvLogMaster, 1);
  put(2);
  toolkit.chooseMenu(w, "mRefresh");
  ASSERT_TRUE(w.tmrPrepareSort.enabled);
  w.tmrPrepareSort.onTimer();
  window.reset();  // closed while the worker may sort: it is joined before the log goes (ASan)
}

TEST_F(FrmMainTest, RefreshReadsTheFileAgainAfterAReadError) {
  putMaster(masterLine("12/08/2026 09:00:00", "0001", "one") +
            masterLine("99/99/2026 09:00:00", "0002", "bad") +
            masterLine("12/08/2026 09:02:00", "0003", "three"));
  auto& w = open();
  EXPECT_EQ(w.lvLogMaster.itemCount(), 1u);
  putMaster(masterLine("12/08/2026 09:00:00", "0001", "one") +
            masterLine("12/08/2026 09:01:00", "0002", "two"));
  toolkit.pressShortcut(w, ui::Key::F5);
  EXPECT_EQ(w.lvLogMaster.itemCount(), 2u);
  EXPECT_EQ(w.lvLogMaster.selectedIndex(), 1);
}

TEST_F(FrmMainTest, LongTextsWidenTheirColumns) {
  const std::string wide(200, 'W');
  putMaster(masterLine("12/08/2026 09:00:00", "0001", wide) +
            masterLine("12/08/2026 09:01:00", "0020", "[LONG0001] x"));
  files.put(detailPath("LONG0001"), "12/08/2026 10:00:00 ENG " + std::string(100, 'M') + "\r\n");
  auto& w = open();
  EXPECT_EQ(w.widestDescriptionTwips(), 200 * 180 + 60);
  EXPECT_EQ(w.lvLogMaster.columnWidth(2), 200 * 180 + 60);
  // The detail line: 19 characters of date (10 digits 90 each, "/" 90, " " 45, ":" 90), a space, 100 "M".
  const int detailWidth = fakes::FakeFormToolkit::widthOf("12/08/2026 10:00:00 " + std::string(100, 'M'));
  EXPECT_EQ(w.lvLogDetail.columnWidth(0), detailWidth + 120);
}

TEST_F(FrmMainTest, ASmallWindowKeepsItsMinimumSizes) {
  putSample();
  auto& w = open();
  toolkit.clickItem(w.lvLogMaster, 1);
  toolkit.resize(w, 300, 200);
  EXPECT_EQ(w.lvLogMaster.height() + w.lvLogDetail.height(), 100 * 15);
  EXPECT_EQ(w.lvLogMaster.columnWidth(2), std::max<std::int64_t>(255, w.widestDescriptionTwips()));
  EXPECT_EQ(w.lvLogDetail.columnWidth(0), std::max<std::int64_t>(255, w.widestDetailTwips()));
  toolkit.resize(w, 12000, 9000);
  EXPECT_EQ(w.lvLogMaster.width(), 12000);
  EXPECT_EQ(w.lvLogMaster.columnWidth(2), 12000 - 1900 - 750 - 255 - 60);
  // A dragged column stays as the user left it and the description takes the rest.
  w.lvLogMaster.userSetColumnWidth(0, 3000);
  toolkit.resize(w, 12000, 9000);
  EXPECT_EQ(w.lvLogMaster.columnWidth(0), 3000);
  EXPECT_EQ(w.lvLogMaster.columnWidth(2), 12000 - 3000 - 750 - 255 - 60);
}

TEST_F(FrmMainTest, ExitUnloadsTheWindow) {
  auto& w = open();
  toolkit.chooseMenu(w, "mExit");
  EXPECT_FALSE(w.loaded());
  EXPECT_EQ(toolkit.unloads, 1);
}

}  // namespace
