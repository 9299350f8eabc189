#pragma once
// The engine's rules for the anchored list and the exclusion list. Lists are texts of entries
// separated by ";"; entries lose their outer spaces and empty entries are skipped (";" alone is the
// empty list).
//
// Anchored list: at most 32 entries; each a full local path ("C:\..."), without "?" or "*" (what an
// unconvertible character becomes in ANSI) that exists; no entry twice and none inside another
// (compared without regard to case, at folder boundaries).
// Exclusion list: at most 32 entries, split at ";" outside double quotes (a quoted ";" belongs to
// its entry); no empty entry between two separators; each a name or pattern ("*.tmp", matched
// anywhere) or a full path ("C:\...", "\\server\..."), at most 259 characters, none a file name
// cannot hold ("<", ">", "|", control characters, ":" past the drive); no entry twice.

#include <string>
#include <string_view>
#include <vector>

namespace krvengine {

inline constexpr int kMostListEntries = 32;
inline constexpr int kTooManyEntries = -255;
inline constexpr int kPathNotFound = -241;
inline constexpr int kDuplicateEntry = -243;
inline constexpr int kNestedEntry = -245;
inline constexpr int kInvalidEntry = -247;

struct ListVerdict {
  int code = 0;             // 0: accepted
  std::string explanation;  // ANSI; empty when accepted
};

std::vector<std::string> listEntries(std::string_view list);
ListVerdict checkAnchoredList(std::string_view list);
// The list as UTF-8 (the engine receives it as UTF-16).
ListVerdict checkExcludedList(std::string_view utf8List);

}  // namespace krvengine
