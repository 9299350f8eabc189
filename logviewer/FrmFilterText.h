#pragma once
// frmFilterText, the small dialog of View, "Filter by Text...": the text the shown entries must hold.

#include <optional>
#include <string>

#include "base/StringTable.h"
#include "ui/Form.h"
#include "ui/FormToolkit.h"

namespace quillon {

class FrmFilterText final : public ui::Form {
 public:
  FrmFilterText(ui::FormToolkit& toolkit, const platform::StringTable& strings);
  // Shows the dialog holding the current text; the text chosen with OK, nothing on Cancel.
  std::optional<std::string> Ask(ui::Form& owner, const std::string& current);

  ui::Control& lblPrompt;
  ui::Control& txtText;
  ui::Control& cmdOK;
  ui::Control& cmdCancel;

 private:
  const platform::StringTable& strings_;
  std::string start_;
  std::optional<std::string> result_;
};

}  // namespace quillon
