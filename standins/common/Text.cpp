#include "standins/common/Text.h"

#include <windows.h>

#include "standins/common/InstallFolder.h"

namespace standin {
namespace {

std::string narrow(UINT codePage, std::wstring_view text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string bytes(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                      nullptr);
  return bytes;
}

std::wstring widen(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(size > 0 ? static_cast<std::size_t>(size) : 0, L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

}  // namespace

std::string ansi(std::wstring_view text) {
  return narrow(CP_ACP, text);
}

std::wstring wideFromAnsi(std::string_view text) {
  return widen(CP_ACP, text);
}

std::string utf8(std::wstring_view text) {
  return narrow(CP_UTF8, text);
}

std::string ansiFromUtf8(std::string_view text) {
  return ansi(widen(CP_UTF8, text));
}

std::string lowerAscii(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lowered;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && lowerAscii(a) == lowerAscii(b);
}

std::string_view trimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool appendToFile(const std::wstring& path, std::string_view bytes) {
  const std::size_t slash = path.find_last_of(L'\\');
  if (slash != std::wstring::npos && !createFolders(path.substr(0, slash))) return false;
  const HANDLE file =
      CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

std::optional<std::string> readWholeFile(const std::wstring& path) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

std::vector<std::string> splitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(start, end - start));
    if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

}  // namespace standin
