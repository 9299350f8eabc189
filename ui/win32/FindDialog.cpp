#include "ui/win32/FindDialog.h"

#include <cwchar>

#include "platform/win32/WideText.h"

namespace ui::win32 {

FindDialog::~FindDialog() {
  if (HWND open = window()) DestroyWindow(open);
}

UINT FindDialog::message() {
  static const UINT registered = RegisterWindowMessageW(FINDMSGSTRINGW);
  return registered;
}

void FindDialog::show(HWND owner, const ui::FindQuery& query,
                      std::function<void(const ui::FindQuery&)> onFindNext) {
  onFindNext_ = std::move(onFindNext);
  if (HWND open = window()) {
    if (GetWindow(open, GW_OWNER) == owner) {
      SetActiveWindow(open);
      return;
    }
    DestroyWindow(open);
  }
  const std::wstring text = platform::win32::wide(query.text);
  wcsncpy(text_, text.c_str(), std::size(text_) - 1);
  text_[std::size(text_) - 1] = L'\0';
  request_ = FINDREPLACEW{};
  request_.lStructSize = sizeof(request_);
  request_.hwndOwner = owner;
  request_.lpstrFindWhat = text_;
  request_.wFindWhatLen = static_cast<WORD>(std::size(text_));
  request_.Flags = (query.down ? FR_DOWN : 0) | (query.matchCase ? FR_MATCHCASE : 0) | FR_HIDEWHOLEWORD;
  dialog_ = FindTextW(&request_);
}

void FindDialog::received(LPARAM lParam) {
  const auto* request = reinterpret_cast<const FINDREPLACEW*>(lParam);
  if (request != &request_) return;
  if (request_.Flags & FR_DIALOGTERM) {
    dialog_ = nullptr;
    return;
  }
  if ((request_.Flags & FR_FINDNEXT) && onFindNext_) {
    ui::FindQuery query;
    query.text = platform::win32::narrow(text_);
    query.matchCase = (request_.Flags & FR_MATCHCASE) != 0;
    query.down = (request_.Flags & FR_DOWN) != 0;
    // A copy: the handler may open the dialog again with another handler.
    const auto onFindNext = onFindNext_;
    onFindNext(query);
  }
}

}  // namespace ui::win32
