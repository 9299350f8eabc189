// The Win32 platform layer against the real system under Wine.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "automation/Automation.h"
#include "automation/TestEnvironment.h"
#include "platform/win32/Win32Platform.h"
#include "ui/win32/Win32FormToolkit.h"

extern const platform::StringEntry kKorvaneStrings[];
extern const std::size_t kKorvaneStringsCount;

namespace win32 = platform::win32;

namespace {

// A top-level window on a thread of its own with a message loop, as another program's would be.
class OwnWindow {
 public:
  explicit OwnWindow(const std::wstring& title, int show = SW_SHOWNORMAL) {
    thread_ = std::thread([this, title, show] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = DefWindowProcW;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"KrvPlatformTestWindow";
      RegisterClassW(&wc);
      hwnd_ = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 10, 10, 300, 200,
                              nullptr, nullptr, wc.hInstance, nullptr);
      ShowWindow(hwnd_, show);
      threadId_ = GetCurrentThreadId();
      ready_ = true;
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    });
    while (!ready_) Sleep(10);
  }
  ~OwnWindow() {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  HWND hwnd() const { return hwnd_; }
  platform::WindowHandle handle() const { return reinterpret_cast<platform::WindowHandle>(hwnd_); }

 private:
  std::thread thread_;
  std::atomic<bool> ready_{false};
  HWND hwnd_ = nullptr;
  DWORD threadId_ = 0;
};

TEST(Win32System, ReadsTheProgramVersionFromItsVersionResource) {
  auto system = win32::createSystem("Pellora.Korvane.Test.Version");
  const platform::ProgramVersion version = system->programVersion();
  EXPECT_EQ(version.major, 3);
  EXPECT_EQ(version.minor, 1);
  EXPECT_EQ(version.revision, 7);
}

TEST(Win32System, ReportsAWorkstationWithItsVersion) {
  auto system = win32::createSystem("Pellora.Korvane.Test.Os");
  const platform::OsVersion os = system->osVersion();
  EXPECT_EQ(os.productType, platform::kProductTypeWorkstation);
  EXPECT_GE(os.major, 5u);
  OSVERSIONINFOW plain{};
  plain.dwOSVersionInfoSize = sizeof(plain);
  ASSERT_TRUE(GetVersionExW(&plain));
  EXPECT_EQ(os.major, plain.dwMajorVersion);
  EXPECT_EQ(os.minor, plain.dwMinorVersion);
}

TEST(Win32System, CommandLineIsWhatFollowsTheQuotedProgramNameExactly) {
  // A GUI program in a folder with blanks in its name, started with its path quoted, as the shell
  // and the tests start the manager; it writes down what the platform layer read for it.
  automation::TempFolder folder;
  const std::wstring program = folder.make(L"Program Files\\Korvane Test\\Line Echo.exe");
  ASSERT_TRUE(CopyFileW(automation::besideTests(L"KrvLineEcho.exe").c_str(), program.c_str(), FALSE));
  const std::wstring written = folder.path() + L"\\Program Files\\Korvane Test\\commandline.txt";
  struct Case {
    const wchar_t* arguments;
    std::string line;
  };
  const Case cases[] = {
      {L"", ""},
      {L"/copy \"pass word\"", "/copy \"pass word\""},
      // The blanks after the name go; those within and after the arguments, and every quote, stay.
      {L" \t /exclude C:\\Temp;\"C:\\Program Files\\A B\"  say \\\"hi\\\" ",
       "/exclude C:\\Temp;\"C:\\Program Files\\A B\"  say \\\"hi\\\" "},
      {L"/resetpassword Caf\u00e9\u2122", "/resetpassword Caf\xC3\xA9\xE2\x84\xA2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    DeleteFileW(written.c_str());
    automation::Program echo(program, c.arguments);
    ASSERT_TRUE(echo.started());
    ASSERT_EQ(echo.waitForExit(10000), 0u);
    EXPECT_EQ(automation::readFile(written), c.line);
  }
}

TEST(Win32System, TheFirstHolderOfTheIndicationIsTheOnlyOneNotToldOfAnotherInstance) {
  auto first = win32::createSystem("Pellora.Korvane.Test.Instance");
  auto second = win32::createSystem("Pellora.Korvane.Test.Instance");
  EXPECT_FALSE(first->anotherInstanceRunning());
  EXPECT_FALSE(first->anotherInstanceRunning()) << "asking again does not change the answer";
  EXPECT_TRUE(second->anotherInstanceRunning());
  auto other = win32::createSystem("Pellora.Korvane.Test.OtherName");
  EXPECT_FALSE(other->anotherInstanceRunning());
  first.reset();
  second.reset();
  auto later = win32::createSystem("Pellora.Korvane.Test.Instance");
  EXPECT_FALSE(later->anotherInstanceRunning()) << "the indication ends with its holders";
}

TEST(Win32WindowManager, EnumeratesTopLevelWindowsAndReadsAtMostTheCharactersAsked) {
  OwnWindow window(L"Korvane\u2122 platform test window with a long title");
  auto windows = win32::createWindowManager();
  const auto all = windows->topLevelWindows();
  EXPECT_NE(std::find(all.begin(), all.end(), window.handle()), all.end());
  EXPECT_EQ(windows->windowText(window.handle(), 39), "Korvane\xE2\x84\xA2 platform test window with a lo");
  EXPECT_EQ(windows->windowText(window.handle(), 7), "Korvane");
}

TEST(Win32WindowManager, RestoresAMinimisedWindowOfAnotherThread) {
  OwnWindow window(L"Korvane minimised", SW_SHOWMINIMIZED);
  auto windows = win32::createWindowManager();
  ASSERT_TRUE(windows->isMinimised(window.handle()));
  windows->activate(window.handle());
  windows->restore(window.handle());
  windows->bringToForeground(window.handle());
  for (int i = 0; i < 100 && IsIconic(window.hwnd()); ++i) Sleep(20);
  EXPECT_FALSE(windows->isMinimised(window.handle()));
}

TEST(Win32LibraryLoader, ResolvesExportsByNameAndAnswersNothingForMissingOnes) {
  auto loader = win32::createLibraryLoader();
  EXPECT_EQ(loader->load("KRVNoSuchLibrary"), nullptr);
  auto kernel = loader->load("kernel32");
  ASSERT_NE(kernel, nullptr);
  auto tick = reinterpret_cast<DWORD(WINAPI*)()>(kernel->resolve("GetTickCount"));
  ASSERT_NE(tick, nullptr);
  EXPECT_GT(tick(), 0u);
  EXPECT_EQ(kernel->resolve("KRV_NoSuchExport"), nullptr);
}

TEST(Win32AnsiCodec, RoundTripsTheCodePageAndMarksWhatItLacks) {
  auto codec = win32::createAnsiCodec();
  EXPECT_EQ(codec->toAnsi("Area 1"), "Area 1");
  EXPECT_EQ(codec->fromAnsi(codec->toAnsi("Area 1")), "Area 1");
  if (GetACP() == 1252) {
    EXPECT_EQ(codec->toAnsi("Korvane\xE2\x84\xA2"), "Korvane\x99");
    EXPECT_EQ(codec->fromAnsi("\x99"), "\xE2\x84\xA2");
    EXPECT_EQ(codec->toAnsi("\xE4\xB8\xAD"), "?") << "a character the code page lacks";
  }
}

TEST(ResourceStringTable, HoldsEveryTextOfTheCompiledTable) {
  auto resources = win32::createResourceStringTable();
  platform::CompiledStringTable compiled(kKorvaneStrings, kKorvaneStringsCount);
  ASSERT_GT(kKorvaneStringsCount, 0u);
  for (const platform::StringEntry& entry : compiled)
    EXPECT_EQ(resources->text(entry.id), entry.text) << entry.id;
  EXPECT_EQ(resources->text(1), "");
  EXPECT_EQ(resources->text(1020), "You must be a Computer Administrator to manage Korvane.");
}

TEST(Win32FormToolkit, ShowsASystemMessageBoxAndAnswersTheButtonPressed) {
  auto toolkit = ui::win32::createFormToolkit();
  toolkit->initCommonControls();
  struct Case {
    ui::Buttons buttons;
    ui::Icon icon;
    int defaultButton;
    const char* press;
    ui::Answer answer;
    std::vector<std::string> captions;
    std::string defaultCaption;
  };
  const Case cases[] = {
      {ui::Buttons::OK, ui::Icon::Critical, 1, "OK", ui::Answer::OK, {"OK"}, "OK"},
      {ui::Buttons::YesNo, ui::Icon::Question, 1, "No", ui::Answer::No, {"Yes", "No"}, "Yes"},
      {ui::Buttons::YesNo, ui::Icon::Exclamation, 2, "Yes", ui::Answer::Yes, {"Yes", "No"}, "No"},
      {ui::Buttons::OKCancel, ui::Icon::Information, 1, "Cancel", ui::Answer::Cancel, {"OK", "Cancel"}, "OK"},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string title = "Korvane toolkit test " + std::to_string(++n);
    std::atomic<bool> pressed{false};
    automation::BoxContents seen;
    std::thread user([&] {
      HWND box = automation::waitForMessageBox(title, 10000);
      if (!box) return;
      seen = automation::readBox(box);
      pressed = automation::pressButton(box, c.press);
    });
    ui::MessageBoxRequest request{"First paragraph\r\rSecond", title, c.buttons, c.icon, c.defaultButton};
    const ui::Answer answer = toolkit->messageBox(request);
    user.join();
    EXPECT_TRUE(pressed) << title;
    EXPECT_EQ(answer, c.answer) << title;
    EXPECT_EQ(seen.title, title);
    EXPECT_EQ(seen.buttons, c.captions) << title;
    EXPECT_EQ(seen.defaultButton, c.defaultCaption) << title;
    EXPECT_EQ(seen.criticalIcon, c.icon == ui::Icon::Critical) << title;
    EXPECT_EQ(seen.questionIcon, c.icon == ui::Icon::Question) << title;
    EXPECT_EQ(seen.exclamationIcon, c.icon == ui::Icon::Exclamation) << title;
    EXPECT_EQ(seen.informationIcon, c.icon == ui::Icon::Information) << title;
    ASSERT_FALSE(seen.texts.empty());
    EXPECT_EQ(seen.texts.front(), "First paragraph\r\rSecond");
  }
}

}  // namespace
