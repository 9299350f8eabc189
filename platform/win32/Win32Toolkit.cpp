#include <windows.h>
#include <commctrl.h>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Forms.h"

namespace platform::win32 {
namespace {

UINT buttonFlags(ui::Buttons buttons) {
  switch (buttons) {
    case ui::Buttons::OK: return MB_OK;
    case ui::Buttons::OKCancel: return MB_OKCANCEL;
    case ui::Buttons::AbortRetryIgnore: return MB_ABORTRETRYIGNORE;
    case ui::Buttons::YesNoCancel: return MB_YESNOCANCEL;
    case ui::Buttons::YesNo: return MB_YESNO;
    case ui::Buttons::RetryCancel: return MB_RETRYCANCEL;
  }
  return MB_OK;
}

UINT iconFlags(ui::Icon icon) {
  switch (icon) {
    case ui::Icon::None: return 0;
    case ui::Icon::Critical: return MB_ICONHAND;
    case ui::Icon::Question: return MB_ICONQUESTION;
    case ui::Icon::Exclamation: return MB_ICONEXCLAMATION;
    case ui::Icon::Information: return MB_ICONASTERISK;
  }
  return 0;
}

UINT defaultButtonFlags(int defaultButton) {
  switch (defaultButton) {
    case 2: return MB_DEFBUTTON2;
    case 3: return MB_DEFBUTTON3;
    default: return MB_DEFBUTTON1;
  }
}

ui::Answer answerOf(int result) {
  switch (result) {
    case IDCANCEL: return ui::Answer::Cancel;
    case IDABORT: return ui::Answer::Abort;
    case IDRETRY: return ui::Answer::Retry;
    case IDIGNORE: return ui::Answer::Ignore;
    case IDYES: return ui::Answer::Yes;
    case IDNO: return ui::Answer::No;
    default: return ui::Answer::OK;
  }
}

}  // namespace

ui::Answer showMessageBox(const ui::MessageBoxRequest& request) {
  // Modal to the application: owned by its active window, or, with none, disabling every window
  // of the thread while it is shown.
  HWND owner = GetActiveWindow();
  UINT flags = buttonFlags(request.buttons) | iconFlags(request.icon) | defaultButtonFlags(request.defaultButton);
  if (!owner) flags |= MB_TASKMODAL | MB_SETFOREGROUND;
  const int result = MessageBoxW(owner, wide(request.text).c_str(), wide(request.title).c_str(), flags);
  return answerOf(result);
}

void processPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the quit request for the message loop that owns it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

namespace {

class Win32Toolkit final : public ui::Toolkit {
 public:
  void initCommonControls() override { InitCommonControls(); }

  ui::Answer messageBox(const ui::MessageBoxRequest& request) override { return showMessageBox(request); }

  void processPendingEvents() override { processPendingMessages(); }
};

}  // namespace

std::unique_ptr<ui::Toolkit> createToolkit() { return std::make_unique<Win32Toolkit>(); }

}  // namespace platform::win32
