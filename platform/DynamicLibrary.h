#pragma once
// Libraries loaded at run time by name, with their exports resolved by name.

#include <memory>
#include <string>

namespace platform {

// Any exported function; callers convert it back to the export's own type before calling.
using ExportedFunction = void (*)();

class DynamicLibrary {
 public:
  virtual ~DynamicLibrary() = default;
  // The export with this name, or nullptr when the library has none.
  virtual ExportedFunction resolve(const char* exportName) = 0;
};

class LibraryLoader {
 public:
  virtual ~LibraryLoader() = default;
  // Loads the library through the system's search order; nullptr when it cannot be loaded.
  virtual std::unique_ptr<DynamicLibrary> load(const std::string& name) = 0;
};

}  // namespace platform
