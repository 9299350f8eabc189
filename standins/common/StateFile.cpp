#include "standins/common/StateFile.h"

#include <windows.h>

#include <cctype>
#include <cstdlib>

#include "standins/common/InstallFolder.h"
#include "standins/common/Text.h"

namespace standin {
namespace {

// One mutex for every state file: the stand-ins touch them rarely, and a single name keeps the
// manager's library and the tools it starts from racing on a read-modify-write.
constexpr const wchar_t* kStateMutexName = L"Pellora.Korvane.StandIn.State";
constexpr DWORD kLockWaitMs = 5000;

class StateLock {
 public:
  StateLock() : mutex_(CreateMutexW(nullptr, FALSE, kStateMutexName)) {
    if (mutex_) {
      const DWORD waited = WaitForSingleObject(mutex_, kLockWaitMs);
      held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
  }
  ~StateLock() {
    if (held_) ReleaseMutex(mutex_);
    if (mutex_) CloseHandle(mutex_);
  }
  StateLock(const StateLock&) = delete;
  StateLock& operator=(const StateLock&) = delete;

 private:
  HANDLE mutex_;
  bool held_ = false;
};

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool holdsLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// The key of a "key=value" line, or nothing for a comment.
std::optional<std::string_view> keyOf(std::string_view line) {
  const std::string_view content = trimmed(line);
  if (content.empty() || content.front() == '#') return std::nullopt;
  const std::size_t equals = content.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return trimmed(content.substr(0, equals));
}

std::string_view valueOf(std::string_view line) {
  return trimmed(line.substr(line.find('=') + 1));
}

// Writes the lines beside the file and moves them over it, so that a reader never sees half a file.
bool writeLines(const std::wstring& path, const std::vector<std::string>& lines) {
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash != std::wstring::npos && !createFolders(path.substr(0, slash))) return false;
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  const std::wstring temporary = path + L".new";
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  if (!ok ||
      !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

StateFile StateFile::engine(const std::wstring& location) {
  return StateFile(location + L"\\$ENGINE\\state.txt");
}

StateFile StateFile::snapshot() const {
  StateFile held(path_);
  held.held_ = std::make_shared<const Entries>(entries());
  return held;
}

std::vector<std::pair<std::string, std::string>> StateFile::entries() const {
  if (held_) return *held_;
  std::vector<std::pair<std::string, std::string>> found;
  std::optional<std::string> bytes;
  {
    StateLock lock;
    bytes = readWholeFile(path_);
  }
  if (!bytes) return found;
  for (const std::string& line : splitLines(*bytes)) {
    const auto key = keyOf(line);
    if (!key || key->empty()) continue;
    bool known = false;
    for (const auto& entry : found) known = known || equalIgnoringCase(entry.first, *key);
    if (!known) found.emplace_back(std::string(*key), std::string(valueOf(line)));
  }
  return found;
}

std::optional<std::string> StateFile::get(std::string_view key) const {
  for (const auto& [name, value] : entries()) {
    if (equalIgnoringCase(name, key)) return value;
  }
  return std::nullopt;
}

std::string StateFile::get(std::string_view key, std::string_view fallback) const {
  return get(key).value_or(std::string(fallback));
}

std::optional<long> StateFile::number(std::string_view key) const {
  const std::optional<std::string> value = get(key);
  if (!value || value->empty()) return std::nullopt;
  char* end = nullptr;
  const long parsed = std::strtol(value->c_str(), &end, 10);
  if (end != value->c_str() + value->size() || !std::isdigit(static_cast<unsigned char>(value->back())))
    return std::nullopt;
  return parsed;
}

bool StateFile::isNo(std::string_view key) const {
  const std::optional<std::string> value = get(key);
  if (!value) return false;
  return equalIgnoringCase(*value, "no") || equalIgnoringCase(*value, "false") ||
         equalIgnoringCase(*value, "0") || equalIgnoringCase(*value, "off");
}

bool StateFile::set(std::string_view key, std::string_view value) {
  key = trimmed(key);
  value = trimmed(value);
  if (key.empty() || key.find('=') != std::string_view::npos || holdsLineBreak(key) || holdsLineBreak(value))
    return false;
  StateLock lock;
  std::vector<std::string> lines = splitLines(readWholeFile(path_).value_or(std::string()));
  const std::string line = std::string(key) + "=" + std::string(value);
  bool replaced = false;
  for (auto it = lines.begin(); it != lines.end();) {
    const auto lineKey = keyOf(*it);
    if (lineKey && equalIgnoringCase(*lineKey, key)) {
      if (replaced) {
        it = lines.erase(it);  // a later line of the same key would be shadowed anyway
        continue;
      }
      *it = line;
      replaced = true;
    }
    ++it;
  }
  if (!replaced) lines.push_back(line);
  held_.reset();
  return writeLines(path_, lines);
}

bool StateFile::remove(std::string_view key) {
  key = trimmed(key);
  held_.reset();
  StateLock lock;
  std::optional<std::string> bytes = readWholeFile(path_);
  if (!bytes) return true;
  std::vector<std::string> lines = splitLines(*bytes);
  const std::size_t before = lines.size();
  std::erase_if(lines, [key](const std::string& line) {
    const auto lineKey = keyOf(line);
    return lineKey && equalIgnoringCase(*lineKey, key);
  });
  return lines.size() == before || writeLines(path_, lines);
}

}  // namespace standin
