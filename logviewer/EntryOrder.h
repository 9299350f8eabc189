#pragma once
// The order the master list shows its entries in, kept by the viewer itself: a sort by a column's
// text, done on packed keys, stable (equal texts keep the file's order); the descending order is
// the ascending one reversed.

#include <cstdint>
#include <vector>

#include "logviewer/LogFiles.h"

namespace quillon {

// Columns of the master list.
inline constexpr std::size_t kDateColumn = 0;
inline constexpr std::size_t kTypeColumn = 1;
inline constexpr std::size_t kDescriptionColumn = 2;
inline constexpr std::size_t kSortKeyColumn = 3;

// Entry positions of the log in the order of the column's texts. Columns compare as the texts the
// list shows: the date column by its "YYYYMMDDHHNNSS" key (the same for columns 0 and 3), the type
// by its "0000" text, the description by its characters with ASCII letters ignoring case.
std::vector<std::uint32_t> sortedOrder(const MasterLog& log, std::size_t column, bool descending);

}  // namespace quillon
