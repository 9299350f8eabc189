#pragma once
// The viewer's window over fakes: an in-memory registry and file set, the test toolkit.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "fakes/FakeFormToolkit.h"
#include "fakes/FakeRegistry.h"
#include "fakes/Fakes.h"
#include "logviewer/FrmMain.h"
#include "platform/FileReader.h"

extern const platform::StringEntry kQuillonStrings[];
extern const std::size_t kQuillonStringsCount;

namespace viewertest {

constexpr const char* kServiceInfo = "SOFTWARE\\Pellora\\Korvane\\ServiceInfo";
constexpr const char* kLocation = "C:\\Program Files\\Korvane";

// A view that holds its file, as a mapped view does; counts the views alive and spoils its bytes
// when it goes, so that a reader still using them shows it.
class HeldView : public platform::FileView {
 public:
  HeldView(std::string bytes, int& alive) : bytes_(std::move(bytes)), alive_(alive) { ++alive_; }
  ~HeldView() override {
    bytes_.assign(bytes_.size(), '#');
    --alive_;
  }
  HeldView(const HeldView&) = delete;
  HeldView& operator=(const HeldView&) = delete;
  std::string_view bytes() const override { return bytes_; }
  bool complete() const override { return true; }
  bool holdsFile() const override { return true; }

 private:
  std::string bytes_;
  int& alive_;
};

class FakeFiles : public platform::FileReader {
 public:
  // With holdFiles, views hold their files as mapped views do.
  std::unique_ptr<platform::FileView> view(const std::string& path) override {
    if (!holdFiles) return FileReader::view(path);
    opened.push_back(path);
    auto found = files.find(path);
    if (found == files.end()) return nullptr;
    return std::make_unique<HeldView>(found->second.bytes, heldViews);
  }
  std::optional<platform::FileContents> readAll(const std::string& path) override {
    opened.push_back(path);
    auto found = files.find(path);
    if (found == files.end()) return std::nullopt;
    return found->second;
  }
  // With tails, a file's last bytes are read alone, as the system's reader does.
  std::optional<platform::FileEnd> readEnd(const std::string& path, std::size_t most) override {
    if (!tails) return std::nullopt;
    auto contents = readAll(path);
    if (!contents) return std::nullopt;
    platform::FileEnd tail;
    tail.offset = contents->bytes.size() - std::min(most, contents->bytes.size());
    tail.contents.bytes = contents->bytes.substr(tail.offset);
    tail.contents.complete = contents->complete;
    return tail;
  }
  void put(const std::string& path, std::string bytes, bool complete = true) {
    files[path] = platform::FileContents{std::move(bytes), complete};
  }
  std::map<std::string, platform::FileContents> files;
  std::vector<std::string> opened;
  bool holdFiles = false;
  bool tails = false;
  int heldViews = 0;
};

// One master line in the engine's columns: date and time, a five-character tag, the number (four
// characters as given), a space, the rest.
inline std::string masterLine(const std::string& when, const std::string& number, const std::string& rest) {
  return when + " ENG " + number + " " + rest + "\r\n";
}

class ViewerTest : public ::testing::Test {
 protected:
  ViewerTest() { registry.putText(kServiceInfo, "Location", kLocation); }

  std::string masterPath() const { return std::string(kLocation) + "\\$LOGS\\KRV.log"; }
  std::string detailPath(const std::string& name) const {
    return std::string(kLocation) + "\\$LOGS\\" + name + ".log";
  }
  void putMaster(const std::string& bytes, bool complete = true) { files.put(masterPath(), bytes, complete); }
  void putDetail(const std::string& name, int lines) {
    std::string bytes;
    for (int i = 1; i <= lines; ++i)
      bytes += "12/08/2026 10:00:0" + std::to_string(i % 10) + " ENG step " + std::to_string(i) + "\r\n";
    files.put(detailPath(name), bytes);
  }

  // Builds, sets up and shows the window, as the program's entry does.
  quillon::FrmMain& open() {
    window = std::make_unique<quillon::FrmMain>(services);
    window->Form_Initialize();
    window->show();
    return *window;
  }

  // The texts of a master row: date, type, description.
  std::vector<std::string> row(std::size_t r) const {
    const ui::ListItem item = window->lvLogMaster.item(r);
    return {item.text, item.subItems.at(0), item.subItems.at(1)};
  }
  std::vector<std::string> types() const {
    std::vector<std::string> out;
    for (std::size_t r = 0; r < window->lvLogMaster.itemCount(); ++r)
      out.push_back(window->lvLogMaster.item(r).subItems.at(0));
    return out;
  }

  fakes::FakeFormToolkit toolkit;
  fakes::FakeRegistry registry;
  FakeFiles files;
  platform::Windows1252Codec codec;
  fakes::FakeLocale locale;
  platform::CompiledStringTable strings{kQuillonStrings, kQuillonStringsCount};
  quillon::ViewerServices services{toolkit, registry, files, codec, locale, strings};
  std::unique_ptr<quillon::FrmMain> window;
};

}  // namespace viewertest
