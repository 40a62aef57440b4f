// A print job of any bytes, drawn by the preview's ZPL II renderer: it is drawn to its end, holds
// no more than a label, a command and two rows of a graphic field however long the job, and draws
// the same pictures and warnings whether it is fed whole or in pieces of the size the input's first
// byte chooses.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "languages/zpl/zpl_render_reader.h"
#include "render_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pirell;
  fuzz::FuzzInput input(data, size);
  const std::size_t piece = 1 + input.Byte() % 64;
  const std::string job = input.Rest();
  fuzz::CheckJobRenderer(TPrinterLanguage::ZplII, 203, piece, job,
                         preview::ZplCommandReader::kMaxCommandBytes);
  return 0;
}
