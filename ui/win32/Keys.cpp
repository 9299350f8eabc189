#include "ui/win32/Keys.h"

namespace ui::win32 {
namespace {

struct KeyName {
  ui::Key key;
  WPARAM virtualKey;
  const wchar_t* shortcut;  // empty: not shown in menus
};

constexpr KeyName kKeys[] = {
    {ui::Key::Enter, VK_RETURN, L"Enter"}, {ui::Key::Escape, VK_ESCAPE, L"Esc"}, {ui::Key::Tab, VK_TAB, L"Tab"},
    {ui::Key::Delete, VK_DELETE, L"Del"},  {ui::Key::F1, VK_F1, L"F1"},          {ui::Key::F2, VK_F2, L"F2"},
    {ui::Key::F3, VK_F3, L"F3"},           {ui::Key::F4, VK_F4, L"F4"},          {ui::Key::F5, VK_F5, L"F5"},
    {ui::Key::F6, VK_F6, L"F6"},           {ui::Key::F7, VK_F7, L"F7"},          {ui::Key::F8, VK_F8, L"F8"},
    {ui::Key::F9, VK_F9, L"F9"},           {ui::Key::F10, VK_F10, L"F10"},       {ui::Key::F11, VK_F11, L"F11"},
    {ui::Key::F12, VK_F12, L"F12"},        {ui::Key::Up, VK_UP, L""},            {ui::Key::Down, VK_DOWN, L""},
    {ui::Key::Left, VK_LEFT, L""},         {ui::Key::Right, VK_RIGHT, L""},      {ui::Key::Space, VK_SPACE, L""},
};

}  // namespace

ui::Key keyOf(WPARAM virtualKey) {
  // The letters' virtual keys are their capitals, in the model's order.
  if (virtualKey >= 'A' && virtualKey <= 'Z')
    return static_cast<ui::Key>(static_cast<int>(ui::Key::A) + static_cast<int>(virtualKey - 'A'));
  for (const KeyName& k : kKeys)
    if (k.virtualKey == virtualKey) return k.key;
  return ui::Key::None;
}

std::wstring shortcutText(ui::Key key, ui::Modifiers modifiers) {
  std::wstring name;
  if (key >= ui::Key::A && key <= ui::Key::Z) {
    name = std::wstring(1, static_cast<wchar_t>(L'A' + (static_cast<int>(key) - static_cast<int>(ui::Key::A))));
  } else {
    for (const KeyName& k : kKeys)
      if (k.key == key) name = k.shortcut;
  }
  if (name.empty()) return name;
  return (modifiers.ctrl ? L"Ctrl+" : L"") + std::wstring(modifiers.alt ? L"Alt+" : L"") +
         (modifiers.shift ? L"Shift+" : L"") + name;
}

}  // namespace ui::win32
