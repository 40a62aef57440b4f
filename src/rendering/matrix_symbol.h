#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pirell {

// The two-dimensional symbologies of a "2DShk" field.
enum class T2DSymbology : std::uint8_t {
  DataMatrix,
  Gs1DataMatrix,  // marking codes: FNC1 first, GS between the elements
  QrCode,
  Pdf417,
  Aztec,
};

// The symbology a "BarCodeType" text names: its Latin letters in upper case contain
// "GS1_DATAMATRIX" (or "GS1DATAMATRIX"), "DATAMATRIX", "QR", "PDF417" or "AZTEC", tested in this
// order; an empty text is DataMatrix. None for any other text.
std::optional<T2DSymbology> SymbologyFromName(std::string_view name);
// How the driver's texts name it: "DataMatrix", "GS1 DataMatrix", "QR", "PDF417", "Aztec".
std::string_view SymbologyName(T2DSymbology symbology);

// A symbol's modules, row by row from the top, quiet zones not included.
class TModuleMatrix {
 public:
  TModuleMatrix() = default;
  TModuleMatrix(int width, int height)
      : width_(width), height_(height), dark_(static_cast<std::size_t>(width) * height) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Dark(int x, int y) const { return dark_[Index(x, y)] != 0; }
  void SetDark(int x, int y) { dark_[Index(x, y)] = 1; }
  friend bool operator==(const TModuleMatrix&, const TModuleMatrix&) = default;

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> dark_;
};

// A value encoded as a symbol, or the reason it cannot be (Russian).
struct TMatrixSymbol {
  TModuleMatrix modules;
  std::string refusal;
  bool ok() const { return refusal.empty(); }
};

// Encodes a field's value. DataMatrix, QR, PDF417 and Aztec take the value's UTF-8 bytes; a value
// with any character beyond ASCII is marked as UTF-8 (ECI 26), so that a phone reads the same
// text back. GS1 DataMatrix takes a GS1 element string (ParseGs1ElementString). The error
// correction is QR's "L", "M" (default), "Q" or "H", PDF417's level "0" to "8" or Aztec's
// percentage; empty gives the symbology's recommended level; DataMatrix has one level of its own.
TMatrixSymbol EncodeMatrixSymbol(T2DSymbology symbology, std::string_view value,
                                 std::string_view error_correction);

}  // namespace pirell
