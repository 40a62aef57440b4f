#pragma once

#include <string>

namespace pirell::testing {

// A fresh empty folder below the system's temporary folder, removed with its content when the
// object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder without a trailing delimiter.
  const std::string& path() const { return path_; }
  // `name` inside the folder.
  std::string File(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace pirell::testing
