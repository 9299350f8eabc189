#pragma once
// The engine's boot-time settings and copy/boot password as the stand-in keeps them: answers the
// short text requests of KRV_Configuration and stores every writable setting in the engine state.
//
// A read sends the key alone, a write the key followed by the value. Keys are matched without
// regard to ASCII case. State keys (see StateFile.h):
//
//   config.<key>=<value>         the stored setting, in the form its reply takes ("Enabled", "F5",
//                                "30", "-30", "True", the password...); missing means the default
//   config.<key>.result=<code>   every request for that key fails with <code> (a call that does not
//                                go through), nothing is stored
//   config.<key>.reply=<text>    every request for that key is answered with <text> (e.g. "Error")
//                                and nothing is stored
//
// Unknown keys and values the engine would not accept are answered "Error".

#include <string>
#include <string_view>

#include "standins/common/StateFile.h"

namespace krvengine {

// What the engine answers to one request.
struct ConfigurationReply {
  int result = 0;     // 0: the call went through
  std::string reply;  // ANSI; meaningful only when result is 0
};

// The longest reply the stand-in gives, so that the smallest reply buffer callers hand over (100
// bytes, for writes) always holds it with its NUL.
inline constexpr std::size_t kLongestReply = 99;

// Answers the request against the state (and updates it for writes). `location` is the install
// location, where "keeplogs 88888888" empties the master log.
ConfigurationReply answerConfiguration(standin::StateFile& state, const std::wstring& location,
                                       std::string_view request);

}  // namespace krvengine
