#pragma once
// The stored anchored list read as entries: the main window checks them at start, the wizard shows
// them.

#include <string>
#include <string_view>
#include <vector>

namespace krv {

struct AnchoredEntries {
  std::vector<std::string> entries;  // each trimmed of spaces, none empty
  bool hidden = false;               // entries follow the first empty one
};

// The entries of a stored list (';' between them) up to its first empty one: what follows an empty
// entry is not read as part of the list.
AnchoredEntries splitAnchoredList(std::string_view list);

}  // namespace krv
