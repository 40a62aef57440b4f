#include <winsock2.h>
// winsock2.h before windows.h.
#include <windows.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <memory>

#include "platform/windows/device_io_windows.h"
#include "platform/windows/overlapped_io.h"
#include "platform/windows/wide.h"

namespace pirell::platform::windows_io {
namespace {

constexpr std::uint32_t kDefaultWriteTimeoutMs = 20000;

// Winsock is started for each connection and cleaned up with it; the calls count.
class WinsockUse {
 public:
  WinsockUse() {
    WSADATA data{};
    error_ = WSAStartup(MAKEWORD(2, 2), &data);
  }
  ~WinsockUse() {
    if (error_ == 0) WSACleanup();
  }
  WinsockUse(const WinsockUse&) = delete;
  WinsockUse& operator=(const WinsockUse&) = delete;
  int error() const { return error_; }

 private:
  int error_;
};

class Socket {
 public:
  explicit Socket(SOCKET socket = INVALID_SOCKET) : socket_(socket) {}
  ~Socket() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  SOCKET get() const { return socket_; }
  SOCKET release() { return std::exchange(socket_, INVALID_SOCKET); }

 private:
  SOCKET socket_;
};

struct AddressListFree {
  void operator()(ADDRINFOW* list) const { FreeAddrInfoW(list); }
};

// Errors after which a connection carries nothing more.
bool ConnectionLost(int error) {
  switch (error) {
    case WSAECONNRESET:
    case WSAECONNABORTED:
    case WSAENOTCONN:
    case WSAESHUTDOWN:
    case WSAETIMEDOUT:
    case WSAENETRESET:
    case WSAEHOSTUNREACH:
    case WSAENETUNREACH:
    case WSAENETDOWN:
      return true;
    default:
      return false;
  }
}

// A non-blocking socket whose network events signal `event_`: every wait serves the thread's
// messages and ends at the write timeout.
class SocketDevice : public Device {
 public:
  SocketDevice(std::unique_ptr<WinsockUse> winsock, SOCKET socket, HANDLE event)
      : winsock_(std::move(winsock)), socket_(socket), event_(event) {}
  ~SocketDevice() override {
    // The socket goes first: its events are tied to the event object.
    Socket closing(socket_.release());
  }

  DeviceWriteResult Write(std::string_view bytes) override {
    if (bytes.empty()) return {};
    const DWORD start = GetTickCount();
    const int length = static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX));
    for (;;) {
      const int sent = send(socket_.get(), bytes.data(), length, 0);
      if (sent != SOCKET_ERROR) return {true, static_cast<std::size_t>(sent), 0, false};
      const int error = WSAGetLastError();
      if (error != WSAEWOULDBLOCK) return {false, 0, error, ConnectionLost(error)};
      const DWORD elapsed = GetTickCount() - start;
      if (elapsed >= write_timeout_ms_) return {};
      // FD_WRITE is signalled again once the socket can take more after a refused send.
      if (!WaitServingMessages(event_.get(), write_timeout_ms_ - elapsed)) return {};
      WSANETWORKEVENTS events{};
      if (WSAEnumNetworkEvents(socket_.get(), event_.get(), &events) != 0) {
        const int failed = WSAGetLastError();
        return {false, 0, failed, ConnectionLost(failed)};
      }
      if ((events.lNetworkEvents & FD_CLOSE) && events.iErrorCode[FD_CLOSE_BIT] != 0) {
        const int closed = events.iErrorCode[FD_CLOSE_BIT];
        return {false, 0, closed, true};
      }
    }
  }

  std::optional<std::uint8_t> Status() override { return std::nullopt; }
  bool SetWriteTimeout(std::uint32_t ms) override {
    write_timeout_ms_ = ms;
    return true;
  }
  bool Flush() override { return false; }

 private:
  std::unique_ptr<WinsockUse> winsock_;
  Socket socket_;
  KernelHandle event_;
  std::uint32_t write_timeout_ms_ = kDefaultWriteTimeoutMs;
};

// 0 when `socket` connects to `address` within `timeout_ms`; otherwise the error.
int ConnectWithin(SOCKET socket, HANDLE event, const ADDRINFOW& address, DWORD timeout_ms) {
  if (WSAEventSelect(socket, event, FD_CONNECT | FD_WRITE | FD_CLOSE) != 0)
    return WSAGetLastError();
  if (connect(socket, address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0) return 0;
  const int error = WSAGetLastError();
  if (error != WSAEWOULDBLOCK) return error;
  if (!WaitServingMessages(event, timeout_ms)) return WSAETIMEDOUT;
  WSANETWORKEVENTS events{};
  if (WSAEnumNetworkEvents(socket, event, &events) != 0) return WSAGetLastError();
  if (!(events.lNetworkEvents & FD_CONNECT)) return WSAETIMEDOUT;
  return events.iErrorCode[FD_CONNECT_BIT];
}

}  // namespace

DeviceOpenResult ConnectTcp(const std::string& host, std::uint16_t port, std::uint32_t timeout_ms) {
  const DWORD start = GetTickCount();
  auto winsock = std::make_unique<WinsockUse>();
  if (winsock->error() != 0) return DeviceOpenResult::Failed(winsock->error());
  ADDRINFOW hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  ADDRINFOW* found = nullptr;
  const int looked_up =
      GetAddrInfoW(Widen(host).c_str(), std::to_wstring(port).c_str(), &hints, &found);
  if (looked_up != 0) return DeviceOpenResult::Failed(looked_up);
  const std::unique_ptr<ADDRINFOW, AddressListFree> addresses(found);

  int last_error = WSAEHOSTUNREACH;
  for (const ADDRINFOW* address = found; address; address = address->ai_next) {
    Socket socket(::socket(address->ai_family, address->ai_socktype, address->ai_protocol));
    if (socket.get() == INVALID_SOCKET) {
      last_error = WSAGetLastError();
      continue;
    }
    KernelHandle event(WSACreateEvent());
    if (!event.valid()) return DeviceOpenResult::Failed(WSAGetLastError());
    const DWORD elapsed = GetTickCount() - start;
    const DWORD remaining = elapsed >= timeout_ms ? 0 : timeout_ms - elapsed;
    last_error = ConnectWithin(socket.get(), event.get(), *address, remaining);
    if (last_error == 0) {
      return DeviceOpenResult::Opened(
          std::make_unique<SocketDevice>(std::move(winsock), socket.release(), event.release()));
    }
    if (last_error == WSAETIMEDOUT) break;
  }
  return DeviceOpenResult::Failed(last_error);
}

}  // namespace pirell::platform::windows_io
