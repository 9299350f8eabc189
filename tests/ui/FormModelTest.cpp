// The form model and the test toolkit: change notices to the realization, what a user can and
// cannot do, menus and shortcuts, modal forms by script, and the rules every toolkit shares (Enter,
// Esc, Tab, key preview, option groups, tab changes, up-down boxes, focus, containers).

#include <gtest/gtest.h>

#include "fakes/FakeFormToolkit.h"
#include "ui/Form.h"

#include <utility>

namespace {

// A realization that notes every change it is told of.
class RecordingPeer : public ui::FormPeer {
 public:
  void formChanged(ui::Change what) override { form.push_back(what); }
  void controlChanged(ui::Control& control, ui::Change what) override {
    controls.push_back({control.name(), what});
  }
  void timerChanged(ui::Timer& timer) override { timers.push_back(timer.name); }
  void focus(ui::Control&) override {}
  int textWidth(std::string_view utf8) override { return static_cast<int>(utf8.size()); }
  ui::NativeHandle nativeHandle() const override { return 1; }
  std::vector<ui::Change> form;
  std::vector<std::pair<std::string, ui::Change>> controls;
  std::vector<std::string> timers;
};

TEST(FormModel, TellsTheRealizationOfRealChangesOnly) {
  fakes::FakeFormToolkit toolkit;
  ui::Form form(toolkit, "frmTest");
  ui::Control& button = form.addControl("cmdOK", ui::ControlKind::Button);
  ui::ListView& list = form.addListView("lvItems");
  RecordingPeer peer;
  form.attach(&peer);
  button.setCaption("OK");
  button.setCaption("OK");  // unchanged: no notice
  button.setEnabled(false);
  button.move(10, 20, 30, 40);
  list.setColumnWidth(0, 500);
  list.setColumnWidth(0, 500);
  list.select(5);  // beyond the items: nothing selected
  EXPECT_EQ(list.selectedIndex(), -1);
  form.setCaption("Title");
  using P = std::pair<std::string, ui::Change>;
  EXPECT_EQ(peer.controls, (std::vector<P>{{"cmdOK", ui::Change::Caption},
                                           {"cmdOK", ui::Change::Enabled},
                                           {"cmdOK", ui::Change::Bounds},
                                           {"lvItems", ui::Change::Columns},
                                           {"lvItems", ui::Change::Selection}}));
  EXPECT_EQ(peer.form, std::vector<ui::Change>{ui::Change::Caption});
  // What the user changes is written back without a notice, then raises the event.
  int changes = 0;
  button.onChange = [&] { ++changes; };
  button.userSetCaption("Typed");
  EXPECT_EQ(button.caption(), "Typed");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(peer.controls.size(), 5u);
  form.attach(nullptr);
}

TEST(FormModel, VirtualListsFetchRowsAndKeepTheSelectionInRange) {
  fakes::FakeFormToolkit toolkit;
  ui::Form form(toolkit, "frmTest");
  ui::ListView& list = form.addListView("lvRows");
  list.setVirtual([](std::size_t row) { return ui::ListItem{"row " + std::to_string(row), {}, "", ""}; });
  list.setItemCount(1000);
  EXPECT_EQ(list.item(999).text, "row 999");
  EXPECT_EQ(list.item(1000).text, "");  // past the end: an empty row, not a fetch
  list.select(999);
  list.setItemCount(10);
  EXPECT_EQ(list.selectedIndex(), -1);
  std::vector<std::size_t> clicked;
  list.onItemClick = [&](std::size_t row) { clicked.push_back(row); };
  list.userClickItem(3);
  list.userClickItem(10);  // no such row: ignored
  EXPECT_EQ(clicked, std::vector<std::size_t>{3});
  EXPECT_EQ(list.selectedIndex(), 3);
}

TEST(FormModel, MenusAnswerTheirNamesAndShortcuts) {
  fakes::FakeFormToolkit toolkit;
  ui::Form form(toolkit, "frmMenus");
  int refreshed = 0, exited = 0;
  ui::MenuItem file("mFile", "&File");
  ui::MenuItem refresh("mRefresh", "&Refresh", ui::Key::F5);
  refresh.onClick = [&] { ++refreshed; };
  ui::MenuItem off("mOff", "&Off", ui::Key::F6);
  off.enabled = false;
  off.onClick = [&] { ADD_FAILURE() << "a disabled item was chosen"; };
  ui::MenuItem exit("mExit", "E&xit");
  exit.onClick = [&] { ++exited; };
  file.items = {refresh, off, ui::MenuItem("mSeparator1", "-"), exit};
  form.addMenu(file);
  form.show();
  toolkit.pressShortcut(form, ui::Key::F5);
  toolkit.chooseMenu(form, "mExit");
  EXPECT_FALSE(form.clickMenu("mOff"));
  EXPECT_FALSE(form.clickMenu("mSeparator1"));
  EXPECT_FALSE(form.clickMenu("mMissing"));
  EXPECT_EQ(form.menuForShortcut(ui::Key::F7), nullptr);
  EXPECT_EQ(refreshed, 1);
  EXPECT_EQ(exited, 1);
}

TEST(FormModel, AModalFormRunsItsScriptAndAnswersItsCaller) {
  fakes::FakeFormToolkit toolkit;
  ui::Form dialog(toolkit, "fmPassword");
  ui::Control& ok = dialog.addControl("cmdOK", ui::ControlKind::Button);
  bool answer = false;
  ok.onClick = [&] {
    answer = true;
    dialog.unload();
  };
  int loads = 0, unloads = 0;
  dialog.onLoad = [&] { ++loads; };
  dialog.onUnload = [&] { ++unloads; };
  toolkit.modalScripts["fmPassword"] = [](ui::Form& form) { form.control("cmdOK")->click(); };
  dialog.showModal();
  EXPECT_TRUE(answer);
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(unloads, 1);
  EXPECT_FALSE(dialog.loaded());
  EXPECT_EQ(dialog.control("txtMissing"), nullptr);
}

// A dialog as the manager's are built: a frame holding an option group, a text box with an
// up-down box, a tab strip whose pages hold controls, OK and Cancel.
struct SampleDialog {
  explicit SampleDialog(fakes::FakeFormToolkit& toolkit)
      : form(toolkit, "fmSample"),
        frame(form.addControl("frmGroup", ui::ControlKind::Frame)),
        optA(form.addControl("optChoice(0)", ui::ControlKind::OptionButton, &frame)),
        optB(form.addControl("optChoice(1)", ui::ControlKind::OptionButton, &frame)),
        optOther(form.addControl("optOther", ui::ControlKind::OptionButton)),
        txtDays(form.addControl("txtDays", ui::ControlKind::TextBox, &frame)),
        udDays(form.addControl("udDays", ui::ControlKind::UpDown, &frame)),
        tabs(form.addControl("tabPages", ui::ControlKind::TabStrip)),
        chkOnFirst(form.addControl("chkFirst", ui::ControlKind::CheckBox, &tabs, 0)),
        txtNotes(form.addMultiLineTextBox("txtNotes", &tabs, 1)),
        cmdOK(form.addControl("cmdOK", ui::ControlKind::Button)),
        cmdCancel(form.addControl("cmdCancel", ui::ControlKind::Button)) {
    tabs.setListTexts({"First", "Second"});
    udDays.setRange(1, 3);
    udDays.setBuddy(&txtDays);
    // Tab order differs from the order of creation.
    int order = 0;
    for (ui::Control* c : {&cmdCancel, &optA, &optB, &txtDays, &chkOnFirst, &txtNotes, &cmdOK, &tabs, &optOther})
      c->tabIndex = order++;
    form.setDefaultButton(&cmdOK);
    form.setCancelButton(&cmdCancel);
    for (ui::Control* c : form.controls()) {
      c->onGotFocus = [this, c] { log.push_back("got " + c->name()); };
      c->onLostFocus = [this, c] { log.push_back("lost " + c->name()); };
    }
    cmdOK.onClick = [this] { log.push_back("OK"); };
    cmdCancel.onClick = [this] { log.push_back("Cancel"); };
  }
  std::vector<std::string> take() { return std::exchange(log, {}); }
  ui::Form form;
  ui::Control &frame, &optA, &optB, &optOther, &txtDays, &udDays, &tabs, &chkOnFirst, &txtNotes, &cmdOK, &cmdCancel;
  std::vector<std::string> log;
};
using Log = std::vector<std::string>;

TEST(FormRules, FocusTabEnterAndEscFollowTheModel) {
  fakes::FakeFormToolkit toolkit;
  SampleDialog d(toolkit);
  d.form.show();
  // The first in tab order starts with the focus; Tab walks the order (only the chosen option of a
  // group, the first while none is chosen; only the showing tab page), and wraps.
  EXPECT_EQ(d.form.focused(), &d.cmdCancel);
  EXPECT_TRUE(toolkit.press(d.form, ui::Key::Tab));
  EXPECT_TRUE(toolkit.press(d.form, ui::Key::Tab));
  EXPECT_EQ(d.form.focused(), &d.txtDays);
  EXPECT_EQ(d.take(), (Log{"got cmdCancel", "lost cmdCancel", "got optChoice(0)", "lost optChoice(0)", "got txtDays"}));
  toolkit.click(d.optB);
  EXPECT_EQ(d.optA.value(), 0);
  EXPECT_EQ(d.optB.value(), 1);
  toolkit.press(d.form, ui::Key::Tab, {true, false, false});  // Shift+Tab
  EXPECT_EQ(d.form.focused(), &d.cmdCancel);
  toolkit.press(d.form, ui::Key::Tab);  // to the chosen option, past the other
  EXPECT_EQ(d.form.focused(), &d.optB);
  d.take();
  // Enter presses the default button, unless a button has the focus (it presses that one).
  EXPECT_TRUE(toolkit.press(d.form, ui::Key::Enter));
  d.form.setFocus(d.cmdCancel);
  EXPECT_TRUE(toolkit.press(d.form, ui::Key::Enter));
  EXPECT_TRUE(toolkit.press(d.form, ui::Key::Escape));
  EXPECT_EQ(d.take(), (Log{"OK", "lost optChoice(1)", "got cmdCancel", "Cancel", "Cancel"}));
  // A multi-line box keeps Enter for a new line; the default button may change while shown, and a
  // disabled one is not pressed.
  toolkit.chooseTab(d.tabs, 1);
  toolkit.type(d.txtNotes, "line");
  EXPECT_FALSE(toolkit.press(d.form, ui::Key::Enter));
  d.form.setFocus(d.txtDays);
  d.form.setDefaultButton(&d.cmdCancel);
  toolkit.press(d.form, ui::Key::Enter);
  d.cmdCancel.setEnabled(false);
  EXPECT_FALSE(toolkit.press(d.form, ui::Key::Enter));
  EXPECT_FALSE(toolkit.press(d.form, ui::Key::Escape));
  EXPECT_EQ(d.take(), (Log{"lost cmdCancel", "got txtNotes", "lost txtNotes", "got txtDays", "Cancel"}));
}

TEST(FormRules, KeyPreviewShortcutsAndKeysOfTheFocusedControl) {
  fakes::FakeFormToolkit toolkit;
  SampleDialog d(toolkit);
  std::vector<std::pair<ui::Key, bool>> previewed;
  d.form.onKeyDown = [&](ui::Key key, ui::Modifiers m) { previewed.emplace_back(key, m.shift); };
  std::vector<ui::Key> typed;
  d.txtDays.onKeyDown = [&](ui::Key key) { typed.push_back(key); };
  ui::MenuItem actions("mActions", "&Actions");
  ui::MenuItem refresh("mRefresh", "&Refresh", ui::Key::F5);
  int refreshed = 0;
  refresh.onClick = [&] { ++refreshed; };
  // Shortcuts held with modifiers fire with exactly those: a letter alone is typed.
  ui::MenuItem find("mFind", "&Find...", ui::Key::F, {false, true, false});
  int found = 0;
  find.onClick = [&] { ++found; };
  actions.items = {refresh, find};
  d.form.addMenu(actions);
  d.form.show();
  d.form.setFocus(d.txtDays);
  EXPECT_TRUE(toolkit.press(d.form, ui::Key::F, {false, true, false}));
  EXPECT_FALSE(toolkit.press(d.form, ui::Key::F));
  EXPECT_FALSE(toolkit.press(d.form, ui::Key::F, {true, true, false}));
  EXPECT_EQ(found, 1);
  typed.clear();
  d.form.setFocus(d.txtDays);
  toolkit.press(d.form, ui::Key::F5);
  toolkit.press(d.form, ui::Key::Delete);
  EXPECT_TRUE(previewed.empty()) << "no key preview: the form does not see keys first";
  d.form.keyPreview = true;
  toolkit.press(d.form, ui::Key::F5, {true, false, false});  // Shift+F5 is no shortcut
  toolkit.press(d.form, ui::Key::F5);
  EXPECT_EQ(previewed, (std::vector<std::pair<ui::Key, bool>>{{ui::Key::F5, true}, {ui::Key::F5, false}}));
  EXPECT_EQ(refreshed, 2);
  EXPECT_EQ(typed, (std::vector<ui::Key>{ui::Key::Delete, ui::Key::F5}));
  // A preview handler that closes the form ends the key there.
  d.form.onKeyDown = [&](ui::Key, ui::Modifiers) { d.form.unload(); };
  EXPECT_TRUE(d.form.keyDown(ui::Key::Enter));
  EXPECT_TRUE(d.take().back() != "OK");
}

TEST(FormRules, ContainersTabsAndUpDownBoxes) {
  fakes::FakeFormToolkit toolkit;
  SampleDialog d(toolkit);
  int tabChanges = 0, switchedFrom = -1;
  d.tabs.onChange = [&] {
    ++tabChanges;
    switchedFrom = d.tabs.previousValue();
    // A page that refuses to be left switches back, which raises no second change.
    if (d.chkOnFirst.value() && d.tabs.value() != 0) d.tabs.setValue(0);
  };
  int dayChanges = 0;
  d.txtDays.onChange = [&] { ++dayChanges; };
  d.form.show();
  // Pages show what the chosen tab holds.
  EXPECT_TRUE(d.chkOnFirst.shown());
  EXPECT_FALSE(d.txtNotes.shown());
  toolkit.chooseTab(d.tabs, 1);
  EXPECT_TRUE(d.txtNotes.usable());
  EXPECT_FALSE(d.chkOnFirst.shown());
  toolkit.chooseTab(d.tabs, 0);
  toolkit.click(d.chkOnFirst);
  toolkit.chooseTab(d.tabs, 1);
  EXPECT_EQ(d.tabs.value(), 0);
  EXPECT_EQ(switchedFrom, 0);
  EXPECT_EQ(tabChanges, 3);
  // Hiding or disabling a container hides or disables what it holds.
  d.frame.setEnabled(false);
  EXPECT_TRUE(d.optA.shown());
  EXPECT_FALSE(d.optA.usable());
  EXPECT_FALSE(d.txtDays.focusable());
  d.frame.setEnabled(true);
  d.frame.setVisible(false);
  EXPECT_FALSE(d.udDays.shown());
  d.frame.setVisible(true);
  // Option groups are per container: the option outside the frame is a group of its own.
  toolkit.click(d.optA);
  toolkit.click(d.optOther);
  EXPECT_EQ(d.optA.value(), 1);
  d.optB.setValue(1);
  EXPECT_EQ(d.optA.value(), 0);
  EXPECT_EQ(d.optOther.value(), 1);
  // The up-down box steps within its range, writes its buddy and raises the buddy's change; a
  // number typed into the buddy moves it.
  d.udDays.setValue(1);
  toolkit.step(d.udDays, 1);
  toolkit.step(d.udDays, 1);
  toolkit.step(d.udDays, 1);
  EXPECT_EQ(d.txtDays.caption(), "3");
  EXPECT_EQ(dayChanges, 2);
  d.txtDays.selectAll();
  toolkit.type(d.txtDays, "2");
  toolkit.step(d.udDays, -1);
  EXPECT_EQ(d.txtDays.caption(), "1");
  EXPECT_EQ(dayChanges, 4);
}

TEST(FormRules, FocusEventsMayMoveTheFocusAndHandlersMayUnload) {
  fakes::FakeFormToolkit toolkit;
  SampleDialog d(toolkit);
  d.txtDays.setMaxLength(3);
  // Leaving a box with a bad value puts the focus back into it, with its text selected.
  d.txtDays.onLostFocus = [&] {
    d.log.push_back("lost txtDays");
    if (d.txtDays.caption() == "0") {
      d.form.setFocus(d.txtDays);
      d.txtDays.selectAll();
    }
  };
  d.form.setFocus(d.txtDays);  // before the form is shown: where the focus starts
  d.form.show();
  EXPECT_EQ(d.form.focused(), &d.txtDays);
  toolkit.type(d.txtDays, "0");
  toolkit.click(d.cmdOK);
  EXPECT_EQ(d.form.focused(), &d.txtDays);
  EXPECT_EQ(d.txtDays.selectionLength(), 1);
  EXPECT_EQ(d.take(), (Log{"got txtDays", "lost txtDays", "got txtDays"})) << "OK was not pressed";
  d.txtDays.setCaption("12345");
  EXPECT_EQ(d.txtDays.caption(), "12345") << "the box's length holds typing, never a program's text";
  toolkit.click(d.cmdOK);
  EXPECT_EQ(d.take(), (Log{"lost txtDays", "got cmdOK", "OK"}));
  // OK closing the form from its own handler: the form is gone, and nothing runs on after it.
  d.cmdOK.onClick = [&] { d.form.unload(); };
  toolkit.press(d.form, ui::Key::Enter);
  EXPECT_FALSE(d.form.loaded());
  EXPECT_EQ(d.form.focused(), nullptr);
  EXPECT_EQ(d.form.nativeHandle(), 0u);
}

}  // namespace
