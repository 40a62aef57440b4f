#pragma once

#include "preview/command_line_reader.h"

namespace pirell::preview {

// Splits a TSPL job into command lines, the raw bitmap data that follows the fifth comma of a
// "BITMAP" command, and the immediate commands (ESC "!" and one character) that need no line end.
class TsplCommandReader : public CommandLineReader {
 public:
  explicit TsplCommandReader(Handler& handler)
      : CommandLineReader(handler, CommandLineSyntax{"BITMAP", 5, true, true}) {}
};

}  // namespace pirell::preview
