// One realizer per control kind: the window it is shown as, how one change of the model reaches that
// window, and how the window's notifications become the model's events.

#include "platform/win32/WideText.h"
#include "ui/win32/FormWindow.h"
#include "ui/win32/Realizers.h"

namespace ui::win32 {
namespace {

using platform::win32::narrow;
using platform::win32::wide;

std::wstring windowText(HWND h) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(h, text.data(), static_cast<int>(text.size()))));
  return text;
}

void placeWindow(FormWindow& window, const ui::Control& control, HWND h, int extraHeight = 0) {
  const RECT place = window.windowPlace(control);
  MoveWindow(h, place.left, place.top, place.right - place.left, place.bottom - place.top + extraHeight, TRUE);
}

class ButtonRealizer final : public CommonRealizer {
 public:
  WindowRecipe recipe(const FormWindow&, const ui::Control&) const override {
    return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, 0};
  }
  void command(FormWindow&, ui::Control& control, HWND, int code) const override {
    if (code == BN_CLICKED) control.click();
  }
};

class CheckRealizer final : public CommonRealizer {
 public:
  explicit CheckRealizer(bool option) : option_(option) {}
  WindowRecipe recipe(const FormWindow&, const ui::Control&) const override {
    // Option buttons are not automatic: the model clears the others of the group.
    return {L"BUTTON", static_cast<DWORD>(WS_TABSTOP | BS_NOTIFY | (option_ ? BS_RADIOBUTTON : BS_AUTOCHECKBOX)), 0};
  }
  void apply(FormWindow& window, ui::Control& control, HWND h, ui::Change what) const override {
    if (what == ui::Change::Value) {
      SendMessageW(h, BM_SETCHECK, control.value() ? BST_CHECKED : BST_UNCHECKED, 0);
      return;
    }
    CommonRealizer::apply(window, control, h, what);
  }
  void command(FormWindow& window, ui::Control& control, HWND h, int code) const override {
    if (code != BN_CLICKED) return;
    if (option_) {
      control.userSetValue(1);
      window.applyingDo([&] { SendMessageW(h, BM_SETCHECK, BST_CHECKED, 0); });
    } else {
      control.userSetValue(SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
    }
    control.click();
  }

 private:
  bool option_;
};

class LabelRealizer final : public CommonRealizer {
 public:
  WindowRecipe recipe(const FormWindow&, const ui::Control& control) const override {
    return {L"STATIC", static_cast<DWORD>(SS_LEFT | (control.link() ? SS_NOTIFY : 0)),
            control.border() ? static_cast<DWORD>(WS_EX_STATICEDGE) : 0u};
  }
  void apply(FormWindow& window, ui::Control& control, HWND h, ui::Change what) const override {
    if (what == ui::Change::Looks && control.link()) {
      ui::Font underlined = control.font();
      underlined.underline = true;
      SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(window.font(underlined)), !window.creating());
      if (!window.creating()) InvalidateRect(h, nullptr, TRUE);
      return;
    }
    CommonRealizer::apply(window, control, h, what);
  }
  void command(FormWindow&, ui::Control& control, HWND, int code) const override {
    if (code == STN_CLICKED && control.link()) control.click();
  }
};

class TextRealizer final : public CommonRealizer {
 public:
  WindowRecipe recipe(const FormWindow&, const ui::Control& control) const override {
    DWORD style = WS_TABSTOP | ES_AUTOHSCROLL | (control.password() ? ES_PASSWORD : 0);
    if (control.multiLine()) style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL;
    return {L"EDIT", style, WS_EX_CLIENTEDGE};
  }
  void apply(FormWindow& window, ui::Control& control, HWND h, ui::Change what) const override {
    if (what == ui::Change::Limits) {
      // A box being made keeps the system's own where the model sets none: no mark, its limit.
      if (control.password() || !window.creating()) {
        SendMessageW(h, EM_SETPASSWORDCHAR, control.password() ? L'*' : 0, 0);
        if (!window.creating()) InvalidateRect(h, nullptr, TRUE);
      }
      if (control.maxLength() > 0 || !window.creating())
        SendMessageW(h, EM_SETLIMITTEXT, static_cast<WPARAM>(control.maxLength()), 0);
      return;
    }
    if (what == ui::Change::Selection) {
      // The model counts UTF-8 bytes, the window UTF-16 units.
      const std::string& text = control.caption();
      const auto units = [&](int bytes) {
        return static_cast<WPARAM>(wide(text.substr(0, static_cast<std::size_t>(bytes))).size());
      };
      SendMessageW(h, EM_SETSEL, units(control.selectionStart()),
                   static_cast<LPARAM>(units(control.selectionStart() + control.selectionLength())));
      return;
    }
    CommonRealizer::apply(window, control, h, what);
  }
  void command(FormWindow&, ui::Control& control, HWND h, int code) const override {
    if (code != EN_CHANGE) return;
    DWORD start = 0, end = 0;
    SendMessageW(h, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::wstring text = windowText(h);
    const auto bytes = [&](DWORD units) { return static_cast<int>(narrow(text.substr(0, units)).size()); };
    control.userSelected(bytes(start), bytes(end) - bytes(start));
    control.userSetCaption(narrow(text));
  }
};

class ComboRealizer final : public CommonRealizer {
 public:
  WindowRecipe recipe(const FormWindow&, const ui::Control&) const override {
    return {L"COMBOBOX", WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, 0};
  }
  void apply(FormWindow& window, ui::Control& control, HWND h, ui::Change what) const override {
    switch (what) {
      case ui::Change::Items:
        SendMessageW(h, CB_RESETCONTENT, 0, 0);
        for (const std::string& text : control.listTexts())
          SendMessageW(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(text).c_str()));
        [[fallthrough]];
      case ui::Change::Value:
        SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(control.value()), 0);
        break;
      case ui::Change::Bounds:
        // The model's height is the closed box's; the list drops below it.
        placeWindow(window, control, h, window.pixelsY(2400));
        break;
      default:
        CommonRealizer::apply(window, control, h, what);
    }
  }
  void command(FormWindow&, ui::Control& control, HWND h, int code) const override {
    if (code == CBN_SELCHANGE) control.userSetValue(static_cast<int>(SendMessageW(h, CB_GETCURSEL, 0, 0)));
  }
};

// Frames and picture boxes: real parent windows of the panel class, which paint themselves.
class PanelRealizer final : public CommonRealizer {
 public:
  WindowRecipe recipe(const FormWindow&, const ui::Control&) const override {
    return {kPanelClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
  }
  void apply(FormWindow& window, ui::Control& control, HWND h, ui::Change what) const override {
    if (what == ui::Change::Caption || what == ui::Change::Looks) {
      if (window.creating()) return;
      InvalidateRect(h, nullptr, TRUE);
      // What it holds takes its background from it.
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      return;
    }
    CommonRealizer::apply(window, control, h, what);
  }
};

// Shapes and images are painted by their container as part of its background, behind every window
// it holds. They have no window: the form never makes one from this recipe, and redraws their
// container when they change.
class WindowlessRealizer final : public Realizer {
 public:
  WindowRecipe recipe(const FormWindow&, const ui::Control&) const override { return {L"STATIC", 0, 0}; }
};

class TabRealizer final : public CommonRealizer {
 public:
  WindowRecipe recipe(const FormWindow&, const ui::Control&) const override {
    return {WC_TABCONTROLW, WS_TABSTOP | TCS_FOCUSONBUTTONDOWN, 0};
  }
  void apply(FormWindow& window, ui::Control& control, HWND h, ui::Change what) const override {
    switch (what) {
      case ui::Change::Items:
        SendMessageW(h, TCM_DELETEALLITEMS, 0, 0);
        for (std::size_t i = 0; i < control.listTexts().size(); ++i) {
          std::wstring text = wide(control.listTexts()[i]);
          TCITEMW tab{};
          tab.mask = TCIF_TEXT;
          tab.pszText = text.data();
          SendMessageW(h, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&tab));
        }
        SendMessageW(h, TCM_SETCURSEL, static_cast<WPARAM>(control.value()), 0);
        window.layoutPages(control);
        break;
      case ui::Change::Value:
        SendMessageW(h, TCM_SETCURSEL, static_cast<WPARAM>(control.value()), 0);
        window.layoutPages(control);
        break;
      case ui::Change::Bounds:
      case ui::Change::Visible:
        CommonRealizer::apply(window, control, h, what);
        window.layoutPages(control);
        break;
      default:
        CommonRealizer::apply(window, control, h, what);
    }
  }
  LRESULT notify(FormWindow& window, ui::Control& control, NMHDR* header) const override {
    if (header->code == TCN_SELCHANGE) {
      control.userSetValue(static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
      // The change event may have switched back, or closed the form.
      if (window.hwnd() && window.handleOf(control)) {
        window.applyingDo([&] { SendMessageW(header->hwndFrom, TCM_SETCURSEL, control.value(), 0); });
        window.layoutPages(control);
      }
    }
    return 0;
  }
};

class UpDownRealizer final : public CommonRealizer {
 public:
  WindowRecipe recipe(const FormWindow&, const ui::Control&) const override {
    return {UPDOWN_CLASSW, UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0};
  }
  void apply(FormWindow& window, ui::Control& control, HWND h, ui::Change what) const override {
    if (what == ui::Change::Limits) {
      SendMessageW(h, UDM_SETRANGE32, static_cast<WPARAM>(control.rangeMin()), control.rangeMax());
      return;
    }
    if (what == ui::Change::Value) {
      SendMessageW(h, UDM_SETPOS32, 0, control.value());
      return;
    }
    // The control narrows itself when made with a size: it is placed again, as the model has it.
    if (what == ui::Change::Bounds && window.creating()) {
      placeWindow(window, control, h);
      return;
    }
    CommonRealizer::apply(window, control, h, what);
  }
  LRESULT notify(FormWindow&, ui::Control& control, NMHDR* header) const override {
    if (header->code != UDN_DELTAPOS) return 0;
    // The model moves within the range and writes the buddy; the control does not move itself.
    control.userStep(reinterpret_cast<NMUPDOWN*>(header)->iDelta);
    return 1;
  }
};

class StatusRealizer final : public CommonRealizer {
 public:
  WindowRecipe recipe(const FormWindow&, const ui::Control& control) const override {
    return {STATUSCLASSNAMEW, control.form().resizable() ? static_cast<DWORD>(SBARS_SIZEGRIP) : 0u, 0};
  }
  void created(FormWindow&, ui::Control&, HWND h) const override { SendMessageW(h, SB_SIMPLE, TRUE, 0); }
  void apply(FormWindow& window, ui::Control& control, HWND h, ui::Change what) const override {
    if (what == ui::Change::Caption) {
      SendMessageW(h, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(wide(control.caption()).c_str()));
    } else if (what != ui::Change::Bounds) {  // its place is the system's
      CommonRealizer::apply(window, control, h, what);
    }
  }
};

}  // namespace

void Realizer::apply(FormWindow&, ui::Control&, HWND, ui::Change) const {}

void CommonRealizer::apply(FormWindow& window, ui::Control& control, HWND h, ui::Change what) const {
  // A window being made has its text, place, visibility, availability and font already.
  if (window.creating() &&
      (what == ui::Change::Caption || what == ui::Change::Enabled || what == ui::Change::Visible ||
       what == ui::Change::Bounds || what == ui::Change::Looks))
    return;
  switch (what) {
    case ui::Change::Caption:
      SetWindowTextW(h, wide(control.caption()).c_str());
      break;
    case ui::Change::Enabled:
      window.applyEnabled(control);
      break;
    case ui::Change::Visible:
      ShowWindow(h, control.visible() ? SW_SHOWNA : SW_HIDE);
      break;
    case ui::Change::Bounds:
      placeWindow(window, control, h);
      break;
    case ui::Change::Looks:
      SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(window.font(control.font())), TRUE);
      InvalidateRect(h, nullptr, TRUE);
      break;
    default:
      break;
  }
}

const Realizer& realizerOf(ui::ControlKind kind) {
  static const ButtonRealizer button;
  static const LabelRealizer label;
  static const TextRealizer text;
  static const CheckRealizer check(false);
  static const CheckRealizer option(true);
  static const ComboRealizer combo;
  static const PanelRealizer panel;
  static const WindowlessRealizer windowless;
  static const StatusRealizer status;
  static const TabRealizer tabs;
  static const UpDownRealizer upDown;
  switch (kind) {
    case ui::ControlKind::Button:
      return button;
    case ui::ControlKind::Label:
      return label;
    case ui::ControlKind::TextBox:
      return text;
    case ui::ControlKind::CheckBox:
      return check;
    case ui::ControlKind::OptionButton:
      return option;
    case ui::ControlKind::ComboBox:
      return combo;
    case ui::ControlKind::Picture:
    case ui::ControlKind::Frame:
      return panel;
    case ui::ControlKind::Image:
    case ui::ControlKind::Shape:
      return windowless;
    case ui::ControlKind::ListView:
      return listRealizer();
    case ui::ControlKind::StatusBar:
      return status;
    case ui::ControlKind::TabStrip:
      return tabs;
    case ui::ControlKind::UpDown:
      return upDown;
  }
  return label;
}

}  // namespace ui::win32
