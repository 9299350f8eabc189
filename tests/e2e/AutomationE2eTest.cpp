// The automation driver against message boxes of another process, shown by KrvDriver's "show":
// what the tests of the programs rely on when they read a box and answer it.

#include <windows.h>

#include <gtest/gtest.h>

#include "automation/Automation.h"
#include "automation/TestEnvironment.h"

namespace {

constexpr DWORD kBoxTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 20000;

std::wstring driver() {
  return automation::besideTests(L"KrvDriver.exe");
}

// A message box shown by another process; the process ends with the box's answer as exit code.
class OtherProcessBox {
 public:
  OtherProcessBox(const std::wstring& title, const std::wstring& options)
      : program_(driver(), L"show \"" + title + L"\" \"Text of " + title + L"\" " + options) {}
  automation::Program& program() { return program_; }
  HWND wait() { return automation::waitForMessageBoxOf(program_.id(), kBoxTimeoutMs); }

 private:
  automation::Program program_;
};

struct IconCase {
  const wchar_t* option;
  automation::BoxIcon icon;
};

// Without KrvDriver.exe beside the tests these fail: its start is asserted.
class BoxIconTest : public testing::TestWithParam<IconCase> {};

TEST_P(BoxIconTest, RecognisesTheStandardIconOfAnotherProcesssBox) {
  OtherProcessBox shown(std::wstring(L"Icon ") + GetParam().option, GetParam().option);
  ASSERT_TRUE(shown.program().started());
  HWND box = shown.wait();
  ASSERT_NE(box, nullptr);

  EXPECT_EQ(automation::boxIcon(box), GetParam().icon) << automation::iconName(automation::boxIcon(box));
  const automation::BoxContents contents = automation::readBox(box);
  EXPECT_EQ(contents.criticalIcon, GetParam().icon == automation::BoxIcon::Critical);
  EXPECT_EQ(contents.informationIcon, GetParam().icon == automation::BoxIcon::Information);
  EXPECT_EQ(contents.questionIcon, GetParam().icon == automation::BoxIcon::Question);
  EXPECT_EQ(contents.exclamationIcon, GetParam().icon == automation::BoxIcon::Exclamation);

  ASSERT_TRUE(automation::pressButton(box, "OK"));
  EXPECT_EQ(shown.program().waitForExit(kExitTimeoutMs), std::optional<DWORD>(IDOK));
}

INSTANTIATE_TEST_SUITE_P(EveryIcon, BoxIconTest,
                         testing::Values(IconCase{L"critical", automation::BoxIcon::Critical},
                                         IconCase{L"information", automation::BoxIcon::Information},
                                         IconCase{L"question", automation::BoxIcon::Question},
                                         IconCase{L"exclamation", automation::BoxIcon::Exclamation},
                                         IconCase{L"none", automation::BoxIcon::None}),
                         [](const testing::TestParamInfo<IconCase>& info) {
                           return automation::toUtf8(info.param.option);
                         });

TEST(BoxDriving, ReadsTitleTextButtonsAndTheDefaultButton) {
  OtherProcessBox shown(L"Caf\u00e9 \u2122 question", L"question yesnocancel default2");
  ASSERT_TRUE(shown.program().started());
  HWND box = automation::waitForMessageBox("Caf\xC3\xA9 \xE2\x84\xA2 question", kBoxTimeoutMs);
  ASSERT_NE(box, nullptr) << "found by its exact title, in UTF-8";
  EXPECT_EQ(box, shown.wait());

  const automation::BoxContents contents = automation::readBox(box);
  EXPECT_EQ(contents.title, "Caf\xC3\xA9 \xE2\x84\xA2 question");
  EXPECT_EQ(contents.texts, std::vector<std::string>{"Text of Caf\xC3\xA9 \xE2\x84\xA2 question"});
  EXPECT_EQ(contents.buttons, (std::vector<std::string>{"Yes", "No", "Cancel"}));
  EXPECT_EQ(contents.defaultButton, "No");

  EXPECT_FALSE(automation::pressButton(box, "Maybe")) << "no such button";
  ASSERT_TRUE(automation::pressButton(box, "&No")) << "mnemonic markers are ignored";
  EXPECT_EQ(shown.program().waitForExit(kExitTimeoutMs), std::optional<DWORD>(IDNO));
}

TEST(BoxDriving, AnExactTitleIsNeededAndAMissingWindowIsReportedInTime) {
  OtherProcessBox shown(L"Exact title", L"ok");
  ASSERT_TRUE(shown.program().started());
  ASSERT_NE(shown.wait(), nullptr);
  const DWORD start = GetTickCount();
  EXPECT_EQ(automation::waitForWindow("Exact titl", 300), nullptr);
  EXPECT_EQ(automation::waitForMessageBox("Exact title and more", 300), nullptr);
  EXPECT_LT(GetTickCount() - start, 5000u);
  HWND box = automation::waitForWindow("Exact title", 0);
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(automation::pressButton(box, "OK"));
  EXPECT_TRUE(automation::waitUntilGone(box, kExitTimeoutMs));
  EXPECT_EQ(shown.program().waitForExit(kExitTimeoutMs), std::optional<DWORD>(IDOK));
}

TEST(Mnemonics, AreRemovedAndADoubledMarkerStandsForItself) {
  EXPECT_EQ(automation::withoutMnemonics("&Copy/Update..."), "Copy/Update...");
  EXPECT_EQ(automation::withoutMnemonics("Save && E&xit"), "Save & Exit");
  EXPECT_EQ(automation::withoutMnemonics("OK&"), "OK");
}

}  // namespace
