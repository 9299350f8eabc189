// The window procedure of the form and of its containers (frames, picture boxes, tab pages): what
// the controls report (notifications and commands), clicks on images, colours, painting of the
// containers, the focus given back on activation, resizing, timers and the close box.

#include "ui/win32/FormWindow.h"

namespace ui::win32 {

LRESULT FormWindow::notify(NMHDR* header) {
  ui::Control* control = controlOf(header->hwndFrom);
  if (!control) {
    // A list view's column header.
    if (header->code == HDN_ENDTRACKW || header->code == HDN_ITEMCHANGEDW) syncColumnWidths();
    return 0;
  }
  if (header->code == NM_SETFOCUS) {
    form_.userFocusChanged(control);
    return 0;
  }
  // A tab strip clicked takes the focus without telling: its first notification after that does.
  if (GetFocus() == header->hwndFrom && form_.focused() != control) form_.userFocusChanged(control);
  return realizerOf(control->kind()).notify(*this, *control, header);
}

void FormWindow::command(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (lParam == 0) {
    auto found = menuIds_.find(id);
    if (found == menuIds_.end()) return;
    // The choice may unload the form and with it this window: nothing of it is used afterwards.
    const std::string name = found->second;
    form_.clickMenu(name);
    return;
  }
  HWND h = reinterpret_cast<HWND>(lParam);
  ui::Control* control = controlOf(h);
  if (!control) return;
  // Focus moves are the system's, whoever caused them.
  if ((code == EN_SETFOCUS && control->kind() == ui::ControlKind::TextBox) ||
      (code == BN_SETFOCUS && (control->kind() == ui::ControlKind::Button ||
                               control->kind() == ui::ControlKind::CheckBox ||
                               control->kind() == ui::ControlKind::OptionButton)) ||
      (code == CBN_SETFOCUS && control->kind() == ui::ControlKind::ComboBox)) {
    form_.userFocusChanged(control);
    return;
  }
  if (applying_) return;
  realizerOf(control->kind()).command(*this, *control, h, code);
}

LRESULT FormWindow::handle(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool isForm = h == hwnd_;
  switch (message) {
    case WM_NOTIFY:
      return notify(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
      command(wParam, lParam);
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return colorControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR: {
      const ui::Control* control = controlOf(reinterpret_cast<HWND>(wParam));
      if (control && control->link() && control->usable()) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    }
    case WM_LBUTTONUP: {
      // A click on an image, which has no window to take it.
      const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      ui::Control* image = imageAt(h, point);
      if (image && image->usable()) {
        image->click();
        return 0;
      }
      break;
    }
    default:
      break;
  }
  if (!isForm) {
    switch (message) {
      case WM_NCPAINT:
        // As for labels: a frameless frame or picture box has no frame to paint.
        if (frameless(h)) return 0;
        return DefWindowProcW(h, message, wParam, lParam);
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(h, &paint);
        paintPanel(h, dc);
        EndPaint(h, &paint);
        return 0;
      }
      default:
        return DefWindowProcW(h, message, wParam, lParam);
    }
  }
  switch (message) {
    case WM_ERASEBKGND: {
      RECT rect{};
      GetClientRect(h, &rect);
      FillRect(reinterpret_cast<HDC>(wParam), &rect, GetSysColorBrush(COLOR_BTNFACE));
      paintWindowless(reinterpret_cast<HDC>(wParam), nullptr, -1);
      return 1;
    }
    case WM_ACTIVATE:
      // As a dialog does: the keyboard goes back to the control the form counts as focused (after
      // a message box, say), not to the form's own window, where keys would reach no control.
      if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam) && focusBackOnActivation()) return 0;
      break;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) resized();
      return 0;
    case WM_TIMER: {
      if (wParam == kLabelsTimer) {
        KillTimer(h, kLabelsTimer);
        createAwaitedLabels();
        return 0;
      }
      const auto& timers = form_.timers();
      const std::size_t index = static_cast<std::size_t>(wParam) - 1;
      if (index < timers.size() && timers[index]->enabled && timers[index]->onTimer) timers[index]->onTimer();
      return 0;
    }
    case WM_CLOSE:
      // The close box unloads the form as the program's own unload does; that destroys this window.
      form_.unload();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(h, message, wParam, lParam);
}

}  // namespace ui::win32
