#pragma once

#include <filesystem>
#include <string>

namespace pirell::testing {

// A fresh folder under the system's temporary folder for device and capture-file tests, removed
// with everything in it.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The UTF-8 path of `name` inside the folder.
  std::string File(const std::string& name) const {
    const std::u8string utf8 = (path_ / name).u8string();
    return std::string(utf8.begin(), utf8.end());
  }

 private:
  std::filesystem::path path_;
};

}  // namespace pirell::testing
