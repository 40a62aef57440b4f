#pragma once

// A pseudo-terminal standing in for a printer on a serial line or a device node (Linux tests
// only): the driver writes to its device node, the test reads what arrived on the other side and
// the line settings the driver chose.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cstdint>
#include <string>

namespace pirell::testing {

class PseudoTerminal {
 public:
  PseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    termios raw{};
    tcgetattr(master_, &raw);
    cfmakeraw(&raw);
    tcsetattr(master_, TCSANOW, &raw);
    device_ = ptsname(master_);
  }
  ~PseudoTerminal() {
    if (master_ >= 0) close(master_);
  }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  const std::string& device() const { return device_; }
  // The line settings of the terminal, which both sides share.
  termios Line() const {
    termios line{};
    tcgetattr(master_, &line);
    return line;
  }
  // Everything that has arrived so far, waiting up to `wait_ms` for the first bytes.
  std::string Received(int wait_ms = 0) {
    std::string bytes;
    char buffer[4096];
    pollfd ready{master_, POLLIN, 0};
    int timeout = wait_ms;
    while (poll(&ready, 1, timeout) > 0) {
      const ssize_t n = read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      bytes.append(buffer, static_cast<std::size_t>(n));
      timeout = 0;
    }
    return bytes;
  }

 private:
  int master_ = -1;
  std::string device_;
};

}  // namespace pirell::testing
