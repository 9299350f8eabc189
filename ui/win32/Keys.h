#pragma once
// The keys of the form model as the system's virtual keys, and as a menu item shows its shortcut:
// one table for both directions.

#include <windows.h>

#include <string>

#include "ui/Form.h"

namespace ui::win32 {

// The model's key for a virtual key; Key::None for a key the model does not know.
ui::Key keyOf(WPARAM virtualKey);
// The text a menu item shows for its shortcut ("F5", "Ctrl+F", "Shift+F3"); empty for a key menus do
// not show.
std::wstring shortcutText(ui::Key key, ui::Modifiers modifiers = {});

}  // namespace ui::win32
