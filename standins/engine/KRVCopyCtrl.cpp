// KRVCopyCtrl.dll, the copy engine's stand-in: answers the manager's calls from the state file
// below the install location and writes the engine's master log there.

#include "standins/engine/KRVCopyCtrl.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "standins/common/Areas.h"
#include "standins/common/InstallFolder.h"
#include "standins/common/MasterLog.h"
#include "standins/common/StateFile.h"
#include "standins/common/Text.h"
#include "standins/engine/Configuration.h"
#include "standins/engine/Dialogs.h"
#include "standins/engine/Lists.h"

namespace {

using namespace krvengine;
using krv::kAnchoredListBytes;
using krv::kBrowsePathBytes;
using krv::kEndOfListing;
using krv::kListTooLong;
using krv::kNotAdministrator;
using krv::kResultOK;

// Fills the tag columns of the lines this library writes for its callers.
constexpr const char* kManagerTag = " MGR ";
// Configuration requests are short texts; anything longer is not one.
constexpr std::size_t kLongestRequest = 1024;
// The longest name or pattern a caller hands over is far shorter; the scan for the NUL stops here.
constexpr std::size_t kLongestText = 4096;
// The anchored list's limit: the buffer every caller can hand over, less its NUL.
constexpr std::size_t kLongestAnchoredList = kAnchoredListBytes - 1;
// The smallest explanation buffer callers of the exclusion check hand over.
constexpr std::size_t kExcludedExplanationBytes = 200;
constexpr const char* kEngineTag = " ENG ";
// The browse dialog's path buffer in UTF-16 units, its NUL included.
constexpr std::size_t kBrowseChars = kBrowsePathBytes / sizeof(char16_t);

// One open snapshot set per caller value, with the listing its search produced.
struct Listing {
  std::vector<standin::Area> areas;
  std::size_t next = 0;
};

std::map<int, Listing>& listings() {
  static std::map<int, Listing> open;
  return open;
}

int nextArea(Listing& listing, krv::SNAPSHOTINFO* info) {
  if (listing.next >= listing.areas.size()) return kEndOfListing;
  const standin::Area& area = listing.areas[listing.next++];
  std::memset(info, 0, sizeof(*info));
  info->number = area.number;
  std::memcpy(info->name, area.name.data(), std::min(area.name.size(), sizeof(info->name) - 1));
  info->lastUpdate = area.lastUpdate;
  info->lastBoot = area.lastBoot;
  info->sizeKB = area.sizeKB;
  return kResultOK;
}

void logEngine(const std::wstring& location, const std::string& text) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  standin::appendMasterLog(location, standin::masterLine(now, kEngineTag, standin::kEngineMessage, text));
}

void copyExplanation(char* buffer, const std::string& text, std::size_t bytes) {
  const std::size_t size = std::min(text.size(), bytes - 1);
  std::memcpy(buffer, text.data(), size);
  buffer[size] = '\0';
}

// The engine's state as one call sees it: read once for all the keys the call asks.
standin::StateFile engineState() {
  return standin::StateFile::engine(standin::installLocation()).snapshot();
}

// The answer the state forces on an export ("result.<export>=<code>"), if any.
std::optional<int> forcedResult(const standin::StateFile& state, const char* exportName) {
  const std::optional<long> code = state.number(std::string("result.") + exportName);
  if (!code) return std::nullopt;
  return static_cast<int>(*code);
}

std::optional<int> forcedResult(const char* exportName) {
  return forcedResult(engineState(), exportName);
}

// The system's wide characters are UTF-16 code units.
static_assert(sizeof(wchar_t) == sizeof(char16_t));
const wchar_t* wide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}

}  // namespace

extern "C" {

std::int32_t KRV_WINAPI KRV_OpenSnapshots(std::int32_t caller) {
  const standin::StateFile state = engineState();
  if (const std::optional<int> forced = forcedResult(state, "KRV_OpenSnapshots")) return *forced;
  if (state.isNo("administrator")) return kNotAdministrator;
  listings()[caller] = Listing{};
  return kResultOK;
}

std::int32_t KRV_WINAPI KRV_CloseSnapshots(std::int32_t caller) {
  listings().erase(caller);
  return forcedResult("KRV_CloseSnapshots").value_or(kResultOK);
}

std::int32_t KRV_WINAPI KRV_FindFirstSnapshot(std::int32_t caller, char* pattern, krv::SNAPSHOTINFO* info) {
  const standin::StateFile state = engineState();
  if (const std::optional<int> forced = forcedResult(state, "KRV_FindFirstSnapshot")) return *forced;
  if (!pattern || !info) return kInvalidArgument;
  const auto listing = listings().find(caller);
  if (listing == listings().end()) return kNotOpen;
  const std::string wanted(pattern, strnlen(pattern, kLongestText));
  listing->second = Listing{};
  for (const standin::Area& area : standin::loadAreas(state)) {
    if (wanted == "*" || standin::findArea({area}, wanted)) listing->second.areas.push_back(area);
  }
  return nextArea(listing->second, info);
}

std::int32_t KRV_WINAPI KRV_FindNextSnapshot(std::int32_t caller, krv::SNAPSHOTINFO* info) {
  if (const std::optional<int> forced = forcedResult("KRV_FindNextSnapshot")) return *forced;
  if (!info) return kInvalidArgument;
  const auto listing = listings().find(caller);
  if (listing == listings().end()) return kNotOpen;
  return nextArea(listing->second, info);
}

std::int32_t KRV_WINAPI KRV_SetSnapshotName(std::int32_t caller, std::int32_t number, char* name) {
  const std::wstring location = standin::installLocation();
  standin::StateFile state = standin::StateFile::engine(location).snapshot();
  if (const std::optional<int> forced = forcedResult(state, "KRV_SetSnapshotName")) return *forced;
  if (!name) return kInvalidArgument;
  if (listings().find(caller) == listings().end()) return kNotOpen;
  const std::string newName(name, strnlen(name, kLongestText));
  if (!standin::validAreaName(newName)) return krv::kInvalidName;
  std::vector<standin::Area> areas = standin::loadAreas(state);
  standin::Area* renamed = nullptr;
  for (standin::Area& area : areas) {
    if (area.number == number) renamed = &area;
  }
  if (!renamed) return standin::kNoSuchArea;
  if (const auto same = standin::findArea(areas, newName); same && areas[*same].number != number)
    return krv::kNameExists;
  const std::string oldName = renamed->name;
  renamed->name = newName;
  if (!standin::saveAreas(state, areas)) return kWriteFailed;
  logEngine(location, "Area " + std::to_string(number) + " renamed from " + oldName + " to " + newName);
  return kResultOK;
}

std::int32_t KRV_WINAPI KRV_AnchoredFiles(std::int32_t /*caller*/, char* list) {
  standin::StateFile state = engineState();
  if (const std::optional<int> forced = forcedResult(state, "KRV_AnchoredFiles")) return *forced;
  if (!list) return kInvalidArgument;
  if (list[0] == '\0') {
    // A read: the stored list, which never exceeds the engine's own limit.
    const std::string stored = state.get("anchored", "");
    const std::size_t size = std::min(stored.size(), kLongestAnchoredList);
    std::memcpy(list, stored.data(), size);
    list[size] = '\0';
    return kResultOK;
  }
  const std::size_t length = strnlen(list, kLongestAnchoredList + 1);
  if (length > kLongestAnchoredList) return kListTooLong;
  const std::string given(list, length);
  if (const ListVerdict verdict = checkAnchoredList(given); verdict.code != kResultOK) return verdict.code;
  return state.set("anchored", given) ? kResultOK : kWriteFailed;
}

std::int32_t KRV_WINAPI KRV_CheckAnchorList(std::int32_t /*caller*/, char* list, char* explanation) {
  if (const std::optional<int> forced = forcedResult("KRV_CheckAnchorList")) return *forced;
  if (!list || !explanation) return kInvalidArgument;
  const std::size_t length = strnlen(list, kLongestAnchoredList + 1);
  ListVerdict verdict;
  if (length > kLongestAnchoredList) {
    verdict = {kListTooLong,
               "The anchored list is longer than " + std::to_string(kLongestAnchoredList) + " characters"};
  } else {
    verdict = checkAnchoredList(std::string_view(list, length));
  }
  copyExplanation(explanation, verdict.explanation, kAnchoredListBytes);
  return verdict.code;
}

std::int32_t KRV_WINAPI KRV_CheckExcludedFiles(char16_t* list, char* explanation) {
  if (const std::optional<int> forced = forcedResult("KRV_CheckExcludedFiles")) return *forced;
  if (!list || !explanation) return kInvalidArgument;
  const ListVerdict verdict =
      checkExcludedList(standin::utf8(std::wstring_view(wide(list), wcsnlen(wide(list), kLongestText))));
  copyExplanation(explanation, standin::ansiFromUtf8(verdict.explanation), kExcludedExplanationBytes);
  return verdict.code;
}

std::int32_t KRV_WINAPI KRV_Configuration(std::int32_t /*caller*/, char* request, char* reply) {
  const std::wstring location = standin::installLocation();
  standin::StateFile state = standin::StateFile::engine(location).snapshot();
  if (const std::optional<int> forced = forcedResult(state, "KRV_Configuration")) return *forced;
  if (!request || !reply) return kInvalidArgument;
  // The request's end is its NUL; a request without one within any sensible length is refused.
  const std::size_t length = strnlen(request, kLongestRequest + 1);
  if (length > kLongestRequest) return kInvalidArgument;
  const ConfigurationReply answer = answerConfiguration(state, location, std::string_view(request, length));
  if (answer.result != kResultOK) return answer.result;
  // Never more than the smallest reply buffer a caller hands over, and always with its NUL.
  const std::size_t size = std::min(answer.reply.size(), kLongestReply);
  std::memcpy(reply, answer.reply.data(), size);
  reply[size] = '\0';
  return kResultOK;
}

std::int32_t KRV_WINAPI KRV_LogMessage(std::uint32_t /*kind*/, char* line) {
  const std::wstring location = standin::installLocation();
  if (const std::optional<int> forced = forcedResult(standin::StateFile::engine(location), "KRV_LogMessage"))
    return *forced;
  if (!line) return kInvalidArgument;
  SYSTEMTIME now;
  GetLocalTime(&now);
  const std::string entry = standin::masterLine(now, kManagerTag, standin::kManagerMessage, line);
  return standin::appendMasterLog(location, entry) ? kResultOK : kWriteFailed;
}

std::int32_t KRV_WINAPI KRV_ConvertTime(std::int32_t time, std::int32_t* year, std::int32_t* month,
                                        std::int32_t* day, std::int32_t* hour, std::int32_t* minute,
                                        std::int32_t* second) {
  if (const std::optional<int> forced = forcedResult("KRV_ConvertTime")) return *forced;
  if (!year || !month || !day || !hour || !minute || !second) return kInvalidArgument;
  if (!standin::engineTimeToLocal(time, *year, *month, *day, *hour, *minute, *second)) {
    *year = *month = *day = *hour = *minute = *second = 0;
    return kNotATime;
  }
  return kResultOK;
}

// A missing title only means a dialog without one; the buffers are what must be there. The path
// buffer every caller hands over holds kBrowsePathBytes.
std::int32_t KRV_WINAPI KRV_BrowseFolders(char16_t* title, void* owner, char16_t* path) {
  if (const std::optional<int> forced = forcedResult("KRV_BrowseFolders")) return *forced;
  if (!path) return kInvalidArgument;
  return browseDialog(wide(title), static_cast<HWND>(owner), reinterpret_cast<wchar_t*>(path), kBrowseChars);
}

std::int32_t KRV_WINAPI KRV_ShowEditDialog(char16_t* title, void* owner, char16_t* list,
                                           std::int32_t sizeBytes) {
  if (const std::optional<int> forced = forcedResult("KRV_ShowEditDialog")) return *forced;
  if (!list || sizeBytes < 2) return kInvalidArgument;
  const int result = editListDialog(wide(title), static_cast<HWND>(owner), reinterpret_cast<wchar_t*>(list),
                                    static_cast<std::size_t>(sizeBytes) / sizeof(char16_t));
  return result < 0 ? kInvalidArgument : result;
}

}  // extern "C"
