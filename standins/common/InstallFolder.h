#pragma once
// Where the stand-ins keep their files: the engine's install location, as the installer records it
// in the registry, and the folders below it.

#include <windows.h>

#include <string>

namespace standin {

// The registry key and value that name the install location.
inline constexpr const wchar_t* kServiceInfoKey = L"SOFTWARE\\Pellora\\Korvane\\ServiceInfo";
inline constexpr const wchar_t* kLocationValue = L"Location";

// The folder holding this module (the DLL or program the code is linked into), without a trailing
// backslash; empty when it cannot be had.
std::wstring moduleFolder();

// The REG_SZ value "Location" of HKEY_LOCAL_MACHINE\SOFTWARE\Pellora\Korvane\ServiceInfo, without
// outer spaces and trailing backslashes; when it is missing, blank or not a text, the module's own
// folder. Read again at every call, so that a changed installation is followed at once.
std::wstring installLocation();

// Creates the folder and every missing folder above it; true when it exists afterwards.
bool createFolders(const std::wstring& folder);

}  // namespace standin
