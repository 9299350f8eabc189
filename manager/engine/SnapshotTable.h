#pragma once
// The manager's in-memory copy of the engine's areas: loaded from the engine's snapshot listing,
// with the running area and the other one decided, factory names replaced by display names, areas
// renamed, and engine times turned into dates.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "base/ClassicRuntime.h"
#include "manager/common/Commons.h"
#include "manager/common/RegistryW.h"
#include "manager/engine/KRVCopyAPI.h"
#include "manager/engine/KRVFunctions.h"
#include "platform/AnsiCodec.h"
#include "ui/Toolkit.h"

namespace krv {

// One area as the engine lists it.
struct SnapshotEntry {
  std::int32_t number = 0;  // 0 is the running area
  std::string name;         // at most kMaxNameChars characters, trimmed
  std::int32_t lastUpdate = 0;
  std::int32_t lastBoot = 0;  // below 1: never booted
  std::int32_t sizeKB = 0;    // below 1: not yet created

  friend bool operator==(const SnapshotEntry&, const SnapshotEntry&) = default;
};

// What the engine's table load left: not loaded, loading started (the open failed), opened.
enum class EngineStatus : std::uint16_t { Loading = 0, Opened = 1, NotLoaded = 6 };

struct SnapshotTable {
  static constexpr std::size_t kMaxEntries = 10;

  EngineStatus engineStatus = EngineStatus::NotLoaded;
  std::string installLocation;
  std::string programFolder;  // ends in a backslash unless empty
  bool preBootEnabled = false;
  std::string anchoredList;  // entries separated by ";"
  std::uint16_t count = 0;
  classic::DateTime lastBootDate;  // the zero date: none
  std::array<SnapshotEntry, kMaxEntries> entries{};
  std::uint16_t currentArea = 1;  // 1-based indexes into the entries
  std::uint16_t otherArea = 2;

  // Entry 1 to 10.
  SnapshotEntry& entry(std::size_t index) { return entries.at(index - 1); }
  const SnapshotEntry& entry(std::size_t index) const { return entries.at(index - 1); }
  SnapshotEntry& current() { return entry(currentArea); }
  const SnapshotEntry& current() const { return entry(currentArea); }
  SnapshotEntry& other() { return entry(otherArea); }
  const SnapshotEntry& other() const { return entry(otherArea); }
};

struct SnapshotServices {
  KRVCopyAPI& engine;
  KRVFunctions& configuration;
  RegistryAccess& registry;
  Commons& commons;
  ui::Toolkit& toolkit;
  const platform::AnsiCodec& codec;
};

class Snapshots {
 public:
  // The caller values of the table load and of renaming.
  static constexpr std::int32_t kLoadCaller = 2500;
  static constexpr std::int32_t kRenameCaller = 2000;
  static constexpr std::int32_t kAnchorCaller = 5000;
  static constexpr std::size_t kAnchoredReadBytes = 1024;
  static constexpr std::size_t kMaxNameChars = 35;

  explicit Snapshots(SnapshotServices services) : s_(services) {}

  SnapshotTable& table() { return table_; }
  const SnapshotTable& table() const { return table_; }

  // Rebuilds the table from the engine: 0, or the engine code of the step that failed (the entries
  // read before it stay). A blank install location is reported in a box and gives 0 with the
  // table not loaded. At most ten areas are taken; the listing stops there.
  std::int32_t LoadSnapshotTable();
  // Decides which of the first two entries is running; ends the program in the fatal error box
  // when neither is.
  void DetermineActiveBackup();
  // Gives factory-named areas their display names; the first naming of the running area runs
  // `defaultAnchoring` (whatever the rename gave).
  void NameAreas(const std::function<void()>& defaultAnchoring);
  // Renames the area: 0, kInvalidName, kNameExists or an engine code.
  std::int32_t RenameSnapshot(std::int32_t number, std::string name);
  // The engine time as a local date; the zero date for 0 and for parts that make no date.
  classic::DateTime EngineTimeToDate(std::int32_t time);

  // The name trimmed of spaces and cut to its first 35 characters.
  static std::string areaName(const std::string& name);
  // True when a new area name is acceptable to the engine and safe on a tool's command line: not
  // empty, none of ? * and the quotation mark, only printable ASCII characters.
  static bool validNewName(const std::string& name);

 private:
  std::int32_t listSnapshots();
  SnapshotEntry entryFrom(const SNAPSHOTINFO& record) const;

  SnapshotServices s_;
  SnapshotTable table_;
};

}  // namespace krv
