#pragma once
// The toolkit that realizes forms: the Win32 renderer shows them as real windows, the test toolkit
// records them and lets a test raise the events a user would.

#include <functional>
#include <string>
#include <string_view>

#include "ui/Form.h"
#include "ui/Toolkit.h"

namespace ui {

// What the user asks for in the Find dialog.
struct FindQuery {
  std::string text;  // UTF-8
  bool matchCase = false;
  bool down = true;
};

class FormToolkit : public Toolkit {
 public:
  // Realizes and shows the form without waiting.
  virtual void show(Form& form) = 0;
  // Realizes and shows the form modal to owner (or to the application) and returns when it has
  // unloaded; the owner cannot be used meanwhile.
  virtual void showModal(Form& form, Form* owner) = 0;
  // Takes the form's realization away.
  virtual void unload(Form& form) = 0;
  // Handles events until the last shown form has unloaded; gives the program's exit code.
  virtual int run() = 0;
  // Width of the text in the form's font before the form is shown (the font is the same).
  virtual int textWidth(const Form& form, std::string_view utf8) = 0;
  virtual ScreenMetrics screen() = 0;
  // Shows the system's modeless Find dialog owned by the form's window, holding the query (or
  // brings the open one forward). Each "Find Next" in it calls onFindNext with what it holds; it
  // stays until the user closes it or the form unloads, while the form is used as before.
  virtual void showFind(Form& owner, const FindQuery& query,
                        std::function<void(const FindQuery&)> onFindNext) = 0;
  // Puts the text (UTF-8, lines ending in CR LF) on the clipboard; false when it could not.
  virtual bool setClipboardText(Form& owner, std::string_view utf8) = 0;
};

}  // namespace ui
