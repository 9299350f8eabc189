// The exclusion list's stored and shown forms over any text: stored or shown and stored again, a
// list keeps every entry that is not empty, and from then on nothing changes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzInput.h"
#include "manager/options/ExclusionList.h"

namespace {

// The entries of a stored list, empty ones left out, split at the ";" outside quotes.
std::string nonEmptyEntries(const std::string& list) {
  std::string kept, entry;
  bool quoted = false;
  const auto flush = [&] {
    if (!entry.empty()) kept += (kept.empty() ? "" : ";") + entry;
    entry.clear();
  };
  for (const char c : list) {
    if (c == '"') quoted = !quoted;
    if (c == ';' && !quoted) {
      flush();
    } else {
      entry += c;
    }
  }
  flush();
  return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string list = krv::LinesToList(text);
  // Stored again, a list loses at most a trailing empty entry ("a;;" becomes "a;"), never a name.
  FUZZ_CHECK(nonEmptyEntries(krv::LinesToList(list)) == nonEmptyEntries(list));
  FUZZ_CHECK(list.find_first_of("\r\n") == std::string::npos);
  std::string normalized = text;
  const std::string lines = krv::ListToLines(normalized);
  FUZZ_CHECK(normalized == list);
  const std::string again = krv::LinesToList(lines);
  FUZZ_CHECK(again == nonEmptyEntries(list));
  std::string stable = again;
  FUZZ_CHECK(krv::LinesToList(krv::ListToLines(stable)) == again);
  return 0;
}
