#pragma once
// An in-memory registry. Key and value names compare without regard to case, as the system's do;
// each value keeps its type and bytes exactly as stored (no conversion between the narrow and the
// wide calls), and a query fails when the value's data is larger than the caller's buffer.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "base/Unicode.h"
#include "platform/Registry.h"

namespace fakes {

class FakeRegistry : public platform::Registry {
 public:
  using Root = platform::RegistryRoot;
  static constexpr Root kMachine = Root::LocalMachine;

  struct Write {
    std::string key;
    std::string value;
    std::uint32_t type;
    std::string bytes;
    bool wide;
    bool stored;  // false when the write was made to fail
  };
  struct Query {
    std::string key;
    std::string value;
    std::size_t bufferBytes;
    bool wide;
  };

  // Puts a value in place as another program would have stored it.
  void put(const std::string& key, const std::string& value, std::uint32_t type, std::string bytes,
           Root root = kMachine) {
    keys_.insert(keyId(root, key));
    values_[valueId(root, key, value)] = {type, std::move(bytes)};
  }
  void putText(const std::string& key, const std::string& value, const std::string& ansi,
               Root root = kMachine) {
    put(key, value, platform::kRegSz, ansi + '\0', root);
  }
  void putNumber(const std::string& key, const std::string& value, std::int32_t number,
                 Root root = kMachine) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
      bytes[i] = static_cast<char>((static_cast<std::uint32_t>(number) >> (8 * i)) & 0xFF);
    put(key, value, platform::kRegDword, bytes, root);
  }
  void putWideText(const std::string& key, const std::string& value, const std::string& utf8,
                   Root root = kMachine) {
    std::string bytes;
    for (char16_t unit : platform::utf8ToUtf16(utf8) + u'\0') {
      bytes.push_back(static_cast<char>(unit & 0xFF));
      bytes.push_back(static_cast<char>(unit >> 8));
    }
    put(key, value, platform::kRegSz, bytes, root);
  }
  std::optional<platform::RegistryData> get(const std::string& key, const std::string& value,
                                            Root root = kMachine) const {
    const auto found = values_.find(valueId(root, key, value));
    if (found == values_.end()) return std::nullopt;
    return found->second;
  }

  std::optional<platform::RegistryData> queryNarrow(Root root, const std::string& key,
                                                    const std::string& value,
                                                    std::size_t bufferBytes) override {
    return query(root, key, value, bufferBytes, false);
  }
  std::optional<platform::RegistryData> queryWide(Root root, const std::string& key, const std::string& value,
                                                  std::size_t bufferBytes) override {
    return query(root, key, value, bufferBytes, true);
  }
  bool setNarrow(Root root, const std::string& key, const std::string& value, std::uint32_t type,
                 const std::string& bytes) override {
    return set(root, key, value, type, bytes, false);
  }
  bool setWide(Root root, const std::string& key, const std::string& value, std::uint32_t type,
               const std::string& bytes) override {
    return set(root, key, value, type, bytes, true);
  }
  bool deleteValue(Root root, const std::string& key, const std::string& value) override {
    deleted.push_back(key + "\\" + value);
    if (!keys_.count(keyId(root, key))) return false;
    return values_.erase(valueId(root, key, value)) == 1;
  }

  std::set<std::string> failingWrites;           // value names whose writes fail
  std::vector<std::string>* timeline = nullptr;  // when set, every write is noted there too
  std::vector<Write> writes;                     // every write asked for, in order
  std::vector<Query> queries;
  std::vector<std::string> deleted;

 private:
  using ValueId = std::tuple<Root, std::string, std::string>;
  static std::string lower(std::string text) {
    for (char& c : text)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
  }
  static std::pair<Root, std::string> keyId(Root root, const std::string& key) { return {root, lower(key)}; }
  static ValueId valueId(Root root, const std::string& key, const std::string& value) {
    return {root, lower(key), lower(value)};
  }

  std::optional<platform::RegistryData> query(Root root, const std::string& key, const std::string& value,
                                              std::size_t bufferBytes, bool wide) {
    queries.push_back({key, value, bufferBytes, wide});
    const auto found = get(key, value, root);
    if (!found || found->bytes.size() > bufferBytes) return std::nullopt;
    return found;
  }
  bool set(Root root, const std::string& key, const std::string& value, std::uint32_t type,
           const std::string& bytes, bool wide) {
    const bool fails = failingWrites.count(value) > 0;
    writes.push_back({key, value, type, bytes, wide, !fails});
    if (timeline) timeline->push_back("write " + value);
    if (fails) return false;
    put(key, value, type, bytes, root);
    return true;
  }

  std::set<std::pair<Root, std::string>> keys_;
  std::map<ValueId, platform::RegistryData> values_;
};

}  // namespace fakes
