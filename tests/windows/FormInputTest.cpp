// The Win32 realization of forms driven by real input: keys and mouse clicks go through the system's
// input queue to the focused window and the control under the pointer, through the toolkit's message
// loop, and the tests read back the model's values and events and what the windows show.

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "automation/Automation.h"
#include "ui/Form.h"
#include "ui/win32/FormWindow.h"
#include "ui/win32/Win32FormToolkit.h"
#include "windows/HandleCounts.h"

namespace {

std::wstring textOf(HWND h) {
  wchar_t text[256] = {};
  GetWindowTextW(h, text, 256);
  return text;
}

DWORD rgbOf(int r, int g, int b) {
  return static_cast<DWORD>((r << 16) | (g << 8) | b);
}

// The window of a control of a shown form, as its realization made it.
HWND windowOf(const ui::Form& form, const ui::Control& control) {
  const auto* window = dynamic_cast<const ui::win32::FormWindow*>(form.peer());
  return window ? window->handleOf(control) : nullptr;
}

// A label of a test form, placed in twips.
ui::Control& addLabel(ui::Form& form, const char* name, const char* caption, int left, int top, int width,
                      ui::Control* container = nullptr, ui::LabelLook look = ui::LabelLook::Plain) {
  ui::Control& label = form.addLabel(name, look, container);
  label.setCaption(caption);
  label.move(left, top, width, 300);
  return label;
}

// The coloured band of a test form, a shape its labels may lie on.
ui::Control& addBand(ui::Form& form, ui::Color colour, int left, int top, int width, int height) {
  ui::Control& band = form.addControl("shpBand", ui::ControlKind::Shape);
  band.setBackColor(colour);
  band.move(left, top, width, height);
  return band;
}

class FormInputTest : public ::testing::Test {
 protected:
  FormInputTest() : toolkit(ui::win32::createFormToolkit()) { toolkit->initCommonControls(); }

  // Runs the message loop until done() holds, at most timeoutMs; true when it held.
  bool runUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000) {
    const DWORD start = GetTickCount();
    for (;;) {
      toolkit->processPendingEvents();
      if (done()) return true;
      if (GetTickCount() - start >= timeoutMs) return false;
      Sleep(5);
    }
  }
  // Runs the message loop until the input and what it caused are handled: the queue has stayed
  // empty for a few rounds (bounded, for a window that keeps repainting).
  void settle() {
    int quiet = 0;
    const DWORD start = GetTickCount();
    while (quiet < 4 && GetTickCount() - start < 3000) {
      toolkit->processPendingEvents();
      const DWORD waiting = HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_PAINT));
      quiet = waiting ? 0 : quiet + 1;
      Sleep(10);
    }
  }

  HWND show(ui::Form& form) {
    form.show();
    HWND window = reinterpret_cast<HWND>(form.nativeHandle());
    if (!window) return nullptr;
    SetForegroundWindow(window);
    runUntil([&] { return GetForegroundWindow() == window; });
    settle();
    return window;
  }

  // Presses and releases a key (with Shift held when asked), and lets the form handle it.
  void press(WORD vk, bool shift = false) {
    automation::pressKeys(shift ? std::vector<WORD>{VK_SHIFT, vk} : std::vector<WORD>{vk});
    settle();
  }
  // Types the text key by key, as the keyboard layout makes each character.
  void type(const std::wstring& text) {
    ASSERT_TRUE(automation::typeKeys(text)) << "a character no key makes";
    settle();
  }
  // Clicks the left button at a point of the window's client area.
  void click(HWND window, POINT at) {
    ClientToScreen(window, &at);
    automation::clickAt(at);
    settle();
  }
  // Clicks the middle of a control's window.
  void clickControl(HWND control) {
    RECT rect{};
    GetClientRect(control, &rect);
    click(control, {rect.right / 2, rect.bottom / 2});
  }
  // The pixels of a window's client area on the screen, once it has painted.
  std::vector<DWORD> pixelsOf(HWND window) {
    RedrawWindow(GetAncestor(window, GA_ROOT), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    settle();
    RECT rect{};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return automation::screenPixels(rect);
  }

  std::unique_ptr<ui::FormToolkit> toolkit;
};

TEST_F(FormInputTest, ClicksAndTypingReachTheModel) {
  ui::Form form(*toolkit, "frmInput");
  form.setCaption("Input test");
  form.setClientSize(8400, 5400);
  ui::Control& check = form.addControl("chkRemember", ui::ControlKind::CheckBox);
  check.setCaption("Remember");
  check.move(150, 150, 1800, 300);
  ui::Control& frame = form.addControl("fraMode", ui::ControlKind::Frame);
  frame.setCaption("Mode");
  frame.move(150, 600, 3600, 1500);
  std::vector<ui::Control*> options;
  for (int i = 0; i < 3; ++i) {
    ui::Control& option =
        form.addControl("optMode" + std::to_string(i), ui::ControlKind::OptionButton, &frame);
    option.setCaption("Mode " + std::to_string(i));
    option.move(150, 300 + 360 * i, 1800, 300);
    options.push_back(&option);
  }
  options[0]->setValue(1);
  // An image has no window of its own: the frame that holds it takes its clicks.
  ui::Control& badge = form.addControl("imgBadge", ui::ControlKind::Image, &frame);
  badge.move(2400, 300, 480, 480);
  // An option button of another container: another group.
  ui::Control& outside = form.addControl("optOutside", ui::ControlKind::OptionButton);
  outside.setCaption("Outside");
  outside.move(150, 2250, 1800, 300);
  outside.setValue(1);
  ui::Control& combo = form.addControl("cmbHotkey", ui::ControlKind::ComboBox);
  combo.setListTexts({"F1", "F2", "F3", "F4"});
  combo.move(4200, 150, 1800, 315);
  ui::Control& name = form.addControl("txtName", ui::ControlKind::TextBox);
  name.move(4200, 750, 3000, 330);
  ui::Control& password = form.addControl("txtPassword", ui::ControlKind::TextBox);
  password.setPassword(true);
  password.move(4200, 1350, 3000, 330);
  ui::Control& notes = form.addMultiLineTextBox("txtNotes");
  notes.move(4200, 1950, 3000, 1200);
  ui::Control& ok = form.addControl("cmdOK", ui::ControlKind::Button);
  ok.setCaption("OK");
  ok.move(6000, 4500, 1200, 400);
  form.setDefaultButton(&ok);

  int checkChanges = 0, checkClicks = 0, okClicks = 0;
  std::vector<int> comboSeen;
  check.onChange = [&] { ++checkChanges; };
  check.onClick = [&] { ++checkClicks; };
  combo.onChange = [&] { comboSeen.push_back(combo.value()); };
  std::vector<std::string> namesSeen;
  name.onChange = [&] { namesSeen.push_back(name.caption()); };
  ok.onClick = [&] { ++okClicks; };
  int badgeClicks = 0;
  badge.onClick = [&] { ++badgeClicks; };
  HWND window = show(form);
  ASSERT_NE(window, nullptr);

  // The image is clicked where it is drawn, and nowhere else in its frame.
  EXPECT_EQ(windowOf(form, badge), nullptr);
  HWND frameWindow = windowOf(form, frame);
  ASSERT_NE(frameWindow, nullptr);
  const int dpi = form.screen().dpi;
  click(frameWindow, {MulDiv(2400 + 240, dpi, 1440), MulDiv(300 + 240, dpi, 1440)});
  EXPECT_EQ(badgeClicks, 1);
  click(frameWindow, {MulDiv(2400 - 120, dpi, 1440), MulDiv(300 + 240, dpi, 1440)});
  EXPECT_EQ(badgeClicks, 1);

  // A check box: each click turns it over, in the model and on screen, with its events.
  HWND checkWindow = windowOf(form, check);
  ASSERT_NE(checkWindow, nullptr);
  clickControl(checkWindow);
  EXPECT_EQ(check.value(), 1);
  EXPECT_EQ(SendMessageW(checkWindow, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(form.focused(), &check);
  clickControl(checkWindow);
  EXPECT_EQ(check.value(), 0);
  EXPECT_EQ(SendMessageW(checkWindow, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(checkChanges, 2);
  EXPECT_EQ(checkClicks, 2);

  // Option buttons: the one clicked is chosen and the others of its container are cleared; the
  // group of another container stays as it was.
  for (const int chosen : {2, 1}) {
    clickControl(windowOf(form, *options[static_cast<std::size_t>(chosen)]));
    for (int i = 0; i < 3; ++i) {
      const auto& option = *options[static_cast<std::size_t>(i)];
      EXPECT_EQ(option.value(), i == chosen ? 1 : 0) << "after choosing " << chosen << ": " << option.name();
      EXPECT_EQ(SendMessageW(windowOf(form, option), BM_GETCHECK, 0, 0),
                i == chosen ? BST_CHECKED : BST_UNCHECKED)
          << "after choosing " << chosen << ": " << option.name();
    }
  }
  EXPECT_EQ(outside.value(), 1);
  EXPECT_EQ(SendMessageW(windowOf(form, outside), BM_GETCHECK, 0, 0), BST_CHECKED);

  // A combo box: a click drops the list, a click on an item chooses it; then Down moves on.
  HWND comboWindow = windowOf(form, combo);
  ASSERT_NE(comboWindow, nullptr);
  clickControl(comboWindow);
  ASSERT_TRUE(runUntil([&] { return SendMessageW(comboWindow, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
  COMBOBOXINFO comboInfo{};
  comboInfo.cbSize = sizeof(comboInfo);
  ASSERT_TRUE(GetComboBoxInfo(comboWindow, &comboInfo));
  RECT item{};
  SendMessageW(comboInfo.hwndList, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
  click(comboInfo.hwndList, {(item.left + item.right) / 2, (item.top + item.bottom) / 2});
  EXPECT_TRUE(runUntil([&] { return SendMessageW(comboWindow, CB_GETDROPPEDSTATE, 0, 0) == 0; }));
  EXPECT_EQ(combo.value(), 2);
  EXPECT_EQ(comboSeen, std::vector<int>{2});
  EXPECT_EQ(form.focused(), &combo);
  press(VK_DOWN);
  EXPECT_EQ(combo.value(), 3);
  EXPECT_EQ(SendMessageW(comboWindow, CB_GETCURSEL, 0, 0), 3);
  EXPECT_EQ(comboSeen, (std::vector<int>{2, 3}));

  // Typing into a text box: a change event per character, the model holding the text so far.
  HWND nameWindow = windowOf(form, name);
  clickControl(nameWindow);
  EXPECT_EQ(form.focused(), &name);
  type(L"Ab1");
  EXPECT_EQ(name.caption(), "Ab1");
  EXPECT_EQ(namesSeen, (std::vector<std::string>{"A", "Ab", "Ab1"}));

  // A password box shows a mask; the model holds what was typed.
  HWND passwordWindow = windowOf(form, password);
  clickControl(passwordWindow);
  type(L"Se7");
  EXPECT_EQ(password.caption(), "Se7");
  EXPECT_EQ(SendMessageW(passwordWindow, EM_GETPASSWORDCHAR, 0, 0), L'*');

  // Enter in a single-line box presses the default button; in a multi-line box it starts a line.
  press(VK_RETURN);
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(password.caption(), "Se7");
  HWND notesWindow = windowOf(form, notes);
  clickControl(notesWindow);
  type(L"ab");
  press(VK_RETURN);
  type(L"cd");
  EXPECT_EQ(notes.caption(), "ab\r\ncd");
  EXPECT_EQ(textOf(notesWindow), L"ab\r\ncd");
  EXPECT_EQ(okClicks, 1);
  form.unload();
}

TEST_F(FormInputTest, TabClicksSwitchPagesAndUpDownClicksStepTheirBuddy) {
  ui::Form form(*toolkit, "frmPages");
  form.setCaption("Pages test");
  form.setClientSize(8400, 4200);
  ui::Control& tabs = form.addControl("tabPages", ui::ControlKind::TabStrip);
  tabs.setListTexts({"One", "Two", "Three"});
  tabs.move(150, 150, 5400, 3000);
  ui::Control& first = form.addControl("txtFirst", ui::ControlKind::TextBox, &tabs, 0);
  first.move(300, 600, 2000, 330);
  ui::Control& second = form.addControl("chkSecond", ui::ControlKind::CheckBox, &tabs, 1);
  second.setCaption("Second");
  second.move(300, 600, 2000, 300);
  ui::Control& third = form.addControl("lblThird", ui::ControlKind::Label, &tabs, 2);
  third.setCaption("Third");
  third.move(300, 600, 2000, 300);
  ui::Control& count = form.addControl("txtCount", ui::ControlKind::TextBox);
  count.move(6000, 600, 900, 330);
  count.setCaption("2");
  ui::Control& spin = form.addControl("udCount", ui::ControlKind::UpDown);
  spin.move(6900, 600, 300, 330);
  spin.setRange(0, 3);
  spin.setValue(2);
  spin.setBuddy(&count);

  // The third tab may not be chosen: its change switches back to the tab left.
  std::vector<std::pair<int, int>> tabChanges;
  tabs.onChange = [&] {
    tabChanges.emplace_back(tabs.value(), tabs.previousValue());
    if (tabs.value() == 2) tabs.setValue(tabs.previousValue());
  };
  std::vector<std::string> counts;
  count.onChange = [&] { counts.push_back(count.caption()); };
  HWND window = show(form);
  ASSERT_NE(window, nullptr);

  HWND tabWindow = windowOf(form, tabs);
  ASSERT_NE(tabWindow, nullptr);
  HWND firstWindow = windowOf(form, first);
  HWND secondWindow = windowOf(form, second);
  HWND thirdWindow = windowOf(form, third);
  EXPECT_TRUE(IsWindowVisible(firstWindow));
  EXPECT_FALSE(IsWindowVisible(secondWindow));
  const auto clickTab = [&](int index) {
    RECT rect{};
    SendMessageW(tabWindow, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
    click(tabWindow, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
  };
  clickTab(1);
  EXPECT_EQ(form.focused(), &tabs);
  EXPECT_EQ(tabs.value(), 1);
  EXPECT_EQ(SendMessageW(tabWindow, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_FALSE(IsWindowVisible(firstWindow));
  EXPECT_TRUE(IsWindowVisible(secondWindow));
  EXPECT_FALSE(IsWindowVisible(thirdWindow));
  clickTab(2);
  EXPECT_EQ(tabs.value(), 1);
  EXPECT_EQ(SendMessageW(tabWindow, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(IsWindowVisible(secondWindow));
  EXPECT_FALSE(IsWindowVisible(thirdWindow));
  EXPECT_EQ(tabChanges, (std::vector<std::pair<int, int>>{{1, 0}, {2, 1}}));
  // The controls of the page shown are in reach of the mouse.
  clickControl(secondWindow);
  EXPECT_EQ(second.value(), 1);

  // The up-down box's arrows: the upper one steps up, the lower one down, never past the range;
  // the buddy shows each step and raises its change, a step at an end changes nothing.
  HWND spinWindow = windowOf(form, spin);
  HWND countWindow = windowOf(form, count);
  ASSERT_NE(spinWindow, nullptr);
  RECT arrows{};
  GetClientRect(spinWindow, &arrows);
  const auto clickArrow = [&](bool up, int i) {
    // Alternating sides of the arrow, so that two clicks are not a double click.
    click(spinWindow, {arrows.right / 2 + (i % 2 ? 3 : -3), up ? arrows.bottom / 4 : arrows.bottom * 3 / 4});
  };
  clickArrow(true, 0);
  EXPECT_EQ(spin.value(), 3);
  EXPECT_EQ(textOf(countWindow), L"3");
  clickArrow(true, 1);
  EXPECT_EQ(spin.value(), 3);
  for (int i = 0; i < 4; ++i) clickArrow(false, i);
  EXPECT_EQ(spin.value(), 0);
  EXPECT_EQ(count.caption(), "0");
  EXPECT_EQ(textOf(countWindow), L"0");
  EXPECT_EQ(SendMessageW(spinWindow, UDM_GETPOS32, 0, 0), 0);
  EXPECT_EQ(counts, (std::vector<std::string>{"3", "2", "1", "0"}));

  // What the program changes of shown boxes reaches their windows: the range (the position moved
  // into it), the password mark, and the length a user may type, which leaves its own text whole.
  spin.setRange(1, 5);
  int low = -1, high = -1;
  SendMessageW(spinWindow, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
  EXPECT_EQ(std::make_pair(low, high), std::make_pair(1, 5));
  EXPECT_EQ(spin.value(), 1);
  EXPECT_EQ(SendMessageW(spinWindow, UDM_GETPOS32, 0, 0), 1);
  count.setPassword(true);
  EXPECT_EQ(SendMessageW(countWindow, EM_GETPASSWORDCHAR, 0, 0), L'*');
  count.setMaxLength(2);
  EXPECT_EQ(SendMessageW(countWindow, EM_GETLIMITTEXT, 0, 0), 2);
  clickControl(countWindow);
  type(L"789");
  EXPECT_EQ(count.caption(), "07");
  count.setPassword(false);
  EXPECT_EQ(SendMessageW(countWindow, EM_GETPASSWORDCHAR, 0, 0), 0);
  count.setCaption("12345");
  EXPECT_EQ(textOf(countWindow), L"12345");
  form.unload();
}

TEST_F(FormInputTest, DialogKeysTabOrderAndKeyPreview) {
  ui::Form form(*toolkit, "frmKeys");
  form.setCaption("Keys test");
  form.setClientSize(7200, 3600);
  form.keyPreview = true;
  // Declared in one order, reached by Tab in another.
  ui::Control& a = form.addControl("txtA", ui::ControlKind::TextBox);
  a.move(150, 150, 2400, 330);
  a.tabIndex = 2;
  ui::Control& b = form.addControl("txtB", ui::ControlKind::TextBox);
  b.move(150, 600, 2400, 330);
  b.tabIndex = 0;
  ui::Control& c = form.addControl("chkC", ui::ControlKind::CheckBox);
  c.setCaption("C");
  c.move(150, 1050, 2400, 300);
  c.tabIndex = 3;
  ui::Control& d = form.addControl("cmbD", ui::ControlKind::ComboBox);
  d.setListTexts({"one", "two"});
  d.move(150, 1500, 2400, 315);
  d.tabIndex = 1;
  ui::Control& ok = form.addControl("cmdOK", ui::ControlKind::Button);
  ok.setCaption("OK");
  ok.move(3000, 150, 1500, 400);
  ok.tabIndex = 4;
  ui::Control& cancel = form.addControl("cmdCancel", ui::ControlKind::Button);
  cancel.setCaption("Cancel");
  cancel.move(3000, 750, 1500, 400);
  cancel.tabIndex = 5;
  ui::Control& apply = form.addControl("cmdApply", ui::ControlKind::Button);
  apply.setCaption("Apply");
  apply.move(3000, 1350, 1500, 400);
  apply.tabIndex = 6;
  ui::ListView& list = form.addListView("lvE");
  list.setColumns({{"Name", 1800}});
  list.addItem({"first", {}, "", ""});
  list.addItem({"second", {}, "", ""});
  list.move(4800, 150, 2250, 1500);
  list.tabIndex = 7;
  ui::Control& tabs = form.addControl("tabF", ui::ControlKind::TabStrip);
  tabs.setListTexts({"One", "Two"});
  tabs.move(4800, 1800, 2250, 1500);
  tabs.tabIndex = 8;
  form.setDefaultButton(&ok);
  form.setCancelButton(&cancel);

  std::vector<std::string> focusEvents;
  for (ui::Control* control : {&a, &b, &c, &d}) {
    control->onGotFocus = [&focusEvents, control] { focusEvents.push_back("+" + control->name()); };
    control->onLostFocus = [&focusEvents, control] { focusEvents.push_back("-" + control->name()); };
  }
  int okClicks = 0, cancelClicks = 0, applyClicks = 0;
  ok.onClick = [&] { ++okClicks; };
  cancel.onClick = [&] { ++cancelClicks; };
  apply.onClick = [&] { ++applyClicks; };
  std::vector<std::string> previewed;
  form.onKeyDown = [&](ui::Key key, ui::Modifiers) {
    if (key == ui::Key::F5) previewed.push_back(form.focused() ? form.focused()->name() : "");
  };
  HWND window = show(form);
  ASSERT_NE(window, nullptr);

  // The focus starts at the first in tab order and Tab walks the order, Shift+Tab back.
  const auto focusIs = [&](const ui::Control& control) {
    return form.focused() == &control && GetFocus() == windowOf(form, control);
  };
  EXPECT_TRUE(focusIs(b));
  const std::vector<const ui::Control*> forward{&d, &a, &c, &ok, &cancel, &apply, &list, &tabs, &b};
  for (const ui::Control* next : forward) {
    press(VK_TAB);
    EXPECT_TRUE(focusIs(*next)) << "Tab should reach " << next->name() << ", focus is on "
                                << (form.focused() ? form.focused()->name() : "nothing");
  }
  for (const ui::Control* previous : std::vector<const ui::Control*>{&tabs, &list, &apply, &cancel}) {
    press(VK_TAB, true);
    EXPECT_TRUE(focusIs(*previous)) << "Shift+Tab should reach " << previous->name() << ", focus is on "
                                    << (form.focused() ? form.focused()->name() : "nothing");
  }
  EXPECT_EQ(focusEvents.front(), "+txtB");
  EXPECT_EQ(std::count(focusEvents.begin(), focusEvents.end(), "-txtB"), 2);
  EXPECT_EQ(std::count(focusEvents.begin(), focusEvents.end(), "+cmbD"), 1);

  // Enter presses the focused button, else the default one; Esc the cancel button.
  press(VK_RETURN);
  EXPECT_EQ(cancelClicks, 1);
  EXPECT_EQ(okClicks, 0);
  clickControl(windowOf(form, a));
  EXPECT_TRUE(focusIs(a));
  press(VK_RETURN);
  EXPECT_EQ(okClicks, 1);
  press(VK_ESCAPE);
  EXPECT_EQ(cancelClicks, 2);
  // Another default while shown: Enter presses it, and it wears the default border.
  form.setDefaultButton(&apply);
  press(VK_RETURN);
  EXPECT_EQ(applyClicks, 1);
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(GetWindowLongW(windowOf(form, apply), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongW(windowOf(form, ok), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  EXPECT_EQ(a.caption(), "");

  // With key preview the form sees F5 whichever control has the focus.
  press(VK_F5);
  clickControl(windowOf(form, c));
  press(VK_F5);
  press(VK_TAB, true);
  press(VK_TAB, true);
  press(VK_F5);
  EXPECT_EQ(previewed, (std::vector<std::string>{"txtA", "chkC", "cmbD"}));
  EXPECT_EQ(d.value(), 0);

  // A click on a row is one click on it, also on the row already chosen.
  std::vector<std::size_t> rowClicks;
  list.onItemClick = [&](std::size_t row) { rowClicks.push_back(row); };
  HWND listWindow = windowOf(form, list);
  const auto clickRow = [&](int row) {
    RECT rect{};
    rect.left = LVIR_LABEL;
    SendMessageW(listWindow, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    click(listWindow, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
  };
  clickRow(1);
  clickRow(1);
  clickRow(0);
  EXPECT_EQ(rowClicks, (std::vector<std::size_t>{1, 1, 0}));
  EXPECT_EQ(list.selectedIndex(), 0);
  EXPECT_TRUE(focusIs(list));

  // A box raised by a handler gives the keyboard back, once answered, to the control the form
  // counts as focused: the next key typed reaches it.
  clickControl(windowOf(form, a));
  int refusals = 0;
  a.onChange = [&] {
    if (a.caption() != "x") return;
    ++refusals;
    std::thread answer([] {
      if (HWND box = automation::waitForMessageBox("Refused", 5000)) automation::pressButton(box, "OK");
    });
    toolkit->messageBox({"x is refused", "Refused", ui::Buttons::OK, ui::Icon::None, 1});
    answer.join();
  };
  type(L"x");
  type(L"y");
  EXPECT_EQ(refusals, 1);
  EXPECT_EQ(a.caption(), "xy");
  EXPECT_TRUE(focusIs(a));
  form.unload();
}

TEST_F(FormInputTest, ColoursOfLabelsShapesAndPictureBoxesOnScreen) {
  ui::Form form(*toolkit, "frmColours");
  form.setCaption("Colours test");
  form.setClientSize(6000, 3000);
  ui::Control& shape = addBand(form, ui::rgb(0x20, 0x60, 0xA0), 150, 150, 4500, 600);
  ui::Control& alert = addLabel(form, "lblAlert", "WWWW", 150, 1050, 2400);
  alert.setFont({true, false, 0});
  alert.setForeColor(ui::rgb(0xC0, 0, 0));
  ui::Control& onShape = addLabel(form, "lblOnShape", "MMMM", 300, 300, 2400);
  onShape.setForeColor(ui::rgb(0xFF, 0xFF, 0xFF));
  ui::Control& edged = addLabel(form, "lblEdged", "EEEE", 3000, 1050, 2400, nullptr, ui::LabelLook::Edged);
  ui::Control& box = form.addControl("picBox", ui::ControlKind::Picture);
  box.setBackColor(ui::rgb(0xF0, 0xE0, 0xA0));
  box.move(150, 1650, 4500, 900);
  ui::Control& inBox = addLabel(form, "lblInBox", "HHHH", 150, 150, 2400, &box);
  HWND window = show(form);
  ASSERT_NE(window, nullptr);

  const auto count = [](const std::vector<DWORD>& pixels, DWORD colour) {
    return std::count(pixels.begin(), pixels.end(), colour);
  };
  // Text is drawn smoothed: its pixels are near its colour, the strokes' cores exactly it.
  const auto closeTo = [](const std::vector<DWORD>& pixels, DWORD colour) {
    return std::count_if(pixels.begin(), pixels.end(), [colour](DWORD p) {
      for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((colour >> shift) & 0xFF)) > 24)
          return false;
      return true;
    });
  };
  const auto alertPixels = pixelsOf(windowOf(form, alert));
  ASSERT_FALSE(alertPixels.empty());
  EXPECT_GT(closeTo(alertPixels, rgbOf(0xC0, 0, 0)), 10) << "the label's text is not drawn in its colour";
  // A label with an edge has it drawn around its text; the labels without one have none to draw.
  HWND edgedWindow = windowOf(form, edged);
  ASSERT_FALSE(pixelsOf(edgedWindow).empty());
  RECT outer{};
  GetWindowRect(edgedWindow, &outer);
  const auto edgedPixels = automation::screenPixels(outer);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  EXPECT_EQ(edgedPixels.front(), rgbOf(GetRValue(shadow), GetGValue(shadow), GetBValue(shadow)))
      << "the label's edge is not drawn";
  const auto onShapePixels = pixelsOf(windowOf(form, onShape));
  ASSERT_FALSE(onShapePixels.empty());
  EXPECT_EQ(onShapePixels.front(), rgbOf(0x20, 0x60, 0xA0)) << "the label's background is not the shape's";
  EXPECT_EQ(onShapePixels.back(), rgbOf(0x20, 0x60, 0xA0));
  EXPECT_GT(closeTo(onShapePixels, rgbOf(0xFF, 0xFF, 0xFF)), 10) << "the label on the shape is not seen";
  // Everything of the shape outside its label is the shape's colour.
  const auto shapePixels = pixelsOf(windowOf(form, shape));
  EXPECT_GE(count(shapePixels, rgbOf(0x20, 0x60, 0xA0)),
            static_cast<std::ptrdiff_t>(shapePixels.size() - onShapePixels.size()));
  const auto inBoxPixels = pixelsOf(windowOf(form, inBox));
  ASSERT_FALSE(inBoxPixels.empty());
  EXPECT_EQ(inBoxPixels.front(), rgbOf(0xF0, 0xE0, 0xA0))
      << "the label's background is not its picture box's";

  // A colour changed while shown is drawn.
  alert.setForeColor(ui::rgb(0, 0x80, 0));
  const auto greenPixels = pixelsOf(windowOf(form, alert));
  EXPECT_GT(closeTo(greenPixels, rgbOf(0, 0x80, 0)), 10);
  EXPECT_EQ(closeTo(greenPixels, rgbOf(0xC0, 0, 0)), 0);
  form.unload();
}

TEST_F(FormInputTest, PlainLabelsGetTheirWindowsAfterTheFirstPaintLookingAsBefore) {
  ui::Form form(*toolkit, "frmLabels");
  form.setCaption("Labels test");
  form.setClientSize(6000, 3900);
  addBand(form, ui::rgb(0x20, 0x60, 0xA0), 150, 150, 5400, 500);
  ui::Control& onShape = addLabel(form, "lblOnShape", "On the shape", 300, 250, 3000);
  onShape.setForeColor(ui::rgb(0xFF, 0xFF, 0xFF));
  ui::Control& access = addLabel(form, "lblAccess", "&Name:", 150, 800, 1500);
  ui::Control& wrapped = form.addControl("lblWrapped", ui::ControlKind::Label);
  wrapped.setCaption("A longer text that wraps onto a second line\tand a tab");
  wrapped.move(1800, 800, 2200, 600);
  ui::Control& off = addLabel(form, "lblOff", "Unavailable", 150, 1500, 2000);
  off.setEnabled(false);
  ui::Control& bold = addLabel(form, "lblBold", "Bold and red", 150, 1900, 2400);
  bold.setFont({true, false, 0});
  bold.setForeColor(ui::rgb(0xC0, 0, 0));
  ui::Control& link = addLabel(form, "lblLink", "A link", 3000, 1500, 2000, nullptr, ui::LabelLook::Link);
  ui::Control& box = form.addControl("picBox", ui::ControlKind::Picture);
  box.setBackColor(ui::rgb(0xF0, 0xE0, 0xA0));
  box.move(150, 2400, 5400, 1200);
  ui::Control& inBox = addLabel(form, "lblInBox", "In the box", 150, 150, 2000, &box);
  ui::Control& after = form.addControl("cmdAfter", ui::ControlKind::Button, &box);
  after.setCaption("After");
  after.move(2400, 150, 1200, 400);

  // Shown and painted, no message handled yet: the plain labels are their containers' paint.
  form.show();
  HWND window = reinterpret_cast<HWND>(form.nativeHandle());
  ASSERT_NE(window, nullptr);
  const std::vector<ui::Control*> plain{&onShape, &access, &wrapped, &off, &bold, &inBox};
  for (const ui::Control* label : plain) EXPECT_EQ(windowOf(form, *label), nullptr) << label->name();
  EXPECT_NE(windowOf(form, link), nullptr) << "a link takes clicks from the start";
  const std::vector<DWORD> painted = automation::clientPixels(window);
  // A change before the windows come is painted too.
  access.setCaption("&Name 2:");
  UpdateWindow(window);
  const std::vector<DWORD> changed = automation::clientPixels(window);
  EXPECT_NE(changed, painted) << "the changed label was not painted again";

  settle();
  for (const ui::Control* label : plain) {
    HWND h = windowOf(form, *label);
    ASSERT_NE(h, nullptr) << label->name();
    EXPECT_EQ(textOf(h), automation::toWide(label->caption())) << label->name();
  }
  EXPECT_FALSE(IsWindowEnabled(windowOf(form, off)));
  const std::vector<DWORD> windowed = automation::clientPixels(window);
  ASSERT_EQ(windowed.size(), changed.size());
  const auto differing = std::inner_product(windowed.begin(), windowed.end(), changed.begin(), std::size_t{0},
                                            std::plus<>(), std::not_equal_to<>());
  EXPECT_EQ(differing, 0u) << "the labels' windows draw them otherwise than their containers did";
  // Each container holds its windows in the form's order, as if they had been made together.
  for (HWND parent : {window, windowOf(form, box)}) {
    std::vector<int> ids;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      ids.push_back(GetDlgCtrlID(child));
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end())) << ::testing::PrintToString(ids);
  }
  form.unload();
}

TEST_F(FormInputTest, RefreshingAShownFormTenThousandTimesHoldsNoMoreObjects) {
  ui::Form form(*toolkit, "frmHandles");
  form.setCaption("Handles test");
  form.setClientSize(7200, 3600);
  ui::ImageList& icons = form.addImageList("imlIcons");
  icons.images = {{"ok", 1}, {"warning", 1}, {"error", 1}};
  ui::Control& shape = form.addControl("shpBand", ui::ControlKind::Shape);
  shape.move(100, 1250, 3100, 400);
  std::vector<ui::Control*> labels;
  for (int i = 0; i < 4; ++i) {
    labels.push_back(&form.addControl("lblLine" + std::to_string(i), ui::ControlKind::Label));
    labels.back()->move(150, 150 + 375 * i, 3000, 300);
  }
  ui::Control& image0 = form.addControl("imgState0", ui::ControlKind::Image);
  image0.move(3300, 150, 240, 240);
  ui::Control& image1 = form.addControl("imgState1", ui::ControlKind::Image);
  image1.move(3300, 600, 240, 240);
  ui::Control& picture = form.addControl("picLogo", ui::ControlKind::Picture);
  picture.move(3900, 150, 1500, 1200);
  ui::Control& start = form.addControl("cmdStart", ui::ControlKind::Button);
  start.move(150, 2100, 1500, 400);
  ui::Control& stop = form.addControl("cmdStop", ui::ControlKind::Button);
  stop.move(1800, 2100, 1500, 400);
  ui::StatusBar& status = form.addStatusBar("sbStatus");
  ui::MenuItem file("mFile", "&File");
  file.items = {ui::MenuItem("mOpen", "&Open", ui::Key::F2), ui::MenuItem("mSave", "&Save"),
                ui::MenuItem("mSeparator", "-"), ui::MenuItem("mExit", "E&xit")};
  ui::MenuItem view("mView", "&View");
  view.items = {ui::MenuItem("mRefresh", "&Refresh", ui::Key::F5), ui::MenuItem("mDetails", "&Details")};
  form.addMenu(file);
  form.addMenu(view);
  HWND window = show(form);
  ASSERT_NE(window, nullptr);

  const ui::Color palette[] = {ui::rgb(0xC0, 0, 0), ui::rgb(0, 0x80, 0), ui::rgb(0, 0, 0xC0),
                               ui::kDefaultColor, ui::rgb(0x80, 0x80, 0)};
  const auto refresh = [&](int from, int to) {
    for (int i = from; i < to; ++i) {
      ui::Control& label = *labels[static_cast<std::size_t>(i % 4)];
      label.setCaption("Refresh " + std::to_string(i));
      label.setForeColor(palette[i % 5]);
      label.setFont({i % 3 == 0, false, i % 7 == 0 ? 10 : 0});
      image0.setPicture(icons.picture(i % 3));
      if (i % 2) {
        image1.clearPicture();
      } else {
        image1.setPicture(icons.picture(2 - i % 3));
      }
      picture.setPicture(i % 4 == 0 ? ui::Picture{} : ui::Picture{nullptr, -1, 1});
      picture.setBackColor(palette[(i + 1) % 5]);
      shape.setBackColor(palette[(i + 2) % 5]);
      // Less often what costs the system more time (the window frame and its menu bar redrawn).
      if (i % 2 == 0) {
        start.setEnabled(i % 4 == 0);
        stop.setCaption(i % 4 ? "Stop" : "Stopped");
      }
      if (i % 5 == 0) status.setSimpleText("Step " + std::to_string(i));
      if (i % 10 == 0) {
        form.setMenuEnabled("mSave", i % 20 == 0);
        form.setCaption("Handles test " + std::to_string(i / 10 % 2));
      }
      // A menu item shown and hidden again makes a new menu bar.
      if (i % 50 == 0) form.setMenuVisible("mDetails", (i / 50) % 2 == 0);
      if (i % 25 == 0) toolkit->processPendingEvents();
    }
    settle();
  };
  // The first pass makes what stays for the form's life (fonts, brushes and pictures it shows).
  refresh(0, 200);
  const testsupport::HandleCounts before = testsupport::handleCounts();
  ASSERT_TRUE(testsupport::countingSeesOneMore(before));
  refresh(200, 10200);
  const testsupport::HandleCounts after = testsupport::handleCounts();
  std::printf("%s objects: GDI %lu -> %lu, USER %lu -> %lu\n", before.probed ? "probed" : "system's count of",
              before.gdi, after.gdi, before.user, after.user);
  EXPECT_LE(after.gdi, before.gdi + 2);
  EXPECT_LE(after.user, before.user + 2);
  EXPECT_GT(after.gdi, 0u);
  EXPECT_GT(after.user, 0u);
  form.unload();
}

// Faults of a shown form's layout a user would see: controls of one container that overlap (but
// for a shape and what lies on it), controls reaching out of their container, texts that do not
// fit their control.
std::vector<std::string> layoutFaults(const ui::Form& form) {
  std::vector<std::string> faults;
  const auto overlap = [](const ui::Bounds& a, const ui::Bounds& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
  };
  const auto& controls = form.controls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const ui::Control& c = *controls[i];
    if (!c.shown()) continue;
    for (std::size_t j = i + 1; j < controls.size(); ++j) {
      const ui::Control& o = *controls[j];
      if (o.shown() && o.container() == c.container() && o.page() == c.page() &&
          c.kind() != ui::ControlKind::Shape && o.kind() != ui::ControlKind::Shape &&
          overlap(c.bounds(), o.bounds()))
        faults.push_back(c.name() + " overlaps " + o.name());
    }
    const ui::Control* container = c.container();
    ui::Bounds inside{0, 0, form.clientWidth(), form.clientHeight()};
    if (container) inside = {0, 0, container->width(), container->height()};
    const ui::Bounds& b = c.bounds();
    if (b.left < inside.left || b.top < inside.top || b.left + b.width > inside.width ||
        b.top + b.height > inside.height)
      faults.push_back(c.name() + " reaches out of its container");
    // The text in the font the window draws with, against the room the control has for it.
    HWND h = windowOf(form, c);
    const std::wstring text = textOf(h);
    if (text.empty() || (c.kind() != ui::ControlKind::Label && c.kind() != ui::ControlKind::CheckBox &&
                         c.kind() != ui::ControlKind::OptionButton && c.kind() != ui::ControlKind::Button))
      continue;
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(h, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    RECT client{};
    GetClientRect(h, &client);
    int room = client.right;
    if (c.kind() == ui::ControlKind::CheckBox || c.kind() == ui::ControlKind::OptionButton)
      room -= GetSystemMetrics(SM_CXMENUCHECK) + 4;
    if (c.kind() == ui::ControlKind::Button) room -= 8;
    if (size.cx > room || size.cy > client.bottom)
      faults.push_back(c.name() + " cuts its text (" + std::to_string(size.cx) + "x" +
                       std::to_string(size.cy) + " in " + std::to_string(room) + "x" +
                       std::to_string(client.bottom) + " pixels)");
  }
  return faults;
}

// A form with every kind of control, as the manager's windows use them; its picture is kept in the
// documentation (saved when KRV_FORM_SAMPLE_BMP names a file).
TEST_F(FormInputTest, SampleFormWithEveryControlKindLaysOutCleanly) {
  ui::Form form(*toolkit, "frmSample");
  form.setCaption("Korvane form sample");
  form.iconResourceId = 1;
  form.setClientSize(9000, 6300);
  ui::ImageList& small = form.addImageList("imlSmall");
  small.images = {{"file", 1}, {"folder", 1}};
  ui::ImageList& large = form.addImageList("imlLarge");
  large.imageSize = 32;
  large.images = {{"logo", 1}};
  ui::MenuItem file("mFile", "&File");
  file.items = {ui::MenuItem("mOpen", "&Open log", ui::Key::F2), ui::MenuItem("mSeparator", "-"),
                ui::MenuItem("mExit", "E&xit")};
  form.addMenu(file);
  form.addMenu(ui::MenuItem("mHelp", "&Help"));
  const auto add = [&](const char* name, ui::ControlKind kind, ui::Bounds b, const char* caption = "",
                       ui::Control* container = nullptr, int page = -1) -> ui::Control& {
    ui::Control& c = form.addControl(name, kind, container, page);
    c.setBounds(b);
    if (*caption) c.setCaption(caption);
    return c;
  };
  using K = ui::ControlKind;
  // Left: a frame, a picture box, a shape with a label on it, a multi-line box.
  ui::Control& frame = add("fraConnection", K::Frame, {120, 120, 4260, 1980}, "Connection");
  add("lblServer", K::Label, {150, 390, 1050, 270}, "Server:", &frame);
  add("txtServer", K::TextBox, {1260, 330, 2820, 330}, "backup01", &frame);
  add("lblPassword", K::Label, {150, 810, 1050, 270}, "Password:", &frame);
  ui::Control& password = add("txtPassword", K::TextBox, {1260, 750, 2820, 330}, "", &frame);
  password.setPassword(true);
  password.setCaption("secret");
  add("chkRemember", K::CheckBox, {150, 1185, 3000, 300}, "Remember the password", &frame).setValue(1);
  add("optLocal", K::OptionButton, {150, 1560, 1350, 300}, "Local", &frame).setValue(1);
  add("optRemote", K::OptionButton, {1650, 1560, 1350, 300}, "Remote", &frame);
  ui::Control& picture = add("picLogo", K::Picture, {120, 2220, 4260, 960});
  picture.setBackColor(ui::rgb(0xFF, 0xF8, 0xDC));
  add("imgLogo", K::Image, {120, 120, 480, 480}, "", &picture).setPicture(large.picture(0));
  ui::Control& warning =
      add("lblWarning", K::Label, {720, 120, 3420, 270}, "Backup needs attention", &picture);
  warning.setFont({true, false, 0});
  warning.setForeColor(ui::rgb(0xC0, 0, 0));
  ui::Control& link = form.addLabel("lnkLog", ui::LabelLook::Link, &picture);
  link.setBounds({720, 510, 1800, 270});
  link.setCaption("Open the log");
  add("shpBand", K::Shape, {120, 3300, 4260, 420}).setBackColor(ui::rgb(0x20, 0x60, 0xA0));
  add("lblBand", K::Label, {240, 3375, 3000, 270}, "A label on a shape")
      .setForeColor(ui::rgb(0xFF, 0xFF, 0xFF));
  ui::Control& notes = form.addMultiLineTextBox("txtNotes");
  notes.setBounds({120, 3840, 4260, 1410});
  notes.setCaption("First line\r\nSecond line\r\nThird line");
  // Right: a tab strip with pages, a list view with icons.
  ui::Control& tabs = add("tabMain", K::TabStrip, {4500, 120, 4380, 2250});
  tabs.setListTexts({"General", "Schedule", "Log"});
  add("lblHotkey", K::Label, {180, 600, 1050, 270}, "Hotkey:", &tabs, 0);
  ui::Control& combo = add("cmbHotkey", K::ComboBox, {1350, 540, 1800, 330}, "", &tabs, 0);
  combo.setListTexts({"F11", "F12", "None"});
  add("lblRetries", K::Label, {180, 1080, 1050, 270}, "Retries:", &tabs, 0);
  ui::Control& retries = add("txtRetries", K::TextBox, {1350, 1020, 750, 330}, "3", &tabs, 0);
  ui::Control& spin = add("udRetries", K::UpDown, {2100, 1020, 255, 330}, "", &tabs, 0);
  spin.setRange(0, 9);
  spin.setValue(3);
  spin.setBuddy(&retries);
  ui::Control& next = form.addLabel("lblNextRun", ui::LabelLook::Edged, &tabs, 0);
  next.setBounds({180, 1560, 2700, 300});
  next.setCaption("Next run: 22:00");
  add("chkWeekly", K::CheckBox, {180, 600, 2400, 300}, "Every week", &tabs, 1);
  add("lblNoEntries", K::Label, {180, 600, 2400, 270}, "No entries", &tabs, 2);
  ui::ListView& list = form.addListView("lvFiles");
  list.setBounds({4500, 2490, 4380, 2760});
  list.setColumns({{"Name", 2250}, {"Size", 1500}});
  list.setSmallIcons(&small);
  list.addItem({"Documents", {""}, "folder", ""});
  list.addItem({"report.txt", {"12 KB"}, "file", ""});
  list.addItem({"photo.jpg", {"2.4 MB"}, "file", ""});
  list.select(1);
  add("cmdOK", K::Button, {6300, 5400, 1200, 390}, "OK");
  add("cmdCancel", K::Button, {7680, 5400, 1200, 390}, "Cancel");
  form.addStatusBar("sbStatus").setSimpleText("Ready");
  form.setDefaultButton(form.control("cmdOK"));
  HWND window = show(form);
  ASSERT_NE(window, nullptr);
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  settle();

  EXPECT_EQ(layoutFaults(form), std::vector<std::string>{});
  // The status bar keeps its own row below the buttons.
  const ui::Control& status = *form.control("sbStatus");
  EXPECT_GE(status.top(), 5400 + 390);
  if (const char* path = std::getenv("KRV_FORM_SAMPLE_BMP")) {
    RECT rect{};
    GetWindowRect(window, &rect);
    ASSERT_TRUE(automation::saveScreenshot(automation::toWide(path)));
    std::printf("form at %ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
                rect.top);
  }
  form.unload();
}

}  // namespace
