#pragma once

#include <stdexcept>
#include <string>

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

// Input over one of the driver's size limits (a picture, a field box, a template, a job, the
// nesting of arrays). Its message is Russian: it reaches the host beside the result code.
class LimitError : public Error {
 public:
  explicit LimitError(const std::string& message) : Error(message, "ELimitError") {}
};

// A failure reported by a late-bound object of the host.
class HostError : public Error {
 public:
  explicit HostError(const std::string& message) : Error(message, "EOleException") {}
};

}  // namespace pirell
