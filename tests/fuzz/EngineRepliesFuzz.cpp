// What the manager makes of the engine's answers: configuration replies, engine date texts, engine
// times and the snapshot listing. Input: a flags byte, a reply of up to 100 bytes (its length
// first), a converted time's six parts, the count of areas and, per area, its number, 36 name bytes
// and three values; then a date text.

#include "fuzz/FuzzInput.h"
#include "manager/engine/SnapshotTable.h"
#include "unit/ServicesFixture.h"

namespace {

using krv::ConfigSetting;

// Every setting read and written over one reply: a read that fails leaves the value alone, and
// every value produced is one the setting can have.
void checkReplies(testsupport::FakeServices& s, const std::string& reply, std::int32_t result,
                  bool terminated, std::int32_t written) {
  s.engine.configuration.clear();
  for (const char* key : {"keeplogs", "preboot", "showprompt", "hotkey", "keywait", "maxfailedboots",
                          "lastboot", "lastswap", "active", "CopyPasswordEnabled", "CopyPassword"})
    s.engine.configuration[key] = {result, reply, terminated};
  // What the manager reads of the reply: up to its NUL, within the buffer, trimmed of spaces.
  const std::string text = classic::trimSpaces(s.codec.fromAnsi(std::string_view(reply.c_str())));

  constexpr std::int32_t kUntouched = 0x5A5A5A5A;
  for (const ConfigSetting setting :
       {ConfigSetting::KeepLogs, ConfigSetting::PreBoot, ConfigSetting::ShowPrompt, ConfigSetting::Hotkey,
        ConfigSetting::KeyWait, ConfigSetting::MaxFailedBoots, ConfigSetting::CopyPasswordEnabled,
        ConfigSetting::LastBoot, ConfigSetting::Active, ConfigSetting::CopyPassword}) {
    std::int32_t value = kUntouched;
    const bool read = s.configuration.GetConfigValue(setting, value);
    FUZZ_CHECK(read || value == kUntouched);
    if (read) FUZZ_CHECK(result == 0);
    // The on/off settings read "Error" as off; the others as no value.
    const bool onOff = setting == ConfigSetting::PreBoot || setting == ConfigSetting::ShowPrompt ||
                       setting == ConfigSetting::CopyPasswordEnabled;
    if (read && !onOff) FUZZ_CHECK(text != "Error");
    if (setting == ConfigSetting::PreBoot && read) FUZZ_CHECK(value == (text == "Enabled" ? 1 : 0));
    if (setting == ConfigSetting::ShowPrompt && read) FUZZ_CHECK(value == (text == "Yes" ? 1 : 0));
    if (setting == ConfigSetting::CopyPasswordEnabled && read) FUZZ_CHECK(value == (text == "True" ? 1 : 0));
    if (setting == ConfigSetting::KeyWait && read)
      FUZZ_CHECK(!text.empty() && text.find_first_not_of("+-.0123456789") == std::string::npos);
  }
  for (const ConfigSetting setting :
       {ConfigSetting::LastBoot, ConfigSetting::LastSwap, ConfigSetting::KeepLogs}) {
    classic::DateTime date{1, 2, 3, 4, 5, 6};
    const bool read = s.configuration.GetConfigValue(setting, date);
    FUZZ_CHECK(read ? (result == 0 && text != "Error" && (date.isZero() || fuzz::calendarDate(date)))
                    : date == classic::DateTime({1, 2, 3, 4, 5, 6}));
  }
  std::string password = "untouched";
  FUZZ_CHECK(s.configuration.GetConfigValue(ConfigSetting::CopyPassword, password) == (result == 0));
  FUZZ_CHECK(password == (result == 0 ? text : "untouched"));

  // A write reports success only when the engine did not refuse; the pre-boot switch only when the
  // engine reports the state asked for.
  for (const ConfigSetting setting : {ConfigSetting::KeepLogs, ConfigSetting::PreBoot, ConfigSetting::Hotkey,
                                      ConfigSetting::KeyWait, ConfigSetting::Active}) {
    // Key waits are never negative: "keywait" and a negative number's sign would make one word.
    const std::int32_t asked = setting == ConfigSetting::KeyWait ? written & 0x7FFFFFFF : written;
    std::int32_t value = asked;
    const bool done = s.configuration.SetConfigValue(setting, value);
    FUZZ_CHECK(done == (result == 0 && text != "Error"));
    if (setting == ConfigSetting::PreBoot && done) FUZZ_CHECK(value == (text == "Enabled" ? 1 : 0));
    if (setting != ConfigSetting::PreBoot || !done) FUZZ_CHECK(value == asked);
  }
  FUZZ_CHECK((s.configuration.EnablePreBoot() == 0) == (result == 0 && text == "Enabled"));
  FUZZ_CHECK((s.configuration.DisablePreBoot() == 0) ==
             (result == 0 && text != "Error" && text != "Enabled"));
  // Every request went out terminated inside its buffer, and the replies into buffers of their sizes.
  for (const auto& call : s.engine.configurationCalls)
    FUZZ_CHECK(call.replyCapacity == 0 || call.replyCapacity == 100 || call.replyCapacity == 300);
}

// The listing: at most ten areas, names trimmed and cut to 35 characters, none beyond the count; then
// the running area decided or the program ended because neither of the first two runs.
void checkListing(testsupport::FakeServices& s, std::size_t listed, std::int32_t listingEnd) {
  fakes::FakeFileSystem files;
  krv::Snapshots snapshots{{s.engine, s.configuration, s.registryAccess, s.commons, s.toolkit, s.codec}};
  s.engine.listingEnd = listingEnd;
  s.registry.putText(krv::kServiceInfoKey, "Location", "C:\\Korvane\\");
  const std::int32_t result = snapshots.LoadSnapshotTable();
  const krv::SnapshotTable& table = snapshots.table();
  FUZZ_CHECK(table.count == std::min<std::size_t>(listed, 10));
  FUZZ_CHECK(result == (listed >= 10 || listingEnd == krv::kEndOfListing ? 0 : listingEnd));
  for (std::size_t i = 1; i <= 10; ++i) {
    const krv::SnapshotEntry& entry = table.entry(i);
    if (i > table.count) {
      FUZZ_CHECK(entry == krv::SnapshotEntry{});
      continue;
    }
    // Trimmed, then cut: a cut may end at a space.
    FUZZ_CHECK(entry.name.empty() || entry.name.front() != ' ');
    FUZZ_CHECK(platform::utf8ToUtf16(entry.name).size() <= 35);
    FUZZ_CHECK(entry.name.find('\0') == std::string::npos);
    FUZZ_CHECK(entry.number == s.engine.snapshots[i - 1].number &&
               entry.sizeKB == s.engine.snapshots[i - 1].sizeKB);
  }
  try {
    snapshots.DetermineActiveBackup();
    FUZZ_CHECK(table.current().number == 0);
    FUZZ_CHECK(table.currentArea + table.otherArea == 3 && table.currentArea * table.otherArea == 2);
  } catch (const fakes::ProcessExit& exit) {
    FUZZ_CHECK(exit.code == 1 && table.entry(1).number != 0 && table.entry(2).number != 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::uint8_t flags = in.byte();
  // A reply that fits its smallest buffer (100 bytes), its NUL included unless the engine forgets it.
  const bool terminated = (flags & 1) == 0;
  std::string reply = in.bytes(in.byte() % (terminated ? 100 : 101));
  const std::int32_t result = (flags & 2) ? -(in.byte() + 1) : 0;
  const auto written = in.number<std::int32_t>();
  std::array<std::int32_t, 6> parts;
  for (std::int32_t& part : parts) part = in.number<std::int32_t>();
  const std::size_t listed = in.byte() % 16;
  std::vector<krv::SNAPSHOTINFO> areas;
  for (std::size_t i = 0; i < listed; ++i) {
    krv::SNAPSHOTINFO area{};
    area.number = in.byte() % 4 == 0 ? 0 : in.number<std::int32_t>();
    // Names that fill their field without a NUL.
    for (char& c : area.name) c = static_cast<char>(in.byte() | ((flags & 4) ? 0x20 : 0x01));
    area.lastUpdate = in.number<std::int32_t>();
    area.lastBoot = in.number<std::int32_t>();
    area.sizeKB = in.number<std::int32_t>();
    areas.push_back(area);
  }
  const std::int32_t listingEnd = (flags & 8) ? -(in.byte() % 8 + 199) : krv::kEndOfListing;
  const std::string dateText(in.rest());

  testsupport::FakeServices s;
  for (int i = 0; i < 4; ++i) s.toolkit.expectBox();
  checkReplies(s, reply, result, terminated, written);

  // Engine date texts: a calendar date whatever the text, carried when parts are out of range.
  const classic::DateTime parsed = krv::Commons::ParseEngineDateTime(dateText);
  FUZZ_CHECK(parsed.isZero() || fuzz::calendarDate(parsed));

  // Engine times: the zero date, or a date of the years 100-9999.
  krv::Snapshots snapshots{{s.engine, s.configuration, s.registryAccess, s.commons, s.toolkit, s.codec}};
  const std::int32_t time = written;
  s.engine.times[time] = parts;
  const classic::DateTime date = snapshots.EngineTimeToDate(time);
  FUZZ_CHECK(date.isZero() || (fuzz::calendarDate(date) && date.year >= 100 && date.year <= 9999));
  if (time == 0) FUZZ_CHECK(date.isZero());

  s.engine.snapshots = areas;
  s.engine.configuration.clear();
  checkListing(s, listed, listingEnd);
  return 0;
}
