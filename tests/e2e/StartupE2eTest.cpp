// The manager's start-up, run as the real Korvane.exe with the engine stand-in.

#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "automation/Automation.h"
#include "automation/TestEnvironment.h"

namespace {

constexpr DWORD kExitTimeoutMs = 30000;
constexpr DWORD kBoxTimeoutMs = 20000;
constexpr const wchar_t* kInstanceMutex = L"Pellora.Korvane.Manager.Instance";
const std::string kVersionLine = "Korvane Manager [Version " KRV_VERSION_TEXT "]";

std::wstring korvane() {
  return automation::besideTests(L"Korvane.exe");
}

// A top-level window on a thread of its own with a message loop, as a running manager's would be:
// requests from another process to restore it are carried out by that loop.
class OtherWindow {
 public:
  OtherWindow(const std::wstring& title, int show) {
    thread_ = std::thread([this, title, show] {
      WNDCLASSW windowClass{};
      windowClass.lpfnWndProc = DefWindowProcW;
      windowClass.hInstance = GetModuleHandleW(nullptr);
      windowClass.lpszClassName = L"KrvE2eEarlierInstance";
      RegisterClassW(&windowClass);
      hwnd_ = CreateWindowExW(0, windowClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 40, 40, 320,
                              200, nullptr, nullptr, windowClass.hInstance, nullptr);
      ShowWindow(hwnd_, show);
      threadId_ = GetCurrentThreadId();
      ready_ = true;
      MSG message;
      while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      DestroyWindow(hwnd_);
    });
    while (!ready_) Sleep(10);
  }
  ~OtherWindow() {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  HWND hwnd() const { return hwnd_; }

 private:
  std::thread thread_;
  std::atomic<bool> ready_{false};
  HWND hwnd_ = nullptr;
  DWORD threadId_ = 0;
};

// Holds the manager's one-instance indication, as a running manager does.
class EarlierInstance {
 public:
  EarlierInstance() : mutex_(CreateMutexW(nullptr, FALSE, kInstanceMutex)) {}
  ~EarlierInstance() {
    if (mutex_) CloseHandle(mutex_);
  }
  bool held() const { return mutex_ != nullptr; }

 private:
  HANDLE mutex_;
};

int position(const std::vector<HWND>& order, HWND window) {
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (order[i] == window) return static_cast<int>(i);
  }
  return -1;
}

std::vector<HWND> zOrder() {
  std::vector<HWND> windows;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) windows.push_back(w);
  return windows;
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// "mm/dd/yyyy hh:nn:ss" as local time, or nothing when the text is not one.
std::optional<SYSTEMTIME> parseLogTime(const std::string& text) {
  const std::string pattern = "99/99/9999 99:99:99";
  if (text.size() != pattern.size()) return std::nullopt;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '9' ? !isDigit(text[i]) : text[i] != pattern[i]) return std::nullopt;
  }
  SYSTEMTIME t{};
  t.wMonth = static_cast<WORD>(std::atoi(text.substr(0, 2).c_str()));
  t.wDay = static_cast<WORD>(std::atoi(text.substr(3, 2).c_str()));
  t.wYear = static_cast<WORD>(std::atoi(text.substr(6, 4).c_str()));
  t.wHour = static_cast<WORD>(std::atoi(text.substr(11, 2).c_str()));
  t.wMinute = static_cast<WORD>(std::atoi(text.substr(14, 2).c_str()));
  t.wSecond = static_cast<WORD>(std::atoi(text.substr(17, 2).c_str()));
  FILETIME valid;
  if (!SystemTimeToFileTime(&t, &valid)) return std::nullopt;
  return t;
}

long long secondsOf(const SYSTEMTIME& t) {
  FILETIME file;
  SystemTimeToFileTime(&t, &file);
  return ((static_cast<long long>(file.dwHighDateTime) << 32) | file.dwLowDateTime) / 10000000LL;
}

long long nowSeconds() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return secondsOf(now);
}

// The master log's lines that carry this text at position 30, checked for the layout the log
// viewer reads: a date at 1-19, a four-digit advisory message number at 25-28, a space at 29.
std::vector<std::string> masterEntriesWithText(const std::string& log, const std::string& text,
                                               long long notBefore, long long notAfter) {
  std::vector<std::string> found;
  for (const std::string& line : automation::splitLines(log)) {
    if (line.size() < 29 || line.substr(29) != text) continue;
    found.push_back(line);
    const std::optional<SYSTEMTIME> when = parseLogTime(line.substr(0, 19));
    EXPECT_TRUE(when.has_value()) << "no date at positions 1-19: " << line;
    if (when) {
      EXPECT_GE(secondsOf(*when), notBefore) << line;
      EXPECT_LE(secondsOf(*when), notAfter) << line;
    }
    const std::string number = line.substr(24, 4);
    EXPECT_TRUE(isDigit(number[0]) && isDigit(number[1]) && isDigit(number[2]) && isDigit(number[3])) << line;
    const int remainder = std::atoi(number.c_str()) % 500;
    EXPECT_TRUE(remainder >= 400 && remainder <= 449) << "not an advisory message number: " << line;
    EXPECT_EQ(line[28], ' ') << line;
  }
  return found;
}

bool logMentions(const automation::Installation& install, const std::string& text) {
  const std::optional<std::string> log = automation::readFile(install.masterLogPath());
  return log && log->find(text) != std::string::npos;
}

// ---- One instance ------------------------------------------------------------------------------

TEST(SecondStart, BringsTheEarlierInstancesMinimisedWindowBackAndEndsWithOne) {
  automation::Installation install;
  EarlierInstance earlier;
  ASSERT_TRUE(earlier.held());
  OtherWindow manager(L"Korvane\u2122 3.1", SW_SHOWMINIMIZED);
  ASSERT_TRUE(IsIconic(manager.hwnd()));

  automation::Program second(korvane(), L"", install.path());
  ASSERT_TRUE(second.started());
  EXPECT_EQ(second.waitForExit(kExitTimeoutMs), std::optional<DWORD>(1));

  EXPECT_FALSE(IsIconic(manager.hwnd())) << "the earlier instance's window is restored";
  EXPECT_TRUE(IsWindowVisible(manager.hwnd()));
  EXPECT_EQ(GetForegroundWindow(), manager.hwnd()) << "and brought to the foreground";
  EXPECT_FALSE(second.showedWindow()) << "the second instance shows no window of its own";
  EXPECT_FALSE(automation::fileExists(install.masterLogPath())) << "it stops before the version line";
}

TEST(SecondStart, SearchesTheFirst39CharactersOfEachTitleWithoutRegardToCase) {
  automation::Installation install;
  EarlierInstance earlier;
  ASSERT_TRUE(earlier.held());
  // The name ends at character 39 here and at character 40 in the decoy, which comes first in the
  // window order: only this one may be found.
  OtherWindow manager(L"Window of the earlier instance: korvane", SW_SHOWMINIMIZED);
  OtherWindow decoy(L"A decoy, its title a bit longer: Korvane", SW_SHOWMINIMIZED);
  SetWindowPos(decoy.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const std::vector<HWND> order = zOrder();
  ASSERT_LT(position(order, decoy.hwnd()), position(order, manager.hwnd())) << "the decoy is searched first";

  automation::Program second(korvane(), L"", install.path());
  ASSERT_TRUE(second.started());
  EXPECT_EQ(second.waitForExit(kExitTimeoutMs), std::optional<DWORD>(1));

  EXPECT_FALSE(IsIconic(manager.hwnd()));
  EXPECT_TRUE(IsIconic(decoy.hwnd())) << "a name past character 39 is not seen";
}

TEST(SecondStart, EndsWithOneAndShowsNothingWhenNoWindowBearsTheTitle) {
  automation::Installation install;
  EarlierInstance earlier;
  ASSERT_TRUE(earlier.held());
  OtherWindow unrelated(L"Some other program", SW_SHOWMINIMIZED);

  automation::Program second(korvane(), L"", install.path());
  ASSERT_TRUE(second.started());
  EXPECT_EQ(second.waitForExit(kExitTimeoutMs), std::optional<DWORD>(1));

  EXPECT_FALSE(second.showedWindow());
  EXPECT_TRUE(IsIconic(unrelated.hwnd())) << "a window without the title is left alone";
  EXPECT_FALSE(automation::fileExists(install.masterLogPath())) << "nothing is logged";
}

// ---- Refused starts -------------------------------------------------------------------------

// The fatal error box the program shows: exactly this text, the error title, the critical icon and
// only OK. The program waits in it; after OK it ends with exit code 1.
void expectFatalErrorEndingWithOne(automation::Program& program, const std::string& text,
                                   const std::wstring& screenshot) {
  HWND box = automation::waitForMessageBoxOf(program.id(), kBoxTimeoutMs);
  ASSERT_NE(box, nullptr) << "no message box appeared";
  const automation::BoxContents contents = automation::readBox(box);
  automation::saveScreenshot(screenshot);
  EXPECT_EQ(contents.title, "Error - Korvane");
  EXPECT_EQ(contents.texts, std::vector<std::string>{text});
  EXPECT_EQ(contents.buttons, std::vector<std::string>{"OK"});
  EXPECT_TRUE(contents.criticalIcon) << "icon: " << automation::iconName(automation::boxIcon(box));
  EXPECT_FALSE(contents.informationIcon || contents.questionIcon || contents.exclamationIcon);
  Sleep(300);
  EXPECT_TRUE(program.running()) << "the box waits for the user";
  ASSERT_TRUE(automation::pressButton(box, "OK"));
  EXPECT_EQ(program.waitForExit(kExitTimeoutMs), std::optional<DWORD>(1));
}

TEST(AdministratorCheck, ANonAdministratorSeesTheFatalErrorAndTheProgramEndsWithOneAfterOK) {
  automation::Installation install;
  ASSERT_TRUE(install.engineState().set("administrator", "no"));

  automation::Program korvaneRun(korvane(), L"", install.path());
  ASSERT_TRUE(korvaneRun.started());
  expectFatalErrorEndingWithOne(korvaneRun, "You must be a Computer Administrator to manage Korvane.",
                                automation::screenshotFile(L"administrator-box.bmp"));
  EXPECT_FALSE(logMentions(install, "Korvane Manager")) << "start-up ends in the box: no version line";
}

// The manager and the engine library in a folder of their own, with no install location: were the
// engine contacted, it would fall back to its own folder and log there.
void expectNoServiceInfoError(const std::optional<std::wstring>& location) {
  automation::TempFolder folder;
  automation::ServiceInfoLocation registered(location);
  const std::wstring program = folder.make(L"Korvane.exe");
  ASSERT_TRUE(CopyFileW(korvane().c_str(), program.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(automation::besideTests(L"KRVCopyCtrl.dll").c_str(),
                        folder.make(L"KRVCopyCtrl.dll").c_str(), FALSE));

  automation::Program korvaneRun(program, L"", folder.path());
  ASSERT_TRUE(korvaneRun.started());
  expectFatalErrorEndingWithOne(korvaneRun, "Unable to read the Korvane ServiceInfo Key.",
                                automation::screenshotFile(L"no-location-box.bmp"));
  EXPECT_FALSE(automation::fileExists(folder.path() + L"\\$LOGS\\KRV.log")) << "the engine is not contacted";
}

TEST(InstallLocation, AMissingLocationEndsInTheFatalErrorBeforeTheEngineIsContacted) {
  expectNoServiceInfoError(std::nullopt);
}

TEST(InstallLocation, AnAllBlankLocationCountsAsMissing) {
  expectNoServiceInfoError(L"   ");
}

// ---- Version line -----------------------------------------------------------------------------

TEST(VersionLine, ANormalStartWritesTheVersionLineToTheMasterLogOnce) {
  automation::Installation install;  // no engine state at all: an administrator, nothing special
  const long long before = nowSeconds();

  OtherWindow copying(L"Copy/Update", SW_SHOWNOACTIVATE);  // no first copy of its own

  automation::Program korvaneRun(korvane(), L"", install.path());
  ASSERT_TRUE(korvaneRun.started());
  EXPECT_EQ(automation::closeManager(korvaneRun, kExitTimeoutMs), std::optional<DWORD>(0));

  const std::optional<std::string> log = automation::readFile(install.masterLogPath());
  ASSERT_TRUE(log.has_value()) << "no master log";
  const auto entries = masterEntriesWithText(*log, kVersionLine, before - 1, nowSeconds() + 1);
  EXPECT_EQ(entries.size(), 1u) << *log;
  std::size_t managerLines = 0;
  for (const std::string& line : automation::splitLines(*log))
    managerLines += line.compare(19, 5, " MGR ") == 0;
  EXPECT_EQ(managerLines, 1u) << "one line of the manager's per start: " << *log;
  EXPECT_TRUE(log->size() >= 2 && log->substr(log->size() - 2) == "\r\n") << "the line ends in CR LF";
}

// ---- Areas and first-run lists ---------------------------------------------------------------

TEST(FirstStart, NamesTheFactoryNamedAreaAndAnchorsTheUsersFolders) {
  automation::Installation install;                        // a fresh engine: one area "ORIGINAL", running
  OtherWindow copying(L"Copy/Update", SW_SHOWNOACTIVATE);  // no first copy of its own
  automation::Program korvaneRun(korvane(), L"", install.path());
  ASSERT_TRUE(korvaneRun.started());
  std::vector<std::string> boxes;
  EXPECT_EQ(automation::closeManager(korvaneRun, kExitTimeoutMs, &boxes), std::optional<DWORD>(0));
  EXPECT_EQ(boxes, std::vector<std::string>{"Korvane"}) << "the first copy's notice, no error box";
  const std::string area = install.engineState().get("area.1", "");
  EXPECT_EQ(area.substr(0, 2), "0|") << area;
  EXPECT_EQ(area.substr(area.rfind('|') + 1), "Original Area");

  wchar_t documents[MAX_PATH] = {};
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents), S_OK);
  const std::string anchored = install.engineState().get("anchored", "(none)");
  EXPECT_NE(anchored.find(automation::toUtf8(documents)), std::string::npos) << anchored;

  // Named once: the next start leaves the name and the anchored list alone.
  ASSERT_TRUE(install.engineState().set("anchored", ";"));
  automation::Program again(korvane(), L"", install.path());
  EXPECT_EQ(automation::closeManager(again, kExitTimeoutMs), std::optional<DWORD>(0));
  EXPECT_EQ(install.engineState().get("anchored", ""), ";");
}

TEST(FirstStart, PendingListsAreHandedToTheEngineOnceAndConsumed) {
  automation::Installation install;
  install.setEngineState({"areas=1", "area.1=0|0|0|5000|Original Area"});
  const std::wstring data = install.folder().make(L"Data Folder\\file");
  const std::wstring folder = data.substr(0, data.find_last_of(L'\\'));
  const wchar_t* preferences = L"SOFTWARE\\Pellora\\Korvane\\Preferences";
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, preferences, L"InitialAnchoredList", REG_SZ, folder.c_str(),
                  static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
  const std::wstring exclusions = L"C:\\Temp\\*.tmp";
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, preferences, L"InitialExclusionList", REG_SZ, exclusions.c_str(),
                  static_cast<DWORD>((exclusions.size() + 1) * sizeof(wchar_t)));

  OtherWindow copying(L"Copy/Update", SW_SHOWNOACTIVATE);  // no first copy of its own
  automation::Program korvaneRun(korvane(), L"", install.path());
  EXPECT_EQ(automation::closeManager(korvaneRun, kExitTimeoutMs), std::optional<DWORD>(0));
  EXPECT_EQ(install.engineState().get("anchored", ""), automation::toUtf8(folder));
  wchar_t stored[512] = {};
  DWORD size = sizeof(stored);
  EXPECT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, preferences, L"DefaultExclusionList", RRF_RT_REG_SZ, nullptr,
                         stored, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(stored), exclusions);
  size = sizeof(stored);
  EXPECT_NE(RegGetValueW(HKEY_LOCAL_MACHINE, preferences, L"InitialAnchoredList", RRF_RT_ANY, nullptr, stored,
                         &size),
            ERROR_SUCCESS)
      << "consumed";
  size = sizeof(stored);
  EXPECT_NE(RegGetValueW(HKEY_LOCAL_MACHINE, preferences, L"InitialExclusionList", RRF_RT_ANY, nullptr,
                         stored, &size),
            ERROR_SUCCESS);
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, preferences);
}

TEST(VersionLine, AnEngineThatAnswersOtherFailuresDoesNotStopStartUp) {
  automation::Installation install;
  // The engine cannot be reached, and closing fails as well: only "not an administrator" stops.
  install.setEngineState({"result.KRV_OpenSnapshots=-103", "result.KRV_CloseSnapshots=-103"});
  const long long before = nowSeconds();

  automation::Program korvaneRun(korvane(), L"", install.path());
  ASSERT_TRUE(korvaneRun.started());
  std::vector<std::string> boxes;
  EXPECT_EQ(automation::closeManager(korvaneRun, kExitTimeoutMs, &boxes), std::optional<DWORD>(0));
  EXPECT_TRUE(boxes.empty()) << "the window shows the engine unavailable; no box";
  const std::optional<std::string> log = automation::readFile(install.masterLogPath());
  ASSERT_TRUE(log.has_value()) << "no master log";
  EXPECT_EQ(masterEntriesWithText(*log, kVersionLine, before - 1, nowSeconds() + 1).size(), 1u) << *log;
}

TEST(VersionLine, WithoutTheEngineLibraryStartUpGoesOnToTheWindow) {
  automation::Installation install;
  // The manager alone in a folder of its own: the library is found nowhere.
  const std::wstring lonely = install.folder().make(L"program\\Korvane.exe");
  ASSERT_TRUE(CopyFileW(korvane().c_str(), lonely.c_str(), FALSE));
  const std::wstring programFolder = lonely.substr(0, lonely.find_last_of(L'\\'));
  ASSERT_FALSE(automation::fileExists(programFolder + L"\\KRVCopyCtrl.dll"));

  automation::Program korvaneRun(lonely, L"", programFolder);
  ASSERT_TRUE(korvaneRun.started());
  std::vector<std::string> boxes;
  EXPECT_EQ(automation::closeManager(korvaneRun, kExitTimeoutMs, &boxes), std::optional<DWORD>(0));
  EXPECT_TRUE(boxes.empty()) << "no error box";
  EXPECT_FALSE(automation::fileExists(install.masterLogPath())) << "no library, so nobody wrote the log";
}

}  // namespace
