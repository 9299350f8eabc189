// The manager's main window, run as the real Korvane.exe with the stand-ins on a private install
// folder, and used as a person would: keys into the focused window, the menus through Alt and
// their access keys, mouse clicks on buttons. What the windows show is read from outside.

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "automation/Automation.h"
#include "automation/TestEnvironment.h"
#include "resources/logviewer/Texts.h"

namespace {

constexpr DWORD kTimeoutMs = 20000;
const std::string kViewerCaption = quillon::text::shared::Caption;

// The texts of the visible controls of a window, in child order.
std::vector<std::string> shownTexts(HWND window) {
  std::vector<std::string> texts;
  for (HWND child : automation::descendantsOf(window))
    if (IsWindowVisible(child)) texts.push_back(automation::windowText(child));
  return texts;
}

long countOf(const std::vector<std::string>& texts, const std::string& text) {
  return std::count(texts.begin(), texts.end(), text);
}

// A window just shown takes keys once it is the active one and has painted.
HWND ready(HWND window) {
  const DWORD start = GetTickCount();
  while (GetForegroundWindow() != window && GetTickCount() - start < 3000) Sleep(50);
  Sleep(300);
  return window;
}

// The program's window that carries a menu bar: the main window, once its labels have their
// windows (made when the program is first idle, later on a busy machine): its shown controls have
// stopped growing in number.
HWND mainWindowOf(DWORD processId) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kTimeoutMs) {
    for (HWND window : automation::visibleWindowsOf(processId)) {
      if (!GetMenu(window)) continue;
      ready(window);
      std::size_t shown = shownTexts(window).size();
      for (int steady = 0; steady < 3 && GetTickCount() - start < kTimeoutMs;) {
        Sleep(100);
        const std::size_t now = shownTexts(window).size();
        steady = now == shown ? steady + 1 : 0;
        shown = now;
      }
      return window;
    }
    Sleep(50);
  }
  return nullptr;
}

// A dialog of the program with this title: a message box or one of its own forms.
HWND windowOf(DWORD processId, const std::string& title) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kTimeoutMs) {
    for (HWND window : automation::visibleWindowsOf(processId))
      if (automation::windowText(window) == title) return ready(window);
    Sleep(50);
  }
  return nullptr;
}

// Keys pressed one after another, each let go before the next, into whatever has the focus.
void send(const std::vector<WORD>& keys) {
  for (WORD vk : keys) automation::pressKeys({vk});
  Sleep(150);
}

// Keys pressed together (the first held while the others are pressed) into the window, brought to
// the front first as a click on its title would.
void press(HWND window, std::vector<WORD> chord) {
  SetForegroundWindow(window);
  Sleep(100);
  automation::pressKeys(chord);
  Sleep(150);
}

// A menu item chosen by Alt with the menu's access key, then the item's access key or the keys
// that move to it and Enter.
void chooseMenu(HWND window, WORD menuKey, std::vector<WORD> itemKeys) {
  press(window, {VK_MENU, menuKey});
  Sleep(200);  // the menu opens
  for (WORD vk : itemKeys) send({vk});
}

void type(HWND window, const std::wstring& text) {
  SetForegroundWindow(window);
  automation::typeCharacters(text);
  Sleep(150);
}

// A click at this screen point of the control's window.
void clickAt(HWND control, int x, int y) {
  SetForegroundWindow(GetAncestor(control, GA_ROOT));
  automation::clickAt({x, y});
  Sleep(150);
}

void click(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  clickAt(control, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

// Closes what the manager started (the monitor, the viewer, the command tool) at the end.
void closeWindowsTitled(const std::vector<std::string>& titles) {
  for (const std::string& title : titles)
    while (HWND window = FindWindowW(nullptr, automation::toWide(title).c_str())) {
      PostMessageW(window, WM_CLOSE, 0, 0);
      Sleep(200);
      if (FindWindowW(nullptr, automation::toWide(title).c_str()) == window) break;
    }
}

// Whatever happens, the programs the manager started do not outlive the test.
struct StartedPrograms {
  ~StartedPrograms() { closeWindowsTitled({kViewerCaption, "OVS_KRV_Monitor"}); }
};

// A program planted where an unquoted path with a space would find it first: "C:\Program.exe" for
// anything below "C:\Program Files". It is a copy of the line-echo test program, which writes
// "commandline.txt" beside itself whenever it runs.
class PlantedProgram {
 public:
  PlantedProgram() { CopyFileW(automation::besideTests(L"KrvLineEcho.exe").c_str(), kPath, FALSE); }
  ~PlantedProgram() {
    DeleteFileW(kPath);
    DeleteFileW(kTrace);
  }
  bool planted() const { return automation::fileExists(kPath); }
  bool ran() const { return automation::fileExists(kTrace); }

 private:
  static constexpr const wchar_t* kPath = L"C:\\Program.exe";
  static constexpr const wchar_t* kTrace = L"C:\\commandline.txt";
};

TEST(MainWindowE2e, CompanionProgramsInAFolderWithASpaceAreTheOnesStarted) {
  automation::Installation install;
  StartedPrograms started;
  closeWindowsTitled({"OVS_KRV_Monitor"});
  const automation::TempFolder folder(L"C:\\Program Files");
  for (const wchar_t* name : {L"KRVMonitor.exe", L"Quillon.exe"})
    ASSERT_TRUE(
        CopyFileW(automation::besideTests(name).c_str(), (folder.path() + L"\\" + name).c_str(), FALSE));
  automation::ApplicationPath programs(folder.path());
  const PlantedProgram planted;
  ASSERT_TRUE(planted.planted());
  install.setEngineState(
      {"areas=2", "area.1=0|1733000000|0|5000|Original Area", "area.2=1|1733600000|0|5000|Rescue Area"});

  // No monitor runs: the manager starts the one in its program folder.
  automation::Program korvane(automation::besideTests(L"Korvane.exe"), L"", install.path());
  const HWND main = mainWindowOf(korvane.id());
  ASSERT_NE(main, nullptr);
  // The monitor's window is hidden: found by its title alone.
  const DWORD start = GetTickCount();
  while (!FindWindowW(nullptr, L"OVS_KRV_Monitor") && GetTickCount() - start < kTimeoutMs) Sleep(50);
  EXPECT_NE(FindWindowW(nullptr, L"OVS_KRV_Monitor"), nullptr) << "the monitor was started";
  chooseMenu(main, 'A', {'L'});
  EXPECT_NE(automation::waitForWindow(kViewerCaption, kTimeoutMs), nullptr) << "the viewer was started";
  EXPECT_EQ(automation::closeManager(korvane, kTimeoutMs), std::optional<DWORD>(0));
  EXPECT_FALSE(planted.ran());
}

TEST(MainWindowE2e, FirstCopyRefreshRemoveDisableViewLogSecondStartAndClose) {
  automation::Installation install;
  StartedPrograms started;
  automation::ApplicationPath programs(automation::binFolder());
  install.setEngineState({"areas=1", "area.1=0|0|0|5000|Original Area", "config.preboot=Enabled",
                          "config.copypasswordenabled=True", "config.copypassword=Secret",
                          "cmd.durationms=300"});

  automation::Program korvane(automation::besideTests(L"Korvane.exe"), L"", install.path());
  ASSERT_TRUE(korvane.started());
  const HWND main = mainWindowOf(korvane.id());
  ASSERT_NE(main, nullptr) << "no main window";
  EXPECT_EQ(automation::windowText(main), "Korvane\xe2\x84\xa2 3.1");
  EXPECT_EQ(countOf(shownTexts(main), "< Currently not available >"), 2) << "no Rescue Area yet";

  // The first copy asks for the password: a wrong one, then the right one.
  HWND prompt = windowOf(korvane.id(), "Enter Password");
  ASSERT_NE(prompt, nullptr);
  type(prompt, L"secret");
  press(prompt, {VK_RETURN});
  HWND box = windowOf(korvane.id(), "Assistance - Korvane");
  ASSERT_NE(box, nullptr);
  press(box, {VK_RETURN});
  type(prompt, L"Secret");  // the whole entry is selected: typing replaces it
  press(prompt, {VK_RETURN});
  EXPECT_TRUE(automation::waitUntilGone(prompt, kTimeoutMs));
  box = windowOf(korvane.id(), "Korvane");
  ASSERT_NE(box, nullptr) << "the notice that the Rescue Area is being created";
  EXPECT_EQ(automation::readBox(box).texts.at(0).substr(0, 36), "Your Rescue Area is being created. T");
  press(box, {VK_RETURN});
  HWND outcome = automation::waitForMessageBox("Copy/Update", kTimeoutMs);
  ASSERT_NE(outcome, nullptr) << "the copy tool's outcome";
  automation::pressButton(outcome, "OK");
  ASSERT_TRUE(automation::waitUntilGone(outcome, kTimeoutMs));

  // F5 shows the new Rescue Area (read once the window has taken it in: the machine may be busy).
  press(main, {VK_F5});
  std::vector<std::string> texts = shownTexts(main);
  for (const DWORD start = GetTickCount();
       countOf(texts, "< Currently not available >") != 0 && GetTickCount() - start < kTimeoutMs;
       texts = shownTexts(main))
    Sleep(50);
  EXPECT_EQ(countOf(texts, "< Currently not available >"), 0);
  EXPECT_EQ(
      std::count_if(texts.begin(), texts.end(),
                    [](const std::string& t) { return t.size() > 3 && t.substr(t.size() - 3) == " GB"; }),
      2);

  // Remove answered with Enter does nothing: No is the default.
  chooseMenu(main, 'A', {VK_END, VK_UP, VK_UP, VK_UP, VK_RETURN});  // "r" also opens Clear Log
  box = windowOf(korvane.id(), "Remove");

  ASSERT_NE(box, nullptr);
  EXPECT_EQ(automation::readBox(box).defaultButton, "No");
  press(box, {VK_RETURN});
  EXPECT_TRUE(automation::waitUntilGone(box, kTimeoutMs));
  EXPECT_EQ(install.engineState().get("cmd.commandline", "").find("REMOVE"), std::string::npos);

  // Disable Pre-Boot: Enter at once disables nothing; the Disable button does.
  chooseMenu(main, 'A', {'D'});
  HWND disable = windowOf(korvane.id(), "Disable Pre-Boot");
  ASSERT_NE(disable, nullptr);
  press(disable, {VK_RETURN});
  EXPECT_TRUE(automation::waitUntilGone(disable, kTimeoutMs));
  EXPECT_EQ(install.engineState().get("config.preboot", ""), "Enabled");
  chooseMenu(main, 'A', {'D'});
  disable = windowOf(korvane.id(), "Disable Pre-Boot");
  ASSERT_NE(disable, nullptr);
  click(automation::buttonOf(disable, "Disable"));
  EXPECT_TRUE(automation::waitUntilGone(disable, kTimeoutMs));
  EXPECT_EQ(install.engineState().get("config.preboot", ""), "Disabled");
  press(main, {VK_F5});
  EXPECT_EQ(countOf(shownTexts(main), "disabled"), 1);

  // View Log starts the viewer, which shows itself; a second View Log brings it back to its normal
  // size and place and to the front, whether it was minimised, maximised or minimised from maximised.
  chooseMenu(main, 'A', {'L'});
  HWND viewer = automation::waitForWindow(kViewerCaption, kTimeoutMs);
  ASSERT_NE(viewer, nullptr) << "the viewer's window is shown";
  RECT normal{};
  GetWindowRect(viewer, &normal);
  const struct {
    const char* name;
    std::vector<int> shows;
  } states[] = {{"minimised", {SW_MINIMIZE}},
                {"maximised", {SW_MAXIMIZE}},
                {"minimised from maximised", {SW_MAXIMIZE, SW_MINIMIZE}}};
  for (const auto& state : states) {
    SCOPED_TRACE(state.name);
    for (int show : state.shows) ShowWindow(viewer, show);
    chooseMenu(main, 'A', {'L'});
    const DWORD start = GetTickCount();
    while ((IsIconic(viewer) || IsZoomed(viewer) || GetForegroundWindow() != viewer) &&
           GetTickCount() - start < 3000)
      Sleep(50);
    RECT now{};
    GetWindowRect(viewer, &now);
    EXPECT_FALSE(IsIconic(viewer));
    EXPECT_FALSE(IsZoomed(viewer));
    EXPECT_TRUE(EqualRect(&now, &normal))
        << now.left << "," << now.top << " " << now.right - now.left << "x" << now.bottom - now.top;
    EXPECT_EQ(GetForegroundWindow(), viewer);
  }
  EXPECT_EQ(FindWindowExW(nullptr, viewer, nullptr, automation::toWide(kViewerCaption).c_str()), nullptr)
      << "one viewer only";
  closeWindowsTitled({kViewerCaption});

  // A second start brings this window forward and ends with 1.
  ShowWindow(main, SW_MINIMIZE);
  automation::Program second(automation::besideTests(L"Korvane.exe"), L"", install.path());
  EXPECT_EQ(second.waitForExit(kTimeoutMs), std::optional<DWORD>(1));
  EXPECT_FALSE(IsIconic(main));

  // Exit tells the monitor "." and ends the program.
  chooseMenu(main, 'A', {'X'});
  EXPECT_EQ(korvane.waitForExit(kTimeoutMs), std::optional<DWORD>(0));
  const std::vector<std::string> monitor =
      automation::splitLines(automation::readFile(install.path() + L"\\$ENGINE\\monitor.txt").value_or(""));
  ASSERT_GE(monitor.size(), 2u) << "registration, then the close";
  EXPECT_NE(monitor.back().find("bytes=2e00"), std::string::npos) << monitor.back();
}

// A tab of the window's tab strip, reached as a user would: a click on the first tab, then Right.
void chooseTab(HWND window, int index) {
  const HWND tabs = automation::controlsOfClass(window, L"SysTabControl32").at(0);
  RECT strip{};
  GetWindowRect(tabs, &strip);
  clickAt(tabs, strip.left + 20, strip.top + 10);
  for (int i = 0; i < index; ++i) send({VK_RIGHT});
}

// The password boxes of a window, in child order.
std::vector<HWND> passwordBoxes(HWND window) {
  std::vector<HWND> boxes;
  for (HWND box : automation::controlsOfClass(window, L"Edit"))
    if (GetWindowLongW(box, GWL_STYLE) & ES_PASSWORD) boxes.push_back(box);
  return boxes;
}

TEST(OptionsE2e, ThePasswordComesFirstAndOKStoresWhatChanged) {
  automation::Installation install;
  StartedPrograms started;
  automation::ApplicationPath programs(automation::binFolder());
  // Stored by another program: longer than the boxes let a user type.
  const std::string stored = "Secret-Secret-Secret-Secret-30";
  install.setEngineState({"areas=2", "area.1=0|1733000000|0|5000|Original Area",
                          "area.2=1|1733600000|0|5000|Rescue Area", "config.copypasswordenabled=True",
                          "config.copypassword=" + stored, "config.hotkey=F8"});
  automation::Program korvane(automation::besideTests(L"Korvane.exe"), L"", install.path());
  const HWND main = mainWindowOf(korvane.id());
  ASSERT_NE(main, nullptr);

  // A cancelled prompt shows no dialog.
  chooseMenu(main, 'A', {'O'});
  HWND prompt = windowOf(korvane.id(), "Enter Password");
  ASSERT_NE(prompt, nullptr);
  press(prompt, {VK_ESCAPE});
  EXPECT_TRUE(automation::waitUntilGone(prompt, kTimeoutMs));
  Sleep(500);
  for (HWND window : automation::visibleWindowsOf(korvane.id()))
    EXPECT_NE(automation::windowText(window), "Options");

  chooseMenu(main, 'A', {'O'});
  prompt = windowOf(korvane.id(), "Enter Password");
  ASSERT_NE(prompt, nullptr);
  type(prompt, automation::toWide(stored));
  press(prompt, {VK_RETURN});
  HWND options = windowOf(korvane.id(), "Options");
  ASSERT_NE(options, nullptr);
  const std::vector<HWND> passwords = passwordBoxes(options);
  ASSERT_EQ(passwords.size(), 2u);
  for (HWND box : passwords) EXPECT_EQ(automation::windowText(box), stored) << "shown whole, not cut";
  const std::vector<HWND> lists = automation::controlsOfClass(options, L"ComboBox");
  ASSERT_EQ(lists.size(), 3u);
  EXPECT_EQ(automation::windowText(lists[0]), "F1") << "a stored F8 shows the first key";
  const HWND apply = automation::buttonOf(options, "Apply");
  const HWND purge = automation::buttonOf(options, "Purge log files greater than");
  ASSERT_NE(apply, nullptr);
  ASSERT_NE(purge, nullptr);
  EXPECT_FALSE(IsWindowEnabled(apply));
  EXPECT_EQ(SendMessageW(purge, BM_GETCHECK, 0, 0), BST_CHECKED) << "the engine keeps logs 30 days";
  click(purge);
  EXPECT_EQ(SendMessageW(purge, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_TRUE(IsWindowEnabled(apply));
  // Enter does not close the dialog (OK is not the default). OK refuses the stored password the
  // rules no longer allow, and saves nothing.
  press(options, {VK_RETURN});
  Sleep(300);
  EXPECT_TRUE(IsWindowVisible(options));
  click(automation::buttonOf(options, "OK"));
  const HWND refusal = automation::waitForMessageBoxOf(korvane.id(), kTimeoutMs);
  ASSERT_NE(refusal, nullptr);
  EXPECT_EQ(automation::readBox(refusal).texts.at(0), "Password length must not exceed 25 chars");
  press(refusal, {VK_RETURN});
  EXPECT_TRUE(automation::waitUntilGone(refusal, kTimeoutMs));
  EXPECT_TRUE(IsWindowVisible(options));
  EXPECT_EQ(install.engineState().get("config.keeplogs", ""), "") << "nothing saved";
  EXPECT_EQ(install.engineState().get("config.copypassword", ""), stored);
  // A new password typed on the Password tab; OK saves and closes.
  chooseTab(options, 2);
  for (HWND box : passwords) {
    click(box);
    type(options, L"Secret");
  }
  click(automation::buttonOf(options, "OK"));
  EXPECT_TRUE(automation::waitUntilGone(options, kTimeoutMs));
  EXPECT_EQ(install.engineState().get("config.keeplogs", ""), "-30") << "purging off";
  EXPECT_EQ(install.engineState().get("config.hotkey", ""), "F1");
  EXPECT_EQ(install.engineState().get("config.copypassword", ""), "Secret");

  // Opened again, Esc leaves without saving.
  chooseMenu(main, 'A', {'O'});
  prompt = windowOf(korvane.id(), "Enter Password");
  ASSERT_NE(prompt, nullptr);
  type(prompt, L"Secret");
  press(prompt, {VK_RETURN});
  options = windowOf(korvane.id(), "Options");
  ASSERT_NE(options, nullptr);
  click(automation::buttonOf(options, "Purge log files greater than"));
  press(options, {VK_ESCAPE});
  EXPECT_TRUE(automation::waitUntilGone(options, kTimeoutMs));
  EXPECT_EQ(install.engineState().get("config.keeplogs", ""), "-30");

  EXPECT_EQ(automation::closeManager(korvane, kTimeoutMs), std::optional<DWORD>(0));
}

TEST(OptionsE2e, TheDaysBoxRefusesEveryWrongEntryInARowAndOKThenStoresNone) {
  automation::Installation install;
  StartedPrograms started;
  automation::ApplicationPath programs(automation::binFolder());
  install.setEngineState({"areas=2", "area.1=0|1733000000|0|5000|Original Area",
                          "area.2=1|1733600000|0|5000|Rescue Area", "config.keeplogs=45"});
  automation::Program korvane(automation::besideTests(L"Korvane.exe"), L"", install.path());
  const HWND main = mainWindowOf(korvane.id());
  ASSERT_NE(main, nullptr);
  chooseMenu(main, 'A', {'O'});
  const HWND options = windowOf(korvane.id(), "Options");
  ASSERT_NE(options, nullptr);
  HWND days = nullptr;
  for (HWND box : automation::controlsOfClass(options, L"Edit"))
    if (IsWindowVisible(box) && automation::windowText(box) == "45") days = box;
  ASSERT_NE(days, nullptr);

  // Each wrong entry, typed over the whole text, is refused when the box is left with Tab, and the
  // box gets the stored days and the focus back, however many came before.
  click(days);
  press(options, {VK_END});
  press(options, {VK_SHIFT, VK_HOME});
  for (const std::wstring typed : {L"0", L"", L"abc"}) {
    if (typed.empty()) {
      press(options, {VK_DELETE});
    } else {
      type(options, typed);
    }
    press(options, {VK_TAB});
    const HWND refusal = windowOf(korvane.id(), "Assistance - Korvane");
    ASSERT_NE(refusal, nullptr) << "typed \"" << automation::toUtf8(typed) << "\"";
    EXPECT_EQ(automation::readBox(refusal).texts.at(0), "Log days must be between 1 and 999");
    press(refusal, {VK_RETURN});
    ASSERT_TRUE(automation::waitUntilGone(refusal, kTimeoutMs));
    Sleep(300);
    EXPECT_EQ(automation::windowText(days), "45");
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    GetGUIThreadInfo(GetWindowThreadProcessId(options, nullptr), &gui);
    EXPECT_EQ(gui.hwndFocus, days) << "the focus is back in the days box";
    EXPECT_EQ(SendMessageW(days, EM_GETSEL, 0, 0), MAKELRESULT(0, 2)) << "its text selected, to type over";
  }
  click(automation::buttonOf(options, "OK"));
  EXPECT_TRUE(automation::waitUntilGone(options, kTimeoutMs));
  EXPECT_EQ(install.engineState().get("config.keeplogs", ""), "45") << "the stored days stay";
  EXPECT_EQ(automation::closeManager(korvane, kTimeoutMs), std::optional<DWORD>(0));
}

constexpr const wchar_t* kPreferences = L"SOFTWARE\\Pellora\\Korvane\\Preferences";

// The manager's preferences this test changes, as they were before it, put back after it.
class PreferencesKept {
 public:
  PreferencesKept() {
    for (const wchar_t* name : kNames) RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPreferences, name);
  }
  ~PreferencesKept() {
    for (const wchar_t* name : kNames) RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPreferences, name);
  }
  static void setText(const wchar_t* name, const std::wstring& text) {
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kPreferences, name, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  static std::string text(const wchar_t* name) {
    wchar_t value[2048] = {};
    DWORD bytes = sizeof(value);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kPreferences, name, RRF_RT_REG_SZ, nullptr, value, &bytes) != 0)
      return "<none>";
    return automation::toUtf8(value);
  }
  static long number(const wchar_t* name) {
    DWORD value = 0;
    DWORD bytes = sizeof(value);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kPreferences, name, RRF_RT_REG_DWORD, nullptr, &value, &bytes) != 0)
      return -1;
    return static_cast<long>(value);
  }

 private:
  static constexpr const wchar_t* kNames[] = {L"TrayIconAppearance", L"DefaultExclusionList"};
};

// The multi-line box of a window: the exclusion list in Options, the text in the list editor.
HWND multiLineBox(HWND window) {
  for (HWND box : automation::controlsOfClass(window, L"Edit"))
    if (GetWindowLongW(box, GWL_STYLE) & ES_MULTILINE) return box;
  return nullptr;
}

TEST(OptionsE2e, WithoutAPasswordAppliesTheHotkeyTrayIconAndListEditedInTheEnginesDialogs) {
  automation::Installation install;
  StartedPrograms started;
  automation::ApplicationPath programs(automation::binFolder());
  PreferencesKept kept;
  PreferencesKept::setText(L"DefaultExclusionList", L"C:\\pagefile.sys;\"C:\\a;b\"");
  install.setEngineState({"areas=2", "area.1=0|1733000000|0|5000|Original Area",
                          "area.2=1|1733600000|0|5000|Rescue Area", "config.hotkey=F1"});
  const std::wstring folder = install.folder().make(L"Browsed");
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  automation::Program korvane(automation::besideTests(L"Korvane.exe"), L"", install.path());
  const HWND main = mainWindowOf(korvane.id());
  ASSERT_NE(main, nullptr);

  // No password in force: Options opens at once.
  chooseMenu(main, 'A', {'O'});
  const HWND options = windowOf(korvane.id(), "Options");
  ASSERT_NE(options, nullptr);
  const HWND hotkey = automation::controlsOfClass(options, L"ComboBox").at(0);
  const HWND apply = automation::buttonOf(options, "Apply");
  const HWND ok = automation::buttonOf(options, "OK");
  click(hotkey);
  send({VK_DOWN, VK_RETURN});
  EXPECT_EQ(automation::windowText(hotkey), "F2");
  click(automation::buttonOf(options, "Only during activity"));
  ASSERT_TRUE(IsWindowEnabled(apply));
  click(apply);
  EXPECT_EQ(install.engineState().get("config.hotkey", ""), "F2");
  EXPECT_EQ(PreferencesKept::number(L"TrayIconAppearance"), 2);
  EXPECT_EQ(PreferencesKept::text(L"DefaultExclusionList"), "C:\\pagefile.sys;\"C:\\a;b\"") << "unchanged";
  EXPECT_FALSE(IsWindowEnabled(apply)) << "nothing left to apply";
  EXPECT_TRUE(IsWindowVisible(options)) << "Apply keeps the dialog";

  // The Copy/Update tab, reached from the tab strip with the keys.
  chooseTab(options, 1);
  const HWND box = multiLineBox(options);
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(IsWindowVisible(box));
  EXPECT_EQ(automation::windowText(box), "C:\\pagefile.sys\r\n\"C:\\a;b\"")
      << "a quoted ';' stays in its line";

  // Edit: the engine's editor, modal over Options, with the list and a line break after it.
  click(automation::buttonOf(options, "Edit"));
  HWND editor = windowOf(korvane.id(), "Edit Excluded Files");
  ASSERT_NE(editor, nullptr);
  EXPECT_FALSE(IsWindowEnabled(options)) << "the editor is modal over its owner";
  EXPECT_EQ(automation::windowText(multiLineBox(editor)), "C:\\pagefile.sys\r\n\"C:\\a;b\"\r\n");
  type(editor, L"  *.tmp  ");
  press(editor, {VK_RETURN});
  press(editor, {VK_RETURN});
  click(automation::buttonOf(editor, "OK"));
  EXPECT_TRUE(automation::waitUntilGone(editor, kTimeoutMs));
  EXPECT_EQ(automation::windowText(box), "C:\\pagefile.sys\r\n\"C:\\a;b\"\r\n*.tmp") << "blank lines dropped";
  EXPECT_TRUE(IsWindowEnabled(ok));

  // Browse: a folder typed into the engine's browser goes last.
  click(automation::buttonOf(options, "Browse"));
  const HWND browser = windowOf(korvane.id(), "Select a folder or file to exclude");
  ASSERT_NE(browser, nullptr);
  type(browser, folder);
  press(browser, {VK_RETURN});
  EXPECT_TRUE(automation::waitUntilGone(browser, kTimeoutMs));
  const std::string added = automation::toUtf8(folder);
  EXPECT_EQ(automation::windowText(box), "C:\\pagefile.sys\r\n\"C:\\a;b\"\r\n*.tmp\r\n" + added);
  click(apply);
  EXPECT_EQ(PreferencesKept::text(L"DefaultExclusionList"), "C:\\pagefile.sys;\"C:\\a;b\";*.tmp;" + added);

  // A list the engine refuses stays in the box with OK and Apply disabled; a Browse the engine
  // accepts adds its entry and leaves them so.
  click(automation::buttonOf(options, "Edit"));
  editor = windowOf(korvane.id(), "Edit Excluded Files");
  ASSERT_NE(editor, nullptr);
  type(editor, L"C:\\x;;C:\\y");
  click(automation::buttonOf(editor, "OK"));
  const HWND refusal = windowOf(korvane.id(), "Korvane Error");
  ASSERT_NE(refusal, nullptr);
  EXPECT_EQ(automation::readBox(refusal).texts.at(0), "An empty entry between two \";\"");
  press(refusal, {VK_RETURN});
  EXPECT_TRUE(automation::waitUntilGone(refusal, kTimeoutMs));
  EXPECT_NE(automation::windowText(box).find("C:\\x\r\n\r\nC:\\y"), std::string::npos);
  EXPECT_FALSE(IsWindowEnabled(ok));
  EXPECT_FALSE(IsWindowEnabled(apply));
  click(automation::buttonOf(options, "Browse"));
  const HWND again = windowOf(korvane.id(), "Select a folder or file to exclude");
  ASSERT_NE(again, nullptr);
  type(again, L"C:\\");
  press(again, {VK_RETURN});
  EXPECT_TRUE(automation::waitUntilGone(again, kTimeoutMs));
  const std::string shown = automation::windowText(box);
  EXPECT_EQ(shown.substr(shown.size() - 5), "\r\nC:\\") << shown;
  EXPECT_FALSE(IsWindowEnabled(ok));
  EXPECT_FALSE(IsWindowEnabled(apply));
  press(options, {VK_ESCAPE});
  EXPECT_TRUE(automation::waitUntilGone(options, kTimeoutMs));
  EXPECT_EQ(PreferencesKept::text(L"DefaultExclusionList"), "C:\\pagefile.sys;\"C:\\a;b\";*.tmp;" + added)
      << "the refused list never reached the registry";

  EXPECT_EQ(automation::closeManager(korvane, kTimeoutMs), std::optional<DWORD>(0));
}

// Picks a folder in the engine's browser that Add opens, by typing its full path.
void addThroughBrowser(DWORD processId, HWND wizard, const std::wstring& path) {
  click(automation::buttonOf(wizard, "Add"));
  const HWND browser = windowOf(processId, "Select a file or folder to anchor");
  ASSERT_NE(browser, nullptr);
  type(browser, path);
  press(browser, {VK_RETURN});
  EXPECT_TRUE(automation::waitUntilGone(browser, kTimeoutMs));
}

TEST(AnchorE2e, AFolderPickedInTheBrowserIsCheckedStoredAndShownAgain) {
  automation::Installation install;
  StartedPrograms started;
  automation::ApplicationPath programs(automation::binFolder());
  install.setEngineState({"areas=2", "area.1=0|1733000000|0|5000|Original Area",
                          "area.2=1|1733600000|0|5000|Rescue Area", "anchored=;"});
  const std::wstring documents = install.folder().make(L"Documents");
  const std::wstring inner = documents + L"\\Inner";
  const std::wstring cyrillic = install.folder().make(L"\u0414\u0430\u043d\u043d\u044b\u0435");
  for (const std::wstring& folder : {documents, inner, cyrillic})
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  automation::Program korvane(automation::besideTests(L"Korvane.exe"), L"", install.path());
  const HWND main = mainWindowOf(korvane.id());
  ASSERT_NE(main, nullptr);

  chooseMenu(main, 'A', {'A'});
  HWND wizard = windowOf(korvane.id(), "Data Anchoring Wizard");
  ASSERT_NE(wizard, nullptr);
  click(automation::buttonOf(wizard, "Next"));
  const HWND list = automation::controlsOfClass(wizard, L"SysListView32").at(0);
  EXPECT_TRUE(IsWindowVisible(list));
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
  addThroughBrowser(korvane.id(), wizard, documents);
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);
  GUITHREADINFO focus{};
  focus.cbSize = sizeof(focus);
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(wizard, nullptr), &focus));
  EXPECT_EQ(focus.hwndFocus, automation::buttonOf(wizard, "Finish")) << "after an Add the way on is Finish";
  EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 1) << "the row added is selected";
  // A click on the list's blank space takes the highlight off the row: Remove then removes nothing.
  RECT rows{};
  GetWindowRect(list, &rows);
  clickAt(list, (rows.left + rows.right) / 2, rows.bottom - 40);
  EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
  click(automation::buttonOf(wizard, "Remove"));
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1) << "nothing was selected";

  // Refused by the engine's check, with its explanation: a folder inside one on the list, and a
  // name the system's code page cannot hold.
  for (const auto& [refused, reason] : {std::pair{inner, "lies inside"}, std::pair{cyrillic, "code page"}}) {
    addThroughBrowser(korvane.id(), wizard, refused);
    const HWND box = windowOf(korvane.id(), "Data Anchoring");
    ASSERT_NE(box, nullptr);
    const std::string why = automation::readBox(box).texts.at(0);
    EXPECT_NE(why.find(reason), std::string::npos) << why;
    press(box, {VK_RETURN});
    EXPECT_TRUE(automation::waitUntilGone(box, kTimeoutMs));
  }
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);
  click(automation::buttonOf(wizard, "Finish"));
  EXPECT_TRUE(automation::waitUntilGone(wizard, kTimeoutMs));
  EXPECT_EQ(install.engineState().get("anchored", ""), automation::toUtf8(documents));

  // Opened again, the wizard shows the stored list read back from the engine.
  chooseMenu(main, 'A', {'A'});
  wizard = windowOf(korvane.id(), "Data Anchoring Wizard");
  ASSERT_NE(wizard, nullptr);
  click(automation::buttonOf(wizard, "Next"));
  EXPECT_EQ(SendMessageW(automation::controlsOfClass(wizard, L"SysListView32").at(0), LVM_GETITEMCOUNT, 0, 0),
            1);
  press(wizard, {VK_ESCAPE});
  EXPECT_TRUE(automation::waitUntilGone(wizard, kTimeoutMs));

  // A stored list with an empty entry in the middle (read again with F5): the user is told before
  // the wizard shows the entries ahead of it; Cancel leaves the stored list as it was.
  const std::string gapped = automation::toUtf8(documents + L";;" + inner);
  ASSERT_TRUE(install.engineState().set("anchored", gapped));
  press(main, {VK_F5});
  chooseMenu(main, 'A', {'A'});
  const HWND told = windowOf(korvane.id(), "Data Anchoring");
  ASSERT_NE(told, nullptr);
  EXPECT_NE(automation::readBox(told).texts.at(0).find("holds an empty entry"), std::string::npos);
  press(told, {VK_RETURN});
  wizard = windowOf(korvane.id(), "Data Anchoring Wizard");
  ASSERT_NE(wizard, nullptr);
  click(automation::buttonOf(wizard, "Next"));
  EXPECT_EQ(SendMessageW(automation::controlsOfClass(wizard, L"SysListView32").at(0), LVM_GETITEMCOUNT, 0, 0),
            1);
  click(automation::buttonOf(wizard, "Cancel"));
  EXPECT_TRUE(automation::waitUntilGone(wizard, kTimeoutMs));
  EXPECT_EQ(install.engineState().get("anchored", ""), gapped);
  EXPECT_EQ(automation::closeManager(korvane, kTimeoutMs), std::optional<DWORD>(0));
}

TEST(AboutE2e, VersionSupportInfoAndItsFailureKeepTheUserInTheDialog) {
  automation::Installation install;
  StartedPrograms started;
  // A program folder without the support tool: its start fails, visibly.
  const std::wstring inFolder = install.folder().make(L"programs\\none");
  automation::ApplicationPath programs(inFolder.substr(0, inFolder.find_last_of(L'\\')));
  install.setEngineState(
      {"areas=2", "area.1=0|1733000000|0|5000|Original Area", "area.2=1|1733600000|0|5000|Rescue Area"});
  automation::Program korvane(automation::besideTests(L"Korvane.exe"), L"", install.path());
  const HWND main = mainWindowOf(korvane.id());
  ASSERT_NE(main, nullptr);

  chooseMenu(main, 'H', {'A'});
  const HWND about = windowOf(korvane.id(), "About Korvane\xe2\x84\xa2");
  ASSERT_NE(about, nullptr);
  const std::vector<std::string> texts = shownTexts(about);
  EXPECT_NE(std::find_if(texts.begin(), texts.end(),
                         [](const std::string& t) { return t.rfind("3.1.0 Build ", 0) == 0; }),
            texts.end());
  click(automation::buttonOf(about, "Support Info..."));
  const HWND support = windowOf(korvane.id(), "Support Information");
  ASSERT_NE(support, nullptr);
  press(support, {VK_RETURN});  // OK: the three first boxes are checked
  const HWND box = windowOf(korvane.id(), "Korvane Error");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(automation::readBox(box).texts.at(0), "There was an error running Diagsnap.exe");
  press(box, {VK_RETURN});
  EXPECT_TRUE(automation::waitUntilGone(box, kTimeoutMs));
  EXPECT_TRUE(IsWindowVisible(support)) << "the dialog stays";
  press(support, {VK_ESCAPE});
  EXPECT_TRUE(automation::waitUntilGone(support, kTimeoutMs));
  EXPECT_TRUE(automation::waitUntilGone(about, kTimeoutMs))
      << "the about box closes after the support dialog";
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_EQ(automation::closeManager(korvane, kTimeoutMs), std::optional<DWORD>(0));
}

// A visible top-level window of any program whose title starts so, polled until it comes.
HWND topWindowStarting(const std::string& prefix) {
  const DWORD start = GetTickCount();
  for (;;) {
    for (HWND window : automation::topLevelWindows())
      if (IsWindowVisible(window) && automation::windowText(window).rfind(prefix, 0) == 0) return window;
    if (GetTickCount() - start >= kTimeoutMs) return nullptr;
    Sleep(100);
  }
}

TEST(SupportInfoE2e, TheToolRunsFromAFolderWithSpacesAndNotepadOpensItsReportOnTheDesktop) {
  automation::Installation install;
  automation::UserDesktop desktop;
  StartedPrograms started;
  // The companion programs in a folder whose name holds a space and an ampersand.
  const std::wstring tool = install.folder().make(L"R&D Tools\\Korvane\\Diagsnap.exe");
  const std::wstring folder = tool.substr(0, tool.find_last_of(L'\\'));
  ASSERT_TRUE(CopyFileW(automation::besideTests(L"Diagsnap.exe").c_str(), tool.c_str(), FALSE));
  ASSERT_TRUE(
      CopyFileW(automation::besideTests(L"Korvane.exe").c_str(), (folder + L"\\Korvane.exe").c_str(), FALSE));
  automation::ApplicationPath programs(folder);
  install.setEngineState(
      {"areas=2", "area.1=0|1733000000|0|5000|Original Area", "area.2=1|1733600000|0|5000|Rescue Area"});
  automation::Program korvane(automation::besideTests(L"Korvane.exe"), L"", install.path());
  const HWND main = mainWindowOf(korvane.id());
  ASSERT_NE(main, nullptr);

  chooseMenu(main, 'H', {'A'});
  const HWND about = windowOf(korvane.id(), "About Korvane\xe2\x84\xa2");
  ASSERT_NE(about, nullptr);
  click(automation::buttonOf(about, "Support Info..."));
  const HWND support = windowOf(korvane.id(), "Support Information");
  ASSERT_NE(support, nullptr);
  // Two steps up on the days' arrows: 3 days, and the detail logs asked for with them.
  const HWND arrows = automation::controlsOfClass(support, L"msctls_updown32").at(0);
  RECT rect{};
  GetWindowRect(arrows, &rect);
  for (int step = 0; step < 2; ++step) clickAt(arrows, (rect.left + rect.right) / 2, rect.top + 3);
  EXPECT_EQ(automation::windowText(automation::controlsOfClass(support, L"Edit").at(0)), "3");
  const HWND detailBox = automation::buttonOf(support, "Include Detail logs for previous");
  ASSERT_NE(detailBox, nullptr);
  EXPECT_EQ(SendMessageW(detailBox, BM_GETCHECK, 0, 0), BST_CHECKED);
  press(support, {VK_RETURN});

  // The tool has written its report on the desktop, and Notepad shows it from there.
  const HWND notepad = topWindowStarting("Diagsnap");
  ASSERT_NE(notepad, nullptr);
  const std::string report = automation::readFile(desktop.file(L"Diagsnap.txt")).value_or("");
  EXPECT_NE(report.find("Asked for: REG $KRV SYS SETUP MAIN DETAIL:3\r\n"), std::string::npos) << report;
  EXPECT_NE(report.find("Original Area (running)"), std::string::npos);
  const HWND editor = automation::controlsOfClass(notepad, L"Edit").at(0);
  EXPECT_NE(automation::windowText(editor).find("Asked for: REG $KRV SYS SETUP MAIN DETAIL:3"),
            std::string::npos);
  PostMessageW(notepad, WM_CLOSE, 0, 0);
  EXPECT_TRUE(automation::waitUntilGone(notepad, kTimeoutMs));

  // The dialog closed after starting Notepad, and the about box with it.
  EXPECT_TRUE(automation::waitUntilGone(support, kTimeoutMs));
  EXPECT_TRUE(automation::waitUntilGone(about, kTimeoutMs));
  EXPECT_EQ(automation::closeManager(korvane, kTimeoutMs), std::optional<DWORD>(0));
}

}  // namespace
