// The Win32 renderer of the form model: one generic window per form, one child window per control
// (BUTTON, STATIC, EDIT, COMBOBOX, list views in report style, virtual where the form asks for it,
// the status bar), a menu bar with its keyboard accelerators, timers, and twips turned into pixels
// by the screen's dots per inch. The user's actions come back as model events.

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/win32/WideText.h"
#include "platform/win32/Win32Forms.h"
#include "platform/win32/Win32Platform.h"

namespace platform::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"KrvForm";
constexpr int kFirstControlId = 100;
constexpr int kFirstMenuId = 1000;

int screenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

// The window's font: the system's message font, as dialogs use.
HFONT formFont() {
  static HFONT font = [] {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
      if (HFONT f = CreateFontIndirectW(&metrics.lfMessageFont)) return f;
    }
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }();
  return font;
}

int measureText(HWND window, std::string_view utf8) {
  const std::wstring text = wide(utf8);
  HDC dc = GetDC(window);
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, formFont());
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return size.cx;
}

UINT virtualKey(ui::Key key) {
  switch (key) {
    case ui::Key::Enter:
      return VK_RETURN;
    case ui::Key::Escape:
      return VK_ESCAPE;
    case ui::Key::Tab:
      return VK_TAB;
    case ui::Key::Delete:
      return VK_DELETE;
    case ui::Key::None:
      return 0;
    default:
      break;
  }
  const int f = static_cast<int>(key) - static_cast<int>(ui::Key::F1);
  return f >= 0 && f < 12 ? static_cast<UINT>(VK_F1 + f) : 0;
}

ui::Key keyOf(WPARAM vk) {
  switch (vk) {
    case VK_RETURN:
      return ui::Key::Enter;
    case VK_ESCAPE:
      return ui::Key::Escape;
    case VK_TAB:
      return ui::Key::Tab;
    case VK_DELETE:
      return ui::Key::Delete;
    default:
      break;
  }
  if (vk >= VK_F1 && vk <= VK_F12) return static_cast<ui::Key>(static_cast<int>(ui::Key::F1) + (vk - VK_F1));
  return ui::Key::None;
}

std::wstring shortcutText(ui::Key key) {
  switch (key) {
    case ui::Key::None:
      return L"";
    case ui::Key::Enter:
      return L"Enter";
    case ui::Key::Escape:
      return L"Esc";
    case ui::Key::Tab:
      return L"Tab";
    case ui::Key::Delete:
      return L"Del";
    default:
      break;
  }
  return L"F" + std::to_wstring(static_cast<int>(key) - static_cast<int>(ui::Key::F1) + 1);
}

class Win32FormToolkit;

// One shown form.
class FormWindow final : public ui::FormPeer {
 public:
  FormWindow(Win32FormToolkit& toolkit, ui::Form& form) : toolkit_(toolkit), form_(form) {}
  ~FormWindow() override;

  bool create(HWND owner);
  HWND hwnd() const { return hwnd_; }
  HACCEL accelerators() const { return accelerators_; }
  ui::Form& form() { return form_; }

  void formChanged(ui::Change what) override;
  void controlChanged(ui::Control& control, ui::Change what) override;
  void timerChanged(ui::Timer& timer) override;
  int textWidth(std::string_view utf8) override { return measureText(hwnd_, utf8) * tppX(); }

  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void destroy();

 private:
  int tppX() const { return 1440 / dpi_; }
  int tppY() const { return 1440 / dpi_; }
  int toPixelsX(int twips) const { return MulDiv(twips, dpi_, 1440); }
  int toPixelsY(int twips) const { return MulDiv(twips, dpi_, 1440); }

  void createControl(ui::Control& control, int id);
  void applyAll(ui::Control& control);
  void buildMenu();
  void applyBounds(ui::Control& control);
  void applyColumns(ui::ListView& list, HWND h);
  void applyItems(ui::ListView& list, HWND h);
  void applySelection(ui::ListView& list, HWND h);
  void applySort(ui::ListView& list, HWND h);
  void applyImages(ui::ListView& list, HWND h);
  void layoutStatusBars();
  void syncColumnWidths();
  void resized();
  LRESULT notify(NMHDR* header);
  void command(WPARAM wParam, LPARAM lParam);
  ui::Control* controlOf(HWND h) const;
  HWND handleOf(const ui::Control& control) const {
    auto found = handles_.find(&control);
    return found == handles_.end() ? nullptr : found->second;
  }

  Win32FormToolkit& toolkit_;
  ui::Form& form_;
  HWND hwnd_ = nullptr;
  HMENU menu_ = nullptr;
  HACCEL accelerators_ = nullptr;
  int dpi_ = 96;
  std::map<const ui::Control*, HWND> handles_;
  std::map<HWND, ui::Control*> controls_;
  std::map<int, std::string> menuIds_;
  std::map<const ui::ImageList*, HIMAGELIST> imageLists_;
  // The row last fetched for a virtual list: the list asks once per column.
  std::map<HWND, std::pair<std::size_t, ui::ListItem>> fetched_;
  // The row a mouse press selected, until the click that ends the press (-1: none).
  std::map<HWND, int> pressedRow_;
  std::wstring textBuffer_;
  bool applying_ = false;  // set while the model's changes are carried out, to tell them from the user's
};

class Win32FormToolkit final : public ui::FormToolkit {
 public:
  Win32FormToolkit() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &Win32FormToolkit::windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kFormClass;
    windowClass.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    RegisterClassExW(&windowClass);
  }

  void initCommonControls() override {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES |
                                                        ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
    if (!InitCommonControlsEx(&controls)) InitCommonControls();
  }
  ui::Answer messageBox(const ui::MessageBoxRequest& request) override { return showMessageBox(request); }
  // Like the plain pass over waiting messages, but with the forms' shortcuts and dialog keys.
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

  void show(ui::Form& form) override { showForm(form, nullptr, true); }

  void showModal(ui::Form& form, ui::Form* owner) override {
    HWND ownerWindow = owner && windows_.count(owner) ? windows_[owner]->hwnd() : GetActiveWindow();
    // The other windows of the program cannot be used while the modal form is shown.
    std::vector<HWND> disabled;
    for (auto& [other, window] : windows_) {
      if (other != &form && IsWindowEnabled(window->hwnd())) {
        EnableWindow(window->hwnd(), FALSE);
        disabled.push_back(window->hwnd());
      }
    }
    showForm(form, ownerWindow, false);
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
    for (HWND h : disabled)
      if (IsWindow(h)) EnableWindow(h, TRUE);
    if (ownerWindow && IsWindow(ownerWindow)) SetActiveWindow(ownerWindow);
  }

  void unload(ui::Form& form) override {
    auto found = windows_.find(&form);
    if (found == windows_.end()) return;
    std::unique_ptr<FormWindow> window = std::move(found->second);
    windows_.erase(found);
    form.attach(nullptr);
    window->destroy();
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
    return code;
  }

  int textWidth(const ui::Form&, std::string_view utf8) override {
    return measureText(nullptr, utf8) * (1440 / screenDpi());
  }

  ui::ScreenMetrics screen() override {
    ui::ScreenMetrics metrics;
    const int dpi = screenDpi();
    metrics.twipsPerPixelX = 1440 / dpi;
    metrics.twipsPerPixelY = 1440 / dpi;
    metrics.verticalScrollBarWidth = GetSystemMetrics(SM_CXVSCROLL);
    return metrics;
  }

  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* window = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window && window->hwnd() == hwnd) return window->handle(message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

 private:
  void showForm(ui::Form& form, HWND owner, bool modeless) {
    (void)modeless;
    if (form.loaded()) {
      ShowWindow(windows_[&form]->hwnd(), SW_SHOW);
      return;
    }
    auto window = std::make_unique<FormWindow>(*this, form);
    FormWindow& shown = *window;
    windows_[&form] = std::move(window);
    form.attach(&shown);
    if (!shown.create(owner)) {
      unload(form);
      return;
    }
    // Load runs before the window is seen, then the first resize lays it out.
    if (form.onLoad) form.onLoad();
    if (!form.loaded()) return;
    ShowWindow(shown.hwnd(), SW_SHOWNORMAL);
    UpdateWindow(shown.hwnd());
  }

  void dispatch(MSG& msg) {
    for (auto& [form, window] : windows_) {
      HWND h = window->hwnd();
      if (msg.hwnd != h && !IsChild(h, msg.hwnd)) continue;
      if (window->accelerators() && TranslateAcceleratorW(h, window->accelerators(), &msg)) return;
      if (IsDialogMessageW(h, &msg)) return;
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }

  std::map<ui::Form*, std::unique_ptr<FormWindow>> windows_;
  bool running_ = false;
};

FormWindow::~FormWindow() {
  destroy();
}

void FormWindow::destroy() {
  if (hwnd_) {
    HWND h = hwnd_;
    hwnd_ = nullptr;
    SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    DestroyWindow(h);
  }
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
  accelerators_ = nullptr;
  for (auto& [list, images] : imageLists_) ImageList_Destroy(images);
  imageLists_.clear();
}

bool FormWindow::create(HWND owner) {
  dpi_ = screenDpi();
  const DWORD style = form_.resizable ? WS_OVERLAPPEDWINDOW : (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
  const DWORD exStyle = WS_EX_CONTROLPARENT;
  buildMenu();
  RECT rect{0, 0, toPixelsX(form_.clientWidth()), toPixelsY(form_.clientHeight())};
  AdjustWindowRectEx(&rect, style, menu_ != nullptr, exStyle);
  hwnd_ = CreateWindowExW(exStyle, kFormClass, wide(form_.caption()).c_str(), style | WS_CLIPCHILDREN,
                          CW_USEDEFAULT, CW_USEDEFAULT, rect.right - rect.left, rect.bottom - rect.top, owner,
                          menu_, GetModuleHandleW(nullptr), this);
  if (!hwnd_) return false;
  if (form_.iconResourceId) {
    HICON big = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(form_.iconResourceId));
    if (big) SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  }
  // Children are created in tab order: the system's Tab key follows the order of creation.
  std::vector<std::pair<ui::Control*, int>> order;
  int id = kFirstControlId;
  for (ui::Control* control : form_.controls()) order.emplace_back(control, id++);
  std::stable_sort(order.begin(), order.end(),
                   [](const auto& a, const auto& b) { return a.first->tabIndex < b.first->tabIndex; });
  for (auto& [control, controlId] : order) createControl(*control, controlId);
  for (auto& timer : form_.timers()) timerChanged(*timer);
  resized();
  return true;
}

void FormWindow::buildMenu() {
  if (menu_) {
    SetMenu(hwnd_, nullptr);
    DestroyMenu(menu_);
    menu_ = nullptr;
  }
  if (accelerators_) {
    DestroyAcceleratorTable(accelerators_);
    accelerators_ = nullptr;
  }
  menuIds_.clear();
  if (form_.menus().empty()) return;
  std::vector<ACCEL> accelerators;
  int nextId = kFirstMenuId;
  std::function<void(HMENU, const std::vector<ui::MenuItem>&)> fill =
      [&](HMENU into, const std::vector<ui::MenuItem>& items) {
        for (const ui::MenuItem& item : items) {
          if (item.isSeparator()) {
            AppendMenuW(into, MF_SEPARATOR, 0, nullptr);
            continue;
          }
          std::wstring caption = wide(item.caption);
          UINT flags = MF_STRING | (item.enabled ? 0 : MF_GRAYED) | (item.checked ? MF_CHECKED : 0);
          if (!item.items.empty()) {
            HMENU popup = CreatePopupMenu();
            fill(popup, item.items);
            AppendMenuW(into, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), caption.c_str());
            continue;
          }
          const int id = nextId++;
          menuIds_[id] = item.name;
          if (const UINT vk = virtualKey(item.shortcut)) {
            caption += L"\t" + shortcutText(item.shortcut);
            accelerators.push_back(ACCEL{FVIRTKEY, static_cast<WORD>(vk), static_cast<WORD>(id)});
          }
          AppendMenuW(into, flags, static_cast<UINT_PTR>(id), caption.c_str());
        }
      };
  menu_ = CreateMenu();
  fill(menu_, form_.menus());
  if (!accelerators.empty())
    accelerators_ = CreateAcceleratorTableW(accelerators.data(), static_cast<int>(accelerators.size()));
  if (hwnd_) {
    SetMenu(hwnd_, menu_);
    DrawMenuBar(hwnd_);
  }
}

void FormWindow::createControl(ui::Control& control, int id) {
  const wchar_t* windowClass = L"STATIC";
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD exStyle = 0;
  switch (control.kind()) {
    case ui::ControlKind::Button:
      windowClass = L"BUTTON";
      style |= WS_TABSTOP | (control.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      break;
    case ui::ControlKind::CheckBox:
      windowClass = L"BUTTON";
      style |= WS_TABSTOP | BS_AUTOCHECKBOX;
      break;
    case ui::ControlKind::OptionButton:
      windowClass = L"BUTTON";
      style |= WS_TABSTOP | BS_AUTORADIOBUTTON;
      break;
    case ui::ControlKind::Frame:
      windowClass = L"BUTTON";
      style |= BS_GROUPBOX;
      break;
    case ui::ControlKind::Label:
      style |= SS_LEFT;
      break;
    case ui::ControlKind::Picture:
      style |= SS_ICON;
      break;
    case ui::ControlKind::TextBox:
      windowClass = L"EDIT";
      style |= WS_TABSTOP | ES_AUTOHSCROLL | (control.password ? ES_PASSWORD : 0);
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    case ui::ControlKind::ComboBox:
      windowClass = L"COMBOBOX";
      style |= WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL;
      break;
    case ui::ControlKind::ListView: {
      windowClass = WC_LISTVIEWW;
      auto& list = static_cast<ui::ListView&>(control);
      style |= WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL |
               (list.isVirtual() ? LVS_OWNERDATA : 0);
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    }
    case ui::ControlKind::StatusBar:
      windowClass = STATUSCLASSNAMEW;
      style |= form_.resizable ? SBARS_SIZEGRIP : 0;
      break;
    case ui::ControlKind::TabStrip:
      windowClass = WC_TABCONTROLW;
      style |= WS_TABSTOP;
      break;
    case ui::ControlKind::UpDown:
      windowClass = UPDOWN_CLASSW;
      style |= UDS_ARROWKEYS | UDS_SETBUDDYINT;
      break;
  }
  HWND h =
      CreateWindowExW(exStyle, windowClass, L"", style, 0, 0, 0, 0, hwnd_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!h) return;
  handles_[&control] = h;
  controls_[h] = &control;
  SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(formFont()), FALSE);
  if (control.kind() == ui::ControlKind::ListView) {
    SendMessageW(h, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  }
  if (control.kind() == ui::ControlKind::StatusBar) SendMessageW(h, SB_SIMPLE, TRUE, 0);
  applyAll(control);
}

void FormWindow::applyAll(ui::Control& control) {
  applying_ = true;
  controlChanged(control, ui::Change::Caption);
  controlChanged(control, ui::Change::Enabled);
  controlChanged(control, ui::Change::Bounds);
  if (!control.listTexts().empty()) controlChanged(control, ui::Change::Items);
  controlChanged(control, ui::Change::Value);
  if (control.kind() == ui::ControlKind::ListView) {
    controlChanged(control, ui::Change::ImageList);
    controlChanged(control, ui::Change::Columns);
    controlChanged(control, ui::Change::Items);
    controlChanged(control, ui::Change::Selection);
    controlChanged(control, ui::Change::SortState);
  }
  controlChanged(control, ui::Change::Visible);
  applying_ = false;
}

void FormWindow::formChanged(ui::Change what) {
  if (!hwnd_) return;
  if (what == ui::Change::Caption) SetWindowTextW(hwnd_, wide(form_.caption()).c_str());
  if (what == ui::Change::Menu) buildMenu();
  if (what == ui::Change::Bounds) {
    RECT rect{0, 0, toPixelsX(form_.clientWidth()), toPixelsY(form_.clientHeight())};
    AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), menu_ != nullptr,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
    SetWindowPos(hwnd_, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER);
  }
}

void FormWindow::controlChanged(ui::Control& control, ui::Change what) {
  HWND h = handleOf(control);
  if (!h) return;
  const bool wasApplying = applying_;
  applying_ = true;
  const bool list = control.kind() == ui::ControlKind::ListView;
  switch (what) {
    case ui::Change::Caption:
      if (control.kind() == ui::ControlKind::StatusBar) {
        SendMessageW(h, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(wide(control.caption()).c_str()));
      } else if (!list) {
        SetWindowTextW(h, wide(control.caption()).c_str());
      }
      break;
    case ui::Change::Enabled:
      EnableWindow(h, control.enabled());
      break;
    case ui::Change::Visible:
      ShowWindow(h, control.visible() ? SW_SHOWNA : SW_HIDE);
      break;
    case ui::Change::Bounds:
      applyBounds(control);
      break;
    case ui::Change::Value:
      if (control.kind() == ui::ControlKind::CheckBox || control.kind() == ui::ControlKind::OptionButton) {
        SendMessageW(h, BM_SETCHECK, control.value() ? BST_CHECKED : BST_UNCHECKED, 0);
      } else if (control.kind() == ui::ControlKind::ComboBox) {
        SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(control.value()), 0);
      } else if (control.kind() == ui::ControlKind::TabStrip) {
        SendMessageW(h, TCM_SETCURSEL, static_cast<WPARAM>(control.value()), 0);
      } else if (control.kind() == ui::ControlKind::UpDown) {
        SendMessageW(h, UDM_SETRANGE32, static_cast<WPARAM>(control.rangeMin), control.rangeMax);
        SendMessageW(h, UDM_SETPOS32, 0, control.value());
      }
      break;
    case ui::Change::Columns:
      if (list) applyColumns(static_cast<ui::ListView&>(control), h);
      break;
    case ui::Change::Items:
      if (list) {
        applyItems(static_cast<ui::ListView&>(control), h);
      } else if (control.kind() == ui::ControlKind::ComboBox) {
        SendMessageW(h, CB_RESETCONTENT, 0, 0);
        for (const std::string& text : control.listTexts())
          SendMessageW(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(text).c_str()));
        SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(control.value()), 0);
      } else if (control.kind() == ui::ControlKind::TabStrip) {
        SendMessageW(h, TCM_DELETEALLITEMS, 0, 0);
        for (std::size_t i = 0; i < control.listTexts().size(); ++i) {
          std::wstring text = wide(control.listTexts()[i]);
          TCITEMW tab{};
          tab.mask = TCIF_TEXT;
          tab.pszText = text.data();
          SendMessageW(h, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&tab));
        }
        SendMessageW(h, TCM_SETCURSEL, static_cast<WPARAM>(control.value()), 0);
      }
      break;
    case ui::Change::Selection:
      if (list) applySelection(static_cast<ui::ListView&>(control), h);
      break;
    case ui::Change::ScrollInto:
      if (list) {
        const auto& l = static_cast<ui::ListView&>(control);
        if (l.selectedIndex() >= 0)
          SendMessageW(h, LVM_ENSUREVISIBLE, static_cast<WPARAM>(l.selectedIndex()), FALSE);
      }
      break;
    case ui::Change::SortState:
      if (list) applySort(static_cast<ui::ListView&>(control), h);
      break;
    case ui::Change::ImageList:
      if (list) applyImages(static_cast<ui::ListView&>(control), h);
      break;
    case ui::Change::Menu:
    case ui::Change::Timer:
      break;
  }
  applying_ = wasApplying;
}

void FormWindow::applyBounds(ui::Control& control) {
  HWND h = handleOf(control);
  if (control.kind() == ui::ControlKind::StatusBar) {
    layoutStatusBars();
    return;
  }
  const ui::Bounds& b = control.bounds();
  MoveWindow(h, toPixelsX(b.left), toPixelsY(b.top), toPixelsX(b.width), toPixelsY(b.height), TRUE);
}

void FormWindow::applyColumns(ui::ListView& list, HWND h) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(h, LVM_GETHEADER, 0, 0));
  const int existing = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  const auto& columns = list.columns();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    std::wstring text = wide(columns[i].header);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = text.data();
    // Column widths are limited by the system's coordinates.
    column.cx = std::min(toPixelsX(columns[i].width), 32000);
    column.iSubItem = static_cast<int>(i);
    if (static_cast<int>(i) < existing) {
      SendMessageW(h, LVM_SETCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    } else {
      SendMessageW(h, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
  }
  for (int i = existing - 1; i >= static_cast<int>(columns.size()); --i)
    SendMessageW(h, LVM_DELETECOLUMN, i, 0);
  applySort(list, h);
}

void FormWindow::applyItems(ui::ListView& list, HWND h) {
  fetched_.erase(h);
  if (list.isVirtual()) {
    SendMessageW(h, LVM_SETITEMCOUNT, list.itemCount(), LVSICF_NOINVALIDATEALL);
    InvalidateRect(h, nullptr, TRUE);
    return;
  }
  SendMessageW(h, WM_SETREDRAW, FALSE, 0);
  SendMessageW(h, LVM_DELETEALLITEMS, 0, 0);
  const ui::ImageList* images = list.smallIcons();
  for (std::size_t row = 0; row < list.itemCount(); ++row) {
    const ui::ListItem item = list.item(row);
    std::wstring text = wide(item.text);
    LVITEMW entry{};
    entry.mask = LVIF_TEXT | LVIF_IMAGE;
    entry.iItem = static_cast<int>(row);
    entry.pszText = text.data();
    entry.iImage = images ? images->indexOf(item.iconKey) : -1;
    const int at = static_cast<int>(SendMessageW(h, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&entry)));
    for (std::size_t sub = 0; sub < item.subItems.size(); ++sub) {
      std::wstring subText = wide(item.subItems[sub]);
      LVITEMW subItem{};
      subItem.iSubItem = static_cast<int>(sub + 1);
      subItem.pszText = subText.data();
      SendMessageW(h, LVM_SETITEMTEXTW, at, reinterpret_cast<LPARAM>(&subItem));
    }
  }
  SendMessageW(h, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(h, nullptr, TRUE);
}

void FormWindow::applySelection(ui::ListView& list, HWND h) {
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = 0;
  // Only the rows that are selected or focused are cleared: clearing "all rows" walks every row of
  // a virtual list, which for a log of a million entries takes seconds.
  for (const UINT flag : {LVNI_SELECTED, LVNI_FOCUSED}) {
    const auto row = SendMessageW(h, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), flag);
    if (row >= 0 && row != list.selectedIndex())
      SendMessageW(h, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
  }
  if (list.selectedIndex() >= 0) {
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(h, LVM_SETITEMSTATE, static_cast<WPARAM>(list.selectedIndex()),
                 reinterpret_cast<LPARAM>(&state));
  }
}

void FormWindow::applySort(ui::ListView& list, HWND h) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(h, LVM_GETHEADER, 0, 0));
  if (!header) return;
  const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (list.sorted() && static_cast<std::size_t>(i) == list.sortKey())
      item.fmt |= list.sortOrder() == ui::SortOrder::Ascending ? HDF_SORTUP : HDF_SORTDOWN;
    SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
}

void FormWindow::applyImages(ui::ListView& list, HWND h) {
  const ui::ImageList* images = list.smallIcons();
  if (!images) return;
  HIMAGELIST& handle = imageLists_[images];
  if (!handle) {
    const int size = MulDiv(images->imageSize, dpi_, 96);
    handle = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, static_cast<int>(images->images.size()), 0);
    for (const auto& image : images->images) {
      HICON icon = static_cast<HICON>(LoadImageW(
          GetModuleHandleW(nullptr), MAKEINTRESOURCEW(image.resourceId), IMAGE_ICON, size, size, 0));
      ImageList_AddIcon(handle, icon);
      if (icon) DestroyIcon(icon);
    }
  }
  SendMessageW(h, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(handle));
}

void FormWindow::layoutStatusBars() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  for (auto& [control, h] : handles_) {
    if (control->kind() != ui::ControlKind::StatusBar) continue;
    SendMessageW(h, WM_SIZE, 0, 0);
    RECT bar{};
    GetWindowRect(h, &bar);
    const int height = bar.bottom - bar.top;
    const_cast<ui::Control*>(control)->realizedBounds(
        {0, (client.bottom - height) * tppY(), client.right * tppX(), height * tppY()});
  }
}

void FormWindow::syncColumnWidths() {
  for (auto& [control, h] : handles_) {
    if (control->kind() != ui::ControlKind::ListView) continue;
    auto* list = const_cast<ui::ListView*>(static_cast<const ui::ListView*>(control));
    for (std::size_t i = 0; i < list->columns().size(); ++i) {
      const int pixels = static_cast<int>(SendMessageW(h, LVM_GETCOLUMNWIDTH, i, 0));
      // Only a width the user changed is written back: a width the system could not show whole
      // (wider than its coordinates allow) stays as the program set it.
      if (pixels != std::min(toPixelsX(list->columnWidth(i)), 32000))
        list->userSetColumnWidth(i, pixels * tppX());
    }
  }
}

void FormWindow::resized() {
  layoutStatusBars();
  syncColumnWidths();
  RECT client{};
  GetClientRect(hwnd_, &client);
  form_.userResized(client.right * tppX(), client.bottom * tppY());
}

ui::Control* FormWindow::controlOf(HWND h) const {
  auto found = controls_.find(h);
  return found == controls_.end() ? nullptr : found->second;
}

LRESULT FormWindow::notify(NMHDR* header) {
  ui::Control* control = controlOf(header->hwndFrom);
  if (control && control->kind() == ui::ControlKind::TabStrip && header->code == TCN_SELCHANGE) {
    control->userSetValue(static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
    return 0;
  }
  if (control && control->kind() == ui::ControlKind::UpDown && header->code == UDN_DELTAPOS) {
    const auto* delta = reinterpret_cast<NMUPDOWN*>(header);
    control->userSetValue(std::clamp(delta->iPos + delta->iDelta, control->rangeMin, control->rangeMax));
    return 0;
  }
  if (!control || control->kind() != ui::ControlKind::ListView) {
    if (header->code == HDN_ENDTRACKW || header->code == HDN_ITEMCHANGEDW) syncColumnWidths();
    return 0;
  }
  auto& list = static_cast<ui::ListView&>(*control);
  switch (header->code) {
    case LVN_GETDISPINFOW: {
      auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
      const auto row = static_cast<std::size_t>(info->item.iItem);
      auto cached = fetched_.find(header->hwndFrom);
      if (cached == fetched_.end() || cached->second.first != row) {
        cached = fetched_.insert_or_assign(header->hwndFrom, std::make_pair(row, list.item(row))).first;
      }
      const ui::ListItem& item = cached->second.second;
      if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
        const std::size_t sub = static_cast<std::size_t>(info->item.iSubItem);
        const std::string& text =
            sub == 0 ? item.text : (sub - 1 < item.subItems.size() ? item.subItems[sub - 1] : "");
        textBuffer_ = wide(text);
        const std::size_t n =
            std::min<std::size_t>(textBuffer_.size(), static_cast<std::size_t>(info->item.cchTextMax) - 1);
        std::copy_n(textBuffer_.data(), n, info->item.pszText);
        info->item.pszText[n] = L'\0';
      }
      if (info->item.mask & LVIF_IMAGE) {
        const ui::ImageList* images = list.smallIcons();
        const int index = images ? images->indexOf(item.iconKey) : -1;
        info->item.iImage = index >= 0 ? index : I_IMAGENONE;
      }
      return 0;
    }
    case LVN_ITEMCHANGED: {
      auto* change = reinterpret_cast<NMLISTVIEW*>(header);
      if (!applying_ && change->iItem >= 0 && (change->uNewState & LVIS_SELECTED) &&
          !(change->uOldState & LVIS_SELECTED)) {
        // A row the mouse button selects is clicked once: the click that ends this press is
        // not a second one.
        pressedRow_[header->hwndFrom] = GetKeyState(VK_LBUTTON) < 0 ? change->iItem : -1;
        list.userClickItem(static_cast<std::size_t>(change->iItem));
      }
      return 0;
    }
    case NM_CLICK: {
      // A click on the row already selected changes no selection, yet it is a click on that row
      // (its detail shown again, say).
      auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
      int& pressed = pressedRow_.try_emplace(header->hwndFrom, -1).first->second;
      const bool counted = click->iItem == pressed;
      pressed = -1;
      if (!applying_ && !counted && click->iItem >= 0 &&
          static_cast<std::ptrdiff_t>(click->iItem) == list.selectedIndex()) {
        list.userClickItem(static_cast<std::size_t>(click->iItem));
      }
      return 0;
    }
    case LVN_BEGINDRAG:
      pressedRow_[header->hwndFrom] = -1;
      return 0;
    case LVN_COLUMNCLICK: {
      auto* click = reinterpret_cast<NMLISTVIEW*>(header);
      syncColumnWidths();
      list.userClickColumn(static_cast<std::size_t>(click->iSubItem));
      return 0;
    }
    case LVN_KEYDOWN: {
      auto* key = reinterpret_cast<NMLVKEYDOWN*>(header);
      const ui::Key k = keyOf(key->wVKey);
      if (k != ui::Key::None) list.keyDown(k);
      return 0;
    }
    default:
      return 0;
  }
}

void FormWindow::command(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (lParam == 0) {
    // A menu item or its accelerator; IDOK and IDCANCEL come from Enter and Esc.
    if (id == IDOK || id == IDCANCEL) {
      for (ui::Control* control : form_.controls()) {
        if ((id == IDOK ? control->isDefault : control->isCancel) && control->enabled() &&
            control->visible()) {
          control->click();
          return;
        }
      }
      return;
    }
    auto found = menuIds_.find(id);
    if (found == menuIds_.end()) return;
    // The choice may unload the form and with it this window: nothing of it is used afterwards.
    const std::string name = found->second;
    form_.clickMenu(name);
    return;
  }
  ui::Control* control = controlOf(reinterpret_cast<HWND>(lParam));
  if (!control || applying_) return;
  HWND h = reinterpret_cast<HWND>(lParam);
  switch (control->kind()) {
    case ui::ControlKind::Button:
      if (code == BN_CLICKED) control->click();
      break;
    case ui::ControlKind::CheckBox:
    case ui::ControlKind::OptionButton:
      if (code == BN_CLICKED) {
        control->userSetValue(SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
        control->click();
      }
      break;
    case ui::ControlKind::TextBox:
      if (code == EN_CHANGE) {
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(h, text.data(), static_cast<int>(text.size()))));
        control->userSetCaption(narrow(text));
      } else if (code == EN_SETFOCUS && control->onGotFocus) {
        control->onGotFocus();
      } else if (code == EN_KILLFOCUS && control->onLostFocus) {
        control->onLostFocus();
      }
      break;
    case ui::ControlKind::ComboBox:
      if (code == CBN_SELCHANGE) control->userSetValue(static_cast<int>(SendMessageW(h, CB_GETCURSEL, 0, 0)));
      break;
    default:
      break;
  }
}

void FormWindow::timerChanged(ui::Timer& timer) {
  if (!hwnd_) return;
  const auto& timers = form_.timers();
  for (std::size_t i = 0; i < timers.size(); ++i) {
    if (timers[i].get() != &timer) continue;
    const UINT_PTR id = i + 1;
    if (timer.enabled && timer.intervalMs > 0) {
      SetTimer(hwnd_, id, static_cast<UINT>(timer.intervalMs), nullptr);
    } else {
      KillTimer(hwnd_, id);
    }
  }
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) resized();
      return 0;
    case WM_NOTIFY:
      return notify(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
      command(wParam, lParam);
      return 0;
    case WM_TIMER: {
      const auto& timers = form_.timers();
      const std::size_t index = static_cast<std::size_t>(wParam) - 1;
      if (index < timers.size() && timers[index]->enabled && timers[index]->onTimer) timers[index]->onTimer();
      return 0;
    }
    case WM_CLOSE:
      // The model decides: unloading the form destroys this window.
      form_.unload();
      return 0;
    case WM_GETMINMAXINFO:
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace

std::unique_ptr<ui::FormToolkit> createFormToolkit() {
  return std::make_unique<Win32FormToolkit>();
}

}  // namespace platform::win32
