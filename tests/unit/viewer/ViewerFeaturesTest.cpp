// Find, filter, copy and follow in the viewer's window, through the Edit and View menus and their
// keys, and the parts they rest on: the text search over shown rows and a log that grows.

#include "ViewerFixture.h"
#include "logviewer/EntryFilter.h"
#include "logviewer/FrmFilterText.h"

namespace {

using viewertest::masterLine;

// Four entries of every kind: advisory, a task with a detail log, recovery, error, and none.
std::string sampleLog() {
  return masterLine("12/08/2026 09:00:00", "1401", "Manager started") +
         masterLine("12/08/2026 09:05:00", "0020", "[CP000001] Copy/Update finished") +
         masterLine("12/08/2026 09:06:00", "0455", "Recovered the \xc9tat table") +
         masterLine("12/08/2026 09:07:00", "0500", "Service started") +
         masterLine("12/08/2026 09:10:00", "0007", "Disk full");
}

struct FindCase {
  const char* text;
  bool matchCase;
  bool down;
  std::ptrdiff_t selected;
  std::ptrdiff_t row;  // -1: nothing found
  bool wrapped;
};

class FindRowTest : public ::testing::TestWithParam<FindCase> {};

// What a row holds is the date, type and description as shown: a word matches descriptions, digits
// the type and the date, and letters of the code page fold whatever their case.
TEST_P(FindRowTest, FindsTheNextRowHoldingTheText) {
  const FindCase& c = GetParam();
  platform::Windows1252Codec codec;
  quillon::MasterLog log;
  const quillon::DateForm form;
  log.load(platform::FileContents{sampleLog(), true}, form);
  ASSERT_EQ(log.size(), 5u);
  const quillon::TextMatcher matcher(codec, c.text, c.matchCase, form);
  const auto found = quillon::findRow(log.size(), c.selected, c.down,
                                      [&](std::size_t row) { return matcher.inEntry(log, row, form); });
  ASSERT_EQ(found.has_value(), c.row >= 0) << c.text;
  if (!found) return;
  EXPECT_EQ(static_cast<std::ptrdiff_t>(found->row), c.row) << c.text;
  EXPECT_EQ(found->wrapped, c.wrapped) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Rows, FindRowTest,
                         ::testing::Values(FindCase{"started", false, true, 0, 3, false},
                                           FindCase{"started", false, true, 3, 0, true},
                                           FindCase{"started", false, false, 3, 0, false},
                                           FindCase{"started", false, false, 0, 3, true},
                                           FindCase{"STARTED", false, true, -1, 0, false},
                                           FindCase{"STARTED", true, true, -1, -1, false},
                                           FindCase{"Disk", false, true, 4, 4, true},  // itself, round
                                           FindCase{"\xc3\xa9tat", false, true, 0, 2, false},  // "état"
                                           FindCase{"0455", false, true, 0, 2, false},        // the type
                                           FindCase{"09:07", false, true, 0, 3, false},       // the date
                                           FindCase{"12/08/26 09:1", false, false, 0, 4, true},
                                           FindCase{"CP000001", false, true, 0, -1, false},   // not shown
                                           FindCase{"ENG", false, true, 0, -1, false}));

// A log read in pieces, however the engine's writes cut it, gives the entries of the whole file.
TEST(FollowedLog, AppendedPiecesGiveTheEntriesOfTheWholeFile) {
  const std::string whole = sampleLog() + masterLine("12/08/2026 09:11:00", "0009", "Disk still full");
  quillon::MasterLog once;
  once.load(platform::FileContents{whole, true}, {});
  auto rows = [](const quillon::MasterLog& log) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < log.size(); ++i)
      out.push_back(std::string(log.line(i)) + "|" + std::to_string(log.number(i)) + "|" +
                    std::string(log.description(i)) + "|" + std::to_string(log.when(i)));
    return out;
  };
  const auto expected = rows(once);
  ASSERT_EQ(expected.size(), 6u);
  for (std::size_t first = 0; first <= whole.size(); first += 7) {
    for (std::size_t second = first; second <= whole.size(); second += 23) {
      quillon::MasterLog log;
      log.load(platform::FileContents{whole.substr(0, first), true}, {});
      log.append(whole.substr(first, second - first));
      log.append(whole.substr(second));
      ASSERT_EQ(rows(log), expected) << "cut at " << first << " and " << second;
      ASSERT_EQ(log.bytes(), whole.size());
      ASSERT_TRUE(log.inTimeOrder());
    }
  }
}

class ViewerFeaturesTest : public viewertest::ViewerTest {
 protected:
  const ui::Modifiers ctrl{false, true, false};
  const ui::Modifiers shift{true, false, false};
  std::string status() const { return window->StatusBar1.simpleText(); }
  std::string selectedType() const {
    const auto row = window->lvLogMaster.selectedIndex();
    return row < 0 ? "" : window->lvLogMaster.item(static_cast<std::size_t>(row)).subItems.at(0);
  }
};

TEST_F(ViewerFeaturesTest, FindsCopiesAndFiltersThroughTheMenusAndKeys) {
  putMaster(sampleLog());
  putDetail("CP000001", 12);
  auto& w = open();
  ASSERT_EQ(selectedType(), "0007");

  // Ctrl+F opens the system's Find dialog; its Find Next searches on from the selected row, round.
  toolkit.pressShortcut(w, ui::Key::F, ctrl);
  ASSERT_TRUE(toolkit.findShown);
  toolkit.findNext({"started", false, true});
  EXPECT_EQ(selectedType(), "1401");
  EXPECT_EQ(toolkit.scrolledTo(w.lvLogMaster), 0);
  EXPECT_EQ(status(), "      Passed the end of the list; found from its start.");
  EXPECT_TRUE(toolkit.press(w, ui::Key::F3));
  EXPECT_EQ(selectedType(), "0500");
  EXPECT_EQ(status(), "");
  EXPECT_TRUE(toolkit.press(w, ui::Key::F3, shift));
  EXPECT_EQ(selectedType(), "1401");
  // Nothing found: a short box, the selection unchanged.
  toolkit.expectBox();
  toolkit.findNext({"STARTED", true, true});
  ASSERT_EQ(toolkit.shown.size(), 1u);
  EXPECT_EQ(toolkit.shown[0].text, "Cannot find \"STARTED\".");
  EXPECT_EQ(selectedType(), "1401");

  // The task entry's detail log; with the focus there, Find searches its lines and Copy copies one.
  toolkit.clickItem(w.lvLogMaster, 1);
  toolkit.press(w, ui::Key::C, ctrl);
  EXPECT_EQ(toolkit.clipboard, "12/08/26 09:05:00\t0020\t Copy/Update finished");
  w.setFocus(w.lvLogDetail);
  toolkit.findNext({"step 1", false, true});
  EXPECT_EQ(w.lvLogDetail.selectedIndex(), 0);
  toolkit.findNext({"step 1", false, true});
  EXPECT_EQ(w.lvLogDetail.selectedIndex(), 9);  // "step 10"
  EXPECT_EQ(selectedType(), "0020");
  toolkit.press(w, ui::Key::C, ctrl);
  EXPECT_EQ(toolkit.clipboard, "12/08/2026 10:00:00 step 10");
  w.setFocus(w.lvLogMaster);

  // Filter: errors and advisories off; the status counts what is shown, the selected entry stays.
  toolkit.chooseMenu(w, "mShowErrors");
  toolkit.chooseMenu(w, "mShowAdvisories");
  EXPECT_FALSE(w.menuItem("mShowErrors")->checked);
  EXPECT_EQ(types(), (std::vector<std::string>{"0020", "0455", "0500"}));
  EXPECT_EQ(selectedType(), "0020");
  EXPECT_EQ(status(), "      Detail:  12      3 of 5 entries");
  // Sorting keeps the chosen entry, and Refresh chooses the last row, of what is shown.
  toolkit.clickItem(w.lvLogMaster, 2);
  toolkit.clickColumn(w.lvLogMaster, 0);
  EXPECT_EQ(types(), (std::vector<std::string>{"0500", "0455", "0020"}));
  EXPECT_EQ(selectedType(), "0500");
  toolkit.pressShortcut(w, ui::Key::F5);
  EXPECT_EQ(types(), (std::vector<std::string>{"0500", "0455", "0020"}));
  EXPECT_EQ(selectedType(), "0020");
  // And by text, through its dialog.
  toolkit.modalScripts["frmFilterText"] = [&](ui::Form& dialog) {
    auto& d = static_cast<quillon::FrmFilterText&>(dialog);
    EXPECT_EQ(d.txtText.caption(), "");
    toolkit.type(d.txtText, "STA");
    toolkit.click(d.cmdOK);
  };
  toolkit.chooseMenu(w, "mFilterText");
  EXPECT_TRUE(w.menuItem("mFilterText")->checked);
  EXPECT_EQ(types(), (std::vector<std::string>{"0500"}));
  EXPECT_EQ(selectedType(), "0500");  // the selected entry went: the last row is chosen
  EXPECT_EQ(status(), "      1 of 5 entries");
  // Showing all again keeps the selected entry and gives the status its old text.
  toolkit.chooseMenu(w, "mShowAll");
  EXPECT_EQ(types(), (std::vector<std::string>{"0007", "0500", "0455", "0020", "1401"}));
  EXPECT_EQ(selectedType(), "0500");
  EXPECT_EQ(status(), "");
  EXPECT_TRUE(w.menuItem("mShowErrors")->checked);
  EXPECT_FALSE(w.menuItem("mFilterText")->checked);
}

TEST_F(ViewerFeaturesTest, FollowingShowsWhatTheEngineAppends) {
  putMaster(sampleLog());
  putDetail("CP000001", 2);
  auto& w = open();
  // Off at start: nothing is read again.
  putMaster(sampleLog() + masterLine("12/08/2026 09:11:00", "0009", "Disk still full"));
  toolkit.tick(w.tmrFollow);
  EXPECT_EQ(w.lvLogMaster.itemCount(), 5u);

  toolkit.chooseMenu(w, "mFollow");
  EXPECT_TRUE(w.menuItem("mFollow")->checked);
  files.opened.clear();
  toolkit.tick(w.tmrFollow);
  // The newest entry was selected: the new newest is.
  EXPECT_EQ(w.lvLogMaster.itemCount(), 6u);
  EXPECT_EQ(selectedType(), "0009");
  // Another selection stays, also while a line arrives in two writes.
  toolkit.clickItem(w.lvLogMaster, 1);
  std::string grown = sampleLog() + masterLine("12/08/2026 09:11:00", "0009", "Disk still full");
  const std::string next = masterLine("12/08/2026 09:12:00", "0011", "Disk gone");
  putMaster(grown + next.substr(0, 40));
  toolkit.tick(w.tmrFollow);
  putMaster(grown + next);
  toolkit.tick(w.tmrFollow);
  EXPECT_EQ(types(), (std::vector<std::string>{"1401", "0020", "0455", "0500", "0007", "0009", "0011"}));
  EXPECT_EQ(row(6)[2], "Disk gone");
  EXPECT_EQ(selectedType(), "0020");
  // The detail log on show is followed too, a line cut by a write included.
  files.put(detailPath("CP000001"), files.files[detailPath("CP000001")].bytes + "12/08/2026 10:00:03 ENG step 3\r\n12/08");
  toolkit.tick(w.tmrFollow);
  files.put(detailPath("CP000001"), files.files[detailPath("CP000001")].bytes + "/2026 10:00:04 ENG step 4\r\n");
  toolkit.tick(w.tmrFollow);
  ASSERT_EQ(w.lvLogDetail.itemCount(), 4u);
  EXPECT_EQ(w.lvLogDetail.item(3).text, "12/08/2026 10:00:04 step 4");
  EXPECT_EQ(status(), "      Detail:  4");
  // A log replaced by a shorter one is read again whole.
  putMaster(masterLine("12/09/2026 08:00:00", "0401", "A new log"));
  toolkit.tick(w.tmrFollow);
  EXPECT_EQ(types(), (std::vector<std::string>{"0401"}));
  EXPECT_EQ(selectedType(), "0401");
  toolkit.chooseMenu(w, "mFollow");
  EXPECT_FALSE(w.menuItem("mFollow")->checked);
  EXPECT_FALSE(w.tmrFollow.enabled);
}

}  // namespace
