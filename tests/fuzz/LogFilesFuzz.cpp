// The viewer's master and detail log parsing over any bytes, and the master list's orders over
// what it parsed. Input: the regional date and time separators (one byte each), then the log.

#include <algorithm>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "logviewer/EntryOrder.h"
#include "logviewer/LogFiles.h"

namespace {

using quillon::MasterLog;
using Order = std::vector<std::uint32_t>;

unsigned char fold(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : static_cast<unsigned char>(c);
}

// The order a stable sort by the texts the list shows gives, worked out the plain way.
Order expectedOrder(const MasterLog& log, std::size_t column) {
  Order order(log.size());
  for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  const auto dateText = [&](std::uint32_t i) {
    return quillon::sortKeyText(quillon::unpackDate(log.entry(i).when));
  };
  const auto typeText = [&](std::uint32_t i) { return quillon::numberText(log.entry(i).number); };
  const auto byDescription = [&](std::uint32_t a, std::uint32_t b) {
    const std::string_view x = log.description(a), y = log.description(b);
    return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(),
                                        [](char p, char q) { return fold(p) < fold(q); });
  };
  if (column == quillon::kTypeColumn) {
    std::stable_sort(order.begin(), order.end(), [&](auto a, auto b) { return typeText(a) < typeText(b); });
  } else if (column == quillon::kDescriptionColumn) {
    std::stable_sort(order.begin(), order.end(), byDescription);
  } else {
    std::stable_sort(order.begin(), order.end(), [&](auto a, auto b) { return dateText(a) < dateText(b); });
  }
  return order;
}

bool within(std::string_view part, std::string_view whole) {
  return part.empty() ||
         (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  quillon::DateForm separators;
  separators.date = std::string(1, static_cast<char>(in.byte()));
  separators.time = std::string(1, static_cast<char>(in.byte()));
  separators.order = static_cast<classic::DateOrder>(in.byte() % 3);
  const std::string bytes(in.rest());
  const std::vector<std::string_view> lines = quillon::splitLines(bytes);
  for (std::string_view line : lines) FUZZ_CHECK(line.find_first_of("\r\n") == std::string_view::npos);

  MasterLog log;
  log.load(platform::FileContents{bytes, true}, separators);
  FUZZ_CHECK(log.size() <= lines.size());
  const std::string_view all(bytes.data(), bytes.size());
  std::size_t nextLine = 0;
  for (std::size_t i = 0; i < log.size(); ++i) {
    const quillon::MasterEntry& e = log.entry(i);
    // Entries are lines of the file, in file order, each once.
    const std::string_view line = log.line(i);
    while (nextLine < lines.size() && lines[nextLine].data() != all.data() + e.lineStart) ++nextLine;
    FUZZ_CHECK(nextLine < lines.size() && lines[nextLine] == line);
    ++nextLine;
    FUZZ_CHECK(e.number != 0 && e.number >= -999 && e.number <= 9999);
    const auto when = quillon::readLogDate(line.substr(0, 19), separators);
    FUZZ_CHECK(when && quillon::packDate(*when) == e.when && quillon::unpackDate(e.when) == *when);
    FUZZ_CHECK(within(log.description(i), line) && within(log.detailName(i), line));
    FUZZ_CHECK(log.detailName(i).size() <= 8);
    FUZZ_CHECK(e.category == quillon::classify(e.number, !log.detailName(i).empty()));
  }

  // A read that failed part way keeps what came before the line it cut, no more.
  MasterLog cut;
  cut.load(platform::FileContents{bytes, false}, separators);
  FUZZ_CHECK(cut.stoppedEarly() && cut.size() <= log.size());
  for (std::size_t i = 0; i < cut.size(); ++i) {
    FUZZ_CHECK(cut.entry(i).lineStart == log.entry(i).lineStart && cut.entry(i).when == log.entry(i).when &&
               cut.entry(i).number == log.entry(i).number);
  }

  const std::vector<std::string> details = quillon::detailLines({bytes, true});
  FUZZ_CHECK(details.size() == lines.size());
  for (std::size_t k = 0; k < details.size(); ++k) {
    FUZZ_CHECK(details[k].size() <= lines[k].size());
    FUZZ_CHECK(std::string_view(details[k]).substr(0, 19) == lines[k].substr(0, 19));
  }
  const std::vector<std::string> cutDetails = quillon::detailLines({bytes, false});
  FUZZ_CHECK(cutDetails.size() <= details.size() && cutDetails.size() + 1 >= details.size());
  FUZZ_CHECK(std::equal(cutDetails.begin(), cutDetails.end(), details.begin()));

  // Every column sorts stably by its shown text; descending is ascending reversed; the kept orders,
  // one of them prepared ahead on a worker, are the same.
  quillon::EntryOrders orders;
  orders.prepare(log, (size > 0 ? data[0] : 0) % 4);
  for (std::size_t column = 0; column < 4; ++column) {
    const Order expected = expectedOrder(log, column);
    FUZZ_CHECK(quillon::sortedOrder(log, column, false) == expected);
    Order reversed = quillon::sortedOrder(log, column, true);
    std::reverse(reversed.begin(), reversed.end());
    FUZZ_CHECK(reversed == expected);
    const quillon::RowOrder rows = orders.rows(log, column, false);
    Order shown(rows.size());
    for (std::size_t row = 0; row < rows.size(); ++row) shown[row] = rows[row];
    FUZZ_CHECK(shown == expected);
  }
  return 0;
}
