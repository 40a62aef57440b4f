#pragma once

#include <cstdint>

namespace pirell {

// Result code of a host method: 0 is success.
using ResultCode = std::int32_t;

// Codes this driver returns.
namespace rc {
constexpr ResultCode Ok = 0;
constexpr ResultCode NotEnabled = 70;
constexpr ResultCode CancelledByUser = 201;
constexpr ResultCode Unknown = 1001;
constexpr ResultCode NotSupported = 1003;
constexpr ResultCode BadParameters = 1004;
constexpr ResultCode NoAnswer = 1007;
constexpr ResultCode NotReady = 1008;
constexpr ResultCode Busy = 1009;
constexpr ResultCode PortUnavailable = 1011;
constexpr ResultCode TemplateNotLoaded = 13001;
constexpr ResultCode UnknownPrinterModel = 13501;
// The driver's own range of codes.
constexpr ResultCode DriverRangeFirst = 13501;
constexpr ResultCode DriverRangeLast = 14000;
}  // namespace rc

}  // namespace pirell
