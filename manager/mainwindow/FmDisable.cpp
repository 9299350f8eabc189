#include "manager/mainwindow/FmDisable.h"

#include "resources/manager/Pictures.h"
#include "resources/manager/Texts.h"

namespace krv {

FmDisable::FmDisable(ui::FormToolkit& toolkit, const platform::StringTable& strings)
    : ui::Form(toolkit, "fmDisable"),
      shpBanner(addControl("shpBanner", ui::ControlKind::Shape)),
      lblHeader(addControl("lblHeader", ui::ControlKind::Label)),
      imgTask(addControl("imgTask", ui::ControlKind::Image)),
      lblTaskTitle(addControl("lblTaskTitle", ui::ControlKind::Label)),
      lblTaskInfo(addControl("lblTaskInfo", ui::ControlKind::Label)),
      cmdOK(addControl("cmdOK", ui::ControlKind::Button)),
      cmdCancel(addControl("cmdCancel", ui::ControlKind::Button)),
      strings_(strings) {
  style = ui::FormStyle::Dialog;
  setClientSize(6435, 2955);
  // A white band across the top carries the header.
  shpBanner.move(0, 0, 6435, 780);
  shpBanner.setBackColor(ui::rgb(255, 255, 255));
  lblHeader.move(360, 270, 5800, 255);
  lblHeader.setFont({true, false, 0});
  imgTask.move(360, 1000, 720, 720);
  imgTask.setPicture({nullptr, -1, pictures::kPreBootTask});
  lblTaskTitle.move(1320, 960, 4900, 255);
  lblTaskTitle.setFont({true, false, 0});
  lblTaskInfo.move(1320, 1260, 4900, 1080);
  cmdOK.move(1680, 2520, 1455, 375);
  cmdOK.tabIndex = 1;
  cmdCancel.move(3240, 2520, 1455, 375);
  cmdCancel.tabIndex = 0;
  // Enter at once disables nothing: Cancel has the focus and is the default button.
  setDefaultButton(&cmdCancel);
  setCancelButton(&cmdCancel);
  cmdOK.onClick = [this] {
    result_ = true;
    unload();
  };
  cmdCancel.onClick = [this] {
    result_ = false;
    unload();
  };
  onLoad = [this] { Form_Load(); };
}

bool FmDisable::DisableCheck(ui::Form* owner) {
  result_ = false;
  showModal(owner);
  return result_;
}

void FmDisable::Form_Load() {
  setCaption(strings_.text(text::DisableTitle));
  lblHeader.setCaption(strings_.text(text::DisableHeader));
  lblTaskTitle.setCaption(strings_.text(text::DisableTaskTitle));
  lblTaskInfo.setCaption(strings_.text(text::DisableTaskInfo));
  cmdOK.setCaption(strings_.text(text::DisableButton));
  cmdCancel.setCaption(strings_.text(text::DisableCancel));
  setFocus(cmdCancel);
}

}  // namespace krv
