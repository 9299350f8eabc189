// The manager's process entry: builds the real platform services and runs start-up; an empty
// command line shows the main window, and the program runs until it closes.

#include "manager/CommandLine.h"
#include "manager/FirstRunLists.h"
#include "manager/Startup.h"
#include "manager/common/Commons.h"
#include "manager/common/Preferences.h"
#include "manager/common/RegistryW.h"
#include "manager/common/SystemHelpers.h"
#include "manager/engine/EngineTasks.h"
#include "manager/engine/KRVCopyAPI.h"
#include "manager/engine/KRVFunctions.h"
#include "manager/engine/SnapshotTable.h"
#include "manager/mainwindow/FmMain.h"
#include "platform/win32/Win32Platform.h"
#include "ui/win32/Win32FormToolkit.h"

namespace win32 = platform::win32;

int win32::programMain() {
  auto toolkit = ui::win32::createFormToolkit();
  auto system = win32::createSystem("Pellora.Korvane.Manager.Instance");
  auto windows = win32::createWindowManager();
  auto loader = win32::createLibraryLoader();
  auto codec = win32::createAnsiCodec();
  auto clock = win32::createClock();
  auto locale = win32::createLocale();
  auto strings = win32::createResourceStringTable();
  auto registry = win32::createRegistry();
  auto processes = win32::createProcesses();
  auto shell = win32::createShell();
  auto shutdown = win32::createShutdown();
  auto files = win32::createFileSystem();

  krv::Commons commons({*toolkit, *system, *clock, *locale, *codec, *strings});
  krv::LibraryCopyAPI engine(*loader);
  krv::KRVFunctions configuration(engine, *codec);
  krv::RegistryAccess registryAccess(*registry, *codec);
  krv::SystemHelpers helpers({*processes, *toolkit, *windows, *shell, *shutdown, *system, *codec, *strings});
  krv::Preferences preferences(registryAccess, configuration, helpers);
  krv::Snapshots snapshots({engine, configuration, registryAccess, commons, *toolkit, *codec});
  krv::EngineTasks tasks({helpers, *toolkit, *strings, snapshots.table()});
  krv::FirstRunLists lists({engine, *codec, registryAccess, preferences, snapshots, *files, *toolkit});
  krv::CommandLine commandLine({commons, engine, *codec, configuration, registryAccess, preferences,
                                snapshots, tasks, lists, helpers, *files});
  krv::Startup startup({*toolkit, *system, *windows, engine, commons, *codec, registryAccess, preferences,
                        snapshots, lists, commandLine});
  krv::FmMain mainWindow({*toolkit, commons, *locale, *codec, engine, configuration, snapshots, preferences, tasks,
                          helpers, *windows, *files, *processes});
  bool shown = false;
  startup.setMainWindow([&] {
    mainWindow.show();
    shown = mainWindow.loaded();
  });
  const int code = startup.Main();
  return shown && code == 0 ? toolkit->run() : code;
}
