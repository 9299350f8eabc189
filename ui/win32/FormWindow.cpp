// The form's window and its controls' windows: made, changed as the model changes, and destroyed;
// the focus and the timers. The window procedure is in FormWindowProc.cpp.

#include "ui/win32/FormWindow.h"

#include <algorithm>

#include "platform/win32/WideText.h"

namespace ui::win32 {
namespace {

using platform::win32::wide;

// Labels and buttons. The system's painting of a window's frame draws nothing on a frameless one,
// yet takes a device context of its own each time the window is shown: a third of what showing a
// label costs.
LRESULT CALLBACK framelessControlProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR) {
  if (message == WM_NCPAINT && frameless(h)) return 0;
  if (message == WM_NCDESTROY) RemoveWindowSubclass(h, &framelessControlProc, id);
  return DefSubclassProc(h, message, wParam, lParam);
}

}  // namespace

bool frameless(HWND h) {
  const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrW(h, GWL_EXSTYLE);
  return !(style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_HSCROLL | WS_VSCROLL)) &&
         !(exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME));
}

int screenDpi() {
  WindowDC screen(nullptr);
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
  return dpi > 0 ? dpi : 96;
}

FormWindow::~FormWindow() {
  destroyWindow();
}

void FormWindow::destroyWindow() {
  if (!hwnd_) return;
  HWND h = hwnd_;
  hwnd_ = nullptr;
  // Nothing of the model is reached while the windows go.
  SetWindowLongPtrW(h, GWLP_USERDATA, 0);
  for (auto& [control, child] : handles_) {
    if (control->isContainer()) SetWindowLongPtrW(child, GWLP_USERDATA, 0);
    realizerOf(control->kind()).destroyed(child);
  }
  for (auto& [page, owner] : pageOwners_) SetWindowLongPtrW(page, GWLP_USERDATA, 0);
  SetMenu(h, nullptr);
  DestroyWindow(h);
  handles_.clear();
  controls_.clear();
  pages_.clear();
  pageOwners_.clear();
}

bool FormWindow::create(HWND owner) {
  dpi_ = screenDpi();
  DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  DWORD exStyle = WS_EX_CONTROLPARENT;
  switch (form_.style) {
    case ui::FormStyle::Sizable:
      style |= WS_OVERLAPPEDWINDOW;
      exStyle |= WS_EX_APPWINDOW;
      owner = nullptr;
      break;
    case ui::FormStyle::Fixed:
      style |= WS_MINIMIZEBOX;
      exStyle |= WS_EX_APPWINDOW;
      owner = nullptr;
      break;
    case ui::FormStyle::Dialog:
      style |= WS_POPUP;
      exStyle |= WS_EX_DLGMODALFRAME;
      break;
  }
  buildMenu();
  RECT rect{0, 0, pixelsX(form_.clientWidth()), pixelsY(form_.clientHeight())};
  AdjustWindowRectEx(&rect, style, menu_ != nullptr, exStyle);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
  if (form_.style == ui::FormStyle::Dialog) {
    // Centred on the owner, or on the screen's work area when there is none; kept on the screen.
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT centre = area;
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &centre);
    x = centre.left + (centre.right - centre.left - width) / 2;
    y = centre.top + (centre.bottom - centre.top - height) / 2;
    x = std::max<int>(area.left, std::min<int>(x, area.right - width));
    y = std::max<int>(area.top, std::min<int>(y, area.bottom - height));
  }
  hwnd_ = CreateWindowExW(exStyle, kFormClass, wide(form_.caption()).c_str(), style, x, y, width, height, owner,
                          menu_.get(), GetModuleHandleW(nullptr), this);
  if (!hwnd_) return false;
  showFormIcon();
  for (auto& timer : form_.timers()) timerChanged(*timer);
  resized();
  return true;
}

void FormWindow::createControls() {
  if (!hwnd_ || controlsMade_) return;
  controlsMade_ = true;
  // In the order the form declares them: containers before what they hold, and the order of
  // drawing. Tab order is the model's, not the windows'. Shapes and images have no window: their
  // container paints them.
  int id = kFirstControlId;
  creating_ = true;
  for (ui::Control* control : form_.controls()) {
    if (paintedFirst(*control))
      labelsAwaited_ = true;
    else if (!windowless(*control))
      createControl(*control, id);
    ++id;
  }
  creating_ = false;
  for (ui::Control* control : form_.controls())
    if (control->kind() == ui::ControlKind::TabStrip) layoutPages(*control);
  if (menuPending_) {
    menuPending_ = false;
    formChanged(ui::Change::Menu);
  }
  showDefaultLook();
  resized();
}

HWND FormWindow::handleOf(const ui::Control& control) const {
  auto found = handles_.find(&control);
  return found == handles_.end() ? nullptr : found->second;
}

ui::Control* FormWindow::controlOf(HWND h) const {
  auto found = controls_.find(h);
  return found == controls_.end() ? nullptr : found->second;
}

HWND FormWindow::parentOf(const ui::Control& control, POINT* origin) const {
  if (origin) *origin = {0, 0};
  const ui::Control* container = control.container();
  if (!container) return hwnd_;
  if (container->kind() == ui::ControlKind::TabStrip) {
    auto found = pages_.find(container);
    if (found == pages_.end() || control.page() < 0 || control.page() >= static_cast<int>(found->second.size()))
      return handleOf(*container) ? GetParent(handleOf(*container)) : hwnd_;
    HWND page = found->second[static_cast<std::size_t>(control.page())];
    if (origin) {
      // Positions on a page are measured from the tab strip's corner.
      RECT pageRect{}, stripRect{};
      GetWindowRect(page, &pageRect);
      GetWindowRect(handleOf(*container), &stripRect);
      *origin = {stripRect.left - pageRect.left, stripRect.top - pageRect.top};
    }
    return page;
  }
  HWND h = handleOf(*container);
  return h ? h : hwnd_;
}

RECT FormWindow::windowPlace(const ui::Control& control) const {
  POINT origin{};
  parentOf(control, &origin);
  const ui::Bounds& b = control.bounds();
  const LONG left = origin.x + pixelsX(b.left);
  const LONG top = origin.y + pixelsY(b.top);
  return {left, top, left + pixelsX(b.width), top + pixelsY(b.height)};
}

bool FormWindow::usableThrough(const ui::Control& control) {
  bool on = true;
  for (const ui::Control* c = &control; c; c = c->container()) on = on && c->enabled();
  return on;
}

void FormWindow::createControl(ui::Control& control, int id) {
  const Realizer& realizer = realizerOf(control.kind());
  WindowRecipe recipe = realizer.recipe(*this, control);
  // Made whole in one call, with the text, place, visibility and availability the model holds:
  // each later change of a window costs the system a round of its own.
  const DWORD style = recipe.style | WS_CHILD | WS_CLIPSIBLINGS | (control.visible() ? WS_VISIBLE : 0u) |
                      (usableThrough(control) ? 0u : static_cast<DWORD>(WS_DISABLED));
  const RECT place = windowPlace(control);
  HWND parent = parentOf(control);
  HWND h = CreateWindowExW(recipe.exStyle, recipe.windowClass, wide(control.caption()).c_str(), style, place.left,
                           place.top, place.right - place.left, place.bottom - place.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!h) return;
  if (lstrcmpiW(recipe.windowClass, L"STATIC") == 0 || lstrcmpiW(recipe.windowClass, L"BUTTON") == 0)
    SetWindowSubclass(h, &framelessControlProc, 0, 0);
  handles_[&control] = h;
  controls_[h] = &control;
  if (control.isContainer() && control.kind() != ui::ControlKind::TabStrip)
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font(control.font())), FALSE);
  if (control.kind() == ui::ControlKind::TabStrip) {
    // A page window per tab, above the strip, holding that tab's controls.
    int pages = static_cast<int>(control.listTexts().size());
    for (const ui::Control* other : form_.controls())
      if (other->container() == &control) pages = std::max(pages, other->page() + 1);
    auto& windows = pages_[&control];
    for (int page = 0; page < pages; ++page) {
      HWND pageWindow = CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0,
                                        0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
      SetWindowLongPtrW(pageWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
      SetWindowPos(pageWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      windows.push_back(pageWindow);
      pageOwners_[pageWindow] = &control;
    }
  }
  realizer.created(*this, control, h);
  applyAll(control);
}

void FormWindow::applyAll(ui::Control& control) {
  applyingDo([&] {
    for (const ui::Change change :
         {ui::Change::Limits, ui::Change::Looks, ui::Change::Caption, ui::Change::Bounds,
          ui::Change::ImageList, ui::Change::Columns, ui::Change::Items, ui::Change::Value,
          ui::Change::Selection, ui::Change::SortState, ui::Change::Enabled, ui::Change::Visible})
      controlChanged(control, change);
  });
}

void FormWindow::layoutPages(ui::Control& tabs) {
  auto found = pages_.find(&tabs);
  HWND strip = handleOf(tabs);
  if (found == pages_.end() || !strip) return;
  RECT display{};
  GetClientRect(strip, &display);
  SendMessageW(strip, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  MapWindowPoints(strip, GetParent(strip), reinterpret_cast<POINT*>(&display), 2);
  for (std::size_t page = 0; page < found->second.size(); ++page) {
    HWND pageWindow = found->second[page];
    SetWindowPos(pageWindow, HWND_TOP, display.left, display.top, display.right - display.left,
                 display.bottom - display.top, SWP_NOACTIVATE);
    const bool shown = tabs.shown() && static_cast<int>(page) == tabs.value();
    ShowWindow(pageWindow, shown ? SW_SHOWNA : SW_HIDE);
  }
  // What the pages hold is placed again from the strip's corner.
  for (ui::Control* control : form_.controls()) {
    if (control->container() == &tabs) applyingDo([&] { controlChanged(*control, ui::Change::Bounds); });
  }
}

void FormWindow::formChanged(ui::Change what) {
  if (!hwnd_) return;
  switch (what) {
    case ui::Change::Caption:
      SetWindowTextW(hwnd_, wide(form_.caption()).c_str());
      break;
    case ui::Change::Menu:
      // The menu bar changes once the form's Load is over, however often Load changed it.
      if (!controlsMade_) {
        menuPending_ = true;
      } else if (menuSignature() == menuSignature_) {
        updateMenu();
      } else {
        buildMenu();
      }
      break;
    case ui::Change::Bounds: {
      RECT rect{0, 0, pixelsX(form_.clientWidth()), pixelsY(form_.clientHeight())};
      AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), menu_ != nullptr,
                         static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
      SetWindowPos(hwnd_, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top, SWP_NOMOVE | SWP_NOZORDER);
      break;
    }
    case ui::Change::Default:
      showDefaultLook();
      break;
    default:
      break;
  }
}

void FormWindow::controlChanged(ui::Control& control, ui::Change what) {
  // Before the windows are made, the model's state is all they need: they are made with it.
  if (!controlsMade_) return;
  if (awaitingWindow(control)) {
    // Its container paints it until its window is made, with what the model holds then.
    RedrawWindow(parentOf(control), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    return;
  }
  if (windowless(control)) {
    // Its container paints it: a new picture repaints its place there, anything else the container.
    if (what == ui::Change::Looks && control.kind() == ui::ControlKind::Image) {
      const RECT rect = windowPlace(control);
      RedrawWindow(parentOf(control), &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    } else if (what == ui::Change::Visible || what == ui::Change::Bounds || what == ui::Change::Looks) {
      RedrawWindow(parentOf(control), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    return;
  }
  HWND h = handleOf(control);
  if (!h) return;
  applyingDo([&] { realizerOf(control.kind()).apply(*this, control, h, what); });
}

void FormWindow::applyEnabled(ui::Control& control) {
  // A disabled container disables, and shows disabled, everything it holds.
  if (HWND h = handleOf(control)) EnableWindow(h, usableThrough(control));
  if (!control.isContainer()) return;
  for (ui::Control* other : form_.controls())
    if (other->container() == &control) applyEnabled(*other);
}

void FormWindow::showDefaultLook() {
  // The button Enter would press wears the default border: the focused button, else the default.
  ui::Control* focused = form_.focused();
  const ui::Control* pressed =
      focused && focused->kind() == ui::ControlKind::Button ? focused : form_.defaultButton();
  for (auto& [control, h] : handles_) {
    if (control->kind() != ui::ControlKind::Button) continue;
    const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
    const bool isDefault = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    if (isDefault != (control == pressed))
      SendMessageW(h, BM_SETSTYLE, control == pressed ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  }
}

void FormWindow::focus(ui::Control& control) {
  // During Load the controls have no windows yet: the control counts as focused, as one whose
  // window cannot take the focus does.
  if (hwnd_ && !controlsMade_) {
    form_.userFocusChanged(&control);
    return;
  }
  HWND h = handleOf(control);
  if (!h || !hwnd_) return;
  // The system reports the move back through the controls' focus notifications.
  if (GetFocus() == h) {
    form_.userFocusChanged(&control);
    return;
  }
  const unsigned reports = form_.focusReports();
  SetFocus(h);
  // A move the controls reported has run its handlers, and where they left the focus (a refused
  // entry taking it back after its box) stands.
  if (form_.focusReports() != reports) return;
  // A window that cannot take the focus now (the form not yet active) still counts as focused;
  // so does one that took it without a notification (a tab strip sends none).
  if (GetFocus() != h || form_.focused() != &control) form_.userFocusChanged(&control);
}

bool FormWindow::focusBackOnActivation() {
  ui::Control* focused = form_.focused();
  HWND h = focused ? handleOf(*focused) : nullptr;
  if (!h || !IsWindowVisible(h) || !IsWindowEnabled(h)) return false;
  SetFocus(h);
  return true;
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
        {0, twipsY(client.bottom - height), twipsX(client.right), twipsY(height)});
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
      if (pixels != std::min(pixelsX(list->columnWidth(i)), 32000)) list->userSetColumnWidth(i, twipsX(pixels));
    }
  }
}

void FormWindow::resized() {
  layoutStatusBars();
  syncColumnWidths();
  RECT client{};
  GetClientRect(hwnd_, &client);
  form_.userResized(twipsX(client.right), twipsY(client.bottom));
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

}  // namespace ui::win32
