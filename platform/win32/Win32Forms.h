#pragma once
// Shared by the Win32 toolkits: the system message box and the pass over waiting messages.

#include "ui/Toolkit.h"

namespace platform::win32 {

ui::Answer showMessageBox(const ui::MessageBoxRequest& request);
void processPendingMessages();

}  // namespace platform::win32
