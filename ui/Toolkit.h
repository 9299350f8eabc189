#pragma once
// What the programs need from the user-interface system. The Win32 toolkit shows real windows and
// boxes; the test toolkit answers boxes from a script and records them.

#include <string>

namespace ui {

enum class Buttons { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Answer { OK, Cancel, Abort, Retry, Ignore, Yes, No };

struct MessageBoxRequest {
  std::string text;  // UTF-8; paragraphs separated by two carriage returns
  std::string title;
  Buttons buttons = Buttons::OK;
  Icon icon = Icon::None;
  int defaultButton = 1;  // 1 is the first button from the left
};

class Toolkit {
 public:
  virtual ~Toolkit() = default;
  // Readies the common controls (list views, tabs, up-down controls, status bars).
  virtual void initCommonControls() = 0;
  // Shows a system message box modal to the application and returns the button chosen.
  virtual Answer messageBox(const MessageBoxRequest& request) = 0;
  // Lets the user interface handle the events waiting for it (paint, input, timers), then returns.
  virtual void processPendingEvents() = 0;
};

}  // namespace ui
