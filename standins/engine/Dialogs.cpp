#include "standins/engine/Dialogs.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace krvengine {
namespace {

// The standard control classes by their atoms, as a dialog template names them.
constexpr WORD kButton = 0x0080;
constexpr WORD kEdit = 0x0081;
constexpr WORD kStatic = 0x0082;
constexpr WORD kListBox = 0x0083;

constexpr int kTextBox = 100;
constexpr int kFolderList = 101;
constexpr int kFolderLabel = 102;

// The longest title read from a caller.
constexpr std::size_t kLongestTitle = 512;

// A dialog template built in memory: the library carries no resources of its own.
class DialogTemplate {
 public:
  DialogTemplate(short width, short height) {
    putLong(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    putLong(0);
    words_.push_back(0);  // the item count, set as items are added
    for (short value : {short{0}, short{0}, width, height}) words_.push_back(static_cast<WORD>(value));
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the standard dialog class
    words_.push_back(0);  // the title is set when the dialog starts
    words_.push_back(8);  // point size
    putText(L"MS Shell Dlg");
  }

  void add(WORD atom, int id, DWORD style, short x, short y, short cx, short cy, const wchar_t* text) {
    if (words_.size() % 2) words_.push_back(0);  // items start on a DWORD boundary
    putLong(style | WS_CHILD | WS_VISIBLE);
    putLong(0);
    for (short value : {x, y, cx, cy}) words_.push_back(static_cast<WORD>(value));
    words_.push_back(static_cast<WORD>(id));
    words_.push_back(0xFFFF);
    words_.push_back(atom);
    putText(text);
    words_.push_back(0);  // no creation data
    ++words_[4];
  }

  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void putLong(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
  }
  void putText(const wchar_t* text) {
    for (; *text; ++text) words_.push_back(static_cast<WORD>(*text));
    words_.push_back(0);
  }

  std::vector<WORD> words_;
};

std::wstring titleOf(const wchar_t* title) {
  return title ? std::wstring(title, wcsnlen(title, kLongestTitle)) : std::wstring();
}

HWND validOwner(HWND owner) {
  return owner && IsWindow(owner) ? owner : nullptr;
}

std::wstring textOf(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring trimmed(const std::wstring& text) {
  const std::size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return {};
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// Centred on the owner's window, as a dialog of the owner's is; on the screen without one.
void centreOnOwner(HWND dialog) {
  const HWND owner = GetWindow(dialog, GW_OWNER);
  RECT mine{};
  RECT theirs{};
  if (!owner || !GetWindowRect(dialog, &mine) || !GetWindowRect(owner, &theirs)) return;
  const int width = mine.right - mine.left;
  const int height = mine.bottom - mine.top;
  int x = (theirs.left + theirs.right - width) / 2;
  int y = (theirs.top + theirs.bottom - height) / 2;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  x = std::max<int>(work.left, std::min<int>(x, work.right - width));
  y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void tell(HWND dialog, const std::wstring& message) {
  wchar_t title[256] = {};
  GetWindowTextW(dialog, title, 256);
  MessageBoxW(dialog, message.c_str(), title, MB_OK | MB_ICONEXCLAMATION);
}

// ---- The list editor ----------------------------------------------------------------------------

struct EditCall {
  std::wstring title;
  wchar_t* text;
  std::size_t chars;
};

INT_PTR CALLBACK editProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* call = reinterpret_cast<EditCall*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      call = reinterpret_cast<EditCall*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      SetWindowTextW(dialog, call->title.c_str());
      centreOnOwner(dialog);
      const HWND box = GetDlgItem(dialog, kTextBox);
      SendMessageW(box, EM_SETLIMITTEXT, call->chars - 1, 0);
      SetWindowTextW(box, call->text);
      // The caret after the text, nothing selected: a first key must not replace the list.
      SetFocus(box);
      const LRESULT end = GetWindowTextLengthW(box);
      SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(end), end);
      return FALSE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        const HWND box = GetDlgItem(dialog, kTextBox);
        std::fill(call->text, call->text + call->chars, L'\0');
        const int length = GetWindowTextW(box, call->text, static_cast<int>(call->chars));
        EndDialog(dialog, length + 2);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      if (LOWORD(wParam) == kTextBox && HIWORD(wParam) == EN_MAXTEXT) {
        tell(dialog,
             L"The list is full: it holds at most " + std::to_wstring(call->chars - 1) + L" characters.");
        return TRUE;
      }
      break;
  }
  return FALSE;
}

// ---- The browser ---------------------------------------------------------------------------------

enum ItemKind : LPARAM { kParent, kFolder, kFile, kDrive };

struct BrowseCall {
  std::wstring title;
  wchar_t* path;
  std::size_t chars;
  std::wstring folder;  // shown in the list; a drive's root ends with "\"
};

bool isRoot(const std::wstring& folder) {
  return folder.size() <= 3;
}

std::wstring joined(const std::wstring& folder, const std::wstring& name) {
  return folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

std::wstring parentOf(const std::wstring& folder) {
  const std::size_t slash = folder.find_last_of(L'\\');
  if (slash == std::wstring::npos || slash < 2) return folder;
  return slash == 2 ? folder.substr(0, 3) : folder.substr(0, slash);
}

bool fullPath(const std::wstring& path) {
  const bool drive = path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
  return drive || path.rfind(L"\\\\", 0) == 0;
}

bool lessIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return lstrcmpiW(a.c_str(), b.c_str()) < 0;
}

void addItem(HWND list, const std::wstring& text, ItemKind kind) {
  const LRESULT at = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (at >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(at), kind);
}

// The list shows the parent, the folders in brackets, the files, then the drives as "[-c-]".
void showFolder(HWND dialog, BrowseCall& call, const std::wstring& folder) {
  call.folder = folder;
  const HWND list = GetDlgItem(dialog, kFolderList);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  std::vector<std::wstring> folders;
  std::vector<std::wstring> files;
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(joined(folder, L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? folders : files).push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  std::sort(folders.begin(), folders.end(), lessIgnoringCase);
  std::sort(files.begin(), files.end(), lessIgnoringCase);
  if (!isRoot(folder)) addItem(list, L"[..]", kParent);
  for (const std::wstring& name : folders) addItem(list, L"[" + name + L"]", kFolder);
  for (const std::wstring& name : files) addItem(list, name, kFile);
  wchar_t drives[256] = {};
  const DWORD length = GetLogicalDriveStringsW(255, drives);
  for (const wchar_t* drive = drives; length && length < 255 && *drive; drive += wcslen(drive) + 1)
    addItem(list, std::wstring(L"[-") + static_cast<wchar_t>(towlower(drive[0])) + L"-]", kDrive);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  SetDlgItemTextW(dialog, kFolderLabel, (L"Contents of " + folder).c_str());
}

// The full path of a list item, and whether it is a place to go into rather than to choose.
std::wstring itemPath(HWND dialog, const BrowseCall& call, int index, bool* enterable) {
  const HWND list = GetDlgItem(dialog, kFolderList);
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()))));
  const auto kind = static_cast<ItemKind>(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
  *enterable = kind != kFile;
  switch (kind) {
    case kParent:
      return parentOf(call.folder);
    case kFolder:
      return joined(call.folder, text.substr(1, text.size() - 2));
    case kDrive:
      return std::wstring(1, static_cast<wchar_t>(towupper(text[2]))) + L":\\";
    case kFile:
      break;
  }
  return joined(call.folder, text);
}

// The typed or picked path, checked; true when it was handed back.
bool choose(HWND dialog, BrowseCall& call) {
  std::wstring typed = trimmed(textOf(GetDlgItem(dialog, kTextBox)));
  if (typed.empty()) {
    tell(dialog, L"Choose a folder or file, or type its full path.");
    return false;
  }
  if (!fullPath(typed)) {
    tell(dialog, L"Type the full path of the folder or file, such as C:\\Temp.");
    return false;
  }
  wchar_t full[MAX_PATH * 2] = {};
  const DWORD length = GetFullPathNameW(typed.c_str(), MAX_PATH * 2, full, nullptr);
  if (length > 0 && length < MAX_PATH * 2) typed = full;
  while (typed.size() > 3 && typed.back() == L'\\') typed.pop_back();
  if (typed.size() + 1 > call.chars) {
    tell(dialog, L"The path is longer than " + std::to_wstring(call.chars - 1) + L" characters.");
    return false;
  }
  if (GetFileAttributesW(typed.c_str()) == INVALID_FILE_ATTRIBUTES) {
    tell(dialog, typed + L" does not exist.");
    return false;
  }
  std::copy(typed.begin(), typed.end(), call.path);
  call.path[typed.size()] = L'\0';
  EndDialog(dialog, static_cast<INT_PTR>(typed.size()) + 2);
  return true;
}

std::wstring systemDriveRoot() {
  wchar_t drive[8] = {};
  const DWORD length = GetEnvironmentVariableW(L"SystemDrive", drive, 8);
  return length == 2 && drive[1] == L':' ? std::wstring(drive) + L"\\" : L"C:\\";
}

INT_PTR CALLBACK browseProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* call = reinterpret_cast<BrowseCall*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      call = reinterpret_cast<BrowseCall*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      SetWindowTextW(dialog, call->title.c_str());
      centreOnOwner(dialog);
      SendDlgItemMessageW(dialog, kTextBox, EM_SETLIMITTEXT, MAX_PATH * 2 - 1, 0);
      showFolder(dialog, *call, systemDriveRoot());
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          choose(dialog, *call);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, 0);
          return TRUE;
        case kFolderList: {
          const int index = static_cast<int>(SendDlgItemMessageW(dialog, kFolderList, LB_GETCURSEL, 0, 0));
          if (index < 0) break;
          bool enterable = false;
          const std::wstring path = itemPath(dialog, *call, index, &enterable);
          if (HIWORD(wParam) == LBN_SELCHANGE) {
            SetDlgItemTextW(dialog, kTextBox, path.c_str());
          } else if (HIWORD(wParam) == LBN_DBLCLK) {
            SetDlgItemTextW(dialog, kTextBox, path.c_str());
            if (!enterable) {
              choose(dialog, *call);
            } else if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
              showFolder(dialog, *call, path);
            } else {
              tell(dialog, path + L" cannot be opened.");
            }
          }
          return TRUE;
        }
      }
      break;
  }
  return FALSE;
}

}  // namespace

int editListDialog(const wchar_t* title, HWND owner, wchar_t* text, std::size_t chars) {
  if (!text || chars < 1 || wcsnlen(text, chars) == chars) return -1;
  DialogTemplate layout(280, 180);
  layout.add(kStatic, -1, SS_LEFT, 7, 7, 266, 10, L"One file, folder or pattern per line:");
  layout.add(kEdit, kTextBox,
             WS_BORDER | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                 ES_AUTOHSCROLL | ES_WANTRETURN,
             7, 19, 266, 134, L"");
  layout.add(kButton, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 169, 159, 50, 14, L"OK");
  layout.add(kButton, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 223, 159, 50, 14, L"Cancel");
  EditCall call{titleOf(title), text, chars};
  const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), layout.get(), validOwner(owner),
                                                 editProc, reinterpret_cast<LPARAM>(&call));
  return result > 0 ? static_cast<int>(result) : 0;
}

int browseDialog(const wchar_t* title, HWND owner, wchar_t* path, std::size_t chars) {
  if (!path || chars < 2) return -1;
  DialogTemplate layout(260, 200);
  layout.add(kStatic, -1, SS_LEFT, 7, 7, 246, 10, L"&Folder or file:");
  layout.add(kEdit, kTextBox, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 19, 246, 14, L"");
  layout.add(kStatic, kFolderLabel, SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, 7, 40, 246, 10, L"");
  layout.add(kListBox, kFolderList, WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
             7, 52, 246, 118, L"");
  layout.add(kButton, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 149, 179, 50, 14, L"OK");
  layout.add(kButton, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 203, 179, 50, 14, L"Cancel");
  BrowseCall call{titleOf(title), path, chars, {}};
  const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), layout.get(), validOwner(owner),
                                                 browseProc, reinterpret_cast<LPARAM>(&call));
  return result > 0 ? static_cast<int>(result) : 0;
}

}  // namespace krvengine
