#include "ui/win32/FormWindow.h"

#include <algorithm>
#include <cstdint>
#include <functional>

#include "platform/win32/WideText.h"

namespace ui::win32 {
namespace {

using platform::win32::narrow;
using platform::win32::wide;

constexpr int kFirstControlId = 100;
constexpr int kFirstMenuId = 1000;

int screenDpi() {
  WindowDC screen(nullptr);
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
  return dpi > 0 ? dpi : 96;
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
    default:
      break;
  }
  const int f = static_cast<int>(key) - static_cast<int>(ui::Key::F1);
  return f >= 0 && f < 12 ? static_cast<UINT>(VK_F1 + f) : 0;
}

std::wstring shortcutText(ui::Key key) {
  switch (key) {
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
  const UINT vk = virtualKey(key);
  return vk ? L"F" + std::to_wstring(vk - VK_F1 + 1) : L"";
}

// The pixels of an icon resource drawn at exactly size × size in 32 bits with alpha, as the
// pictures of the programs are: the image's header, or nullptr for any other form (another size
// for this screen, fewer colours, a compressed image, a resource cut short).
const BITMAPINFOHEADER* iconPixels(HMODULE module, int resourceId, int size) {
  HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(resourceId), RT_GROUP_ICON);
  auto* directory = group ? static_cast<BYTE*>(LockResource(LoadResource(module, group))) : nullptr;
  if (!directory || SizeofResource(module, group) < 6) return nullptr;
  const int entry = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
  HRSRC icon = entry > 0 ? FindResourceW(module, MAKEINTRESOURCEW(entry), RT_ICON) : nullptr;
  const auto* header =
      icon ? static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, icon))) : nullptr;
  if (!header || SizeofResource(module, icon) < sizeof(BITMAPINFOHEADER)) return nullptr;
  const std::size_t pixelBytes = static_cast<std::size_t>(size) * static_cast<std::size_t>(size) * 4;
  if (header->biSize < sizeof(BITMAPINFOHEADER) || header->biWidth != size || header->biHeight != 2 * size ||
      header->biBitCount != 32 || header->biCompression != BI_RGB ||
      SizeofResource(module, icon) < header->biSize + pixelBytes)
    return nullptr;
  return header;
}

// Fills an image list with its pictures in one strip read from the icon resources: adding the
// icons one at a time costs an icon object and a drawing each, which is most of a window's first
// paint. False, with nothing added, when a picture is not in the form this reads.
bool addIconStrip(HIMAGELIST list, const ui::ImageList& images, int size) {
  HMODULE module = GetModuleHandleW(nullptr);
  std::vector<const BITMAPINFOHEADER*> sources;
  for (const auto& image : images.images) {
    const BITMAPINFOHEADER* header = iconPixels(module, image.resourceId, size);
    if (!header) return false;
    sources.push_back(header);
  }
  if (sources.empty()) return true;
  const int count = static_cast<int>(sources.size());
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = size * count;
  info.bmiHeader.biHeight = -size;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  OwnedBitmap strip(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!strip || !bits) return false;
  auto* out = static_cast<std::uint32_t*>(bits);
  for (int i = 0; i < count; ++i) {
    // An icon's rows run from the bottom up.
    const auto* in = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const BYTE*>(sources[i]) +
                                                            sources[i]->biSize);
    for (int y = 0; y < size; ++y)
      std::copy_n(
          in + static_cast<std::ptrdiff_t>(size - 1 - y) * size, size,
          out + static_cast<std::ptrdiff_t>(y) * size * count + static_cast<std::ptrdiff_t>(i) * size);
  }
  return ImageList_Add(list, strip.get(), nullptr) >= 0;
}

bool contains(const ui::Bounds& outer, const ui::Bounds& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.left + inner.width <= outer.left + outer.width &&
         inner.top + inner.height <= outer.top + outer.height;
}

}  // namespace

FormWindow::~FormWindow() {
  destroyWindow();
}

void FormWindow::destroyWindow() {
  if (!hwnd_) return;
  HWND h = hwnd_;
  hwnd_ = nullptr;
  // Nothing of the model is reached while the windows go.
  SetWindowLongPtrW(h, GWLP_USERDATA, 0);
  for (auto& [control, child] : handles_)
    if (control->isContainer()) SetWindowLongPtrW(child, GWLP_USERDATA, 0);
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
  if (form_.iconResourceId && form_.iconResourceId != kProgramIconId &&
      form_.style != ui::FormStyle::Dialog) {
    for (const int which : {ICON_BIG, ICON_SMALL}) {
      const int size = GetSystemMetrics(which == ICON_BIG ? SM_CXICON : SM_CXSMICON);
      auto& icon = icons_[{form_.iconResourceId, size}];
      if (!icon)
        icon.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(form_.iconResourceId),
                                                 IMAGE_ICON, size, size, 0)));
      if (icon) SendMessageW(hwnd_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon.get()));
    }
  }
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

namespace {
// The timer that makes the labels' windows; the form's own timers count from 1.
constexpr UINT_PTR kLabelsTimer = 0x4C42;
}  // namespace

void FormWindow::painted() {
  // A timer, not a posted message: the system runs it only when the queue is empty, after the
  // window's picture has gone to the screen.
  if (labelsAwaited_) SetTimer(hwnd_, kLabelsTimer, USER_TIMER_MINIMUM, nullptr);
}

void FormWindow::createAwaitedLabels() {
  if (!labelsAwaited_) return;
  int id = kFirstControlId;
  creating_ = true;
  const auto& all = form_.controls();
  for (auto it = all.begin(); it != all.end(); ++it, ++id) {
    if (!awaitingWindow(**it)) continue;
    createControl(**it, id);
    HWND h = handleOf(**it);
    if (!h) continue;
    // A window is made below its siblings. It goes where it would have been made with the others:
    // right below the last window made before it in the form's order.
    const HWND parent = GetParent(h);
    HWND above = HWND_TOP;
    for (auto before = std::make_reverse_iterator(it); before != all.rend(); ++before) {
      HWND other = handleOf(**before);
      if (other && GetParent(other) == parent) {
        above = other;
        break;
      }
    }
    SetWindowPos(h, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  creating_ = false;
  labelsAwaited_ = false;
}

bool FormWindow::paintedFirst(const ui::Control& control) {
  return control.kind() == ui::ControlKind::Label && !control.link && !control.border;
}

bool FormWindow::awaitingWindow(const ui::Control& control) const {
  return labelsAwaited_ && paintedFirst(control) && !handleOf(control);
}

void FormWindow::paintLabel(HDC dc, const ui::Control& label) {
  // As the label's window will draw it: its rectangle in its background, its text left-aligned and
  // wrapped at words, with the "&" marks of its access key, grey when it cannot be used.
  const int saved = SaveDC(dc);
  RECT rect = windowPlace(label);
  FillRect(dc, &rect, colorControl(dc, &label));
  if (!usableThrough(label)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  SelectObject(dc, font(label.font()));
  const std::wstring text = wide(label.caption());
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK);
  RestoreDC(dc, saved);
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

namespace {

// A window without a frame, an edge or a scroll bar has nothing outside its client area.
bool frameless(HWND h) {
  const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrW(h, GWL_EXSTYLE);
  return !(style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_HSCROLL | WS_VSCROLL)) &&
         !(exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME));
}

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

void FormWindow::paintWindowless(HDC dc, const ui::Control* container, int page) {
  // Shapes first, as the background of the images.
  for (const ui::ControlKind kind : {ui::ControlKind::Shape, ui::ControlKind::Image}) {
    for (const ui::Control* control : form_.controls()) {
      if (control->kind() != kind || control->container() != container || control->page() != page ||
          !control->visible())
        continue;
      const RECT rect = windowlessRect(*control);
      if (kind == ui::ControlKind::Shape) {
        FillRect(dc, &rect, brush(colorOf(control->backColor(), GetSysColor(COLOR_WINDOW))));
        continue;
      }
      const ui::Picture& picture = control->picture();
      SIZE size{rect.right - rect.left, rect.bottom - rect.top};
      if (picture.list) size.cx = size.cy = MulDiv(picture.list->imageSize, dpi_, 96);
      drawPicture(dc, picture, rect.left, rect.top, size);
    }
  }
  if (!labelsAwaited_) return;
  for (const ui::Control* control : form_.controls())
    if (awaitingWindow(*control) && control->container() == container && control->page() == page &&
        control->visible())
      paintLabel(dc, *control);
}

bool FormWindow::windowless(const ui::Control& control) {
  return control.kind() == ui::ControlKind::Shape || control.kind() == ui::ControlKind::Image;
}

RECT FormWindow::windowlessRect(const ui::Control& control) const {
  POINT origin{};
  parentOf(control, &origin);
  const ui::Bounds& b = control.bounds();
  return {origin.x + pixelsX(b.left), origin.y + pixelsY(b.top), origin.x + pixelsX(b.left + b.width),
          origin.y + pixelsY(b.top + b.height)};
}

ui::Control* FormWindow::imageAt(HWND container, POINT point) const {
  // The last declared is drawn on top, and takes the click.
  const auto& all = form_.controls();
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    ui::Control* control = *it;
    if (control->kind() != ui::ControlKind::Image || !control->shown() || parentOf(*control) != container)
      continue;
    const RECT rect = windowlessRect(*control);
    if (PtInRect(&rect, point)) return control;
  }
  return nullptr;
}

void FormWindow::applyAll(ui::Control& control) {
  applyingDo([&] {
    for (const ui::Change change :
         {ui::Change::Looks, ui::Change::Caption, ui::Change::Bounds, ui::Change::ImageList, ui::Change::Columns,
          ui::Change::Items, ui::Change::Value, ui::Change::Selection, ui::Change::SortState, ui::Change::Enabled,
          ui::Change::Visible})
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
      const RECT rect = windowlessRect(control);
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

int FormWindow::textWidth(std::string_view utf8) {
  const std::wstring text = wide(utf8);
  WindowDC dc(hwnd_);
  if (!dc.get()) return 0;
  Selected selected(dc.get(), baseFont_);
  SIZE size{};
  GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  return twipsX(size.cx);
}

HFONT FormWindow::font(const ui::Font& wanted) {
  if (wanted == ui::Font{}) return baseFont_;
  auto& owned = fonts_[{wanted.bold, wanted.underline, wanted.points, wanted.face}];
  if (!owned) {
    LOGFONTW description{};
    GetObjectW(baseFont_, sizeof(description), &description);
    if (wanted.bold) description.lfWeight = FW_BOLD;
    description.lfUnderline = wanted.underline ? TRUE : FALSE;
    if (wanted.points > 0) description.lfHeight = -MulDiv(wanted.points, dpi_, 72);
    if (!wanted.face.empty()) lstrcpynW(description.lfFaceName, wide(wanted.face).c_str(), LF_FACESIZE);
    owned.reset(CreateFontIndirectW(&description));
  }
  return owned ? owned.get() : baseFont_;
}

HBRUSH FormWindow::brush(COLORREF color) {
  auto& owned = brushes_[color];
  if (!owned) owned.reset(CreateSolidBrush(color));
  return owned.get();
}

COLORREF FormWindow::colorOf(ui::Color color, COLORREF fallback) {
  if (color == ui::kDefaultColor) return fallback;
  if (color & ui::kSystemColor) return GetSysColor(static_cast<int>(color & 0xFF));
  return RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
}

COLORREF FormWindow::backgroundOf(const ui::Control& control) const {
  for (const ui::Control* other : form_.controls()) {
    if (other->kind() == ui::ControlKind::Shape && other != &control && other->container() == control.container() &&
        other->page() == control.page() && other->shown() && contains(other->bounds(), control.bounds()))
      return colorOf(other->backColor(), GetSysColor(COLOR_BTNFACE));
  }
  for (const ui::Control* c = control.container(); c; c = c->container()) {
    if (c->kind() == ui::ControlKind::Picture && c->backColor() != ui::kDefaultColor)
      return colorOf(c->backColor(), GetSysColor(COLOR_BTNFACE));
    if (c->kind() == ui::ControlKind::TabStrip) break;
  }
  return GetSysColor(COLOR_BTNFACE);
}

HIMAGELIST FormWindow::imageList(const ui::ImageList& images) {
  auto& owned = imageLists_[&images];
  if (!owned) {
    const int size = MulDiv(images.imageSize, dpi_, 96);
    owned.reset(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, static_cast<int>(images.images.size()), 0));
    if (!addIconStrip(owned.get(), images, size)) {
      for (const auto& image : images.images) {
        OwnedIcon icon(static_cast<HICON>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(image.resourceId), IMAGE_ICON, size, size, 0)));
        ImageList_AddIcon(owned.get(), icon.get());
      }
    }
  }
  return owned.get();
}

void FormWindow::drawPicture(HDC dc, const ui::Picture& picture, int x, int y, SIZE size) {
  if (picture.empty()) return;
  if (picture.list) {
    ImageList_Draw(imageList(*picture.list), picture.index, dc, x, y, ILD_TRANSPARENT);
    return;
  }
  HINSTANCE module = GetModuleHandleW(nullptr);
  auto& bitmap = bitmaps_[picture.resourceId];
  if (!bitmap)
    bitmap.reset(static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(picture.resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (bitmap) {
    BITMAP info{};
    GetObjectW(bitmap.get(), sizeof(info), &info);
    HDC memory = CreateCompatibleDC(dc);
    {
      Selected selected(memory, bitmap.get());
      SetStretchBltMode(dc, HALFTONE);
      StretchBlt(dc, x, y, size.cx, size.cy, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    }
    DeleteDC(memory);
    return;
  }
  auto& icon = icons_[{picture.resourceId, static_cast<int>(size.cx)}];
  if (!icon)
    icon.reset(static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(picture.resourceId), IMAGE_ICON, size.cx, size.cy, 0)));
  if (icon) DrawIconEx(dc, x, y, icon.get(), size.cx, size.cy, 0, nullptr, DI_NORMAL);
}

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
        std::wstring caption = wide(item.caption);
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
        if (virtualKey(item.shortcut)) caption += L"\t" + shortcutText(item.shortcut);
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
        std::wstring caption = wide(item.caption);
        if (item.items.empty() && virtualKey(item.shortcut)) caption += L"\t" + shortcutText(item.shortcut);
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

void FormWindow::paintPanel(HWND h, HDC dc) {
  RECT rect{};
  GetClientRect(h, &rect);
  const ui::Control* control = controlOf(h);
  if (!control) {  // a tab page
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    auto owner = pageOwners_.find(h);
    if (owner != pageOwners_.end()) {
      const auto& pages = pages_[owner->second];
      const int page = static_cast<int>(std::find(pages.begin(), pages.end(), h) - pages.begin());
      paintWindowless(dc, owner->second, page);
    }
    return;
  }
  if (control->kind() == ui::ControlKind::Picture) {
    const COLORREF back = control->backColor() == ui::kDefaultColor ? backgroundOf(*control)
                                                                      : colorOf(control->backColor(), 0);
    FillRect(dc, &rect, brush(back));
    drawPicture(dc, control->picture(), 0, 0, {rect.right, rect.bottom});
    paintWindowless(dc, control, -1);
    return;
  }
  // A frame: an etched border, its caption set into the top edge.
  FillRect(dc, &rect, brush(backgroundOf(*control)));
  Selected selected(dc, font(control->font()));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  RECT edge = rect;
  const std::wstring caption = wide(control->caption());
  if (!caption.empty()) edge.top += metrics.tmHeight / 2;
  paintWindowless(dc, control, -1);
  DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
  if (!caption.empty()) {
    SIZE size{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    RECT text{MulDiv(8, dpi_, 96), 0, 0, metrics.tmHeight};
    text.right = text.left + size.cx;
    SetBkColor(dc, backgroundOf(*control));
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, colorOf(control->foreColor(), GetSysColor(control->enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT)));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  }
}

LRESULT FormWindow::colorControl(HDC dc, HWND child) {
  return reinterpret_cast<LRESULT>(colorControl(dc, controlOf(child)));
}

HBRUSH FormWindow::colorControl(HDC dc, const ui::Control* control) {
  const COLORREF back = control ? backgroundOf(*control) : GetSysColor(COLOR_BTNFACE);
  COLORREF text = GetSysColor(COLOR_BTNTEXT);
  if (control && control->link) text = RGB(0, 0, 0xCC);
  if (control) text = colorOf(control->foreColor(), text);
  SetTextColor(dc, text);
  SetBkColor(dc, back);
  SetBkMode(dc, OPAQUE);
  return brush(back);
}

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
      if (control && control->link && control->usable()) {
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
