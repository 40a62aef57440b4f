#pragma once

#include <string>

namespace pirell::platform {

// Tells whether a serial or parallel port can be had right now, for the free/busy dots of the
// port chooser.
class PortOpener {
 public:
  virtual ~PortOpener() = default;
  // Opens the port named "COM1", "LPT2"... for reading and writing with nobody else let in,
  // and closes it at once. False when another program holds it and also when the machine has
  // no such port: the system does not always tell the two apart.
  virtual bool TryOpenPort(const std::string& name) = 0;
};

// The machine's ports.
PortOpener& SystemPortOpener();

}  // namespace pirell::platform
