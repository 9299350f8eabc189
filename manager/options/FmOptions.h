#pragma once
// The Options dialog: every preference of the manager on three tabs (General, Copy/Update,
// Password), loaded afresh from where they are stored, validated, and saved through the
// preferences on OK or Apply. Apply lights up only while something differs from the last load or
// save.

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "manager/common/Commons.h"
#include "manager/common/Preferences.h"
#include "manager/engine/KRVCopyAPI.h"
#include "ui/Form.h"
#include "ui/FormToolkit.h"

namespace krv {

struct OptionsServices {
  ui::FormToolkit& toolkit;
  Commons& commons;
  Preferences& preferences;
  KRVCopyAPI& engine;
  const platform::AnsiCodec& codec;
};

class FmOptions final : public ui::Form {
 public:
  static constexpr int kGeneralTab = 0;
  static constexpr int kCopyTab = 1;
  static constexpr int kPasswordTab = 2;
  static constexpr std::size_t kExplanationBytes = 200;

  explicit FmOptions(const OptionsServices& services);

  // Runs the password step first when a password is in force (`passwordStep` false: nothing is
  // shown), then shows the dialog modal over owner until it closes.
  void Display(ui::Form* owner, const std::function<bool()>& passwordStep);
  // The password boxes are valid and equal, or nothing asks them to be; shows why not.
  bool CheckPassword();
  bool SaveOptions();
  bool passwordTouched() const { return passwordTouched_; }

  ui::Control& ssOptions;
  std::array<ui::Control*, 6> frmFrame;
  std::array<ui::Control*, 6> picFrame;
  std::array<ui::Control*, 3> optTrayIcon;
  ui::Control& chkHotkeyVisible;
  ui::Control& lblBootHotkey;
  ui::Control& cmbHotkey;
  ui::Control& lblBootDelay;
  ui::Control& cmbDelay;
  ui::Control& lblFailedBootRetry;
  ui::Control& cmbBootRetry;
  ui::Control& chkPurgeLog;
  ui::Control& txtPurgeLogDays;
  ui::Control& lblPurgeLog;
  ui::Control& lblCopyUpdate;
  ui::Control& txtExcluded;
  ui::Control& cmdEdit;
  ui::Control& cmdBrowse;
  ui::Control& chkBeepAfterTask;
  ui::Control& chkPassword;
  std::array<ui::Control*, 2> lblPassword;
  std::array<ui::Control*, 2> txtPassword;
  ui::Control& cmdOK;
  ui::Control& cmdCancel;
  ui::Control& cmdApply;

 private:
  using State = std::variant<int, std::string>;
  std::array<ui::Control*, 6> makeFrames();
  std::array<ui::Control*, 6> makePictures();
  template <std::size_t N>
  std::array<ui::Control*, N> makeArray(const char* name, ui::ControlKind kind, int frame);
  void Form_Load();
  void setCaptionsAndLists();
  // The stored preferences read again, each on its control.
  void showPreferences();
  void showTab(int tab);
  void tabChanged();
  void RememberBaseline();
  void UpdateApply();
  std::vector<ui::Control*> inputs() const;
  static State stateOf(const ui::Control& control);
  void purgeDaysLeft();
  void EditList();
  void BrowseList();
  bool listAccepted(const std::string& list);
  void showError(const std::string& text);
  std::string text(int id) const { return s_.commons.strings().text(id); }

  OptionsServices s_;
  ui::Form* owner_ = nullptr;
  std::vector<std::pair<ui::Control*, State>> baseline_;
  bool passwordTouched_ = false;
};

}  // namespace krv
