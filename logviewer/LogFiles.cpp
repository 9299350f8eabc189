#include "logviewer/LogFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <new>
#include <utility>

#include "logviewer/TextWidths.h"

namespace quillon {
namespace {

// Finds line ends eight bytes at a time (no library search is assumed to be fast: some C runtimes
// search a byte at a time), looking for CR and LF in one pass.
class LineScanner {
 public:
  explicit LineScanner(std::string_view bytes, std::size_t from = 0)
      : data_(bytes.data()), size_(bytes.size()), pos_(from) {}

  // Where the next line starts.
  std::size_t position() const { return pos_; }
  // The next line, or false at the end of the bytes. complete is false for a last line that has no
  // line end.
  bool next(std::string_view& line, bool& complete) {
    if (pos_ >= size_) return false;
    const std::size_t end = lineEnd(pos_);
    line = std::string_view(data_ + pos_, end - pos_);
    complete = end < size_;
    if (end >= size_) {
      pos_ = size_;
    } else if (data_[end] == '\r' && end + 1 < size_ && data_[end + 1] == '\n') {
      pos_ = end + 2;
    } else {
      pos_ = end + 1;
    }
    return true;
  }

 private:
  static bool isEnd(char c) { return c == '\r' || c == '\n'; }
  // The position of the first CR or LF at or after from, or the size.
  std::size_t lineEnd(std::size_t from) const {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    std::size_t i = from;
    while (i + 8 <= size_) {
      std::uint64_t word;
      std::memcpy(&word, data_ + i, 8);
      const std::uint64_t cr = word ^ (kOnes * '\r');
      const std::uint64_t lf = word ^ (kOnes * '\n');
      // A byte that is zero in cr or lf sets its high bit here (and nothing is missed).
      if ((((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHighs) break;
      i += 8;
    }
    while (i < size_ && !isEnd(data_[i])) ++i;
    return i;
  }

  const char* data_;
  std::size_t size_;
  std::size_t pos_;
};

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// The number at the start of positions 25-28, as a leading-number read gives it, rounded to a
// whole number; four digits (the usual case) are read directly.
std::int32_t messageNumber(std::string_view line) {
  if (line.size() < 25) return 0;
  const std::string_view field = line.substr(24, 4);
  if (field.size() == 4 && isDigit(field[0]) && isDigit(field[1]) && isDigit(field[2]) && isDigit(field[3])) {
    return (field[0] - '0') * 1000 + (field[1] - '0') * 100 + (field[2] - '0') * 10 + (field[3] - '0');
  }
  return static_cast<std::int32_t>(classic::roundHalfEven(classic::leadingNumber(field)));
}

bool isSeparator(char c, std::string_view regional) {
  return regional.size() == 1 && c == regional[0];
}

struct Tokens {
  int values[6] = {};
  int digits[6] = {};
  int count = 0;
};

// Reads "n sep n sep n" where each separator is one of seps; gives the count of numbers read and
// leaves pos after them.
int readNumbers(std::string_view text, std::size_t& pos, int* values, int* digits, int most,
                bool (*accepts)(char, std::string_view), std::string_view regional) {
  int count = 0;
  while (count < most) {
    std::size_t start = pos;
    long value = 0;
    while (pos < text.size() && isDigit(text[pos]) && pos - start < 5)
      value = value * 10 + (text[pos++] - '0');
    if (pos == start) {
      // A separator must be followed by a number.
      return count == 0 ? 0 : -1;
    }
    if (pos < text.size() && isDigit(text[pos])) return -1;
    values[count] = static_cast<int>(value);
    digits[count] = static_cast<int>(pos - start);
    ++count;
    if (count == most || pos >= text.size() || !accepts(text[pos], regional)) break;
    ++pos;
  }
  return count;
}

bool dateSeparator(char c, std::string_view regional) {
  return c == '/' || c == '-' || c == '.' || isSeparator(c, regional);
}
bool timeSeparator(char c, std::string_view regional) {
  return c == ':' || isSeparator(c, regional);
}

void skipSpaces(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && text[pos] == ' ') ++pos;
}

int fullYear(int year, int digits) {
  if (digits <= 2) return year < 30 ? 2000 + year : 1900 + year;
  return year;
}

bool validDate(int year, int month, int day) {
  return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= classic::daysInMonth(year, month);
}

bool allDigits(std::string_view t, std::initializer_list<int> positions) {
  for (int i : positions)
    if (!isDigit(t[static_cast<std::size_t>(i)])) return false;
  return true;
}

// The fixed layouts the engine writes, a two-digit day and month and a four-digit year in the
// regional order ("mm/dd/yyyy", "dd.mm.yyyy" or "yyyy/mm/dd") and "hh:nn:ss", read without the
// general parser.
std::optional<classic::DateTime> readFixedDate(std::string_view t, const DateForm& form) {
  if (t.size() != 19 || t[10] != ' ' || !allDigits(t, {11, 12, 14, 15, 17, 18}) ||
      !timeSeparator(t[13], form.time) || t[16] != t[13]) {
    return std::nullopt;
  }
  auto two = [&](int i) { return (t[i] - '0') * 10 + (t[i + 1] - '0'); };
  int year, month, day;
  if (allDigits(t, {0, 1, 3, 4, 6, 7, 8, 9}) && dateSeparator(t[2], form.date) && t[5] == t[2]) {
    year = two(6) * 100 + two(8);
    const bool dayFirst = form.order == classic::DateOrder::DayMonthYear;
    month = two(dayFirst ? 3 : 0);
    day = two(dayFirst ? 0 : 3);
  } else if (allDigits(t, {0, 1, 2, 3, 5, 6, 8, 9}) && dateSeparator(t[4], form.date) && t[7] == t[4]) {
    year = two(0) * 100 + two(2);
    month = two(5);
    day = two(8);
  } else {
    return std::nullopt;
  }
  const int hour = two(11), minute = two(14), second = two(17);
  if (!validDate(year, month, day) || hour > 23 || minute > 59 || second > 59) return std::nullopt;
  return classic::DateTime{year, month, day, hour, minute, second};
}

}  // namespace

std::string_view categoryKey(Category category) {
  switch (category) {
    case Category::Detail:
      return "DET";
    case Category::Advisory:
      return "ADV";
    case Category::Recovery:
      return "REC";
    case Category::Error:
      return "ERR";
    case Category::None:
      break;
  }
  return "";
}

Category classify(std::int32_t number, bool hasDetailLog) {
  if (hasDetailLog) return Category::Detail;
  const std::int32_t r = number % 500;  // keeps the sign of the number, as the remainder of a division
  if (r >= 400 && r <= 449) return Category::Advisory;
  if (r >= 450 && r <= 498) return Category::Recovery;
  return number % 2 != 0 ? Category::Error : Category::None;
}

std::uint64_t packDate(const classic::DateTime& w) {
  return (static_cast<std::uint64_t>(w.year) << 26) | (static_cast<std::uint64_t>(w.month) << 22) |
         (static_cast<std::uint64_t>(w.day) << 17) | (static_cast<std::uint64_t>(w.hour) << 12) |
         (static_cast<std::uint64_t>(w.minute) << 6) | static_cast<std::uint64_t>(w.second);
}

classic::DateTime unpackDate(std::uint64_t p) {
  return classic::DateTime{static_cast<int>(p >> 26),        static_cast<int>((p >> 22) & 15),
                           static_cast<int>((p >> 17) & 31), static_cast<int>((p >> 12) & 31),
                           static_cast<int>((p >> 6) & 63),  static_cast<int>(p & 63)};
}

std::optional<classic::DateTime> readLogDate(std::string_view text, const DateForm& form) {
  if (auto fixed = readFixedDate(text, form)) return fixed;
  std::size_t pos = 0;
  skipSpaces(text, pos);
  int values[3] = {}, digits[3] = {};
  const std::size_t dateStart = pos;
  int count = readNumbers(text, pos, values, digits, 3, dateSeparator, form.date);
  if (count < 0) return std::nullopt;

  classic::DateTime result;  // the zero date, for a time alone
  bool haveDate = false;
  if (count == 3) {
    int year, month, day;
    if (digits[0] >= 3) {
      year = values[0], month = values[1], day = values[2];
    } else if (digits[2] >= 3 || form.order != classic::DateOrder::YearMonthDay) {
      year = fullYear(values[2], digits[2]);
      const bool dayFirst = form.order == classic::DateOrder::DayMonthYear;
      month = values[dayFirst ? 1 : 0], day = values[dayFirst ? 0 : 1];
    } else {
      year = fullYear(values[0], digits[0]), month = values[1], day = values[2];
    }
    if (!validDate(year, month, day) && validDate(year, day, month)) std::swap(month, day);
    if (digits[2] > 4 || digits[1] > 2 || (digits[0] > 2 && digits[0] != 4)) return std::nullopt;
    if (!validDate(year, month, day)) return std::nullopt;
    result = classic::DateTime{year, month, day, 0, 0, 0};
    haveDate = true;
    skipSpaces(text, pos);
  } else {
    pos = dateStart;  // not a date: read it again as a time
  }

  if (pos < text.size()) {
    int t[3] = {}, tDigits[3] = {};
    const int parts = readNumbers(text, pos, t, tDigits, 3, timeSeparator, form.time);
    if (parts < 2 || tDigits[0] > 2 || tDigits[1] > 2 || (parts == 3 && tDigits[2] > 2)) return std::nullopt;
    int hour = t[0];
    const int minute = t[1], second = parts == 3 ? t[2] : 0;
    skipSpaces(text, pos);
    if (pos < text.size()) {
      const char a = static_cast<char>(text[pos] & ~0x20);
      if ((a == 'A' || a == 'P') && pos + 1 < text.size() && (text[pos + 1] & ~0x20) == 'M') {
        if (hour < 1 || hour > 12) return std::nullopt;
        hour = (hour % 12) + (a == 'P' ? 12 : 0);
        pos += 2;
        skipSpaces(text, pos);
      }
    }
    if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    result.hour = hour;
    result.minute = minute;
    result.second = second;
  } else if (!haveDate) {
    return std::nullopt;
  }
  if (pos != text.size()) return std::nullopt;
  return result;
}

std::string displayDate(const classic::DateTime& w, const DateForm& s) {
  // Day, month and two-digit year in the regional order, so that a user reads the date shown as
  // the date meant.
  int parts[3] = {w.month, w.day, w.year % 100};
  if (s.order == classic::DateOrder::DayMonthYear) {
    std::swap(parts[0], parts[1]);
  } else if (s.order == classic::DateOrder::YearMonthDay) {
    parts[0] = w.year % 100, parts[1] = w.month, parts[2] = w.day;
  }
  // Room for six numbers of any int width, the space and the four separators.
  std::string out(6 * 12 + 2 + 2 * (s.date.size() + s.time.size()), '\0');
  const int length = std::snprintf(out.data(), out.size(), "%02d%s%02d%s%02d %02d%s%02d%s%02d", parts[0],
                                   s.date.c_str(), parts[1], s.date.c_str(), parts[2], w.hour, s.time.c_str(),
                                   w.minute, s.time.c_str(), w.second);
  out.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return out;
}

std::string sortKeyText(const classic::DateTime& w) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d%02d%02d%02d%02d%02d", w.year, w.month, w.day, w.hour, w.minute,
                w.second);
  return buffer;
}

std::string numberText(std::int32_t number) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, number < 0 ? "-%04ld" : "%04ld",
                static_cast<long>(number < 0 ? -static_cast<long>(number) : number));
  return buffer;
}

MasterLog::~MasterLog() {
  joinCopy();
}

MasterLog::MasterLog(MasterLog&& other) noexcept {
  *this = std::move(other);
}

MasterLog& MasterLog::operator=(MasterLog&& other) noexcept {
  if (this == &other) return *this;
  joinCopy();
  other.joinCopy();
  view_ = std::move(other.view_);  // the bytes stay where the view keeps them
  bytes_ = other.bytes_;
  other.bytes_ = {};
  offset_ = other.offset_;
  copy_ = std::move(other.copy_);
  grown_ = std::move(other.grown_);
  base_ = other.base_;
  entries_ = std::move(other.entries_);
  form_ = other.form_;
  stoppedEarly_ = other.stoppedEarly_;
  inTimeOrder_ = other.inTimeOrder_;
  widestDescription_ = other.widestDescription_;
  return *this;
}

void MasterLog::joinCopy() {
  if (copier_.joinable()) copier_.join();
}

void MasterLog::clear() {
  joinCopy();
  copy_.clear();
  copy_.shrink_to_fit();
  grown_.clear();
  grown_.shrink_to_fit();
  base_ = kNotGrown;
  view_.reset();
  bytes_ = {};
  offset_ = 0;
  entries_.clear();
  entries_.shrink_to_fit();
  stoppedEarly_ = false;
  inTimeOrder_ = true;
  widestDescription_ = 0;
}

void MasterLog::load(platform::FileContents contents, const DateForm& form, const ByteWidths* widths) {
  load(std::make_unique<platform::ReadFileView>(std::move(contents)), form, widths);
}

void MasterLog::load(std::unique_ptr<platform::FileView> view, const DateForm& form,
                     const ByteWidths* widths) {
  static const std::atomic<bool> never{false};
  load(std::move(view), form, widths, never);
}

void MasterLog::loadTail(platform::FileContents tail, std::uint64_t offset, const DateForm& form,
                         const ByteWidths* widths) {
  clear();
  form_ = form;
  offset_ = offset;
  view_ = std::make_unique<platform::ReadFileView>(std::move(tail));
  bytes_ = view_->bytes();
  std::size_t from = 0;
  if (offset > 0) {
    LineScanner scanner(bytes_);
    std::string_view line;
    bool ended = true;
    from = scanner.next(line, ended) && ended ? scanner.position() : bytes_.size();
  }
  parse(form, widths, from, nullptr);
}

void MasterLog::load(std::unique_ptr<platform::FileView> view, const DateForm& form, const ByteWidths* widths,
                     const std::atomic<bool>& stop) {
  clear();
  form_ = form;
  if (!view) return;
  view_ = std::move(view);
  bytes_ = view_->bytes();
  if (view_->holdsFile()) {
    // Touching fresh memory for the copy costs about as much as reading the file: it runs on the
    // other core while this one parses.
    copier_ = std::thread([this, held = bytes_] {
      try {
        copy_.assign(held.data(), held.size());
      } catch (const std::bad_alloc&) {
        copy_.clear();
      }
    });
  }
  parse(form, widths, 0, &stop);
}

void MasterLog::releaseFile() {
  if (!holdsFile()) return;
  joinCopy();
  if (copy_.size() != bytes_.size()) return;  // the copy could not be made
  view_ = std::make_unique<platform::ReadFileView>(platform::FileContents{std::move(copy_), true});
  bytes_ = view_->bytes();
}

void MasterLog::parse(const DateForm& form, const ByteWidths* widths, std::size_t from,
                      const std::atomic<bool>* stop) {
  auto stopRaised = [stop] { return stop != nullptr && stop->load(std::memory_order_relaxed); };
  // Log lines are seldom shorter than 64 bytes: reserving for that saves most regrowth.
  entries_.reserve(view_->expectedSize() / 64 + 16);
  // Only a description that could beat the widest so far, even drawn in the font's widest
  // character, is measured.
  const std::int64_t widestCharacter = widths ? widths->widest() : 0;
  std::uint64_t lastWhen = 0;
  // from: where the first line not yet parsed starts
  std::size_t seen = 0;  // the bytes that had arrived at the last look
  bool stopped = false;
  while (!stopped) {
    // Bytes of a streamed view arrive while the first are parsed; a line is parsed once it is
    // whole (its end arrived, or no more bytes come).
    const platform::ReadProgress progress = view_->await(seen);
    seen = progress.ready;
    bytes_ = view_->bytes();
    const bool complete = !progress.done || view_->complete();
    LineScanner scanner(bytes_, from);
    std::string_view line;
    bool ended = true;
    std::size_t lines = 0;
    while (scanner.next(line, ended)) {
      if (++lines % 65536 == 0 && stopRaised()) {
        stoppedEarly_ = true;
        stopped = true;
        break;
      }
      if (!ended && !progress.done) break;  // its end is still to come
      // A read that failed part way cut the last line short: it is not read.
      if (!complete && !ended) {
        stopped = true;
        break;
      }
      from = scanner.position();
      const auto lineStart = static_cast<std::uint64_t>(line.data() - bytes_.data());
      if (!addLine(line, lineStart, form, widths, widestCharacter, lastWhen)) {
        stopped = true;
        break;
      }
    }
    if (progress.done) break;
    if (stopRaised()) {
      stoppedEarly_ = true;
      break;
    }
  }
  bytes_ = view_->bytes();
  if (!view_->complete()) stoppedEarly_ = true;
  // Reallocating costs as much as the reserve saved; only a reserve far too large is given back
  // (a log that stopped early, or of long lines).
  if (entries_.capacity() / 2 > entries_.size()) entries_.shrink_to_fit();
}

bool MasterLog::addLine(std::string_view line, std::uint64_t lineStart, const DateForm& form,
                        const ByteWidths* widths, std::int64_t widestCharacter, std::uint64_t& lastWhen) {
  const std::int32_t number = messageNumber(line);
  if (number == 0) return true;
  const auto when = readLogDate(line.substr(0, 19), form);
  if (!when) {
    stoppedEarly_ = true;
    return false;
  }
  if (lineStart >> 40) {  // beyond what an entry can point to
    stoppedEarly_ = true;
    return false;
  }
  StoredEntry entry;
  entry.lineStartLow = static_cast<std::uint32_t>(lineStart);
  entry.lineStartHigh = static_cast<std::uint8_t>(lineStart >> 32);
  entry.lineLength = static_cast<std::uint32_t>(std::min<std::size_t>(line.size(), UINT32_MAX));
  entry.number = static_cast<std::int16_t>(number);
  const bool hasDetail = line.size() >= 30 && line[29] == '[';
  const bool namesDetail = hasDetail && line.size() > 30;
  entry.flags = static_cast<std::uint8_t>(static_cast<std::uint8_t>(classify(number, namesDetail)) |
                                          (hasDetail ? StoredEntry::kHasDetail : 0));
  const std::uint64_t packed = packDate(*when);
  if (packed < lastWhen) inTimeOrder_ = false;
  lastWhen = packed;
  entries_.push_back(entry);
  if (widths) {
    const std::string_view d = description(entries_.size() - 1);
    if (static_cast<std::int64_t>(d.size()) * widestCharacter > widestDescription_)
      widestDescription_ = std::max(widestDescription_, widths->width(d));
  }
  return true;
}

std::size_t MasterLog::append(std::string_view more, const ByteWidths* widths) {
  if (more.empty() || stoppedEarly_) return 0;
  // The bytes the file grew by go into a buffer of their own after the file's first bytes, which
  // stay where they are: following a large log costs only what it grows by.
  const std::string_view last = grown() ? std::string_view(grown_) : bytes_;
  std::size_t from = last.size();
  // A last line without its end was still being written: it is read again with what followed, and
  // moves into the grown part whole.
  if (!last.empty() && last.back() != '\r' && last.back() != '\n') {
    const std::size_t end = last.find_last_of("\r\n");
    from = end == std::string_view::npos ? 0 : end + 1;
    const std::uint64_t lineStart = (grown() ? base_ : 0) + from;
    if (!entries_.empty() && entries_.back().lineStart() == lineStart) entries_.pop_back();
  }
  if (!grown()) {
    base_ = from;
    grown_.assign(bytes_.substr(from));
    from = 0;
  }
  grown_.append(more);
  const std::size_t before = entries_.size();
  std::uint64_t lastWhen = entries_.empty() ? 0 : when(entries_.size() - 1);
  const std::int64_t widestCharacter = widths ? widths->widest() : 0;
  LineScanner scanner(grown_, from);
  std::string_view line;
  bool ended = true;
  while (scanner.next(line, ended)) {
    const std::uint64_t lineStart = base_ + static_cast<std::uint64_t>(line.data() - grown_.data());
    if (!addLine(line, lineStart, form_, widths, widestCharacter, lastWhen)) break;
  }
  return entries_.size() - std::min(before, entries_.size());
}

std::ptrdiff_t MasterLog::entryAtOffset(std::uint64_t fileOffset) const {
  // Entries lie in the file's order: their lines start ever further on.
  if (fileOffset < offset_) return -1;
  const std::uint64_t start = fileOffset - offset_;
  const auto found =
      std::lower_bound(entries_.begin(), entries_.end(), start,
                       [](const StoredEntry& e, std::uint64_t at) { return e.lineStart() < at; });
  if (found == entries_.end() || found->lineStart() != start) return -1;
  return found - entries_.begin();
}

MasterEntry MasterLog::entry(std::size_t i) const {
  const StoredEntry& e = entries_[i];
  MasterEntry entry;
  entry.lineStart = e.lineStart();
  entry.lineLength = e.lineLength;
  entry.number = e.number;
  entry.category = e.category();
  entry.hasDetail = e.hasDetail();
  entry.when = when(i);
  return entry;
}

std::uint64_t MasterLog::when(std::size_t i) const {
  // The same bytes gave this date when the log was loaded: they give it again.
  const auto when = readLogDate(line(i).substr(0, 19), form_);
  return when ? packDate(*when) : 0;
}

std::string_view MasterLog::line(std::size_t i) const {
  const StoredEntry& e = entries_[i];
  const std::uint64_t start = e.lineStart();
  if (start < base_) return bytes_.substr(start, e.lineLength);
  return std::string_view(grown_).substr(start - base_, e.lineLength);
}

std::string_view MasterLog::description(std::size_t i) const {
  const std::string_view l = line(i);
  const std::size_t from = entries_[i].hasDetail() ? 39 : 29;
  return from < l.size() ? l.substr(from) : std::string_view();
}

std::string_view MasterLog::detailName(std::size_t i) const {
  if (!entries_[i].hasDetail()) return {};
  const std::string_view l = line(i);
  return l.size() > 30 ? l.substr(30, 8) : std::string_view();
}

std::vector<std::string_view> splitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  LineScanner scanner(bytes);
  std::string_view line;
  bool ended = true;
  while (scanner.next(line, ended)) lines.push_back(line);
  return lines;
}

std::string_view detailHead(std::string_view line) {
  return line.substr(0, std::min<std::size_t>(19, line.size()));
}
std::string_view detailTail(std::string_view line) {
  return line.size() > 23 ? line.substr(23) : std::string_view();
}
std::string detailText(std::string_view line) {
  std::string text(detailHead(line));
  text += detailTail(line);
  return text;
}

std::vector<std::string> detailLines(const platform::FileContents& contents) {
  std::vector<std::string> lines;
  LineScanner scanner(contents.bytes);
  std::string_view line;
  bool ended = true;
  while (scanner.next(line, ended)) {
    if (!contents.complete && !ended) break;
    lines.push_back(detailText(line));
  }
  return lines;
}

bool safeDetailName(std::string_view name) {
  if (name.empty() || name.size() > 8) return false;
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 32 || u == 127) return false;
    if (std::strchr("<>:\"/\\|?*", c) != nullptr) return false;
  }
  return true;
}

}  // namespace quillon
