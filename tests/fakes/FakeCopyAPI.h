#pragma once
// An engine that records every call with its arguments and answers from what the test set up.

#include <cstddef>
#include <cstring>
#include <map>
#include <string>
#include <vector>

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

class FakeCopyAPI : public krv::KRVCopyAPI {
 public:
  std::int32_t KRV_OpenSnapshots(std::int32_t caller) override {
    return note("KRV_OpenSnapshots(" + std::to_string(caller) + ")", openResult);
  }
  std::int32_t KRV_CloseSnapshots(std::int32_t caller) override {
    return note("KRV_CloseSnapshots(" + std::to_string(caller) + ")", 0);
  }
  std::int32_t KRV_FindFirstSnapshot(std::int32_t caller, char* pattern, krv::SNAPSHOTINFO*) override {
    return note("KRV_FindFirstSnapshot(" + std::to_string(caller) + ", " + pattern + ")", krv::kEndOfListing);
  }
  std::int32_t KRV_FindNextSnapshot(std::int32_t caller, krv::SNAPSHOTINFO*) override {
    return note("KRV_FindNextSnapshot(" + std::to_string(caller) + ")", krv::kEndOfListing);
  }
  std::int32_t KRV_SetSnapshotName(std::int32_t caller, std::int32_t number, char* name) override {
    return note(
        "KRV_SetSnapshotName(" + std::to_string(caller) + ", " + std::to_string(number) + ", " + name + ")",
        0);
  }
  std::int32_t KRV_AnchoredFiles(std::int32_t caller, char* list) override {
    return note("KRV_AnchoredFiles(" + std::to_string(caller) + ", " + list + ")", 0);
  }
  std::int32_t KRV_CheckAnchorList(std::int32_t caller, char* list, char*) override {
    return note("KRV_CheckAnchorList(" + std::to_string(caller) + ", " + list + ")", 0);
  }
  std::int32_t KRV_CheckExcludedFiles(char16_t*, char*) override { return note("KRV_CheckExcludedFiles", 0); }
  std::int32_t KRV_Configuration(std::int32_t caller, char* request, char* reply) override {
    const std::string text = request;
    configurationCalls.push_back({caller, text, addressableBytes(reply)});
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
  std::int32_t KRV_ConvertTime(std::int32_t time, std::int32_t*, std::int32_t*, std::int32_t*, std::int32_t*,
                               std::int32_t*, std::int32_t*) override {
    return note("KRV_ConvertTime(" + std::to_string(time) + ")", krv::kManagerFailure);
  }
  std::int32_t KRV_BrowseFolders(char16_t*, platform::WindowHandle, char16_t*) override {
    return note("KRV_BrowseFolders", 0);
  }
  std::int32_t KRV_ShowEditDialog(char16_t*, platform::WindowHandle, char16_t*, std::int32_t) override {
    return note("KRV_ShowEditDialog", 0);
  }

  std::int32_t openResult = 0;
  std::vector<std::string>* timeline = nullptr;  // when set, every call is noted there too
  std::map<std::string, ConfigurationAnswer> configuration;
  std::vector<ConfigurationCall> configurationCalls;
  std::vector<std::string> calls;
  std::vector<std::string> logLines;  // ANSI bytes as the engine received them

 private:
  std::int32_t note(std::string call, std::int32_t result) {
    if (timeline) timeline->push_back(call);
    calls.push_back(std::move(call));
    return result;
  }
};

}  // namespace fakes
