#pragma once
// The data anchoring wizard: a welcome page, then the anchored files and folders, added through the
// engine's browse dialog and check and removed by selection; Finish hands the whole list to the
// engine in one call.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "manager/common/Commons.h"
#include "manager/engine/KRVCopyAPI.h"
#include "manager/engine/SnapshotTable.h"
#include "platform/FileSystem.h"
#include "ui/Form.h"
#include "ui/FormToolkit.h"

namespace krv {

struct AnchorServices {
  ui::FormToolkit& toolkit;
  Commons& commons;
  KRVCopyAPI& engine;
  Snapshots& snapshots;
  platform::FileSystem& files;
  const platform::AnsiCodec& codec;
  // The password step, run before storing when a password is in force; false stops.
  std::function<bool()> passwordInForce;
  std::function<bool()> passwordStep;
};

class FmAnchor final : public ui::Form {
 public:
  static constexpr int kItemsWithoutScrollBar = 8;

  explicit FmAnchor(const AnchorServices& services);

  // Opens on the welcome page with the stored list, modal over owner; true when Finish stored it.
  bool Wizard(bool alwaysShowIntro, ui::Form* owner);
  int page() const { return page_; }
  bool changed() const { return changed_; }

  ui::Control& shpHeader;
  ui::Control& imgHeader;
  ui::Control& lblHeader;
  ui::Control& lblSubHeader;
  ui::Control& lnTop;
  ui::Control& lnBottom;
  std::array<ui::Control*, 2> fmWizard;
  std::array<ui::Control*, 6> imgIntro;
  std::array<ui::Control*, 6> lblIntro;
  ui::Control& lblInstructions;
  ui::ListView& lvAnchorList;
  ui::Control& cmdNew;
  ui::Control& cmdDelete;
  ui::Control& cmdBack;
  ui::Control& cmdNext;
  ui::Control& cmdCancel;
  ui::ImageList& imgSnapshot16;

 private:
  struct Entry {
    std::string path;
    std::string icon;
  };
  std::array<ui::Control*, 2> makePages();
  template <std::size_t N>
  std::array<ui::Control*, N> makeIntro(const char* name, ui::ControlKind kind);
  void Form_Load();
  void navigate(int step);
  void setupPage();
  void insert(const std::string& path, bool alreadyAnchored);
  void showList(std::ptrdiff_t select);
  void fitColumn();
  std::string joined() const;
  void add();
  void remove();
  void finish();
  void nextIsTheWay();
  std::string text(int id) const { return s_.commons.strings().text(id); }

  AnchorServices s_;
  std::vector<Entry> entries_;  // in the list's order: sorted by path, case aside
  int page_ = 0;
  bool changed_ = false;
  bool saved_ = false;
};

}  // namespace krv
