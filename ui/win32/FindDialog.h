#pragma once
// The system's modeless Find dialog (FindTextW): one per program, owned by a form's window. The
// dialog reports to its owner with the registered FINDMSGSTRING message, which the toolkit's window
// procedure hands over here; its keys need IsDialogMessage in the program's message loop.

#include <windows.h>

#include <commdlg.h>

#include <functional>

#include "ui/FormToolkit.h"

namespace ui::win32 {

class FindDialog {
 public:
  FindDialog() = default;
  FindDialog(const FindDialog&) = delete;
  FindDialog& operator=(const FindDialog&) = delete;
  ~FindDialog();

  // The registered message the dialog sends its owner.
  static UINT message();
  // Opens the dialog owned by the window with the query, or brings the open one forward.
  void show(HWND owner, const ui::FindQuery& query, std::function<void(const ui::FindQuery&)> onFindNext);
  // The owner received message(): a "Find Next" or the dialog's end.
  void received(LPARAM lParam);
  // The open dialog, or nullptr (once its owner is gone, say).
  HWND window() const { return dialog_ && IsWindow(dialog_) ? dialog_ : nullptr; }

 private:
  FINDREPLACEW request_{};
  wchar_t text_[256] = {};
  HWND dialog_ = nullptr;
  std::function<void(const ui::FindQuery&)> onFindNext_;
};

}  // namespace ui::win32
