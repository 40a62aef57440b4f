#pragma once

#include <cstdint>

namespace pirell {

// COM status codes the dispatch answers with. Kept as our own constants so that the portable core
// does not depend on the platform's headers; the values are those of the OLE Automation ABI.
using HResult = std::int32_t;

namespace hr {
constexpr HResult Ok = 0;
constexpr HResult False = 1;
constexpr HResult NotImpl = static_cast<HResult>(0x80004001u);
constexpr HResult NoInterface = static_cast<HResult>(0x80004002u);
constexpr HResult Pointer = static_cast<HResult>(0x80004003u);
constexpr HResult Fail = static_cast<HResult>(0x80004005u);
constexpr HResult OutOfMemory = static_cast<HResult>(0x8007000Eu);
constexpr HResult InvalidArg = static_cast<HResult>(0x80070057u);
constexpr HResult DispMemberNotFound = static_cast<HResult>(0x80020003u);
constexpr HResult DispUnknownName = static_cast<HResult>(0x80020006u);
constexpr HResult DispException = static_cast<HResult>(0x80020009u);
constexpr HResult DispBadParamCount = static_cast<HResult>(0x8002000Eu);
}  // namespace hr

constexpr bool Succeeded(HResult h) {
  return h >= 0;
}

// Invoke flags.
constexpr std::uint16_t kDispatchMethod = 1;
constexpr std::uint16_t kDispatchPropertyGet = 2;

using DispId = std::int32_t;

}  // namespace pirell
