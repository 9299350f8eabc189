// Times the log viewer's work on a large master log, natively: parsing (alone and measuring the
// widest description on the way), each column's sort, the widest description measured on its own,
// and the memory the entries take beyond the file's bytes.
//
//   quillon_bench <master log>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "logviewer/EntryOrder.h"
#include "logviewer/LogFiles.h"
#include "logviewer/TextWidths.h"

namespace {

double millisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// A font of proportional widths, as a window's font would give them.
int pretendWidth(std::string_view text) {
  int width = 0;
  for (char c : text) width += (c == 'W' || c == 'M') ? 180 : (c == 'i' || c == 'l' || c == ' ') ? 45 : 90;
  return width;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: quillon_bench MASTER_LOG\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t fileBytes = bytes.size();

  const quillon::DateForm form;
  double parseBest = 1e9;
  quillon::MasterLog log;
  for (int round = 0; round < 3; ++round) {
    std::string copy = bytes;
    const auto start = std::chrono::steady_clock::now();
    log.load({std::move(copy), true}, form);
    parseBest = std::min(parseBest, millisecondsSince(start));
  }

  platform::Windows1252Codec codec;
  const quillon::ByteWidths widths(codec, pretendWidth);
  double measuredParseBest = 1e9;
  for (int round = 0; round < 3; ++round) {
    std::string copy = bytes;
    const auto start = std::chrono::steady_clock::now();
    log.load({std::move(copy), true}, form, &widths);
    measuredParseBest = std::min(measuredParseBest, millisecondsSince(start));
  }

  const auto orderStart = std::chrono::steady_clock::now();
  auto order = quillon::sortedOrder(log, quillon::kSortKeyColumn, false);
  const double initialOrder = millisecondsSince(orderStart);
  auto timeSort = [&](std::size_t column, bool descending) {
    const auto start = std::chrono::steady_clock::now();
    order = quillon::sortedOrder(log, column, descending);
    return millisecondsSince(start);
  };
  const double dateDesc = timeSort(quillon::kSortKeyColumn, true);
  const double typeAsc = timeSort(quillon::kTypeColumn, false);
  const double typeDesc = timeSort(quillon::kTypeColumn, true);
  const double descriptionAsc = timeSort(quillon::kDescriptionColumn, false);

  const auto widestStart = std::chrono::steady_clock::now();
  const std::int64_t widest = quillon::widestDescription(log, widths);
  const double widestMs = millisecondsSince(widestStart);

  // The entry table is reserved from the file's size (one entry per 64 bytes); the reserve beyond
  // the entries is never touched, so it is counted apart.
  const double entries = static_cast<double>(log.size() ? log.size() : 1);
  const double perEntry =
      static_cast<double>(log.size() * sizeof(quillon::StoredEntry) + order.size() * sizeof(std::uint32_t)) /
      entries;
  const double reservedPerEntry =
      static_cast<double>(log.entryBytes() + order.capacity() * sizeof(std::uint32_t)) / entries;
  std::printf("file: %zu bytes, %zu entries\n", fileBytes, log.size());
  std::printf("parse (best of 3): %.1f ms\n", parseBest);
  std::printf("parse measuring the widest description on the way (best of 3): %.1f ms (%lld twips)\n",
              measuredParseBest, static_cast<long long>(log.widestDescription()));
  std::printf("initial order by date (already in order): %.1f ms\n", initialOrder);
  std::printf("sort by date descending: %.1f ms\n", dateDesc);
  std::printf("sort by type ascending: %.1f ms, descending: %.1f ms\n", typeAsc, typeDesc);
  std::printf("sort by description ascending: %.1f ms\n", descriptionAsc);
  std::printf("widest description: %.1f ms (%lld twips)\n", widestMs, static_cast<long long>(widest));
  std::printf("memory per entry beyond the file's bytes: %.1f bytes (entry %zu + order %zu), %.1f reserved\n",
              perEntry, sizeof(quillon::StoredEntry), sizeof(std::uint32_t), reservedPerEntry);
  return 0;
}
