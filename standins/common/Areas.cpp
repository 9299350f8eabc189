#include "standins/common/Areas.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "standins/common/InstallFolder.h"
#include "standins/common/Text.h"

namespace standin {
namespace {

constexpr std::int64_t kUnixEpochInFileTime = 116444736000000000LL;  // 100-ns steps from 1601 to 1970
constexpr const char* kFactoryName = "ORIGINAL";
// Areas beyond the count are removed when the list shrinks; no installation keeps more.
constexpr int kMostAreas = 64;

std::optional<std::int32_t> field(std::string_view text) {
  if (text.empty() || text.size() > 11) return std::nullopt;
  const std::string copy(text);
  char* end = nullptr;
  const long long value = std::strtoll(copy.c_str(), &end, 10);
  if (*end != '\0' || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

// "<number>|<update>|<boot>|<size>|<name>"; the name is the rest, whatever it holds.
std::optional<Area> parseArea(const std::string& text) {
  Area area;
  std::int32_t* fields[] = {&area.number, &area.lastUpdate, &area.lastBoot, &area.sizeKB};
  std::size_t at = 0;
  for (std::int32_t* target : fields) {
    const std::size_t bar = text.find('|', at);
    if (bar == std::string::npos) return std::nullopt;
    const std::optional<std::int32_t> value = field(std::string_view(text).substr(at, bar - at));
    if (!value) return std::nullopt;
    *target = *value;
    at = bar + 1;
  }
  area.name = text.substr(at);
  return area;
}

std::int32_t systemStartTime() {
  const std::int64_t now = engineTimeNow();
  return static_cast<std::int32_t>(now - static_cast<std::int64_t>(GetTickCount64() / 1000));
}

}  // namespace

std::vector<Area> loadAreas(const StateFile& state) {
  const std::optional<long> count = state.number("areas");
  if (!count) {
    Area original;
    original.number = 0;
    original.lastBoot = systemStartTime();
    original.sizeKB = usedKilobytes(installLocation());
    original.name = kFactoryName;
    return {original};
  }
  std::vector<Area> areas;
  for (long i = 1; i <= std::min<long>(*count, kMostAreas); ++i) {
    const std::optional<std::string> text = state.get("area." + std::to_string(i));
    if (!text) continue;
    if (std::optional<Area> area = parseArea(*text)) areas.push_back(*area);
  }
  return areas;
}

bool saveAreas(StateFile& state, const std::vector<Area>& areas) {
  const long previous = state.number("areas").value_or(0);
  for (std::size_t i = 0; i < areas.size(); ++i) {
    const Area& a = areas[i];
    const std::string text = std::to_string(a.number) + "|" + std::to_string(a.lastUpdate) + "|" +
                             std::to_string(a.lastBoot) + "|" + std::to_string(a.sizeKB) + "|" + a.name;
    if (!state.set("area." + std::to_string(i + 1), text)) return false;
  }
  for (long i = static_cast<long>(areas.size()) + 1; i <= std::min<long>(previous, kMostAreas); ++i)
    state.remove("area." + std::to_string(i));
  return state.set("areas", std::to_string(areas.size()));
}

std::optional<std::size_t> findArea(const std::vector<Area>& areas, std::string_view name) {
  for (std::size_t i = 0; i < areas.size(); ++i)
    if (equalIgnoringCase(areas[i].name, name)) return i;
  return std::nullopt;
}

bool validAreaName(std::string_view name) {
  if (name.empty() || name.size() > kLongestName || name.front() == ' ' || name.back() == ' ') return false;
  for (char c : name) {
    if (c < ' ' || c > '~' || c == '?' || c == '*' || c == '"') return false;
  }
  return true;
}

std::int32_t engineTimeNow() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const std::int64_t steps =
      (static_cast<std::int64_t>(now.dwHighDateTime) << 32) | static_cast<std::int64_t>(now.dwLowDateTime);
  return static_cast<std::int32_t>((steps - kUnixEpochInFileTime) / 10000000LL);
}

bool engineTimeToLocal(std::int64_t time, int& year, int& month, int& day, int& hour, int& minute,
                       int& second) {
  const std::int64_t steps = time * 10000000LL + kUnixEpochInFileTime;
  if (steps < 0) return false;
  FILETIME file{static_cast<DWORD>(steps & 0xFFFFFFFF), static_cast<DWORD>(steps >> 32)};
  SYSTEMTIME utc, local;
  if (!FileTimeToSystemTime(&file, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
    return false;
  year = local.wYear;
  month = local.wMonth;
  day = local.wDay;
  hour = local.wHour;
  minute = local.wMinute;
  second = local.wSecond;
  return true;
}

std::int32_t usedKilobytes(const std::wstring& folder) {
  ULARGE_INTEGER available, total, free;
  if (!GetDiskFreeSpaceExW(folder.c_str(), &available, &total, &free)) return 0;
  const unsigned long long used = (total.QuadPart - free.QuadPart) / 1024;
  return static_cast<std::int32_t>(std::min<unsigned long long>(used, INT32_MAX));
}

}  // namespace standin
