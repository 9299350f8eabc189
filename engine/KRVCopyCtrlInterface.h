#pragma once
// The copy-engine library KRVCopyCtrl.dll: its exports, the area record they fill and the result
// codes they answer, as the manager binds them, the stand-in provides them and the tests call them.
//
// Plain C exports with the system's standard calling convention. char* texts are ANSI bytes and
// char16_t* texts UTF-16 (the system's wide characters), both NUL-terminated; a window is an opaque
// pointer (an HWND). Results are 0 for success and a negative code otherwise. Only fixed-width
// types appear here, so that the portable manager includes this header without <windows.h>.

#include <cstddef>
#include <cstdint>

// The system's standard calling convention; only 32-bit Windows tells it apart from the C one.
#if defined(_WIN32) && !defined(_WIN64)
#define KRV_WINAPI __stdcall
#else
#define KRV_WINAPI
#endif

namespace krv {

// One area as the engine lists it: 56 bytes, no padding.
struct SNAPSHOTINFO {
  std::int32_t number;      // 0 is the running area
  char name[36];            // NUL-padded, ANSI
  std::int32_t lastUpdate;  // engine time; 0 is never
  std::int32_t lastBoot;    // engine time; 0 is never
  std::int32_t sizeKB;
  std::int32_t reserved;  // kept by the engine, ignored by the manager
};
static_assert(sizeof(SNAPSHOTINFO) == 56, "the engine's snapshot record is 56 bytes");
static_assert(offsetof(SNAPSHOTINFO, name) == 4 && offsetof(SNAPSHOTINFO, lastUpdate) == 40 &&
                  offsetof(SNAPSHOTINFO, lastBoot) == 44 && offsetof(SNAPSHOTINFO, sizeKB) == 48 &&
                  offsetof(SNAPSHOTINFO, reserved) == 52,
              "the engine's snapshot record has no padding");

// The result codes both sides of the library name.
inline constexpr std::int32_t kResultOK = 0;
inline constexpr std::int32_t kNotAdministrator = -115;
inline constexpr std::int32_t kEndOfListing = -201;
inline constexpr std::int32_t kNameExists = -203;
inline constexpr std::int32_t kInvalidName = -207;
// A list longer than the 960-byte buffer it travels or is kept in (959 characters and the NUL).
// Such a list is refused whole, never cut: by the manager before it calls the library, and by the
// library when one is handed to it.
inline constexpr std::int32_t kListTooLong = -98;

// The buffers callers hand to the library, by size; the library may fill each to its last byte.
// An anchored list (stored, read back or checked) and the check's explanation: 959 characters
// and the NUL.
inline constexpr std::size_t kAnchoredListBytes = 960;
// The path KRV_BrowseFolders writes: 260 UTF-16 units with the NUL.
inline constexpr std::size_t kBrowsePathBytes = 521;
// The list KRV_ShowEditDialog edits: 1985 characters of text, CR LF and the NUL, in UTF-16.
inline constexpr std::size_t kEditListBytes = 3977;

}  // namespace krv

extern "C" {
std::int32_t KRV_WINAPI KRV_OpenSnapshots(std::int32_t caller);
std::int32_t KRV_WINAPI KRV_CloseSnapshots(std::int32_t caller);
std::int32_t KRV_WINAPI KRV_FindFirstSnapshot(std::int32_t caller, char* pattern, krv::SNAPSHOTINFO* info);
std::int32_t KRV_WINAPI KRV_FindNextSnapshot(std::int32_t caller, krv::SNAPSHOTINFO* info);
std::int32_t KRV_WINAPI KRV_SetSnapshotName(std::int32_t caller, std::int32_t number, char* name);
std::int32_t KRV_WINAPI KRV_AnchoredFiles(std::int32_t caller, char* list);
std::int32_t KRV_WINAPI KRV_CheckAnchorList(std::int32_t caller, char* list, char* explanation);
std::int32_t KRV_WINAPI KRV_CheckExcludedFiles(char16_t* list, char* explanation);
std::int32_t KRV_WINAPI KRV_Configuration(std::int32_t caller, char* request, char* reply);
std::int32_t KRV_WINAPI KRV_LogMessage(std::uint32_t kind, char* line);
std::int32_t KRV_WINAPI KRV_ConvertTime(std::int32_t time, std::int32_t* year, std::int32_t* month,
                                        std::int32_t* day, std::int32_t* hour, std::int32_t* minute,
                                        std::int32_t* second);
std::int32_t KRV_WINAPI KRV_BrowseFolders(char16_t* title, void* owner, char16_t* path);
std::int32_t KRV_WINAPI KRV_ShowEditDialog(char16_t* title, void* owner, char16_t* list,
                                           std::int32_t sizeBytes);
}

// Each export's name with the type of its function, for the callers that look it up by name in the
// loaded library: the name and the type cannot part.
namespace krv::exports {

template <typename Fn>
struct Export {
  using Function = Fn;
  const char* name;
};

inline constexpr Export<decltype(&::KRV_OpenSnapshots)> kOpenSnapshots{"KRV_OpenSnapshots"};
inline constexpr Export<decltype(&::KRV_CloseSnapshots)> kCloseSnapshots{"KRV_CloseSnapshots"};
inline constexpr Export<decltype(&::KRV_FindFirstSnapshot)> kFindFirstSnapshot{"KRV_FindFirstSnapshot"};
inline constexpr Export<decltype(&::KRV_FindNextSnapshot)> kFindNextSnapshot{"KRV_FindNextSnapshot"};
inline constexpr Export<decltype(&::KRV_SetSnapshotName)> kSetSnapshotName{"KRV_SetSnapshotName"};
inline constexpr Export<decltype(&::KRV_AnchoredFiles)> kAnchoredFiles{"KRV_AnchoredFiles"};
inline constexpr Export<decltype(&::KRV_CheckAnchorList)> kCheckAnchorList{"KRV_CheckAnchorList"};
inline constexpr Export<decltype(&::KRV_CheckExcludedFiles)> kCheckExcludedFiles{"KRV_CheckExcludedFiles"};
inline constexpr Export<decltype(&::KRV_Configuration)> kConfiguration{"KRV_Configuration"};
inline constexpr Export<decltype(&::KRV_LogMessage)> kLogMessage{"KRV_LogMessage"};
inline constexpr Export<decltype(&::KRV_ConvertTime)> kConvertTime{"KRV_ConvertTime"};
inline constexpr Export<decltype(&::KRV_BrowseFolders)> kBrowseFolders{"KRV_BrowseFolders"};
inline constexpr Export<decltype(&::KRV_ShowEditDialog)> kShowEditDialog{"KRV_ShowEditDialog"};

}  // namespace krv::exports
