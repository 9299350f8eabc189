#include "manager/engine/KRVCopyAPI.h"

#include <utility>

#include "manager/engine/EngineBuffers.h"

namespace krv {
namespace {

void* asPointer(platform::WindowHandle window) {
  return reinterpret_cast<void*>(window);
}

}  // namespace

LibraryCopyAPI::LibraryCopyAPI(platform::LibraryLoader& loader, std::string libraryName)
    : loader_(loader), libraryName_(std::move(libraryName)) {}

LibraryCopyAPI::~LibraryCopyAPI() = default;

template <typename Fn>
Fn LibraryCopyAPI::bind(Slot slot, const exports::Export<Fn>& which) {
  if (!bound_[slot]) {
    if (!library_) library_ = loader_.load(libraryName_);
    if (!library_) return nullptr;
    bound_[slot] = library_->resolve(which.name);
    if (!bound_[slot]) return nullptr;
  }
  return reinterpret_cast<Fn>(bound_[slot]);
}

std::int32_t LibraryCopyAPI::KRV_OpenSnapshots(std::int32_t caller) {
  auto fn = bind(kOpenSnapshots, exports::kOpenSnapshots);
  return fn ? fn(caller) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_CloseSnapshots(std::int32_t caller) {
  auto fn = bind(kCloseSnapshots, exports::kCloseSnapshots);
  return fn ? fn(caller) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_FindFirstSnapshot(std::int32_t caller, char* pattern, SNAPSHOTINFO* info) {
  auto fn = bind(kFindFirstSnapshot, exports::kFindFirstSnapshot);
  return fn ? fn(caller, pattern, info) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_FindNextSnapshot(std::int32_t caller, SNAPSHOTINFO* info) {
  auto fn = bind(kFindNextSnapshot, exports::kFindNextSnapshot);
  return fn ? fn(caller, info) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_SetSnapshotName(std::int32_t caller, std::int32_t number, char* name) {
  auto fn = bind(kSetSnapshotName, exports::kSetSnapshotName);
  return fn ? fn(caller, number, name) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_AnchoredFiles(std::int32_t caller, char* list) {
  auto fn = bind(kAnchoredFiles, exports::kAnchoredFiles);
  return fn ? fn(caller, list) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_CheckAnchorList(std::int32_t caller, char* list, char* explanation) {
  auto fn = bind(kCheckAnchorList, exports::kCheckAnchorList);
  return fn ? fn(caller, list, explanation) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_CheckExcludedFiles(char16_t* list, char* explanation) {
  auto fn = bind(kCheckExcludedFiles, exports::kCheckExcludedFiles);
  return fn ? fn(list, explanation) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_Configuration(std::int32_t caller, char* request, char* reply) {
  auto fn = bind(kConfiguration, exports::kConfiguration);
  return fn ? fn(caller, request, reply) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_LogMessage(std::uint32_t kind, char* line) {
  auto fn = bind(kLogMessage, exports::kLogMessage);
  return fn ? fn(kind, line) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_ConvertTime(std::int32_t time, std::int32_t* year, std::int32_t* month,
                                             std::int32_t* day, std::int32_t* hour, std::int32_t* minute,
                                             std::int32_t* second) {
  auto fn = bind(kConvertTime, exports::kConvertTime);
  return fn ? fn(time, year, month, day, hour, minute, second) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_BrowseFolders(char16_t* title, platform::WindowHandle owner,
                                               char16_t* path) {
  auto fn = bind(kBrowseFolders, exports::kBrowseFolders);
  return fn ? fn(title, asPointer(owner), path) : kManagerFailure;
}

std::int32_t LibraryCopyAPI::KRV_ShowEditDialog(char16_t* title, platform::WindowHandle owner, char16_t* list,
                                                std::int32_t sizeBytes) {
  auto fn = bind(kShowEditDialog, exports::kShowEditDialog);
  return fn ? fn(title, asPointer(owner), list, sizeBytes) : kManagerFailure;
}

std::optional<std::string> browseForPath(KRVCopyAPI& engine, const std::string& title,
                                         platform::WindowHandle owner) {
  Utf16Buffer path(kBrowsePathBytes);
  Utf16Buffer wideTitle = Utf16Buffer::fitting(title);
  // The result counts the path's bytes with its NUL.
  const std::int32_t result = engine.KRV_BrowseFolders(wideTitle.data(), owner, path.data());
  if (result <= 2) return std::nullopt;
  return path.text(static_cast<std::size_t>(result - 2));
}

}  // namespace krv
