#pragma once
// The test toolkit for forms: it keeps a record of each shown form instead of a window, answers
// message boxes from a queue (an unexpected box fails the test), runs a script for each modal form,
// and lets a test act on a form as a user would: choose menu items and shortcuts, click list rows
// and column headers, resize the window.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
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
    form.userResized(form.clientWidth(), form.clientHeight());
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
  int textWidth(const ui::Form&, std::string_view utf8) override { return widthOf(utf8); }
  ui::ScreenMetrics screen() override { return metrics; }

  // What a user does. Each fails the test when the user could not do it.
  void chooseMenu(ui::Form& form, const std::string& name) {
    ASSERT_TRUE(form.loaded()) << form.name() << " is not shown";
    ASSERT_TRUE(form.clickMenu(name)) << "no enabled menu item " << name;
  }
  void pressShortcut(ui::Form& form, ui::Key key) {
    ASSERT_TRUE(form.loaded());
    ui::MenuItem* item = form.menuForShortcut(key);
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
    ASSERT_TRUE(form.loaded() && form.resizable);
    form.userResized(width, height);
  }

  // The status bars' height the realization gives them, in twips.
  int statusBarHeight = 330;
  ui::ScreenMetrics metrics;
  std::map<std::string, std::function<void(ui::Form&)>> modalScripts;

  int unloads = 0;

 private:
  class Peer final : public ui::FormPeer {
   public:
    void formChanged(ui::Change) override {}
    void controlChanged(ui::Control&, ui::Change) override {}
    void timerChanged(ui::Timer&) override {}
    int textWidth(std::string_view utf8) override { return widthOf(utf8); }
  };
  void realize(ui::Form& form) {
    auto& peer = peers_[&form];
    peer = std::make_unique<Peer>();
    form.attach(peer.get());
    for (ui::Control* control : form.controls()) {
      if (control->kind() == ui::ControlKind::StatusBar) {
        control->realizedBounds(
            {0, form.clientHeight() - statusBarHeight, form.clientWidth(), statusBarHeight});
      }
    }
  }
  std::map<ui::Form*, std::unique_ptr<Peer>> peers_;
};

}  // namespace fakes
