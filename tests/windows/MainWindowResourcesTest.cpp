// The main window on the real screen over the fake engine: the highlight behind the running area's
// name in both states as the screen shows it, and 10,000 refreshes through the timer's path and the
// F5 path, moving between both states and both running areas, holding no more GDI or USER objects
// than after its first refreshes.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "automation/Automation.h"
#include "manager/anchoring/FmAnchor.h"
#include "manager/mainwindow/FmMain.h"
#include "manager/options/FmOptions.h"
#include "manager/support/FmAbout.h"
#include "manager/support/FmSupport.h"
#include "ui/win32/Win32FormToolkit.h"
#include "unit/ManagerFixture.h"
#include "windows/HandleCounts.h"

namespace {

using fakes::snapshot;

// The fake engine with two areas, the Original Area running.
void twoAreas(testsupport::FakeManager& services) {
  services.install();
  services.engine.answer("preboot", "Enabled");
  services.engine.answer("lastboot", "12/06/2026 09:30:00");
  services.engine.snapshots = {snapshot(0, "Original Area", 1500000, 500, 0),
                               snapshot(1, "Rescue Area", 2000000, 700, 600)};
  services.engine.times[500] = {2026, 12, 1, 14, 7, 0};
  services.engine.times[600] = {2026, 11, 20, 0, 5, 0};
  services.engine.times[700] = {2026, 12, 8, 12, 0, 0};
  services.windows.add(krv::SystemHelpers::kMonitorTitle);
  services.clock.now = {2026, 12, 9, 9, 0, 0};
  services.snapshots.LoadSnapshotTable();
}

krv::MainWindowServices servicesOf(testsupport::FakeManager& s, ui::FormToolkit& toolkit) {
  return {toolkit,       s.commons, s.locale,  s.codec,   s.engine, s.configuration, s.snapshots,
          s.preferences, s.tasks,   s.helpers, s.windows, s.files,  s.processes};
}

void settle(ui::FormToolkit& toolkit) {
  for (int i = 0; i < 20; ++i) {
    toolkit.processPendingEvents();
    Sleep(10);
  }
}

// The static control that shows this text (UTF-8).
HWND labelShowing(HWND window, const std::string& text) {
  for (HWND label : automation::controlsOfClass(window, L"Static"))
    if (IsWindowVisible(label) && automation::windowText(label) == text) return label;
  return nullptr;
}

// The visible labels whose text is wider than the label, in the font the label draws with.
std::vector<std::string> cutLabels(HWND window) {
  std::vector<std::string> cut;
  for (HWND child : automation::controlsOfClass(window, L"Static")) {
    wchar_t text[256] = {};
    const int length = GetWindowTextW(child, text, 256);
    if (!IsWindowVisible(child) || length == 0) continue;
    RECT client{};
    GetClientRect(child, &client);
    // The room the text needs at the label's width, wrapped at words as a label wraps it.
    RECT needed{0, 0, client.right, 0};
    HDC dc = GetDC(child);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
    DrawTextW(dc, text, length, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(child, dc);
    if (needed.right > client.right || needed.bottom > client.bottom)
      cut.push_back(std::string(text, text + length));
  }
  return cut;
}

TEST(MainWindowOnScreen, TheHighlightLiesBehindTheRunningAreasNameInItsColourAndNoTextIsCut) {
  struct State {
    const char* shot;
    bool rescueRuns;
    bool available;
    COLORREF highlight;
  };
  for (const State& state : {State{"main-window", false, true, RGB(0x7C, 0xFC, 0x00)},
                             State{"main-window-rescue", true, true, RGB(0xFF, 0xD7, 0x00)},
                             State{"main-window-unavailable", false, false, 0}}) {
    SCOPED_TRACE(state.shot);
    testsupport::FakeManager services;
    twoAreas(services);
    if (state.rescueRuns) {
      services.engine.snapshots[0].number = 1;
      services.engine.snapshots[1].number = 0;
    }
    if (!state.available) services.engine.openResult = -103;
    services.snapshots.LoadSnapshotTable();
    std::unique_ptr<ui::FormToolkit> toolkit = ui::win32::createFormToolkit();
    toolkit->initCommonControls();
    krv::FmMain main(servicesOf(services, *toolkit));
    main.show();
    const HWND window = reinterpret_cast<HWND>(main.nativeHandle());
    ASSERT_NE(window, nullptr);
    // The first picture, when the labels are still painted by what holds them, is the final one.
    // (What the focus changed is painted before the program waits, and so before the screen shows
    // the window.)
    UpdateWindow(window);
    const std::vector<DWORD> first = automation::clientPixels(window);
    SetForegroundWindow(window);
    settle(*toolkit);
    EXPECT_EQ(automation::clientPixels(window), first) << "the labels' windows changed the picture";
    if (state.available) {
      const HWND name = labelShowing(window, state.rescueRuns ? "Rescue Area" : "Original Area");
      ASSERT_NE(name, nullptr);
      RECT rect{};
      GetWindowRect(name, &rect);
      HDC screen = GetDC(nullptr);
      // Left of the name and below it, inside the highlight's margin.
      EXPECT_EQ(GetPixel(screen, rect.left - 4, (rect.top + rect.bottom) / 2), state.highlight);
      EXPECT_EQ(GetPixel(screen, (rect.left + rect.right) / 2, rect.bottom), state.highlight);
      ReleaseDC(nullptr, screen);
    } else {
      EXPECT_EQ(labelShowing(window, "Original Area"), nullptr) << "no name, no highlight";
    }
    EXPECT_EQ(cutLabels(window), std::vector<std::string>{});
    // An age of months is still shown whole.
    services.clock.now = {2027, 3, 30, 23, 0, 0};
    main.RefreshStatus(false);
    settle(*toolkit);
    EXPECT_EQ(cutLabels(window), std::vector<std::string>{});
    services.clock.now = {2026, 12, 9, 9, 0, 0};
    main.RefreshStatus(false);
    settle(*toolkit);
    // The documentation's pictures: KRV_MAIN_WINDOW_SHOTS names a folder for them.
    if (const char* folder = std::getenv("KRV_MAIN_WINDOW_SHOTS")) {
      RECT rect{};
      GetWindowRect(window, &rect);
      const std::string file = std::string(folder) + "\\" + state.shot + ".bmp";
      ASSERT_TRUE(automation::saveScreenshot(automation::toWide(file)));
      std::printf("%s %ldx%ld+%ld+%ld\n", state.shot, rect.right - rect.left, rect.bottom - rect.top,
                  rect.left, rect.top);
    }
    main.unload();
    settle(*toolkit);
  }
}

TEST(MainWindowResources, TenThousandRefreshesHoldNoMoreObjects) {
  testsupport::FakeManager services;
  twoAreas(services);
  std::unique_ptr<ui::FormToolkit> toolkit = ui::win32::createFormToolkit();
  toolkit->initCommonControls();
  krv::FmMain main(servicesOf(services, *toolkit));
  main.show();
  ASSERT_NE(main.nativeHandle(), ui::NativeHandle{});

  // As the window lives: every tick moves the clock (the relative times change); every tenth
  // refresh is F5 after the engine changed (the state, the running area, the pre-boot screen, the
  // password).
  const auto refresh = [&](int from, int to) {
    for (int i = from; i < to; ++i) {
      services.clock.now.minute = i % 60;
      if (i % 10 == 0) {
        const int step = i / 10;
        services.engine.openResult = step % 7 == 3 ? -103 : 0;
        services.engine.snapshots[0].number = step % 3 == 0 ? 1 : 0;
        services.engine.snapshots[1].number = step % 3 == 0 ? 0 : 1;
        services.engine.answer("preboot", step % 2 ? "Enabled" : "Disabled");
        services.preferences.current().copyPasswordEnabled = step % 4 == 0;
        main.keyDown(ui::Key::F5, {});
      } else {
        main.tmrRefresh.onTimer();
      }
      if (i % 25 == 0) toolkit->processPendingEvents();
    }
    toolkit->processPendingEvents();
  };
  refresh(0, 200);
  const testsupport::HandleCounts before = testsupport::handleCounts();
  ASSERT_TRUE(testsupport::countingSeesOneMore(before));
  refresh(200, 10200);
  const testsupport::HandleCounts after = testsupport::handleCounts();
  std::printf("main window, %s objects: GDI %lu -> %lu, USER %lu -> %lu\n",
              before.probed ? "probed" : "system's count of", before.gdi, after.gdi, before.user, after.user);
  EXPECT_LE(after.gdi, before.gdi + 2);
  EXPECT_LE(after.user, before.user + 2);
  EXPECT_GT(after.gdi, 0u);
  main.unload();
}

// The Options dialog on the screen: each tab, reached by a click on it, shows its controls with no
// text cut (KRV_MAIN_WINDOW_SHOTS also keeps a picture of each tab).
TEST(OptionsOnScreen, EveryTabShowsItsTextsWhole) {
  testsupport::FakeManager services;
  twoAreas(services);
  services.engine.answer("keeplogs", "30");
  std::unique_ptr<ui::FormToolkit> toolkit = ui::win32::createFormToolkit();
  toolkit->initCommonControls();
  krv::FmOptions options({*toolkit, services.commons, services.preferences, services.engine, services.codec});
  options.show();
  const HWND window = reinterpret_cast<HWND>(options.nativeHandle());
  ASSERT_NE(window, nullptr);
  SetForegroundWindow(window);
  settle(*toolkit);
  const HWND tabs = FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr);
  ASSERT_NE(tabs, nullptr);
  for (int tab = 0; tab < 3; ++tab) {
    SCOPED_TRACE(tab);
    RECT item{};
    SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
    POINT at{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(tabs, &at);
    automation::clickAt(at);
    settle(*toolkit);
    EXPECT_EQ(options.ssOptions.value(), tab);
    EXPECT_EQ(options.txtExcluded.enabled(), tab == krv::FmOptions::kCopyTab);
    EXPECT_EQ(options.chkPassword.enabled(), tab == krv::FmOptions::kPasswordTab);
    EXPECT_EQ(cutLabels(window), std::vector<std::string>{});
    if (const char* folder = std::getenv("KRV_MAIN_WINDOW_SHOTS")) {
      RECT rect{};
      GetWindowRect(window, &rect);
      ASSERT_TRUE(automation::saveScreenshot(
          automation::toWide(std::string(folder) + "\\options-" + std::to_string(tab) + ".bmp")));
      std::printf("options-%d %ldx%ld+%ld+%ld\n", tab, rect.right - rect.left, rect.bottom - rect.top,
                  rect.left, rect.top);
    }
  }
  options.unload();
  settle(*toolkit);
}

// The about box and the support dialog on the screen: their texts whole, the product's name in its
// larger Arial type, the days right after the widened check box's text.
TEST(SupportOnScreen, AboutAndSupportShowTheirTextsWhole) {
  testsupport::FakeManager services;
  twoAreas(services);
  std::unique_ptr<ui::FormToolkit> toolkit = ui::win32::createFormToolkit();
  toolkit->initCommonControls();
  krv::FmAbout about(*toolkit, services.commons, services.helpers, nullptr);
  krv::FmSupport support({*toolkit, services.commons, services.processes, services.files, "C:\\Korvane\\"});
  int shot = 0;
  for (ui::Form* form : {static_cast<ui::Form*>(&about), static_cast<ui::Form*>(&support)}) {
    form->show();
    const HWND window = reinterpret_cast<HWND>(form->nativeHandle());
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    settle(*toolkit);
    EXPECT_EQ(cutLabels(window), std::vector<std::string>{}) << form->name();
    if (form == &about) {
      const HWND name = labelShowing(window, "Korvane\xE2\x84\xA2");
      ASSERT_NE(name, nullptr);
      LOGFONTW font{};
      ASSERT_NE(
          GetObjectW(reinterpret_cast<HFONT>(SendMessageW(name, WM_GETFONT, 0, 0)), sizeof(font), &font), 0);
      EXPECT_STREQ(font.lfFaceName, L"Arial");
      EXPECT_EQ(font.lfWeight, FW_BOLD);
    }
    if (const char* folder = std::getenv("KRV_MAIN_WINDOW_SHOTS")) {
      RECT rect{};
      GetWindowRect(window, &rect);
      ASSERT_TRUE(
          automation::saveScreenshot(automation::toWide(std::string(folder) + "\\" + form->name() + ".bmp")));
      std::printf("%s %ldx%ld+%ld+%ld\n", form->name().c_str(), rect.right - rect.left,
                  rect.bottom - rect.top, rect.left, rect.top);
    }
    form->unload();
    settle(*toolkit);
    ++shot;
  }
  EXPECT_EQ(shot, 2);
}

// The wizard's two pages on the screen, the second reached by a click on Next: texts whole, the
// stored paths listed.
TEST(WizardOnScreen, BothPagesShowTheirTextsWhole) {
  testsupport::FakeManager services;
  twoAreas(services);
  services.engine.anchoredList = "C:\\Users\\u\\Documents;C:\\Users\\u\\OneDrive";
  services.files.folder("C:\\Users\\u\\Documents");
  services.snapshots.LoadSnapshotTable();
  std::unique_ptr<ui::FormToolkit> toolkit = ui::win32::createFormToolkit();
  toolkit->initCommonControls();
  krv::FmAnchor wizard({*toolkit, services.commons, services.engine, services.snapshots, services.files,
                        services.codec, nullptr, nullptr});
  wizard.show();
  const HWND window = reinterpret_cast<HWND>(wizard.nativeHandle());
  ASSERT_NE(window, nullptr);
  SetForegroundWindow(window);
  settle(*toolkit);
  for (int page = 0; page < 2; ++page) {
    SCOPED_TRACE(page);
    EXPECT_EQ(wizard.page(), page);
    EXPECT_EQ(cutLabels(window), std::vector<std::string>{});
    if (const char* folder = std::getenv("KRV_MAIN_WINDOW_SHOTS")) {
      RECT rect{};
      GetWindowRect(window, &rect);
      ASSERT_TRUE(automation::saveScreenshot(
          automation::toWide(std::string(folder) + "\\wizard-" + std::to_string(page) + ".bmp")));
      std::printf("wizard-%d %ldx%ld+%ld+%ld\n", page, rect.right - rect.left, rect.bottom - rect.top,
                  rect.left, rect.top);
    }
    if (page == 0) {
      // Enter: Next is the default button.
      keybd_event(VK_RETURN, 0, 0, 0);
      keybd_event(VK_RETURN, 0, KEYEVENTF_KEYUP, 0);
      settle(*toolkit);
    }
  }
  EXPECT_EQ(wizard.lvAnchorList.itemCount(), 2u);
  wizard.unload();
  settle(*toolkit);
}

}  // namespace
