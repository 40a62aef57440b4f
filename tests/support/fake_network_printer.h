#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pirell::testing {

// A network printer on 127.0.0.1 that a test thread runs: it takes connections one after the
// other and keeps what each brought, or stalls (takes nothing), or hangs up after some bytes.
// It stops with the object, and on its own after a minute at the latest.
class FakeNetworkPrinter {
 public:
  enum class Behaviour {
    kRecord,       // reads each connection to its end
    kStall,        // accepts and never reads
    kHangUpAfter,  // closes the connection once `hang_up_after` bytes arrived, unread data left
  };

  explicit FakeNetworkPrinter(Behaviour behaviour = Behaviour::kRecord,
                              std::size_t hang_up_after = 0);
  ~FakeNetworkPrinter();
  FakeNetworkPrinter(const FakeNetworkPrinter&) = delete;
  FakeNetworkPrinter& operator=(const FakeNetworkPrinter&) = delete;

  // The port it listens on; 0 when it could not listen.
  std::uint16_t port() const { return port_; }
  // "127.0.0.1:PORT".
  std::string Address() const;
  // What the connections brought, in order, once `count` of them have ended; waits up to
  // `timeout_ms` and gives what there is then.
  std::vector<std::string> Jobs(std::size_t count, int timeout_ms = 10000);

  // A port on 127.0.0.1 where nobody listens: connections to it are refused.
  static std::uint16_t ClosedPort();

 private:
  void Serve();

  Behaviour behaviour_;
  std::size_t hang_up_after_;
  std::uintptr_t listener_;
  std::uint16_t port_ = 0;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> jobs_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace pirell::testing
