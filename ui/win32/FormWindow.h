#pragma once
// One shown form: its top-level window, a child window per control (containers as real parent
// windows), its menu bar and timers, and every system object it made. Each control kind has one
// realizer that creates its window, applies one change of the model, and turns the system's
// notifications into the model's events.

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "platform/win32/Owned.h"
#include "ui/Form.h"

namespace ui::win32 {

using platform::win32::OwnedBitmap;
using platform::win32::OwnedBrush;
using platform::win32::OwnedFont;
using platform::win32::OwnedIcon;
using platform::win32::OwnedImageList;
using platform::win32::OwnedMenu;
using platform::win32::Selected;
using platform::win32::WindowDC;

class FormWindow;

// The window class of containers (frames, picture boxes, tab pages): they paint their own
// background and border and hand their children's notifications to the form.
inline constexpr wchar_t kPanelClass[] = L"KrvPanel";
inline constexpr wchar_t kFormClass[] = L"KrvForm";
// The program's icon, which the form class shows.
inline constexpr int kProgramIconId = 1;

// The screen's pixels per inch.
int screenDpi();
// A window without a frame, an edge or a scroll bar has nothing outside its client area.
bool frameless(HWND h);

struct WindowRecipe {
  const wchar_t* windowClass = L"STATIC";
  DWORD style = 0;
  DWORD exStyle = 0;
};

class Realizer {
 public:
  virtual ~Realizer() = default;
  virtual WindowRecipe recipe(const FormWindow& window, const ui::Control& control) const = 0;
  // Set-up once the window exists, before the model's state is applied.
  virtual void created(FormWindow&, ui::Control&, HWND) const {}
  // Applies one change of the model; the common ones (caption, enabled, visible, bounds) by default.
  virtual void apply(FormWindow& window, ui::Control& control, HWND h, ui::Change what) const;
  // A WM_COMMAND notification code from the control's window.
  virtual void command(FormWindow&, ui::Control&, HWND, int) const {}
  // A WM_NOTIFY from the control's window.
  virtual LRESULT notify(FormWindow&, ui::Control&, NMHDR*) const { return 0; }
  // The control's window is about to go: what the realizer kept for it goes too.
  virtual void destroyed(HWND) const {}
};

const Realizer& realizerOf(ui::ControlKind kind);

class FormWindow final : public ui::FormPeer {
 public:
  FormWindow(ui::Form& form, HFONT baseFont) : form_(form), baseFont_(baseFont) {}
  ~FormWindow() override;
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  // The form's own window, its menu bar and timers; the controls' windows wait for createControls.
  bool create(HWND owner);
  // Makes every control's window with the state the model holds by then (after the form's Load),
  // so that nothing Load changed is applied twice, and the menu bar's changes made meanwhile.
  // Plain labels wait: their containers paint them until the window has been shown (painted()).
  void createControls();
  // The window has been shown and painted: once the program is idle, which puts the first picture
  // of the window on the screen, the labels get their windows.
  void painted();
  void destroyWindow();
  HWND hwnd() const { return hwnd_; }
  ui::Form& form() { return form_; }
  // The windows this modal form disabled, enabled again before it goes.
  std::vector<HWND> disabledOwners;

  // FormPeer
  void formChanged(ui::Change what) override;
  void controlChanged(ui::Control& control, ui::Change what) override;
  void timerChanged(ui::Timer& timer) override;
  void focus(ui::Control& control) override;
  // Gives the system's focus to the control the form counts as focused; false when it has no
  // window that can take it.
  bool focusBackOnActivation();
  int textWidth(std::string_view utf8) override;
  ui::NativeHandle nativeHandle() const override { return reinterpret_cast<ui::NativeHandle>(hwnd_); }

  // The form's and the containers' window procedure.
  LRESULT handle(HWND h, UINT message, WPARAM wParam, LPARAM lParam);

  // For the realizers.
  int pixelsX(int twips) const { return MulDiv(twips, dpi_, 1440); }
  int pixelsY(int twips) const { return MulDiv(twips, dpi_, 1440); }
  int twipsX(int pixels) const { return MulDiv(pixels, 1440, dpi_); }
  int twipsY(int pixels) const { return MulDiv(pixels, 1440, dpi_); }
  int dpi() const { return dpi_; }
  HFONT font(const ui::Font& font);
  HBRUSH brush(COLORREF color);
  static COLORREF colorOf(ui::Color color, COLORREF fallback);
  // What lies behind the control: a shape that holds it, its container's colour, or the dialog's.
  COLORREF backgroundOf(const ui::Control& control) const;
  HIMAGELIST imageList(const ui::ImageList& images);
  // Draws the picture at (x, y) of the device context, scaled into size when it is a bitmap.
  void drawPicture(HDC dc, const ui::Picture& picture, int x, int y, SIZE size);
  HWND handleOf(const ui::Control& control) const;
  ui::Control* controlOf(HWND h) const;
  // The window a control's window is a child of, and where its bounds start in that window.
  HWND parentOf(const ui::Control& control, POINT* origin = nullptr) const;
  // Where a control's window lies in that window, in pixels; a windowless control's place in the
  // window that paints it.
  RECT windowPlace(const ui::Control& control) const;
  // Enabled, and held by containers that all are.
  static bool usableThrough(const ui::Control& control);
  // The page windows of a tab strip: shown for the chosen tab.
  void layoutPages(ui::Control& tabs);
  bool applying() const { return applying_; }
  // True while the controls' windows are being made: the text, place, visibility, availability
  // and font they were made with are not applied again.
  bool creating() const { return creating_; }
  // Runs the model's change without taking the system's echo of it for the user's.
  template <typename F>
  void applyingDo(F&& f) {
    const bool was = applying_;
    applying_ = true;
    f();
    applying_ = was;
  }
  void applyEnabled(ui::Control& control);
  void showDefaultLook();
  // Writes the widths the user dragged back into the model.
  void syncColumnWidths();

 private:
  // Controls' windows have ids from here, in the form's order.
  static constexpr int kFirstControlId = 100;
  // The timer that makes the labels' windows; the form's own timers count from 1.
  static constexpr UINT_PTR kLabelsTimer = 0x4C42;

  void createControl(ui::Control& control, int id);
  void applyAll(ui::Control& control);
  // The form's own icon in its frame, when it is not the program's.
  void showFormIcon();
  void buildMenu();
  void updateMenu();
  void layoutStatusBars();
  void resized();
  void paintPanel(HWND h, HDC dc);
  // The visible shapes and images of a container (nullptr: the form; a page of a tab strip), as
  // its background: they have no window of their own, which spares the system a window each to
  // make, show and paint. Then the labels still waiting for their windows, as those will draw them.
  void paintWindowless(HDC dc, const ui::Control* container, int page);
  static bool windowless(const ui::Control& control);
  // Plain labels (no link, no edge): nothing of them but their text is seen, and nobody acts on
  // them, so their windows can wait until the window is on the screen. Each window costs the
  // system about as much to make, show and paint as the whole of a label's painting.
  static bool paintedFirst(const ui::Control& control);
  bool awaitingWindow(const ui::Control& control) const;
  void paintLabel(HDC dc, const ui::Control& label);
  void createAwaitedLabels();
  // The image under a point of a window that paints images, for its clicks.
  ui::Control* imageAt(HWND container, POINT point) const;
  LRESULT notify(NMHDR* header);
  void command(WPARAM wParam, LPARAM lParam);
  LRESULT colorControl(HDC dc, HWND child);
  // The text and background colours of a label or button, set into the device context; its brush.
  HBRUSH colorControl(HDC dc, const ui::Control* control);
  // A control's text colour: its own, else a link's blue or the system's.
  static COLORREF textColor(const ui::Control& control);
  // The colour a label's or frame's caption is painted in: grey, whatever its colour, when it
  // cannot be used (its own or a container's availability), as the system draws a disabled label.
  static COLORREF captionColor(const ui::Control& control);
  std::string menuSignature() const;

  ui::Form& form_;
  HFONT baseFont_;
  HWND hwnd_ = nullptr;
  OwnedMenu menu_;
  std::string menuSignature_;
  int dpi_ = 96;
  std::map<const ui::Control*, HWND> handles_;
  std::map<HWND, ui::Control*> controls_;
  // A tab strip's page windows, by tab.
  std::map<const ui::Control*, std::vector<HWND>> pages_;
  std::map<HWND, const ui::Control*> pageOwners_;
  std::map<int, std::string> menuIds_;
  std::map<std::string, std::pair<HMENU, UINT>> menuItems_;
  std::map<const ui::ImageList*, OwnedImageList> imageLists_;
  std::map<std::tuple<bool, bool, int, std::string>, OwnedFont> fonts_;
  std::map<COLORREF, OwnedBrush> brushes_;
  std::map<int, OwnedBitmap> bitmaps_;
  std::map<std::pair<int, int>, OwnedIcon> icons_;
  bool applying_ = false;  // set while the model's changes are carried out, to tell them from the user's
  bool controlsMade_ = false;  // the controls' windows exist (the form's Load is over)
  bool creating_ = false;      // see creating()
  bool menuPending_ = false;   // the menu changed during Load
  bool labelsAwaited_ = false;  // plain labels have no window yet: their containers paint them
};

}  // namespace ui::win32
