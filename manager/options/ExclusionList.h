#pragma once
// The exclusion list's two forms: stored as entries joined by ";" (a ";" between double quotes
// belongs to its entry), and shown one entry per line.

#include <string>
#include <string_view>

namespace krv {

// The stored form of a shown text, a stored list or a mixture of both: entries trimmed of spaces,
// blank lines dropped, empty entries between two ";" kept, no ";" after the last entry.
std::string LinesToList(std::string_view text);
// Normalizes the list in place (as LinesToList) and gives it one entry per line, CR LF between
// lines and none after the last.
std::string ListToLines(std::string& list);

}  // namespace krv
