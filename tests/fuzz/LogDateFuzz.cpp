// The viewer's date reading and the texts it makes of dates and numbers. Input: the regional date
// and time separators (one byte each), the length of the first text, the first text, the second.

#include "fuzz/FuzzInput.h"
#include "logviewer/LogFiles.h"

namespace {

// A date the reader may give: a calendar date of years 100-9999 (the zero date, 1899, for a time alone).
bool validDate(const classic::DateTime& d) {
  return d.year >= 100 && d.year <= 9999 && fuzz::calendarDate(d);
}

// Whether the separator can stand in a shown date and be read back as one.
bool plainSeparator(const std::string& s) {
  return s.size() == 1 && s[0] > ' ' && s[0] < 127 && !(s[0] >= '0' && s[0] <= '9');
}

// A date shown with two-digit years reads back as itself when its year is one they stand for.
void checkShownDate(const classic::DateTime& d, const quillon::DateForm& form) {
  if (d.year < 1930 || d.year > 2029) return;
  FUZZ_CHECK(quillon::readLogDate(quillon::displayDate(d, form), form) == d);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  quillon::DateForm regional;
  regional.date = std::string(1, static_cast<char>(in.byte()));
  regional.time = std::string(1, static_cast<char>(in.byte()));
  regional.order = static_cast<classic::DateOrder>(in.byte() % 3);
  const std::string first = in.bytes(in.byte() % 40);
  const std::string second(in.rest().substr(0, 40));

  const auto a = quillon::readLogDate(first, regional);
  const auto b = quillon::readLogDate(second, regional);
  for (const auto& when : {a, b}) {
    if (!when) continue;
    FUZZ_CHECK(validDate(*when));
    FUZZ_CHECK(quillon::unpackDate(quillon::packDate(*when)) == *when);
    FUZZ_CHECK(quillon::sortKeyText(*when).size() == 14);
    checkShownDate(*when, quillon::DateForm{});
    if (plainSeparator(regional.date) && plainSeparator(regional.time)) checkShownDate(*when, regional);
  }
  // Packed dates order as their "YYYYMMDDHHNNSS" texts.
  if (a && b) {
    FUZZ_CHECK((quillon::packDate(*a) < quillon::packDate(*b)) ==
               (quillon::sortKeyText(*a) < quillon::sortKeyText(*b)));
  }

  // The number texts read back as the number and hold at least four digits.
  fuzz::Input numbers(data, size);
  const auto number = numbers.number<std::int32_t>();
  const std::string text = quillon::numberText(number);
  FUZZ_CHECK(classic::leadingNumber(text) == number);
  FUZZ_CHECK(text.size() >= (number < 0 ? 5u : 4u));
  return 0;
}
