#include "standins/engine/Configuration.h"

#include <windows.h>

#include <cstdio>
#include <optional>

#include "standins/common/MasterLog.h"
#include "standins/common/Text.h"

namespace krvengine {
namespace {

constexpr const char* kError = "Error";
// "keeplogs 88888888" is not a day count: it asks for every log entry to be removed.
constexpr const char* kClearLogs = "88888888";

using standin::trimSpaces;

// A whole decimal number: an optional "-" and one to nine digits, nothing else.
std::optional<int> wholeNumber(std::string_view text) {
  bool negative = false;
  if (!text.empty() && text.front() == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

std::string dateTimeText(const SYSTEMTIME& t) {
  char text[32];
  std::snprintf(text, sizeof(text), "%02u/%02u/%04u %02u:%02u:%02u", t.wMonth, t.wDay, t.wYear, t.wHour,
                t.wMinute, t.wSecond);
  return text;
}

// The local time at which the system started.
std::string systemStartText() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER when;
  when.LowPart = now.dwLowDateTime;
  when.HighPart = now.dwHighDateTime;
  when.QuadPart -= GetTickCount64() * 10000ULL;
  FILETIME start{when.LowPart, when.HighPart};
  SYSTEMTIME utc, local;
  if (!FileTimeToSystemTime(&start, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
    return kError;
  return dateTimeText(local);
}

// The settings the engine knows, each with its reply when nothing was ever stored.
struct Setting {
  const char* key;  // as requests spell it, lower case
  const char* fallback;
  bool writable;
};

constexpr Setting kSettings[] = {
    {"keeplogs", "30", true},     {"preboot", "Disabled", true},
    {"showprompt", "Yes", true},  {"hotkey", "F5", true},
    {"keywait", "5", true},       {"maxfailedboots", "0", true},
    {"lastboot", nullptr, false}, {"lastswap", "0 0", false},
    {"active", "0", true},        {"copypasswordenabled", "False", true},
    {"copypassword", "", true},
};

const Setting* findSetting(const std::string& key) {
  for (const Setting& setting : kSettings)
    if (key == setting.key) return &setting;
  return nullptr;
}

// The value as the engine keeps it: what the state holds, or the setting's default.
std::string stored(const standin::StateFile& state, const Setting& setting) {
  if (std::optional<std::string> value = state.get(std::string("config.") + setting.key)) return *value;
  if (setting.fallback) return setting.fallback;
  return systemStartText();
}

// The reply to a read of the setting.
std::string readReply(const standin::StateFile& state, const Setting& setting) {
  const std::string value = stored(state, setting);
  // A negative day count keeps logs forever; its magnitude is only remembered.
  if (std::string_view(setting.key) == "keeplogs") {
    const std::optional<int> days = wholeNumber(value);
    if (days && *days < 0) return "Forever";
  }
  return value;
}

// The value to store for a write, in its reply form; nothing when the engine refuses it.
std::optional<std::string> acceptedValue(const std::string& key, std::string_view argument) {
  const std::string_view value = trimSpaces(argument);
  const std::string lowered = standin::lowerAscii(value);
  auto numberIn = [&](int low, int high) -> std::optional<std::string> {
    const std::optional<int> number = wholeNumber(value);
    if (!number || *number < low || *number > high) return std::nullopt;
    return std::to_string(*number);
  };
  if (key == "keeplogs") {
    const std::optional<int> days = wholeNumber(value);
    if (!days || *days == 0 || *days < -999 || *days > 999) return std::nullopt;
    return std::to_string(*days);
  }
  if (key == "preboot") {
    if (lowered == "enable") return "Enabled";
    if (lowered == "disable") return "Disabled";
    return std::nullopt;
  }
  if (key == "showprompt") {
    if (lowered == "yes") return "Yes";
    if (lowered == "no") return "No";
    return std::nullopt;
  }
  if (key == "hotkey") {
    if (lowered.size() < 2 || lowered.front() != 'f') return std::nullopt;
    const std::optional<int> number = wholeNumber(std::string_view(lowered).substr(1));
    if (!number || *number < 1 || *number > 12) return std::nullopt;
    return "F" + std::to_string(*number);
  }
  if (key == "keywait") return numberIn(1, 99);
  if (key == "maxfailedboots") return numberIn(0, 9);
  if (key == "active") return numberIn(0, 9);
  if (key == "copypasswordenabled") {
    if (lowered == "true") return "True";
    if (lowered == "false") return "False";
    return std::nullopt;
  }
  if (key == "copypassword") {
    // The password is everything after the one space that follows the key: nothing means none.
    // Spaces and control characters could not be given back as they were sent.
    if (argument.empty() || argument.front() != ' ') return std::nullopt;
    const std::string_view password = argument.substr(1);
    if (password.size() > kLongestReply) return std::nullopt;
    for (char c : password)
      if (static_cast<unsigned char>(c) <= ' ' || c == 127) return std::nullopt;
    return std::string(password);
  }
  return std::nullopt;
}

bool emptyMasterLog(const std::wstring& location) {
  const std::wstring path = standin::logFolder(location) + L"\\KRV.log";
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  const bool emptied = SetEndOfFile(file) != FALSE;
  CloseHandle(file);
  return emptied;
}

}  // namespace

ConfigurationReply answerConfiguration(standin::StateFile& state, const std::wstring& location,
                                       std::string_view request) {
  // The key is the request's leading letters; the rest, if any, is the value to write.
  std::size_t keyLength = 0;
  while (keyLength < request.size() && ((request[keyLength] >= 'a' && request[keyLength] <= 'z') ||
                                        (request[keyLength] >= 'A' && request[keyLength] <= 'Z')))
    ++keyLength;
  const std::string key = standin::lowerAscii(request.substr(0, keyLength));
  const std::string_view argument = request.substr(keyLength);

  const Setting* setting = findSetting(key);
  if (!setting) return {0, kError};
  const std::string injected = "config." + key;
  if (const std::optional<long> code = state.number(injected + ".result"); code && *code != 0)
    return {static_cast<int>(*code), {}};
  if (std::optional<std::string> forced = state.get(injected + ".reply")) {
    if (forced->size() > kLongestReply) forced->resize(kLongestReply);
    return {0, *forced};
  }

  if (argument.empty()) return {0, readReply(state, *setting)};
  if (!setting->writable) return {0, kError};

  if (key == "keeplogs" && trimSpaces(argument) == kClearLogs)
    return {0, emptyMasterLog(location) ? readReply(state, *setting) : std::string(kError)};
  const std::optional<std::string> value = acceptedValue(key, argument);
  if (!value || !state.set("config." + key, *value)) return {0, kError};
  return {0, readReply(state, *setting)};
}

}  // namespace krvengine
