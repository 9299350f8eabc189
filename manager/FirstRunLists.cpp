#include "manager/FirstRunLists.h"

#include <optional>
#include <string_view>

#include "base/Unicode.h"
#include "manager/engine/EngineBuffers.h"

namespace krv {
namespace {

constexpr std::string_view kDrive = "C:";
// The user's folders asked for, in this order.
constexpr int kUserFolders[] = {platform::kFolderDocuments, platform::kFolderPictures, platform::kFolderMusic,
                                platform::kFolderVideos};
// Cloud folders looked for in the user's profile.
constexpr const char* kCloudFolders[] = {"\\OneDrive", "\\Dropbox", "\\Google Drive", "\\iCloudDrive"};

bool beginsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

}  // namespace

std::int32_t FirstRunLists::SetExclusionList(const std::string& list) {
  // The preference is read back from a buffer of limited size: a longer list would be stored
  // but lost at the next start.
  if (!RegistryAccess::FitsRegTextW(list)) return kListTooLong;
  if (!list.empty()) {
    Utf16Buffer wide = Utf16Buffer::fitting(list);
    AnsiBuffer explanation(kExclusionExplanationBytes);
    const std::int32_t answer = s_.engine.KRV_CheckExcludedFiles(wide.data(), explanation.data());
    if (answer != kResultOK) return answer;
  }
  s_.preferences.current().exclusionList = list;
  return s_.preferences.SavePreferences(0) ? kResultOK : kManagerFailure;
}

std::int32_t FirstRunLists::SetAnchoredList(const std::string& list) {
  const std::string wanted = list.empty() ? kEmptyAnchoredList : list;
  std::optional<AnsiBuffer> buffer = AnsiBuffer::holding(s_.codec, wanted, kAnchoredListBytes);
  if (!buffer) return kListTooLong;
  if (!list.empty()) {
    AnsiBuffer checked = AnsiBuffer::fitting(s_.codec, list);
    AnsiBuffer explanation(kAnchoredListBytes);
    const std::int32_t answer =
        s_.engine.KRV_CheckAnchorList(kAnchorCaller, checked.data(), explanation.data());
    if (answer != kResultOK) return answer;
  }
  return s_.engine.KRV_AnchoredFiles(kAnchorCaller, buffer->data());
}

void FirstRunLists::ApplyInitialLists() {
  std::string pending;
  if (s_.registry.ReadRegTextW(kManagerRoot, kPreferencesKey, kInitialExclusionListValue, pending)) {
    SetExclusionList(pending);
    s_.registry.DeleteRegValue(kManagerRoot, kPreferencesKey, kInitialExclusionListValue);
    s_.preferences.LoadPreferences();
  }
  pending.clear();
  if (s_.registry.ReadRegTextW(kManagerRoot, kPreferencesKey, kInitialAnchoredListValue, pending)) {
    SetAnchoredList(pending);
    s_.registry.DeleteRegValue(kManagerRoot, kPreferencesKey, kInitialAnchoredListValue);
    s_.snapshots.LoadSnapshotTable();
    s_.snapshots.DetermineActiveBackup();
  }
}

void FirstRunLists::AddCandidate(std::vector<std::string>& candidates, const std::string& path) {
  if (!beginsWith(path, kDrive)) return;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    if (beginsWith(path, candidates[i])) return;  // the same folder, or one inside it
    if (beginsWith(candidates[i], path)) {
      candidates[i] = path;
      // The candidates before this one are unrelated to the path; of those after it, each that
      // lies inside it goes, and the last candidate takes its place.
      for (std::size_t j = i + 1; j < candidates.size();) {
        if (beginsWith(candidates[j], path)) {
          candidates[j] = candidates.back();
          candidates.pop_back();
        } else {
          ++j;
        }
      }
      return;
    }
  }
  if (candidates.size() < kMaxCandidates) candidates.push_back(path);
}

bool FirstRunLists::anchorable(const std::string& path) const {
  return path.find(';') == std::string::npos && s_.codec.fromAnsi(s_.codec.toAnsi(path)) == path;
}

void FirstRunLists::AnchorDefaultFolders() {
  std::vector<std::string> candidates;
  const auto add = [&](const std::string& path) {
    if (anchorable(path)) AddCandidate(candidates, path);
  };
  for (const int folder : kUserFolders)
    if (const std::optional<std::string> path = s_.files.userFolder(folder)) add(*path);
  const std::optional<std::string> profile = s_.files.userFolder(platform::kFolderProfile);
  if (profile && beginsWith(*profile, kDrive)) {
    for (const char* cloud : kCloudFolders) {
      const std::string path = *profile + cloud;
      const std::optional<std::uint32_t> attributes = s_.files.attributes(path);
      if (attributes && (*attributes & platform::kAttributeDirectory) != 0) add(path);
    }
  }

  std::string joined;
  for (const std::string& candidate : candidates) joined += (joined.empty() ? "" : ";") + candidate;

  std::optional<AnsiBuffer> buffer = AnsiBuffer::holding(s_.codec, joined, kAnchoredListBytes);
  const std::int32_t result =
      buffer ? s_.engine.KRV_AnchoredFiles(kAnchorCaller, buffer->data()) : kListTooLong;
  if (result != kResultOK) {
    s_.toolkit.messageBox({"KRV_AnchoredFiles returned error " + std::to_string(result), kProductName,
                           ui::Buttons::OK, ui::Icon::Exclamation, 1});
    return;
  }
  s_.snapshots.table().anchoredList = s_.codec.fromAnsi(buffer->raw());
}

}  // namespace krv
