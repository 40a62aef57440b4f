// A print job of any bytes, drawn by the preview's TSPL renderer: it is drawn to its end, holds
// no more than a label and a command line however long the job, and draws the same pictures and
// warnings whether it is fed whole or in pieces of the size the input's first byte chooses, at
// the resolution its second byte chooses.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "languages/tspl/tspl_render_reader.h"
#include "render_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pirell;
  fuzz::FuzzInput input(data, size);
  const std::size_t piece = 1 + input.Byte() % 64;
  const int dpi = input.Byte() % 2 == 0 ? 203 : 300;
  const std::string job = input.Rest();
  fuzz::CheckJobRenderer(TPrinterLanguage::Tspl, dpi, piece, job,
                         preview::CommandLineReader::kMaxLineBytes);
  return 0;
}
