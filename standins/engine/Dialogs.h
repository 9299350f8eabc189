#pragma once
// The engine library's two dialogs: the exclusion list editor and the folder-or-file browser. Both
// are modal, owned by the window the caller hands in (disabled while they show), and answer the
// length of the accepted text plus two, or 0 when the user cancels.

#include <windows.h>

#include <cstddef>

namespace krvengine {

// Shows `text` (at most `chars` UTF-16 units with its NUL) in a multi-line box with OK and Cancel.
// The box never takes more than the buffer holds; on OK the buffer receives the box's text and
// zeros after it. A text without its NUL within the buffer is refused with -1, nothing shown.
int editListDialog(const wchar_t* title, HWND owner, wchar_t* text, std::size_t chars);

// Lets the user pick an existing folder or file by walking the folders or by typing its full path.
// On OK `path` (at least `chars` UTF-16 units) receives the full path and its NUL.
int browseDialog(const wchar_t* title, HWND owner, wchar_t* path, std::size_t chars);

}  // namespace krvengine
