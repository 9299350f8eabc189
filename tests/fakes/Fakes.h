#pragma once
// Test doubles of the platform and toolkit interfaces. They record what the code under test did
// and answer from what the test set up; an unexpected message box fails the test.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/StringTable.h"
#include "fakes/ScriptedToolkit.h"
#include "platform/AnsiCodec.h"
#include "platform/Clock.h"
#include "platform/DynamicLibrary.h"
#include "platform/Locale.h"
#include "platform/System.h"
#include "platform/WindowManager.h"
#include "ui/Toolkit.h"

namespace fakes {

// Thrown by FakeSystem::exitProcess in place of ending the process.
struct ProcessExit {
  int code;
};

class FakeSystem : public platform::System {
 public:
  platform::OsVersion osVersion() override { return os; }
  platform::ProgramVersion programVersion() override { return version; }
  std::string commandLine() override { return arguments; }
  bool anotherInstanceRunning() override { return otherInstance; }

 protected:
  void endProcess(int code) override { throw ProcessExit{code}; }

 public:
  platform::OsVersion os{6, 1, 7601, platform::kProductTypeWorkstation};
  platform::ProgramVersion version{3, 1, 42};
  std::string arguments;
  bool otherInstance = false;
};

class FakeClock : public platform::Clock {
 public:
  classic::DateTime localNow() override { return now; }
  classic::DateTime now{2026, 12, 8, 10, 0, 0};
};

class FakeLocale : public platform::Locale {
 public:
  std::string decimalSeparator() override { return decimal; }
  std::string dateSeparator() override { return date; }
  std::string timeSeparator() override { return time; }
  classic::DateOrder dateOrder() override { return order; }
  std::string decimal = ".";
  std::string date = "/";
  std::string time = ":";
  classic::DateOrder order = classic::DateOrder::MonthDayYear;
};

class FakeWindowManager : public platform::WindowManager {
 public:
  struct Window {
    std::string text;
    bool minimised = false;
  };
  // Adds a window below those already there; returns its handle.
  platform::WindowHandle add(std::string text, bool minimised = false) {
    windows.push_back({std::move(text), minimised});
    return windows.size();
  }

  std::vector<platform::WindowHandle> topLevelWindows() override {
    std::vector<platform::WindowHandle> handles;
    for (std::size_t i = 0; i < windows.size(); ++i) handles.push_back(i + 1);
    return handles;
  }
  std::string windowText(platform::WindowHandle window, std::size_t maxChars) override {
    ++textsRead;
    return windows.at(window - 1).text.substr(0, maxChars);
  }
  void activate(platform::WindowHandle window) override { record("activate", window); }
  bool isMinimised(platform::WindowHandle window) override { return windows.at(window - 1).minimised; }
  void restore(platform::WindowHandle window) override {
    windows.at(window - 1).minimised = false;
    record("restore", window);
  }
  void bringToForeground(platform::WindowHandle window) override { record("foreground", window); }
  platform::WindowHandle findByTitle(const std::string& exactTitle) override {
    for (std::size_t i = 0; i < windows.size(); ++i)
      if (windows[i].text == exactTitle) return i + 1;
    return 0;
  }
  std::intptr_t sendCopyData(platform::WindowHandle target, platform::WindowHandle sender,
                             std::uintptr_t dwData, const std::string& bytes) override {
    copyData.push_back({target, sender, dwData, bytes});
    if (timeline) timeline->push_back("copyData " + std::string(bytes.c_str()));
    return 1;
  }
  struct CopyData {
    platform::WindowHandle target;
    platform::WindowHandle sender;
    std::uintptr_t dwData;
    std::string bytes;
  };
  std::vector<CopyData> copyData;
  std::vector<std::string>* timeline = nullptr;  // when set, every copy-data message is noted there too

  std::vector<Window> windows;
  std::vector<std::string> actions;
  int textsRead = 0;

 private:
  void record(const char* what, platform::WindowHandle window) {
    actions.push_back(std::string(what) + " " + std::to_string(window));
  }
};

// A library whose exports are plain functions of the test.
class FakeLibrary : public platform::DynamicLibrary {
 public:
  explicit FakeLibrary(std::map<std::string, platform::ExportedFunction> exports,
                       std::vector<std::string>* resolved)
      : exports_(std::move(exports)), resolved_(resolved) {}
  platform::ExportedFunction resolve(const char* name) override {
    resolved_->push_back(name);
    auto found = exports_.find(name);
    return found == exports_.end() ? nullptr : found->second;
  }

 private:
  std::map<std::string, platform::ExportedFunction> exports_;
  std::vector<std::string>* resolved_;
};

class FakeLibraryLoader : public platform::LibraryLoader {
 public:
  std::unique_ptr<platform::DynamicLibrary> load(const std::string& name) override {
    loads.push_back(name);
    if (!present) return nullptr;
    return std::make_unique<FakeLibrary>(exports, &resolved);
  }
  bool present = true;
  std::map<std::string, platform::ExportedFunction> exports;
  std::vector<std::string> loads;
  std::vector<std::string> resolved;
};

}  // namespace fakes
