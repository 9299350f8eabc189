#include "manager/options/ExclusionList.h"

#include "base/ClassicRuntime.h"

namespace krv {

std::string LinesToList(std::string_view text) {
  std::string result;
  std::string entry;
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') quoted = !quoted;
    if (c == ';' && !quoted) {
      result += classic::trimSpaces(entry) + ";";
      entry.clear();
    } else if (c == '\r') {
      result += classic::trimSpaces(entry);
      if (!result.empty() && result.back() != ';') result += ";";
      entry.clear();
    } else if (c != '\n') {
      entry += c;
    }
  }
  result += classic::trimSpaces(entry);
  if (!result.empty() && result.back() == ';') result.pop_back();
  return result;
}

std::string ListToLines(std::string& list) {
  list = LinesToList(list);
  std::string lines;
  bool quoted = false;
  for (const char c : list) {
    if (c == '"') quoted = !quoted;
    if (c == ';' && !quoted) {
      lines += "\r\n";
    } else {
      lines += c;
    }
  }
  return lines;
}

}  // namespace krv
