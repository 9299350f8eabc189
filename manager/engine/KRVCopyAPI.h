#pragma once
// The copy-engine library KRVCopyCtrl: one method per export, with the export's own C signature
// (char* texts are ANSI bytes, char16_t* texts UTF-16, both NUL-terminated). Results are 0 for
// success and a negative engine code otherwise.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/DynamicLibrary.h"
#include "platform/Types.h"

namespace krv {

// One area as the engine lists it.
struct SNAPSHOTINFO {
  std::int32_t number;        // 0 is the running area
  char name[36];              // NUL-padded, ANSI
  std::int32_t lastUpdate;    // engine time; 0 is never
  std::int32_t lastBoot;      // engine time; 0 is never
  std::int32_t sizeKB;
  std::int32_t reserved;      // kept by the engine, ignored by the manager
};
static_assert(sizeof(SNAPSHOTINFO) == 56, "the engine's snapshot record is 56 bytes");
static_assert(offsetof(SNAPSHOTINFO, name) == 4 && offsetof(SNAPSHOTINFO, lastUpdate) == 40 &&
                  offsetof(SNAPSHOTINFO, sizeKB) == 48 && offsetof(SNAPSHOTINFO, reserved) == 52,
              "the engine's snapshot record has no padding");
using _SNAPSHOTINFO = SNAPSHOTINFO;

// Engine and manager result codes.
inline constexpr std::int32_t kResultOK = 0;
inline constexpr std::int32_t kNotAdministrator = -115;
inline constexpr std::int32_t kEndOfListing = -201;
inline constexpr std::int32_t kNameExists = -203;
inline constexpr std::int32_t kInvalidName = -207;
inline constexpr std::int32_t kToolNotStarted = -300;
inline constexpr std::int32_t kPreBootSwitchFailed = -131;
// The manager's own failure code; also the answer of every export when the library or the export
// cannot be found.
inline constexpr std::int32_t kManagerFailure = -99;
// The manager's refusal of a list that does not fit the buffer it must travel or be kept in; such a
// list is refused whole, never cut.
inline constexpr std::int32_t kListTooLong = -98;

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
  enum Export : std::size_t {
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
  Fn bind(Export which);

  platform::LibraryLoader& loader_;
  std::string libraryName_;
  std::unique_ptr<platform::DynamicLibrary> library_;
  std::array<platform::ExportedFunction, kExportCount> bound_{};
};

}  // namespace krv
