#pragma once

#include <string>
#include <string_view>

namespace pirell {

// base64 with the alphabet of MIME (A-Z, a-z, 0-9, '+', '/', '=' padding).

// The encoding of `bytes`; with `line_length` > 0 a line feed follows every `line_length`
// characters except at the very end.
std::string Base64Encode(std::string_view bytes, std::size_t line_length = 0);

// The bytes encoded in `text`. Characters outside the alphabet (line breaks, blanks, anything
// else) are skipped; the first '=' ends the data. A final group of a single character carries no
// whole byte and is dropped.
std::string Base64Decode(std::string_view text);

}  // namespace pirell
