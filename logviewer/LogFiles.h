#pragma once
// The engine's logs as the viewer reads them: the master log, one entry per line in fixed columns,
// and the detail log of one task. Files are ANSI text; a line ends at a carriage return, a line
// feed, or the pair. The master log keeps the file's bytes and, per entry, only where its line
// lies and what sorting and drawing need at once, so a log of millions of lines loads quickly.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/ClassicRuntime.h"
#include "platform/FileReader.h"

namespace quillon {

class ByteWidths;

enum class Category : std::uint8_t { None, Detail, Advisory, Recovery, Error };

// The picture key of a category: "DET", "ADV", "REC", "ERR", or "" for none.
std::string_view categoryKey(Category category);
// An entry with a detail log is "DET"; otherwise by the number modulo 500: 400-449 advisory,
// 450-498 recovery, any other odd number an error, an even one nothing.
Category classify(std::int32_t number, bool hasDetailLog);

// The user's regional date form: the separators of the displayed dates and times, and the order
// in which a date's day, month and year are read.
struct DateForm {
  std::string date = "/";
  std::string time = ":";
  classic::DateOrder order = classic::DateOrder::MonthDayYear;
};

// A date and time packed so that comparing the numbers orders as the text "YYYYMMDDHHNNSS" does.
std::uint64_t packDate(const classic::DateTime& when);
classic::DateTime unpackDate(std::uint64_t packed);

// Reads a log's date and time (the first 19 characters of a line) as the regional date parsing
// would: three numbers separated by "/", "-", "." or the regional date separator, read in the
// regional order, except that a year of more than two digits is known by its length: first, it
// is read year, month, day; last, it is read day, month, year in a day-first order and month, day,
// year otherwise. Month and day change places when the month could not be one. Then optionally
// hours, minutes and optionally seconds separated by ":" or the regional time separator, with an
// optional AM or PM. A time alone is on the zero date. Two-digit years 00-29 are 2000-2029, 30-99
// 1930-1999. Nothing when the text is no valid date or time.
std::optional<classic::DateTime> readLogDate(std::string_view text, const DateForm& form);

// "mm/dd/yy hh:nn:ss" with the regional separators, day, month and year in the regional order
// ("dd/mm/yy", "yy/mm/dd").
std::string displayDate(const classic::DateTime& when, const DateForm& form);
// "YYYYMMDDHHNNSS".
std::string sortKeyText(const classic::DateTime& when);
// At least four digits, zero-padded: 7 -> "0007", -5 -> "-0005".
std::string numberText(std::int32_t number);

// An entry as the log gives it back.
struct MasterEntry {
  std::uint64_t lineStart = 0;  // offset of the line in the file's bytes
  std::uint32_t lineLength = 0;
  std::int16_t number = 0;  // never 0; four characters hold -999 to 9999
  Category category = Category::None;
  std::uint8_t hasDetail = 0;  // position 30 is "["
  std::uint64_t when = 0;      // packDate
};

// An entry as the log keeps it: 12 bytes, so that a log of millions of entries takes little beyond
// its file's bytes. The date is read again from the line when asked for: only the rows drawn and a
// sort by date of a log out of time order need it.
struct StoredEntry {
  std::uint32_t lineStartLow = 0;  // the line's offset, low 32 bits
  std::uint32_t lineLength = 0;
  std::int16_t number = 0;
  std::uint8_t lineStartHigh = 0;  // and its next 8 bits: files up to a terabyte
  std::uint8_t flags = 0;          // the category, and kHasDetail
  static constexpr std::uint8_t kHasDetail = 0x80;
  std::uint64_t lineStart() const { return (static_cast<std::uint64_t>(lineStartHigh) << 32) | lineStartLow; }
  bool hasDetail() const { return (flags & kHasDetail) != 0; }
  Category category() const { return static_cast<Category>(flags & ~kHasDetail); }
};

static_assert(sizeof(StoredEntry) == 12);

class MasterLog {
 public:
  MasterLog() = default;
  // Waits for the other's copy; its bytes stay where they are.
  MasterLog(MasterLog&& other) noexcept;
  MasterLog& operator=(MasterLog&& other) noexcept;
  ~MasterLog();

  // Parses the file's bytes. Reading stops at the first entry line whose date cannot be read, and,
  // when the file could not be read to its end, before the line the failure cut. With widths, the
  // widest description is measured on the way, while each line's bytes are at hand.
  void load(platform::FileContents contents, const DateForm& form, const ByteWidths* widths = nullptr);
  // The same over a view of the file. A view that holds the file is copied on a worker thread
  // while the entries are parsed from it; releaseFile() then lets the file go. A streamed view is
  // parsed as its bytes arrive, each line once it is whole.
  void load(std::unique_ptr<platform::FileView> view, const DateForm& form,
            const ByteWidths* widths = nullptr);
  // The same on a worker thread: a raised stop flag ends the parse early, with entries of no use.
  void load(std::unique_ptr<platform::FileView> view, const DateForm& form, const ByteWidths* widths,
            const std::atomic<bool>& stop);
  // The entries of the file's last bytes, which start at offset in the file: a first line that
  // may have begun before them is left out (unless they start the file).
  void loadTail(platform::FileContents tail, std::uint64_t offset, const DateForm& form,
                const ByteWidths* widths = nullptr);
  // Waits for the copy of a held file, keeps the copy and drops the view, so that the file's
  // writers may cut it short again. Only while no other thread reads the log. Does nothing when no
  // file is held; when the copy could not be made the view is kept.
  void releaseFile();
  // Whether the bytes are still those of a view that holds the file.
  bool holdsFile() const { return view_ && view_->holdsFile(); }
  void clear();
  // Adds the entries of the bytes the file grew by since they were read (the file from bytes() on):
  // a last line that had no end yet is read again with what followed it. Only while no other thread
  // reads the log. Gives the number of entries added (the line read again not counted twice).
  std::size_t append(std::string_view more, const ByteWidths* widths = nullptr);

  std::size_t size() const { return entries_.size(); }
  MasterEntry entry(std::size_t i) const;
  // Where the entry's line starts in the file: the same entry in any load of the same file.
  std::uint64_t fileOffset(std::size_t i) const { return offset_ + entries_[i].lineStart(); }
  // The entry whose line starts there, or -1.
  std::ptrdiff_t entryAtOffset(std::uint64_t fileOffset) const;
  std::int16_t number(std::size_t i) const { return entries_[i].number; }
  Category category(std::size_t i) const { return entries_[i].category(); }
  // packDate of the entry's date.
  std::uint64_t when(std::size_t i) const;
  // The memory the entries take, reserve included.
  std::size_t entryBytes() const { return entries_.capacity() * sizeof(StoredEntry); }
  // Asks the processor to fetch the entry ahead of its use.
  void prefetch(std::size_t i) const {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(&entries_[i]);
#else
    (void)i;
#endif
  }
  // The stored texts of an entry (ANSI bytes).
  std::string_view line(std::size_t i) const;
  std::string_view description(std::size_t i) const;
  std::string_view detailName(std::size_t i) const;
  // True when reading stopped early (a bad date or a failed read).
  bool stoppedEarly() const {
    return stoppedEarly_;
  }
  // The largest description width among the entries as widestDescription() gives it, measured by
  // the last load with widths; 0 otherwise.
  std::int64_t widestDescription() const {
    return widestDescription_;
  }
  // True when no entry is older than the one before it, as the engine writes them.
  bool inTimeOrder() const {
    return inTimeOrder_;
  }
  // The bytes of the file read so far, those it grew by included.
  std::size_t bytes() const {
    return grown() ? static_cast<std::size_t>(base_) + grown_.size() : bytes_.size();
  }
  // The file's first bytes as read, up to n.
  std::string_view head(std::size_t n) const {
    return base_ == 0 ? std::string_view(grown_).substr(0, n) : bytes_.substr(0, n);
  }

 private:
  void parse(const DateForm& form, const ByteWidths* widths, std::size_t from, const std::atomic<bool>* stop);
  // Adds the line's entry when it is one; false when reading stops at it.
  bool addLine(std::string_view line, std::uint64_t lineStart, const DateForm& form, const ByteWidths* widths,
               std::int64_t widestCharacter, std::uint64_t& lastWhen);
  bool grown() const { return base_ != kNotGrown; }
  void joinCopy();

  std::unique_ptr<platform::FileView> view_;  // owns or holds the bytes
  std::string_view bytes_;                    // view_'s, kept for the hot paths
  std::uint64_t offset_ = 0;                  // where bytes_ start in the file
  std::thread copier_;                        // writes copy_ only; read after joining it
  std::string copy_;
  // The bytes the file grew by while shown, from the file's offset base_ on (the last line that had
  // no end when the file was read included); the entries from there point into them.
  static constexpr std::uint64_t kNotGrown = UINT64_MAX;
  std::string grown_;
  std::uint64_t base_ = kNotGrown;
  std::vector<StoredEntry> entries_;
  DateForm form_;  // the dates' form of the last load
  bool stoppedEarly_ = false;
  bool inTimeOrder_ = true;
  std::int64_t widestDescription_ = 0;
};

// The lines of the bytes; a last line without its end counts too.
std::vector<std::string_view> splitLines(std::string_view bytes);

// The displayed text of a detail line: the first 19 characters, then everything from position 24.
std::string_view detailHead(std::string_view line);
std::string_view detailTail(std::string_view line);
std::string detailText(std::string_view line);

// The lines of a detail log, transformed for display (ANSI bytes). A failed read keeps the lines
// before the one it cut.
std::vector<std::string> detailLines(const platform::FileContents& contents);

// The name can only name a file inside the logs folder: one to eight characters, none of them a path
// separator, a character that file names cannot hold, or a control character.
bool safeDetailName(std::string_view name);

}  // namespace quillon
