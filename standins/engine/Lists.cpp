#include "standins/engine/Lists.h"

#include <windows.h>

#include "standins/common/Text.h"

namespace krvengine {
namespace {

using standin::lowerAscii;

// The path compared as a folder: lower case, one trailing backslash.
std::string folderKey(const std::string& path) {
  std::string key = lowerAscii(path);
  while (!key.empty() && key.back() == '\\') key.pop_back();
  return key + "\\";
}

bool fullLocalPath(const std::string& path) {
  return path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
         path[1] == ':' && path[2] == '\\';
}

std::string tooMany(std::size_t count) {
  return std::to_string(count) + " entries given; at most " + std::to_string(kMostListEntries) +
         " are allowed";
}

}  // namespace

std::vector<std::string> listEntries(std::string_view list) {
  std::vector<std::string> entries;
  std::size_t at = 0;
  while (at <= list.size()) {
    std::size_t end = list.find(';', at);
    if (end == std::string_view::npos) end = list.size();
    const std::string_view entry = standin::trimSpaces(list.substr(at, end - at));
    if (!entry.empty()) entries.emplace_back(entry);
    at = end + 1;
  }
  return entries;
}

ListVerdict checkAnchoredList(std::string_view list) {
  const std::vector<std::string> entries = listEntries(list);
  if (entries.size() > kMostListEntries) return {kTooManyEntries, tooMany(entries.size())};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string& path = entries[i];
    if (!fullLocalPath(path) || path.find_first_of("?*\"<>|") != std::string::npos)
      return {kInvalidEntry, path.find('?') != std::string::npos
                                 ? "A name the system's code page cannot hold: " + path
                                 : "Not a full local path: " + path};
    for (unsigned char c : path)
      if (c < ' ') return {kInvalidEntry, "Not a full local path: " + path};
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
      return {kPathNotFound, "Anchored path not found: " + path};
    const std::string key = folderKey(path);
    for (std::size_t j = 0; j < i; ++j) {
      const std::string other = folderKey(entries[j]);
      if (other == key) return {kDuplicateEntry, "Anchored twice: " + path};
      if (key.rfind(other, 0) == 0) return {kNestedEntry, path + " lies inside " + entries[j]};
      if (other.rfind(key, 0) == 0) return {kNestedEntry, entries[j] + " lies inside " + path};
    }
  }
  return {};
}

ListVerdict checkExcludedList(std::string_view utf8List) {
  // Entries split at ";" outside double quotes; a quoted ";" belongs to its entry.
  std::vector<std::string> entries;
  std::string entry;
  bool quoted = false;
  std::size_t separators = 0;
  for (std::size_t at = 0; at <= utf8List.size(); ++at) {
    if (at < utf8List.size() && (utf8List[at] != ';' || quoted)) {
      if (utf8List[at] == '"') quoted = !quoted;
      entry += utf8List[at];
      continue;
    }
    const std::string_view name = standin::trimSpaces(entry);
    const bool last = at == utf8List.size();
    if (!name.empty()) {
      entries.emplace_back(name);
    } else if (!last && separators > 0) {
      return {kInvalidEntry, "An empty entry between two \";\""};
    }
    separators += last ? 0 : 1;
    entry.clear();
  }
  if (entries.size() > kMostListEntries) return {kTooManyEntries, tooMany(entries.size())};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    // The quotes only keep a ";" in the name; the name is what lies between them.
    std::string name;
    for (char c : entries[i])
      if (c != '"') name += c;
    if (name.size() > MAX_PATH - 1) return {kInvalidEntry, "An excluded entry is too long"};
    for (std::size_t at = 0; at < name.size(); ++at) {
      const auto c = static_cast<unsigned char>(name[at]);
      if (c < ' ' || c == '<' || c == '>' || c == '|' || (c == ':' && at != 1))
        return {kInvalidEntry, "A character no file name may hold: " + entries[i]};
    }
    // A name or pattern without a folder ("*.tmp") matches anywhere; one with a folder must say
    // from which drive or share.
    const bool inFolder = name.find('\\') != std::string::npos || name.find(':') != std::string::npos;
    if (inFolder && !fullLocalPath(name) && name.rfind("\\\\", 0) != 0)
      return {kInvalidEntry, "Not a full path: " + entries[i]};
    for (std::size_t j = 0; j < i; ++j)
      if (lowerAscii(entries[j]) == lowerAscii(entries[i]))
        return {kDuplicateEntry, "Excluded twice: " + entries[i]};
  }
  return {};
}

}  // namespace krvengine
