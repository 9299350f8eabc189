#include "manager/options/FmOptions.h"

#include <cstdlib>

#include "base/ClassicRuntime.h"
#include "manager/common/RegistryW.h"
#include "manager/engine/EngineBuffers.h"
#include "manager/options/ExclusionList.h"
#include "resources/manager/Texts.h"

namespace krv {
namespace {

constexpr text::Id kFrameCaptions[6] = {text::TrayIconFrame, text::BootPreferencesFrame,
                                        text::ExcludedFrame, text::LoggingFrame,
                                        text::PasswordFrame, text::CopyOptionsFrame};
constexpr text::Id kTabCaptions[3] = {text::GeneralTab, text::CopyUpdateTab, text::PasswordTab};
constexpr text::Id kTrayCaptions[3] = {text::TrayNone, text::TrayAlways, text::TrayDuringActivity};

// Which tab each frame sits on, and its place on the tab's page (twips).
constexpr int kFramePage[6] = {0, 0, 1, 0, 2, 1};
// Places on a tab strip count from its corner, above the row of tabs.
constexpr ui::Bounds kFrameBounds[6] = {{120, 480, 6240, 660},  {120, 1260, 6240, 1980},
                                        {120, 480, 6240, 2820}, {120, 3330, 6240, 720},
                                        {120, 480, 6240, 1560}, {120, 3420, 6240, 660}};

// Hotkeys F1 to F10 without F8; delays in seconds; failed boots before the other area.
constexpr int kHotkeys[] = {1, 2, 3, 4, 5, 6, 7, 9, 10};
constexpr int kDelays[] = {1, 2, 3, 4, 5, 10, 15, 20};
constexpr int kRetries[] = {0, 2, 3};
constexpr int kDefaultDelayIndex = 4;  // "5 sec"
constexpr int kDefaultKeepDays = 30;
constexpr int kMaxKeepDays = 999;

template <std::size_t N>
int indexOf(const int (&values)[N], int value, int fallback) {
  for (std::size_t i = 0; i < N; ++i)
    if (values[i] == value) return static_cast<int>(i);
  return fallback;
}
template <std::size_t N>
void saveChoice(const ui::Control& list, const int (&values)[N], std::int32_t& field) {
  const int index = list.value();
  if (index >= 0 && index < static_cast<int>(N)) field = values[index];
}

}  // namespace

std::array<ui::Control*, 6> FmOptions::makeFrames() {
  std::array<ui::Control*, 6> frames{};
  for (int i = 0; i < 6; ++i) {
    frames[i] =
        &addControl("frmFrame(" + std::to_string(i) + ")", ui::ControlKind::Frame, &ssOptions, kFramePage[i]);
    frames[i]->setBounds(kFrameBounds[i]);
  }
  return frames;
}

std::array<ui::Control*, 6> FmOptions::makePictures() {
  std::array<ui::Control*, 6> pictures{};
  for (int i = 0; i < 6; ++i) {
    pictures[i] = &addControl("picFrame(" + std::to_string(i) + ")", ui::ControlKind::Picture, frmFrame[i]);
    pictures[i]->move(60, 225, kFrameBounds[i].width - 120, kFrameBounds[i].height - 285);
  }
  return pictures;
}

template <std::size_t N>
std::array<ui::Control*, N> FmOptions::makeArray(const char* name, ui::ControlKind kind, int frame) {
  std::array<ui::Control*, N> controls{};
  for (std::size_t i = 0; i < N; ++i)
    controls[i] = &addControl(std::string(name) + "(" + std::to_string(i) + ")", kind, picFrame[frame]);
  return controls;
}

FmOptions::FmOptions(const OptionsServices& services)
    : ui::Form(services.toolkit, "fmOptions"),
      ssOptions(addControl("ssOptions", ui::ControlKind::TabStrip)),
      frmFrame(makeFrames()),
      picFrame(makePictures()),
      optTrayIcon(makeArray<3>("optTrayIcon", ui::ControlKind::OptionButton, 0)),
      chkHotkeyVisible(addControl("chkHotkeyVisible", ui::ControlKind::CheckBox, picFrame[1])),
      lblBootHotkey(addControl("lblBootHotkey", ui::ControlKind::Label, picFrame[1])),
      cmbHotkey(addControl("cmbHotkey", ui::ControlKind::ComboBox, picFrame[1])),
      lblBootDelay(addControl("lblBootDelay", ui::ControlKind::Label, picFrame[1])),
      cmbDelay(addControl("cmbDelay", ui::ControlKind::ComboBox, picFrame[1])),
      lblFailedBootRetry(addControl("lblFailedBootRetry", ui::ControlKind::Label, picFrame[1])),
      cmbBootRetry(addControl("cmbBootRetry", ui::ControlKind::ComboBox, picFrame[1])),
      chkPurgeLog(addControl("chkPurgeLog", ui::ControlKind::CheckBox, picFrame[3])),
      txtPurgeLogDays(addControl("txtPurgeLogDays", ui::ControlKind::TextBox, picFrame[3])),
      lblPurgeLog(addControl("lblPurgeLog", ui::ControlKind::Label, picFrame[3])),
      lblCopyUpdate(addControl("lblCopyUpdate", ui::ControlKind::Label, picFrame[2])),
      txtExcluded(addMultiLineTextBox("txtExcluded", picFrame[2])),
      cmdEdit(addControl("cmdEdit", ui::ControlKind::Button, picFrame[2])),
      cmdBrowse(addControl("cmdBrowse", ui::ControlKind::Button, picFrame[2])),
      chkBeepAfterTask(addControl("chkBeepAfterTask", ui::ControlKind::CheckBox, picFrame[5])),
      chkPassword(addControl("chkPassword", ui::ControlKind::CheckBox, picFrame[4])),
      lblPassword(makeArray<2>("lblPassword", ui::ControlKind::Label, 4)),
      txtPassword(makeArray<2>("txtPassword", ui::ControlKind::TextBox, 4)),
      cmdOK(addControl("cmdOK", ui::ControlKind::Button)),
      cmdCancel(addControl("cmdCancel", ui::ControlKind::Button)),
      cmdApply(addControl("cmdApply", ui::ControlKind::Button)),
      s_(services) {
  style = ui::FormStyle::Dialog;
  setClientSize(6840, 5295);
  ssOptions.move(105, 105, 6615, 4575);
  for (int i = 0; i < 3; ++i) optTrayIcon[i]->move(120 + 1800 * i, 60, i == 2 ? 2400 : 1700, 255);
  chkHotkeyVisible.move(120, 60, 5800, 255);
  const int rows[3] = {480, 900, 1320};
  ui::Control* const labels[3] = {&lblBootHotkey, &lblBootDelay, &lblFailedBootRetry};
  ui::Control* const lists[3] = {&cmbHotkey, &cmbDelay, &cmbBootRetry};
  for (int i = 0; i < 3; ++i) {
    labels[i]->move(120, rows[i] + 30, 3600, 255);
    lists[i]->move(3840, rows[i], 1200, 315);
  }
  chkPurgeLog.move(120, 90, 2880, 255);
  txtPurgeLogDays.move(3060, 60, 600, 315);
  txtPurgeLogDays.setMaxLength(3);
  lblPurgeLog.move(3780, 90, 1000, 255);
  lblCopyUpdate.move(120, 60, 5760, 450);
  txtExcluded.move(120, 600, 4500, 1860);
  cmdEdit.move(4800, 600, 1200, 375);
  cmdBrowse.move(4800, 1080, 1200, 375);
  chkBeepAfterTask.move(120, 90, 5800, 255);
  chkPassword.move(120, 60, 2400, 255);
  for (int i = 0; i < 2; ++i) {
    lblPassword[i]->move(120, 480 + 420 * i, 2000, 255);
    txtPassword[i]->move(2280, 450 + 420 * i, 2400, 315);
    txtPassword[i]->setPassword(true);
    txtPassword[i]->setMaxLength(25);
  }
  cmdOK.move(2190, 4800, 1455, 375);
  cmdCancel.move(3735, 4800, 1455, 375);
  cmdApply.move(5280, 4800, 1455, 375);
  setCancelButton(&cmdCancel);  // Esc; OK is not the default button

  // Tab order: the tab strip, then each tab's controls as they read, then the buttons.
  int order = 0;
  ssOptions.tabIndex = order++;
  for (ui::Control* c :
       {optTrayIcon[0], optTrayIcon[1], optTrayIcon[2], &chkHotkeyVisible, &cmbHotkey, &cmbDelay,
        &cmbBootRetry, &chkPurgeLog, &txtPurgeLogDays, &txtExcluded, &cmdEdit, &cmdBrowse, &chkBeepAfterTask,
        &chkPassword, txtPassword[0], txtPassword[1], &cmdOK, &cmdCancel, &cmdApply})
    c->tabIndex = order++;

  for (ui::Control* c :
       {optTrayIcon[0], optTrayIcon[1], optTrayIcon[2], &chkHotkeyVisible, &chkBeepAfterTask, &chkPassword})
    c->onClick = [this] { UpdateApply(); };
  for (ui::Control* c : {&cmbHotkey, &cmbDelay, &cmbBootRetry, &txtPurgeLogDays})
    c->onChange = [this] { UpdateApply(); };
  chkPurgeLog.onClick = [this] {
    txtPurgeLogDays.setEnabled(chkPurgeLog.value() == 1);
    UpdateApply();
  };
  txtPurgeLogDays.onGotFocus = [this] { txtPurgeLogDays.selectAll(); };
  txtPurgeLogDays.onLostFocus = [this] { purgeDaysLeft(); };
  for (ui::Control* box : txtPassword) {
    box->onChange = [this] { UpdateApply(); };
    box->onGotFocus = [this, box] {
      box->selectAll();
      passwordTouched_ = true;
    };
  }
  ssOptions.onChange = [this] { tabChanged(); };
  cmdEdit.onClick = [this] { EditList(); };
  cmdBrowse.onClick = [this] { BrowseList(); };
  cmdOK.onClick = [this] {
    if (SaveOptions()) unload();
  };
  cmdApply.onClick = [this] { SaveOptions(); };
  cmdCancel.onClick = [this] { unload(); };
  onLoad = [this] { Form_Load(); };
}

void FmOptions::Display(ui::Form* owner, const std::function<bool()>& passwordStep) {
  if (s_.preferences.current().passwordInForce() && passwordStep && !passwordStep()) return;
  owner_ = owner;
  showModal(owner);
}

void FmOptions::Form_Load() {
  setCaptionsAndLists();
  showPreferences();
  // The General tab's controls, and nothing changed yet.
  ssOptions.setValue(kGeneralTab);
  showTab(kGeneralTab);
  RememberBaseline();
  passwordTouched_ = false;
}

void FmOptions::setCaptionsAndLists() {
  setCaption(text(text::OptionsTitle));
  ssOptions.setListTexts({text(kTabCaptions[0]), text(kTabCaptions[1]), text(kTabCaptions[2])});
  for (int i = 0; i < 6; ++i) frmFrame[i]->setCaption(text(kFrameCaptions[i]));
  for (int i = 0; i < 3; ++i) optTrayIcon[i]->setCaption(text(kTrayCaptions[i]));
  const std::pair<ui::Control*, text::Id> captions[] = {{&chkHotkeyVisible, text::ShowHotkeyAndPauseBar},
                                                        {&lblBootHotkey, text::BootHotkey},
                                                        {&lblBootDelay, text::BootSplashDelay},
                                                        {&lblFailedBootRetry, text::FailedBootsLimit},
                                                        {&lblCopyUpdate, text::ExcludedExplanation},
                                                        {&chkBeepAfterTask, text::SoundAfterCopy},
                                                        {&chkPurgeLog, text::PurgeLogsOlderThan},
                                                        {&lblPurgeLog, text::PurgeDays},
                                                        {&chkPassword, text::PasswordEnabled},
                                                        {lblPassword[0], text::NewPassword},
                                                        {lblPassword[1], text::ConfirmPassword},
                                                        {&cmdOK, text::OptionsOK},
                                                        {&cmdCancel, text::OptionsCancel},
                                                        {&cmdApply, text::OptionsApply},
                                                        {&cmdBrowse, text::Browse},
                                                        {&cmdEdit, text::Edit}};
  for (const auto& [control, id] : captions) control->setCaption(text(id));
  std::vector<std::string> hotkeys, delays;
  for (int key : kHotkeys) hotkeys.push_back("F" + std::to_string(key));
  for (int delay : kDelays) delays.push_back(std::to_string(delay) + " " + text(text::Seconds));
  cmbHotkey.setListTexts(hotkeys);
  cmbDelay.setListTexts(delays);
  cmbBootRetry.setListTexts({text(text::RetryNone), "2", "3"});
}

void FmOptions::showPreferences() {
  s_.preferences.LoadPreferences();
  PreferenceRecord& p = s_.preferences.current();
  const int tray = p.trayIconAppearance >= 0 && p.trayIconAppearance <= 2 ? p.trayIconAppearance : 0;
  for (int i = 0; i < 3; ++i) optTrayIcon[i]->setValue(i == tray ? 1 : 0);
  chkHotkeyVisible.setValue(p.showPrompt != 0 ? 1 : 0);
  cmbHotkey.setValue(indexOf(kHotkeys, p.bootHotkey, 0));
  cmbDelay.setValue(indexOf(kDelays, p.bootSplashDelay, kDefaultDelayIndex));
  cmbBootRetry.setValue(indexOf(kRetries, p.failedBoots, 0));
  const int keep = p.logKeepDays;
  const bool purging = !(keep >= -kMaxKeepDays && keep <= -1);
  const int days = keep >= 1 && keep <= kMaxKeepDays ? keep : purging ? kDefaultKeepDays : -keep;
  chkPurgeLog.setValue(purging ? 1 : 0);
  txtPurgeLogDays.setCaption(std::to_string(days));
  txtExcluded.setCaption(ListToLines(p.exclusionList));
  chkBeepAfterTask.setValue(p.beepAfterTask != 0 ? 1 : 0);
  chkPassword.setValue(p.copyPasswordEnabled == 1 ? 1 : 0);
  for (ui::Control* box : txtPassword) box->setCaption(p.copyPassword);
  cmdOK.setEnabled(true);
}

std::vector<ui::Control*> FmOptions::inputs() const {
  return {optTrayIcon[0],    optTrayIcon[1], optTrayIcon[2], &chkHotkeyVisible, &cmbHotkey,
          &cmbDelay,         &cmbBootRetry,  &chkPurgeLog,   &txtPurgeLogDays,  &txtExcluded,
          &chkBeepAfterTask, &chkPassword,   txtPassword[0], txtPassword[1]};
}

void FmOptions::showTab(int tab) {
  for (ui::Control* c : inputs()) c->setEnabled(false);
  cmdEdit.setEnabled(false);
  cmdBrowse.setEnabled(false);
  std::vector<ui::Control*> on;
  if (tab == kGeneralTab) {
    on = {&chkHotkeyVisible, &cmbHotkey,     &cmbDelay,      &cmbBootRetry,
          optTrayIcon[0],    optTrayIcon[1], optTrayIcon[2], &chkPurgeLog};
    txtPurgeLogDays.setEnabled(chkPurgeLog.value() == 1);
  } else if (tab == kCopyTab) {
    on = {&chkBeepAfterTask, &txtExcluded, &cmdEdit, &cmdBrowse};
  } else {
    on = {&chkPassword, txtPassword[0], txtPassword[1]};
  }
  for (ui::Control* c : on) c->setEnabled(true);
}

void FmOptions::tabChanged() {
  // Leaving the Password tab needs valid, equal passwords (or none touched).
  if (ssOptions.previousValue() == kPasswordTab && ssOptions.value() != kPasswordTab && !CheckPassword()) {
    ssOptions.setValue(kPasswordTab);
    showTab(kPasswordTab);
    setFocus(*txtPassword[0]);
    return;
  }
  showTab(ssOptions.value());
}

FmOptions::State FmOptions::stateOf(const ui::Control& control) {
  if (control.kind() == ui::ControlKind::TextBox) return control.caption();
  return control.value();
}

void FmOptions::RememberBaseline() {
  baseline_.clear();
  for (ui::Control* c : inputs()) baseline_.emplace_back(c, stateOf(*c));
  cmdApply.setEnabled(false);
}

void FmOptions::UpdateApply() {
  bool differs = false;
  for (const auto& [control, state] : baseline_) differs = differs || stateOf(*control) != state;
  cmdApply.setEnabled(differs && cmdOK.enabled());
}

void FmOptions::purgeDaysLeft() {
  // Not a number reads as 0; the box holds at most three characters.
  const long days = static_cast<long>(classic::leadingNumber(txtPurgeLogDays.caption()));
  if (days >= 1 && days <= kMaxKeepDays) {
    txtPurgeLogDays.setCaption(std::to_string(days));
    UpdateApply();  // "007" written back as "7" may be what was loaded
    return;
  }
  // The days shown before; a stored value out of range showed as the default.
  const int stored = std::abs(s_.preferences.current().logKeepDays);
  txtPurgeLogDays.setCaption(
      std::to_string(stored >= 1 && stored <= kMaxKeepDays ? stored : kDefaultKeepDays));
  UpdateApply();
  s_.commons.ShowAssistance(text(text::LogDays));
  setFocus(txtPurgeLogDays);
}

bool FmOptions::CheckPassword() {
  if (chkPassword.value() != 1 && !passwordTouched_) return true;
  for (ui::Control* box : txtPassword) {
    if (!s_.commons.ValidatePasswordText(box->caption(), true)) {
      for (ui::Control* reset : txtPassword) reset->setCaption(s_.preferences.current().copyPassword);
      UpdateApply();
      setFocus(*txtPassword[0]);
      return false;
    }
  }
  if (txtPassword[0]->caption() != txtPassword[1]->caption()) {
    s_.commons.ShowAssistance(text(text::PasswordsDiffer));
    setFocus(*txtPassword[0]);
    return false;
  }
  return true;
}

bool FmOptions::SaveOptions() {
  if (!CheckPassword()) return false;
  // The days are checked when the box is left; a box never left, or a check that did not run, still
  // never sends the engine a count it cannot keep.
  const double days = classic::leadingNumber(txtPurgeLogDays.caption());
  if (!(days >= 1 && days < kMaxKeepDays + 1)) {
    s_.commons.ShowAssistance(text(text::LogDays));
    setFocus(txtPurgeLogDays);
    return false;
  }
  const auto keep = static_cast<std::int32_t>(days);
  // The list is read back at the next start from a buffer of limited size: one that would not come
  // back whole is refused, and nothing is saved, rather than lost then without a word.
  const std::string excluded = LinesToList(txtExcluded.caption());
  if (!RegistryAccess::FitsRegTextW(excluded)) {
    showError(text(text::ExcludedListTooLong));
    return false;
  }
  PreferenceRecord& p = s_.preferences.current();
  p.copyPasswordEnabled = chkPassword.value() == 1 ? 1 : 0;
  p.copyPassword = txtPassword[0]->caption();
  for (int i = 0; i < 3; ++i)
    if (optTrayIcon[i]->value()) p.trayIconAppearance = i;
  p.showPrompt = chkHotkeyVisible.value() == 1 ? 1 : 0;
  saveChoice(cmbHotkey, kHotkeys, p.bootHotkey);
  saveChoice(cmbDelay, kDelays, p.bootSplashDelay);
  saveChoice(cmbBootRetry, kRetries, p.failedBoots);
  p.beepAfterTask = chkBeepAfterTask.value() == 1 ? 1 : 0;
  p.exclusionList = excluded;
  p.logKeepDays = chkPurgeLog.value() == 1 ? keep : -keep;
  s_.preferences.SavePreferences(owner_ ? owner_->nativeHandle() : platform::WindowHandle{});
  RememberBaseline();
  return true;
}

void FmOptions::showError(const std::string& message) {
  s_.toolkit.messageBox({message, text(text::KorvaneError), ui::Buttons::OK, ui::Icon::Exclamation, 1});
}

bool FmOptions::listAccepted(const std::string& list) {
  Utf16Buffer wide = Utf16Buffer::fitting(list);
  AnsiBuffer explanation(kExplanationBytes);
  if (s_.engine.KRV_CheckExcludedFiles(wide.data(), explanation.data()) == 0) return true;
  showError(explanation.text(s_.codec));
  return false;
}

void FmOptions::EditList() {
  // The editor's buffer holds the box's text whole or not at all: a cut list would lose entries.
  std::optional<Utf16Buffer> buffer = Utf16Buffer::holding(txtExcluded.caption() + "\r\n", kEditListBytes);
  if (!buffer) {
    showError(text(text::ExcludedListTooLong));
    return;
  }
  Utf16Buffer title = Utf16Buffer::fitting(text(text::ExcludeEditTitle));
  const std::int32_t result = s_.engine.KRV_ShowEditDialog(title.data(), nativeHandle(), buffer->data(),
                                                           static_cast<std::int32_t>(kEditListBytes));
  if (result <= 0) return;
  std::string edited = buffer->text(result > 2 ? static_cast<std::size_t>(result - 2) : 0);
  cmdOK.setEnabled(listAccepted(LinesToList(edited)));
  txtExcluded.setCaption(ListToLines(edited));
  UpdateApply();
}

void FmOptions::BrowseList() {
  const std::optional<std::string> chosen =
      browseForPath(s_.engine, text(text::ExcludeBrowseTitle), nativeHandle());
  if (!chosen) return;
  std::string candidate = txtExcluded.caption().empty() ? *chosen : txtExcluded.caption() + ";" + *chosen;
  if (!listAccepted(LinesToList(candidate))) return;
  txtExcluded.setCaption(ListToLines(candidate));
  UpdateApply();
}

}  // namespace krv
