#pragma once
// An engine that records every call with its arguments and answers from what the test set up.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "base/Unicode.h"
#include "manager/engine/KRVCopyAPI.h"

#if defined(__SANITIZE_ADDRESS__)
#define KRV_FAKES_MEASURE_BUFFERS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KRV_FAKES_MEASURE_BUFFERS 1
#endif
#endif
#if defined(KRV_FAKES_MEASURE_BUFFERS)
#include <sanitizer/asan_interface.h>
#endif

namespace fakes {

// The bytes the caller really allocated from this address on, as the address sanitizer knows them;
// 0 in a build without it (the size cannot be known there).
inline std::size_t addressableBytes([[maybe_unused]] const char* from) {
#if defined(KRV_FAKES_MEASURE_BUFFERS)
  constexpr std::size_t kLimit = 1 << 16;
  std::size_t size = 0;
  while (size < kLimit && !__asan_address_is_poisoned(from + size)) ++size;
  return size;
#else
  return 0;
#endif
}

// What the fake engine answers to a configuration request.
struct ConfigurationAnswer {
  std::int32_t result = 0;
  // ANSI bytes copied into the reply buffer as they are; the NUL is added unless `terminated` is
  // false (an engine that fills the buffer and forgets it).
  std::string reply = "Error";
  bool terminated = true;
};

struct ConfigurationCall {
  std::int32_t caller;
  std::string request;        // the bytes up to the request's NUL
  std::size_t replyCapacity;  // the reply buffer's size, 0 when it cannot be measured
};

// One area as the fake engine lists it; the name's 36 bytes are copied as they are.
inline krv::SNAPSHOTINFO snapshot(std::int32_t number, const std::string& name, std::int32_t sizeKB = 0,
                                  std::int32_t lastUpdate = 0, std::int32_t lastBoot = 0) {
  krv::SNAPSHOTINFO info{};
  info.number = number;
  std::memcpy(info.name, name.data(), std::min(name.size(), sizeof info.name));
  info.lastUpdate = lastUpdate;
  info.lastBoot = lastBoot;
  info.sizeKB = sizeKB;
  info.reserved = 12345;
  return info;
}

// The name of a record, up to its NUL but never past its 36 bytes.
inline std::string nameOf(const krv::SNAPSHOTINFO& info) {
  const char* end = static_cast<const char*>(std::memchr(info.name, '\0', sizeof info.name));
  return std::string(info.name, end ? static_cast<std::size_t>(end - info.name) : sizeof info.name);
}

// The sizes the library's interface declares for the buffers the engine writes into, where the
// call itself does not name one: an engine may fill each of them to its last byte.
struct DeclaredBytes {
  static constexpr std::size_t kAnchoredRead = 1024;        // KRV_AnchoredFiles, an empty buffer
  static constexpr std::size_t kAnchoredWrite =
      krv::kAnchoredListBytes;  // KRV_AnchoredFiles, a list to store
  static constexpr std::size_t kAnchorExplanation = krv::kAnchoredListBytes;  // KRV_CheckAnchorList
  static constexpr std::size_t kExcludedExplanation = 200;  // KRV_CheckExcludedFiles, the smaller caller
  static constexpr std::size_t kConfigurationRead = 300;    // KRV_Configuration, a key alone
  static constexpr std::size_t kConfigurationWrite = 100;   // KRV_Configuration, a key and a value
  static constexpr std::size_t kBrowsePath = krv::kBrowsePathBytes;  // KRV_BrowseFolders
};

struct BufferCall {
  std::string text;      // the bytes up to the NUL
  std::size_t capacity;  // the buffer's size, 0 when it cannot be measured
  std::size_t explanationCapacity = 0;
};

class FakeCopyAPI : public krv::KRVCopyAPI {
 public:
  std::int32_t KRV_OpenSnapshots(std::int32_t caller) override {
    const auto forced = openResults.find(caller);
    return note("KRV_OpenSnapshots(" + std::to_string(caller) + ")",
                forced == openResults.end() ? openResult : forced->second);
  }
  std::int32_t KRV_CloseSnapshots(std::int32_t caller) override {
    return note("KRV_CloseSnapshots(" + std::to_string(caller) + ")", 0);
  }
  // "*" lists every scripted area in turn; any other pattern finds the area of exactly that name.
  std::int32_t KRV_FindFirstSnapshot(std::int32_t caller, char* pattern, krv::SNAPSHOTINFO* info) override {
    const std::string wanted = pattern;
    const std::string call = "KRV_FindFirstSnapshot(" + std::to_string(caller) + ", " + wanted + ")";
    if (wanted == "*") {
      listed = 0;
      return note(call, nextListed(info));
    }
    for (const krv::SNAPSHOTINFO& area : snapshots) {
      if (nameOf(area) == wanted) {
        *info = area;
        return note(call, 0);
      }
    }
    return note(call, krv::kEndOfListing);
  }
  std::int32_t KRV_FindNextSnapshot(std::int32_t caller, krv::SNAPSHOTINFO* info) override {
    return note("KRV_FindNextSnapshot(" + std::to_string(caller) + ")", nextListed(info));
  }
  std::int32_t KRV_SetSnapshotName(std::int32_t caller, std::int32_t number, char* name) override {
    const std::string call =
        "KRV_SetSnapshotName(" + std::to_string(caller) + ", " + std::to_string(number) + ", " + name + ")";
    if (renameResult == 0) {
      for (krv::SNAPSHOTINFO& area : snapshots)
        if (area.number == number) area = snapshot(number, name, area.sizeKB, area.lastUpdate, area.lastBoot);
    }
    return note(call, renameResult);
  }
  // An empty buffer is a read: it gets `anchoredList` (without a NUL when `anchoredUnterminated`);
  // otherwise the list is stored when `anchoredResult` is 0.
  std::int32_t KRV_AnchoredFiles(std::int32_t caller, char* list) override {
    const std::string text = list;
    anchoredCalls.push_back({text, addressableBytes(list)});
    const std::string call = "KRV_AnchoredFiles(" + std::to_string(caller) + ", " + text + ")";
    fill(list, text.empty() ? DeclaredBytes::kAnchoredRead : DeclaredBytes::kAnchoredWrite);
    if (text.empty()) {
      std::memcpy(list, anchoredList.data(), anchoredList.size());
      if (!anchoredUnterminated) list[anchoredList.size()] = '\0';
      return note(call, anchoredReadResult);
    }
    if (anchoredResult == 0) anchoredList = text;
    return note(call, anchoredResult);
  }
  std::int32_t KRV_CheckAnchorList(std::int32_t caller, char* list, char* explanation) override {
    anchorChecks.push_back({list, addressableBytes(list), addressableBytes(explanation)});
    fill(explanation, DeclaredBytes::kAnchorExplanation);
    if (anchorCheckResult != 0) std::strcpy(explanation, "refused");
    return note("KRV_CheckAnchorList(" + std::to_string(caller) + ", " + list + ")", anchorCheckResult);
  }
  std::int32_t KRV_CheckExcludedFiles(char16_t* list, char* explanation) override {
    std::u16string wide;
    for (const char16_t* unit = list; *unit; ++unit) wide.push_back(*unit);
    const std::string text = platform::utf16ToUtf8(wide);
    exclusionChecks.push_back(
        {text, addressableBytes(reinterpret_cast<const char*>(list)), addressableBytes(explanation)});
    fill(explanation, DeclaredBytes::kExcludedExplanation);
    if (exclusionCheckResult != 0) std::strcpy(explanation, "refused");
    return note("KRV_CheckExcludedFiles(" + text + ")", exclusionCheckResult);
  }
  std::int32_t KRV_Configuration(std::int32_t caller, char* request, char* reply) override {
    const std::string text = request;
    configurationCalls.push_back({caller, text, addressableBytes(reply)});
    fill(reply, text.find(' ') == std::string::npos ? DeclaredBytes::kConfigurationRead
                                                    : DeclaredBytes::kConfigurationWrite);
    // Answered by the request's first word; a key nobody scripted gets "Error".
    const auto found = configuration.find(text.substr(0, text.find(' ')));
    const ConfigurationAnswer answer = found == configuration.end() ? ConfigurationAnswer{} : found->second;
    if (answer.result == 0) {
      std::memcpy(reply, answer.reply.data(), answer.reply.size());
      if (answer.terminated) reply[answer.reply.size()] = '\0';
    }
    return note("KRV_Configuration(" + std::to_string(caller) + ", " + text + ")", answer.result);
  }
  // Scripts the answer to every request that starts with this key.
  void answer(const std::string& key, std::string reply, std::int32_t result = 0) {
    configuration[key] = {result, std::move(reply), true};
  }
  std::int32_t KRV_LogMessage(std::uint32_t kind, char* line) override {
    logLines.emplace_back(line);
    return note("KRV_LogMessage(" + std::to_string(kind) + ", " + line + ")", 0);
  }
  // Fills the parts scripted for the time; an unscripted time leaves them as they were.
  std::int32_t KRV_ConvertTime(std::int32_t time, std::int32_t* year, std::int32_t* month, std::int32_t* day,
                               std::int32_t* hour, std::int32_t* minute, std::int32_t* second) override {
    const auto found = times.find(time);
    if (found != times.end()) {
      std::int32_t* parts[] = {year, month, day, hour, minute, second};
      for (std::size_t i = 0; i < 6; ++i) *parts[i] = found->second[i];
    }
    return note("KRV_ConvertTime(" + std::to_string(time) + ")",
                found == times.end() ? krv::kManagerFailure : 0);
  }
  // The browse dialog answers `browseResult`, with `browsePath` in the buffer when it is above 2
  // (without a NUL when `browseUnterminated`).
  std::int32_t KRV_BrowseFolders(char16_t*, platform::WindowHandle, char16_t* path) override {
    fill(path, DeclaredBytes::kBrowsePath);
    if (browseResult > 2) put(path, browsePath, !browseUnterminated);
    return note("KRV_BrowseFolders", browseResult);
  }
  // The editor records the text it was given and answers `editResult`, with `editText` in the
  // buffer when it is above 0.
  std::int32_t KRV_ShowEditDialog(char16_t*, platform::WindowHandle, char16_t* list,
                                  std::int32_t size) override {
    std::u16string given;
    for (const char16_t* unit = list; *unit; ++unit) given.push_back(*unit);
    editCalls.push_back({platform::utf16ToUtf8(given), static_cast<std::size_t>(size)});
    fill(list, static_cast<std::size_t>(size));
    if (editResult > 0) put(list, editText);
    return note("KRV_ShowEditDialog", editResult);
  }

  std::int32_t openResult = 0;
  std::map<std::int32_t, std::int32_t> openResults;  // by caller value, over openResult
  std::vector<std::string>* timeline = nullptr;      // when set, every call is noted there too
  std::map<std::string, ConfigurationAnswer> configuration;
  std::vector<ConfigurationCall> configurationCalls;
  std::vector<std::string> calls;
  std::vector<std::string> logLines;  // ANSI bytes as the engine received them

  // The areas, in listing order; the listing ends with `listingEnd` after the last of them.
  std::vector<krv::SNAPSHOTINFO> snapshots;
  std::int32_t listingEnd = krv::kEndOfListing;
  std::int32_t renameResult = 0;
  std::string anchoredList;
  bool anchoredUnterminated = false;
  std::int32_t anchoredReadResult = 0;
  std::int32_t anchoredResult = 0;
  std::vector<BufferCall> anchoredCalls;
  std::int32_t anchorCheckResult = 0;
  std::vector<BufferCall> anchorChecks;
  std::int32_t exclusionCheckResult = 0;
  std::vector<BufferCall> exclusionChecks;
  std::map<std::int32_t, std::array<std::int32_t, 6>> times;  // year, month, day, hour, minute, second
  std::int32_t browseResult = 0;
  std::string browsePath;
  bool browseUnterminated = false;
  std::int32_t editResult = 0;
  std::string editText;
  std::vector<BufferCall> editCalls;
  // When set, every buffer the engine writes into is first filled to the size declared for it (the
  // call's own size argument, or DeclaredBytes), before the answer goes in: a buffer shorter than
  // declared is written past its end, which the address sanitizer reports.
  bool fillsDeclaredSizes = false;

 private:
  void fill(void* buffer, std::size_t bytes) const {
    if (fillsDeclaredSizes) std::memset(buffer, 'x', bytes);
  }
  static void put(char16_t* buffer, const std::string& utf8, bool terminated = true) {
    const std::u16string text = platform::utf8ToUtf16(utf8);
    std::copy(text.begin(), text.end(), buffer);
    if (terminated) buffer[text.size()] = u'\0';
  }
  std::int32_t nextListed(krv::SNAPSHOTINFO* info) {
    if (listed >= snapshots.size()) return listingEnd;
    *info = snapshots[listed++];
    return 0;
  }
  std::int32_t note(std::string call, std::int32_t result) {
    if (timeline) timeline->push_back(call);
    calls.push_back(std::move(call));
    return result;
  }
  std::size_t listed = 0;
};

}  // namespace fakes
