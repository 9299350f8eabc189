#include "manager/mainwindow/FmMain.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "manager/anchoring/AnchoredList.h"
#include "manager/anchoring/FmAnchor.h"
#include "manager/engine/EngineBuffers.h"
#include "manager/support/FmAbout.h"
#include "manager/support/FmSupport.h"
#include "manager/support/WebPages.h"
#include "resources/logviewer/Texts.h"
#include "resources/manager/Pictures.h"
#include "resources/manager/Texts.h"

namespace krv {
namespace {

constexpr const char* kLicenseCommand =
    "C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe C:\\$KRV\\$APP\\license.rtf";

// Captions set when the window loads, by control and text id.
struct Caption {
  const char* name;
  text::Id id;
};
constexpr Caption kControlCaptions[] = {
    {"cmdCopy", text::CopyButton},
    {"cmdExit", text::ExitButton},
    {"cmdCalculate", text::CalculateMenu},
    {"lblPreBoot(0)", text::PreBootLabel},
    {"lblService(0)", text::ServiceLabel},
    {"lblPassword(0)", text::PasswordLabel},
    {"Frame1(1)", text::StatusFrame},
    {"lblBooted(0)", text::BootedLabel},
    {"lblUpdate(0)", text::LastUpdateLabel},
    {"Frame1(2)", text::OriginalArea},
    {"lblOriginalBoot(0)", text::OriginalBootLabel},
    {"lblOriginalSize(0)", text::OriginalSizeLabel},
    {"Frame1(3)", text::RescueArea},
    {"lblRescueBoot(0)", text::RescueBootLabel},
    {"lblRescueSize(0)", text::RescueSizeLabel},
};
constexpr Caption kMenuCaptions[] = {
    {"mActions", text::ActionsMenu},
    {"mCopy", text::CopyMenu},
    {"mCalc", text::CalculateMenu},
    {"mQuillon", text::ViewLogMenu},
    {"mClearLogs", text::ClearLogMenu},
    {"mEnable", text::EnablePreBootMenu},
    {"mDisable", text::DisablePreBootMenu},
    {"mRemove", text::RemoveRescueMenu},
    {"mAnchoring", text::AnchoringMenu},
    {"mOptions", text::OptionsMenu},
    {"mExit", text::ExitMenu},
    {"mHelp", text::HelpMenu},
    {"mAbout", text::AboutMenu},
};
// The items that need the engine.
const std::vector<const char*> kEngineItems = {"mCopy",      "mCalc",    "mRemove",    "mBoot",
                                               "mClearLogs", "mQuillon", "mAnchoring", "mOptions"};

// The value colours of the status rows.
constexpr ui::Color kColorEnabled = ui::rgb(0x2D, 0x9F, 0xD0);
constexpr ui::Color kColorPreBootDisabled = ui::rgb(0xA0, 0xA0, 0x00);
constexpr ui::Color kColorServiceDisabled = ui::rgb(0xC0, 0x00, 0x00);
constexpr ui::Color kColorOriginalName = ui::rgb(0x00, 0x64, 0x00);
constexpr ui::Color kColorRescueName = ui::rgb(0x80, 0x00, 0x00);
constexpr ui::Color kColorOriginalHighlight = ui::rgb(0x7C, 0xFC, 0x00);
constexpr ui::Color kColorRescueHighlight = ui::rgb(0xFF, 0xD7, 0x00);

// Layout inside the panels, in twips.
constexpr int kLabelHeight = 225;
constexpr int kStateRows[] = {105, 405, 705};
constexpr int kPanelRows[] = {90, 360};
// The type of a value too wide for its label.
constexpr int kSmallPoints = 7;

}  // namespace

FmMain::FmMain(const MainWindowServices& services)
    : ui::Form(services.toolkit, "fmMain"),
      Frame1_0(addControl("Frame1(0)", ui::ControlKind::Frame)),
      Picture1_0(addControl("Picture1(0)", ui::ControlKind::Picture, &Frame1_0)),
      imgService(addControl("imgService", ui::ControlKind::Image, &Picture1_0)),
      lblService_0(addControl("lblService(0)", ui::ControlKind::Label, &Picture1_0)),
      lblService_1(addControl("lblService(1)", ui::ControlKind::Label, &Picture1_0)),
      imgPreBoot(addControl("imgPreBoot", ui::ControlKind::Image, &Picture1_0)),
      lblPreBoot_0(addControl("lblPreBoot(0)", ui::ControlKind::Label, &Picture1_0)),
      lblPreBoot_1(addControl("lblPreBoot(1)", ui::ControlKind::Label, &Picture1_0)),
      imgPassword(addControl("imgPassword", ui::ControlKind::Image, &Picture1_0)),
      lblPassword_0(addControl("lblPassword(0)", ui::ControlKind::Label, &Picture1_0)),
      lblPassword_1(addControl("lblPassword(1)", ui::ControlKind::Label, &Picture1_0)),
      imgIcon_0(addControl("imgIcon(0)", ui::ControlKind::Image, &Picture1_0)),
      Picture1_1(addControl("Picture1(1)", ui::ControlKind::Picture)),
      Frame1_1(addControl("Frame1(1)", ui::ControlKind::Frame)),
      Picture1_2(addControl("Picture1(2)", ui::ControlKind::Picture, &Frame1_1)),
      imgIcon_1(addControl("imgIcon(1)", ui::ControlKind::Image, &Picture1_2)),
      shpBooted(addControl("shpBooted", ui::ControlKind::Shape, &Picture1_2)),
      lblBooted_0(addControl("lblBooted(0)", ui::ControlKind::Label, &Picture1_2)),
      lblBooted_1(addControl("lblBooted(1)", ui::ControlKind::Label, &Picture1_2)),
      lblUpdate_0(addControl("lblUpdate(0)", ui::ControlKind::Label, &Picture1_2)),
      lblUpdate_1(addControl("lblUpdate(1)", ui::ControlKind::Label, &Picture1_2)),
      Frame1_2(addControl("Frame1(2)", ui::ControlKind::Frame)),
      Picture1_4(addControl("Picture1(4)", ui::ControlKind::Picture, &Frame1_2)),
      lblOriginalBoot_0(addControl("lblOriginalBoot(0)", ui::ControlKind::Label, &Picture1_4)),
      lblOriginalBoot_1(addControl("lblOriginalBoot(1)", ui::ControlKind::Label, &Picture1_4)),
      lblOriginalSize_0(addControl("lblOriginalSize(0)", ui::ControlKind::Label, &Picture1_4)),
      lblOriginalSize_1(addControl("lblOriginalSize(1)", ui::ControlKind::Label, &Picture1_4)),
      Frame1_3(addControl("Frame1(3)", ui::ControlKind::Frame)),
      Picture1_5(addControl("Picture1(5)", ui::ControlKind::Picture, &Frame1_3)),
      lblRescueBoot_0(addControl("lblRescueBoot(0)", ui::ControlKind::Label, &Picture1_5)),
      lblRescueBoot_1(addControl("lblRescueBoot(1)", ui::ControlKind::Label, &Picture1_5)),
      lblRescueSize_0(addControl("lblRescueSize(0)", ui::ControlKind::Label, &Picture1_5)),
      lblRescueSize_1(addControl("lblRescueSize(1)", ui::ControlKind::Label, &Picture1_5)),
      cmdCalculate(addControl("cmdCalculate", ui::ControlKind::Button)),
      cmdCopy(addControl("cmdCopy", ui::ControlKind::Button)),
      cmdExit(addControl("cmdExit", ui::ControlKind::Button)),
      img16(addImageList("img16")),
      Img32(addImageList("Img32")),
      tmrRefresh(addTimer("tmrRefresh", kRefreshMilliseconds)),
      s_(services) {
  style = ui::FormStyle::Fixed;
  iconResourceId = pictures::kProgramIcon;
  keyPreview = true;
  setClientSize(7500, 3660);

  img16.imageSize = 16;
  img16.images = {{"inForce", pictures::kStateInForce},
                  {"preBootDisabled", pictures::kStatePreBootDisabled},
                  {"serviceDisabled", pictures::kStateServiceDisabled},
                  {"passwordEnabled", pictures::kPasswordEnabled},
                  {"passwordDeactivated", pictures::kPasswordDeactivated}};
  Img32.imageSize = 32;
  Img32.images = {{"original", pictures::kOriginalAreaRunning}, {"rescue", pictures::kRescueAreaRunning}};

  // The state panel: three rows beside the product picture.
  Frame1_0.move(120, 75, 3975, 1095);
  Picture1_0.move(45, 45, 3885, 1005);
  imgIcon_0.move(120, 262, 480, 480);
  imgIcon_0.setPicture({nullptr, -1, pictures::kProduct});
  ui::Control* const rows[3][3] = {{&imgService, &lblService_0, &lblService_1},
                                   {&imgPreBoot, &lblPreBoot_0, &lblPreBoot_1},
                                   {&imgPassword, &lblPassword_0, &lblPassword_1}};
  for (int row = 0; row < 3; ++row) {
    rows[row][0]->move(840, kStateRows[row], 240, 240);
    rows[row][1]->move(1200, kStateRows[row] + 15, 1020, kLabelHeight);
    rows[row][2]->move(2280, kStateRows[row] + 15, 1500, kLabelHeight);
  }
  Picture1_1.move(4320, 120, 3000, 1125);
  Picture1_1.setBackColor(ui::kWindowColor);

  // The Status panel: the running area and the last update.
  Frame1_1.move(120, 1215, 7215, 900);
  Picture1_2.move(60, 225, 7095, 615);
  imgIcon_1.move(120, 67, 480, 480);
  lblBooted_0.move(800, kPanelRows[0], 1500, kLabelHeight);
  lblBooted_1.move(2400, kPanelRows[0], 1500, kLabelHeight);
  lblUpdate_0.move(800, kPanelRows[1], 1500, kLabelHeight);
  lblUpdate_1.move(2400, kPanelRows[1], 4500, kLabelHeight);
  shpBooted.setVisible(false);

  // The two area panels.
  Frame1_2.move(120, 2100, 3570, 900);
  Frame1_3.move(3765, 2100, 3570, 900);
  for (ui::Control* picture : {&Picture1_4, &Picture1_5}) picture->move(120, 225, 3330, 615);
  for (ui::Control* label : {&lblOriginalBoot_0, &lblOriginalBoot_1, &lblRescueBoot_0, &lblRescueBoot_1})
    label->move(0, kPanelRows[0], 1500, kLabelHeight);
  for (ui::Control* label : {&lblOriginalSize_0, &lblOriginalSize_1, &lblRescueSize_0, &lblRescueSize_1})
    label->move(0, kPanelRows[1], 1500, kLabelHeight);
  for (ui::Control* picture : {&Picture1_0, &Picture1_2, &Picture1_4, &Picture1_5})
    picture->setBackColor(ui::kWindowColor);

  cmdCalculate.move(2280, 3195, 1815, 375);
  cmdCalculate.tabIndex = 15;
  cmdCopy.move(4320, 3195, 1815, 375);
  cmdCopy.tabIndex = 1;
  cmdExit.move(6360, 3195, 975, 375);
  cmdExit.tabIndex = 0;

  buildMenus();
  cmdCopy.onClick = [this] { CopyUpdate(); };
  cmdCalculate.onClick = [this] { CalculateSize(); };
  cmdExit.onClick = [this] { unload(); };
  // A tick while a refresh runs (one whose box waits for the user, say) does nothing: the box's
  // own loop delivers the ticks, and each would raise the same box again.
  tmrRefresh.onTimer = [this] {
    if (!refreshing_) RefreshStatus(false);
  };
  onKeyDown = [this](ui::Key key, ui::Modifiers modifiers) {
    if (key == ui::Key::F5 && modifiers.none()) RefreshStatus(true);
  };
  onLoad = [this] { Form_Load(); };
  onShown = [this] { Form_Shown(); };
  onUnload = [this] { Form_Unload(); };
}

void FmMain::buildMenus() {
  using Item = ui::MenuItem;
  const auto action = [this](const char* name, const char* caption, void (FmMain::*handler)()) {
    Item item(name, caption);
    if (handler) item.onClick = [this, handler] { (this->*handler)(); };
    return item;
  };
  Item actions("mActions", "&Actions");
  actions.items = {action("mCopy", "&Copy/Update...", &FmMain::CopyUpdate),
                   action("mCalc", "Calculate Si&ze...", &FmMain::CalculateSize),
                   Item("mBar1", "-"),
                   action("mBoot", "&Boot to", &FmMain::BootToOtherArea),
                   Item("mBar2", "-"),
                   action("mQuillon", "View &Log", &FmMain::ViewLog),
                   action("mClearLogs", "Clea&r Log...", &FmMain::ClearLog),
                   Item("mBar3", "-"),
                   action("mEnable", "Enable Pre-&Boot", &FmMain::EnablePreBoot),
                   action("mDisable", "&Disable Pre-Boot...", &FmMain::DisablePreBoot),
                   Item("mBar4", "-"),
                   Item("mExport", "&Export..."),
                   Item("mImport", "&Import..."),
                   Item("mBar5", "-"),
                   action("mRemove", "&Remove Rescue Area...", &FmMain::RemoveRescueArea),
                   Item("mBar6", "-"),
                   action("mAnchoring", "Data &Anchoring...", &FmMain::ShowAnchoring),
                   action("mOptions", "&Options...", &FmMain::ShowOptions),
                   Item("mBar7", "-"),
                   Item("mExit", "E&xit")};
  actions.items.back().onClick = [this] { unload(); };
  Item help("mHelp", "&Help");
  const auto page = [this](const char* name, const char* caption, const char* address) {
    Item item(name, caption);
    item.onClick = [this, address] { s_.helpers.OpenWebAddress(address); };
    return item;
  };
  help.items = {page("mOnlineHelp", "Help", web::kOnlineHelp),
                page("mPrivacyPolicy", "&Privacy Policy", web::kPrivacyPolicy),
                page("mUninstallInstructions", "&Uninstall Instructions", web::kUninstallInstructions),
                action("mLicense", "End User &License Agreement", &FmMain::ShowLicense),
                action("mAbout", "&About", &FmMain::ShowAbout)};
  addMenu(std::move(actions));
  addMenu(std::move(help));
}

void FmMain::Form_Load() {
  setCaptions();
  alignLabels();
  // The refresh runs from now on.
  setTimerEnabled(tmrRefresh, true);
  RefreshStatus(false);
  // The Boot item names the other area once.
  setMenuCaption("mBoot", text(text::BootToMenu) + s_.snapshots.table().other().name);
  registerWithMonitor();
  setCaption(s_.commons.ProductTitle());
  Picture1_1.setPicture({nullptr, -1, pictures::kBanner});
}

void FmMain::setCaptions() {
  for (const Caption& caption : kControlCaptions) control(caption.name)->setCaption(text(caption.id));
  for (const Caption& caption : kMenuCaptions) setMenuCaption(caption.name, text(caption.id));
  for (const char* name : {"mExport", "mImport"}) {
    setMenuEnabled(name, false);
    setMenuVisible(name, false);
  }
  setMenuVisible("mBar5", false);
}

void FmMain::Form_Shown() {
  // Once the window is up: the anchored files, then the first Copy/Update.
  const SnapshotTable& table = s_.snapshots.table();
  if (table.engineStatus != EngineStatus::Opened) return;
  CheckAnchoredFiles();
  if (table.engineStatus == EngineStatus::Opened && table.other().sizeKB <= 0) firstRunCopy();
}

void FmMain::firstRunCopy() {
  // A copy already running shows its percentage in its window's title.
  const std::string copyTitle = text(text::CopyTitle);
  bool running = false;
  for (int i = 0; i <= 100 && !running; ++i) {
    const std::string title = i == 0 ? copyTitle : std::to_string(i) + "% " + copyTitle;
    running = s_.windows.findByTitle(title) != 0;
  }
  if (!running) {
    bAutoCopy_ = true;
    CopyUpdate();
    bAutoCopy_ = false;
  }
  if (!loaded()) return;
  s_.toolkit.messageBox(
      {text(text::RescueBeingCreated), kProductName, ui::Buttons::OK, ui::Icon::Information, 1});
}

void FmMain::Form_Unload() {
  s_.helpers.NotifyMonitor(nativeHandle(), ".");
}

void FmMain::alignLabels() {
  const auto fit = [this](ui::Control& label) {
    label.setBounds({label.left(), label.top(), textWidth(label.caption()), label.height()});
  };
  // Status panel: both captions end at the same place, right of the product picture.
  fit(lblBooted_0);
  fit(lblUpdate_0);
  const int w = std::max(lblBooted_0.width(), lblUpdate_0.width());
  const int edge = imgIcon_0.left() + imgIcon_0.width() + 200 + w;
  for (ui::Control* caption : {&lblBooted_0, &lblUpdate_0})
    caption->setBounds({edge - caption->width(), caption->top(), caption->width(), caption->height()});
  lblBooted_1.setBounds({lblBooted_0.left() + lblBooted_0.width() + 240, lblBooted_1.top(),
                         lblBooted_1.width(), lblBooted_1.height()});
  const int updateLeft = lblUpdate_0.left() + lblUpdate_0.width() + 120;
  lblUpdate_1.setBounds(
      {updateLeft, lblUpdate_1.top(), Picture1_2.width() - updateLeft, lblUpdate_1.height()});
  // Area panels: captions right-aligned on the wider one, values 120 twips after them.
  ui::Control* const panels[2][4] = {
      {&lblOriginalBoot_0, &lblOriginalSize_0, &lblOriginalBoot_1, &lblOriginalSize_1},
      {&lblRescueBoot_0, &lblRescueSize_0, &lblRescueBoot_1, &lblRescueSize_1}};
  for (const auto& panel : panels) {
    fit(*panel[0]);
    fit(*panel[1]);
    const int widest = std::max(panel[0]->width(), panel[1]->width());
    for (int i = 0; i < 2; ++i) {
      ui::Control& caption = *panel[i];
      ui::Control& value = *panel[i + 2];
      caption.setBounds({widest - caption.width(), caption.top(), caption.width(), caption.height()});
      const int valueLeft = widest + 120;
      value.setBounds({valueLeft, value.top(), Picture1_4.width() - valueLeft, value.height()});
    }
  }
}

void FmMain::registerWithMonitor() {
  for (int attempt = 0; attempt < kMonitorAttempts; ++attempt) {
    if (s_.helpers.NotifyMonitor(nativeHandle(), text(text::MonitorName)) != 0) return;
    // The monitor is started once, after the first attempt finds it absent.
    if (attempt == 0)
      s_.helpers.RunTool(Commons::ProgramPath(s_.snapshots.table().programFolder, kMonitorProgram), 0, false);
    s_.processes.sleep(kMonitorWaitMilliseconds);
  }
}

void FmMain::setMenusAvailable(const std::vector<const char*>& names, bool on) {
  for (const char* name : names) setMenuEnabled(name, on);
}

void FmMain::RefreshStatus(bool reload) {
  // Put back however the refresh ends.
  struct Refreshing {
    bool& flag;
    bool before;
    ~Refreshing() { flag = before; }
  } refreshing{refreshing_, refreshing_};
  refreshing_ = true;
  if (reload) s_.snapshots.LoadSnapshotTable();
  if (s_.snapshots.table().engineStatus == EngineStatus::Opened) {
    showAvailable();
  } else {
    showUnavailable();
  }
}

void FmMain::showAvailable() {
  SnapshotTable& table = s_.snapshots.table();
  // Boot and Remove depend on more than the engine; each item is set once, to its final state, so
  // that a refresh that changes nothing changes nothing on the screen either.
  for (const char* name : kEngineItems)
    if (std::string_view(name) != "mBoot" && std::string_view(name) != "mRemove") setMenuEnabled(name, true);
  cmdCopy.setEnabled(true);
  cmdCalculate.setEnabled(true);
  lblService_1.setCaption(text(text::Enabled));
  lblService_1.setForeColor(kColorEnabled);
  imgService.setPicture(img16.picture(0));

  s_.snapshots.DetermineActiveBackup();

  const bool preBoot = table.preBootEnabled;
  lblPreBoot_1.setCaption(text(preBoot ? text::Enabled : text::Disabled));
  lblPreBoot_1.setForeColor(preBoot ? kColorEnabled : kColorPreBootDisabled);
  imgPreBoot.setPicture(img16.picture(preBoot ? 0 : 1));
  setMenuEnabled("mEnable", !preBoot);
  setMenuEnabled("mDisable", preBoot);

  const bool password = s_.preferences.current().passwordInForce();
  lblPassword_1.setCaption(text(password ? text::Enabled : text::Deactivated));
  imgPassword.setPicture(img16.picture(password ? 3 : 4));

  // The running area: its picture, its name in its colour on its highlight.
  const bool originalRuns = table.currentArea == 1;
  imgIcon_1.setPicture(Img32.picture(originalRuns ? 0 : 1));
  lblBooted_1.setForeColor(originalRuns ? kColorOriginalName : kColorRescueName);
  shpBooted.setBackColor(originalRuns ? kColorOriginalHighlight : kColorRescueHighlight);
  lblBooted_1.setCaption(table.current().name);
  lblBooted_1.setBounds(
      {lblBooted_1.left(), lblBooted_1.top(), textWidth(lblBooted_1.caption()), lblBooted_1.height()});
  shpBooted.setBounds({lblBooted_1.left() - 120, lblBooted_1.top() - 30, lblBooted_1.width() + 240,
                       lblBooted_1.height() + 60});
  shpBooted.setVisible(true);

  // The Original Area panel shows entry 1, the Rescue Area panel entry 2.
  const auto lastBoot = [&](std::size_t index) {
    if (index == table.currentArea)
      return table.lastBootDate.isZero() ? text(text::NeverBooted) : FormatAreaTime(table.lastBootDate);
    const SnapshotEntry& entry = table.entry(index);
    return entry.lastBoot < 1 ? text(text::NeverBooted)
                              : FormatAreaTime(s_.snapshots.EngineTimeToDate(entry.lastBoot));
  };
  const auto size = [&](std::size_t index) {
    const SnapshotEntry& entry = table.entry(index);
    if (entry.sizeKB < 1) return text(text::NotAvailable);
    std::string unit = "GB";
    return s_.commons.FormatSize(entry.sizeKB, unit);
  };
  lblOriginalBoot_1.setCaption(lastBoot(1));
  lblOriginalSize_1.setCaption(size(1));
  lblRescueBoot_1.setCaption(lastBoot(2));
  lblRescueSize_1.setCaption(size(2));
  for (ui::Control* value : {&lblOriginalBoot_1, &lblOriginalSize_1, &lblRescueBoot_1, &lblRescueSize_1})
    fitToWidth(*value);

  setMenuEnabled("mRemove", originalRuns && !bAreaRemoved_);

  const SnapshotEntry& current = table.current();
  const SnapshotEntry& other = table.other();
  if (other.sizeKB < 1) {
    lblUpdate_1.setCaption(text(text::NotAvailable));
  } else {
    // The later update of the two; equal times name the other area.
    const SnapshotEntry& latest = other.lastUpdate < current.lastUpdate ? current : other;
    lblUpdate_1.setCaption(latest.name + "; " +
                           FormatAreaTime(s_.snapshots.EngineTimeToDate(latest.lastUpdate)));
  }
  fitToWidth(lblUpdate_1);
  setMenuEnabled("mBoot", preBoot && other.sizeKB >= 1 && !bAreaRemoved_);
}

void FmMain::fitToWidth(ui::Control& value) {
  // A time with a long age ("(118 days ago)") is wider than an area panel in the fonts of today's
  // systems: such a value is drawn in a smaller type rather than cut.
  const bool fits = textWidth(value.caption()) <= value.width();
  value.setFont({false, false, fits ? 0 : kSmallPoints});
}

void FmMain::showUnavailable() {
  setMenusAvailable(kEngineItems, false);
  setMenusAvailable({"mEnable", "mDisable", "mExport", "mImport"}, false);
  cmdCopy.setEnabled(false);
  cmdCalculate.setEnabled(false);
  lblService_1.setCaption(text(text::Disabled));
  lblService_1.setForeColor(kColorServiceDisabled);
  imgService.setPicture(img16.picture(2));
  for (ui::Control* value : {&lblPreBoot_1, &lblPassword_1, &lblBooted_1, &lblUpdate_1, &lblOriginalBoot_1,
                             &lblOriginalSize_1, &lblRescueBoot_1, &lblRescueSize_1})
    value->setCaption("-");
  imgPreBoot.clearPicture();
  imgPassword.clearPicture();
  shpBooted.setVisible(false);
}

std::string FmMain::FormatAreaTime(const classic::DateTime& date) {
  const std::string dateSeparator = s_.locale.dateSeparator();
  const std::string timeSeparator = s_.locale.timeSeparator();
  const int hour12 = date.hour % 12 == 0 ? 12 : date.hour % 12;
  const std::string minutes = (date.minute < 10 ? "0" : "") + std::to_string(date.minute);
  const std::string year = (date.year % 100 < 10 ? "0" : "") + std::to_string(date.year % 100);
  return std::to_string(date.month) + dateSeparator + std::to_string(date.day) + dateSeparator + year + " " +
         std::to_string(hour12) + timeSeparator + minutes + (date.hour < 12 ? "a" : "p") + " (" +
         s_.commons.FormatTimeAgo(date) + ")";
}

void FmMain::CheckAnchoredFiles() {
  SnapshotTable& table = s_.snapshots.table();
  std::vector<std::string> missing;
  std::vector<std::string> entries = splitAnchoredList(table.anchoredList).entries;
  if (entries.size() > kMaxAnchoredChecked) entries.resize(kMaxAnchoredChecked);
  for (const std::string& entry : entries)
    if (!s_.files.attributes(entry)) missing.push_back(entry);
  if (missing.empty()) return;

  std::string body = text(text::AnchoredMissing) + "\r\r";
  for (const std::string& entry : missing) body += entry + "\r";
  body += "\r" + text(text::AnchoredRemoveQuestion);
  if (ask(body, text(text::DataAnchoring), ui::Icon::Question, 1) != ui::Answer::Yes) return;

  std::string working = table.anchoredList + ";";
  for (const std::string& entry : missing) {
    const std::size_t at = working.find(entry + ";");
    if (at != std::string::npos) working.erase(at, entry.size() + 1);
  }
  const std::string list = working.empty() ? std::string(";") : working.substr(0, working.size() - 1);
  // A list the engine's buffer cannot hold whole is refused, never cut.
  std::optional<AnsiBuffer> buffer = AnsiBuffer::holding(s_.codec, list, kAnchoredListBytes);
  const auto warn = [&](const std::string& message) {
    s_.toolkit.messageBox({message, text(text::DataAnchoring), ui::Buttons::OK, ui::Icon::Exclamation, 1});
  };
  if (!buffer) {
    warn(text(text::AnchoredListTooLong));
  } else if (s_.engine.KRV_AnchoredFiles(Snapshots::kAnchorCaller, buffer->data()) != 0) {
    warn(buffer->text(s_.codec));
  }
  s_.snapshots.LoadSnapshotTable();
}

ui::Answer FmMain::ask(const std::string& body, const std::string& title, ui::Icon icon, int defaultButton) {
  return s_.toolkit.messageBox({body, title, ui::Buttons::YesNo, icon, defaultButton});
}

std::string FmMain::wrapped(std::string body) {
  if (s_.commons.WindowsVersion() < 60) Commons::WrapMessageText(body);
  return body;
}

bool FmMain::PasswordStep() {
  if (!s_.preferences.current().passwordInForce()) return true;
  if (!password_) password_ = std::make_unique<FmPassword>(s_.toolkit, s_.commons, s_.preferences);
  return password_->Check(this);
}

void FmMain::CopyUpdate() {
  s_.snapshots.LoadSnapshotTable();
  s_.snapshots.DetermineActiveBackup();
  const SnapshotTable& table = s_.snapshots.table();
  if (!bAutoCopy_) {
    const bool originalRuns = table.currentArea == 1;
    const std::string body =
        text(originalRuns ? text::UpdateRescue : text::UpdateOriginal) + "\r\r" +
        wrapped(text(originalRuns ? text::UpdateRescueAfter : text::UpdateOriginalAfter));
    if (ask(body, text(text::CopyTitle), ui::Icon::Question, 1) != ui::Answer::Yes) return;
  }
  if (!PasswordStep()) return;
  std::string target = table.count < 2 ? text(text::RescueArea) : table.other().name;
  std::string source = table.current().name;
  const std::int32_t result = s_.tasks.StartCopyTask(source, target, "", true, false);
  if (result != 0) s_.tasks.ShowTaskError(result);
}

void FmMain::CalculateSize() {
  s_.snapshots.LoadSnapshotTable();
  s_.snapshots.DetermineActiveBackup();
  const std::int32_t result = s_.tasks.StartSizeTask(s_.snapshots.table().current().name, "");
  if (result != 0) s_.tasks.ShowTaskError(result);
}

void FmMain::RemoveRescueArea() {
  s_.snapshots.LoadSnapshotTable();
  s_.snapshots.DetermineActiveBackup();
  const std::string body = text(text::RemoveQuestion) + "\r\r" + wrapped(text(text::RemoveAfter));
  if (ask(body, text(text::RemoveTitle), ui::Icon::Question, 2) != ui::Answer::Yes) return;
  if (!PasswordStep()) return;
  const std::int32_t result = s_.tasks.StartRemoveTask(s_.snapshots.table().other().name);
  if (result != 0) s_.tasks.ShowTaskError(result);
  bAreaRemoved_ = true;
}

void FmMain::BootToOtherArea() {
  const SnapshotEntry other = s_.snapshots.table().other();
  const std::string body = text(text::BootQuestion) + other.name + text(text::BootQuestionEnd);
  if (ask(body, text(text::BootTitle) + " " + other.name, ui::Icon::Question, 1) != ui::Answer::Yes) return;
  if (!PasswordStep()) return;
  std::int32_t number = other.number;
  s_.configuration.SetConfigValue(ConfigSetting::Active, number);
  // An accepted restart ends the program here; a refused one has shown its box.
  s_.helpers.RestartComputer();
  unload();
}

void FmMain::EnablePreBoot() {
  if (s_.configuration.EnablePreBoot() == 0) return;
  s_.toolkit.messageBox({text(text::EnableFailed) + "\r\r" + text(text::EnableFailedHint),
                         text(text::KorvaneError), ui::Buttons::OK, ui::Icon::Critical, 1});
}

void FmMain::DisablePreBoot() {
  if (!disable_) disable_ = std::make_unique<FmDisable>(s_.toolkit, s_.commons.strings());
  if (!disable_->DisableCheck(this)) return;
  if (s_.configuration.DisablePreBoot() == 0) return;
  s_.toolkit.messageBox(
      {text(text::DisableFailed), text(text::DisableFailedTitle), ui::Buttons::OK, ui::Icon::Critical, 1});
}

void FmMain::ViewLog() {
  // An open viewer is brought forward, unmoved; otherwise one is started.
  if (const platform::WindowHandle viewer = s_.windows.findByTitle(quillon::text::shared::Caption)) {
    s_.windows.restore(viewer);
    s_.windows.bringToForeground(viewer);
    return;
  }
  const std::string& folder = s_.snapshots.table().programFolder;
  if (s_.helpers.RunTool(Commons::ProgramPath(folder, kViewerProgram), 0, false) != 0) return;
  s_.toolkit.messageBox({folder + kViewerProgram + text(text::NotFound), text(text::NotFoundTitle),
                         ui::Buttons::OK, ui::Icon::Critical, 1});
}

void FmMain::ShowOptions() {
  // Each opening loads the dialog afresh.
  FmOptions options({s_.toolkit, s_.commons, s_.preferences, s_.engine, s_.codec});
  options.Display(this, [this] { return PasswordStep(); });
  RefreshStatus(false);
}

void FmMain::ShowAnchoring() {
  // Created on first use and kept; each run loads it afresh. Nothing is refreshed afterwards.
  if (!anchor_)
    anchor_ = std::make_unique<FmAnchor>(AnchorServices{
        s_.toolkit, s_.commons, s_.engine, s_.snapshots, s_.files, s_.codec,
        [this] { return s_.preferences.current().passwordInForce(); }, [this] { return PasswordStep(); }});
  anchor_->Wizard(true, this);
}

void FmMain::ShowLicense() {
  if (s_.processes.invoke(kLicenseCommand, false, "") >= 0) return;
  s_.toolkit.messageBox({text(text::LicenseAt) + "\r\r" + text(text::LicenseNotRun),
                         text(text::NotFoundTitle), ui::Buttons::OK, ui::Icon::Exclamation, 1});
}

void FmMain::ShowAbout() {
  FmAbout about(s_.toolkit, s_.commons, s_.helpers, [this](ui::Form& owner) {
    FmSupport support({s_.toolkit, s_.commons, s_.processes, s_.files, s_.snapshots.table().programFolder});
    support.showModal(&owner);
  });
  about.showModal(this);
}

void FmMain::ClearLog() {
  if (ask(text(text::ClearLogQuestion), text(text::ClearLogTitle), ui::Icon::Question, 1) != ui::Answer::Yes)
    return;
  s_.configuration.SetConfigValue(ConfigSetting::KeepLogsText, std::string("88888888"));
}

}  // namespace krv
