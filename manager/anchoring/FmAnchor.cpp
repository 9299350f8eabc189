#include "manager/anchoring/FmAnchor.h"

#include <algorithm>
#include <cmath>

#include "base/ClassicRuntime.h"
#include "manager/anchoring/AnchoredList.h"
#include "manager/engine/EngineBuffers.h"
#include "resources/manager/Pictures.h"
#include "resources/manager/Texts.h"

namespace krv {
namespace {

constexpr text::Id kWelcomeHeaders[2] = {text::WelcomeHeader, text::WelcomeSubHeader};
constexpr text::Id kListHeaders[2] = {text::ListHeader, text::ListSubHeader};

constexpr text::Id kIntroTexts[6] = {text::AnchoredIntro,      text::AnchoredOneCopy,
                                     text::AnchoredCloud,      text::AnchoredDocuments,
                                     text::AnchoredNoPrograms, text::AnchoredNoUnicode};
constexpr int kIntroTops[6] = {60, 600, 1140, 1860, 2400, 2940};
constexpr int kIntroHeights[6] = {480, 480, 660, 480, 480, 480};

std::string folded(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

}  // namespace

std::array<ui::Control*, 2> FmAnchor::makePages() {
  std::array<ui::Control*, 2> pages{};
  for (int i = 0; i < 2; ++i) {
    pages[i] = &addControl("fmWizard(" + std::to_string(i) + ")", ui::ControlKind::Picture);
    pages[i]->move(120, 1020, 7170, 3660);
  }
  return pages;
}

template <std::size_t N>
std::array<ui::Control*, N> FmAnchor::makeIntro(const char* name, ui::ControlKind kind) {
  std::array<ui::Control*, N> controls{};
  for (std::size_t i = 0; i < N; ++i)
    controls[i] = &addControl(std::string(name) + "(" + std::to_string(i) + ")", kind, fmWizard[0]);
  return controls;
}

FmAnchor::FmAnchor(const AnchorServices& services)
    : ui::Form(services.toolkit, "fmAnchor"),
      shpHeader(addControl("shpHeader", ui::ControlKind::Shape)),
      imgHeader(addControl("imgHeader", ui::ControlKind::Image)),
      lblHeader(addControl("lblHeader", ui::ControlKind::Label)),
      lblSubHeader(addControl("lblSubHeader", ui::ControlKind::Label)),
      lnTop(addControl("lnWizard(0)", ui::ControlKind::Shape)),
      lnBottom(addControl("lnWizard(1)", ui::ControlKind::Shape)),
      fmWizard(makePages()),
      imgIntro(makeIntro<6>("imgIntro", ui::ControlKind::Image)),
      lblIntro(makeIntro<6>("lblIntro", ui::ControlKind::Label)),
      lblInstructions(addControl("lblInstructions", ui::ControlKind::Label, fmWizard[1])),
      lvAnchorList(addListView("lvAnchorList", fmWizard[1])),
      cmdNew(addControl("cmdNew", ui::ControlKind::Button)),
      cmdDelete(addControl("cmdDelete", ui::ControlKind::Button)),
      cmdBack(addControl("cmdBack", ui::ControlKind::Button)),
      cmdNext(addControl("cmdNext", ui::ControlKind::Button)),
      cmdCancel(addControl("cmdCancel", ui::ControlKind::Button)),
      imgSnapshot16(addImageList("imgSnapshot16")),
      s_(services) {
  style = ui::FormStyle::Dialog;
  setClientSize(7410, 5490);
  shpHeader.move(0, 0, 7410, 900);
  shpHeader.setBackColor(ui::rgb(255, 255, 255));
  imgHeader.move(6480, 90, 720, 720);
  imgHeader.setPicture({nullptr, -1, pictures::kWizardHeader});
  lblHeader.move(240, 180, 6000, 255);
  lblHeader.setFont({true, false, 0});
  lblSubHeader.move(480, 480, 5900, 255);
  lnTop.move(0, 900, 7410, 15);
  lnBottom.move(0, 4800, 7410, 15);
  for (ui::Control* line : {&lnTop, &lnBottom}) line->setBackColor(ui::rgb(160, 160, 160));
  for (int i = 0; i < 6; ++i) {
    imgIntro[i]->move(120, kIntroTops[i] + 15, 240, 240);
    imgIntro[i]->setPicture({nullptr, -1, pictures::kWizardBullet});
    lblIntro[i]->move(480, kIntroTops[i], 6600, kIntroHeights[i]);
  }
  lblInstructions.move(120, 60, 6900, 480);
  lvAnchorList.move(120, 600, 6900, 2940);
  imgSnapshot16.imageSize = 16;
  imgSnapshot16.images = {{"missing", pictures::kItemMissing},
                          {"fileAdded", pictures::kItemFileAdded},
                          {"folderAdded", pictures::kItemFolderAdded},
                          {"fileAnchored", pictures::kItemFileAnchored},
                          {"folderAnchored", pictures::kItemFolderAnchored}};
  lvAnchorList.setSmallIcons(&imgSnapshot16);
  cmdNew.move(120, 4980, 1215, 375);
  cmdDelete.move(1440, 4980, 1215, 375);
  cmdBack.move(3240, 4980, 1215, 375);
  cmdNext.move(4560, 4980, 1215, 375);
  cmdCancel.move(5955, 4980, 1335, 375);
  int order = 0;
  for (ui::Control* c :
       {static_cast<ui::Control*>(&lvAnchorList), &cmdNew, &cmdDelete, &cmdBack, &cmdNext, &cmdCancel})
    c->tabIndex = order++;
  setDefaultButton(&cmdNext);
  setCancelButton(&cmdCancel);

  cmdBack.onClick = [this] { navigate(-1); };
  cmdNext.onClick = [this] {
    if (page_ == 1) {
      finish();
    } else {
      navigate(+1);
    }
  };
  cmdCancel.onClick = [this] { unload(); };
  cmdNew.onClick = [this] { add(); };
  cmdDelete.onClick = [this] { remove(); };
  onLoad = [this] { Form_Load(); };
}

void FmAnchor::Form_Load() {
  setCaption(text(text::WizardTitle));
  for (int i = 0; i < 6; ++i) lblIntro[i]->setCaption(text(kIntroTexts[i]));
  lblInstructions.setCaption(text(text::AnchoredInstructions));
  lvAnchorList.setColumns({{text(text::AnchoredColumn), lvAnchorList.width()}});
  cmdBack.setCaption(text(text::WizardBack));
  cmdNew.setCaption(text(text::WizardAdd));
  cmdDelete.setCaption(text(text::WizardRemove));
  cmdCancel.setCaption(text(text::WizardCancel));
  // The list as stored, up to its first empty field. Entries behind an empty field are not shown,
  // and Finish would store the list without them: the user is told before anything can be lost.
  const AnchoredEntries stored = splitAnchoredList(s_.snapshots.table().anchoredList);
  for (const std::string& path : stored.entries) insert(path, true);
  if (stored.hidden) {
    s_.toolkit.messageBox({text(text::AnchoredEntriesHidden), text(text::DataAnchoring), ui::Buttons::OK,
                           ui::Icon::Exclamation, 1});
  }
  showList(entries_.empty() ? -1 : 0);
  for (ui::Control* page : fmWizard) page->setVisible(false);
  navigate(0);
}

bool FmAnchor::Wizard(bool /*alwaysShowIntro: the wizard always opens on its welcome page*/,
                      ui::Form* owner) {
  page_ = 0;
  changed_ = false;
  saved_ = false;
  entries_.clear();
  showModal(owner);
  return saved_;
}

void FmAnchor::navigate(int step) {
  fmWizard[page_]->setVisible(false);
  page_ += step;
  if (page_ > 0) {
    cmdBack.setEnabled(true);
  } else {
    page_ = 0;
    cmdBack.setEnabled(false);
  }
  if (page_ < 1) {
    cmdNext.setCaption(text(text::WizardNext));
  } else {
    page_ = 1;
    cmdNext.setCaption(text(text::WizardFinish));
  }
  fmWizard[page_]->setVisible(true);
  setupPage();
}

void FmAnchor::setupPage() {
  cmdNew.setVisible(false);
  cmdDelete.setVisible(false);
  cmdNext.setEnabled(true);
  const text::Id* header = page_ == 0 ? kWelcomeHeaders : kListHeaders;
  lblHeader.setCaption(text(header[0]));
  lblSubHeader.setCaption(text(header[1]));
  if (page_ == 1) {
    cmdNew.setVisible(true);
    cmdDelete.setVisible(true);
    cmdDelete.setEnabled(!entries_.empty());
    cmdNext.setEnabled(changed_);
  }
  if (cmdNext.usable()) setFocus(cmdNext);
}

void FmAnchor::insert(const std::string& raw, bool alreadyAnchored) {
  const std::string path = classic::trimSpaces(raw);
  if (path.empty()) return;
  const std::optional<std::uint32_t> attributes = s_.files.attributes(path);
  std::string icon = "missing";
  if (attributes) {
    const bool folder = (*attributes & platform::kAttributeDirectory) != 0;
    icon = std::string(folder ? "folder" : "file") + (alreadyAnchored ? "Anchored" : "Added");
  }
  // The list keeps its items sorted by their text, as a sorted list view does.
  const auto at =
      std::upper_bound(entries_.begin(), entries_.end(), folded(path),
                       [](const std::string& key, const Entry& e) { return key < folded(e.path); });
  // The row is counted from the vector's start after the insertion, which may have moved it.
  const auto inserted = entries_.insert(at, Entry{path, icon});
  showList(inserted - entries_.begin());
  cmdDelete.setEnabled(true);
}

void FmAnchor::showList(std::ptrdiff_t select) {
  lvAnchorList.clear();
  for (const Entry& e : entries_) lvAnchorList.addItem({e.path, {}, e.icon, ""});
  if (select >= 0 && select < static_cast<std::ptrdiff_t>(entries_.size())) {
    lvAnchorList.select(select);
    lvAnchorList.ensureSelectedVisible();
  }
  fitColumn();
}

void FmAnchor::fitColumn() {
  const ui::ScreenMetrics screen = s_.toolkit.screen();
  double width = lvAnchorList.width() - 4 * screen.twipsPerPixelX;
  if (entries_.size() > static_cast<std::size_t>(kItemsWithoutScrollBar))
    width -= screen.verticalScrollBarWidth * screen.twipsPerPixelX;
  for (const Entry& e : entries_) width = std::max(width, 1.03125 * textWidth(e.path));
  lvAnchorList.setColumnWidth(0, static_cast<int>(std::lround(width)));
}

std::string FmAnchor::joined() const {
  std::string list;
  for (const Entry& e : entries_) list += (list.empty() ? "" : ";") + e.path;
  return list;
}

void FmAnchor::nextIsTheWay() {
  changed_ = true;
  cmdNext.setEnabled(true);
  setDefaultButton(&cmdNext);
  setFocus(cmdNext);
}

void FmAnchor::add() {
  const std::optional<std::string> browsed =
      browseForPath(s_.engine, text(text::AnchorBrowseTitle), nativeHandle());
  if (!browsed) return;
  const std::string& chosen = *browsed;
  const std::string current = joined();
  AnsiBuffer candidate = AnsiBuffer::fitting(s_.codec, current.empty() ? chosen : current + ";" + chosen);
  AnsiBuffer reason(kAnchoredListBytes);
  if (s_.engine.KRV_CheckAnchorList(Snapshots::kAnchorCaller, candidate.data(), reason.data()) != 0) {
    s_.toolkit.messageBox(
        {reason.text(s_.codec), text(text::DataAnchoring), ui::Buttons::OK, ui::Icon::Exclamation, 1});
    return;
  }
  insert(chosen, false);
  nextIsTheWay();
}

void FmAnchor::remove() {
  // Only the row the user sees chosen goes: with the highlight clicked away, nothing does.
  const std::ptrdiff_t count = static_cast<std::ptrdiff_t>(entries_.size());
  const std::ptrdiff_t at = lvAnchorList.selectedIndex();
  if (at < 0 || at >= count) return;
  entries_.erase(entries_.begin() + at);
  const std::ptrdiff_t left = count - 1;
  showList(left == 0 ? -1 : std::min(at, left - 1));
  cmdDelete.setEnabled(!entries_.empty());
  nextIsTheWay();
}

void FmAnchor::finish() {
  std::string list = joined();
  if (list.empty()) list = ";";
  // A list the engine's buffer cannot hold whole is refused, never cut, and before the password is
  // asked for: the wizard stays on its list as it was, for the user to shorten it.
  std::optional<AnsiBuffer> buffer = AnsiBuffer::holding(s_.codec, list, kAnchoredListBytes);
  if (!buffer) {
    s_.toolkit.messageBox({text(text::AnchoredListTooLong), text(text::DataAnchoring), ui::Buttons::OK,
                           ui::Icon::Exclamation, 1});
    return;
  }
  if (s_.passwordInForce && s_.passwordInForce() && !(s_.passwordStep && s_.passwordStep())) {
    unload();
    return;
  }
  const std::int32_t result = s_.engine.KRV_AnchoredFiles(Snapshots::kAnchorCaller, buffer->data());
  if (result == 0) {
    saved_ = true;
  } else {
    s_.toolkit.messageBox({text(text::AnchorStoreError) + " " +
                               classic::signedNumberText(-static_cast<std::int64_t>(result)) + " " +
                               text(text::AnchorStoreErrorEnd),
                           text(text::DataAnchoring), ui::Buttons::OK, ui::Icon::Exclamation, 1});
  }
  s_.snapshots.LoadSnapshotTable();
  unload();
}

}  // namespace krv
