#include "manager/engine/KRVCopyAPI.h"

#include <utility>

// The exports use the system's standard calling convention, so that a 32-bit build binds the
// same library. HWND and wchar_t* are passed as void* and char16_t*, which have the same layout.
#if defined(_WIN32) && !defined(_WIN64)
#define KRV_WINAPI __stdcall
#else
#define KRV_WINAPI
#endif

namespace krv {
namespace {

using OpenSnapshotsFn = int(KRV_WINAPI*)(int);
using FindFirstSnapshotFn = int(KRV_WINAPI*)(int, char*, SNAPSHOTINFO*);
using FindNextSnapshotFn = int(KRV_WINAPI*)(int, SNAPSHOTINFO*);
using SetSnapshotNameFn = int(KRV_WINAPI*)(int, int, char*);
using AnchoredFilesFn = int(KRV_WINAPI*)(int, char*);
using CheckAnchorListFn = int(KRV_WINAPI*)(int, char*, char*);
using CheckExcludedFilesFn = int(KRV_WINAPI*)(char16_t*, char*);
using ConfigurationFn = int(KRV_WINAPI*)(int, char*, char*);
using LogMessageFn = int(KRV_WINAPI*)(std::uint32_t, char*);
using ConvertTimeFn = int(KRV_WINAPI*)(std::int32_t, int*, int*, int*, int*, int*, int*);
using BrowseFoldersFn = int(KRV_WINAPI*)(char16_t*, void*, char16_t*);
using ShowEditDialogFn = int(KRV_WINAPI*)(char16_t*, void*, char16_t*, int);

static_assert(sizeof(int) == 4, "the engine's int is 32 bits");

constexpr const char* kExportNames[] = {
    "KRV_OpenSnapshots", "KRV_CloseSnapshots",     "KRV_FindFirstSnapshot", "KRV_FindNextSnapshot",
    "KRV_SetSnapshotName", "KRV_AnchoredFiles",    "KRV_CheckAnchorList",   "KRV_CheckExcludedFiles",
    "KRV_Configuration",   "KRV_LogMessage",       "KRV_ConvertTime",       "KRV_BrowseFolders",
    "KRV_ShowEditDialog"};

void* asPointer(platform::WindowHandle window) { return reinterpret_cast<void*>(window); }

}  // namespace

LibraryCopyAPI::LibraryCopyAPI(platform::LibraryLoader& loader, std::string libraryName)
    : loader_(loader), libraryName_(std::move(libraryName)) {
  static_assert(std::size(kExportNames) == kExportCount);
}

LibraryCopyAPI::~LibraryCopyAPI() = default;

template <typename Fn>
Fn LibraryCopyAPI::bind(Export which) {
  if (!bound_[which]) {
    if (!library_) library_ = loader_.load(libraryName_);
    if (!library_) return nullptr;
    bound_[which] = library_->resolve(kExportNames[which]);
    if (!bound_[which]) return nullptr;
  }
  return reinterpret_cast<Fn>(bound_[which]);
}

std::int32_t LibraryCopyAPI::KRV_OpenSnapshots(std::int32_t caller) {
  auto fn = bind<OpenSnapshotsFn>(kOpenSnapshots);
  return fn ? fn(caller) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_CloseSnapshots(std::int32_t caller) {
  auto fn = bind<OpenSnapshotsFn>(kCloseSnapshots);
  return fn ? fn(caller) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_FindFirstSnapshot(std::int32_t caller, char* pattern, SNAPSHOTINFO* info) {
  auto fn = bind<FindFirstSnapshotFn>(kFindFirstSnapshot);
  return fn ? fn(caller, pattern, info) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_FindNextSnapshot(std::int32_t caller, SNAPSHOTINFO* info) {
  auto fn = bind<FindNextSnapshotFn>(kFindNextSnapshot);
  return fn ? fn(caller, info) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_SetSnapshotName(std::int32_t caller, std::int32_t number, char* name) {
  auto fn = bind<SetSnapshotNameFn>(kSetSnapshotName);
  return fn ? fn(caller, number, name) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_AnchoredFiles(std::int32_t caller, char* list) {
  auto fn = bind<AnchoredFilesFn>(kAnchoredFiles);
  return fn ? fn(caller, list) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_CheckAnchorList(std::int32_t caller, char* list, char* explanation) {
  auto fn = bind<CheckAnchorListFn>(kCheckAnchorList);
  return fn ? fn(caller, list, explanation) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_CheckExcludedFiles(char16_t* list, char* explanation) {
  auto fn = bind<CheckExcludedFilesFn>(kCheckExcludedFiles);
  return fn ? fn(list, explanation) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_Configuration(std::int32_t caller, char* request, char* reply) {
  auto fn = bind<ConfigurationFn>(kConfiguration);
  return fn ? fn(caller, request, reply) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_LogMessage(std::uint32_t kind, char* line) {
  auto fn = bind<LogMessageFn>(kLogMessage);
  return fn ? fn(kind, line) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_ConvertTime(std::int32_t time, std::int32_t* year, std::int32_t* month,
                                             std::int32_t* day, std::int32_t* hour, std::int32_t* minute,
                                             std::int32_t* second) {
  auto fn = bind<ConvertTimeFn>(kConvertTime);
  return fn ? fn(time, year, month, day, hour, minute, second) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_BrowseFolders(char16_t* title, platform::WindowHandle owner, char16_t* path) {
  auto fn = bind<BrowseFoldersFn>(kBrowseFolders);
  return fn ? fn(title, asPointer(owner), path) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_ShowEditDialog(char16_t* title, platform::WindowHandle owner, char16_t* list,
                                                std::int32_t sizeBytes) {
  auto fn = bind<ShowEditDialogFn>(kShowEditDialog);
  return fn ? fn(title, asPointer(owner), list, sizeBytes) : kManagerFailure;
}

}  // namespace krv
