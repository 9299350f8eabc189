#include "manager/engine/SnapshotTable.h"

#include <cstring>
#include <string_view>

#include "base/Unicode.h"
#include "manager/engine/EngineBuffers.h"
#include "resources/manager/Texts.h"

namespace krv {
namespace {

constexpr const char* kListAll = "*";
// The names an area has before the manager first names it.
constexpr std::string_view kFactoryFirst[] = {"ORIGINAL", "Snapshot1"};
constexpr std::string_view kFactorySecond[] = {"BACKUP", "Snapshot2"};

template <std::size_t N>
bool isOneOf(const std::string& name, const std::string_view (&names)[N]) {
  for (std::string_view candidate : names)
    if (name == candidate) return true;
  return false;
}

// The range of dates the manager can show and compute with.
constexpr int kFirstYear = 100;
constexpr int kLastYear = 9999;

}  // namespace

std::string Snapshots::areaName(const std::string& name) {
  const std::string trimmed = classic::trimSpaces(name);
  std::size_t pos = 0;
  for (std::size_t kept = 0; kept < kMaxNameChars && pos < trimmed.size(); ++kept)
    platform::nextCodePoint(trimmed, pos);
  return trimmed.substr(0, pos);
}

bool Snapshots::validNewName(const std::string& name) {
  if (name.empty()) return false;
  for (const char c : name) {
    const auto code = static_cast<unsigned char>(c);
    // Below the space are control characters; above 127 the bytes of characters outside ASCII.
    if (code < 0x20 || code > 127 || c == '?' || c == '*' || c == '"') return false;
  }
  return true;
}

SnapshotEntry Snapshots::entryFrom(const SNAPSHOTINFO& record) const {
  SnapshotEntry entry;
  entry.number = record.number;
  // The name field holds 36 bytes; an engine that fills it without a NUL is read no further.
  const char* end = static_cast<const char*>(std::memchr(record.name, '\0', sizeof record.name));
  const std::size_t length = end ? static_cast<std::size_t>(end - record.name) : sizeof record.name;
  entry.name = areaName(s_.codec.fromAnsi(std::string_view(record.name, length)));
  entry.lastUpdate = record.lastUpdate;
  entry.lastBoot = record.lastBoot;
  entry.sizeKB = record.sizeKB;
  return entry;
}

std::int32_t Snapshots::listSnapshots() {
  AnsiBuffer pattern = AnsiBuffer::fitting(s_.codec, kListAll);
  SNAPSHOTINFO record{};
  std::int32_t result = s_.engine.KRV_FindFirstSnapshot(kLoadCaller, pattern.data(), &record);
  while (result == kResultOK) {
    table_.entry(++table_.count) = entryFrom(record);
    // The table holds ten areas; an engine that lists more is not asked for the rest.
    if (table_.count == SnapshotTable::kMaxEntries) return kResultOK;
    record = SNAPSHOTINFO{};
    result = s_.engine.KRV_FindNextSnapshot(kLoadCaller, &record);
  }
  return result == kEndOfListing ? kResultOK : result;
}

std::int32_t Snapshots::LoadSnapshotTable() {
  table_.installLocation.clear();
  table_.engineStatus = EngineStatus::NotLoaded;
  table_.preBootEnabled = false;
  table_.count = 0;
  table_.lastBootDate = classic::DateTime{};
  table_.entries.fill(SnapshotEntry{});

  table_.installLocation = s_.registry.ReadRegValue(kManagerRoot, kServiceInfoKey, "Location", "");
  if (table_.installLocation.empty()) {
    s_.toolkit.messageBox({s_.commons.strings().text(text::SnapshotsNoServiceInfo),
                           s_.commons.strings().text(text::KorvaneError), ui::Buttons::OK, ui::Icon::Critical,
                           1});
    return kResultOK;
  }
  table_.programFolder = s_.registry.ReadRegValue(kManagerRoot, kAppPathsKey, "Path", "");
  if (!table_.programFolder.empty() && table_.programFolder.back() != '\\') table_.programFolder += '\\';

  table_.engineStatus = EngineStatus::Loading;
  std::int32_t result = s_.engine.KRV_OpenSnapshots(kLoadCaller);
  if (result == kResultOK) {
    table_.engineStatus = EngineStatus::Opened;
    std::int32_t preBoot = 0;
    table_.preBootEnabled = s_.configuration.GetConfigValue(ConfigSetting::PreBoot, preBoot) && preBoot != 0;
    result = listSnapshots();
  }
  if (result == kResultOK) {
    s_.engine.KRV_CloseSnapshots(kLoadCaller);
    s_.configuration.GetConfigValue(ConfigSetting::LastBoot, table_.lastBootDate);
    // An empty buffer asks the engine for its list.
    AnsiBuffer anchored(kAnchoredReadBytes);
    result = s_.engine.KRV_AnchoredFiles(kAnchorCaller, anchored.data());
    if (result == kResultOK) {
      table_.anchoredList = anchored.text(s_.codec);
      return kResultOK;
    }
  }
  s_.engine.KRV_CloseSnapshots(kLoadCaller);
  return result;
}

void Snapshots::DetermineActiveBackup() {
  if (table_.entry(1).number == 0) {
    table_.currentArea = 1;
    table_.otherArea = 2;
    return;
  }
  if (table_.entry(2).number != 0) s_.commons.ShowFatalError(".DetermineActiveBackup");
  table_.currentArea = 2;
  table_.otherArea = 1;
}

void Snapshots::NameAreas(const std::function<void()>& defaultAnchoring) {
  if (isOneOf(table_.current().name, kFactoryFirst)) {
    const std::string name = s_.commons.strings().text(text::OriginalArea);
    if (RenameSnapshot(0, name) == kResultOK) table_.current().name = name;
    if (defaultAnchoring) defaultAnchoring();
  }
  if (isOneOf(table_.other().name, kFactorySecond)) {
    // The other area is renamed by the number the engine gave it (1 while there are two areas).
    const std::string name = s_.commons.strings().text(text::RescueArea);
    if (RenameSnapshot(table_.other().number, name) == kResultOK) table_.other().name = name;
  }
}

std::int32_t Snapshots::RenameSnapshot(std::int32_t number, std::string name) {
  name = areaName(name);
  if (!validNewName(name)) return kInvalidName;

  const std::int32_t opened = s_.engine.KRV_OpenSnapshots(kRenameCaller);
  if (opened != kResultOK) {
    s_.engine.KRV_CloseSnapshots(kRenameCaller);
    return opened;
  }
  AnsiBuffer wanted = AnsiBuffer::fitting(s_.codec, name);
  SNAPSHOTINFO record{};
  if (s_.engine.KRV_FindFirstSnapshot(kRenameCaller, wanted.data(), &record) == kResultOK) {
    s_.engine.KRV_CloseSnapshots(kRenameCaller);
    return kNameExists;
  }
  AnsiBuffer newName = AnsiBuffer::fitting(s_.codec, name);
  const std::int32_t result = s_.engine.KRV_SetSnapshotName(kRenameCaller, number, newName.data());
  s_.engine.KRV_CloseSnapshots(kRenameCaller);
  return result;
}

classic::DateTime Snapshots::EngineTimeToDate(std::int32_t time) {
  if (time == 0) return {};
  // Parts the engine leaves unfilled stay 0 and so make no date.
  std::int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  s_.engine.KRV_ConvertTime(time, &year, &month, &day, &hour, &minute, &second);
  const classic::DateTime date = classic::makeDateTime(year, month, day, hour, minute, second);
  // Parts out of range carry as calendar arithmetic does, but a date beyond the years the manager
  // can show is no date at all.
  if (date.year < kFirstYear || date.year > kLastYear) return {};
  return date;
}

}  // namespace krv
