#pragma once
// Setting the engine's exclusion and anchored lists without the dialogs: the pending lists left in
// the registry for the next start, the command line's /exclude and /anchor, and the default
// anchoring of the user's folders the first time the running area gets its display name.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "manager/common/Preferences.h"
#include "manager/common/RegistryW.h"
#include "manager/engine/KRVCopyAPI.h"
#include "manager/engine/SnapshotTable.h"
#include "platform/AnsiCodec.h"
#include "platform/FileSystem.h"
#include "ui/Toolkit.h"

namespace krv {

// Value names below kPreferencesKey of the lists waiting for the next start.
inline constexpr const char* kInitialExclusionListValue = "InitialExclusionList";
inline constexpr const char* kInitialAnchoredListValue = "InitialAnchoredList";

struct FirstRunServices {
  KRVCopyAPI& engine;
  const platform::AnsiCodec& codec;
  RegistryAccess& registry;
  Preferences& preferences;
  Snapshots& snapshots;
  platform::FileSystem& files;
  ui::Toolkit& toolkit;
};

class FirstRunLists {
 public:
  static constexpr std::int32_t kAnchorCaller = 5000;
  static constexpr std::size_t kExclusionExplanationBytes = 1924;
  static constexpr std::size_t kMaxCandidates = 32;
  static constexpr const char* kEmptyAnchoredList = ";";

  explicit FirstRunLists(FirstRunServices services) : s_(services) {}

  // Has the engine check the list and stores it as the exclusion preference: 0, the engine's code,
  // or kManagerFailure when the preferences could not be saved.
  std::int32_t SetExclusionList(const std::string& list);
  // Has the engine check the list and store it: 0, the engine's code, or kListTooLong for a list
  // that does not fit the engine's buffer (it is refused whole, never cut).
  std::int32_t SetAnchoredList(const std::string& list);
  // Hands each pending list to the engine once and deletes it, accepted or not.
  void ApplyInitialLists();
  // Anchors the user's documents, pictures, music and videos folders and the cloud folders in the
  // profile, all on drive C:.
  void AnchorDefaultFolders();

  // Adds the folder to the candidates: ignored when off drive C: or inside a candidate; a folder
  // that holds candidates takes the first one's place and the others go.
  static void AddCandidate(std::vector<std::string>& candidates, const std::string& path);

 private:
  // The folder when it can be a candidate: it is passed to the engine in the ANSI code page, so a
  // name that does not survive it would anchor another path; and the list is split at ";", which
  // a Windows name may hold, so such a name would become two entries and the engine would refuse
  // the whole list.
  bool anchorable(const std::string& path) const;

  FirstRunServices s_;
};

}  // namespace krv
