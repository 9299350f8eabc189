// The Win32 renderer of the form model, against real windows under Wine.

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "ui/Form.h"
#include "ui/win32/Win32FormToolkit.h"

namespace {

class RendererTest : public ::testing::Test {
 protected:
  RendererTest() : toolkit(ui::win32::createFormToolkit()) { toolkit->initCommonControls(); }
  // Runs the waiting messages a few times, as a running program's loop would.
  void settle() {
    for (int i = 0; i < 5; ++i) {
      toolkit->processPendingEvents();
      Sleep(10);
    }
  }
  HWND child(HWND window, const wchar_t* className) {
    return FindWindowExW(window, nullptr, className, nullptr);
  }
  std::unique_ptr<ui::FormToolkit> toolkit;
};

TEST_F(RendererTest, RealizesControlsInPixelsAndFollowsTheModel) {
  ui::Form form(*toolkit, "frmTest");
  form.setCaption("Renderer test \xe2\x84\xa2");
  form.style = ui::FormStyle::Sizable;
  form.setClientSize(6000, 4500);
  ui::Control& label = form.addControl("lblName", ui::ControlKind::Label);
  label.setCaption("Name:");
  label.move(150, 300, 1500, 300);
  ui::ListView& list = form.addListView("lvItems");
  list.setColumns({{"First", 1500}, {"Second", 3000}});
  list.move(0, 900, 6000, 2400);
  ui::StatusBar& status = form.addStatusBar("sbStatus");
  int resizes = 0;
  form.onResize = [&] { ++resizes; };
  form.show();
  settle();

  HWND window = FindWindowW(nullptr, L"Renderer test \x2122");
  ASSERT_NE(window, nullptr);
  RECT client{};
  GetClientRect(window, &client);
  const int tpp = toolkit->screen().twipsPerPixelX;
  EXPECT_EQ(client.right, 6000 / tpp);
  EXPECT_EQ(client.bottom, 4500 / tpp);
  EXPECT_GT(resizes, 0);

  HWND labelWindow = child(window, L"Static");
  ASSERT_NE(labelWindow, nullptr);
  wchar_t text[64] = {};
  GetWindowTextW(labelWindow, text, 64);
  EXPECT_STREQ(text, L"Name:");
  RECT rect{};
  GetWindowRect(labelWindow, &rect);
  EXPECT_EQ(rect.right - rect.left, 1500 / tpp);

  HWND listWindow = child(window, WC_LISTVIEWW);
  ASSERT_NE(listWindow, nullptr);
  EXPECT_EQ(SendMessageW(listWindow, LVM_GETCOLUMNWIDTH, 1, 0), 3000 / tpp);
  list.addItem({"a", {"b"}, "", ""});
  list.addItem({"c", {"d"}, "", ""});
  EXPECT_EQ(SendMessageW(listWindow, LVM_GETITEMCOUNT, 0, 0), 2);
  list.select(1);
  EXPECT_EQ(SendMessageW(listWindow, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
  list.setVisible(false);
  EXPECT_FALSE(IsWindowVisible(listWindow));

  // The status bar's height is the system's, written back into the model.
  EXPECT_GT(status.height(), 0);
  EXPECT_EQ(status.top() + status.height(), form.clientHeight());

  // A user's resize reaches the model.
  SetWindowPos(window, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
  settle();
  GetClientRect(window, &client);
  EXPECT_EQ(form.clientWidth(), client.right * tpp);

  form.unload();
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(RendererTest, MenuShortcutsTimersAndTextWidths) {
  ui::Form form(*toolkit, "frmMenu");
  form.setCaption("Menu test");
  int refreshed = 0;
  ui::MenuItem action("mAction", "&Actions");
  ui::MenuItem refresh("mRefresh", "&Refresh", ui::Key::F5);
  refresh.onClick = [&] { ++refreshed; };
  action.items = {refresh, ui::MenuItem("mSeparator1", "-"), ui::MenuItem("mExit", "E&xit")};
  form.addMenu(action);
  ui::Timer& timer = form.addTimer("tmrTick", 20);
  int ticks = 0;
  timer.onTimer = [&] { ++ticks; };
  form.show();
  HWND window = FindWindowW(nullptr, L"Menu test");
  ASSERT_NE(window, nullptr);

  HMENU bar = GetMenu(window);
  ASSERT_NE(bar, nullptr);
  HMENU popup = GetSubMenu(bar, 0);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(GetMenuItemCount(popup), 3);
  wchar_t caption[64] = {};
  GetMenuStringW(popup, 0, caption, 64, MF_BYPOSITION);
  EXPECT_STREQ(caption, L"&Refresh\tF5");

  SetForegroundWindow(window);
  PostMessageW(window, WM_KEYDOWN, VK_F5, 0);
  settle();
  EXPECT_EQ(refreshed, 1);

  form.setTimerEnabled(timer, true);
  for (int i = 0; i < 50 && ticks == 0; ++i) {
    Sleep(20);
    toolkit->processPendingEvents();
  }
  EXPECT_GT(ticks, 0);
  form.setTimerEnabled(timer, false);

  const int narrow = form.textWidth("iiii");
  const int wide = form.textWidth("WWWW");
  EXPECT_GT(narrow, 0);
  EXPECT_GT(wide, narrow);
  EXPECT_EQ(form.textWidth("iiiiiiii"), 2 * narrow);
  EXPECT_EQ(toolkit->textWidth(form, "WWWW"), wide);
}

TEST_F(RendererTest, AModalFormReturnsWhenItUnloads) {
  ui::Form owner(*toolkit, "frmOwner");
  owner.setCaption("Owner form");
  owner.show();
  HWND ownerWindow = FindWindowW(nullptr, L"Owner form");
  ASSERT_NE(ownerWindow, nullptr);

  ui::Form dialog(*toolkit, "frmDialog");
  dialog.setCaption("Modal form");
  ui::Control& ok = dialog.addControl("cmdOK", ui::ControlKind::Button);
  ok.setCaption("OK");
  dialog.setDefaultButton(&ok);
  ok.move(150, 150, 1200, 400);
  bool answered = false;
  bool ownerDisabled = false;
  ok.onClick = [&] {
    answered = true;
    dialog.unload();
  };
  ui::Timer& press = dialog.addTimer("tmrPress", 30);
  press.enabled = true;
  press.onTimer = [&] {
    ownerDisabled = !IsWindowEnabled(ownerWindow);
    HWND button = FindWindowExW(FindWindowW(nullptr, L"Modal form"), nullptr, L"Button", nullptr);
    if (button) SendMessageW(button, BM_CLICK, 0, 0);
  };
  dialog.showModal(&owner);
  EXPECT_TRUE(answered);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_FALSE(dialog.loaded());
  EXPECT_TRUE(IsWindowEnabled(ownerWindow));
}

TEST_F(RendererTest, ListsTabsAndUpDownsFollowTheModelAndTheUser) {
  ui::Form form(*toolkit, "frmOptions");
  form.setCaption("Options test");
  form.setClientSize(7000, 5000);
  ui::Control& tabs = form.addControl("tabPages", ui::ControlKind::TabStrip);
  tabs.setListTexts({"General", "Boot"});
  tabs.move(0, 0, 7000, 4000);
  tabs.tabIndex = 2;
  ui::Control& combo = form.addControl("cmbHotkey", ui::ControlKind::ComboBox);
  combo.setListTexts({"F1", "F2", "F3"});
  combo.setValue(1);
  combo.move(300, 600, 1500, 1500);
  combo.tabIndex = 1;
  ui::Control& spin = form.addControl("udDelay", ui::ControlKind::UpDown);
  spin.setRange(0, 30);
  spin.setValue(5);
  spin.move(2000, 600, 255, 300);
  spin.tabIndex = 0;
  int tabChanges = 0;
  tabs.onChange = [&] { ++tabChanges; };
  form.show();
  HWND window = FindWindowW(nullptr, L"Options test");
  ASSERT_NE(window, nullptr);

  HWND comboWindow = child(window, L"ComboBox");
  ASSERT_NE(comboWindow, nullptr);
  EXPECT_EQ(SendMessageW(comboWindow, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(comboWindow, CB_GETCURSEL, 0, 0), 1);

  HWND tabWindow = child(window, WC_TABCONTROLW);
  ASSERT_NE(tabWindow, nullptr);
  EXPECT_EQ(SendMessageW(tabWindow, TCM_GETITEMCOUNT, 0, 0), 2);
  tabs.setValue(1);
  EXPECT_EQ(SendMessageW(tabWindow, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(tabChanges, 0);  // the program's own change raises no event

  HWND spinWindow = child(window, UPDOWN_CLASSW);
  ASSERT_NE(spinWindow, nullptr);
  EXPECT_EQ(SendMessageW(spinWindow, UDM_GETPOS32, 0, 0), 5);
  form.unload();
}

}  // namespace
