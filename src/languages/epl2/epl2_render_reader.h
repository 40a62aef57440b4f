#pragma once

#include "preview/command_line_reader.h"

namespace pirell::preview {

// Splits an EPL2 job into command lines and the raw raster data that follows a "GW" header,
// which ends at its fourth comma when the raster follows on the same line.
class Epl2CommandReader : public CommandLineReader {
 public:
  explicit Epl2CommandReader(Handler& handler)
      : CommandLineReader(handler, CommandLineSyntax{"GW", 4, false, false}) {}
};

}  // namespace pirell::preview
