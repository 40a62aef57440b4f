#pragma once

#include <string>
#include <vector>

#include "platform/port_discovery.h"

namespace pirell {

// One USB printer the system knows.
struct TUSBPrintInfoRec {
  std::string interfacename;  // the path the port writer opens
  std::string devicename;     // where it is attached; empty when unknown
  std::string description;
  bool isenabled = false;  // present and not disabled
};

// The USB printers of the machine, in the order the system lists them.
class TUSBPrintList {
 public:
  explicit TUSBPrintList(platform::PortDiscovery& discovery = platform::SystemPortDiscovery());

  void Clear();
  // Lists the printers anew. False when the listing stopped early; the printers found until
  // then are kept.
  bool Refresh();
  int GetCount() const;
  // Raise an Error for an index outside 0..GetCount()-1.
  TUSBPrintInfoRec Get(int Index) const;
  TUSBPrintInfoRec& GetObject(int Index);

 private:
  void CheckIndex(int Index) const;

  platform::PortDiscovery& FDiscovery;
  std::vector<TUSBPrintInfoRec> FDevList;
};

}  // namespace pirell
