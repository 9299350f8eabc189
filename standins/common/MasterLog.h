#pragma once
// The engine's master log, "<location>\$LOGS\KRV.log", written in the fixed columns the log viewer
// reads, one line per event, ending in CR LF:
//
//   1-19  local date and time, "mm/dd/yyyy hh:nn:ss" with day, month and year in the order and
//         with the separator of the user's short dates ("dd.mm.yyyy hh:nn:ss", "yyyy/mm/dd ...")
//   20-24 the writer's tag (five characters, e.g. " MGR "); the viewer does not read them
//   25-28 the message number, four digits
//   29    a space
//   30-   the text (a "[" at 30 would announce an entry with a detail log, named at 31-38)

#include <windows.h>

#include <string>
#include <string_view>

namespace standin {

// Message numbers as the viewer classes them (by the number modulo 500).
inline constexpr int kManagerMessage = 401;  // 400-449: advisory
inline constexpr int kEngineMessage = 402;
inline constexpr int kTaskMessage = 420;        // a task's entry; with its detail log it shows as detail
inline constexpr int kTaskFailedMessage = 111;  // odd, outside 400-498: an error

// One master line with its CR LF. The text is written as given, except that each CR or LF in it
// becomes a space (a line break would split the entry), and that a text starting with "[" gets a
// space in front (at position 30 it would announce a detail log). The number is written modulo
// 10000 as four digits. The tag is cut or padded with spaces to five characters.
std::string masterLine(const SYSTEMTIME& localTime, std::string_view tag, int number, std::string_view text);

// A master line that announces a detail log: "[" at 30, the name at 31-38 (cut or padded with
// spaces to eight characters), "]" at 39 and the text from 40, with CR LF.
std::string masterDetailLine(const SYSTEMTIME& localTime, std::string_view tag, int number,
                             std::string_view detailName, std::string_view text);
// One line of a detail log: the date and time at 1-19, the tag's first four characters at 20-23
// (which the viewer drops), a space, and the text, with CR LF.
std::string detailLine(const SYSTEMTIME& localTime, std::string_view tag, std::string_view text);

// "<location>\$LOGS".
std::wstring logFolder(const std::wstring& location);
// Appends the bytes to "<location>\$LOGS\<name>.log" in one write, creating the folder and the
// file; false when it could not be written.
bool appendLog(const std::wstring& location, const std::wstring& name, std::string_view bytes);
// Appends the bytes to "<location>\$LOGS\KRV.log" in one write, creating the folder and the file;
// false when the file could not be written.
bool appendMasterLog(const std::wstring& location, std::string_view bytes);

}  // namespace standin
