#pragma once

#include <string>

#include "driver_object/result_codes.h"

namespace pirell {

// A port the driver writes its printer commands to. The base port accepts everything and does
// nothing; each kind of connection overrides what it serves.
class TBasePort {
 public:
  TBasePort() = default;
  virtual ~TBasePort() = default;
  TBasePort(const TBasePort&) = delete;
  TBasePort& operator=(const TBasePort&) = delete;

  virtual ResultCode OpenPort() { return rc::Ok; }
  // `Data` holds the bytes for the printer.
  virtual ResultCode WriteToPort(const std::string& Data) {
    static_cast<void>(Data);
    return rc::Ok;
  }
  // Ends the work with the device. A port that hands a whole job over only now (a print queue)
  // reports here whether it was taken; the others answer 0.
  virtual ResultCode ClosePort() { return rc::Ok; }
  virtual void FlushBuffer() {}

  // Detail of the last failure.
  const std::string& LastErrorDescription() const { return FLastErrorDescription; }

 protected:
  std::string FLastErrorDescription;
};

}  // namespace pirell
