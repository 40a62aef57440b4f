#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pirell::preview {

// Numbers of a command are taken within this bound, far beyond any label (82 metres at 203 dots
// per inch), so that sums of a few of them never overflow.
inline constexpr std::int64_t kMaxParameter = std::int64_t{1} << 24;

// Reads the comma-separated parameters of one command from left to right. Each read fails (gives
// nothing) when the parameter is missing or has the wrong form; the reader then stays where it
// was.
class Epl2Parameters {
 public:
  explicit Epl2Parameters(std::string_view text) : rest_(text) {}

  // A decimal integer with an optional minus sign, within +-kMaxParameter.
  std::optional<std::int64_t> Number();
  // Letters, digits and other characters up to the next comma (may be empty).
  std::optional<std::string_view> Word();
  // Data between double quotes: a backslash takes the next character as it is. Text after the
  // closing quote is left unread.
  std::optional<std::string> Quoted();

  // The data of a barcode: quoted parts and Code 128's function characters "F1" to "F4" one
  // after the other, with nothing after them.
  struct BarcodeData {
    std::string bytes;        // the quoted parts, a GS (character 29) for each FNC1
    bool fnc1_first = false;  // the data starts with FNC1: a GS1 symbol
    int other_functions = 0;  // FNC2 to FNC4
  };
  std::optional<BarcodeData> Barcode();

  bool AtEnd() const { return rest_.empty(); }

 private:
  // Steps over the comma before every parameter but the first.
  bool Separator();

  std::string_view rest_;
  bool first_ = true;
};

}  // namespace pirell::preview
