// The system's ANSI code page, clock and regional settings.
#include <windows.h>

#include "platform/win32/WideText.h"
#include "platform/win32/Win32Platform.h"

namespace platform::win32 {
namespace {

class Win32AnsiCodec final : public AnsiCodec {
 public:
  std::string toAnsi(std::string_view utf8) const override { return toAnsiCodePage(utf8); }

  std::string fromAnsi(std::string_view ansi) const override {
    if (ansi.empty()) return {};
    const int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), out.data(), size);
    return narrow(out);
  }
};

class Win32Clock final : public Clock {
 public:
  classic::DateTime localNow() override {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return classic::DateTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
  }
};

class Win32Locale final : public Locale {
 public:
  std::string decimalSeparator() override { return info(LOCALE_SDECIMAL, "."); }
  std::string dateSeparator() override { return info(LOCALE_SDATE, "/"); }
  std::string timeSeparator() override { return info(LOCALE_STIME, ":"); }
  // Read from the short date format itself ("d.M.yyyy", "M/d/yyyy", "yyyy/M/d"): the order the
  // user set there is the one the system's date parsing reads first.
  classic::DateOrder dateOrder() override { return classic::dateOrderOfPicture(info(LOCALE_SSHORTDATE, "")); }

 private:
  static std::string info(LCTYPE what, const char* fallback) {
    wchar_t buffer[96];  // LOCALE_SSHORTDATE holds up to 80 characters
    const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, what, buffer, static_cast<int>(std::size(buffer)));
    if (length <= 1) return fallback;
    return narrow(std::wstring_view(buffer, static_cast<std::size_t>(length - 1)));
  }
};

class ResourceStringTable final : public StringTable {
 public:
  std::string text(int id) const override {
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW hands back a pointer into the resource itself, so a text
    // of any length comes back whole.
    const int length =
        LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id), reinterpret_cast<wchar_t*>(&text), 0);
    if (length <= 0 || !text) return {};
    return narrow(std::wstring_view(text, static_cast<std::size_t>(length)));
  }
};

}  // namespace

std::unique_ptr<AnsiCodec> createAnsiCodec() {
  return std::make_unique<Win32AnsiCodec>();
}
std::unique_ptr<Clock> createClock() {
  return std::make_unique<Win32Clock>();
}
std::unique_ptr<Locale> createLocale() {
  return std::make_unique<Win32Locale>();
}
std::unique_ptr<StringTable> createResourceStringTable() {
  return std::make_unique<ResourceStringTable>();
}

}  // namespace platform::win32
