#pragma once
// The support information dialog: the user picks what to collect, the support tool Diagsnap.exe
// runs with the matching switches and is waited for, then Notepad opens its report on the desktop.

#include <string>

#include "manager/common/Commons.h"
#include "platform/FileSystem.h"
#include "platform/Processes.h"
#include "ui/Form.h"
#include "ui/FormToolkit.h"

namespace krv {

struct SupportServices {
  ui::FormToolkit& toolkit;
  Commons& commons;
  platform::Processes& processes;
  platform::FileSystem& files;
  std::string programFolder;  // ends in a backslash
};

class FmSupport final : public ui::Form {
 public:
  static constexpr const char* kToolProgram = "Diagsnap.exe";
  static constexpr int kDesktopFolder = 0x0010;  // the user's desktop directory (CSIDL)

  explicit FmSupport(const SupportServices& services);

  // The switches for the chosen boxes, each with its own leading space, in the boxes' order.
  std::string Switches(int days) const;

  ui::Control& lblMain;
  ui::Control& lblText;
  ui::Control& Check1;
  ui::Control& Check2;
  ui::Control& Check3;
  ui::Control& Check4;
  ui::Control& Text1;
  ui::Control& UpDown1;
  ui::Control& lblDays;
  ui::Control& OKButton;
  ui::Control& CancelButton;

 private:
  void Form_Load();
  void OKButton_Click();
  void error(const std::string& text, ui::Icon icon);
  std::string text(int id) const { return s_.commons.strings().text(id); }

  SupportServices s_;
};

}  // namespace krv
