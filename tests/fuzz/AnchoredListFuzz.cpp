// The anchoring wizard over the fakes: the stored list split into the wizard's rows, Add and Remove,
// and the list joined again by Finish. Input: a flags byte, the stored list, a line feed, a path the
// browse dialog gives, a line feed, then one byte per step (Add, Remove at a row, Back and Next).

#include <algorithm>

#include "fuzz/FuzzInput.h"
#include "manager/anchoring/FmAnchor.h"
#include "unit/ManagerFixture.h"

namespace {

using Rows = std::vector<std::string>;

std::string folded(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// Every field of the stored list between ";", without outer spaces.
Rows allFields(const std::string& stored) {
  Rows fields;
  const std::string list = classic::trimSpaces(stored);
  for (std::size_t from = 0;;) {
    const std::size_t at = list.find(';', from);
    fields.push_back(classic::trimSpaces(list.substr(from, at == std::string::npos ? at : at - from)));
    if (at == std::string::npos) return fields;
    from = at + 1;
  }
}

// The stored list as the wizard reads it, worked out the plain way: the fields up to the first
// empty one, in the order of their texts case aside (equal ones keep their order).
Rows plainSplit(const std::string& stored) {
  Rows rows = allFields(stored);
  rows.erase(std::find(rows.begin(), rows.end(), std::string()), rows.end());
  std::stable_sort(rows.begin(), rows.end(),
                   [](const std::string& a, const std::string& b) { return folded(a) < folded(b); });
  return rows;
}

std::string join(const Rows& rows) {
  std::string list;
  for (const std::string& row : rows) list += (list.empty() ? "" : ";") + row;
  return list;
}

Rows rowsOf(const ui::ListView& list) {
  Rows rows;
  for (std::size_t i = 0; i < list.itemCount(); ++i) rows.push_back(list.item(i).text);
  return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::uint8_t flags = in.byte();
  std::string stored = in.until('\n');
  std::string chosen = in.until('\n');
  // What the engine's buffers can carry: the stored list in 960 bytes, a browsed path in 260
  // characters; no NUL inside either.
  stored.erase(std::remove(stored.begin(), stored.end(), '\0'), stored.end());
  chosen.erase(std::remove(chosen.begin(), chosen.end(), '\0'), chosen.end());
  stored.resize(std::min<std::size_t>(stored.size(), 959));
  chosen.resize(std::min<std::size_t>(chosen.size(), 250));
  for (char& c : chosen) c = static_cast<char>(c & 0x7f);  // the browse buffer's text as ASCII
  chosen.erase(std::remove(chosen.begin(), chosen.end(), '\0'), chosen.end());

  testsupport::FakeManager m;
  m.install();
  m.engine.anchoredList = stored;
  m.load();
  m.engine.anchorCheckResult = (flags & 1) ? -98 : 0;
  m.engine.anchoredResult = (flags & 2) ? -5 : 0;
  const std::string shown = m.snapshots.table().anchoredList;
  krv::FmAnchor wizard(
      {m.toolkit, m.commons, m.engine, m.snapshots, m.files, m.codec, [] { return false; }, {}});

  // Fields behind the first empty one are not shown, which the user is told in a box.
  const Rows fields = allFields(shown);
  const auto firstEmpty = std::find(fields.begin(), fields.end(), std::string());
  const bool hidden = firstEmpty != fields.end() &&
                      std::any_of(firstEmpty, fields.end(), [](const std::string& f) { return !f.empty(); });
  if (hidden) m.toolkit.expectBox();
  Rows model;
  m.toolkit.modalScripts["fmAnchor"] = [&](ui::Form&) {
    m.toolkit.click(wizard.cmdNext);
    FUZZ_CHECK(wizard.page() == 1);
    model = plainSplit(shown);
    FUZZ_CHECK(rowsOf(wizard.lvAnchorList) == model);
    FUZZ_CHECK(m.toolkit.shown.size() == (hidden ? 1u : 0u) && m.toolkit.answers.empty());
    // Loaded and not yet changed, Finish waits; the rows join back into the same fields.
    FUZZ_CHECK(plainSplit(join(model)) == model);
    FUZZ_CHECK(!wizard.cmdNext.enabled());

    for (int step = 0; step < 8 && !in.rest().empty(); ++step) {
      const std::uint8_t op = in.byte();
      const std::size_t boxes = m.toolkit.shown.size();
      switch (op % 3) {
        case 0: {  // Add what the browse dialog gives, when the engine's check takes it
          m.engine.browsePath = chosen;
          m.engine.browseResult = static_cast<std::int32_t>(chosen.size()) + 2;
          // An empty answer is a cancelled dialog: nothing is checked.
          const bool checked = !chosen.empty();
          const bool taken = checked && !(flags & 1);
          if (checked && !taken) m.toolkit.expectBox();
          m.toolkit.click(wizard.cmdNew);
          const std::string path = classic::trimSpaces(chosen);
          if (taken && !path.empty()) {
            model.insert(std::upper_bound(model.begin(), model.end(), path,
                                          [](const std::string& a, const std::string& b) {
                                            return folded(a) < folded(b);
                                          }),
                         path);
          }
          FUZZ_CHECK(m.toolkit.shown.size() == boxes + (checked && !taken ? 1 : 0));
          break;
        }
        case 1: {  // Remove the row clicked (with no row left, Remove cannot be clicked)
          if (model.empty()) break;
          const std::size_t row = in.byte() % model.size();
          m.toolkit.clickItem(wizard.lvAnchorList, row);
          model.erase(model.begin() + static_cast<std::ptrdiff_t>(row));
          m.toolkit.click(wizard.cmdDelete);
          break;
        }
        default:  // Back, then Next: the list and the change are kept
          m.toolkit.click(wizard.cmdBack);
          FUZZ_CHECK(wizard.page() == 0);
          m.toolkit.click(wizard.cmdNext);
          break;
      }
      FUZZ_CHECK(wizard.page() == 1);
      FUZZ_CHECK(rowsOf(wizard.lvAnchorList) == model);
      FUZZ_CHECK(wizard.cmdDelete.enabled() == !model.empty());
    }
    FUZZ_CHECK(wizard.cmdNext.enabled() == wizard.changed());
    if (!wizard.cmdNext.enabled()) {
      m.toolkit.click(wizard.cmdCancel);
      return;
    }
    // Finish: the rows joined, or ";" for none, stored whole; a list the engine's buffer cannot
    // hold, or one the engine refuses, is told in a box. One it cannot hold keeps the wizard on
    // its rows, as they were.
    const std::string list = model.empty() ? ";" : join(model);
    const bool fits = m.codec.toAnsi(list).size() < krv::kAnchoredListBytes;
    const bool stores = fits && !(flags & 2);
    m.engine.anchoredCalls.clear();
    if (!stores) m.toolkit.expectBox();
    m.toolkit.click(wizard.cmdNext);
    FUZZ_CHECK(m.toolkit.answers.empty());
    std::vector<std::string> writes;
    for (const auto& call : m.engine.anchoredCalls)
      if (!call.text.empty()) writes.push_back(call.text);
    FUZZ_CHECK(writes.size() == (fits ? 1u : 0u));
    if (fits) FUZZ_CHECK(m.codec.fromAnsi(writes[0]) == list);
    if (stores) FUZZ_CHECK(m.snapshots.table().anchoredList == list);
    if (!fits) {
      FUZZ_CHECK(wizard.loaded() && wizard.page() == 1 && rowsOf(wizard.lvAnchorList) == model);
      m.toolkit.click(wizard.cmdCancel);
    }
  };
  wizard.Wizard(true, nullptr);
  FUZZ_CHECK(!wizard.loaded());
  return 0;
}
