#pragma once

#include <cstddef>
#include <string_view>

#include "rendering/printer_language.h"

namespace pirell::fuzz {

// Labels up to 1000 dots a side keep every input quick.
inline constexpr int kRenderLabelDots = 1000;

// Draws `job` with the preview's reader of `language` at `dpi` twice, fed whole and in pieces of
// `piece` bytes, and stops the fuzzer (Fail) when the two differ in their pictures, warnings or
// summaries, or when the reader fed in pieces holds more than two labels' pictures and two
// command lines of `line_bytes`.
void CheckJobRenderer(TPrinterLanguage language, int dpi, std::size_t piece, std::string_view job,
                      std::size_t line_bytes);

}  // namespace pirell::fuzz
