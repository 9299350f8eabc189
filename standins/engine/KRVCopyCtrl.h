#pragma once
// The copy-engine library's interface as its stand-in KRVCopyCtrl.dll provides it: plain C exports
// with the system's standard calling convention. char* texts are ANSI, wchar_t* texts UTF-16, both
// NUL-terminated. Results are 0 for success and a negative engine code otherwise.
//
// The stand-in keeps its state in "<location>\$ENGINE\state.txt" (see StateFile.h), where
// <location> is the ServiceInfo "Location" or, without one, the library's own folder. Keys read:
//
//   administrator=no        the user is not a computer administrator: KRV_OpenSnapshots answers -115
//                           ("no", "false", "0" or "off", in any case; missing means an administrator)
//   result.<export>=<code>  that export answers <code> and does nothing else (e.g.
//                           "result.KRV_OpenSnapshots=-103" for an engine that cannot be reached)
//   config.<key>...         the boot-time settings and the password (see Configuration.h)
//   areas, area.<i>         the areas (see Areas.h)
//   anchored=<list>         the anchored list, as last set

#include <windows.h>

#include <cstddef>
#include <cstdint>

// One area as the engine lists it: 56 bytes, no padding.
typedef struct _SNAPSHOTINFO {
  std::int32_t number;      // 0 is the running area
  char name[36];            // NUL-padded, ANSI
  std::int32_t lastUpdate;  // engine time; 0 is never
  std::int32_t lastBoot;    // engine time; 0 is never
  std::int32_t sizeKB;
  std::int32_t reserved;
} SNAPSHOTINFO;
static_assert(sizeof(_SNAPSHOTINFO) == 56, "the engine's snapshot record is 56 bytes");
static_assert(offsetof(_SNAPSHOTINFO, name) == 4 && offsetof(_SNAPSHOTINFO, lastUpdate) == 40 &&
                  offsetof(_SNAPSHOTINFO, lastBoot) == 44 && offsetof(_SNAPSHOTINFO, sizeKB) == 48 &&
                  offsetof(_SNAPSHOTINFO, reserved) == 52,
              "the engine's snapshot record has no padding");

namespace krvengine {

inline constexpr int kOK = 0;
inline constexpr int kNotAdministrator = -115;
inline constexpr int kEndOfListing = -201;
inline constexpr int kListTooLong = -249;  // an anchored list longer than 959 characters
// The stand-in's own codes.
inline constexpr int kNotProvided = -501;      // the export is not provided by this stand-in
inline constexpr int kInvalidArgument = -502;  // a pointer the call needs is NULL, or a size is not positive
inline constexpr int kWriteFailed = -503;      // a file below the install location could not be written
inline constexpr int kNotOpen = -504;          // listing or renaming without an open snapshot set
inline constexpr int kNotATime = -506;         // an engine time that is no calendar date

}  // namespace krvengine

extern "C" {
int WINAPI KRV_OpenSnapshots(int caller);
int WINAPI KRV_CloseSnapshots(int caller);
int WINAPI KRV_FindFirstSnapshot(int caller, char* pattern, _SNAPSHOTINFO* info);
int WINAPI KRV_FindNextSnapshot(int caller, _SNAPSHOTINFO* info);
int WINAPI KRV_SetSnapshotName(int caller, int number, char* name);
int WINAPI KRV_AnchoredFiles(int caller, char* list);
int WINAPI KRV_CheckAnchorList(int caller, char* list, char* explanation);
int WINAPI KRV_CheckExcludedFiles(wchar_t* list, char* explanation);
int WINAPI KRV_Configuration(int caller, char* request, char* reply);
int WINAPI KRV_LogMessage(unsigned long kind, char* line);
int WINAPI KRV_ConvertTime(long time, int* year, int* month, int* day, int* hour, int* minute, int* second);
int WINAPI KRV_BrowseFolders(wchar_t* title, HWND owner, wchar_t* path);
int WINAPI KRV_ShowEditDialog(wchar_t* title, HWND owner, wchar_t* list, int sizeBytes);
}
