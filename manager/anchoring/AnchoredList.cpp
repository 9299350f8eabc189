#include "manager/anchoring/AnchoredList.h"

#include <algorithm>

#include "base/ClassicRuntime.h"

namespace krv {

AnchoredEntries splitAnchoredList(std::string_view list) {
  AnchoredEntries read;
  const std::string stored = classic::trimSpaces(list);
  for (std::size_t start = 0; start <= stored.size();) {
    const std::size_t end = std::min(stored.find(';', start), stored.size());
    std::string entry = classic::trimSpaces(std::string_view(stored).substr(start, end - start));
    if (entry.empty()) {
      const std::string_view rest = end < stored.size() ? std::string_view(stored).substr(end + 1) : "";
      read.hidden = rest.find_first_not_of("; ") != std::string_view::npos;
      break;
    }
    read.entries.push_back(std::move(entry));
    start = end + 1;
  }
  return read;
}

}  // namespace krv
