#include "manager/mainwindow/FmPassword.h"

#include "resources/manager/Pictures.h"
#include "resources/manager/Texts.h"

namespace krv {

FmPassword::FmPassword(ui::FormToolkit& toolkit, Commons& commons, Preferences& preferences)
    : ui::Form(toolkit, "fmPassword"),
      imgKey(addControl("imgKey", ui::ControlKind::Image)),
      lblHeader(addControl("lblHeader", ui::ControlKind::Label)),
      txtPassword(addControl("txtPassword", ui::ControlKind::TextBox)),
      cmdOK(addControl("cmdOK", ui::ControlKind::Button)),
      cmdCancel(addControl("cmdCancel", ui::ControlKind::Button)),
      commons_(commons),
      preferences_(preferences) {
  style = ui::FormStyle::Dialog;
  setClientSize(4845, 1305);
  imgKey.move(240, 180, 480, 480);
  imgKey.setPicture({nullptr, -1, pictures::kPasswordPrompt});
  lblHeader.move(840, 292, 945, 180);
  txtPassword.move(2400, 240, 2295, 285);
  txtPassword.setPassword(true);
  txtPassword.tabIndex = 0;
  cmdOK.move(2160, 840, 1215, 375);
  cmdOK.tabIndex = 1;
  cmdCancel.move(3480, 840, 1215, 375);
  cmdCancel.tabIndex = 2;
  setDefaultButton(&cmdOK);
  setCancelButton(&cmdCancel);
  cmdOK.onClick = [this] { cmdOK_Click(); };
  cmdCancel.onClick = [this] { unload(); };
  onLoad = [this] { Form_Load(); };
}

bool FmPassword::Check(ui::Form* owner) {
  result_ = false;
  showModal(owner);
  return result_;
}

void FmPassword::Form_Load() {
  const platform::StringTable& strings = commons_.strings();
  setCaption(strings.text(text::PasswordTitle));
  lblHeader.setCaption(strings.text(text::PasswordHeader));
  cmdOK.setCaption(strings.text(text::PasswordOK));
  cmdCancel.setCaption(strings.text(text::PasswordCancel));
  txtPassword.setCaption("");
  setFocus(txtPassword);
}

void FmPassword::cmdOK_Click() {
  // Exactly the stored text: case counts, nothing is trimmed.
  if (txtPassword.caption() == preferences_.current().copyPassword) {
    result_ = true;
    unload();
    return;
  }
  commons_.ShowAssistance(commons_.strings().text(text::WrongPassword));
  if (!loaded()) return;
  txtPassword.selectAll();
  setFocus(txtPassword);
}

}  // namespace krv
