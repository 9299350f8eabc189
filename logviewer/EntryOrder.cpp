#include "logviewer/EntryOrder.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quillon {
namespace {

unsigned char fold(unsigned char c) {
  return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
}

// The "0000" text of a number orders as this key: "-" sorts before the digits, and among negative
// numbers a larger magnitude gives a larger text ("-0005" < "-0010").
std::uint32_t typeKey(std::int32_t number) {
  return number < 0 ? static_cast<std::uint32_t>(-static_cast<std::int64_t>(number))
                    : 1000u + static_cast<std::uint32_t>(number);
}

// Asks the processor to fetch the text's first bytes ahead of their use: the texts of a sorted
// group lie all over the file's bytes, and waiting for each from memory is most of the sort's time.
// The entry itself is fetched further ahead, as finding the text needs it.
inline void prefetchEntry(const MasterLog& log, std::uint32_t index) {
  log.prefetch(index);
}
inline void prefetch(const MasterLog& log, std::uint32_t index) {
#if defined(__GNUC__) || defined(__clang__)
  __builtin_prefetch(log.line(index).data() + 29);
#else
  (void)log;
  (void)index;
#endif
}

// 12 bytes, not 16: a sort of millions of entries holds two arrays of these.
#pragma pack(push, 4)
struct Keyed {
  std::uint64_t key;
  std::uint32_t index;
};
#pragma pack(pop)
static_assert(sizeof(Keyed) == 12);

// Sorts v[begin, end) by key, stably, with the least significant byte first; passes in which
// every key has the same byte are skipped. Small ranges are sorted by insertion.
void radixSort(std::vector<Keyed>& v, std::vector<Keyed>& scratch, std::size_t begin, std::size_t end) {
  const std::size_t n = end - begin;
  if (n < 2) return;
  if (n <= 48) {
    for (std::size_t i = begin + 1; i < end; ++i) {
      const Keyed item = v[i];
      std::size_t j = i;
      while (j > begin && v[j - 1].key > item.key) {
        v[j] = v[j - 1];
        --j;
      }
      v[j] = item;
    }
    return;
  }
  if (scratch.size() < n) scratch.resize(n);
  Keyed* from = v.data() + begin;
  Keyed* to = scratch.data();
  bool inScratch = false;
  for (int shift = 0; shift < 64; shift += 8) {
    std::array<std::size_t, 257> count{};
    for (std::size_t i = 0; i < n; ++i) ++count[((from[i].key >> shift) & 0xFF) + 1];
    if (std::any_of(count.begin() + 1, count.end(), [n](std::size_t c) { return c == n; })) continue;
    for (int b = 0; b < 256; ++b) count[b + 1] += count[b];
    for (std::size_t i = 0; i < n; ++i) to[count[(from[i].key >> shift) & 0xFF]++] = from[i];
    std::swap(from, to);
    inScratch = !inScratch;
  }
  if (inScratch) std::copy(from, from + n, v.data() + begin);
}

std::vector<std::uint32_t> identity(std::size_t n) {
  std::vector<std::uint32_t> order(n);
  for (std::uint32_t i = 0; i < n; ++i) order[i] = i;
  return order;
}

std::vector<std::uint32_t> byDate(const MasterLog& log) {
  // Logs are written in time order: an ordered log needs no sort.
  if (log.inTimeOrder()) return identity(log.size());
  std::vector<Keyed> keyed(log.size()), scratch;
  for (std::uint32_t i = 0; i < keyed.size(); ++i) keyed[i] = {log.when(i), i};
  radixSort(keyed, scratch, 0, keyed.size());
  std::vector<std::uint32_t> order(keyed.size());
  for (std::size_t i = 0; i < keyed.size(); ++i) order[i] = keyed[i].index;
  return order;
}

// Counting by the type key (at most 11000 different values): stable and linear.
std::vector<std::uint32_t> byType(const MasterLog& log) {
  const std::size_t n = log.size();
  std::vector<std::uint32_t> start(11001 + 1, 0);
  for (std::size_t i = 0; i < n; ++i) ++start[std::min<std::uint32_t>(typeKey(log.number(i)), 11000) + 1];
  for (std::size_t k = 1; k < start.size(); ++k) start[k] += start[k - 1];
  std::vector<std::uint32_t> order(n);
  for (std::uint32_t i = 0; i < n; ++i)
    order[start[std::min<std::uint32_t>(typeKey(log.number(i)), 11000)]++] = i;
  return order;
}

// The eight folded characters from depth on, big-endian, zero after the text's end.
std::uint64_t chunkAt(std::string_view text, std::size_t depth) {
  std::uint64_t key = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    key <<= 8;
    if (depth + i < text.size()) key |= fold(static_cast<unsigned char>(text[depth + i]));
  }
  return key;
}

// How many characters from depth on the two texts share, ignoring case, looking at most at limit.
std::size_t sharedLength(std::string_view first, std::string_view other, std::size_t depth,
                         std::size_t limit) {
  limit = std::min(limit, other.size() > depth ? other.size() - depth : 0);
  limit = std::min(limit, first.size() > depth ? first.size() - depth : 0);
  std::size_t i = 0;
  while (i < limit) {
    // Exact runs are compared quickly; a difference is looked at again without case.
    if (std::memcmp(first.data() + depth + i, other.data() + depth + i, limit - i) == 0) return limit;
    while (i < limit && first[depth + i] == other[depth + i]) ++i;
    if (i < limit && fold(static_cast<unsigned char>(first[depth + i])) ==
                         fold(static_cast<unsigned char>(other[depth + i]))) {
      ++i;
      continue;
    }
    break;
  }
  return i;
}

// How many characters from depth on all texts of the group share, ignoring case.
std::size_t commonLength(const MasterLog& log, const Keyed* group, std::size_t n, std::size_t depth) {
  const std::string_view first = log.description(group[0].index);
  std::size_t common = first.size() > depth ? first.size() - depth : 0;
  for (std::size_t k = 1; k < n && common > 0; ++k) {
    if (k + 32 < n) prefetchEntry(log, group[k + 32].index);
    if (k + 16 < n) prefetch(log, group[k + 16].index);
    common = sharedLength(first, log.description(group[k].index), depth, common);
  }
  return common;
}

// Orders by the descriptions: by eight characters at a time, each tied group first skipping what
// all its texts share, so that long common beginnings cost one pass instead of many comparisons.
// A raised stop flag ends the sort early, with an order of no use.
std::vector<std::uint32_t> byDescription(const MasterLog& log, const std::atomic<bool>* stop) {
  auto stopped = [stop] { return stop != nullptr && stop->load(std::memory_order_relaxed); };
  const std::size_t n = log.size();
  auto length = [&log](std::uint32_t index) { return log.description(index).size(); };
  std::vector<Keyed> keyed(n), scratch;
  for (std::uint32_t i = 0; i < n; ++i) keyed[i] = {0, i};
  struct Group {
    std::size_t begin, end, depth;
  };
  std::vector<Group> pending;
  if (n > 1) pending.push_back({0, n, 0});

  // Splits a group sorted by its keys at depth into its runs of equal keys: a run whose texts go
  // on is a group for the next eight characters; one whose texts end is ordered by length.
  auto split = [&](const Group& g, std::size_t depth, std::vector<Group>& into) {
    for (std::size_t run = g.begin; run < g.end;) {
      std::size_t last = run + 1;
      while (last < g.end && keyed[last].key == keyed[run].key) ++last;
      if (last - run > 1) {
        bool longer = false;
        for (std::size_t i = run; i < last && !longer; ++i) longer = length(keyed[i].index) > depth + 8;
        if (longer) {
          into.push_back({run, last, depth + 8});
        } else {
          // The texts end here and agree but for NUL characters at their ends: the shorter first.
          for (std::size_t i = run; i < last; ++i) keyed[i].key = length(keyed[i].index);
          radixSort(keyed, scratch, run, last);
        }
      }
      run = last;
    }
  };

  // While the tied groups hold a good part of the entries, each step reads the texts in file
  // order, where they lie one after the other, instead of in the groups' scattered order. Per
  // entry it keeps its group (fewer than 4096 of them) and its place in keyed, which takes its key.
  std::vector<std::uint16_t> groupOf;
  std::vector<std::uint32_t> placeOf;
  std::vector<std::size_t> common;
  constexpr std::uint16_t kNoGroup = UINT16_MAX;
  while (!pending.empty() && pending.size() < 4096 && !stopped()) {
    std::size_t total = 0;
    for (const Group& g : pending) total += g.end - g.begin;
    if (total < n / 8) break;
    groupOf.assign(n, kNoGroup);
    placeOf.resize(n);
    common.assign(pending.size(), 0);
    for (std::uint16_t gi = 0; gi < pending.size(); ++gi) {
      const Group& g = pending[gi];
      for (std::size_t p = g.begin; p < g.end; ++p) {
        groupOf[keyed[p].index] = gi;
        placeOf[keyed[p].index] = static_cast<std::uint32_t>(p);
      }
      const std::size_t repLength = length(keyed[g.begin].index);
      common[gi] = repLength > g.depth ? repLength - g.depth : 0;
    }
    for (std::uint32_t i = 0; i < n; ++i) {
      const std::uint16_t gi = groupOf[i];
      if (gi == kNoGroup || common[gi] == 0) continue;
      const Group& g = pending[gi];
      const std::uint32_t rep = keyed[g.begin].index;
      if (i != rep) common[gi] = sharedLength(log.description(rep), log.description(i), g.depth, common[gi]);
    }
    for (std::uint32_t i = 0; i < n; ++i) {
      const std::uint16_t gi = groupOf[i];
      if (gi != kNoGroup) keyed[placeOf[i]].key = chunkAt(log.description(i), pending[gi].depth + common[gi]);
    }
    std::vector<Group> next;
    for (std::uint16_t gi = 0; gi < pending.size(); ++gi) {
      const Group& g = pending[gi];
      radixSort(keyed, scratch, g.begin, g.end);
      split(g, g.depth + common[gi], next);
    }
    pending.swap(next);
  }
  std::vector<std::uint16_t>().swap(groupOf);
  std::vector<std::uint32_t>().swap(placeOf);

  for (std::size_t step = 0; !pending.empty(); ++step) {
    if (step % 1024 == 0 && stopped()) return {};
    Group g = pending.back();
    pending.pop_back();
    const std::size_t size = g.end - g.begin;
    std::size_t depth = g.depth + commonLength(log, keyed.data() + g.begin, size, g.depth);
    for (std::size_t i = g.begin; i < g.end; ++i)
      keyed[i].key = chunkAt(log.description(keyed[i].index), depth);
    radixSort(keyed, scratch, g.begin, g.end);
    split(g, depth, pending);
  }
  std::vector<Keyed>().swap(scratch);  // before the order takes its place
  std::vector<std::uint32_t> order(n);
  for (std::size_t i = 0; i < n; ++i) order[i] = keyed[i].index;
  return order;
}

}  // namespace

std::vector<std::uint32_t> ascendingOrder(const MasterLog& log, std::size_t column,
                                          const std::atomic<bool>* stop) {
  if (column == kTypeColumn) return byType(log);
  if (column == kDescriptionColumn) return byDescription(log, stop);
  return byDate(log);
}

std::vector<std::uint32_t> sortedOrder(const MasterLog& log, std::size_t column, bool descending) {
  std::vector<std::uint32_t> order = ascendingOrder(log, column, nullptr);
  if (descending) std::reverse(order.begin(), order.end());
  return order;
}

std::size_t EntryOrders::slot(std::size_t column) {
  return column == kTypeColumn ? 1 : column == kDescriptionColumn ? 2 : 0;
}

EntryOrders::~EntryOrders() {
  reset();
}

void EntryOrders::reset() {
  if (worker_.joinable()) {
    stop_.store(true, std::memory_order_relaxed);
    worker_.join();
    stop_.store(false, std::memory_order_relaxed);
  }
  prepared_.clear();
  for (auto& order : ascending_) order.reset();
}

void EntryOrders::prepare(const MasterLog& log, std::size_t column) {
  if (worker_.joinable() || ascending_[slot(column)]) return;
  preparedSlot_ = slot(column);
  // The worker only reads the log, which stays unchanged until reset() has joined it, and writes
  // prepared_, which this thread reads only after joining it.
  worker_ = std::thread([this, &log, column] { prepared_ = ascendingOrder(log, column, &stop_); });
}

const std::vector<std::uint32_t>& EntryOrders::ascending(const MasterLog& log, std::size_t column) {
  std::optional<std::vector<std::uint32_t>>& known = ascending_[slot(column)];
  if (!known && worker_.joinable() && preparedSlot_ == slot(column)) {
    worker_.join();
    known = std::move(prepared_);
    prepared_.clear();
  }
  if (!known) known = ascendingOrder(log, column, nullptr);
  return *known;
}

RowOrder EntryOrders::rows(const MasterLog& log, std::size_t column, bool descending) {
  if (slot(column) == 0 && log.inTimeOrder() && !ascending_[0])
    return RowOrder(nullptr, log.size(), descending);
  return RowOrder(&ascending(log, column), log.size(), descending);
}

std::ptrdiff_t RowOrder::rowOf(std::uint32_t entry) const {
  if (!ascending_ && entry >= size_) return -1;
  std::size_t k = entry;
  if (ascending_) {
    const auto found = std::find(ascending_->begin(), ascending_->end(), entry);
    if (found == ascending_->end()) return -1;
    k = static_cast<std::size_t>(found - ascending_->begin());
  }
  return static_cast<std::ptrdiff_t>(descending_ ? size_ - 1 - k : k);
}

void EntryOrders::adopt(const MasterLog& log, std::size_t column, std::vector<std::uint32_t> ascending) {
  if (ascending.size() != log.size() || ascending_[slot(column)]) return;
  if (worker_.joinable() && preparedSlot_ == slot(column)) return;  // the preparation gives it
  ascending_[slot(column)] = std::move(ascending);
}

void MasterLogLoad::start(std::unique_ptr<platform::FileView> view, const DateForm& form,
                          const ByteWidths* widths) {
  cancel();
  worker_ = std::thread([this, view = std::move(view), form, widths]() mutable {
    log_.load(std::move(view), form, widths, stop_);
    // The file's bytes are let go here rather than on the window's thread.
    log_.releaseFile();
    if (log_.size() > 1 && !stop_.load(std::memory_order_relaxed))
      byDescription_ = ascendingOrder(log_, kDescriptionColumn, &stop_);
    done_.store(true, std::memory_order_release);
  });
}

MasterLog MasterLogLoad::take(std::vector<std::uint32_t>& byDescription) {
  if (worker_.joinable()) worker_.join();
  done_.store(false, std::memory_order_relaxed);
  byDescription = std::move(byDescription_);
  byDescription_.clear();
  return std::move(log_);
}

void MasterLogLoad::cancel() {
  if (worker_.joinable()) {
    stop_.store(true, std::memory_order_relaxed);
    worker_.join();
    stop_.store(false, std::memory_order_relaxed);
  }
  done_.store(false, std::memory_order_relaxed);
  log_.clear();
  byDescription_.clear();
}

bool EntryOrders::known(std::size_t column) const {
  return ascending_[slot(column)].has_value();
}

}  // namespace quillon
