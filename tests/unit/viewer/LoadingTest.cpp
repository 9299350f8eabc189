// The master log shown tail first: the first screen from the file's last bytes, the rest parsed on a
// worker, and once it is shown the window exactly as a load of the whole log leaves it.

#include <chrono>
#include <thread>

#include "ViewerFixture.h"

namespace {

using viewertest::masterLine;

// What the user sees: every master row, the selection and where the list scrolled, the columns,
// the detail pane and the status bar.
struct Screen {
  std::vector<std::vector<std::string>> rows;
  std::ptrdiff_t selected = -1;
  std::ptrdiff_t scrolledTo = -1;
  std::vector<int> widths;
  std::size_t sortKey = 0;
  ui::SortOrder sortOrder = ui::SortOrder::Ascending;
  std::vector<std::string> details;
  bool detailVisible = false;
  std::string status;
  bool operator==(const Screen&) const = default;
};

struct LogCase {
  const char* name;
  std::string log;
  bool tailFirst;  // a window of a few lines shows the tail first
};
void PrintTo(const LogCase& log, std::ostream* out) {
  *out << log.name;
}

std::string dated(int i) {
  char when[32];
  std::snprintf(when, sizeof when, "12/%02d/2026 %02d:%02d:%02d", 1 + i / 86400 % 28, i / 3600 % 24,
                i / 60 % 60, i % 60);
  return when;
}

// Entries in time order: every seventh with a detail log, descriptions of many widths (the widest
// early on), a line that is no entry now and then; the line ends as given.
std::string orderedLog(int count, const std::string& end) {
  std::string log;
  for (int i = 0; i < count; ++i) {
    std::string line =
        masterLine(dated(i * 37), i % 11 == 5 ? "0000" : std::to_string(1000 + i * 13 % 9000),
                   i % 7 == 3 ? "[TASK" + std::to_string(1000 + i % 3) + "] task " + std::to_string(i)
                              : std::string(i == 4 ? 90 : 1 + i % 23, 'a' + i % 26));
    line.resize(line.size() - 2);
    log += line + end;
  }
  return log;
}

std::vector<LogCase> logCases() {
  const std::string crlf = orderedLog(300, "\r\n");
  std::string mixed;  // LF and CR alone, and entries without a number
  for (int i = 0; i < 300; ++i)
    mixed +=
        masterLine(dated(i * 5), i % 4 == 0 ? "    " : std::to_string(100 + i), "line " + std::to_string(i))
            .substr(0, 40 + i % 3) +
        (i % 2 ? "\n" : "\r");
  // The newest entry early on: sorted by date it is the last row, wherever the file ends.
  std::string outOfOrder = crlf;
  outOfOrder.replace(0, 19, "12/28/2026 23:59:59");
  std::string badDate = crlf;
  badDate.replace(badDate.find("\r\n", crlf.size() / 2) + 2, 2, "99");
  return {{"InTimeOrder", crlf, true},
          {"LineEndsAndNonEntries", mixed, true},
          {"OutOfTimeOrder", outOfOrder, true},
          {"StoppedByABadDate", badDate, true},
          {"NoEntryAtTheEnd", crlf + std::string(5000, '\n'), false}};
}

class LoadingTest : public viewertest::ViewerTest {
 protected:
  LoadingTest() {
    files.tails = true;
    for (int k = 0; k < 3; ++k) putDetail("TASK" + std::to_string(1000 + k), 4 + k);
  }

  quillon::FrmMain& openReading(std::size_t tailBytes) {
    window = std::make_unique<quillon::FrmMain>(services);
    window->tailBytes = tailBytes;
    window->Form_Initialize();
    window->show();
    return *window;
  }

  // Lets the timer run as the message loop would, until the whole log is shown.
  void awaitWholeLog(quillon::FrmMain& w) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (w.tmrLoadRest.enabled && std::chrono::steady_clock::now() < deadline) {
      w.tmrLoadRest.onTimer();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_FALSE(w.loadingRest());
  }

  Screen screenOf(const quillon::FrmMain& w) {
    Screen s;
    for (std::size_t r = 0; r < w.lvLogMaster.itemCount(); ++r) {
      const ui::ListItem item = w.lvLogMaster.item(r);
      s.rows.push_back(
          {item.text, item.subItems.at(0), item.subItems.at(1), item.subItems.at(2), item.iconKey, item.tag});
    }
    s.selected = w.lvLogMaster.selectedIndex();
    s.scrolledTo = toolkit.scrolledTo(w.lvLogMaster);
    for (std::size_t c = 0; c < w.lvLogMaster.columns().size(); ++c)
      s.widths.push_back(w.lvLogMaster.columnWidth(c));
    s.widths.push_back(w.lvLogDetail.columnWidth(0));
    s.sortKey = w.lvLogMaster.sortKey();
    s.sortOrder = w.lvLogMaster.sortOrder();
    for (std::size_t r = 0; r < w.lvLogDetail.itemCount(); ++r)
      s.details.push_back(w.lvLogDetail.item(r).text);
    s.detailVisible = w.lvLogDetail.visible();
    s.status = w.StatusBar1.simpleText();
    return s;
  }
};

class TailFirstTest : public LoadingTest,
                      public ::testing::WithParamInterface<std::tuple<LogCase, std::size_t>> {};

TEST_P(TailFirstTest, EndsAsAWholeLoadDoes) {
  const auto& [log, tailBytes] = GetParam();
  putMaster(log.log);
  const Screen whole = screenOf(openReading(0));
  ASSERT_GT(whole.rows.size(), 20u);
  ASSERT_FALSE(window->loadingRest());
  toolkit.clickColumn(window->lvLogMaster, 2);
  const Screen wholeByDescription = screenOf(*window);

  auto& w = openReading(tailBytes);
  if (tailBytes >= 1000) {
    EXPECT_EQ(w.loadingRest(), log.tailFirst);
  }
  if (w.loadingRest()) {
    // The first screen: the file's last entries, the last one selected with its detail log.
    const std::size_t shown = w.lvLogMaster.itemCount();
    ASSERT_GT(shown, 0u);
    EXPECT_LT(shown, whole.rows.size());
    EXPECT_EQ(w.lvLogMaster.selectedIndex(), static_cast<std::ptrdiff_t>(shown - 1));
    EXPECT_EQ(toolkit.scrolledTo(w.lvLogMaster), static_cast<std::ptrdiff_t>(shown - 1));
    ASSERT_EQ(w.masterLog().size(), shown);  // in the file's order, as the log is in time order
    EXPECT_EQ(w.masterLog().fileOffset(shown - 1),
              log.log.find_last_of("\r\n", log.log.find_last_not_of("\r\n")) + 1);
    awaitWholeLog(w);
  }
  EXPECT_EQ(screenOf(w), whole);
  // The order by description, sorted ahead with the rest of the log, is the one a click sorts.
  toolkit.clickColumn(w.lvLogMaster, 2);
  EXPECT_EQ(screenOf(w), wholeByDescription);
}

INSTANTIATE_TEST_SUITE_P(Logs, TailFirstTest,
                         ::testing::Combine(::testing::ValuesIn(logCases()),
                                            ::testing::Values(97, 1000, 4096)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  std::to_string(std::get<1>(info.param));
                         });

TEST_F(LoadingTest, TheUsersChoiceDuringLoadingStaysAndAClickWaitsForTheWholeLog) {
  const std::string log = orderedLog(20000, "\r\n");
  putMaster(log);
  auto& w = openReading(4096);
  ASSERT_TRUE(w.loadingRest());
  const std::size_t tail = w.lvLogMaster.itemCount();
  // An entry of the first screen with a detail log, chosen before the rest arrives.
  std::size_t chosen = 0;
  while (w.lvLogMaster.item(chosen).tag.empty()) ++chosen;
  const ui::ListItem item = w.lvLogMaster.item(chosen);
  toolkit.clickItem(w.lvLogMaster, chosen);
  const std::size_t details = w.lvLogDetail.itemCount();
  ASSERT_GT(details, 0u);
  awaitWholeLog(w);
  const std::size_t all = w.lvLogMaster.itemCount();
  ASSERT_GT(all, tail);
  // The same entry, now further down; its detail log still on show.
  EXPECT_EQ(w.lvLogMaster.selectedIndex(), static_cast<std::ptrdiff_t>(all - tail + chosen));
  EXPECT_EQ(w.lvLogMaster.item(all - tail + chosen).subItems, item.subItems);
  EXPECT_EQ(w.lvLogDetail.itemCount(), details);

  // A column click while the rest loads sorts the whole log, the chosen entry still selected.
  toolkit.pressShortcut(w, ui::Key::F5);
  ASSERT_TRUE(w.loadingRest());
  toolkit.clickItem(w.lvLogMaster, chosen);
  toolkit.clickColumn(w.lvLogMaster, 2);
  EXPECT_FALSE(w.loadingRest());
  EXPECT_EQ(w.lvLogMaster.itemCount(), all);
  EXPECT_EQ(w.lvLogMaster.item(static_cast<std::size_t>(w.lvLogMaster.selectedIndex())).subItems,
            item.subItems);

  // Back to the order by date: a Refresh shows the tail first again; a second Refresh and closing
  // the window while the worker parses stop and join it before the log goes (ASan).
  toolkit.clickColumn(w.lvLogMaster, 0);
  toolkit.pressShortcut(w, ui::Key::F5);
  ASSERT_TRUE(w.loadingRest());
  w.tmrLoadRest.onTimer();
  toolkit.pressShortcut(w, ui::Key::F5);
  ASSERT_TRUE(w.loadingRest());
  EXPECT_EQ(w.lvLogMaster.selectedIndex(), static_cast<std::ptrdiff_t>(tail - 1));

  // Find and a filter chosen while the rest loads go through every entry: the log's first entries
  // are found, and the filter counts the whole log.
  toolkit.pressShortcut(w, ui::Key::F, ui::Modifiers{false, true, false});  // Ctrl+F
  toolkit.findNext({std::string(40, 'e'), false, true});
  EXPECT_FALSE(w.loadingRest());
  EXPECT_EQ(w.lvLogMaster.selectedIndex(), 4);
  toolkit.pressShortcut(w, ui::Key::F5);
  ASSERT_TRUE(w.loadingRest());
  toolkit.chooseMenu(w, "mShowErrors");
  EXPECT_FALSE(w.loadingRest());
  const std::string status = w.StatusBar1.simpleText();
  EXPECT_NE(status.find(" of " + std::to_string(all) + " entries"), std::string::npos) << status;
  toolkit.chooseMenu(w, "mShowAll");
  EXPECT_EQ(w.lvLogMaster.itemCount(), all);

  toolkit.pressShortcut(w, ui::Key::F5);
  w.tmrLoadRest.onTimer();
  window.reset();
}

}  // namespace
