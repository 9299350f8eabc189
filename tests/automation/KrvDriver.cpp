// KrvDriver: the automation library on the command line, for scripts that drive the programs.
//
//   KrvDriver wait  "<title>" [timeoutMs]           prints the window's title, texts, buttons,
//                                                   default button and icon, one per line
//   KrvDriver press "<title>" "<button>" [timeoutMs] presses the button of that window
//   KrvDriver gone  "<title>" [timeoutMs]           waits until no window has that title
//   KrvDriver list                                  prints the titles of the visible windows
//   KrvDriver shot  "<file.bmp>"                    saves a picture of the screen
//   KrvDriver keys  "<title>" KEY...                brings the window ("-": the active one) forward
//                                                   and presses each KEY:
//        a chord such as ctrl+f, shift+f3, alt+v, f3, enter, esc, up, down, end, a letter or
//        digit; "=text" types the text
//   KrvDriver show  "<title>" "<text>" [icon] [buttons] [default2|default3]
//        shows a message box (icon: none, critical, information, question, exclamation; buttons:
//        ok, okcancel, yesno, yesnocancel), prints the answer (OK, Cancel, Yes or No) and ends
//        with the box's answer as exit code (1 OK, 2 Cancel, 6 Yes, 7 No)
//   KrvDriver sleep MS [EXITCODE]                   waits MS milliseconds, then ends with EXITCODE
//                                                   (0 when not given), for tests of waiting callers
//
// Exit codes otherwise: 0 done, 1 wrong arguments, 2 window not found (or, for gone, still there),
// 3 no such button, 4 the picture could not be saved. Texts are printed in UTF-8; a line break
// inside a text is printed as \r or \n.

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <string>
#include <utility>
#include <vector>

#include "automation/Automation.h"

namespace {

constexpr DWORD kDefaultTimeoutMs = 10000;
constexpr int kUsage = 1;
constexpr int kWindowNotFound = 2;
constexpr int kButtonNotFound = 3;
constexpr int kNotSaved = 4;

void printLine(const std::string& label, const std::string& value) {
  std::string line = label + ": ";
  for (char c : value) {
    if (c == '\r') {
      line += "\\r";
    } else if (c == '\n') {
      line += "\\n";
    } else {
      line += c;
    }
  }
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stdout);
}

int usage() {
  std::fputs(
      "usage: KrvDriver wait TITLE [TIMEOUT_MS]\n"
      "       KrvDriver press TITLE BUTTON [TIMEOUT_MS]\n"
      "       KrvDriver gone TITLE [TIMEOUT_MS]\n"
      "       KrvDriver list\n"
      "       KrvDriver shot FILE.bmp\n"
      "       KrvDriver keys TITLE KEY...\n"
      "       KrvDriver show TITLE TEXT [none|critical|information|question|exclamation]"
      " [ok|okcancel|yesno|yesnocancel] [default2|default3]\n"
      "       KrvDriver sleep MS [EXITCODE]\n",
      stderr);
  return kUsage;
}

bool readTimeout(int argc, wchar_t** argv, int index, DWORD& timeoutMs) {
  timeoutMs = kDefaultTimeoutMs;
  if (index >= argc) return true;
  wchar_t* end = nullptr;
  const unsigned long value = std::wcstoul(argv[index], &end, 10);
  if (end == argv[index] || *end != L'\0') return false;
  timeoutMs = static_cast<DWORD>(value);
  return true;
}

std::string utf8(const wchar_t* text) {
  return automation::toUtf8(text);
}

int waitCommand(const std::string& title, DWORD timeoutMs) {
  HWND window = automation::waitForWindow(title, timeoutMs);
  if (!window) return kWindowNotFound;
  const automation::BoxContents box = automation::readBox(window);
  printLine("title", box.title);
  for (const std::string& text : box.texts) printLine("text", text);
  for (const std::string& button : box.buttons) printLine("button", button);
  printLine("default", box.defaultButton);
  printLine("icon", automation::iconName(automation::boxIcon(window, 0)));
  return 0;
}

int pressCommand(const std::string& title, const std::string& button, DWORD timeoutMs) {
  HWND window = automation::waitForWindow(title, timeoutMs);
  if (!window) return kWindowNotFound;
  return automation::pressButton(window, button) ? 0 : kButtonNotFound;
}

int goneCommand(const std::string& title, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND window = automation::waitForWindow(title, 0);
    if (!window) return 0;
    const DWORD spent = GetTickCount() - start;
    if (spent >= timeoutMs || !automation::waitUntilGone(window, timeoutMs - spent)) return kWindowNotFound;
  }
}

BOOL CALLBACK printTitle(HWND window, LPARAM) {
  if (IsWindowVisible(window)) {
    const std::string title = automation::windowText(window);
    if (!title.empty()) printLine("window", title);
  }
  return TRUE;
}

int showCommand(int argc, wchar_t** argv) {
  UINT flags = MB_OK;
  for (int i = 4; i < argc; ++i) {
    const std::wstring word = argv[i];
    if (word == L"none") {
    } else if (word == L"critical") {
      flags |= MB_ICONHAND;
    } else if (word == L"information") {
      flags |= MB_ICONASTERISK;
    } else if (word == L"question") {
      flags |= MB_ICONQUESTION;
    } else if (word == L"exclamation") {
      flags |= MB_ICONEXCLAMATION;
    } else if (word == L"ok") {
    } else if (word == L"okcancel") {
      flags |= MB_OKCANCEL;
    } else if (word == L"yesno") {
      flags |= MB_YESNO;
    } else if (word == L"yesnocancel") {
      flags |= MB_YESNOCANCEL;
    } else if (word == L"default2") {
      flags |= MB_DEFBUTTON2;
    } else if (word == L"default3") {
      flags |= MB_DEFBUTTON3;
    } else {
      return usage();
    }
  }
  const int answer = MessageBoxW(nullptr, argv[3], argv[2], flags | MB_SETFOREGROUND);
  const char* name = answer == IDOK ? "OK" : answer == IDCANCEL ? "Cancel" : answer == IDYES ? "Yes" : "No";
  printLine("answer", name);
  return answer;
}

// The virtual key of a key's name, 0 for none.
WORD virtualKey(const std::wstring& name) {
  static const std::pair<const wchar_t*, WORD> kNames[] = {
      {L"ctrl", VK_CONTROL}, {L"shift", VK_SHIFT}, {L"alt", VK_MENU},    {L"enter", VK_RETURN},
      {L"esc", VK_ESCAPE},   {L"tab", VK_TAB},     {L"up", VK_UP},       {L"down", VK_DOWN},
      {L"end", VK_END},      {L"home", VK_HOME},   {L"space", VK_SPACE}, {L"f3", VK_F3},
      {L"f5", VK_F5}};
  for (const auto& [known, vk] : kNames)
    if (name == known) return vk;
  if (name.size() == 1 && std::iswalnum(name[0])) return static_cast<WORD>(std::towupper(name[0]));
  return 0;
}

int keysCommand(int argc, wchar_t** argv) {
  const std::wstring title = argv[2];
  HWND window =
      title == L"-" ? GetForegroundWindow() : automation::waitForWindow(utf8(argv[2]), kDefaultTimeoutMs);
  if (!window) return kWindowNotFound;
  for (int i = 3; i < argc; ++i) {
    const std::wstring keys = argv[i];
    if (!keys.empty() && keys[0] == L'=') {
      automation::typeText(GetForegroundWindow(), keys.substr(1));
      continue;
    }
    std::vector<WORD> chord;
    for (std::size_t from = 0; from <= keys.size();) {
      const std::size_t plus = std::min(keys.find(L'+', from), keys.size());
      const WORD vk = virtualKey(keys.substr(from, plus - from));
      if (!vk) return usage();
      chord.push_back(vk);
      from = plus + 1;
    }
    // The first keys go to the window named; later ones to whatever it opened (a menu, a dialog).
    automation::pressKeys(i == 3 ? window : GetForegroundWindow(), chord);
    Sleep(200);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) return usage();
  const std::wstring command = argv[1];
  DWORD timeoutMs = kDefaultTimeoutMs;
  if (command == L"wait" && argc >= 3 && argc <= 4 && readTimeout(argc, argv, 3, timeoutMs))
    return waitCommand(utf8(argv[2]), timeoutMs);
  if (command == L"press" && argc >= 4 && argc <= 5 && readTimeout(argc, argv, 4, timeoutMs))
    return pressCommand(utf8(argv[2]), utf8(argv[3]), timeoutMs);
  if (command == L"gone" && argc >= 3 && argc <= 4 && readTimeout(argc, argv, 3, timeoutMs))
    return goneCommand(utf8(argv[2]), timeoutMs);
  if (command == L"list" && argc == 2) {
    EnumWindows(printTitle, 0);
    return 0;
  }
  if (command == L"shot" && argc == 3) return automation::saveScreenshot(argv[2]) ? 0 : kNotSaved;
  if (command == L"show" && argc >= 4 && argc <= 7) return showCommand(argc, argv);
  if (command == L"keys" && argc >= 4) return keysCommand(argc, argv);
  if (command == L"sleep" && argc >= 3 && argc <= 4) {
    wchar_t* end = nullptr;
    const unsigned long milliseconds = std::wcstoul(argv[2], &end, 10);
    if (*end != L'\0') return usage();
    const unsigned long code = argc == 4 ? std::wcstoul(argv[3], &end, 10) : 0;
    if (*end != L'\0') return usage();
    Sleep(milliseconds);
    return static_cast<int>(code);
  }
  return usage();
}
