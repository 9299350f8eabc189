// One realizer per control kind: the window it is shown as, how one change of the model reaches that
// window, and how the window's notifications become the model's events.

#include <algorithm>
#include <array>

#include "platform/win32/WideText.h"
#include "ui/win32/FormWindow.h"

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

class Common : public Realizer {
 public:
  void apply(FormWindow& window, ui::Control& control, HWND h, ui::Change what) const override {
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
};

class ButtonRealizer final : public Common {
 public:
  WindowRecipe recipe(const FormWindow&, const ui::Control&) const override {
    return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, 0};
  }
  void command(FormWindow&, ui::Control& control, HWND, int code) const override {
    if (code == BN_CLICKED) control.click();
  }
};

class CheckRealizer final : public Common {
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
    Common::apply(window, control, h, what);
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

class LabelRealizer final : public Common {
 public:
  WindowRecipe recipe(const FormWindow&, const ui::Control& control) const override {
    return {L"STATIC", static_cast<DWORD>(SS_LEFT | (control.link ? SS_NOTIFY : 0)),
            control.border ? static_cast<DWORD>(WS_EX_STATICEDGE) : 0u};
  }
  void apply(FormWindow& window, ui::Control& control, HWND h, ui::Change what) const override {
    if (what == ui::Change::Looks && control.link) {
      ui::Font underlined = control.font();
      underlined.underline = true;
      SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(window.font(underlined)), !window.creating());
      if (!window.creating()) InvalidateRect(h, nullptr, TRUE);
      return;
    }
    Common::apply(window, control, h, what);
  }
  void command(FormWindow&, ui::Control& control, HWND, int code) const override {
    if (code == STN_CLICKED && control.link) control.click();
  }
};

class TextRealizer final : public Common {
 public:
  WindowRecipe recipe(const FormWindow&, const ui::Control& control) const override {
    DWORD style = WS_TABSTOP | ES_AUTOHSCROLL | (control.password ? ES_PASSWORD : 0);
    if (control.multiLine) style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL;
    return {L"EDIT", style, WS_EX_CLIENTEDGE};
  }
  void created(FormWindow&, ui::Control& control, HWND h) const override {
    if (control.password) SendMessageW(h, EM_SETPASSWORDCHAR, L'*', 0);
    if (control.maxLength > 0) SendMessageW(h, EM_SETLIMITTEXT, static_cast<WPARAM>(control.maxLength), 0);
  }
  void apply(FormWindow& window, ui::Control& control, HWND h, ui::Change what) const override {
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
    Common::apply(window, control, h, what);
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

class ComboRealizer final : public Common {
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
        Common::apply(window, control, h, what);
    }
  }
  void command(FormWindow&, ui::Control& control, HWND h, int code) const override {
    if (code == CBN_SELCHANGE) control.userSetValue(static_cast<int>(SendMessageW(h, CB_GETCURSEL, 0, 0)));
  }
};

// Frames and picture boxes: real parent windows of the panel class, which paint themselves.
class PanelRealizer final : public Common {
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
    Common::apply(window, control, h, what);
  }
};

// Shapes and images are painted by their container as part of its background, behind every window
// it holds. They have no window: the form never makes one from this recipe, and redraws their
// container when they change.
class WindowlessRealizer final : public Realizer {
 public:
  WindowRecipe recipe(const FormWindow&, const ui::Control&) const override { return {L"STATIC", 0, 0}; }
};

class TabRealizer final : public Common {
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
        Common::apply(window, control, h, what);
        window.layoutPages(control);
        break;
      default:
        Common::apply(window, control, h, what);
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

class UpDownRealizer final : public Common {
 public:
  WindowRecipe recipe(const FormWindow&, const ui::Control&) const override {
    return {UPDOWN_CLASSW, UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0};
  }
  void apply(FormWindow& window, ui::Control& control, HWND h, ui::Change what) const override {
    if (what == ui::Change::Value) {
      SendMessageW(h, UDM_SETRANGE32, static_cast<WPARAM>(control.rangeMin), control.rangeMax);
      SendMessageW(h, UDM_SETPOS32, 0, control.value());
      return;
    }
    // The control narrows itself when made with a size: it is placed again, as the model has it.
    if (what == ui::Change::Bounds && window.creating()) {
      placeWindow(window, control, h);
      return;
    }
    Common::apply(window, control, h, what);
  }
  LRESULT notify(FormWindow&, ui::Control& control, NMHDR* header) const override {
    if (header->code != UDN_DELTAPOS) return 0;
    // The model moves within the range and writes the buddy; the control does not move itself.
    control.userStep(reinterpret_cast<NMUPDOWN*>(header)->iDelta);
    return 1;
  }
};

class StatusRealizer final : public Common {
 public:
  WindowRecipe recipe(const FormWindow&, const ui::Control& control) const override {
    return {STATUSCLASSNAMEW, control.form().resizable() ? static_cast<DWORD>(SBARS_SIZEGRIP) : 0u, 0};
  }
  void created(FormWindow&, ui::Control&, HWND h) const override { SendMessageW(h, SB_SIMPLE, TRUE, 0); }
  void apply(FormWindow& window, ui::Control& control, HWND h, ui::Change what) const override {
    if (what == ui::Change::Caption) {
      SendMessageW(h, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(wide(control.caption()).c_str()));
    } else if (what != ui::Change::Bounds) {  // its place is the system's
      Common::apply(window, control, h, what);
    }
  }
};

class ListRealizer final : public Common {
 public:
  WindowRecipe recipe(const FormWindow&, const ui::Control& control) const override {
    const auto& list = static_cast<const ui::ListView&>(control);
    return {WC_LISTVIEWW,
            static_cast<DWORD>(WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL |
                               (list.isVirtual() ? LVS_OWNERDATA : 0)),
            WS_EX_CLIENTEDGE};
  }
  void created(FormWindow&, ui::Control&, HWND h) const override {
    SendMessageW(h, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  }
  void apply(FormWindow& window, ui::Control& control, HWND h, ui::Change what) const override {
    auto& list = static_cast<ui::ListView&>(control);
    switch (what) {
      case ui::Change::Caption:
        break;
      case ui::Change::Columns:
        applyColumns(window, list, h);
        break;
      case ui::Change::Items:
        applyItems(window, list, h);
        break;
      case ui::Change::Selection:
        applySelection(list, h);
        break;
      case ui::Change::ScrollInto:
        if (list.selectedIndex() >= 0)
          SendMessageW(h, LVM_ENSUREVISIBLE, static_cast<WPARAM>(list.selectedIndex()), FALSE);
        break;
      case ui::Change::SortState:
        applySort(list, h);
        break;
      case ui::Change::ImageList:
        if (list.smallIcons())
          SendMessageW(h, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(window.imageList(*list.smallIcons())));
        break;
      default:
        Common::apply(window, control, h, what);
    }
  }
  LRESULT notify(FormWindow& window, ui::Control& control, NMHDR* header) const override {
    auto& list = static_cast<ui::ListView&>(control);
    switch (header->code) {
      case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
        const auto row = static_cast<std::size_t>(info->item.iItem);
        // The list asks once per column: the row last fetched is kept.
        auto cached = window.fetchedRows.find(header->hwndFrom);
        if (cached == window.fetchedRows.end() || cached->second.first != row)
          cached = window.fetchedRows.insert_or_assign(header->hwndFrom, std::make_pair(row, list.item(row))).first;
        const ui::ListItem& item = cached->second.second;
        if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
          const std::size_t sub = static_cast<std::size_t>(info->item.iSubItem);
          const std::string& text = sub == 0 ? item.text : (sub - 1 < item.subItems.size() ? item.subItems[sub - 1] : "");
          window.textBuffer = wide(text);
          const std::size_t n =
              std::min<std::size_t>(window.textBuffer.size(), static_cast<std::size_t>(info->item.cchTextMax) - 1);
          std::copy_n(window.textBuffer.data(), n, info->item.pszText);
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
        if (window.applying()) return 0;
        const bool selected = change->uNewState & LVIS_SELECTED;
        if (change->iItem >= 0 && selected && !(change->uOldState & LVIS_SELECTED)) {
          // A row the mouse button selects is clicked once: the click that ends this press is
          // not a second one.
          window.pressedRow[header->hwndFrom] = GetKeyState(VK_LBUTTON) < 0 ? change->iItem : -1;
          list.userClickItem(static_cast<std::size_t>(change->iItem));
        } else if ((change->uChanged & LVIF_STATE) && !selected &&
                   (change->iItem < 0 || (change->uOldState & LVIS_SELECTED)) &&
                   SendMessageW(header->hwndFrom, LVM_GETSELECTEDCOUNT, 0, 0) == 0) {
          // The highlight went and no row has it (a click on blank space, or a row's own
          // highlight taken away): the model's selection goes too, or an action on "the selected
          // row" would act on one the user no longer sees chosen.
          list.userClearSelection();
        }
        return 0;
      }
      case NM_CLICK: {
        // A click on the row already selected changes no selection, yet it is a click on that row
        // (its detail shown again, say).
        auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
        int& pressed = window.pressedRow.try_emplace(header->hwndFrom, -1).first->second;
        const bool counted = click->iItem == pressed;
        pressed = -1;
        if (!window.applying() && !counted && click->iItem >= 0 &&
            static_cast<std::ptrdiff_t>(click->iItem) == list.selectedIndex())
          list.userClickItem(static_cast<std::size_t>(click->iItem));
        return 0;
      }
      case LVN_BEGINDRAG:
        window.pressedRow[header->hwndFrom] = -1;
        return 0;
      case LVN_COLUMNCLICK: {
        auto* click = reinterpret_cast<NMLISTVIEW*>(header);
        window.syncColumnWidths();
        list.userClickColumn(static_cast<std::size_t>(click->iSubItem));
        return 0;
      }
      default:
        return 0;
    }
  }

 private:
  static void applyColumns(FormWindow& window, ui::ListView& list, HWND h) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(h, LVM_GETHEADER, 0, 0));
    const int existing = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    const auto& columns = list.columns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
      std::wstring text = wide(columns[i].header);
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
      column.pszText = text.data();
      // Column widths are limited by the system's coordinates.
      column.cx = std::min(window.pixelsX(columns[i].width), 32000);
      column.iSubItem = static_cast<int>(i);
      SendMessageW(h, static_cast<int>(i) < existing ? LVM_SETCOLUMNW : LVM_INSERTCOLUMNW, i,
                   reinterpret_cast<LPARAM>(&column));
    }
    for (int i = existing - 1; i >= static_cast<int>(columns.size()); --i) SendMessageW(h, LVM_DELETECOLUMN, i, 0);
    applySort(list, h);
  }
  static void applyItems(FormWindow& window, ui::ListView& list, HWND h) {
    window.fetchedRows.erase(h);
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
    applySelection(list, h);
  }
  static void applySelection(ui::ListView& list, HWND h) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = 0;
    const auto chosen = static_cast<LRESULT>(list.selectedIndex());
    // Only the rows that are selected or focused are cleared: clearing "all rows" walks every row of
    // a virtual list, which for a log of a million entries takes seconds. The focused row is known
    // at once, and it is the selected one but for a list that has none; a search for a selected
    // row walks the rows up to it, so it is made only when some row other than the chosen one is
    // still selected.
    const auto focused = SendMessageW(h, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
    if (focused >= 0 && focused != chosen)
      SendMessageW(h, LVM_SETITEMSTATE, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&state));
    const auto selectedCount = SendMessageW(h, LVM_GETSELECTEDCOUNT, 0, 0);
    const bool chosenSelected =
        chosen >= 0 &&
        (SendMessageW(h, LVM_GETITEMSTATE, static_cast<WPARAM>(chosen), LVIS_SELECTED) & LVIS_SELECTED);
    if (selectedCount > (chosenSelected ? 1 : 0)) {
      const auto row = SendMessageW(h, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
      if (row >= 0 && row != chosen)
        SendMessageW(h, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    }
    if (list.selectedIndex() >= 0) {
      state.state = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageW(h, LVM_SETITEMSTATE, static_cast<WPARAM>(list.selectedIndex()), reinterpret_cast<LPARAM>(&state));
    }
  }
  static void applySort(ui::ListView& list, HWND h) {
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
};

}  // namespace

void Realizer::apply(FormWindow&, ui::Control&, HWND, ui::Change) const {}

const Realizer& realizerOf(ui::ControlKind kind) {
  static const ButtonRealizer button;
  static const LabelRealizer label;
  static const TextRealizer text;
  static const CheckRealizer check(false);
  static const CheckRealizer option(true);
  static const ComboRealizer combo;
  static const PanelRealizer panel;
  static const WindowlessRealizer windowless;
  static const ListRealizer list;
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
      return list;
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
