#pragma once
// The about box: the product's name and version, the maker's support page, and the way into the
// support information dialog.

#include <functional>

#include "manager/common/Commons.h"
#include "manager/common/SystemHelpers.h"
#include "ui/Form.h"
#include "ui/FormToolkit.h"

namespace krv {

class FmAbout final : public ui::Form {
 public:
  // `showSupport` shows the support information dialog modal over the about box.
  FmAbout(ui::FormToolkit& toolkit, Commons& commons, SystemHelpers& helpers,
          std::function<void(ui::Form& owner)> showSupport);

  ui::Control& Image1;
  ui::Control& lblProductName;
  ui::Control& lblAbout_1;
  ui::Control& lblVersion;
  ui::Control& lblAbout_5;
  ui::Control& lblSupportURL;
  ui::Control& cmdSupport;
  ui::Control& cmdOK;

 private:
  Commons& commons_;
  SystemHelpers& helpers_;
  std::function<void(ui::Form& owner)> showSupport_;
};

}  // namespace krv
