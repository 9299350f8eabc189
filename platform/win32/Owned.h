#pragma once
// Owning wrappers of the system's objects: each is released when its owner goes, on every way out
// of a function, so a form that is refreshed for hours holds no more objects than one just shown
// and a file or process is never left open by an early return.

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <type_traits>

namespace platform::win32 {

struct HandleCloser {
  void operator()(HANDLE handle) const {
    if (handle) CloseHandle(handle);
  }
};
struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const {
    if (object) DeleteObject(object);
  }
};
struct IconDeleter {
  void operator()(HICON icon) const {
    if (icon) DestroyIcon(icon);
  }
};
struct ImageListDeleter {
  void operator()(HIMAGELIST list) const {
    if (list) ImageList_Destroy(list);
  }
};
struct MenuDeleter {
  void operator()(HMENU menu) const {
    if (menu) DestroyMenu(menu);
  }
};

// A kernel object (file, file mapping, process, thread, token, mutex). Null when none is held: a
// failed CreateFile's INVALID_HANDLE_VALUE is stored as null (ownedFile).
using OwnedHandle = std::unique_ptr<void, HandleCloser>;
inline OwnedHandle ownedFile(HANDLE file) {
  return OwnedHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}
using OwnedFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using OwnedBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
using OwnedBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using OwnedIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;
using OwnedImageList = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDeleter>;
using OwnedMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;

// A window's device context for the length of a scope.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a device context for the length of a scope.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
  ~Selected() {
    if (old_) SelectObject(dc_, old_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace platform::win32
