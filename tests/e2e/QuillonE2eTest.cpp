// The log viewer, run as the real Quillon.exe on a private install folder, read and driven from
// outside as a user's tools would: list views and the status bar are read through memory of the
// viewer's process, selections and column clicks go through the controls themselves.

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "automation/Automation.h"
#include "automation/TestEnvironment.h"
#include "resources/logviewer/Texts.h"
#include "windows/EngineExports.h"

namespace {

constexpr DWORD kWindowTimeoutMs = 20000;
const std::string kCaption = quillon::text::shared::Caption;

// A buffer in another process, for the control messages that take a pointer.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, std::size_t size) : size_(size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process_) memory_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  bool ok() const { return memory_ != nullptr; }
  char* at(std::size_t offset) const { return static_cast<char*>(memory_) + offset; }
  void write(std::size_t offset, const void* data, std::size_t n) const {
    WriteProcessMemory(process_, at(offset), data, n, nullptr);
  }
  void read(std::size_t offset, void* data, std::size_t n) const {
    ReadProcessMemory(process_, at(offset), data, n, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  void* memory_ = nullptr;
  std::size_t size_;
};

constexpr std::size_t kTextChars = 512;

std::string itemText(HWND list, int row, int column) {
  RemoteBuffer remote(list, sizeof(LVITEMW) + kTextChars * sizeof(wchar_t));
  if (!remote.ok()) return "<no access>";
  LVITEMW item{};
  item.iSubItem = column;
  item.cchTextMax = kTextChars;
  item.pszText = reinterpret_cast<wchar_t*>(remote.at(sizeof(LVITEMW)));
  remote.write(0, &item, sizeof(item));
  const auto length =
      SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.at(0)));
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  remote.read(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t));
  return automation::toUtf8(text);
}

int itemImage(HWND list, int row) {
  RemoteBuffer remote(list, sizeof(LVITEMW));
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  remote.write(0, &item, sizeof(item));
  SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.at(0)));
  remote.read(0, &item, sizeof(item));
  return item.iImage;
}

int itemCount(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}
int selectedRow(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// Selects a row through the control, as the keyboard or a click does.
void selectRow(HWND list, int row) {
  RemoteBuffer remote(list, sizeof(LVITEMW));
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  remote.write(0, &item, sizeof(item));
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.at(0)));
}

// Clicks a column header with the mouse messages a click sends.
void clickColumn(HWND list, int column) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  RemoteBuffer remote(header, sizeof(RECT));
  SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(remote.at(0)));
  RECT rect{};
  remote.read(0, &rect, sizeof(rect));
  const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
  SendMessageW(header, WM_LBUTTONUP, 0, point);
}

// Clicks a row with the mouse messages a click sends.
void clickRow(HWND list, int row) {
  RemoteBuffer remote(list, sizeof(RECT));
  RECT rect{};
  rect.left = LVIR_LABEL;
  remote.write(0, &rect, sizeof(rect));
  SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.at(0)));
  remote.read(0, &rect, sizeof(rect));
  const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
  SendMessageW(list, WM_LBUTTONUP, 0, point);
}

std::string statusText(HWND bar) {
  RemoteBuffer remote(bar, kTextChars * sizeof(wchar_t));
  // A bar in simple mode answers for its one text whichever part is asked for.
  const auto result = SendMessageW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(remote.at(0)));
  std::wstring text(LOWORD(result), L'\0');
  remote.read(0, text.data(), text.size() * sizeof(wchar_t));
  return automation::toUtf8(text);
}

struct ViewerWindow {
  HWND window = nullptr;
  HWND master = nullptr;
  HWND detail = nullptr;
  HWND status = nullptr;
};

ViewerWindow findParts(HWND window) {
  ViewerWindow parts;
  parts.window = window;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    if (std::wstring(name) == WC_LISTVIEWW) (parts.master ? parts.detail : parts.master) = child;
    if (std::wstring(name) == STATUSCLASSNAMEW) parts.status = child;
  }
  return parts;
}

// Waits until the condition holds, letting the viewer work; false after the timeout.
template <typename F>
bool eventually(F condition, DWORD timeoutMs = 5000) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
    if (condition()) return true;
    Sleep(50);
  }
  return condition();
}

void writeFile(const std::wstring& path, const std::string& bytes) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(written, bytes.size());
}

std::string line(const std::string& when, const char* number, const std::string& rest) {
  return when + " ENG " + number + " " + rest + "\r\n";
}

class QuillonE2e : public ::testing::Test {
 protected:
  void putDetail(int lines) {
    std::string detail;
    for (int i = 1; i <= lines; ++i)
      detail += "12/08/2026 09:05:" + std::to_string(10 + i) + " ENG step " + std::to_string(i) + "\r\n";
    writeFile(install.folder().make(L"$LOGS\\CP000001.log"), detail);
  }
  void putSample() {
    std::string master;
    master += line("12/08/2026 09:00:00", "0401", "Manager started");
    master += line("12/08/2026 09:05:00", "0020", "[CP000001]Copy/Update finished");
    master += line("12/08/2026 09:06:00", "0455", "Recovered the area table");
    master += line("12/08/2026 09:07:00", "0500", "Service started");
    master += line("12/08/2026 09:10:00", "0007", "Disk full");
    writeFile(install.folder().make(L"$LOGS\\KRV.log"), master);
    putDetail(12);
  }
  ViewerWindow start() {
    program = std::make_unique<automation::Program>(automation::besideTests(L"Quillon.exe"));
    EXPECT_TRUE(program->started());
    HWND window = automation::waitForWindow(kCaption, kWindowTimeoutMs);
    EXPECT_NE(window, nullptr) << "no window captioned " << kCaption;
    return window ? findParts(window) : ViewerWindow{};
  }
  void TearDown() override {
    if (program && program->running()) {
      if (HWND window = automation::waitForWindow(kCaption, 1000)) PostMessageW(window, WM_CLOSE, 0, 0);
      EXPECT_EQ(program->waitForExit(10000), std::optional<DWORD>(0));
    }
  }

  automation::Installation install;
  std::unique_ptr<automation::Program> program;
};

TEST_F(QuillonE2e, ShowsTheEntriesWithTheirPicturesAndSelectsTheLast) {
  putSample();
  const ViewerWindow w = start();
  ASSERT_TRUE(w.master && w.detail && w.status);
  ASSERT_EQ(itemCount(w.master), 5);
  EXPECT_EQ(itemText(w.master, 0, 0), "12/08/26 09:00:00");
  EXPECT_EQ(itemText(w.master, 0, 1), "0401");
  EXPECT_EQ(itemText(w.master, 0, 2), "Manager started");
  EXPECT_EQ(itemText(w.master, 0, 3), "20261208090000");
  EXPECT_EQ(itemText(w.master, 1, 2), "Copy/Update finished");
  // Pictures in the image list's order ADV, DET, ERR, REC; none for an even number outside the ranges.
  EXPECT_EQ(itemImage(w.master, 0), 0);
  EXPECT_EQ(itemImage(w.master, 1), 1);
  EXPECT_EQ(itemImage(w.master, 2), 3);
  EXPECT_EQ(itemImage(w.master, 3), I_IMAGENONE);
  EXPECT_EQ(itemImage(w.master, 4), 2);
  EXPECT_EQ(selectedRow(w.master), 4);
  EXPECT_FALSE(IsWindowVisible(w.detail));
  EXPECT_EQ(statusText(w.status), "");
  automation::saveScreenshot(automation::screenshotFile(L"quillon-master.bmp"));
}

TEST_F(QuillonE2e, ALargeLogShowsItsTailFirstThenEveryEntry) {
  // Far more than the first screen reads from the file's end; the last entry has the detail log.
  constexpr int kEntries = 4000;
  std::string master;
  for (int i = 0; i < kEntries - 1; ++i) {
    char when[20];
    std::snprintf(when, sizeof when, "12/%02d/2026 %02d:%02d:00", 1 + i / 1440, i / 60 % 24, i % 60);
    master += line(when, "0500", "entry " + std::to_string(100000 + (i * 7919) % kEntries));
  }
  master += line("12/28/2026 09:05:00", "0020", "[CP000001]Copy/Update finished");
  writeFile(install.folder().make(L"$LOGS\\KRV.log"), master);
  putDetail(12);
  const ViewerWindow w = start();
  ASSERT_TRUE(w.master && w.status);
  ASSERT_TRUE(eventually([&] { return itemCount(w.master) == kEntries; }, kWindowTimeoutMs));
  EXPECT_EQ(selectedRow(w.master), kEntries - 1);
  EXPECT_EQ(itemText(w.master, kEntries - 1, 2), "Copy/Update finished");
  EXPECT_EQ(itemText(w.master, 0, 0), "12/01/26 00:00:00");
  EXPECT_EQ(itemText(w.master, 0, 2), "entry 100000");
  EXPECT_EQ(statusText(w.status), "      Detail:  12");
  clickColumn(w.master, 2);
  EXPECT_EQ(itemText(w.master, 0, 2), "Copy/Update finished");
  EXPECT_EQ(itemText(w.master, 1, 2), "entry 100000");
  EXPECT_EQ(itemText(w.master, kEntries - 1, 2), "entry " + std::to_string(100000 + kEntries - 1));
  EXPECT_EQ(selectedRow(w.master), 0);
}

TEST_F(QuillonE2e, ChoosingAnEntryFillsOrHidesTheDetailPane) {
  putSample();
  const ViewerWindow w = start();
  ASSERT_TRUE(w.master && w.detail && w.status);
  selectRow(w.master, 1);
  ASSERT_TRUE(eventually([&] { return IsWindowVisible(w.detail) != FALSE; }));
  EXPECT_EQ(itemCount(w.detail), 12);
  EXPECT_EQ(itemText(w.detail, 0, 0), "12/08/2026 09:05:11 step 1");
  EXPECT_EQ(statusText(w.status), "      Detail:  12");
  RECT master{}, detail{};
  GetWindowRect(w.master, &master);
  GetWindowRect(w.detail, &detail);
  EXPECT_EQ(master.bottom, detail.top);
  const int whole = detail.bottom - master.top;
  EXPECT_NEAR(master.bottom - master.top, whole / 4, 1);
  automation::saveScreenshot(automation::screenshotFile(L"quillon-detail.bmp"));

  selectRow(w.master, 0);
  ASSERT_TRUE(eventually([&] { return !IsWindowVisible(w.detail); }));
  EXPECT_EQ(statusText(w.status), "");
}

TEST_F(QuillonE2e, ClickingTheChosenEntryAgainReadsItsDetailLogAgain) {
  putSample();
  const ViewerWindow w = start();
  ASSERT_TRUE(w.master && w.detail && w.status);
  clickRow(w.master, 1);
  ASSERT_TRUE(eventually([&] { return itemCount(w.detail) == 12; }));
  EXPECT_EQ(selectedRow(w.master), 1);
  // The task wrote on: a click on its entry, still the chosen one, shows the new line.
  putDetail(13);
  clickRow(w.master, 1);
  EXPECT_TRUE(eventually([&] { return itemCount(w.detail) == 13; }));
  EXPECT_EQ(statusText(w.status), "      Detail:  13");
  clickRow(w.master, 0);
  EXPECT_TRUE(eventually([&] { return !IsWindowVisible(w.detail); }));
  EXPECT_EQ(selectedRow(w.master), 0);
}

TEST_F(QuillonE2e, ColumnClicksReverseAndSwitchTheSort) {
  putSample();
  const ViewerWindow w = start();
  ASSERT_TRUE(w.master);
  auto types = [&] {
    std::vector<std::string> out;
    for (int r = 0; r < itemCount(w.master); ++r) out.push_back(itemText(w.master, r, 1));
    return out;
  };
  using V = std::vector<std::string>;
  clickColumn(w.master, 0);
  EXPECT_TRUE(eventually([&] { return types() == V{"0007", "0500", "0455", "0020", "0401"}; })) << types()[0];
  clickColumn(w.master, 0);
  EXPECT_TRUE(eventually([&] { return types() == V{"0401", "0020", "0455", "0500", "0007"}; })) << types()[0];
  clickColumn(w.master, 1);
  EXPECT_TRUE(eventually([&] { return types() == V{"0007", "0020", "0401", "0455", "0500"}; })) << types()[0];
  clickColumn(w.master, 1);
  EXPECT_TRUE(eventually([&] { return types() == V{"0500", "0455", "0401", "0020", "0007"}; })) << types()[0];
  // Refresh (F5) keeps the sort and selects the last row of it.
  PostMessageW(w.master, WM_KEYDOWN, VK_F5, 0);
  PostMessageW(w.master, WM_KEYUP, VK_F5, 0);
  EXPECT_TRUE(eventually([&] { return selectedRow(w.master) == 4; }));
  EXPECT_EQ(types(), (V{"0500", "0455", "0401", "0020", "0007"}));
}

TEST_F(QuillonE2e, ADamagedLogShowsWhatCanBeShown) {
  std::string master;
  master += line("12/08/2026 09:00:00", "0401", std::string("binary \0\x01\xff\x80 bytes", 17));
  master += std::string(5000, '\0') + "\r\n";                                // no entry: no number
  master += line("12/08/2026 09:01:00", "0007", std::string(4 << 20, 'W'));  // a line of 4 MB
  master +=
      line("12/08/2026 09:02:00", "0020", "[..\\..\\x]climbs out of the logs folder").substr(0, 60) + "\n";
  master += "12/08/2026 09:03:00 ENG 0003 LF only\n12/08/2026 09:04:00 ENG 0005 CR only\r";
  master += line("12/08/2026 09:05:00", "0009", "[CP000009]cut sh");
  master.resize(master.size() - 4);  // the last line ends early, as in a file cut while written
  writeFile(install.folder().make(L"$LOGS\\KRV.log"), master);
  const ViewerWindow w = start();
  ASSERT_TRUE(w.master);
  // A file of 4 MB shows its last entries first, then every entry.
  ASSERT_TRUE(eventually([&] { return itemCount(w.master) == 6; }));
  // The NUL shows as a space; the other bytes as the ANSI code page's characters.
  EXPECT_EQ(itemText(w.master, 0, 2), "binary  \x01\xc3\xbf\xe2\x82\xac bytes");
  EXPECT_EQ(itemText(w.master, 1, 2).size(), kTextChars - 1);  // the list shows what fits of 4 MB
  EXPECT_EQ(itemText(w.master, 3, 2), "LF only");
  EXPECT_EQ(itemText(w.master, 4, 2), "CR only");
  EXPECT_EQ(selectedRow(w.master), 5);
  selectRow(w.master, 2);  // names "..\\..\\x": opens nothing
  Sleep(200);
  EXPECT_FALSE(IsWindowVisible(w.detail));
  EXPECT_TRUE(program->running());
}

// The viewer's process's dialog of this title: the Find dialog, a message box, Filter by Text.
HWND dialogOf(const automation::Program& program, const std::string& title) {
  HWND found = nullptr;
  eventually([&] {
    for (HWND window : automation::visibleWindowsOf(program.id()))
      if (automation::windowText(window) == title) found = window;
    return found != nullptr;
  });
  return found;
}

// A window just shown takes keys once it is the active one.
void activate(HWND window) {
  SetForegroundWindow(window);
  eventually([&] { return GetForegroundWindow() == window; }, 3000);
}

// Find, filter, copy and follow as a user reaches them: the Edit and View menus through Alt and
// their access keys, the shortcuts, the system's Find dialog typed into, the filter's dialog.
TEST_F(QuillonE2e, FindsFiltersCopiesAndFollowsWithKeysAndClicks) {
  putSample();
  const ViewerWindow w = start();
  ASSERT_TRUE(w.master && w.detail && w.status);
  ASSERT_TRUE(eventually([&] { return selectedRow(w.master) == 4; }));
  activate(w.window);

  // Ctrl+F: the system's Find dialog; Enter is its Find Next, searching on from the last row, round.
  automation::pressKeys(w.window, {VK_CONTROL, 'F'});
  HWND find = dialogOf(*program, "Find");
  ASSERT_NE(find, nullptr) << "no Find dialog";
  activate(find);
  automation::typeText(find, L"started");
  automation::pressKeys(find, {VK_RETURN});
  EXPECT_TRUE(eventually([&] { return selectedRow(w.master) == 0; }));
  EXPECT_EQ(statusText(w.status), "      Passed the end of the list; found from its start.");
  automation::saveScreenshot(automation::screenshotFile(L"quillon-find.bmp"));
  automation::pressKeys(find, {VK_ESCAPE});
  EXPECT_TRUE(automation::waitUntilGone(find, 5000));
  // F3 and Shift+F3 in the window go on searching either way.
  activate(w.window);
  automation::pressKeys(w.window, {VK_F3});
  EXPECT_TRUE(eventually([&] { return selectedRow(w.master) == 3; }));
  automation::pressKeys(w.window, {VK_SHIFT, VK_F3});
  EXPECT_TRUE(eventually([&] { return selectedRow(w.master) == 0; }));

  // Ctrl+C copies the chosen row as text, its columns separated by tabs.
  clickRow(w.master, 1);
  ASSERT_TRUE(eventually([&] { return itemCount(w.detail) == 12; }));
  automation::pressKeys(w.window, {VK_CONTROL, 'C'});
  EXPECT_EQ(automation::clipboardText(), std::optional<std::string>("12/08/26 09:05:00\t0020\tCopy/Update finished"));

  // View, Errors off: the error goes, the status counts the entries shown, the chosen one stays.
  automation::chooseMenu(w.window, 'V', {'E'});
  EXPECT_TRUE(eventually([&] { return itemCount(w.master) == 4; }));
  EXPECT_EQ(selectedRow(w.master), 1);
  EXPECT_EQ(statusText(w.status), "      Detail:  12      4 of 5 entries");
  automation::saveScreenshot(automation::screenshotFile(L"quillon-filter.bmp"));
  // View, Filter by Text: only the entries holding the text typed.
  automation::chooseMenu(w.window, 'V', {'T'});
  HWND filter = dialogOf(*program, "Filter by Text");
  ASSERT_NE(filter, nullptr) << "no Filter by Text dialog";
  activate(filter);
  automation::typeText(filter, L"copy");
  automation::pressKeys(filter, {VK_RETURN});
  EXPECT_TRUE(eventually([&] { return itemCount(w.master) == 1; }));
  EXPECT_EQ(itemText(w.master, 0, 1), "0020");
  // View, Show All Entries: every entry again, the chosen one still chosen, the status as it was.
  automation::chooseMenu(w.window, 'V', {'S'});
  EXPECT_TRUE(eventually([&] { return itemCount(w.master) == 5; }));
  EXPECT_EQ(selectedRow(w.master), 1);
  EXPECT_EQ(statusText(w.status), "      Detail:  12");

  // View, Follow the Log: what the engine appends shows within a second; the newest entry, chosen,
  // stays chosen.
  clickRow(w.master, 4);
  ASSERT_TRUE(eventually([&] { return !IsWindowVisible(w.detail); }));
  automation::chooseMenu(w.window, 'V', {'F'});
  Sleep(300);
  HANDLE log = CreateFileW(install.masterLogPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(log, INVALID_HANDLE_VALUE);
  const std::string more = line("12/08/2026 09:11:00", "0009", "Disk still full");
  DWORD written = 0;
  WriteFile(log, more.data(), static_cast<DWORD>(more.size()), &written, nullptr);
  CloseHandle(log);
  const DWORD appended = GetTickCount();
  EXPECT_TRUE(eventually([&] { return itemCount(w.master) == 6; }));
  EXPECT_LT(GetTickCount() - appended, 2000u);
  EXPECT_TRUE(eventually([&] { return selectedRow(w.master) == 5; }));
  EXPECT_EQ(itemText(w.master, 5, 2), "Disk still full");
  automation::saveScreenshot(automation::screenshotFile(L"quillon-follow.bmp"));
}

// Run on its own under a day-first locale (ctest's "dates", tests/e2e/dates_test.sh).
class QuillonDayFirst : public QuillonE2e {
 protected:
  static std::string localeInfo(LCTYPE what) {
    wchar_t buffer[96] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, what, buffer, 96);
    return automation::toUtf8(buffer);
  }
  static std::string sortKeyNow() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char key[16];
    std::snprintf(key, sizeof key, "%04u%02u%02u%02u%02u%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
    return key;
  }
};

TEST_F(QuillonDayFirst, ListsAndSortsDatesAsTheUserReadsThem) {
  ASSERT_EQ(localeInfo(LOCALE_IDATE), "1") << "not a day-first locale: run with LC_ALL=de_DE.UTF-8 installed";
  ASSERT_EQ(localeInfo(LOCALE_SDATE), ".");
  // Out of time order, and each read month first would be another day or none.
  std::string master;
  master += line("05.03.2024 14:07:09", "0401", "Fifth of March");
  master += line("13.01.2024 10:00:00", "0402", "Thirteenth of January");
  master += line("01.02.2024 08:30:00", "0020", "[CP000001]First of February");
  master += line("28.02.2024 23:59:59", "0007", "Last of February");
  writeFile(install.folder().make(L"$LOGS\\KRV.log"), master);
  writeFile(install.folder().make(L"$LOGS\\CP000001.log"), "01.02.2024 08:30:05 ENG step 1\r\n");
  // And one line the engine writes now, in its regional form.
  const std::string before = sortKeyNow();
  {
    engine_exports::Library engine(automation::besideTests(L"KRVCopyCtrl.dll"));
    ASSERT_TRUE(engine.loaded());
    std::string text = "Logged by the engine";
    ASSERT_EQ(engine.get(engine_exports::kLogMessage)(0, text.data()), 0);
  }
  const std::string after = sortKeyNow();

  const ViewerWindow w = start();
  ASSERT_TRUE(w.master && w.detail);
  ASSERT_EQ(itemCount(w.master), 5);
  auto column = [&](int c) {
    std::vector<std::string> out;
    for (int r = 0; r < itemCount(w.master); ++r) out.push_back(itemText(w.master, r, c));
    return out;
  };
  using V = std::vector<std::string>;
  EXPECT_EQ(column(1), (V{"0402", "0020", "0007", "0401", "0401"}));
  const V dates = column(0), keys = column(3);
  EXPECT_EQ(V(dates.begin(), dates.end() - 1),
            (V{"13.01.24 10:00:00", "01.02.24 08:30:00", "28.02.24 23:59:59", "05.03.24 14:07:09"}));
  EXPECT_EQ(V(keys.begin(), keys.end() - 1),
            (V{"20240113100000", "20240201083000", "20240228235959", "20240305140709"}));
  // The engine's line: dated now, and shown day first.
  const std::string now = keys.back();
  EXPECT_GE(now, before);
  EXPECT_LE(now, after);
  EXPECT_EQ(dates.back(), now.substr(6, 2) + "." + now.substr(4, 2) + "." + now.substr(2, 2) + " " +
                              now.substr(8, 2) + ":" + now.substr(10, 2) + ":" + now.substr(12, 2));
  EXPECT_EQ(itemText(w.master, 4, 2), "Logged by the engine");

  // Newest first, then the detail log of the February copy as written.
  clickColumn(w.master, 0);
  EXPECT_TRUE(eventually([&] { return column(1) == V{"0401", "0401", "0007", "0020", "0402"}; }));
  clickRow(w.master, 3);
  ASSERT_TRUE(eventually([&] { return itemCount(w.detail) == 1; }));
  EXPECT_EQ(itemText(w.detail, 0, 0), "01.02.2024 08:30:05 step 1");
  automation::saveScreenshot(automation::screenshotFile(L"quillon-day-first.bmp"));
}

class QuillonWithoutServiceInfo : public ::testing::Test {
 protected:
  automation::ServiceInfoLocation noLocation{std::nullopt};
};

TEST_F(QuillonWithoutServiceInfo, SaysSoAndOpensAnEmptyWindow) {
  automation::Program program(automation::besideTests(L"Quillon.exe"));
  ASSERT_TRUE(program.started());
  HWND box = automation::waitForMessageBoxOf(program.id(), kWindowTimeoutMs);
  ASSERT_NE(box, nullptr);
  const automation::BoxContents contents = automation::readBox(box);
  ASSERT_FALSE(contents.texts.empty());
  EXPECT_EQ(contents.texts.front(), "Unable to read the Korvane ServiceInfo Key.");
  EXPECT_EQ(contents.buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(automation::boxIcon(box), automation::BoxIcon::None);
  ASSERT_TRUE(automation::pressButton(box, "OK"));
  HWND window = automation::waitForWindow(kCaption, kWindowTimeoutMs);
  ASSERT_NE(window, nullptr);
  const ViewerWindow w = findParts(window);
  EXPECT_EQ(itemCount(w.master), 0);
  EXPECT_FALSE(IsWindowVisible(w.detail));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.waitForExit(10000), std::optional<DWORD>(0));
}

}  // namespace
