// Reading the engine's logs: columns, classification, dates, line ends, damaged files, order and
// widths.

#include <gtest/gtest.h>

#include "ViewerFixture.h"
#include "fakes/FakeFormToolkit.h"
#include "fakes/FakeRegistry.h"
#include "logviewer/EntryOrder.h"
#include "logviewer/LogFiles.h"
#include "logviewer/Registry.h"
#include "logviewer/TextWidths.h"

namespace {

using quillon::Category;

const quillon::DateForm kUs;

std::string line(const std::string& number, const std::string& rest,
                 const std::string& when = "12/08/2026 10:00:00") {
  return when + " ENG " + number + " " + rest;
}

quillon::MasterLog parse(const std::string& bytes, bool complete = true) {
  quillon::MasterLog log;
  log.load({bytes, complete}, kUs);
  return log;
}

TEST(Classification, FollowsTheNumberModulo500) {
  EXPECT_EQ(quillon::classify(1401, false), Category::Advisory);
  EXPECT_EQ(quillon::classify(1450, false), Category::Recovery);
  EXPECT_EQ(quillon::classify(499, false), Category::Error);
  EXPECT_EQ(quillon::classify(500, false), Category::None);
  EXPECT_EQ(quillon::classify(998, false), Category::Recovery);
  EXPECT_EQ(quillon::classify(999, false), Category::Error);
  EXPECT_EQ(quillon::classify(449, false), Category::Advisory);
  EXPECT_EQ(quillon::classify(2, false), Category::None);
  EXPECT_EQ(quillon::classify(-401, false), Category::Error);  // the remainder keeps the sign
  EXPECT_EQ(quillon::classify(500, true), Category::Detail);
  EXPECT_EQ(quillon::categoryKey(Category::Recovery), "REC");
  EXPECT_EQ(quillon::categoryKey(Category::None), "");
}

TEST(MasterLog, CutsTheFixedColumns) {
  const auto log =
      parse(line("1401", "plain text ") + "\r\n" + line("0003", "[ABCDEFGH] copy started") + "\r\n");
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log.description(0), "plain text ");  // kept as stored, not trimmed
  EXPECT_EQ(log.detailName(0), "");
  EXPECT_EQ(log.entry(0).category, Category::Advisory);
  EXPECT_EQ(log.entry(0).number, 1401);
  EXPECT_EQ(log.detailName(1), "ABCDEFGH");
  EXPECT_EQ(log.description(1), " copy started");      // position 39 is not read
  EXPECT_EQ(log.entry(1).category, Category::Detail);  // "[" at 30 whatever the number
}

TEST(MasterLog, ParsesAHeldFileAndKeepsItsTextsWhenTheFileIsLetGo) {
  std::string bytes;
  for (int i = 0; i < 5000; ++i)
    bytes +=
        line(std::to_string(1000 + i % 9000), (i % 7 ? "text " : "[D0000001] text ") + std::to_string(i)) +
        (i % 3 ? "\r\n" : "\n");
  const auto reference = parse(bytes);
  int alive = 0;
  quillon::MasterLog log;
  log.load(std::make_unique<viewertest::HeldView>(bytes, alive), kUs);
  EXPECT_TRUE(log.holdsFile());
  auto sameAsReference = [&](const quillon::MasterLog& l) {
    ASSERT_EQ(l.size(), reference.size());
    for (std::size_t i = 0; i < l.size(); i += 97) {
      EXPECT_EQ(l.line(i), reference.line(i));
      EXPECT_EQ(l.description(i), reference.description(i));
      EXPECT_EQ(l.detailName(i), reference.detailName(i));
    }
  };
  sameAsReference(log);
  // Moved while the copy may still run: the texts stay.
  quillon::MasterLog moved(std::move(log));
  sameAsReference(moved);
  moved.releaseFile();
  EXPECT_EQ(alive, 0);
  EXPECT_FALSE(moved.holdsFile());
  sameAsReference(moved);
  moved.releaseFile();  // nothing held: nothing happens
  sameAsReference(moved);

  // Loading again or clearing while the copy runs is safe, and lets the view go.
  moved.load(std::make_unique<viewertest::HeldView>(bytes, alive), kUs);
  moved.load(std::make_unique<viewertest::HeldView>(bytes, alive), kUs);
  EXPECT_EQ(alive, 1);
  moved.clear();
  EXPECT_EQ(alive, 0);
  EXPECT_EQ(moved.size(), 0u);
  moved.load(std::unique_ptr<platform::FileView>(), kUs);  // the file could not be opened
  EXPECT_EQ(moved.size(), 0u);
}

TEST(MasterLog, ReadsEightCharactersAsTheDetailNameWhateverTheyAre) {
  const auto log = parse(line("0500", "[abc] rest of it") + "\r\n");
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log.detailName(0), "abc] res");
  EXPECT_EQ(log.description(0), " of it");
}

TEST(MasterLog, SkipsLinesWithoutANumber) {
  const auto log =
      parse(line("0000", "zero") + "\r\n" + line("    ", "blank") + "\r\n" + line("abcd", "letters") +
            "\r\n" + line("  12", "leading blanks") + "\r\n" + line("7x  ", "digit first") + "\r\n");
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log.entry(0).number, 12);
  EXPECT_EQ(log.entry(1).number, 7);
}

TEST(MasterLog, ShortLinesGiveEmptyFields) {
  const auto log = parse(std::string("12/08/2026 10:00:00 ENG 0401") + "\r\n" + line("0402", "[AB") + "\r\n");
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log.description(0), "");
  EXPECT_EQ(log.detailName(1), "AB");
  EXPECT_EQ(log.description(1), "");
  EXPECT_EQ(log.entry(1).category, Category::Detail);
  // What there is of the number's four characters counts; a line that ends before them is no entry.
  EXPECT_EQ(parse("12/08/2026 10:00:00 ENG 04").size(), 1u);
  EXPECT_EQ(parse("12/08/2026 10:00:00 ENG").size(), 0u);
}

TEST(MasterLog, EndsLinesAtCrLfOrEitherAlone) {
  const auto log = parse(line("0001", "a") + "\r" + line("0002", "b") + "\n" + line("0003", "c") +
                         "\r\n\r\n" + line("0005", "no end"));
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log.description(0), "a");
  EXPECT_EQ(log.description(1), "b");
  EXPECT_EQ(log.description(2), "c");
  EXPECT_EQ(log.description(3), "no end");
}

TEST(MasterLog, StopsAtALineWhoseDateCannotBeRead) {
  const auto log = parse(line("0001", "one") + "\r\n" + line("0002", "bad", "13/45/2026 10:00:00") + "\r\n" +
                         line("0003", "after") + "\r\n");
  EXPECT_EQ(log.size(), 1u);
  EXPECT_TRUE(log.stoppedEarly());
  // A line that is no entry is not read for its date.
  EXPECT_EQ(parse(line("0000", "x", "garbage garbage gar") + "\r\n" + line("0001", "y") + "\r\n").size(), 1u);
}

TEST(MasterLog, AFailedReadKeepsTheWholeLinesBeforeIt) {
  const auto log = parse(line("0001", "one") + "\r\n" + line("0002", "cut sh"), false);
  EXPECT_EQ(log.size(), 1u);
  EXPECT_TRUE(log.stoppedEarly());
}

TEST(MasterLog, SurvivesBinaryNulAndHugeLines) {
  std::string bytes = line("0001", std::string("bin\0\xff\x01"
                                               "ary",
                                               9)) +
                      "\r\n";
  bytes += line("0002", std::string(3'000'000, 'x')) + "\r\n";
  bytes += std::string("\0\0\0\xfe\xfe", 5) + "\r\n";  // no number: skipped
  bytes += line("0003", "[");                          // "[" at the very end: no name, no description
  const auto log = parse(bytes);
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log.description(0).size(), 9u);
  EXPECT_EQ(log.description(1).size(), 3'000'000u);
  EXPECT_EQ(log.detailName(2), "");
  EXPECT_EQ(log.entry(2).category, Category::Error);  // number 3, no detail log after all
}

// A streamed file whose bytes arrive a few at a time, each wait bringing the next piece.
class TricklingView : public platform::FileView {
 public:
  TricklingView(std::string bytes, std::size_t piece, bool complete)
      : bytes_(std::move(bytes)), piece_(piece), complete_(complete) {}
  std::string_view bytes() const override { return std::string_view(bytes_).substr(0, ready_); }
  bool complete() const override { return ready_ < bytes_.size() || complete_; }
  bool holdsFile() const override { return false; }
  platform::ReadProgress await(std::size_t beyond) const override {
    ready_ = std::min(bytes_.size(), std::max(ready_, beyond) + piece_);
    return {ready_, ready_ == bytes_.size()};
  }
  std::size_t expectedSize() const override { return bytes_.size(); }

 private:
  std::string bytes_;
  std::size_t piece_;
  bool complete_;
  mutable std::size_t ready_ = 0;
};

class StreamedMasterLog : public ::testing::TestWithParam<std::size_t> {};

TEST_P(StreamedMasterLog, ParsesAsTheBytesArriveWhatAWholeReadGives) {
  platform::Windows1252Codec codec;
  const quillon::ByteWidths widths(codec, fakes::FakeFormToolkit::widthOf);
  // Every line end, lines split anywhere across pieces, lines that are no entry, a detail entry,
  // dates out of order, a huge line, and a last line without its end.
  std::string mixed;
  for (int i = 0; i < 40; ++i) {
    const char* ends[] = {"\r\n", "\n", "\r", "\r\n\r\n"};
    mixed += line(std::to_string(1000 + i), (i % 5 ? "text " : "[D0000001] text ") + std::string(i % 13, 'W'),
                  i == 17 ? "12/07/2026 10:00:00" : "12/08/2026 10:00:00") +
             ends[i % 4];
    if (i % 9 == 0) mixed += "no entry at all\r\n";
  }
  mixed += line("0002", std::string(5000, 'i')) + "\r\n" + line("0003", "the end");
  const std::string badDate =
      line("0001", "one") + "\r\n" + line("0002", "bad", "13/45/2026 10:00:00") + "\r\n" + line("0003", "x");
  struct Case {
    std::string bytes;
    bool complete;
  };
  for (const Case& c : {Case{mixed, true}, Case{mixed, false}, Case{badDate, true}, Case{"", true}}) {
    quillon::MasterLog whole, streamed;
    whole.load({c.bytes, c.complete}, kUs);
    streamed.load(std::make_unique<TricklingView>(c.bytes, GetParam(), c.complete), kUs, &widths);
    ASSERT_EQ(streamed.size(), whole.size());
    for (std::size_t i = 0; i < whole.size(); ++i) {
      EXPECT_EQ(streamed.line(i), whole.line(i)) << i;
      EXPECT_EQ(streamed.description(i), whole.description(i)) << i;
      EXPECT_EQ(streamed.detailName(i), whole.detailName(i)) << i;
      EXPECT_EQ(streamed.entry(i).when, whole.entry(i).when) << i;
      EXPECT_EQ(streamed.entry(i).category, whole.entry(i).category) << i;
    }
    EXPECT_EQ(streamed.stoppedEarly(), whole.stoppedEarly());
    EXPECT_EQ(streamed.inTimeOrder(), whole.inTimeOrder());
    EXPECT_EQ(streamed.widestDescription(), quillon::widestDescription(whole, widths));
  }
}

INSTANTIATE_TEST_SUITE_P(PieceSizes, StreamedMasterLog, ::testing::Values(1, 2, 3, 7, 29, 64, 4096));

TEST(MasterLog, KnowsWhetherItsEntriesAreInTimeOrder) {
  const std::string first = line("0001", "a", "12/08/2026 10:00:00") + "\r\n";
  const std::string same = line("0002", "b", "12/08/2026 10:00:00") + "\r\n";
  const std::string older = line("0003", "c", "12/08/2025 23:59:59") + "\r\n";
  EXPECT_TRUE(parse("").inTimeOrder());
  EXPECT_TRUE(parse(first + same).inTimeOrder());
  EXPECT_FALSE(parse(first + same + older).inTimeOrder());
  quillon::EntryOrders orders;
  const auto log = parse(first + older + same);
  EXPECT_EQ(orders.rows(log, quillon::kSortKeyColumn, false)[0], 1u);
}

TEST(LogDates, AcceptTheRegionalForms) {
  using classic::DateTime;
  EXPECT_EQ(quillon::readLogDate("12/08/2026 10:05:09", kUs), (DateTime{2026, 12, 8, 10, 5, 9}));
  EXPECT_EQ(quillon::readLogDate("2026-12-08 10:05:09", kUs), (DateTime{2026, 12, 8, 10, 5, 9}));
  EXPECT_EQ(quillon::readLogDate("1/2/26 3:04:05 PM  ", kUs), (DateTime{2026, 1, 2, 15, 4, 5}));
  EXPECT_EQ(quillon::readLogDate("25/12/2026 00:00:00", kUs),
            (DateTime{2026, 12, 25, 0, 0, 0}));  // day first
  EXPECT_EQ(quillon::readLogDate("02/29/2024         ", kUs), (DateTime{2024, 2, 29, 0, 0, 0}));
  const quillon::DateForm german{".", ":"};
  EXPECT_EQ(quillon::readLogDate("12.08.2026 10.05.09", quillon::DateForm{".", "."}),
            (DateTime{2026, 12, 8, 10, 5, 9}));
  EXPECT_EQ(quillon::readLogDate("12.08.2026 10:05:09", german), (DateTime{2026, 12, 8, 10, 5, 9}));
}

TEST(LogDates, RefuseWhatIsNoDate) {
  for (const char* text :
       {"", "                   ", "02/29/2026 10:00:00", "12/08/2026 24:00:00", "12/08/2026 10:60:00",
        "13/13/2026 10:00:00", "12/08/2026 10:00:0x", "garbage", "12/08/2026 10", "12//2026 10:00:00"}) {
    EXPECT_FALSE(quillon::readLogDate(text, kUs)) << text;
  }
}

// One regional date form: its short date picture, how the engine writes 5 March 2024 14:07:09
// in it, the same written loosely, a date whose month and day must change places (13 January
// 2024), and how the list shows 5 March 2024.
struct RegionalCase {
  const char* picture;
  const char* separator;
  const char* engineForm;
  const char* looseForm;
  const char* swapped;
  const char* shown;
};

class LogDatesByOrder : public ::testing::TestWithParam<RegionalCase> {};

TEST_P(LogDatesByOrder, AreReadAndShownInTheUsersOrder) {
  using classic::DateTime;
  const RegionalCase& c = GetParam();
  const quillon::DateForm form{c.separator, ":", classic::dateOrderOfPicture(c.picture)};
  const DateTime march5{2024, 3, 5, 14, 7, 9};
  EXPECT_EQ(quillon::readLogDate(c.engineForm, form), march5);
  EXPECT_EQ(quillon::readLogDate(c.looseForm, form), march5);
  EXPECT_EQ(quillon::readLogDate(c.swapped, form), (DateTime{2024, 1, 13, 0, 0, 0}));
  // A year of four digits is known wherever it stands.
  EXPECT_EQ(quillon::readLogDate("2024-03-05 14:07:09", form), march5);
  EXPECT_EQ(quillon::displayDate(march5, form), c.shown);
  EXPECT_FALSE(quillon::readLogDate("13.13.2024 10:00:00", form));

  // Entries are dated, and so ordered, by the dates as read.
  const quillon::MasterLog log = [&] {
    quillon::MasterLog l;
    l.load({line("0401", "later", c.engineForm) + "\r\n" + line("0402", "earlier", c.swapped), true}, form);
    return l;
  }();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log.entry(0).when, quillon::packDate(march5));
  EXPECT_LT(log.entry(1).when, log.entry(0).when);
}

INSTANTIATE_TEST_SUITE_P(
    Regional, LogDatesByOrder,
    ::testing::Values(RegionalCase{"'day' M/d/yyyy", "/", "03/05/2024 14:07:09", "3/5/24 2:07:09 PM",
                                   "13/01/2024         ", "03/05/24 14:07:09"},
                      RegionalCase{"dd.MM.yyyy", ".", "05.03.2024 14:07:09", "5.3.24 14:07:09",
                                   "01.13.2024         ", "05.03.24 14:07:09"},
                      RegionalCase{"gg yyyy/M/d", "/", "2024/03/05 14:07:09", "24/3/5 2:07:09 pm",
                                   "24/13/1            ", "24/03/05 14:07:09"}));

TEST(DisplayForms, UseTheRegionalSeparatorsAndPadding) {
  const classic::DateTime when{2026, 3, 7, 9, 5, 1};
  EXPECT_EQ(quillon::displayDate(when, kUs), "03/07/26 09:05:01");
  EXPECT_EQ(quillon::displayDate(when, quillon::DateForm{".", "."}), "03.07.26 09.05.01");
  EXPECT_EQ(quillon::sortKeyText(when), "20260307090501");
  EXPECT_EQ(quillon::numberText(7), "0007");
  EXPECT_EQ(quillon::numberText(12345), "12345");
  EXPECT_EQ(quillon::numberText(-5), "-0005");
  EXPECT_EQ(quillon::unpackDate(quillon::packDate(when)), when);
  EXPECT_LT(quillon::packDate({2025, 12, 31, 23, 59, 59}), quillon::packDate({2026, 1, 1, 0, 0, 0}));
}

TEST(DetailLines, DropPositions20To23) {
  const auto lines =
      quillon::detailLines({"12/08/2026 10:00:00 ENG step one\r\n\r\nshort\nabcdefghijklmnopqrstuvw", true});
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "12/08/2026 10:00:00 step one");
  EXPECT_EQ(lines[1], "");  // empty lines are lines too
  EXPECT_EQ(lines[2], "short");
  EXPECT_EQ(lines[3], "abcdefghijklmnopqrs");
  EXPECT_TRUE(quillon::detailLines({"", true}).empty());
}

TEST(DetailNames, OnlyNamesInsideTheLogsFolderAreOpened) {
  EXPECT_TRUE(quillon::safeDetailName("ABCD1234"));
  EXPECT_TRUE(quillon::safeDetailName("abc] re"));
  for (const char* name : {"..\\..\\x", "../../ab", "C:AUTOEX", "a*b?c", "a|b", "", "123456789"})
    EXPECT_FALSE(quillon::safeDetailName(name)) << name;
  EXPECT_FALSE(quillon::safeDetailName(std::string("ab\0cd", 5)));
}

TEST(RegistryValue, ReadsTextsAndNumbersByOnePath) {
  fakes::FakeRegistry registry;
  platform::Windows1252Codec codec;
  registry.putText("SOFTWARE\\K\\Info", "Location", std::string("C:\\Caf\xe9\0junk", 12));
  registry.putNumber("SOFTWARE\\K\\Info", "Count", -7);
  registry.put("SOFTWARE\\K\\Info", "Blob", platform::kRegBinary, std::string("\x10\x00", 2));
  registry.put("SOFTWARE\\K\\Info", "Multi", 7, std::string("a\0\0", 3));
  registry.putText("SOFTWARE\\K\\Info", "Long", std::string(300, 'x'));
  registry.putText("Top", "Value", "v", platform::RegistryRoot::CurrentUser);
  std::string value = "untouched";
  EXPECT_TRUE(quillon::ReadRegistryValue(registry, codec,
                                         "  HKEY_LOCAL_MACHINE\\SOFTWARE\\K\\Info\\Location ", value));
  EXPECT_EQ(value, "C:\\Caf\xc3\xa9");
  EXPECT_TRUE(
      quillon::ReadRegistryValue(registry, codec, "HKEY_LOCAL_MACHINE\\SOFTWARE\\K\\Info\\Count", value));
  EXPECT_EQ(value, "-7");
  EXPECT_TRUE(
      quillon::ReadRegistryValue(registry, codec, "HKEY_LOCAL_MACHINE\\SOFTWARE\\K\\Info\\Blob", value));
  EXPECT_EQ(value, "16");
  EXPECT_TRUE(quillon::ReadRegistryValue(registry, codec, "HKEY_CURRENT_USER\\Top\\Value", value));
  EXPECT_EQ(value, "v");
  value = "untouched";
  for (const char* path :
       {"HKEY_LOCAL_MACHINE\\SOFTWARE\\K\\Info\\Multi", "HKEY_LOCAL_MACHINE\\SOFTWARE\\K\\Info\\Long",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\K\\Info\\Missing", "HKLM\\SOFTWARE\\K\\Info\\Location",
        "HKEY_LOCAL_MACHINE\\Location", "\\SOFTWARE\\K\\Info\\Location", "HKEY_LOCAL_MACHINE"}) {
    EXPECT_FALSE(quillon::ReadRegistryValue(registry, codec, path, value)) << path;
  }
  EXPECT_EQ(value, "untouched");
}

TEST(EntryOrder, SortsStablyByTheShownTexts) {
  std::string bytes;
  bytes += line("0020", "beta", "12/08/2026 10:00:02") + "\r\n";
  bytes += line("0003", "Alpha", "12/08/2026 10:00:01") + "\r\n";
  bytes += line("-005", "alpha", "12/08/2026 10:00:01") + "\r\n";
  bytes += line("-010", "alphabet", "01/01/2025 00:00:00") + "\r\n";
  bytes += line("0003", "", "12/08/2026 10:00:03") + "\r\n";
  const auto log = parse(bytes);
  ASSERT_EQ(log.size(), 5u);
  using V = std::vector<std::uint32_t>;
  EXPECT_EQ(quillon::sortedOrder(log, quillon::kSortKeyColumn, false), (V{3, 1, 2, 0, 4}));
  EXPECT_EQ(quillon::sortedOrder(log, quillon::kDateColumn, false), (V{3, 1, 2, 0, 4}));
  EXPECT_EQ(quillon::sortedOrder(log, quillon::kSortKeyColumn, true), (V{4, 0, 2, 1, 3}));
  // "-0005" < "-0010" < "0003" < "0003" < "0020" as texts.
  EXPECT_EQ(quillon::sortedOrder(log, quillon::kTypeColumn, false), (V{2, 3, 1, 4, 0}));
  // Letters compare without case; equal texts keep the file's order; a prefix comes first.
  EXPECT_EQ(quillon::sortedOrder(log, quillon::kDescriptionColumn, false), (V{4, 1, 2, 3, 0}));
}

TEST(Widths, WidestDescriptionIsExactWithoutMeasuringEveryText) {
  platform::Windows1252Codec codec;
  int calls = 0;
  const quillon::ByteWidths widths(codec, [&](std::string_view t) {
    ++calls;
    return fakes::FakeFormToolkit::widthOf(t);
  });
  EXPECT_EQ(calls, 256);
  EXPECT_EQ(widths.width("Wi"), 180 + 45);
  EXPECT_EQ(widths.width(std::string("a\0b", 3)), 90 + 45 + 90);  // NUL shown as a space
  std::string bytes;
  bytes += line("0001", "iiiiiiiiiiiiiiiiiiii") + "\r\n";  // the longest, but narrow: 20 x 45
  bytes += line("0002", "WWWWWW") + "\r\n";                // shorter but wider: 6 x 180
  bytes += line("0003", "ab") + "\r\n";
  const auto log = parse(bytes);
  EXPECT_EQ(quillon::widestDescription(log, widths), 1080);
  EXPECT_EQ(quillon::widestDescription(parse(""), widths), 0);
}

}  // namespace

namespace {

// The entries of an order's rows, from the first row to the last.
std::vector<std::uint32_t> listed(const quillon::RowOrder& rows) {
  std::vector<std::uint32_t> entries(rows.size());
  for (std::size_t row = 0; row < rows.size(); ++row) entries[row] = rows[row];
  return entries;
}

// The order the description column must have, by plain comparison of the folded texts.
std::vector<std::uint32_t> referenceOrder(const quillon::MasterLog& log) {
  std::vector<std::uint32_t> order(log.size());
  for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  auto folded = [&](std::uint32_t i) {
    std::string t(log.description(i));
    for (char& c : t)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return t;
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return folded(a) < folded(b); });
  return order;
}

TEST(EntryOrder, DescriptionsWithLongCommonBeginningsSortAsTheirTexts) {
  // Texts sharing long beginnings, differing in case only, ending in NUL characters, repeated, and
  // of every length around the eight-character steps the sort works in.
  const std::vector<std::string> texts = {
      "Copy/Update of Original Area onto Rescue Area finished (12)",
      "Copy/Update of Original Area onto Rescue Area finished (2)",
      "copy/update of original area onto rescue area FINISHED (3)",
      "Copy/Update of Original Area onto Rescue Area finished",
      "Copy/Update of Original Area onto Rescue Area finished",
      std::string("Copy/Upd\0", 9),
      "Copy/Upd",
      "Copy/Up",
      "Copy/Update",
      "Copy/Update of Original Area onto Rescue Area finished (12)x",
      "",
      "zeta",
      "Zeta",
      "\xe9t\xe9",
  };
  std::string bytes;
  unsigned seed = 7;
  for (int i = 0; i < 400; ++i) {
    seed = seed * 1103515245u + 12345u;
    bytes += line("0001", texts[(seed >> 8) % texts.size()]) + "\r\n";
  }
  const auto log = parse(bytes);
  ASSERT_EQ(log.size(), 400u);
  EXPECT_EQ(quillon::sortedOrder(log, quillon::kDescriptionColumn, false), referenceOrder(log));
}

TEST(EntryOrder, RandomDescriptionsSortAsTheirTexts) {
  // Short random texts over a few letters of both cases: many ties at every depth, groups of
  // every size, texts ending inside and at the end of the eight-character steps.
  for (unsigned seed : {1u, 2u, 3u}) {
    std::string bytes;
    for (int i = 0; i < 3000; ++i) {
      seed = seed * 1103515245u + 12345u;
      std::string text(((seed >> 8) % 4 == 0) ? "common beginning of many texts " : "");
      const std::size_t length = (seed >> 12) % 20;
      for (std::size_t k = 0; k < length; ++k) {
        seed = seed * 1103515245u + 12345u;
        text += "aAbB "[(seed >> 10) % 5];
      }
      bytes += line("0001", text) + "\r\n";
    }
    const auto log = parse(bytes);
    ASSERT_EQ(log.size(), 3000u);
    EXPECT_EQ(quillon::sortedOrder(log, quillon::kDescriptionColumn, false), referenceOrder(log)) << seed;
  }
}

// Texts of random letters, each line numbered by the seed, so that two seeds give other orders.
std::string randomLog(unsigned seed, int lines) {
  std::string bytes;
  for (int i = 0; i < lines; ++i) {
    seed = seed * 1103515245u + 12345u;
    std::string text;
    for (std::size_t k = 0, length = (seed >> 12) % 12; k < length; ++k) {
      seed = seed * 1103515245u + 12345u;
      text += "aBcD"[(seed >> 10) % 4];
    }
    const std::string number = std::to_string(1000 + (seed >> 16) % 9000);
    bytes += line(number, text) + "\r\n";
  }
  return bytes;
}

TEST(EntryOrders, GiveTheSortedOrdersWhetherKnownOrPrepared) {
  const auto log = parse(randomLog(11, 2000));
  quillon::EntryOrders orders;
  for (std::size_t column : {quillon::kDateColumn, quillon::kTypeColumn, quillon::kDescriptionColumn}) {
    for (bool descending : {false, true, false}) {
      const auto expected = quillon::sortedOrder(log, column, descending);
      // Read as rows without a copy, and back from an entry to its row.
      const quillon::RowOrder rows = orders.rows(log, column, descending);
      ASSERT_EQ(rows.size(), expected.size());
      EXPECT_EQ(listed(rows), expected) << column << descending;
      for (std::size_t row = 0; row < rows.size(); row += 7)
        EXPECT_EQ(rows.rowOf(expected[row]), static_cast<std::ptrdiff_t>(row));
      EXPECT_EQ(rows.rowOf(static_cast<std::uint32_t>(log.size())), -1);
      // A log in time order is shown by date without a sort.
      EXPECT_EQ(orders.known(column), column != quillon::kDateColumn || !log.inTimeOrder());
    }
  }
  EXPECT_EQ(orders.known(quillon::kSortKeyColumn), orders.known(quillon::kDateColumn));  // the same order

  quillon::EntryOrders prepared;
  prepared.prepare(log, quillon::kDescriptionColumn);
  // Another column is sorted on this thread meanwhile, from the same log.
  EXPECT_EQ(listed(prepared.rows(log, quillon::kTypeColumn, true)),
            quillon::sortedOrder(log, quillon::kTypeColumn, true));
  EXPECT_EQ(listed(prepared.rows(log, quillon::kDescriptionColumn, true)),
            quillon::sortedOrder(log, quillon::kDescriptionColumn, true));
  EXPECT_EQ(listed(prepared.rows(log, quillon::kDescriptionColumn, false)), referenceOrder(log));
}

TEST(EntryOrders, ResetForgetsTheOrdersOfTheLogLoadedBefore) {
  quillon::MasterLog log;
  log.load({randomLog(21, 3000), true}, kUs);
  quillon::EntryOrders orders;
  const auto first = listed(orders.rows(log, quillon::kDescriptionColumn, false));
  const auto firstTypes = listed(orders.rows(log, quillon::kTypeColumn, false));

  // The file changed, as between two loads: same size, other texts.
  orders.reset();
  EXPECT_FALSE(orders.known(quillon::kDescriptionColumn));
  EXPECT_FALSE(orders.known(quillon::kTypeColumn));
  log.load({randomLog(22, 3000), true}, kUs);
  ASSERT_EQ(log.size(), 3000u);
  const auto second = listed(orders.rows(log, quillon::kDescriptionColumn, false));
  EXPECT_NE(second, first);
  EXPECT_EQ(second, referenceOrder(log));
  EXPECT_EQ(listed(orders.rows(log, quillon::kTypeColumn, false)),
            quillon::sortedOrder(log, quillon::kTypeColumn, false));
  EXPECT_NE(listed(orders.rows(log, quillon::kTypeColumn, false)), firstTypes);

  // A preparation of the old log, reset while it may still run, leaves nothing behind.
  orders.prepare(log, quillon::kDescriptionColumn);
  orders.reset();
  log.load({randomLog(23, 3000), true}, kUs);
  EXPECT_EQ(listed(orders.rows(log, quillon::kDescriptionColumn, false)), referenceOrder(log));

  // A preparation that has surely ended before the reset is discarded as well.
  orders.reset();
  orders.prepare(log, quillon::kDescriptionColumn);
  EXPECT_EQ(listed(orders.rows(log, quillon::kTypeColumn, false)),
            quillon::sortedOrder(log, quillon::kTypeColumn, false));
  orders.reset();
  log.load({randomLog(24, 2500), true}, kUs);
  EXPECT_EQ(listed(orders.rows(log, quillon::kDescriptionColumn, false)), referenceOrder(log));
}

TEST(EntryOrders, StopAPreparationOfALargeLogOnReset) {
  // Large enough that the reset comes while the worker sorts: it stops early, and its partial
  // order is never handed out.
  quillon::MasterLog log;
  log.load({randomLog(31, 200000), true}, kUs);
  for (int round = 0; round < 3; ++round) {
    quillon::EntryOrders orders;
    orders.prepare(log, quillon::kDescriptionColumn);
    orders.reset();
    EXPECT_FALSE(orders.known(quillon::kDescriptionColumn));
    const auto order = listed(orders.rows(log, quillon::kDescriptionColumn, false));
    EXPECT_EQ(order, quillon::sortedOrder(log, quillon::kDescriptionColumn, false));
    orders.prepare(log, quillon::kTypeColumn);
  }  // destroyed with a preparation running: joined
}

TEST(EntryOrder, DatesOutOfFileOrderSortStably) {
  std::string bytes;
  unsigned seed = 3;
  for (int i = 0; i < 300; ++i) {
    seed = seed * 1103515245u + 12345u;
    const int minute = static_cast<int>((seed >> 8) % 6);
    bytes += line("0001", std::to_string(i), "12/08/2026 10:0" + std::to_string(minute) + ":00") + "\r\n";
  }
  const auto log = parse(bytes);
  const auto order = quillon::sortedOrder(log, quillon::kSortKeyColumn, false);
  ASSERT_EQ(order.size(), 300u);
  for (std::size_t i = 1; i < order.size(); ++i) {
    const auto& a = log.entry(order[i - 1]);
    const auto& b = log.entry(order[i]);
    ASSERT_TRUE(a.when < b.when || (a.when == b.when && order[i - 1] < order[i])) << i;
  }
}

}  // namespace
