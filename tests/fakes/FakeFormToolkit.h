#pragma once
// The test toolkit for forms: it keeps a record of each shown form instead of a window, answers
// message boxes from a queue (an unexpected box fails the test), runs a script for each modal form,
// and lets a test act on a form as a user would: choose menu items, press keys, click buttons and
// list rows, type, choose options and tabs, step up-down boxes, resize and close the window. The
// form model's own rules (Enter, Esc, Tab, key preview, option groups, focus) run as they do on the
// screen; only the system's part is pretended here.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/Unicode.h"
#include "fakes/ScriptedToolkit.h"
#include "ui/FormToolkit.h"

namespace fakes {

class FakeFormToolkit : public ScriptedToolkit<ui::FormToolkit> {
 public:
  // The pretend font: every character 90 twips wide, except a few wide and narrow ones, so that
  // widths depend on which characters a text holds, not only on how many.
  static int characterWidth(char32_t c) {
    if (c == 'W' || c == 'M' || c == '@') return 180;
    if (c == 'i' || c == 'l' || c == '.' || c == ' ') return 45;
    return 90;
  }
  static int widthOf(std::string_view utf8) {
    int width = 0;
    for (std::size_t pos = 0; pos < utf8.size();) width += characterWidth(platform::nextCodePoint(utf8, pos));
    return width;
  }

  // FormToolkit
  void show(ui::Form& form) override {
    if (form.loaded()) return;
    realize(form);
    if (form.onLoad) form.onLoad();
    if (!form.loaded()) return;
    form.userResized(form.clientWidth(), form.clientHeight());
    form.realized();
  }
  void showModal(ui::Form& form, ui::Form* owner) override {
    (void)owner;
    auto script = modalScripts.find(form.name());
    if (script == modalScripts.end()) {
      ADD_FAILURE() << "unexpected modal form " << form.name();
      return;
    }
    show(form);
    script->second(form);
    if (form.loaded()) {
      ADD_FAILURE() << "modal form " << form.name() << " still shown after its script";
      form.unload();
    }
  }
  void unload(ui::Form& form) override {
    peers_.erase(&form);
    form.attach(nullptr);
    ++unloads;
  }
  int run() override { return 0; }
  void processPendingEvents() override {
    ScriptedToolkit::processPendingEvents();
    if (onEvents) onEvents();
  }
  int textWidth(const ui::Form&, std::string_view utf8) override { return widthOf(utf8); }
  ui::ScreenMetrics screen() override { return metrics; }
  void showFind(ui::Form& owner, const ui::FindQuery& query,
                std::function<void(const ui::FindQuery&)> onFindNext) override {
    EXPECT_TRUE(owner.loaded());
    findShown = query;
    onFindNext_ = std::move(onFindNext);
  }
  bool setClipboardText(ui::Form&, std::string_view utf8) override {
    clipboard = std::string(utf8);
    return true;
  }

  // What a user does. Each fails the test when the user could not do it.
  void chooseMenu(ui::Form& form, const std::string& name) {
    ASSERT_TRUE(form.loaded()) << form.name() << " is not shown";
    ASSERT_TRUE(form.clickMenu(name)) << "no enabled menu item " << name;
  }
  void pressShortcut(ui::Form& form, ui::Key key, ui::Modifiers modifiers = {}) {
    ASSERT_TRUE(form.loaded());
    ui::MenuItem* item = form.menuForShortcut(key, modifiers);
    ASSERT_NE(item, nullptr) << "no menu item has this shortcut";
    ASSERT_TRUE(form.clickMenu(item->name));
  }
  void clickItem(ui::ListView& list, std::size_t row) {
    ASSERT_TRUE(list.form().loaded() && list.visible() && list.enabled()) << list.name() << " cannot be used";
    ASSERT_LT(row, list.itemCount());
    list.userClickItem(row);
  }
  void clickColumn(ui::ListView& list, std::size_t column) {
    ASSERT_TRUE(list.form().loaded() && list.visible()) << list.name() << " cannot be used";
    ASSERT_LT(column, list.columns().size());
    list.userClickColumn(column);
  }
  void resize(ui::Form& form, int width, int height) {
    ASSERT_TRUE(form.loaded() && form.resizable());
    form.userResized(width, height);
  }
  // A key pressed in the form; true when the form used it rather than the focused control.
  bool press(ui::Form& form, ui::Key key, ui::Modifiers modifiers = {}) {
    EXPECT_TRUE(form.loaded()) << form.name() << " is not shown";
    return form.loaded() && form.keyDown(key, modifiers);
  }
  // A mouse click on a control: a focusable one takes the focus first, then its event runs; when a
  // lost-focus handler keeps the focus where it was, the click does not happen.
  void click(ui::Control& control) {
    ASSERT_TRUE(control.form().loaded() && control.usable()) << control.name() << " cannot be used";
    if (control.focusable()) {
      control.form().setFocus(control);
      if (control.form().focused() != &control) return;
    }
    switch (control.kind()) {
      case ui::ControlKind::CheckBox:
        control.userSetValue(control.value() ? 0 : 1);
        break;
      case ui::ControlKind::OptionButton:
        control.userSetValue(1);
        break;
      default:
        break;
    }
    if (control.form().loaded()) control.click();
  }
  // Typing replaces the selected text (all of it when the whole text is selected), else appends.
  // A box's length holds what is typed: the typed text is cut to the room left, and the text
  // already there stays, however long.
  void type(ui::Control& box, const std::string& text) {
    ASSERT_TRUE(box.form().loaded() && box.usable()) << box.name() << " cannot be used";
    if (box.form().focused() != &box) box.form().setFocus(box);
    std::string now = box.caption();
    const auto start = static_cast<std::size_t>(box.selectionStart());
    auto length = static_cast<std::size_t>(box.selectionLength());
    if (start + length > now.size()) length = 0;
    const std::size_t at = length > 0 ? start : now.size();
    std::string typed = text;
    const std::size_t kept = now.size() - length;
    if (box.maxLength() > 0) {
      const auto limit = static_cast<std::size_t>(box.maxLength());
      typed.resize(std::min(typed.size(), kept < limit ? limit - kept : 0));
    }
    now.replace(at, length, typed);
    box.userSelected(static_cast<int>(now.size()), 0);
    box.userSetCaption(now);
  }
  void chooseItem(ui::Control& combo, int index) {
    ASSERT_TRUE(combo.usable() && index >= 0 && index < static_cast<int>(combo.listTexts().size()));
    combo.form().setFocus(combo);
    combo.userSetValue(index);
  }
  void chooseTab(ui::Control& tabs, int index) {
    ASSERT_TRUE(tabs.usable() && index >= 0 && index < static_cast<int>(tabs.listTexts().size()));
    tabs.userSetValue(index);
  }
  void step(ui::Control& upDown, int delta) {
    ASSERT_TRUE(upDown.usable()) << upDown.name() << " cannot be used";
    upDown.userStep(delta);
  }
  // A timer's interval has passed; an enabled timer of a shown form runs its handler.
  void tick(ui::Timer& timer) {
    if (timer.enabled && timer.onTimer) timer.onTimer();
  }
  // "Find Next" in the open Find dialog, holding the query.
  void findNext(const ui::FindQuery& query) {
    ASSERT_TRUE(onFindNext_) << "the Find dialog is not open";
    const auto onFindNext = onFindNext_;
    onFindNext(query);
  }
  // The window's close box.
  void close(ui::Form& form) {
    ASSERT_TRUE(form.loaded());
    form.unload();
  }
  // The row a list last scrolled into view, -1 when none.
  std::ptrdiff_t scrolledTo(const ui::ListView& list) const {
    auto found = scrolled_.find(&list);
    return found == scrolled_.end() ? -1 : found->second;
  }

  // The status bars' height the realization gives them, in twips.
  int statusBarHeight = 330;
  ui::ScreenMetrics metrics;
  std::map<std::string, std::function<void(ui::Form&)>> modalScripts;
  std::function<void()> onEvents;  // runs at each event pass, as a window's timer would

  int unloads = 0;
  std::optional<ui::FindQuery> findShown;  // what the Find dialog last opened with
  std::string clipboard;

 private:
  class Peer final : public ui::FormPeer {
   public:
    Peer(FakeFormToolkit& toolkit, ui::Form& form) : toolkit_(toolkit), form_(form) {}
    void formChanged(ui::Change) override {}
    void controlChanged(ui::Control& control, ui::Change what) override {
      if (what == ui::Change::ScrollInto)
        toolkit_.scrolled_[&control] = static_cast<ui::ListView&>(control).selectedIndex();
      // A control that can no longer be used loses the focus, as on the screen.
      if ((what == ui::Change::Visible || what == ui::Change::Enabled) && form_.focused() &&
          !form_.focused()->usable())
        form_.userFocusChanged(nullptr);
    }
    void timerChanged(ui::Timer&) override {}
    void focus(ui::Control& control) override { form_.userFocusChanged(&control); }
    int textWidth(std::string_view utf8) override { return widthOf(utf8); }
    ui::NativeHandle nativeHandle() const override { return reinterpret_cast<ui::NativeHandle>(this); }

   private:
    FakeFormToolkit& toolkit_;
    ui::Form& form_;
  };
  void realize(ui::Form& form) {
    auto& peer = peers_[&form];
    peer = std::make_unique<Peer>(*this, form);
    form.attach(peer.get());
    for (ui::Control* control : form.controls()) {
      if (control->kind() == ui::ControlKind::StatusBar) {
        control->realizedBounds(
            {0, form.clientHeight() - statusBarHeight, form.clientWidth(), statusBarHeight});
      }
    }
  }
  std::map<ui::Form*, std::unique_ptr<Peer>> peers_;
  std::function<void(const ui::FindQuery&)> onFindNext_;
  std::map<const ui::Control*, std::ptrdiff_t> scrolled_;
};

}  // namespace fakes
