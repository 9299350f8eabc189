// The manager's system helpers and preferences over the real Win32 services: programs started and
// waited for, the tray monitor stand-in receiving its messages, and the preferences in the real
// registry. A restart is never requested here: the shutdown service refuses and fails the test.

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "automation/Automation.h"
#include "automation/TestEnvironment.h"
#include "manager/common/Preferences.h"
#include "manager/common/RegistryW.h"
#include "manager/common/SystemHelpers.h"
#include "manager/engine/KRVCopyAPI.h"
#include "manager/engine/KRVFunctions.h"
#include "platform/win32/Win32Platform.h"
#include "ui/win32/Win32FormToolkit.h"

namespace {

namespace win32 = platform::win32;
using krv::kManagerRoot;
using krv::kPreferencesKey;

class RefusingShutdown final : public platform::Shutdown {
 public:
  platform::StepResult openProcessToken() override { return refuse(); }
  platform::StepResult lookupPrivilege(const std::string&) override { return refuse(); }
  platform::StepResult enablePrivilege() override { return refuse(); }
  platform::StepResult exitWindows(std::uint32_t, std::uint32_t) override { return refuse(); }

 private:
  static platform::StepResult refuse() {
    ADD_FAILURE() << "no test may ask to restart the computer";
    return {false, 5};
  }
};

// A top-level window of the test's own that counts its timer ticks and keeps every copy-data
// message it is sent.
class TestWindow {
 public:
  explicit TestWindow(const wchar_t* title) {
    static const ATOM kClass = [] {
      WNDCLASSW windowClass{};
      windowClass.lpfnWndProc = proc;
      windowClass.hInstance = GetModuleHandleW(nullptr);
      windowClass.lpszClassName = L"KrvHelpersTestWindow";
      return RegisterClassW(&windowClass);
    }();
    window_ =
        CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(kClass)), title, WS_OVERLAPPED, 0,
                        0, 100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~TestWindow() { DestroyWindow(window_); }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND handle() const { return window_; }
  platform::WindowHandle id() const { return reinterpret_cast<platform::WindowHandle>(window_); }
  int ticks = 0;
  int copyDataMessages = 0;

 private:
  static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_TIMER) ++self->ticks;
    if (self && message == WM_COPYDATA) {
      ++self->copyDataMessages;
      return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  HWND window_ = nullptr;
};

std::string hex(const std::string& bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  for (unsigned char c : bytes) {
    text.push_back(kHex[c >> 4]);
    text.push_back(kHex[c & 0x0F]);
  }
  return text;
}

class SystemHelpersWin32 : public testing::Test {
 protected:
  void TearDown() override {
    if (monitor_) {
      if (HWND window = FindWindowW(nullptr, L"OVS_KRV_Monitor")) PostMessageW(window, WM_CLOSE, 0, 0);
      monitor_->waitForExit(5000);
    }
  }

  // Starts the tray monitor stand-in and waits for its window.
  HWND startMonitor() {
    monitor_ = std::make_unique<automation::Program>(automation::besideTests(L"KRVMonitor.exe"));
    if (!monitor_->started()) return nullptr;
    for (int i = 0; i < 200; ++i) {
      if (HWND window = FindWindowW(nullptr, L"OVS_KRV_Monitor")) return window;
      Sleep(25);
    }
    return nullptr;
  }
  std::vector<std::string> monitorRecord() const {
    const auto text = automation::readFile(install_.path() + L"\\$ENGINE\\monitor.txt");
    return text ? automation::splitLines(*text) : std::vector<std::string>{};
  }

  automation::Installation install_;
  std::unique_ptr<ui::FormToolkit> toolkit_ = ui::win32::createFormToolkit();
  std::unique_ptr<platform::System> system_ = win32::createSystem("Pellora.Korvane.Test.SystemHelpers");
  std::unique_ptr<platform::WindowManager> windows_ = win32::createWindowManager();
  std::unique_ptr<platform::Processes> processes_ = win32::createProcesses();
  std::unique_ptr<platform::Shell> shell_ = win32::createShell();
  std::unique_ptr<platform::AnsiCodec> codec_ = win32::createAnsiCodec();
  std::unique_ptr<platform::StringTable> strings_ = win32::createResourceStringTable();
  RefusingShutdown shutdown_;
  krv::SystemHelpers helpers_{
      {*processes_, *toolkit_, *windows_, *shell_, shutdown_, *system_, *codec_, *strings_}};
  std::unique_ptr<automation::Program> monitor_;
};

std::string driverCommand(const std::string& arguments) {
  return "\"" + automation::toUtf8(automation::besideTests(L"KrvDriver.exe")) + "\" " + arguments;
}

bool hasEnded(std::uint32_t processId) {
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  if (!process) return true;  // gone altogether
  const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

TEST_F(SystemHelpersWin32, AProgramThatCannotBeStartedGivesZeroWithoutABox) {
  EXPECT_EQ(helpers_.RunTool("C:\\NoSuchFolder\\KRVCmd.exe COPY \"ORIGINAL\" \"RESCUE\"", 1, true), 0u);
  EXPECT_EQ(helpers_.RunTool("NoSuchProgramAnywhere.exe", 0, false), 0u);
  EXPECT_TRUE(automation::visibleWindowsOf(GetCurrentProcessId()).empty());
}

TEST_F(SystemHelpersWin32, WaitingReturnsOnlyAfterTheEndWhileTheCallersTimersFire) {
  TestWindow caller(L"Korvane helpers test");
  ASSERT_NE(SetTimer(caller.handle(), 1, 50, nullptr), 0u);
  const DWORD start = GetTickCount();
  // 259 is the code that otherwise means "still running": the wait must still see the end.
  const std::uint32_t id = helpers_.RunTool(driverCommand("sleep 1200 259"), 0, true);
  const DWORD elapsed = GetTickCount() - start;
  KillTimer(caller.handle(), 1);
  ASSERT_NE(id, 0u);
  EXPECT_TRUE(hasEnded(id));
  EXPECT_GE(elapsed, 1100u);
  EXPECT_LT(elapsed, 8000u) << "the end is noticed within a few steps";
  // A timer's ticks arrive when the queue is looked at, at most one per 200-millisecond step; a
  // wait that did not let the interface run would see none.
  EXPECT_GE(caller.ticks, 4) << "the caller's timers kept firing during the wait";

  const std::uint32_t other = helpers_.RunTool(driverCommand("sleep 300 0"), 1, true);
  ASSERT_NE(other, 0u);
  EXPECT_TRUE(hasEnded(other));
}

TEST_F(SystemHelpersWin32, WithoutWaitingReturnsAtOnceWithTheRunningProgram) {
  const DWORD start = GetTickCount();
  const std::uint32_t id = helpers_.RunTool(driverCommand("sleep 1500"), 0, false);
  ASSERT_NE(id, 0u);
  EXPECT_LT(GetTickCount() - start, 1000u);
  EXPECT_FALSE(hasEnded(id));
}

TEST_F(SystemHelpersWin32, TheMonitorReceivesTheTextAsItsEightyByteMessage) {
  const HWND monitor = startMonitor();
  ASSERT_NE(monitor, nullptr);
  TestWindow sender(L"Korvane helpers sender");
  EXPECT_EQ(helpers_.NotifyMonitor(sender.id(), "Manage Korvane"),
            reinterpret_cast<platform::WindowHandle>(monitor));
  const auto record = monitorRecord();
  ASSERT_EQ(record.size(), 1u);
  const std::string expected = "sender=" + std::to_string(reinterpret_cast<std::uintptr_t>(sender.handle())) +
                               " kind=2 size=80 bytes=" + hex("Manage Korvane") + std::string(66 * 2, '0');
  EXPECT_EQ(record[0], expected);

  // A text that does not fit with its NUL is refused and nothing is sent.
  EXPECT_EQ(helpers_.NotifyMonitor(sender.id(), std::string(80, 'x')), 0u);
  EXPECT_EQ(monitorRecord().size(), 1u);
}

TEST_F(SystemHelpersWin32, AWindowWhoseTitleOnlyContainsTheMonitorsIsNotTheMonitor) {
  TestWindow decoy(L"Not the OVS_KRV_Monitor window");
  TestWindow padded(L"OVS_KRV_Monitor ");
  EXPECT_EQ(helpers_.NotifyMonitor(decoy.id(), "Manage Korvane"), 0u);
  EXPECT_EQ(decoy.copyDataMessages, 0);
  EXPECT_EQ(padded.copyDataMessages, 0);
}

// ---- Registry values and preferences in the real registry --------------------------------------

class PreferencesWin32 : public SystemHelpersWin32 {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pellora\\Korvane\\Preferences"); }
  void TearDown() override {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pellora\\Korvane\\Preferences");
    SystemHelpersWin32::TearDown();
  }

  // The names of the values below the preferences key.
  std::set<std::string> storedValues() const {
    std::set<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pellora\\Korvane\\Preferences", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
      return names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
      DWORD length = 256;
      if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names.insert(automation::toUtf8(std::wstring(name, length)));
    }
    RegCloseKey(key);
    return names;
  }
  // The engine's stored settings: every "config." key of its state.
  std::set<std::string> storedSettings() const {
    std::set<std::string> keys;
    for (const auto& [key, value] : install_.engineState().entries())
      if (key.rfind("config.", 0) == 0) keys.insert(key);
    return keys;
  }

  std::unique_ptr<platform::Registry> registry_ = win32::createRegistry();
  krv::RegistryAccess access_{*registry_, *codec_};
  std::unique_ptr<platform::LibraryLoader> loader_ = win32::createLibraryLoader();
  krv::LibraryCopyAPI engine_{*loader_};
  krv::KRVFunctions configuration_{engine_, *codec_};
  krv::Preferences preferences_{access_, configuration_, helpers_};
};

TEST_F(PreferencesWin32, NarrowAndWideTextsKeepTheirLimits) {
  ASSERT_TRUE(access_.WriteRegValue(kManagerRoot, kPreferencesKey, "Fits", std::string(254, 'a')));
  ASSERT_TRUE(access_.WriteRegValue(kManagerRoot, kPreferencesKey, "TooLong", std::string(255, 'b')));
  EXPECT_EQ(access_.ReadRegValue(kManagerRoot, kPreferencesKey, "Fits", "default"), std::string(254, 'a'));
  EXPECT_EQ(access_.ReadRegValue(kManagerRoot, kPreferencesKey, "TooLong", "default"), "default");
  ASSERT_TRUE(access_.WriteRegValue(kManagerRoot, kPreferencesKey, "Longer", std::string(1000, 'c')));
  EXPECT_EQ(access_.ReadRegValue(kManagerRoot, kPreferencesKey, "Longer", "default"), "default");

  std::string text = "unchanged";
  ASSERT_TRUE(access_.WriteRegTextW(kManagerRoot, kPreferencesKey, "One", "\xC3\xA9"));
  EXPECT_TRUE(access_.ReadRegTextW(kManagerRoot, kPreferencesKey, "One", text));
  EXPECT_EQ(text, "\xC3\xA9");
  ASSERT_TRUE(access_.WriteRegTextW(kManagerRoot, kPreferencesKey, "Empty", ""));
  EXPECT_TRUE(access_.ReadRegTextW(kManagerRoot, kPreferencesKey, "Empty", text));
  EXPECT_EQ(text, "");
  // 1989 characters and the NUL are 3980 bytes: more than the buffer holds.
  ASSERT_TRUE(access_.WriteRegTextW(kManagerRoot, kPreferencesKey, "Large", std::string(1989, 'x')));
  text = "unchanged";
  EXPECT_FALSE(access_.ReadRegTextW(kManagerRoot, kPreferencesKey, "Large", text));
  EXPECT_EQ(text, "unchanged");
}

TEST_F(PreferencesWin32, MissingPreferencesLoadTheirDefaultsAndAnUnchangedSaveWritesNothing) {
  // An engine that cannot be reached: every configuration read fails as well.
  install_.setEngineState({"result.KRV_Configuration=-103"});
  ASSERT_NE(startMonitor(), nullptr);
  preferences_.LoadPreferences();
  EXPECT_TRUE(preferences_.current() == preferences_.defaults());
  EXPECT_TRUE(preferences_.SavePreferences(0));
  EXPECT_TRUE(storedValues().empty());
  EXPECT_TRUE(monitorRecord().empty());
}

TEST_F(PreferencesWin32, ChangingOnlyTheBeepWritesOnlyItsValueAndTellsTheMonitorNothing) {
  ASSERT_NE(startMonitor(), nullptr);
  preferences_.LoadPreferences();
  EXPECT_EQ(preferences_.current().bootHotkey, 5) << "the engine's F5";
  preferences_.current().beepAfterTask = 0;
  EXPECT_TRUE(preferences_.SavePreferences(0));
  EXPECT_EQ(storedValues(), std::set<std::string>{"BeepAfterTask"});
  EXPECT_EQ(access_.ReadRegValue(kManagerRoot, kPreferencesKey, "BeepAfterTask", 7), 0);
  EXPECT_TRUE(storedSettings().empty()) << "no engine setting was written";
  EXPECT_TRUE(monitorRecord().empty());

  // The tray icon's appearance is the one change the monitor hears of.
  TestWindow sender(L"Korvane preferences sender");
  preferences_.current().trayIconAppearance = 2;
  preferences_.current().bootHotkey = 9;
  EXPECT_TRUE(preferences_.SavePreferences(sender.id()));
  EXPECT_EQ(storedValues(), (std::set<std::string>{"BeepAfterTask", "TrayIconAppearance"}));
  EXPECT_EQ(storedSettings(), std::set<std::string>{"config.hotkey"});
  const auto record = monitorRecord();
  ASSERT_EQ(record.size(), 1u);
  EXPECT_NE(record[0].find(" kind=2 size=80 bytes=21" + std::string(79 * 2, '0')), std::string::npos)
      << record[0];

  // Loaded afresh, everything reads back as saved.
  krv::Preferences again(access_, configuration_, helpers_);
  again.LoadPreferences();
  EXPECT_TRUE(again.current() == preferences_.current());
}

}  // namespace
