#include "logviewer/FrmFilterText.h"

#include "resources/logviewer/Texts.h"

namespace quillon {

FrmFilterText::FrmFilterText(ui::FormToolkit& toolkit, const platform::StringTable& strings)
    : ui::Form(toolkit, "frmFilterText"),
      lblPrompt(addControl("lblPrompt", ui::ControlKind::Label)),
      txtText(addControl("txtText", ui::ControlKind::TextBox)),
      cmdOK(addControl("cmdOK", ui::ControlKind::Button)),
      cmdCancel(addControl("cmdCancel", ui::ControlKind::Button)),
      strings_(strings) {
  style = ui::FormStyle::Dialog;
  setClientSize(5400, 1500);
  lblPrompt.move(180, 150, 5040, 420);
  txtText.move(180, 600, 5040, 300);
  txtText.setMaxLength(255);
  txtText.tabIndex = 0;
  cmdOK.move(2700, 1020, 1155, 360);
  cmdOK.tabIndex = 1;
  cmdCancel.move(4065, 1020, 1155, 360);
  cmdCancel.tabIndex = 2;
  setDefaultButton(&cmdOK);
  setCancelButton(&cmdCancel);
  cmdOK.onClick = [this] {
    result_ = txtText.caption();
    unload();
  };
  cmdCancel.onClick = [this] { unload(); };
  onLoad = [this] {
    setCaption(strings_.text(text::FilterTextTitle));
    lblPrompt.setCaption(strings_.text(text::FilterTextPrompt));
    cmdOK.setCaption(strings_.text(text::OKButton));
    cmdCancel.setCaption(strings_.text(text::CancelButton));
    txtText.setCaption(start_);
    txtText.selectAll();
    setFocus(txtText);
  };
}

std::optional<std::string> FrmFilterText::Ask(ui::Form& owner, const std::string& current) {
  start_ = current;
  result_.reset();
  showModal(&owner);
  return result_;
}

}  // namespace quillon
