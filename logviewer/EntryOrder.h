#pragma once
// The order the master list shows its entries in, kept by the viewer itself: a sort by a column's
// text, done on packed keys, stable (equal texts keep the file's order); the descending order is
// the ascending one reversed.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>
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

// The same order ascending; a raised stop flag ends the sort early, with an order of no use.
std::vector<std::uint32_t> ascendingOrder(const MasterLog& log, std::size_t column,
                                          const std::atomic<bool>* stop);

// The rows of the master list in one order, without a copy of the order: the entry shown in a row,
// read from a column's ascending order (or the file's order, when that is the order) either way.
class RowOrder {
 public:
  RowOrder() = default;
  // ascending nullptr: the file's order.
  RowOrder(const std::vector<std::uint32_t>* ascending, std::size_t size, bool descending)
      : ascending_(ascending), size_(size), descending_(descending) {}
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  std::uint32_t operator[](std::size_t row) const {
    const std::size_t k = descending_ ? size_ - 1 - row : row;
    return ascending_ ? (*ascending_)[k] : static_cast<std::uint32_t>(k);
  }
  // The row that shows the entry, or -1.
  std::ptrdiff_t rowOf(std::uint32_t entry) const;

 private:
  const std::vector<std::uint32_t>* ascending_ = nullptr;
  std::size_t size_ = 0;
  bool descending_ = false;
};

// The orders of one loaded log, each column's ascending order sorted once: a repeated or reversed
// sort only reads it the other way. One column's order may be prepared ahead on a worker thread, which the
// first request for that order waits for.
class EntryOrders {
 public:
  EntryOrders() = default;
  EntryOrders(const EntryOrders&) = delete;
  EntryOrders& operator=(const EntryOrders&) = delete;
  ~EntryOrders();

  // Forgets every order, stopping and joining a preparation first; before the log changes.
  void reset();
  // Starts sorting by the column on a worker, unless its order is known or a preparation runs.
  // The log must stay unchanged until reset().
  void prepare(const MasterLog& log, std::size_t column);
  // The order by the column, as sortedOrder gives it, as rows to read; valid until reset() (a log
  // in time order needs no sort by date at all).
  RowOrder rows(const MasterLog& log, std::size_t column, bool descending);
  // Whether the column's order has been sorted already (a preparation still running is not).
  bool known(std::size_t column) const;
  // Takes the column's ascending order, sorted elsewhere for this log; one of another size is
  // not taken.
  void adopt(const MasterLog& log, std::size_t column, std::vector<std::uint32_t> ascending);

 private:
  static std::size_t slot(std::size_t column);
  const std::vector<std::uint32_t>& ascending(const MasterLog& log, std::size_t column);

  std::array<std::optional<std::vector<std::uint32_t>>, 3> ascending_;  // date, type, description
  std::thread worker_;
  std::atomic<bool> stop_{false};
  std::size_t preparedSlot_ = 0;
  std::vector<std::uint32_t> prepared_;
};

// A master log parsed on a worker thread while the window shows what it has, then sorted by its
// descriptions on the same worker, the slowest sort done before the log is shown; the window asks
// whether it is done and then takes it. Stopped and joined when it goes.
class MasterLogLoad {
 public:
  MasterLogLoad() = default;
  MasterLogLoad(const MasterLogLoad&) = delete;
  MasterLogLoad& operator=(const MasterLogLoad&) = delete;
  ~MasterLogLoad() { cancel(); }

  // Parses the view on a worker; widths must stay unchanged until the load is taken or cancelled.
  void start(std::unique_ptr<platform::FileView> view, const DateForm& form, const ByteWidths* widths);
  bool started() const { return worker_.joinable(); }
  bool done() const { return done_.load(std::memory_order_acquire); }
  // Waits for the worker and gives the log it parsed, and its order by description.
  MasterLog take(std::vector<std::uint32_t>& byDescription);
  // Stops the worker and joins it; the log is dropped.
  void cancel();

 private:
  std::thread worker_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  // Written by the worker only, read after joining it.
  MasterLog log_;
  std::vector<std::uint32_t> byDescription_;
};

}  // namespace quillon
