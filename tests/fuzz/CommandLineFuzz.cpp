// The manager's command line over the fakes: switch matching, the password argument, the batch
// line of /buildname and the dispatch of one command. Input: a flags byte, the stored copy
// password, a line feed, the running area's name, a line feed, the command line.

#include <array>

#include "fuzz/FuzzInput.h"
#include "unit/ManagerFixture.h"

namespace {

using krv::CommandLine;

constexpr std::array<const char*, 9> kSwitches = {"/?",       "/preboot enable", "/preboot disable",
                                                  "/boot",    "/copy",           "/resetpassword",
                                                  "/exclude", "/anchor",         "/buildname"};
// What each switch writes to the engine log before it acts (none for the help).
constexpr std::array<const char*, 9> kLogged = {"",
                                                "Korvane Commandline /boot enable",
                                                "Korvane Commandline /boot disable",
                                                "Korvane Commandline /boot",
                                                "Korvane Commandline /copy",
                                                "Korvane Commandline /resetpassword",
                                                "Korvane Commandline /exclude ",
                                                "Korvane Commandline /anchor ",
                                                "Korvane Commandline /buildname"};
constexpr std::size_t kHelp = 0, kBoot = 3, kCopy = 4, kResetPassword = 5, kExclude = 6, kAnchor = 7,
                      kBuildName = 8, kNone = 9;

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The switch's place, worked out the plain way: its first occurrence ignoring case, when it stands
// alone between spaces or the line's ends.
std::optional<std::size_t> plainFind(std::string_view line, std::string_view switchText) {
  for (std::size_t at = 0; at + switchText.size() <= line.size(); ++at) {
    bool same = true;
    for (std::size_t i = 0; i < switchText.size() && same; ++i)
      same = lower(line[at + i]) == lower(switchText[i]);
    if (!same) continue;
    const std::size_t end = at + switchText.size();
    if ((at > 0 && line[at - 1] != ' ') || (end < line.size() && line[end] != ' ')) return std::nullopt;
    return at;
  }
  return std::nullopt;
}

void checkBuildNameLine(const std::string& name) {
  const std::optional<std::string> line = CommandLine::BuildNameLine(name);
  bool control = false;
  for (const char c : name) control = control || static_cast<unsigned char>(c) < 0x20 || c == '"';
  FUZZ_CHECK(line.has_value() != control);
  if (!line) return;
  FUZZ_CHECK(line->size() >= 2 && line->find_first_of("\r\n") == line->size() - 2 && line->ends_with("\r\n"));
  const std::string quotedStart = "set \"QVXBUILD=";
  if (line->starts_with(quotedStart)) {
    FUZZ_CHECK(line->ends_with("\"\r\n"));
    // Inside the quotes only the percent sign is doubled.
    std::string value;
    const std::string body = line->substr(quotedStart.size(), line->size() - quotedStart.size() - 3);
    for (std::size_t i = 0; i < body.size(); ++i) {
      value += body[i];
      if (body[i] == '%') {
        FUZZ_CHECK(i + 1 < body.size() && body[i + 1] == '%');
        ++i;
      }
    }
    FUZZ_CHECK(value == name);
  } else {
    FUZZ_CHECK(*line == "set QVXBUILD=" + name + "\r\n");
    FUZZ_CHECK(name.find_first_of("&|<>^%") == std::string::npos);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::uint8_t flags = in.byte();
  const std::string password = in.until('\n');
  const std::string areaName = in.until('\n');
  // A command line is a C string: it ends at its first NUL.
  const std::string line = classic::trimSpaces(in.until('\0'));
  checkBuildNameLine(areaName);

  testsupport::FakeManager m;
  m.install();
  m.engine.snapshots = {fakes::snapshot(0, areaName)};
  if (flags & 1) m.engine.snapshots.push_back(fakes::snapshot(1, "Rescue Area"));
  m.engine.answer("preboot", (flags & 2) ? "Enabled" : "Disabled");
  if (flags & 4) m.engine.anchorCheckResult = m.engine.exclusionCheckResult = -255;
  m.files.writable = (flags & 8) == 0;
  m.load();
  m.preferences.current().copyPasswordEnabled = (flags & 16) ? 1 : 0;
  m.preferences.current().copyPassword = password;
  m.engine.calls.clear();
  m.engine.logLines.clear();
  m.engine.configurationCalls.clear();
  for (int i = 0; i < 16; ++i) m.toolkit.expectBox();

  std::size_t which = kNone;
  for (std::size_t k = 0; k < kSwitches.size(); ++k) {
    const auto at = CommandLine::FindSwitch(line, kSwitches[k]);
    FUZZ_CHECK(at == plainFind(line, kSwitches[k]));
    if (at && which == kNone) which = k;
  }
  const std::string argument = CommandLine::PasswordArgument(line);
  FUZZ_CHECK(argument.find(' ') == std::string::npos);
  FUZZ_CHECK(argument.empty() || line.find(" " + argument) != std::string::npos);

  std::int32_t result = 0;
  bool ended = false;
  try {
    result = m.commandLine.Dispatch(line);
  } catch (const fakes::ProcessExit& exit) {
    ended = true;
    FUZZ_CHECK(exit.code == 0);  // only an accepted restart ends the process
  }

  if (line.empty() || which == kNone) {
    FUZZ_CHECK(result == (line.empty() ? 0 : krv::kManagerFailure));
    FUZZ_CHECK(m.engine.calls.empty() && m.toolkit.shown.empty());
    return 0;
  }
  FUZZ_CHECK(ended == (which == kBoot && !m.engine.logLines.empty()));
  FUZZ_CHECK(m.engine.logLines.size() <= 1);
  if (which == kHelp) FUZZ_CHECK(result == 0 && m.toolkit.shown.size() == 1 && m.engine.calls.empty());
  if (!m.engine.logLines.empty()) {
    const std::string& logged = m.engine.logLines[0];
    FUZZ_CHECK(logged.starts_with(kLogged[which]));
    if (which != kExclude && which != kAnchor && logged != kLogged[which])
      FUZZ_CHECK(which == kResetPassword && logged == std::string(kLogged[which]) + " <new password set>");
  }
  // A wrong password does nothing and logs nothing.
  const bool refused = (flags & 16) && argument != password;
  if ((which == kBoot || which == kCopy) && refused) {
    FUZZ_CHECK(!ended && result == krv::kManagerFailure && m.engine.calls.empty());
  }
  if (which == kExclude || which == kAnchor) {
    // The list is the line's tail after the switch, without the spaces around it.
    const std::string list = m.engine.logLines.at(0).substr(std::string_view(kLogged[which]).size());
    FUZZ_CHECK(m.codec.toAnsi(line).ends_with(list));
    FUZZ_CHECK(list.empty() || (list.front() != ' ' && list.back() != ' '));
    if (which == kAnchor && result == 0) FUZZ_CHECK(m.engine.anchoredList == (list.empty() ? ";" : list));
    if (which == kExclude && result == 0)
      FUZZ_CHECK(m.codec.toAnsi(m.preferences.current().exclusionList) == list);
  }
  if (which == kResetPassword && result == 0 && !argument.empty() && !m.engine.logLines.empty())
    FUZZ_CHECK(m.preferences.current().copyPasswordEnabled == 1 &&
               m.preferences.current().copyPassword == argument);
  if (which == kBuildName) {
    const auto written = m.files.files.find(CommandLine::kBuildNameFile);
    FUZZ_CHECK((result == 0) == (written != m.files.files.end()));
    if (written != m.files.files.end()) {
      const auto expected = CommandLine::BuildNameLine(m.snapshots.table().current().name);
      FUZZ_CHECK(expected && written->second == m.codec.toAnsi(*expected));
    }
  }
  return 0;
}
