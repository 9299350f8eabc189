#include "base/StringTable.h"

#include <algorithm>

namespace platform {

std::string CompiledStringTable::text(int id) const {
  const StringEntry* found =
      std::lower_bound(begin(), end(), id, [](const StringEntry& e, int wanted) { return e.id < wanted; });
  if (found == end() || found->id != id) return {};
  return found->text;
}

}  // namespace platform
