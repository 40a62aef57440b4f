#pragma once

#include <unistd.h>

#include <utility>

namespace pirell::platform {

// Owns a file descriptor until released.
class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  ~UniqueFd() { Close(); }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release() { return std::exchange(fd_, -1); }
  // Closes the descriptor held and takes `fd`.
  void reset(int fd) {
    Close();
    fd_ = fd;
  }

 private:
  void Close() {
    if (fd_ >= 0) ::close(fd_);
  }
  int fd_;
};

}  // namespace pirell::platform
