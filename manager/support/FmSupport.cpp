#include "manager/support/FmSupport.h"

#include <optional>

#include "base/ClassicRuntime.h"
#include "resources/manager/Texts.h"

namespace krv {
namespace {

constexpr int kMaxDays = 999;

// The days as typed: a whole number, or -1 when the text is not one.
int daysOf(const std::string& typed) {
  const std::string text = classic::trimSpaces(typed);
  if (text.empty() || text.size() > 6) return text.empty() ? -1 : kMaxDays + 1;
  int days = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return -1;
    days = days * 10 + (c - '0');
  }
  return days;
}

}  // namespace

FmSupport::FmSupport(const SupportServices& services)
    : ui::Form(services.toolkit, "fmSupport"),
      lblMain(addControl("lblMain", ui::ControlKind::Label)),
      lblText(addControl("lblText", ui::ControlKind::Label)),
      Check1(addControl("Check1", ui::ControlKind::CheckBox)),
      Check2(addControl("Check2", ui::ControlKind::CheckBox)),
      Check3(addControl("Check3", ui::ControlKind::CheckBox)),
      Check4(addControl("Check4", ui::ControlKind::CheckBox)),
      Text1(addControl("Text1", ui::ControlKind::TextBox)),
      UpDown1(addControl("UpDown1", ui::ControlKind::UpDown)),
      lblDays(addControl("lblDays", ui::ControlKind::Label)),
      OKButton(addControl("OKButton", ui::ControlKind::Button)),
      CancelButton(addControl("CancelButton", ui::ControlKind::Button)),
      s_(services) {
  style = ui::FormStyle::Dialog;
  setClientSize(6375, 3180);
  lblMain.move(240, 120, 5900, 255);
  lblMain.setFont({true, false, 0});
  lblText.move(240, 420, 5900, 900);
  Check1.move(360, 1380, 5700, 255);
  Check2.move(360, 1665, 5700, 255);
  Check3.move(360, 1950, 5700, 255);
  Check4.move(360, 2265, 2600, 255);
  Text1.move(3000, 2235, 540, 315);
  UpDown1.move(3540, 2235, 255, 315);
  lblDays.move(3900, 2265, 900, 255);
  OKButton.move(3420, 2700, 1335, 375);
  CancelButton.move(4860, 2700, 1335, 375);
  UpDown1.setRange(1, kMaxDays);
  UpDown1.setBuddy(&Text1);
  int order = 0;
  for (ui::Control* c : {&Check1, &Check2, &Check3, &Check4, &Text1, &OKButton, &CancelButton})
    c->tabIndex = order++;
  setDefaultButton(&OKButton);
  setCancelButton(&CancelButton);
  // Any change of the days, typed or stepped, asks for the detail logs.
  Text1.onChange = [this] { Check4.setValue(1); };
  OKButton.onClick = [this] { OKButton_Click(); };
  CancelButton.onClick = [this] { unload(); };
  onLoad = [this] { Form_Load(); };
}

void FmSupport::Form_Load() {
  setCaption(text(text::SupportTitle));
  const std::pair<ui::Control*, text::Id> captions[] = {
      {&lblMain, text::SupportHeader},     {&lblText, text::SupportExplanation},
      {&Check1, text::SupportGeneral},     {&Check2, text::SupportSystem},
      {&Check3, text::SupportLogs},        {&Check4, text::SupportDetailLogs},
      {&lblDays, text::SupportDays},       {&OKButton, text::SupportOK},
      {&CancelButton, text::SupportCancel}};
  for (const auto& [control, id] : captions) control->setCaption(text(id));
  for (ui::Control* box : {&Check1, &Check2, &Check3}) box->setValue(1);
  Check4.setValue(0);
  Text1.setCaption("1");
  UpDown1.setValue(1);
  // The days follow Check4's caption at the same distance, whatever its length.
  const int delta = textWidth(Check4.caption()) - Check4.width() + 300;
  Check4.setBounds({Check4.left(), Check4.top(), Check4.width() + delta, Check4.height()});
  for (ui::Control* c : {&Text1, &UpDown1, &lblDays})
    c->setBounds({c->left() + delta, c->top(), c->width(), c->height()});
  setFocus(OKButton);
}

std::string FmSupport::Switches(int days) const {
  std::string switches;
  if (Check1.value()) switches += " REG $KRV";
  if (Check2.value()) switches += " SYS";
  if (Check3.value()) switches += " SETUP MAIN";
  if (Check4.value()) switches += " DETAIL:" + std::to_string(days);
  return switches;
}

void FmSupport::error(const std::string& message, ui::Icon icon) {
  s_.toolkit.messageBox({message, text(text::KorvaneError), ui::Buttons::OK, icon, 1});
}

void FmSupport::OKButton_Click() {
  // The days are checked before the boxes.
  const int days = daysOf(Text1.caption());
  if (days < 1 || days > kMaxDays) {
    error(text(text::LogDays), ui::Icon::None);
    return;
  }
  Text1.setCaption(std::to_string(days));
  const std::string switches = Switches(days);
  if (switches.empty()) {
    error(text(text::SupportNothingChosen), ui::Icon::None);
    return;
  }
  if (s_.processes.invoke(Commons::ProgramPath(s_.programFolder, kToolProgram) + switches, true, "") < 0) {
    error(text(text::ErrorRunning) + kToolProgram, ui::Icon::Critical);
    return;
  }
  // The tool writes its report on the desktop. Without that folder, Notepad started anywhere else
  // would only offer to make an empty file of the report's name.
  const std::optional<std::string> desktop = s_.files.userFolder(kDesktopFolder);
  if (!desktop || desktop->empty()) {
    error(text(text::ReportNotFound), ui::Icon::Critical);
    return;
  }
  if (s_.processes.invoke("Notepad.exe Diagsnap.txt", false, *desktop) < 0) {
    error(text(text::ErrorRunning) + "Notepad.exe", ui::Icon::Critical);
    return;
  }
  unload();
}

}  // namespace krv
