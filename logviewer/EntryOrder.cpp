#include "logviewer/EntryOrder.h"

#include <algorithm>
#include <cstring>

namespace quillon {
namespace {

unsigned char fold(unsigned char c) {
  return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
}

// The first eight characters folded, big-endian, so that comparing the numbers compares the texts'
// beginnings; a shorter text is padded with zeros (and so comes first, as a text that is a prefix).
std::uint64_t prefixKey(std::string_view text) {
  std::uint64_t key = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    key <<= 8;
    if (i < text.size()) key |= fold(static_cast<unsigned char>(text[i]));
  }
  return key;
}

int compareFolded(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = fold(static_cast<unsigned char>(a[i])),
                        y = fold(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The "0000" text of a number orders as this key: "-" sorts before the digits, and among negative
// numbers a larger magnitude gives a larger text ("-0005" < "-0010").
std::uint64_t typeKey(std::int32_t number) {
  return number < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(number))
                    : 1000u + static_cast<std::uint64_t>(number);
}

struct Keyed {
  std::uint64_t key;
  std::uint32_t index;
};

std::vector<std::uint32_t> byNumericKey(const MasterLog& log, std::uint64_t (*key)(const MasterEntry&)) {
  const auto& entries = log.entries();
  std::vector<std::uint32_t> order(entries.size());
  // Logs are written in time order: an already ordered log needs no sort.
  bool ordered = true;
  for (std::size_t i = 1; i < entries.size() && ordered; ++i)
    ordered = key(entries[i - 1]) <= key(entries[i]);
  for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  if (ordered) return order;
  std::vector<Keyed> keyed(entries.size());
  for (std::uint32_t i = 0; i < keyed.size(); ++i) keyed[i] = {key(entries[i]), i};
  std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    return a.key != b.key ? a.key < b.key : a.index < b.index;
  });
  for (std::size_t i = 0; i < keyed.size(); ++i) order[i] = keyed[i].index;
  return order;
}

}  // namespace

std::vector<std::uint32_t> sortedOrder(const MasterLog& log, std::size_t column, bool descending) {
  std::vector<std::uint32_t> order;
  if (column == kTypeColumn) {
    order = byNumericKey(log, [](const MasterEntry& e) { return typeKey(e.number); });
  } else if (column == kDescriptionColumn) {
    std::vector<Keyed> keyed(log.size());
    for (std::uint32_t i = 0; i < keyed.size(); ++i) keyed[i] = {prefixKey(log.description(i)), i};
    std::sort(keyed.begin(), keyed.end(), [&](const Keyed& a, const Keyed& b) {
      if (a.key != b.key) return a.key < b.key;
      const std::string_view x = log.description(a.index), y = log.description(b.index);
      const int c = compareFolded(x, y);
      return c != 0 ? c < 0 : a.index < b.index;
    });
    order.resize(keyed.size());
    for (std::size_t i = 0; i < keyed.size(); ++i) order[i] = keyed[i].index;
  } else {
    order = byNumericKey(log, [](const MasterEntry& e) { return e.when; });
  }
  if (descending) std::reverse(order.begin(), order.end());
  return order;
}

}  // namespace quillon
