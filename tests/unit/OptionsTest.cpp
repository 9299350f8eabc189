// The Options dialog over the fakes: what it shows of the stored values, what OK and Apply store,
// the log days and password rules, the exclusion list's two forms and its Edit and Browse.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "manager/options/ExclusionList.h"
#include "manager/options/FmOptions.h"
#include "unit/ServicesFixture.h"

namespace {

using Calls = std::vector<std::string>;

struct ListCase {
  std::string text;
  std::string list;   // LinesToList of the text
  std::string lines;  // ListToLines of that list
  std::string again;  // the lines stored again: a blank line makes no entry
};

class ExclusionListForms : public ::testing::TestWithParam<ListCase> {};

TEST_P(ExclusionListForms, LinesAndListsTurnIntoEachOtherStably) {
  const ListCase& c = GetParam();
  EXPECT_EQ(krv::LinesToList(c.text), c.list);
  std::string list = c.text;
  EXPECT_EQ(krv::ListToLines(list), c.lines);
  EXPECT_EQ(list, c.list) << "the caller's list is normalized";
  EXPECT_EQ(krv::LinesToList(c.lines), c.again);
  std::string again = c.again;
  EXPECT_EQ(krv::LinesToList(krv::ListToLines(again)), c.again) << "from then on nothing changes";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ExclusionListForms,
    ::testing::Values(
        ListCase{"C:\\temp;D:\\data", "C:\\temp;D:\\data", "C:\\temp\r\nD:\\data", "C:\\temp;D:\\data"},
        ListCase{"  C:\\a\r\n\r\nC:\\b  \r\n", "C:\\a;C:\\b", "C:\\a\r\nC:\\b", "C:\\a;C:\\b"},
        ListCase{"\"C:\\x;y\"\r\nD:\\z", "\"C:\\x;y\";D:\\z", "\"C:\\x;y\"\r\nD:\\z", "\"C:\\x;y\";D:\\z"},
        ListCase{"a;;b", "a;;b", "a\r\n\r\nb", "a;b"},
        ListCase{"C:\\a;\r\nC:\\b", "C:\\a;C:\\b", "C:\\a\r\nC:\\b", "C:\\a;C:\\b"}, ListCase{"", "", "", ""},
        ListCase{" ; ", "", "", ""},
        // An unclosed quote keeps the ";" after it in its entry, at every save.
        ListCase{"\"C:\\x;", "\"C:\\x;", "\"C:\\x;", "\"C:\\x;"}));

class OptionsTest : public ServicesFixture {
 protected:
  OptionsTest() {
    engine.answer("showprompt", "Yes");
    engine.answer("hotkey", "F5");
    engine.answer("keywait", "10");
    engine.answer("maxfailedboots", "2");
    engine.answer("keeplogs", "30");
    engine.answer("CopyPasswordEnabled", "False");
    engine.answer("CopyPassword", "");
  }
  // Shows the dialog; the script acts in it as the user would.
  void open(std::function<void(krv::FmOptions&)> script, std::function<bool()> passwordStep = nullptr) {
    toolkit.modalScripts["fmOptions"] = [script](ui::Form& form) {
      script(static_cast<krv::FmOptions&>(form));
    };
    krv::FmOptions dialog({toolkit, commons, preferences, engine, codec});
    dialog.Display(
        nullptr, passwordStep ? passwordStep : [] { return true; });
  }
  const krv::PreferenceRecord& stored() { return preferences.current(); }
};

TEST_F(OptionsTest, ValuesTheListsCannotShowTakeTheirFallbacksAndOKStoresThem) {
  engine.answer("hotkey", "F8");
  engine.answer("keywait", "7");
  engine.answer("maxfailedboots", "1");
  engine.answer("keeplogs", "1500");
  open([&](krv::FmOptions& d) {
    EXPECT_EQ(d.caption(), "Options");
    EXPECT_EQ(d.frmFrame[0]->caption(), " Tray Icon ");
    EXPECT_EQ(d.ssOptions.listTexts(), (Calls{"General", "Copy/Update", "Password"}));
    EXPECT_EQ(d.cmbHotkey.listTexts().size(), 9u);
    EXPECT_EQ(d.cmbHotkey.value(), 0) << "F1";
    EXPECT_EQ(d.cmbDelay.listTexts()[d.cmbDelay.value()], "5 sec");
    EXPECT_EQ(d.cmbBootRetry.listTexts()[d.cmbBootRetry.value()], "None");
    EXPECT_EQ(d.chkPurgeLog.value(), 1);
    EXPECT_EQ(d.txtPurgeLogDays.caption(), "30");
    EXPECT_FALSE(d.cmdApply.enabled());
    EXPECT_TRUE(d.txtPassword[0]->password());
    EXPECT_EQ(d.txtPassword[0]->maxLength(), 25);
    EXPECT_EQ(d.txtPurgeLogDays.maxLength(), 3);
    EXPECT_FALSE(d.txtExcluded.enabled()) << "only the General tab's controls";
    toolkit.press(d, ui::Key::Enter);
    EXPECT_TRUE(d.loaded()) << "OK is not the default button";
    toolkit.click(d.cmdOK);
  });
  EXPECT_EQ(stored().bootHotkey, 1);
  EXPECT_EQ(stored().bootSplashDelay, 5);
  EXPECT_EQ(stored().failedBoots, 0);
  EXPECT_EQ(stored().logKeepDays, 30);
  const Calls sent = requests();
  for (const char* key : {"hotkey f1", "keywait"})
    EXPECT_NE(std::find_if(sent.begin(), sent.end(),
                           [&](const std::string& r) { return r.rfind(key, 0) == 0 && r.size() > 7; }),
              sent.end())
        << key;
}

TEST_F(OptionsTest, OKAtOnceOnShowableValuesWritesNothingAndCancelNeverWrites) {
  for (const bool ok : {true, false}) {
    engine.configurationCalls.clear();
    registry.writes.clear();
    open([&](krv::FmOptions& d) {
      if (!ok) toolkit.click(*d.optTrayIcon[2]);
      toolkit.click(ok ? d.cmdOK : d.cmdCancel);
    });
    for (const std::string& request : requests()) EXPECT_EQ(request.find(' '), std::string::npos) << request;
    EXPECT_TRUE(registry.writes.empty());
  }
}

TEST_F(OptionsTest, PurgingAndTheLogDaysBox) {
  engine.answer("keeplogs", "-45");
  open([&](krv::FmOptions& d) {
    EXPECT_EQ(d.chkPurgeLog.value(), 0);
    EXPECT_EQ(d.txtPurgeLogDays.caption(), "45");
    EXPECT_FALSE(d.txtPurgeLogDays.enabled());
    toolkit.click(d.chkPurgeLog);
    EXPECT_TRUE(d.txtPurgeLogDays.enabled());
    EXPECT_TRUE(d.cmdApply.enabled());
    // Out of range: the previous magnitude comes back, with the reason, and the box keeps the focus.
    for (const char* typed : {"0", "-5", "x"}) {
      toolkit.click(d.cmbDelay);
      toolkit.click(d.txtPurgeLogDays);
      EXPECT_EQ(d.txtPurgeLogDays.selectionLength(), 2) << "the whole text is selected";
      toolkit.type(d.txtPurgeLogDays, typed);
      toolkit.expectBox();
      toolkit.click(d.cmbDelay);
      EXPECT_EQ(d.txtPurgeLogDays.caption(), "45") << typed;
      EXPECT_EQ(toolkit.shown.back().text, "Log days must be between 1 and 999");
      EXPECT_EQ(d.focused(), &d.txtPurgeLogDays);
    }
    toolkit.click(d.cmbDelay);
    toolkit.click(d.txtPurgeLogDays);
    toolkit.type(d.txtPurgeLogDays, "007");
    toolkit.click(d.cmbDelay);
    EXPECT_EQ(d.txtPurgeLogDays.caption(), "7");
    toolkit.click(d.cmdApply);
    EXPECT_FALSE(d.cmdApply.enabled()) << "the baseline follows the save";
    toolkit.click(d.cmdCancel);
  });
  EXPECT_EQ(stored().logKeepDays, 7);
}

TEST_F(OptionsTest, TheProgramsOwnWritesLeaveApplyAsTheyFindItAndOKNeverStoresDaysOutOfRange) {
  open([&](krv::FmOptions& d) {
    // Typed and left, each box ends as it was loaded: nothing to apply.
    toolkit.click(d.txtPurgeLogDays);
    toolkit.type(d.txtPurgeLogDays, "030");
    EXPECT_TRUE(d.cmdApply.enabled());
    toolkit.click(d.cmbDelay);
    EXPECT_EQ(d.txtPurgeLogDays.caption(), "30");
    EXPECT_FALSE(d.cmdApply.enabled()) << "\"030\" written back as the loaded 30";
    toolkit.click(d.txtPurgeLogDays);
    toolkit.type(d.txtPurgeLogDays, "0");
    toolkit.expectBox();
    toolkit.click(d.cmbDelay);
    EXPECT_FALSE(d.cmdApply.enabled()) << "the loaded days restored";

    // Days the box never checked (it was not left) are refused at OK, and nothing is stored.
    for (const char* days : {"0", "", "abc", "-5"}) {
      d.txtPurgeLogDays.setCaption(days);
      toolkit.expectBox();
      toolkit.click(d.cmdOK);
      EXPECT_TRUE(d.loaded()) << days;
      EXPECT_EQ(toolkit.shown.back().text, "Log days must be between 1 and 999");
    }
    d.txtPurgeLogDays.setCaption("30");

    toolkit.chooseTab(d.ssOptions, krv::FmOptions::kPasswordTab);
    toolkit.type(*d.txtPassword[0], "a c");
    EXPECT_TRUE(d.cmdApply.enabled());
    toolkit.expectBox();
    toolkit.chooseTab(d.ssOptions, krv::FmOptions::kGeneralTab);
    EXPECT_EQ(toolkit.shown.back().text, "Invalid characters in password entry");
    EXPECT_EQ(d.txtPassword[0]->caption(), "");
    EXPECT_FALSE(d.cmdApply.enabled()) << "both password boxes set back";
    toolkit.click(d.cmdCancel);
  });
  for (const std::string& request : requests())
    EXPECT_EQ(request.find("keeplogs "), std::string::npos) << request;
}

TEST_F(OptionsTest, PasswordRulesKeepTheUserOnThePasswordTab) {
  open([&](krv::FmOptions& d) {
    toolkit.chooseTab(d.ssOptions, krv::FmOptions::kPasswordTab);
    EXPECT_TRUE(d.chkPassword.enabled());
    EXPECT_TRUE(d.txtPassword[1]->enabled()) << "whether or not the password is enabled";
    toolkit.click(d.chkPassword);
    // Enabled with both boxes empty: refused on leaving the tab.
    toolkit.expectBox();
    toolkit.chooseTab(d.ssOptions, krv::FmOptions::kGeneralTab);
    EXPECT_EQ(toolkit.shown.back().text, "Blank passwords not allowed");
    EXPECT_EQ(d.ssOptions.value(), krv::FmOptions::kPasswordTab);
    EXPECT_TRUE(d.txtPassword[0]->enabled());
    EXPECT_EQ(d.focused(), d.txtPassword[0]);
    // Different texts: both stay.
    toolkit.type(*d.txtPassword[0], "abc");
    toolkit.type(*d.txtPassword[1], "abd");
    EXPECT_TRUE(d.passwordTouched());
    toolkit.expectBox();
    toolkit.click(d.cmdOK);
    EXPECT_EQ(toolkit.shown.back().text, "New and Confirm passwords must match");
    EXPECT_EQ(d.txtPassword[1]->caption(), "abd");
    // A space: both boxes go back to the stored password.
    toolkit.type(*d.txtPassword[0], "a c");
    toolkit.expectBox();
    toolkit.click(d.cmdApply.enabled() ? d.cmdApply : d.cmdOK);
    EXPECT_EQ(toolkit.shown.back().text, "Invalid characters in password entry");
    EXPECT_EQ(d.txtPassword[0]->caption(), "");
    EXPECT_EQ(d.txtPassword[1]->caption(), "");
    toolkit.type(*d.txtPassword[0], "s3cret");
    toolkit.type(*d.txtPassword[1], "s3cret");
    toolkit.click(d.cmdOK);
    EXPECT_FALSE(d.loaded());
  });
  EXPECT_EQ(stored().copyPasswordEnabled, 1);
  EXPECT_EQ(stored().copyPassword, "s3cret");
}

TEST_F(OptionsTest, ACancelledPasswordPromptNeverShowsTheDialog) {
  engine.answer("CopyPasswordEnabled", "True");
  preferences.LoadPreferences();
  toolkit.modalScripts.clear();
  krv::FmOptions dialog({toolkit, commons, preferences, engine, codec});
  int asked = 0;
  dialog.Display(nullptr, [&] {
    ++asked;
    return false;
  });
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(dialog.loaded());
}

TEST_F(OptionsTest, EditAndBrowseGoThroughTheEnginesDialogsAndItsCheck) {
  registry.putWideText(krv::kPreferencesKey, krv::kDefaultExclusionListValue, "C:\\a;;C:\\b");
  open([&](krv::FmOptions& d) {
    toolkit.chooseTab(d.ssOptions, krv::FmOptions::kCopyTab);
    EXPECT_EQ(d.txtExcluded.caption(), "C:\\a\r\n\r\nC:\\b");
    // Cancelled: nothing changes. The editor gets the box's text and CR LF in its 3977 bytes.
    toolkit.click(d.cmdEdit);
    ASSERT_EQ(engine.editCalls.size(), 1u);
    EXPECT_EQ(engine.editCalls[0].text, "C:\\a\r\n\r\nC:\\b\r\n");
    EXPECT_EQ(engine.editCalls[0].capacity, 3977u);
    EXPECT_TRUE(engine.exclusionChecks.empty());
    // Accepted empty: checked, and the box empties.
    engine.editResult = 2;
    engine.editText = "";
    toolkit.click(d.cmdEdit);
    EXPECT_EQ(engine.exclusionChecks.back().text, "");
    EXPECT_EQ(d.txtExcluded.caption(), "");
    EXPECT_TRUE(d.cmdApply.enabled());
    // Refused: the engine's reason, OK and Apply disabled; a Browse that passes leaves OK disabled.
    engine.editResult = 12;
    engine.editText = "C:\\x\r\nrel";
    engine.exclusionCheckResult = -98;
    toolkit.expectBox();
    toolkit.click(d.cmdEdit);
    EXPECT_TRUE(fakes::showedBoxes(
        {toolkit.shown.back()}, {{"refused", "Korvane Error", ui::Buttons::OK, ui::Icon::Exclamation, 1}}));
    EXPECT_EQ(d.txtExcluded.caption(), "C:\\x\r\nrel") << "the refused list stays to be corrected";
    EXPECT_FALSE(d.cmdOK.enabled());
    EXPECT_FALSE(d.cmdApply.enabled());
    engine.exclusionCheckResult = 0;
    engine.browseResult = 6;
    engine.browsePath = "D:\\x";
    toolkit.click(d.cmdBrowse);
    EXPECT_EQ(engine.exclusionChecks.back().text, "C:\\x;rel;D:\\x");
    EXPECT_EQ(d.txtExcluded.caption(), "C:\\x\r\nrel\r\nD:\\x");
    EXPECT_FALSE(d.cmdOK.enabled());
    // A box too long for the editor's buffer is not handed over cut.
    d.txtExcluded.setCaption(std::string(1986, 'a'));
    toolkit.expectBox();
    toolkit.click(d.cmdEdit);
    EXPECT_EQ(engine.editCalls.size(), 3u);
    EXPECT_EQ(toolkit.shown.back().text.substr(0, 34), "The list of excluded files is long");
    toolkit.click(d.cmdCancel);
  });
  EXPECT_EQ(stored().exclusionList, "C:\\a;;C:\\b") << "Cancel saved nothing";
}

// The list is stored for the next start: one that the preference's read could not take back whole
// is refused at OK and at Apply, with nothing saved; one that fits is saved and read back as it was.
TEST_F(OptionsTest, AnExclusionListTooLongToBeReadBackIsRefusedWithNothingSaved) {
  // 1987 characters and the NUL fill 3976 of the read's 3977 bytes.
  const std::string longest = "C:\\a\r\n" + std::string(1982, 'b');
  open([&](krv::FmOptions& d) {
    toolkit.chooseItem(d.cmbHotkey, 1);
    toolkit.chooseTab(d.ssOptions, krv::FmOptions::kCopyTab);
    toolkit.type(d.txtExcluded, longest + "c");
    for (ui::Control* button : {&d.cmdApply, &d.cmdOK}) {
      toolkit.expectBox();
      toolkit.click(*button);
      EXPECT_TRUE(fakes::showedOneBox(
          toolkit.shown,
          {"The list of excluded files is longer than 1985 characters and cannot be edited here; shorten it "
           "first.",
           "Korvane Error", ui::Buttons::OK, ui::Icon::Exclamation, 1}))
          << button->name();
      EXPECT_TRUE(d.loaded()) << button->name();
      toolkit.shown.clear();
    }
    EXPECT_TRUE(registry.writes.empty());
    for (const std::string& request : requests()) EXPECT_EQ(request.find(' '), std::string::npos) << request;
    d.txtExcluded.selectAll();
    toolkit.type(d.txtExcluded, longest);
    toolkit.click(d.cmdOK);
    EXPECT_FALSE(d.loaded());
  });
  EXPECT_EQ(stored().bootHotkey, 2);
  preferences.LoadPreferences();
  EXPECT_TRUE(stored().exclusionList == "C:\\a;" + std::string(1982, 'b')) << "read back whole";
}

}  // namespace
