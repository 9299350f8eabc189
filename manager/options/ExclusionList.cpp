#include "manager/options/ExclusionList.h"

#include "base/ClassicRuntime.h"

namespace krv {

std::string LinesToList(std::string_view text) {
  std::string result;
  std::string entry;
  bool quoted = false;
  // Whether the result ends in a separator (not in a ";" that an unclosed quote made part of an
  // entry, which stays: taking it off would shorten the entry at every save).
  bool separatorLast = false;
  const auto separate = [&] {
    result += ";";
    separatorLast = true;
  };
  const auto append = [&](const std::string& trimmed) {
    result += trimmed;
    if (!trimmed.empty()) separatorLast = false;
  };
  for (const char c : text) {
    if (c == '"') quoted = !quoted;
    if (c == ';' && !quoted) {
      append(classic::trimSpaces(entry));
      separate();
      entry.clear();
    } else if (c == '\r') {
      append(classic::trimSpaces(entry));
      if (!result.empty() && !separatorLast) separate();
      entry.clear();
    } else if (c != '\n') {
      entry += c;
    }
  }
  append(classic::trimSpaces(entry));
  if (separatorLast) result.pop_back();
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
