#pragma once
// The Win32 realization of the form model. This header includes no system header, so that a
// program's entry file can build it without seeing <windows.h>.

#include <memory>

#include "ui/FormToolkit.h"

namespace ui::win32 {

// Shows forms as real windows (message boxes included) and runs the program's one message loop.
std::unique_ptr<ui::FormToolkit> createFormToolkit();

}  // namespace ui::win32
