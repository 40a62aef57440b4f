#include <errno.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>

#include <memory>
#include <string>

#include "platform/linux/device_io_linux.h"
#include "platform/linux/fd_device.h"

namespace pirell::platform::linux_devices {
namespace {

// The resolver's reason why a host name gave no address, for the host to read.
std::string LookupFailure(int code) {
  switch (code) {
    case EAI_NONAME:
    case EAI_NODATA:
      return "Узел с таким именем не найден";
    case EAI_AGAIN:
      return "Сервер имён временно не отвечает";
    case EAI_FAIL:
      return "Сервер имён не смог найти адрес узла";
    case EAI_ADDRFAMILY:
      return "У узла нет адреса нужного семейства";
    default:
      return std::string("Не удалось найти адрес узла: ") + gai_strerror(code);
  }
}

struct AddressListFree {
  void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

// 0 when `fd` connects to `address` before `deadline`; otherwise the error.
int ConnectBefore(int fd, const addrinfo& address, std::uint64_t deadline) {
  if (::connect(fd, address.ai_addr, address.ai_addrlen) == 0) return 0;
  if (errno != EINPROGRESS) return errno;
  for (;;) {
    const std::uint64_t now = MonotonicMs();
    if (now >= deadline) return ETIMEDOUT;
    pollfd waiting{fd, POLLOUT, 0};
    const int ready = ::poll(&waiting, 1, static_cast<int>(deadline - now));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return errno;
    if (ready == 0) return ETIMEDOUT;
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
    return error;
  }
}

}  // namespace

DeviceOpenResult ConnectTcp(const std::string& host, std::uint16_t port, std::uint32_t timeout_ms) {
  const std::uint64_t deadline = MonotonicMs() + timeout_ms;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int looked_up = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
  if (looked_up == EAI_SYSTEM) return DeviceOpenResult::Failed(errno);
  if (looked_up != 0) return DeviceOpenResult::Unreachable(LookupFailure(looked_up));
  const std::unique_ptr<addrinfo, AddressListFree> addresses(found);

  int last_error = EHOSTUNREACH;
  for (const addrinfo* address = found; address; address = address->ai_next) {
    UniqueFd fd(::socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                         address->ai_protocol));
    if (!fd.valid()) {
      last_error = errno;
      continue;
    }
    last_error = ConnectBefore(fd.get(), *address, deadline);
    if (last_error == 0)
      return DeviceOpenResult::Opened(std::make_unique<FdDevice>(fd.release(), FdKind::kSocket));
    if (last_error == ETIMEDOUT) break;
  }
  return DeviceOpenResult::Failed(last_error);
}

}  // namespace pirell::platform::linux_devices
