#include "automation/Automation.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>

namespace automation {
namespace {

constexpr DWORD kPollMs = 50;
constexpr UINT kSendTimeoutMs = 2000;

bool elapsed(DWORD start, DWORD timeoutMs) {
  return GetTickCount() - start >= timeoutMs;
}

// Polls until the probe finds something or the time is up; the probe runs at least once.
HWND pollFor(DWORD timeoutMs, const std::function<HWND()>& probe) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND found = probe()) return found;
    if (elapsed(start, timeoutMs)) return nullptr;
    Sleep(kPollMs);
  }
}

// The direct children of a window, in their z-order (the order of creation for a dialog).
std::vector<HWND> childrenOf(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

std::wstring className(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return name;
}

bool isDialog(HWND window) {
  return className(window) == L"#32770";
}
bool isButton(HWND window) {
  return _wcsicmp(className(window).c_str(), L"Button") == 0;
}
bool isStatic(HWND window) {
  return _wcsicmp(className(window).c_str(), L"Static") == 0;
}

LONG styleOf(HWND window) {
  return GetWindowLongW(window, GWL_STYLE);
}
bool isIconStatic(HWND window) {
  return isStatic(window) && (styleOf(window) & SS_TYPEMASK) == SS_ICON;
}
bool isDefaultPushButton(HWND window) {
  return (styleOf(window) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

HWND findTopLevel(const std::function<bool(HWND)>& wanted) {
  for (HWND window : topLevelWindows()) {
    if (IsWindowVisible(window) && wanted(window)) return window;
  }
  return nullptr;
}

DWORD processOf(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId;
}

// ---- Icon recognition -------------------------------------------------------------------------

// 32-bit pixels of a device-independent bitmap, top row first, each 0x00RRGGBB.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<DWORD> values;
};

// A memory bitmap of the given size to draw into and read back.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (dc_ && bitmap_) previous_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    if (previous_) SelectObject(dc_, previous_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  bool valid() const { return previous_ != nullptr && bits_ != nullptr; }
  HDC dc() const { return dc_; }
  void fill(COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    RECT all{0, 0, width_, height_};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
  }
  Pixels pixels() const {
    GdiFlush();
    Pixels result{width_, height_, {}};
    const DWORD* first = static_cast<const DWORD*>(bits_);
    result.values.assign(first, first + static_cast<std::size_t>(width_) * height_);
    for (DWORD& value : result.values) value &= 0x00FFFFFF;
    return result;
  }

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  void* bits_ = nullptr;
};

// What the screen shows in this rectangle (in screen coordinates). The screen is read, not the
// window: a window of another process cannot be asked to draw into a device context of ours.
std::optional<Pixels> captureScreen(int left, int top, int width, int height) {
  if (width <= 0 || height <= 0) return std::nullopt;
  Canvas canvas(width, height);
  if (!canvas.valid()) return std::nullopt;
  HDC screen = GetDC(nullptr);
  const BOOL copied = BitBlt(canvas.dc(), 0, 0, width, height, screen, left, top, SRCCOPY | CAPTUREBLT);
  ReleaseDC(nullptr, screen);
  if (!copied) return std::nullopt;
  return canvas.pixels();
}

std::optional<Pixels> captureClient(HWND window) {
  RECT client{};
  if (!GetClientRect(window, &client)) return std::nullopt;
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  return captureScreen(origin.x, origin.y, client.right, client.bottom);
}

// An icon drawn at the given size, with the pixels it covers completely: drawn once over black and
// once over white, a pixel that comes out the same both times is the icon's own.
struct Rendered {
  Pixels colours;
  std::vector<bool> opaque;
  std::size_t opaqueCount = 0;
};

std::optional<Rendered> render(HICON icon, int width, int height) {
  Canvas canvas(width, height);
  if (!canvas.valid()) return std::nullopt;
  canvas.fill(RGB(0, 0, 0));
  DrawIconEx(canvas.dc(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
  Pixels overBlack = canvas.pixels();
  canvas.fill(RGB(255, 255, 255));
  DrawIconEx(canvas.dc(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
  const Pixels overWhite = canvas.pixels();
  Rendered rendered{std::move(overBlack), std::vector<bool>(overWhite.values.size()), 0};
  for (std::size_t i = 0; i < overWhite.values.size(); ++i) {
    rendered.opaque[i] = rendered.colours.values[i] == overWhite.values[i];
    if (rendered.opaque[i]) ++rendered.opaqueCount;
  }
  return rendered;
}

bool similar(DWORD a, DWORD b) {
  constexpr int kTolerance = 24;  // per colour channel: room for a screen of 16 bits per pixel
  for (int shift = 0; shift < 24; shift += 8) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > kTolerance)
      return false;
  }
  return true;
}

// The share of the icon's own pixels that the screen shows differently, 0 to 1.
double mismatch(const Rendered& icon, const Pixels& screen) {
  if (icon.opaqueCount == 0 || screen.values.size() != icon.colours.values.size()) return 1.0;
  std::size_t differing = 0;
  for (std::size_t i = 0; i < screen.values.size(); ++i) {
    if (icon.opaque[i] && !similar(icon.colours.values[i], screen.values[i])) ++differing;
  }
  return static_cast<double>(differing) / static_cast<double>(icon.opaqueCount);
}

struct Candidate {
  BoxIcon icon;
  LPCWSTR resource;
};
const std::array<Candidate, 4> kCandidates{{{BoxIcon::Critical, IDI_HAND},
                                            {BoxIcon::Information, IDI_ASTERISK},
                                            {BoxIcon::Question, IDI_QUESTION},
                                            {BoxIcon::Exclamation, IDI_EXCLAMATION}}};

// The candidate the pixels show, when one matches clearly and the others do not.
std::optional<BoxIcon> recognise(const Pixels& screen) {
  // A painted icon shows almost every pixel as drawn here; the next best must be clearly worse
  // (Wine's information and question icons share their blue disc and differ in the sign only:
  // about 13 % of their pixels).
  constexpr double kMatch = 0.03;
  constexpr double kMargin = 0.05;
  std::optional<BoxIcon> best;
  double bestScore = 1.0;
  double runnerUp = 1.0;
  for (const Candidate& candidate : kCandidates) {
    const std::optional<Rendered> drawn =
        render(LoadIconW(nullptr, candidate.resource), screen.width, screen.height);
    if (!drawn) continue;
    const double score = mismatch(*drawn, screen);
    if (score < bestScore) {
      runnerUp = bestScore;
      bestScore = score;
      best = candidate.icon;
    } else if (score < runnerUp) {
      runnerUp = score;
    }
  }
  if (best && bestScore <= kMatch && runnerUp - bestScore >= kMargin) return best;
  return std::nullopt;
}

HWND iconControlOf(HWND box) {
  for (HWND child : childrenOf(box)) {
    if (isIconStatic(child) && IsWindowVisible(child)) return child;
  }
  return nullptr;
}

// The text of a window of any process: asked with WM_GETTEXT (which the system carries across
// processes), else the caption the system keeps.
std::wstring wideText(HWND window) {
  DWORD_PTR length = 0;
  if (SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)) {
    // The text may grow between the two messages (a progress title going from 9% to 10%): room to
    // spare, and a larger buffer again while the text fills it.
    for (std::size_t room = length + 64; room < (1u << 20); room *= 2) {
      std::wstring text(room, L'\0');
      DWORD_PTR copied = 0;
      if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                               SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
        break;
      if (copied + 1 < room) {
        text.resize(copied);
        return text;
      }
    }
  }
  const int fallbackLength = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(std::max(fallbackLength, 0)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      std::max(GetWindowTextW(window, text.data(), static_cast<int>(text.size())), 0)));
  return text;
}

// The title the system keeps for a window, read without sending it anything: a search over every
// window never waits for a busy one.
std::wstring titleOf(HWND window) {
  wchar_t title[1024] = {};
  const int length = InternalGetWindowText(window, title, static_cast<int>(std::size(title)));
  return std::wstring(title, static_cast<std::size_t>(std::max(length, 0)));
}

HWND defaultButtonOf(HWND box) {
  std::vector<HWND> buttons;
  for (HWND child : childrenOf(box)) {
    if (isButton(child) && IsWindowVisible(child)) buttons.push_back(child);
  }
  for (HWND button : buttons) {
    if (isDefaultPushButton(button)) return button;
  }
  DWORD_PTR answer = 0;
  if (isDialog(box) &&
      SendMessageTimeoutW(box, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &answer) &&
      HIWORD(answer) == DC_HASDEFID) {
    for (HWND button : buttons) {
      if (GetDlgCtrlID(button) == static_cast<int>(LOWORD(answer))) return button;
    }
  }
  return nullptr;
}

// Adds each window the system enumerates to the vector the LPARAM points at. A named function: a
// lambda has no calling convention to give, and a 32-bit build needs the system's (CALLBACK).
BOOL CALLBACK collectWindow(HWND window, LPARAM into) {
  reinterpret_cast<std::vector<HWND>*>(into)->push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> topLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> descendantsOf(HWND window) {
  std::vector<HWND> descendants;
  EnumChildWindows(window, collectWindow, reinterpret_cast<LPARAM>(&descendants));
  return descendants;
}

std::wstring toWide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), length);
  return text;
}

std::string toUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), length, nullptr,
                      nullptr);
  return utf8;
}

std::string withoutMnemonics(std::string_view caption) {
  std::string plain;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') plain += '&', ++i;
      continue;
    }
    plain += caption[i];
  }
  return plain;
}

std::string windowText(HWND window) {
  return toUtf8(wideText(window));
}

HWND waitForWindow(const std::string& exactTitle, DWORD timeoutMs) {
  const std::wstring wanted = toWide(exactTitle);
  return pollFor(timeoutMs, [&] { return findTopLevel([&](HWND w) { return titleOf(w) == wanted; }); });
}

HWND waitForMessageBox(const std::string& exactTitle, DWORD timeoutMs) {
  const std::wstring wanted = toWide(exactTitle);
  return pollFor(timeoutMs,
                 [&] { return findTopLevel([&](HWND w) { return isDialog(w) && titleOf(w) == wanted; }); });
}

HWND waitForMessageBoxOf(DWORD processId, DWORD timeoutMs) {
  return pollFor(timeoutMs, [&] {
    return findTopLevel([&](HWND w) { return isDialog(w) && processOf(w) == processId; });
  });
}

std::vector<HWND> visibleWindowsOf(DWORD processId) {
  std::vector<HWND> found;
  for (HWND window : topLevelWindows()) {
    if (IsWindowVisible(window) && processOf(window) == processId) found.push_back(window);
  }
  return found;
}

bool waitUntilGone(HWND window, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (IsWindow(window) && IsWindowVisible(window)) {
    if (elapsed(start, timeoutMs)) return false;
    Sleep(kPollMs);
  }
  return true;
}

BoxIcon boxIcon(HWND box, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND control = iconControlOf(box);
    DWORD_PTR icon = 0;
    if (!control ||
        (SendMessageTimeoutW(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &icon) &&
         icon == 0))
      return BoxIcon::None;
    // A box just shown may not be painted yet: look again until the time is up.
    if (const std::optional<Pixels> screen = captureClient(control)) {
      if (const std::optional<BoxIcon> seen = recognise(*screen)) return *seen;
    }
    if (elapsed(start, timeoutMs) || !IsWindow(box)) return BoxIcon::Unrecognised;
    Sleep(kPollMs);
  }
}

std::vector<DWORD> clientPixels(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  std::vector<DWORD> pixels(static_cast<std::size_t>(rect.right) * rect.bottom);
  HDC dc = GetDC(window);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, rect.right, rect.bottom);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, rect.right, rect.bottom, dc, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = rect.right;
  info.bmiHeader.biHeight = -rect.bottom;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(rect.bottom), pixels.data(), &info, DIB_RGB_COLORS);
  for (DWORD& p : pixels) p &= 0x00FFFFFF;
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, dc);
  return pixels;
}

bool saveScreenshot(const std::wstring& bmpPath) {
  const std::optional<Pixels> screen =
      captureScreen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  if (!screen) return false;
  const std::size_t rowBytes = (static_cast<std::size_t>(screen->width) * 3 + 3) & ~std::size_t{3};
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = static_cast<DWORD>(file.bfOffBits + rowBytes * screen->height);
  info.biSize = sizeof(info);
  info.biWidth = screen->width;
  info.biHeight = screen->height;  // bottom row first
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  std::vector<char> bytes(file.bfSize, '\0');
  std::memcpy(bytes.data(), &file, sizeof(file));
  std::memcpy(bytes.data() + sizeof(file), &info, sizeof(info));
  for (int y = 0; y < screen->height; ++y) {
    char* row = bytes.data() + file.bfOffBits + rowBytes * static_cast<std::size_t>(screen->height - 1 - y);
    for (int x = 0; x < screen->width; ++x) {
      const DWORD pixel = screen->values[static_cast<std::size_t>(y) * screen->width + x];
      row[x * 3] = static_cast<char>(pixel & 0xFF);
      row[x * 3 + 1] = static_cast<char>((pixel >> 8) & 0xFF);
      row[x * 3 + 2] = static_cast<char>((pixel >> 16) & 0xFF);
    }
  }
  HANDLE out =
      CreateFileW(bmpPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(out);
  return ok;
}

const char* iconName(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::None:
      return "none";
    case BoxIcon::Critical:
      return "critical";
    case BoxIcon::Information:
      return "information";
    case BoxIcon::Question:
      return "question";
    case BoxIcon::Exclamation:
      return "exclamation";
    case BoxIcon::Unrecognised:
      return "unrecognised";
  }
  return "unrecognised";
}

BoxContents readBox(HWND box) {
  BoxContents contents;
  contents.title = windowText(box);
  for (HWND child : childrenOf(box)) {
    if (!IsWindowVisible(child)) continue;
    if (isStatic(child) && !isIconStatic(child)) {
      contents.texts.push_back(windowText(child));
    } else if (isButton(child)) {
      contents.buttons.push_back(withoutMnemonics(windowText(child)));
    }
  }
  if (HWND button = defaultButtonOf(box)) contents.defaultButton = withoutMnemonics(windowText(button));
  switch (boxIcon(box)) {
    case BoxIcon::Critical:
      contents.criticalIcon = true;
      break;
    case BoxIcon::Information:
      contents.informationIcon = true;
      break;
    case BoxIcon::Question:
      contents.questionIcon = true;
      break;
    case BoxIcon::Exclamation:
      contents.exclamationIcon = true;
      break;
    case BoxIcon::None:
    case BoxIcon::Unrecognised:
      break;
  }
  return contents;
}

bool pressButton(HWND window, const std::string& caption) {
  const std::string wanted = withoutMnemonics(caption);
  for (HWND button : descendantsOf(window)) {
    if (!isButton(button) || !IsWindowVisible(button) || !IsWindowEnabled(button)) continue;
    if (withoutMnemonics(windowText(button)) != wanted) continue;
    // What a click makes the button send its parent, posted so that a box that ends at once (or a
    // program that stops) cannot block the caller.
    const int id = GetDlgCtrlID(button);
    return PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(button));
  }
  return false;
}

std::vector<HWND> controlsOfClass(HWND window, const wchar_t* wanted) {
  std::vector<HWND> found;
  for (HWND control : descendantsOf(window))
    if (_wcsicmp(className(control).c_str(), wanted) == 0) found.push_back(control);
  return found;
}

HWND buttonOf(HWND window, const std::string& caption) {
  for (HWND control : descendantsOf(window))
    if (withoutMnemonics(windowText(control)) == caption) return control;
  return nullptr;
}

namespace {

INPUT keyInput(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

void send(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

void pressKeys(const std::vector<WORD>& chord) {
  std::vector<INPUT> inputs;
  for (WORD vk : chord) inputs.push_back(keyInput(vk, false));
  for (auto vk = chord.rbegin(); vk != chord.rend(); ++vk) inputs.push_back(keyInput(*vk, true));
  send(inputs);
}

bool typeKeys(std::wstring_view text) {
  std::vector<INPUT> inputs;
  for (const wchar_t c : text) {
    const SHORT scan = VkKeyScanW(c);
    if (scan == -1) return false;
    const WORD vk = LOBYTE(scan);
    const bool shift = (scan & 0x100) != 0;
    if (shift) inputs.push_back(keyInput(VK_SHIFT, false));
    inputs.push_back(keyInput(vk, false));
    inputs.push_back(keyInput(vk, true));
    if (shift) inputs.push_back(keyInput(VK_SHIFT, true));
  }
  send(inputs);
  return true;
}

void typeCharacters(std::wstring_view text) {
  std::vector<INPUT> inputs;
  for (const wchar_t c : text) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = c;
    input.ki.dwFlags = KEYEVENTF_UNICODE;
    inputs.push_back(input);
    input.ki.dwFlags |= KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  send(inputs);
}

void clickAt(POINT at) {
  static POINT lastClick{-100, -100};
  static DWORD lastClickTime = 0;
  const DWORD now = GetTickCount();
  if (std::abs(at.x - lastClick.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
      std::abs(at.y - lastClick.y) <= GetSystemMetrics(SM_CYDOUBLECLK) &&
      now - lastClickTime <= GetDoubleClickTime())
    Sleep(GetDoubleClickTime() - (now - lastClickTime) + 50);
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  std::vector<INPUT> inputs(3);
  for (INPUT& input : inputs) input.type = INPUT_MOUSE;
  // Normalized co-ordinates rounded up, so that they map back onto the wanted pixel.
  inputs[0].mi.dx = static_cast<LONG>((static_cast<LONGLONG>(at.x) * 65536 + width - 1) / width);
  inputs[0].mi.dy = static_cast<LONG>((static_cast<LONGLONG>(at.y) * 65536 + height - 1) / height);
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  send(inputs);
  lastClick = at;
  lastClickTime = GetTickCount();
}

std::vector<DWORD> screenPixels(const RECT& rect) {
  const auto pixels = captureScreen(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  return pixels ? pixels->values : std::vector<DWORD>{};
}

}  // namespace automation
