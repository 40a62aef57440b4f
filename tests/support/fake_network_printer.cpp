#include "support/fake_network_printer.h"

#ifdef _WIN32
#include <winsock2.h>
// winsock2.h before the rest.
#include <ws2tcpip.h>
using SocketHandle = SOCKET;
using SocketLength = int;
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
using SocketHandle = int;
using SocketLength = socklen_t;
constexpr SocketHandle INVALID_SOCKET = -1;
#endif

#include <algorithm>
#include <chrono>
#include <thread>

namespace pirell::testing {
namespace {

// How long one wait for a connection or for data lasts before the stop flag is looked at, and
// how long the printer serves at most.
constexpr long kPollMicroseconds = 20000;
constexpr auto kLongestService = std::chrono::seconds(60);

void CloseSocket(SocketHandle socket) {
#ifdef _WIN32
  closesocket(socket);
#else
  ::close(socket);
#endif
}

// Winsock is started for the fake printer's life (the calls count).
struct SocketsStarted {
  SocketsStarted() {
#ifdef _WIN32
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
#endif
  }
  ~SocketsStarted() {
#ifdef _WIN32
    WSACleanup();
#endif
  }
};

// Whether `socket` has something to read (a connection, data or the end) within one poll step.
bool Readable(SocketHandle socket) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(socket, &set);
  timeval wait{0, kPollMicroseconds};
  return select(static_cast<int>(socket) + 1, &set, nullptr, nullptr, &wait) > 0;
}

// A listener on 127.0.0.1 at a port the system picks, and that port.
SocketHandle Listen(std::uint16_t& port) {
  const SocketHandle listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) return listener;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  SocketLength length = sizeof address;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener, 4) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    CloseSocket(listener);
    return INVALID_SOCKET;
  }
  port = ntohs(address.sin_port);
  return listener;
}

}  // namespace

FakeNetworkPrinter::FakeNetworkPrinter(Behaviour behaviour, std::size_t hang_up_after)
    : behaviour_(behaviour), hang_up_after_(hang_up_after) {
  static SocketsStarted started;
  listener_ = static_cast<std::uintptr_t>(Listen(port_));
  if (static_cast<SocketHandle>(listener_) != INVALID_SOCKET)
    thread_ = std::thread([this] { Serve(); });
}

FakeNetworkPrinter::~FakeNetworkPrinter() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  if (thread_.joinable()) thread_.join();
  if (static_cast<SocketHandle>(listener_) != INVALID_SOCKET)
    CloseSocket(static_cast<SocketHandle>(listener_));
}

std::string FakeNetworkPrinter::Address() const {
  return "127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> FakeNetworkPrinter::Jobs(std::size_t count, int timeout_ms) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                    [&] { return jobs_.size() >= count; });
  return jobs_;
}

std::uint16_t FakeNetworkPrinter::ClosedPort() {
  static SocketsStarted started;
  std::uint16_t port = 0;
  const SocketHandle listener = Listen(port);
  if (listener != INVALID_SOCKET) CloseSocket(listener);
  return port;
}

void FakeNetworkPrinter::Serve() {
  const auto end = std::chrono::steady_clock::now() + kLongestService;
  auto stopping = [&] {
    std::lock_guard lock(mutex_);
    return stop_ || std::chrono::steady_clock::now() >= end;
  };
  const auto listener = static_cast<SocketHandle>(listener_);
  while (!stopping()) {
    if (!Readable(listener)) continue;
    const SocketHandle client = accept(listener, nullptr, nullptr);
    if (client == INVALID_SOCKET) continue;
    std::string job;
    bool ended = false;
    while (!ended && !stopping()) {
      if (behaviour_ == Behaviour::kStall) {
        std::this_thread::sleep_for(std::chrono::microseconds(kPollMicroseconds));
        continue;
      }
      if (!Readable(client)) continue;
      char buffer[65536];
      std::size_t wanted = sizeof buffer;
      if (behaviour_ == Behaviour::kHangUpAfter)
        wanted = std::min(wanted, hang_up_after_ - job.size());
      const auto n = recv(client, buffer, static_cast<int>(wanted), 0);
      if (n <= 0) break;
      job.append(buffer, static_cast<std::size_t>(n));
      ended = behaviour_ == Behaviour::kHangUpAfter && job.size() >= hang_up_after_;
    }
    CloseSocket(client);
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
    changed_.notify_all();
  }
}

}  // namespace pirell::testing
