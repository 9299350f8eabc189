// The system message box: the request's buttons, icon and default button as the box's flags, the
// button chosen as the answer.
#include "ui/win32/MessageBox.h"

#include <windows.h>

#include "platform/win32/WideText.h"

namespace ui::win32 {
namespace {

UINT buttonFlags(ui::Buttons buttons) {
  switch (buttons) {
    case ui::Buttons::OK:
      return MB_OK;
    case ui::Buttons::OKCancel:
      return MB_OKCANCEL;
    case ui::Buttons::AbortRetryIgnore:
      return MB_ABORTRETRYIGNORE;
    case ui::Buttons::YesNoCancel:
      return MB_YESNOCANCEL;
    case ui::Buttons::YesNo:
      return MB_YESNO;
    case ui::Buttons::RetryCancel:
      return MB_RETRYCANCEL;
  }
  return MB_OK;
}

UINT iconFlags(ui::Icon icon) {
  switch (icon) {
    case ui::Icon::None:
      return 0;
    case ui::Icon::Critical:
      return MB_ICONHAND;
    case ui::Icon::Question:
      return MB_ICONQUESTION;
    case ui::Icon::Exclamation:
      return MB_ICONEXCLAMATION;
    case ui::Icon::Information:
      return MB_ICONASTERISK;
  }
  return 0;
}

UINT defaultButtonFlags(int defaultButton) {
  switch (defaultButton) {
    case 2:
      return MB_DEFBUTTON2;
    case 3:
      return MB_DEFBUTTON3;
    default:
      return MB_DEFBUTTON1;
  }
}

ui::Answer answerOf(int result) {
  switch (result) {
    case IDCANCEL:
      return ui::Answer::Cancel;
    case IDABORT:
      return ui::Answer::Abort;
    case IDRETRY:
      return ui::Answer::Retry;
    case IDIGNORE:
      return ui::Answer::Ignore;
    case IDYES:
      return ui::Answer::Yes;
    case IDNO:
      return ui::Answer::No;
    default:
      return ui::Answer::OK;
  }
}

}  // namespace

ui::Answer showMessageBox(const ui::MessageBoxRequest& request) {
  // Modal to the application: owned by its active window, or, with none, disabling every window
  // of the thread while it is shown.
  HWND owner = GetActiveWindow();
  UINT flags =
      buttonFlags(request.buttons) | iconFlags(request.icon) | defaultButtonFlags(request.defaultButton);
  if (!owner) flags |= MB_TASKMODAL | MB_SETFOREGROUND;
  const int result = MessageBoxW(owner, platform::win32::wide(request.text).c_str(),
                                 platform::win32::wide(request.title).c_str(), flags);
  return answerOf(result);
}

}  // namespace ui::win32
