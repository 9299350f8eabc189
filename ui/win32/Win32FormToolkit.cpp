// The Win32 toolkit of the form model: one window per shown form (FormWindow), one message loop in
// which modal forms nest, keys handed to the model's rules, and message boxes.

#include "ui/win32/Win32FormToolkit.h"

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/win32/WideText.h"
#include "ui/win32/FormWindow.h"
#include "ui/win32/Keys.h"
#include "ui/win32/MessageBox.h"

namespace ui::win32 {
namespace {

ui::Modifiers heldModifiers() {
  return {GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0};
}

// The system's message font, as dialogs use; owned by the toolkit for the program's life.
OwnedFont messageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    if (HFONT f = CreateFontIndirectW(&metrics.lfMessageFont)) return OwnedFont(f);
  }
  return nullptr;
}

// Shared icons: loaded once, never destroyed, as the class keeps them for the program's life.
HICON classIcon(int metric) {
  const int size = GetSystemMetrics(metric);
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId),
                                       IMAGE_ICON, size, size, LR_SHARED));
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    if (create->lpCreateParams)
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  // While the form's window is being made, and once it goes, the system's defaults answer.
  auto* window = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (window && window->hwnd()) return window->handle(hwnd, message, wParam, lParam);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

class Win32FormToolkit final : public ui::FormToolkit {
 public:
  Win32FormToolkit() : font_(messageFont()) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kFormClass;
    // The program's icon (resource 1) at both sizes the frames show: forms with that icon need no
    // icon of their own.
    windowClass.hIcon = classIcon(SM_CXICON);
    windowClass.hIconSm = classIcon(SM_CXSMICON);
    RegisterClassExW(&windowClass);
    windowClass.lpszClassName = kPanelClass;
    windowClass.hIcon = windowClass.hIconSm = nullptr;
    windowClass.hbrBackground = nullptr;
    RegisterClassExW(&windowClass);
  }
  ~Win32FormToolkit() override {
    while (!windows_.empty()) unload(*windows_.begin()->first);
    graveyard_.clear();
  }

  void initCommonControls() override {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                                        ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
    if (!InitCommonControlsEx(&controls)) InitCommonControls();
  }
  ui::Answer messageBox(const ui::MessageBoxRequest& request) override { return showMessageBox(request); }
  void processPendingEvents() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      dispatch(msg);
    }
  }

  void show(ui::Form& form) override { showForm(form, nullptr); }

  void showModal(ui::Form& form, ui::Form* owner) override {
    if (form.loaded()) return;
    HWND ownerWindow = nullptr;
    if (owner && windows_.count(owner)) ownerWindow = windows_[owner]->hwnd();
    if (!ownerWindow) ownerWindow = GetActiveWindow();
    // The program's other windows cannot be used while the modal form is shown.
    std::vector<HWND> disabled;
    for (auto& [other, window] : windows_) {
      if (IsWindowEnabled(window->hwnd())) {
        EnableWindow(window->hwnd(), FALSE);
        disabled.push_back(window->hwnd());
      }
    }
    if (!showForm(form, ownerWindow)) {
      reenable(disabled);
      return;
    }
    windows_[&form]->disabledOwners = disabled;
    MSG msg;
    while (form.loaded()) {
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (got < 0) break;
      dispatch(msg);
    }
    if (form.loaded()) unload(form);
    if (ownerWindow && IsWindow(ownerWindow)) SetActiveWindow(ownerWindow);
  }

  void unload(ui::Form& form) override {
    auto found = windows_.find(&form);
    if (found == windows_.end()) return;
    std::unique_ptr<FormWindow> window = std::move(found->second);
    windows_.erase(found);
    form.attach(nullptr);
    // The owner comes back before the dialog goes, so that the system activates it, not another
    // program's window.
    reenable(window->disabledOwners);
    window->destroyWindow();
    // The window object may be on the stack below (the form unloaded from its own handler): it is
    // released once that handler has returned.
    graveyard_.push_back(std::move(window));
    if (windows_.empty() && running_) PostQuitMessage(0);
  }

  int run() override {
    running_ = true;
    MSG msg;
    int code = 0;
    while (!windows_.empty()) {
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == 0) {
        code = static_cast<int>(msg.wParam);
        break;
      }
      if (got < 0) break;
      dispatch(msg);
    }
    running_ = false;
    graveyard_.clear();
    return code;
  }

  int textWidth(const ui::Form&, std::string_view utf8) override {
    const std::wstring text = platform::win32::wide(utf8);
    WindowDC dc(nullptr);
    Selected selected(dc.get(), font_.get());
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return MulDiv(size.cx, 1440, screen().dpi);
  }

  ui::ScreenMetrics screen() override {
    ui::ScreenMetrics metrics;
    metrics.dpi = screenDpi();
    metrics.twipsPerPixelX = metrics.twipsPerPixelY = 1440 / metrics.dpi;
    metrics.verticalScrollBarWidth = GetSystemMetrics(SM_CXVSCROLL);
    return metrics;
  }

 private:
  static void reenable(const std::vector<HWND>& windows) {
    for (HWND h : windows)
      if (IsWindow(h)) EnableWindow(h, TRUE);
  }

  bool showForm(ui::Form& form, HWND owner) {
    if (form.loaded()) {
      ShowWindow(windows_[&form]->hwnd(), SW_SHOW);
      return true;
    }
    auto window = std::make_unique<FormWindow>(form, font_ ? font_.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    FormWindow& shown = *window;
    windows_[&form] = std::move(window);
    form.attach(&shown);
    if (!shown.create(owner)) {
      unload(form);
      return false;
    }
    // Load runs before the window is seen, and before the controls have windows: they are made
    // afterwards with what Load gave them. The focus then goes where the program put it.
    if (form.onLoad) form.onLoad();
    if (!form.loaded()) return false;
    shown.createControls();
    ShowWindow(shown.hwnd(), SW_SHOWNORMAL);
    // A program started hidden (show state 0) has its first ShowWindow taken as that state: the
    // window asks again, so that it is seen.
    if (!IsWindowVisible(shown.hwnd())) ShowWindow(shown.hwnd(), SW_SHOWNORMAL);
    SetForegroundWindow(shown.hwnd());
    UpdateWindow(shown.hwnd());
    shown.painted();
    form.realized();
    return form.loaded();
  }

  FormWindow* formOf(HWND h) {
    HWND top = h ? GetAncestor(h, GA_ROOT) : nullptr;
    for (auto& [form, window] : windows_)
      if (window->hwnd() == top) return window.get();
    return nullptr;
  }

  void dispatch(MSG& msg) {
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
      if (FormWindow* window = formOf(msg.hwnd)) {
        const ui::Key key = keyOf(msg.wParam);
        // An open drop-down list keeps Enter and Esc for itself.
        wchar_t className[16] = {};
        GetClassNameW(msg.hwnd, className, 16);
        const bool droppedList = lstrcmpiW(className, L"ComboBox") == 0 && SendMessageW(msg.hwnd, CB_GETDROPPEDSTATE, 0, 0);
        if (key != ui::Key::None && !(droppedList && (key == ui::Key::Enter || key == ui::Key::Escape))) {
          // The form's rules decide; the form may be gone afterwards.
          ++depth_;
          const bool used = window->form().keyDown(key, heldModifiers());
          --depth_;
          if (used) {
            bury();
            return;
          }
        }
      }
    }
    TranslateMessage(&msg);
    ++depth_;
    DispatchMessageW(&msg);
    --depth_;
    bury();
  }

  // Windows unloaded from their own handlers go once no handler runs any more: a nested loop (a
  // modal form, a wait that lets events run) leaves them to the outermost one.
  void bury() {
    if (depth_ == 0) graveyard_.clear();
  }

  OwnedFont font_;
  std::map<ui::Form*, std::unique_ptr<FormWindow>> windows_;
  std::vector<std::unique_ptr<FormWindow>> graveyard_;
  bool running_ = false;
  int depth_ = 0;
};

}  // namespace

std::unique_ptr<ui::FormToolkit> createFormToolkit() {
  return std::make_unique<Win32FormToolkit>();
}

}  // namespace ui::win32
