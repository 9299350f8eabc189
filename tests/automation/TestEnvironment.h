#pragma once
// The scene the Wine tests set up: the programs beside the test executable, a private install
// folder with the registry pointing at it, and started programs that are never left running.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "standins/common/StateFile.h"

namespace automation {

// The folder of the running test executable, where the build puts the programs and the stand-ins.
std::wstring binFolder();
// binFolder() + "\" + name.
std::wstring besideTests(const std::wstring& name);
bool fileExists(const std::wstring& path);
// Where a test keeps a picture of what it saw: "screenshots\<name>" in the build folder, beside the
// folder of the test executable (created when missing).
std::wstring screenshotFile(const std::wstring& name);

// A fresh, empty folder below the user's temporary folder (or below the folder given), removed with
// everything in it at the end.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& below = L"");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }
  // path() + "\" + relative, with the folders above it created.
  std::wstring make(const std::wstring& relative) const;

 private:
  std::wstring path_;
};

// Points HKLM\SOFTWARE\Pellora\Korvane\ServiceInfo "Location" at a folder (or, given nothing,
// removes the value) for the test's lifetime, then puts back what was there.
class ServiceInfoLocation {
 public:
  explicit ServiceInfoLocation(const std::optional<std::wstring>& location);
  ~ServiceInfoLocation();
  ServiceInfoLocation(const ServiceInfoLocation&) = delete;
  ServiceInfoLocation& operator=(const ServiceInfoLocation&) = delete;

 private:
  std::optional<std::wstring> previous_;
};

// The manager's application path, HKLM\...\App Paths\Korvane.exe "Path": the folder of the
// companion programs. Set (or, given nothing, removed) for the test's lifetime, then put back.
inline constexpr const wchar_t* kAppPathsKey =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Korvane.exe";
class ApplicationPath {
 public:
  explicit ApplicationPath(const std::optional<std::wstring>& folder);
  ~ApplicationPath();
  ApplicationPath(const ApplicationPath&) = delete;
  ApplicationPath& operator=(const ApplicationPath&) = delete;

 private:
  std::optional<std::wstring> previous_;
};

// The user's desktop folder (the shell's desktop directory) moved to a fresh, empty folder for the
// test's lifetime, so that what programs put on the desktop is the test's own; then put back.
inline constexpr const wchar_t* kUserShellFoldersKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
class UserDesktop {
 public:
  UserDesktop();
  ~UserDesktop();
  UserDesktop(const UserDesktop&) = delete;
  UserDesktop& operator=(const UserDesktop&) = delete;
  const std::wstring& path() const { return folder_.path(); }
  // path() + "\" + name.
  std::wstring file(const std::wstring& name) const { return folder_.path() + L"\\" + name; }

 private:
  TempFolder folder_;
  std::optional<std::wstring> previous_;
};

// An install folder for one test: the stand-ins' state and logs live below it, the registry names it.
class Installation {
 public:
  Installation() : location_(folder_.path()) {}
  const std::wstring& path() const { return folder_.path(); }
  // Writes "<install>\$ENGINE\state.txt" with exactly these lines.
  void setEngineState(const std::vector<std::string>& lines) const;
  // The engine stand-in's state file of this installation, to read or change single keys.
  standin::StateFile engineState() const { return standin::StateFile::engine(path()); }
  std::wstring masterLogPath() const { return path() + L"\\$LOGS\\KRV.log"; }
  const TempFolder& folder() const { return folder_; }

 private:
  TempFolder folder_;
  ServiceInfoLocation location_;
};

// The whole file, or nothing when it cannot be read.
std::optional<std::string> readFile(const std::wstring& path);
// The lines of a text, each ending at CR LF, CR or LF (the end not included).
std::vector<std::string> splitLines(const std::string& text);

// A started program, ended at the latest when this object goes.
class Program {
 public:
  // Starts the program with the arguments, in the working folder (the program's own when empty).
  Program(const std::wstring& executable, const std::wstring& arguments = L"",
          const std::wstring& workingFolder = L"");
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool started() const { return process_ != nullptr; }
  DWORD id() const { return id_; }
  bool running() const;
  // Waits for the end and gives the exit code; nothing (and the program killed) when it has not
  // ended within timeoutMs. Meanwhile notes whether the program showed any top-level window.
  std::optional<DWORD> waitForExit(DWORD timeoutMs);
  bool showedWindow() const { return showedWindow_; }

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
  bool showedWindow_ = false;
};

// Closes the manager's main window as its close box does, once the window stands alone: what start-up
// asks first is answered (the anchored-files question with No, any other box with OK) and the titles
// of the boxes answered are added to `answered`. The tray monitor it started is closed as well. The
// exit code, or nothing (the program killed) when it has not ended within timeoutMs.
std::optional<DWORD> closeManager(Program& program, DWORD timeoutMs,
                                  std::vector<std::string>* answered = nullptr);

}  // namespace automation
