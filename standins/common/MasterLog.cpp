#include "standins/common/MasterLog.h"

#include <cstdio>

#include "standins/common/InstallFolder.h"
#include "standins/common/Text.h"

namespace standin {
namespace {

std::string timeAndTag(const SYSTEMTIME& t, std::string_view tag, int number) {
  char head[32];
  std::snprintf(head, sizeof(head), "%02u/%02u/%04u %02u:%02u:%02u", t.wMonth % 100u, t.wDay % 100u,
                t.wYear % 10000u, t.wHour % 100u, t.wMinute % 100u, t.wSecond % 100u);
  std::string line(head);
  std::string five(tag.substr(0, 5));
  five.resize(5, ' ');
  line += five;
  char digits[8];
  std::snprintf(digits, sizeof(digits), "%04d", ((number % 10000) + 10000) % 10000);
  line += digits;
  line += ' ';
  return line;
}

std::string oneLine(std::string_view text) {
  std::string flat(text);
  for (char& c : flat) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return flat;
}

}  // namespace

std::string masterLine(const SYSTEMTIME& localTime, std::string_view tag, int number, std::string_view text) {
  std::string line = timeAndTag(localTime, tag, number);
  if (!text.empty() && text.front() == '[') line += ' ';
  line += oneLine(text);
  line += "\r\n";
  return line;
}

std::string masterDetailLine(const SYSTEMTIME& localTime, std::string_view tag, int number,
                             std::string_view detailName, std::string_view text) {
  std::string name(detailName.substr(0, 8));
  name.resize(8, ' ');
  return timeAndTag(localTime, tag, number) + "[" + oneLine(name) + "]" + oneLine(text) + "\r\n";
}

std::string detailLine(const SYSTEMTIME& localTime, std::string_view tag, std::string_view text) {
  std::string line = timeAndTag(localTime, tag, 0).substr(0, 19);
  std::string four(tag.substr(0, 4));
  four.resize(4, ' ');
  return line + four + " " + oneLine(text) + "\r\n";
}

std::wstring logFolder(const std::wstring& location) {
  return location + L"\\$LOGS";
}

bool appendMasterLog(const std::wstring& location, std::string_view bytes) {
  return appendLog(location, L"KRV", bytes);
}

bool appendLog(const std::wstring& location, const std::wstring& name, std::string_view bytes) {
  return appendToFile(logFolder(location) + L"\\" + name + L".log", bytes);
}

}  // namespace standin
