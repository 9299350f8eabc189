// The form model and the test toolkit: change notices to the realization, what a user can and
// cannot do, menus and shortcuts, modal forms by script.

#include <gtest/gtest.h>

#include "fakes/FakeFormToolkit.h"
#include "ui/Form.h"

namespace {

// A realization that notes every change it is told of.
class RecordingPeer : public ui::FormPeer {
 public:
  void formChanged(ui::Change what) override { form.push_back(what); }
  void controlChanged(ui::Control& control, ui::Change what) override {
    controls.push_back({control.name(), what});
  }
  void timerChanged(ui::Timer& timer) override { timers.push_back(timer.name); }
  int textWidth(std::string_view utf8) override { return static_cast<int>(utf8.size()); }
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

}  // namespace
