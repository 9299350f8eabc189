#pragma once
// The real Windows implementations of the platform interfaces. This header includes no
// system header, so that a program's entry file can build them without seeing <windows.h>.

#include <memory>
#include <string>

#include "base/StringTable.h"
#include "platform/AnsiCodec.h"
#include "platform/Clock.h"
#include "platform/DynamicLibrary.h"
#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/Processes.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/System.h"
#include "platform/WindowManager.h"

namespace platform::win32 {

// The program's own entry, defined once by each GUI program and run from the system's entry
// (Win32ProgramEntry.cpp, linked in through krv_program_entry); its result is the exit code.
int programMain();

// instanceName names the program's previous-instance indication (a named mutex).
std::unique_ptr<System> createSystem(std::string instanceName);
std::unique_ptr<WindowManager> createWindowManager();
std::unique_ptr<LibraryLoader> createLibraryLoader();
std::unique_ptr<AnsiCodec> createAnsiCodec();
std::unique_ptr<Clock> createClock();
std::unique_ptr<Locale> createLocale();
// The STRINGTABLE resource of the program's own executable.
std::unique_ptr<StringTable> createResourceStringTable();
std::unique_ptr<Registry> createRegistry();
std::unique_ptr<Processes> createProcesses();
std::unique_ptr<Shell> createShell();
std::unique_ptr<Shutdown> createShutdown();
// Whole-file reading.
std::unique_ptr<FileReader> createFileReader();
std::unique_ptr<FileSystem> createFileSystem();

}  // namespace platform::win32
