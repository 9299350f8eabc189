// The form's painting: containers' backgrounds and borders, the shapes and images without windows
// they paint, the plain labels they paint until those get their windows, and the colours, fonts
// and brushes of controls.

#include <algorithm>

#include "platform/win32/WideText.h"
#include "ui/win32/FormWindow.h"

namespace ui::win32 {
namespace {

using platform::win32::wide;

bool contains(const ui::Bounds& outer, const ui::Bounds& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.left + inner.width <= outer.left + outer.width &&
         inner.top + inner.height <= outer.top + outer.height;
}

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
  return control.kind() == ui::ControlKind::Label && !control.link() && !control.border();
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
  SetTextColor(dc, captionColor(label));
  SelectObject(dc, font(label.font()));
  const std::wstring text = wide(label.caption());
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK);
  RestoreDC(dc, saved);
}

void FormWindow::paintWindowless(HDC dc, const ui::Control* container, int page) {
  // Shapes first, as the background of the images.
  for (const ui::ControlKind kind : {ui::ControlKind::Shape, ui::ControlKind::Image}) {
    for (const ui::Control* control : form_.controls()) {
      if (control->kind() != kind || control->container() != container || control->page() != page ||
          !control->visible())
        continue;
      const RECT rect = windowPlace(*control);
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

ui::Control* FormWindow::imageAt(HWND container, POINT point) const {
  // The last declared is drawn on top, and takes the click.
  const auto& all = form_.controls();
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    ui::Control* control = *it;
    if (control->kind() != ui::ControlKind::Image || !control->shown() || parentOf(*control) != container)
      continue;
    const RECT rect = windowPlace(*control);
    if (PtInRect(&rect, point)) return control;
  }
  return nullptr;
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
    SetTextColor(dc, captionColor(*control));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  }
}

LRESULT FormWindow::colorControl(HDC dc, HWND child) {
  return reinterpret_cast<LRESULT>(colorControl(dc, controlOf(child)));
}

HBRUSH FormWindow::colorControl(HDC dc, const ui::Control* control) {
  const COLORREF back = control ? backgroundOf(*control) : GetSysColor(COLOR_BTNFACE);
  SetTextColor(dc, control ? textColor(*control) : GetSysColor(COLOR_BTNTEXT));
  SetBkColor(dc, back);
  SetBkMode(dc, OPAQUE);
  return brush(back);
}

COLORREF FormWindow::textColor(const ui::Control& control) {
  return colorOf(control.foreColor(), control.link() ? RGB(0, 0, 0xCC) : GetSysColor(COLOR_BTNTEXT));
}

COLORREF FormWindow::captionColor(const ui::Control& control) {
  return usableThrough(control) ? textColor(control) : GetSysColor(COLOR_GRAYTEXT);
}

}  // namespace ui::win32
