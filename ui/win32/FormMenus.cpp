// The form's menu bar: built from the model's menus, changed in place while the same items show,
// and its choices by command id.

#include <functional>

#include "platform/win32/WideText.h"
#include "ui/win32/FormWindow.h"
#include "ui/win32/Keys.h"

namespace ui::win32 {

namespace {

using platform::win32::wide;

constexpr int kFirstMenuId = 1000;

// A menu item's caption, with its shortcut after a tab.
std::wstring itemCaption(const ui::MenuItem& item) {
  std::wstring caption = wide(item.caption);
  const std::wstring shortcut = item.items.empty() ? shortcutText(item.shortcut, item.shortcutModifiers) : L"";
  if (!shortcut.empty()) caption += L"\t" + shortcut;
  return caption;
}

}  // namespace

std::string FormWindow::menuSignature() const {
  std::string signature;
  std::function<void(const std::vector<ui::MenuItem>&)> walk = [&](const std::vector<ui::MenuItem>& items) {
    signature += '[';
    for (const ui::MenuItem& item : items) {
      if (!item.visible) continue;
      signature += item.name + (item.isSeparator() ? "-" : "") + ';';
      if (!item.items.empty()) walk(item.items);
    }
    signature += ']';
  };
  walk(form_.menus());
  return signature;
}

void FormWindow::buildMenu() {
  OwnedMenu old = std::move(menu_);
  menuIds_.clear();
  menuItems_.clear();
  menuSignature_ = menuSignature();
  if (!form_.menus().empty()) {
    int nextId = kFirstMenuId;
    std::function<void(HMENU, const std::vector<ui::MenuItem>&)> fill = [&](HMENU into,
                                                                           const std::vector<ui::MenuItem>& items) {
      for (const ui::MenuItem& item : items) {
        if (!item.visible) continue;
        if (item.isSeparator()) {
          AppendMenuW(into, MF_SEPARATOR, 0, nullptr);
          continue;
        }
        const std::wstring caption = itemCaption(item);
        const UINT flags = MF_STRING | (item.enabled ? 0 : MF_GRAYED) | (item.checked ? MF_CHECKED : 0);
        const UINT position = static_cast<UINT>(GetMenuItemCount(into));
        if (!item.items.empty()) {
          HMENU popup = CreatePopupMenu();
          fill(popup, item.items);
          AppendMenuW(into, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), caption.c_str());
          menuItems_[item.name] = {into, position};
          continue;
        }
        const int id = nextId++;
        menuIds_[id] = item.name;
        menuItems_[item.name] = {into, position};
        AppendMenuW(into, flags, static_cast<UINT_PTR>(id), caption.c_str());
      }
    };
    menu_.reset(CreateMenu());
    fill(menu_.get(), form_.menus());
  }
  if (hwnd_) {
    SetMenu(hwnd_, menu_.get());
    if (IsWindowVisible(hwnd_)) DrawMenuBar(hwnd_);
  }
}

void FormWindow::updateMenu() {
  // Same items as shown: their captions and states change in place.
  std::function<void(const std::vector<ui::MenuItem>&)> walk = [&](const std::vector<ui::MenuItem>& items) {
    for (const ui::MenuItem& item : items) {
      if (!item.visible || item.isSeparator()) continue;
      auto found = menuItems_.find(item.name);
      if (found != menuItems_.end()) {
        std::wstring caption = itemCaption(item);
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STATE | MIIM_STRING;
        info.fState = (item.enabled ? MFS_ENABLED : MFS_GRAYED) | (item.checked ? MFS_CHECKED : 0);
        info.dwTypeData = caption.data();
        SetMenuItemInfoW(found->second.first, found->second.second, TRUE, &info);
      }
      if (!item.items.empty()) walk(item.items);
    }
  };
  walk(form_.menus());
  if (IsWindowVisible(hwnd_)) DrawMenuBar(hwnd_);
}

}  // namespace ui::win32
