#pragma once
// The user's folders and the files the manager looks at or writes.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The user's folders by their shell identifiers (CSIDL values).
inline constexpr int kFolderDocuments = 5;
inline constexpr int kFolderMusic = 13;
inline constexpr int kFolderVideos = 14;
inline constexpr int kFolderPictures = 39;
inline constexpr int kFolderProfile = 40;

inline constexpr std::uint32_t kAttributeDirectory = 0x10;  // FILE_ATTRIBUTE_DIRECTORY

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // The user's folder as the system knows it now (its current location, no access token), up to
  // the first NUL of a 260-character answer; nothing when the system has none.
  virtual std::optional<std::string> userFolder(int csidl) = 0;
  // The attributes of the file or folder; nothing when it does not exist or cannot be looked at.
  virtual std::optional<std::uint32_t> attributes(const std::string& path) = 0;
  // Creates or overwrites the file with exactly these bytes; a relative path lies in the process's
  // current directory. False when the file could not be written completely.
  virtual bool writeFile(const std::string& path, const std::string& bytes) = 0;
};

}  // namespace platform
