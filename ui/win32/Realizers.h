#pragma once
// What the realizers share: the changes every kind of window takes alike, and the kinds that have
// a file of their own.

#include "ui/win32/FormWindow.h"

namespace ui::win32 {

// Applies the common changes (caption, enabled, visible, bounds, font) to any control's window.
class CommonRealizer : public Realizer {
 public:
  void apply(FormWindow& window, ui::Control& control, HWND h, ui::Change what) const override;
};

// List views, with what each keeps between the system's notifications.
const Realizer& listRealizer();

}  // namespace ui::win32
