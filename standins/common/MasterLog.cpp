#include "standins/common/MasterLog.h"

#include <cstdio>
#include <iterator>

#include "base/ClassicRuntime.h"

#include "standins/common/InstallFolder.h"
#include "standins/common/Text.h"

namespace standin {
namespace {

// The user's short-date order and date separator, which the engine writes its dates in. A separator
// of more than one character, or one that could be part of a number, would not fit the columns: "/"
// stands for it then.
struct RegionalDate {
  classic::DateOrder order = classic::DateOrder::MonthDayYear;
  char separator = '/';
};

RegionalDate regionalDate() {
  RegionalDate form;
  wchar_t buffer[96];
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buffer, static_cast<int>(std::size(buffer))) > 0)
    form.order = classic::dateOrderOfPicture(utf8(buffer));
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDATE, buffer, static_cast<int>(std::size(buffer))) == 2 &&
      buffer[0] > L' ' && buffer[0] < 127 && !(buffer[0] >= L'0' && buffer[0] <= L'9')) {
    form.separator = static_cast<char>(buffer[0]);
  }
  return form;
}

// "mm/dd/yyyy hh:nn:ss" with the day, month and year in the regional order and separator:
// "dd.mm.yyyy hh:nn:ss", "yyyy/mm/dd hh:nn:ss"; always 19 characters.
std::string dateAndTime(const SYSTEMTIME& t) {
  const RegionalDate form = regionalDate();
  const unsigned year = t.wYear % 10000u, month = t.wMonth % 100u, day = t.wDay % 100u;
  const char s = form.separator;
  char text[32];
  if (form.order == classic::DateOrder::YearMonthDay) {
    std::snprintf(text, sizeof(text), "%04u%c%02u%c%02u", year, s, month, s, day);
  } else {
    const bool dayFirst = form.order == classic::DateOrder::DayMonthYear;
    std::snprintf(text, sizeof(text), "%02u%c%02u%c%04u", dayFirst ? day : month, s, dayFirst ? month : day,
                  s, year);
  }
  char time[16];
  std::snprintf(time, sizeof(time), " %02u:%02u:%02u", t.wHour % 100u, t.wMinute % 100u, t.wSecond % 100u);
  return std::string(text) + time;
}

std::string timeAndTag(const SYSTEMTIME& t, std::string_view tag, int number) {
  std::string line = dateAndTime(t);
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
