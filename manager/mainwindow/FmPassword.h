#pragma once
// The copy/boot password prompt: a small modal dialog that compares the entry with the stored
// password, exactly, and answers its caller true or false.

#include "manager/common/Commons.h"
#include "manager/common/Preferences.h"
#include "ui/Form.h"

namespace krv {

class FmPassword final : public ui::Form {
 public:
  FmPassword(ui::FormToolkit& toolkit, Commons& commons, Preferences& preferences);

  // Shows the prompt modal to owner: true once the stored password was entered and OK pressed,
  // false when the user cancelled. Each prompt starts with an empty entry.
  bool Check(ui::Form* owner);

  ui::Control& imgKey;
  ui::Control& lblHeader;
  ui::Control& txtPassword;
  ui::Control& cmdOK;
  ui::Control& cmdCancel;

 private:
  void Form_Load();
  void cmdOK_Click();

  Commons& commons_;
  Preferences& preferences_;
  bool result_ = false;
};

}  // namespace krv
