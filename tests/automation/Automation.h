#pragma once
// A small driver for the Wine tests: finds top-level windows and message boxes of any process,
// reads their texts and buttons, and presses buttons, as a user would.

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace automation {

struct BoxContents {
  std::string title;                 // UTF-8
  std::vector<std::string> texts;    // static texts, in child order (the message first)
  std::vector<std::string> buttons;  // button captions without the "&" markers, in child order
  std::string defaultButton;         // caption of the default button, "" when none
  bool criticalIcon = false;         // the box shows the stop/critical icon
  bool informationIcon = false;
  bool questionIcon = false;
  bool exclamationIcon = false;
};

// The first visible top-level window whose title is exactly this text, waiting up to timeoutMs.
HWND waitForWindow(const std::string& exactTitle, DWORD timeoutMs);
// The same, only dialog-class (#32770) windows: message boxes and dialogs.
HWND waitForMessageBox(const std::string& exactTitle, DWORD timeoutMs);
// Any visible top-level dialog-class window of this process id, waiting up to timeoutMs.
HWND waitForMessageBoxOf(DWORD processId, DWORD timeoutMs);
BoxContents readBox(HWND box);
// Presses the button with this caption ("&" markers ignored); false when there is none.
bool pressButton(HWND window, const std::string& caption);
std::string windowText(HWND window);

// Every top-level window of every process, in z-order.
std::vector<HWND> topLevelWindows();
// Every window below this one: its children, theirs, and so on.
std::vector<HWND> descendantsOf(HWND window);
// The visible top-level windows of this process id, in z-order.
std::vector<HWND> visibleWindowsOf(DWORD processId);
// Waits until the window is gone or hidden; false when it is still shown after timeoutMs.
bool waitUntilGone(HWND window, DWORD timeoutMs);

// The standard message box icons, as the box shows them.
enum class BoxIcon { None, Critical, Information, Question, Exclamation, Unrecognised };
// Which icon the box shows, by comparing the pixels of its icon control on the screen with the
// system's icons drawn here at the same size (icon handles of another process cannot be compared,
// and under Wine cannot even be read). Waits up to timeoutMs for the box to be painted.
BoxIcon boxIcon(HWND box, DWORD timeoutMs = 2000);
const char* iconName(BoxIcon icon);

// Saves a picture of the whole screen as a 24-bit BMP file; false when it could not be written.
bool saveScreenshot(const std::wstring& bmpPath);

// The pixels of a window's client area (0x00RRGGBB, row after row) as the window's own device
// context holds them, its children's included: what the window shows, whether or not it has reached
// the screen yet.
std::vector<DWORD> clientPixels(HWND window);

// The controls below a window (see descendantsOf) of one class, and the one showing a caption.
std::vector<HWND> controlsOfClass(HWND window, const wchar_t* className);
// The control that shows this caption ("&" markers ignored); nullptr when none does.
HWND buttonOf(HWND window, const std::string& caption);

// Input through the system's queue, to the focused window and the window under the pointer.
// Presses the keys together: each is held down in turn, then all are let go in reverse order.
void pressKeys(const std::vector<WORD>& chord);
// Types the text key by key as the keyboard layout makes each character (Shift held where the
// layout needs it); false, with nothing typed, when a character has no key.
bool typeKeys(std::wstring_view text);
// Types the text as characters, whatever keys the layout has.
void typeCharacters(std::wstring_view text);
// Clicks the left button at a point of the screen. A click within the double-click time on the spot
// of the one before waits that time out first, so that it is not taken for a double click.
void clickAt(POINT screen);
// The pixels of a rectangle of the screen (0x00RRGGBB, row after row); empty when unreadable.
std::vector<DWORD> screenPixels(const RECT& rect);

// A caption without its "&" markers ("&&" stands for one "&").
std::string withoutMnemonics(std::string_view caption);
std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view text);

}  // namespace automation
