#pragma once
// The areas as the copy engine's stand-in keeps them, shared by the library and the command tool.
//
// Stored in the engine state (see StateFile.h) as "areas=<count>" and one line per area,
// "area.<i>=<number>|<last update>|<last boot>|<size KB>|<name>" for i from 1 to the count, in
// listing order. Without an "areas" key the installation is fresh: one area "ORIGINAL", running
// as number 0, last booted at the system's start, its size the space used on the install drive.
//
// Engine times are seconds since 1 January 1970, UTC; 0 is never.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/KRVCopyCtrlInterface.h"
#include "standins/common/StateFile.h"

namespace standin {

struct Area {
  std::int32_t number = 0;  // 0 is the running area
  std::int32_t lastUpdate = 0;
  std::int32_t lastBoot = 0;
  std::int32_t sizeKB = 0;
  std::string name;  // ANSI, at most 35 characters
};

// The engine's codes for what goes wrong with areas, besides the interface's kNameExists and
// kInvalidName.
inline constexpr int kSourceInUse = -125;
inline constexpr int kDestinationInUse = -127;
inline constexpr int kNoSuchArea = -205;
inline constexpr std::size_t kLongestName = 35;

std::vector<Area> loadAreas(const StateFile& state);
bool saveAreas(StateFile& state, const std::vector<Area>& areas);
// The area of that name, compared without regard to ASCII case; nothing when none has it.
std::optional<std::size_t> findArea(const std::vector<Area>& areas, std::string_view name);
// Whether the engine accepts the text as an area name: 1 to 35 characters from " " to "~" without
// "?", "*" or quotation marks, not starting or ending with a space.
bool validAreaName(std::string_view name);

std::int32_t engineTimeNow();
// The engine time as local calendar parts; false for a time that is not a date.
bool engineTimeToLocal(std::int64_t time, int& year, int& month, int& day, int& hour, int& minute,
                       int& second);
// The kilobytes used on the drive holding the folder, or 0 when it cannot be told.
std::int32_t usedKilobytes(const std::wstring& folder);

}  // namespace standin
