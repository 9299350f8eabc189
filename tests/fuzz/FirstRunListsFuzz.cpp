// The first-run lists over the fakes: the default anchoring of the user's folders, the candidate
// rule, and the two list setters. Input: a flags byte, then lines: the documents, pictures, music
// and videos folders and the profile (an empty line: the system has none), a list to set, and
// further paths for the candidate rule.

#include <set>

#include "fuzz/FuzzInput.h"
#include "unit/ManagerFixture.h"

namespace {

using Paths = std::vector<std::string>;

bool beginsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

std::vector<std::string> split(const std::string& list) {
  std::vector<std::string> entries;
  std::size_t from = 0;
  for (std::size_t at; (at = list.find(';', from)) != std::string::npos; from = at + 1)
    entries.push_back(list.substr(from, at - from));
  entries.push_back(list.substr(from));
  return entries;
}

// The candidates stay on drive C:, none inside another, at most 32; each path offered is kept or
// lies inside a candidate, unless the list was full.
void checkCandidates(const Paths& offered) {
  Paths candidates;
  bool wasFull = false;
  for (const std::string& path : offered) {
    krv::FirstRunLists::AddCandidate(candidates, path);
    wasFull = wasFull || candidates.size() == krv::FirstRunLists::kMaxCandidates;
  }
  FUZZ_CHECK(candidates.size() <= krv::FirstRunLists::kMaxCandidates);
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    FUZZ_CHECK(beginsWith(candidates[i], "C:"));
    for (std::size_t j = 0; j < candidates.size(); ++j)
      FUZZ_CHECK(i == j || !beginsWith(candidates[j], candidates[i]));
  }
  if (wasFull) return;
  for (const std::string& path : offered) {
    if (!beginsWith(path, "C:")) continue;
    bool covered = false;
    for (const std::string& candidate : candidates) covered = covered || beginsWith(path, candidate);
    FUZZ_CHECK(covered);
  }
}

void checkDefaultAnchoring(testsupport::FakeManager& m, const Paths& folders, bool refused) {
  m.engine.anchoredResult = refused ? -103 : 0;
  m.engine.calls.clear();
  m.lists.AnchorDefaultFolders();
  FUZZ_CHECK(m.engine.anchoredCalls.size() <= 1);
  // An empty list reads the engine's list, which the fake engine never refuses.
  const bool stored =
      m.engine.anchoredCalls.size() == 1 && (!refused || m.engine.anchoredCalls[0].text.empty());
  FUZZ_CHECK(m.toolkit.shown.size() == (stored ? 0u : 1u));
  if (m.engine.anchoredCalls.empty()) return;
  const std::string list = m.engine.anchoredCalls[0].text;
  FUZZ_CHECK(list.size() < krv::kAnchoredListBytes);
  if (stored && !list.empty()) FUZZ_CHECK(m.snapshots.table().anchoredList == m.codec.fromAnsi(list));

  // Split as the engine splits it, the list gives back folders that were offered, each whole.
  std::set<std::string> anchorable;
  for (const std::string& folder : folders) {
    if (folder.find(';') == std::string::npos && m.codec.fromAnsi(m.codec.toAnsi(folder)) == folder)
      anchorable.insert(m.codec.toAnsi(folder));
  }
  const Paths entries = list.empty() ? Paths{} : split(list);
  FUZZ_CHECK(entries.size() <= krv::FirstRunLists::kMaxCandidates);
  for (const std::string& entry : entries)
    FUZZ_CHECK(anchorable.count(entry) == 1 && beginsWith(entry, "C:"));
  if (entries.size() == krv::FirstRunLists::kMaxCandidates) return;
  for (const std::string& folder : anchorable) {
    if (!beginsWith(folder, "C:")) continue;
    bool covered = false;
    for (const std::string& entry : entries) covered = covered || beginsWith(folder, entry);
    FUZZ_CHECK(covered);
  }
}

// A list is checked and stored whole, or refused whole; never cut.
void checkSetters(testsupport::FakeManager& m, const std::string& list) {
  m.engine.calls.clear();
  m.engine.anchoredList.clear();
  m.engine.anchoredResult = 0;
  const std::string ansi = m.codec.toAnsi(list);
  const std::int32_t anchored = m.lists.SetAnchoredList(list);
  if (ansi.size() + 1 > krv::kAnchoredListBytes) {
    FUZZ_CHECK(anchored == krv::kListTooLong && m.engine.calls.empty());
  } else {
    FUZZ_CHECK(anchored == 0 && m.engine.anchoredList == (list.empty() ? ";" : ansi));
  }

  const std::int32_t excluded = m.lists.SetExclusionList(list);
  if ((platform::utf8ToUtf16(list).size() + 1) * 2 > krv::RegistryAccess::kWideTextBytes) {
    FUZZ_CHECK(excluded == krv::kListTooLong);
  } else {
    FUZZ_CHECK(excluded == 0 && m.preferences.current().exclusionList == list);
    std::string stored;
    m.registryAccess.ReadRegTextW(krv::kManagerRoot, krv::kPreferencesKey, krv::kDefaultExclusionListValue,
                                  stored);
    // Lists arrive as Unicode texts; only those are read back as they went in.
    if (platform::utf16ToUtf8(platform::utf8ToUtf16(list)) == list) FUZZ_CHECK(stored == list);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::uint8_t flags = in.byte();
  testsupport::FakeManager m;
  m.install();
  m.toolkit.expectBox();

  Paths folders;
  constexpr int kFolders[] = {platform::kFolderDocuments, platform::kFolderPictures, platform::kFolderMusic,
                              platform::kFolderVideos};
  for (const int folder : kFolders) {
    // The system gives a folder up to its first NUL.
    const std::string path = in.until('\n').c_str();
    if (path.empty()) continue;
    m.files.folders[folder] = path;
    folders.push_back(path);
  }
  const std::string profile = in.until('\n').c_str();
  if (!profile.empty()) {
    m.files.folders[platform::kFolderProfile] = profile;
    int bit = 0;
    for (const char* cloud : {"\\OneDrive", "\\Dropbox", "\\Google Drive", "\\iCloudDrive"}) {
      if (flags & (1 << bit++)) {
        m.files.folder(profile + cloud);
        if (beginsWith(profile, "C:")) folders.push_back(profile + cloud);
      }
    }
  }
  // Lists come from the registry or the command line: texts that end at a NUL.
  const std::string list = in.until('\n').c_str();

  checkDefaultAnchoring(m, folders, (flags & 16) != 0);
  checkSetters(m, list);

  Paths offered = folders;
  while (!in.rest().empty()) offered.push_back(in.until('\n'));
  checkCandidates(offered);
  return 0;
}
