#pragma once
// The toolkit that realizes forms: the Win32 renderer shows them as real windows, the test toolkit
// records them and lets a test raise the events a user would.

#include <string_view>

#include "ui/Form.h"
#include "ui/Toolkit.h"

namespace ui {

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
};

}  // namespace ui
