#pragma once

#include <stdexcept>
#include <string>

#include "common/result_code.h"

namespace pirell {

// A failure raised inside the driver. It carries the name of its kind because the dispatch
// reports that name to the host (as the source of a COM exception and in the debug log).
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message, std::string type_name = "EDriverError")
      : std::runtime_error(message), type_name_(std::move(type_name)) {}
  const std::string& TypeName() const { return type_name_; }

 private:
  std::string type_name_;
};

// A value that cannot be converted to the requested type.
class ConversionError : public Error {
 public:
  explicit ConversionError(const std::string& message) : Error(message, "EVariantTypeCastError") {}
};

// An array element read outside the array's bounds, or a value that is not an array.
class ArrayError : public Error {
 public:
  explicit ArrayError(const std::string& message) : Error(message, "EVariantArrayError") {}
};

// A failure with a result code of its own: a public call that raises it answers that code, with
// the code's message, a colon and this message as the detail. The message is Russian.
class CodedError : public Error {
 public:
  CodedError(ResultCode code, const std::string& message, std::string type_name)
      : Error(message, std::move(type_name)), code_(code) {}
  ResultCode Code() const { return code_; }

 private:
  ResultCode code_;
};

// Input over one of the driver's size limits (a picture, a field box, a template, a job, the
// nesting of arrays, the template file): code 1004.
class LimitError : public CodedError {
 public:
  explicit LimitError(const std::string& message)
      : CodedError(rc::BadParameters, message, "ELimitError") {}
};

// A host call that arrives while another call of the same object is still running (from a
// message served while the first one waits): code 1009.
class BusyError : public CodedError {
 public:
  explicit BusyError(const std::string& message) : CodedError(rc::Busy, message, "EDeviceBusy") {}
};

// A failure reported by a late-bound object of the host.
class HostError : public Error {
 public:
  explicit HostError(const std::string& message) : Error(message, "EOleException") {}
};

}  // namespace pirell
