#pragma once

// The connections of the Windows platform layer, each opened by its own file.

#include <cstdint>
#include <string>

#include "platform/device_io.h"

namespace pirell::platform::windows_io {

// A handle opened with FILE_FLAG_OVERLAPPED whose writes are bounded by the write timeout (see
// WriteOverlapped) and whose status, when it has one, is the parallel port's.
DeviceOpenResult OpenPrinterDevice(const std::string& name, DeviceOpenMode mode);

// "COMn" (\\.\COMn) exclusively, with the line settings and the comm timeouts set and every
// result checked.
DeviceOpenResult OpenSerialPort(const std::string& port, const SerialLine& line);

// A Winsock connection to the first address of `host` that answers within `timeout_ms` in all.
DeviceOpenResult ConnectTcp(const std::string& host, std::uint16_t port, std::uint32_t timeout_ms);

// The regular disk file `path` for appending, created when missing; devices (by their reserved
// names or otherwise), pipes, folders and links are refused.
DeviceOpenResult OpenAppendFile(const std::string& path);

// A printer of the spooler: local, or shared as \\server\printer.
PrintQueueOpenResult OpenSpoolerQueue(const std::string& name);

}  // namespace pirell::platform::windows_io
