#pragma once
// The copy-engine library KRVCopyCtrl: one method per export of engine/KRVCopyCtrlInterface.h, with
// the export's own signature but for the owner window, which is the platform's window handle.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/KRVCopyCtrlInterface.h"
#include "platform/DynamicLibrary.h"
#include "platform/Types.h"

namespace krv {

// The manager's own codes, besides those of the library's interface.
inline constexpr std::int32_t kToolNotStarted = -300;
inline constexpr std::int32_t kPreBootSwitchFailed = -131;
// The manager's own failure code; also the answer of every export when the library or the export
// cannot be found.
inline constexpr std::int32_t kManagerFailure = -99;

class KRVCopyAPI {
 public:
  virtual ~KRVCopyAPI() = default;

  virtual std::int32_t KRV_OpenSnapshots(std::int32_t caller) = 0;
  virtual std::int32_t KRV_CloseSnapshots(std::int32_t caller) = 0;
  virtual std::int32_t KRV_FindFirstSnapshot(std::int32_t caller, char* pattern, SNAPSHOTINFO* info) = 0;
  virtual std::int32_t KRV_FindNextSnapshot(std::int32_t caller, SNAPSHOTINFO* info) = 0;
  virtual std::int32_t KRV_SetSnapshotName(std::int32_t caller, std::int32_t number, char* name) = 0;
  virtual std::int32_t KRV_AnchoredFiles(std::int32_t caller, char* list) = 0;
  virtual std::int32_t KRV_CheckAnchorList(std::int32_t caller, char* list, char* explanation) = 0;
  virtual std::int32_t KRV_CheckExcludedFiles(char16_t* list, char* explanation) = 0;
  virtual std::int32_t KRV_Configuration(std::int32_t caller, char* request, char* reply) = 0;
  virtual std::int32_t KRV_LogMessage(std::uint32_t kind, char* line) = 0;
  virtual std::int32_t KRV_ConvertTime(std::int32_t time, std::int32_t* year, std::int32_t* month,
                                       std::int32_t* day, std::int32_t* hour, std::int32_t* minute,
                                       std::int32_t* second) = 0;
  virtual std::int32_t KRV_BrowseFolders(char16_t* title, platform::WindowHandle owner, char16_t* path) = 0;
  virtual std::int32_t KRV_ShowEditDialog(char16_t* title, platform::WindowHandle owner, char16_t* list,
                                          std::int32_t sizeBytes) = 0;
};

// The library itself, loaded by name on the first call of any export; each export is resolved by
// name at its own first call. A library or export that cannot be found answers kManagerFailure
// and is looked for again at the next call.
class LibraryCopyAPI final : public KRVCopyAPI {
 public:
  static constexpr const char* kLibraryName = "KRVCopyCtrl";

  explicit LibraryCopyAPI(platform::LibraryLoader& loader, std::string libraryName = kLibraryName);
  ~LibraryCopyAPI() override;

  std::int32_t KRV_OpenSnapshots(std::int32_t caller) override;
  std::int32_t KRV_CloseSnapshots(std::int32_t caller) override;
  std::int32_t KRV_FindFirstSnapshot(std::int32_t caller, char* pattern, SNAPSHOTINFO* info) override;
  std::int32_t KRV_FindNextSnapshot(std::int32_t caller, SNAPSHOTINFO* info) override;
  std::int32_t KRV_SetSnapshotName(std::int32_t caller, std::int32_t number, char* name) override;
  std::int32_t KRV_AnchoredFiles(std::int32_t caller, char* list) override;
  std::int32_t KRV_CheckAnchorList(std::int32_t caller, char* list, char* explanation) override;
  std::int32_t KRV_CheckExcludedFiles(char16_t* list, char* explanation) override;
  std::int32_t KRV_Configuration(std::int32_t caller, char* request, char* reply) override;
  std::int32_t KRV_LogMessage(std::uint32_t kind, char* line) override;
  std::int32_t KRV_ConvertTime(std::int32_t time, std::int32_t* year, std::int32_t* month, std::int32_t* day,
                               std::int32_t* hour, std::int32_t* minute, std::int32_t* second) override;
  std::int32_t KRV_BrowseFolders(char16_t* title, platform::WindowHandle owner, char16_t* path) override;
  std::int32_t KRV_ShowEditDialog(char16_t* title, platform::WindowHandle owner, char16_t* list,
                                  std::int32_t sizeBytes) override;

 private:
  // Where each export, once found, is kept.
  enum Slot : std::size_t {
    kOpenSnapshots,
    kCloseSnapshots,
    kFindFirstSnapshot,
    kFindNextSnapshot,
    kSetSnapshotName,
    kAnchoredFiles,
    kCheckAnchorList,
    kCheckExcludedFiles,
    kConfiguration,
    kLogMessage,
    kConvertTime,
    kBrowseFolders,
    kShowEditDialog,
    kExportCount
  };
  // The export as its own function type, or nullptr when it cannot be had.
  template <typename Fn>
  Fn bind(Slot slot, const exports::Export<Fn>& which);

  platform::LibraryLoader& loader_;
  std::string libraryName_;
  std::unique_ptr<platform::DynamicLibrary> library_;
  std::array<platform::ExportedFunction, kExportCount> bound_{};
};

// The engine's browse dialog, titled `title`, modal over owner: the path of the folder or file the
// user chose, or nothing when the dialog gave none back.
std::optional<std::string> browseForPath(KRVCopyAPI& engine, const std::string& title,
                                         platform::WindowHandle owner);

}  // namespace krv
