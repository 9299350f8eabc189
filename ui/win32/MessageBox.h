#pragma once
// The system message box, modal to the application.

#include "ui/Toolkit.h"

namespace ui::win32 {

ui::Answer showMessageBox(const ui::MessageBoxRequest& request);

}  // namespace ui::win32
