// List views: report-style rows, virtual or filled, with columns, sort marks and small icons.

#include <algorithm>
#include <map>
#include <optional>

#include "platform/win32/WideText.h"
#include "ui/win32/Realizers.h"

namespace ui::win32 {
namespace {

using platform::win32::wide;

class ListRealizer final : public CommonRealizer {
 public:
  WindowRecipe recipe(const FormWindow&, const ui::Control& control) const override {
    const auto& list = static_cast<const ui::ListView&>(control);
    return {WC_LISTVIEWW,
            static_cast<DWORD>(WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL |
                               (list.isVirtual() ? LVS_OWNERDATA : 0)),
            WS_EX_CLIENTEDGE};
  }
  void created(FormWindow&, ui::Control&, HWND h) const override {
    lists_[h] = {};
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
        applyItems(list, h);
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
        CommonRealizer::apply(window, control, h, what);
    }
  }
  void destroyed(HWND h) const override { lists_.erase(h); }
  LRESULT notify(FormWindow& window, ui::Control& control, NMHDR* header) const override {
    auto& list = static_cast<ui::ListView&>(control);
    switch (header->code) {
      case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
        const auto row = static_cast<std::size_t>(info->item.iItem);
        // The list asks once per column: the row last fetched is kept.
        auto& fetched = lists_[header->hwndFrom].fetched;
        if (!fetched || fetched->first != row) fetched.emplace(row, list.item(row));
        const ui::ListItem& item = fetched->second;
        if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
          const std::size_t sub = static_cast<std::size_t>(info->item.iSubItem);
          const std::string& text = sub == 0 ? item.text : (sub - 1 < item.subItems.size() ? item.subItems[sub - 1] : "");
          const std::wstring wideText = wide(text);
          const std::size_t n =
              std::min<std::size_t>(wideText.size(), static_cast<std::size_t>(info->item.cchTextMax) - 1);
          std::copy_n(wideText.data(), n, info->item.pszText);
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
          lists_[header->hwndFrom].pressedRow = GetKeyState(VK_LBUTTON) < 0 ? change->iItem : -1;
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
        int& pressed = lists_[header->hwndFrom].pressedRow;
        const bool counted = click->iItem == pressed;
        pressed = -1;
        if (!window.applying() && !counted && click->iItem >= 0 &&
            static_cast<std::ptrdiff_t>(click->iItem) == list.selectedIndex())
          list.userClickItem(static_cast<std::size_t>(click->iItem));
        return 0;
      }
      case LVN_BEGINDRAG:
        lists_[header->hwndFrom].pressedRow = -1;
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
  void applyItems(ui::ListView& list, HWND h) const {
    lists_[h].fetched.reset();
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

  // What a list view keeps between the system's notifications.
  struct ListState {
    // The row last fetched for a virtual list, with its texts: the system asks once per column.
    std::optional<std::pair<std::size_t, ui::ListItem>> fetched;
    // The row the mouse button selected: the click that ends the press does not count again.
    int pressedRow = -1;
  };
  mutable std::map<HWND, ListState> lists_;
};

}  // namespace

const Realizer& listRealizer() {
  static const ListRealizer list;
  return list;
}

}  // namespace ui::win32
