#include "logviewer/TextWidths.h"

#include <algorithm>

namespace quillon {

ByteWidths::ByteWidths(const platform::AnsiCodec& codec,
                       const std::function<int(std::string_view)>& measure) {
  for (int b = 0; b < 256; ++b) {
    const char c = b == 0 ? ' ' : static_cast<char>(b);
    widths_[static_cast<std::size_t>(b)] = std::max(0, measure(codec.fromAnsi(std::string_view(&c, 1))));
  }
  widest_ = *std::max_element(widths_.begin(), widths_.end());
  narrowest_ = *std::min_element(widths_.begin(), widths_.end());
}

std::int64_t ByteWidths::width(std::string_view ansi) const {
  std::int64_t sum = 0;
  for (char c : ansi) sum += widths_[static_cast<unsigned char>(c)];
  return sum;
}

std::int64_t widestDescription(const MasterLog& log, const ByteWidths& widths) {
  const std::size_t n = log.size();
  if (n == 0) return 0;
  // Start from the longest description: in most fonts and logs it is the widest, or nearly, so
  // that few others can still beat it.
  std::size_t longest = 0;
  for (std::size_t i = 1; i < n; ++i)
    if (log.description(i).size() > log.description(longest).size()) longest = i;
  std::int64_t best = widths.width(log.description(longest));
  const std::int64_t widest = widths.widest();
  for (std::size_t i = 0; i < n; ++i) {
    const std::string_view d = log.description(i);
    if (static_cast<std::int64_t>(d.size()) * widest <= best) continue;
    best = std::max(best, widths.width(d));
  }
  return best;
}

std::string shownText(const platform::AnsiCodec& codec, std::string_view ansi) {
  if (ansi.find('\0') == std::string_view::npos) return codec.fromAnsi(ansi);
  std::string copy(ansi);
  std::replace(copy.begin(), copy.end(), '\0', ' ');
  return codec.fromAnsi(copy);
}

}  // namespace quillon
