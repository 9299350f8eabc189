// KRVCopyCtrl.dll, the copy engine's stand-in: answers the manager's calls from the state file
// below the install location and writes the engine's master log there.

#include "standins/engine/KRVCopyCtrl.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "standins/common/InstallFolder.h"
#include "standins/common/MasterLog.h"
#include "standins/common/StateFile.h"
#include "standins/engine/Configuration.h"

namespace {

using namespace krvengine;

// Fills the tag columns of the lines this library writes for its callers.
constexpr const char* kManagerTag = " MGR ";
// Configuration requests are short texts; anything longer is not one.
constexpr std::size_t kLongestRequest = 1024;

standin::StateFile engineState() {
  return standin::StateFile::engine(standin::installLocation());
}

// The answer the state forces on an export ("result.<export>=<code>"), if any.
std::optional<int> forcedResult(const standin::StateFile& state, const char* exportName) {
  const std::optional<long> code = state.number(std::string("result.") + exportName);
  if (!code) return std::nullopt;
  return static_cast<int>(*code);
}

std::optional<int> forcedResult(const char* exportName) {
  return forcedResult(engineState(), exportName);
}

// The answer of an export this stand-in does not provide yet, once its pointers have been checked.
int notProvided(const char* exportName, bool argumentsValid) {
  if (const std::optional<int> forced = forcedResult(exportName)) return *forced;
  return argumentsValid ? kNotProvided : kInvalidArgument;
}

}  // namespace

extern "C" {

int WINAPI KRV_OpenSnapshots(int /*caller*/) {
  const standin::StateFile state = engineState();
  if (const std::optional<int> forced = forcedResult(state, "KRV_OpenSnapshots")) return *forced;
  return state.isNo("administrator") ? kNotAdministrator : kOK;
}

int WINAPI KRV_CloseSnapshots(int /*caller*/) {
  return forcedResult("KRV_CloseSnapshots").value_or(kOK);
}

int WINAPI KRV_FindFirstSnapshot(int /*caller*/, char* pattern, _SNAPSHOTINFO* info) {
  return notProvided("KRV_FindFirstSnapshot", pattern && info);
}

int WINAPI KRV_FindNextSnapshot(int /*caller*/, _SNAPSHOTINFO* info) {
  return notProvided("KRV_FindNextSnapshot", info != nullptr);
}

int WINAPI KRV_SetSnapshotName(int /*caller*/, int /*number*/, char* name) {
  return notProvided("KRV_SetSnapshotName", name != nullptr);
}

int WINAPI KRV_AnchoredFiles(int /*caller*/, char* list) {
  return notProvided("KRV_AnchoredFiles", list != nullptr);
}

int WINAPI KRV_CheckAnchorList(int /*caller*/, char* list, char* explanation) {
  return notProvided("KRV_CheckAnchorList", list && explanation);
}

int WINAPI KRV_CheckExcludedFiles(wchar_t* list, char* explanation) {
  return notProvided("KRV_CheckExcludedFiles", list && explanation);
}

int WINAPI KRV_Configuration(int /*caller*/, char* request, char* reply) {
  const std::wstring location = standin::installLocation();
  standin::StateFile state = standin::StateFile::engine(location);
  if (const std::optional<int> forced = forcedResult(state, "KRV_Configuration")) return *forced;
  if (!request || !reply) return kInvalidArgument;
  // The request's end is its NUL; a request without one within any sensible length is refused.
  const std::size_t length = strnlen(request, kLongestRequest + 1);
  if (length > kLongestRequest) return kInvalidArgument;
  const ConfigurationReply answer = answerConfiguration(state, location, std::string_view(request, length));
  if (answer.result != kOK) return answer.result;
  // Never more than the smallest reply buffer a caller hands over, and always with its NUL.
  const std::size_t size = std::min(answer.reply.size(), kLongestReply);
  std::memcpy(reply, answer.reply.data(), size);
  reply[size] = '\0';
  return kOK;
}

int WINAPI KRV_LogMessage(unsigned long /*kind*/, char* line) {
  const std::wstring location = standin::installLocation();
  if (const std::optional<int> forced = forcedResult(standin::StateFile::engine(location), "KRV_LogMessage"))
    return *forced;
  if (!line) return kInvalidArgument;
  SYSTEMTIME now;
  GetLocalTime(&now);
  const std::string entry = standin::masterLine(now, kManagerTag, standin::kManagerMessage, line);
  return standin::appendMasterLog(location, entry) ? kOK : kWriteFailed;
}

int WINAPI KRV_ConvertTime(long /*time*/, int* year, int* month, int* day, int* hour, int* minute,
                           int* second) {
  return notProvided("KRV_ConvertTime", year && month && day && hour && minute && second);
}

// A missing title only means a dialog without one; the buffers are what must be there.
int WINAPI KRV_BrowseFolders(wchar_t* /*title*/, HWND /*owner*/, wchar_t* path) {
  return notProvided("KRV_BrowseFolders", path != nullptr);
}

int WINAPI KRV_ShowEditDialog(wchar_t* /*title*/, HWND /*owner*/, wchar_t* list, int sizeBytes) {
  return notProvided("KRV_ShowEditDialog", list && sizeBytes > 0);
}

}  // extern "C"
