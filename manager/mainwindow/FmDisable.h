#pragma once
// The confirmation before the pre-boot screen is switched off: Cancel has the focus and is both
// the default and the cancel button, so only a deliberate Disable switches it off.

#include "base/StringTable.h"
#include "ui/Form.h"

namespace krv {

class FmDisable final : public ui::Form {
 public:
  FmDisable(ui::FormToolkit& toolkit, const platform::StringTable& strings);

  // Shows the dialog modal to owner; true when the user pressed Disable.
  bool DisableCheck(ui::Form* owner);

  ui::Control& shpBanner;
  ui::Control& lblHeader;
  ui::Control& imgTask;
  ui::Control& lblTaskTitle;
  ui::Control& lblTaskInfo;
  ui::Control& cmdOK;
  ui::Control& cmdCancel;

 private:
  void Form_Load();

  const platform::StringTable& strings_;
  bool result_ = false;
};

}  // namespace krv
