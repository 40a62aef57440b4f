#pragma once

#include <cstdint>
#include <vector>

namespace pirell {

enum TPrintingMode : std::uint8_t {
  pmDirect = 0,    // direct thermal paper
  pmTransfer = 1,  // thermal transfer ribbon
};

// What the driver settings ask of the printer for every label.
struct TPrintParams {
  std::int32_t Width = 0;   // print width, whole millimetres
  std::int32_t Height = 0;  // print height, whole millimetres
  std::int32_t Gap = 0;     // gap between labels, whole millimetres
  TPrintingMode PrintingMode = pmDirect;
  std::int32_t Darkness = 0;
  std::int32_t Speed = 0;  // a speed code: the Index of an entry of the model's speed table
};

// One selectable speed of a printer model.
struct TPrintSpeed {
  std::int32_t Index = 0;  // the code the printer takes
  double IPS = 0;          // inches per second, shown to the user
};

// What a printer model can do.
struct TPrinterModelProps {
  std::vector<TPrintSpeed> PrintSpeeds;  // in registration order
  std::int32_t DPI = 0;                  // print head resolution, dots per inch
  bool CapFontsDownload = false;
  bool CapFormsDownload = false;
  std::int32_t MaxDarkness = 0;
  std::int32_t DefDarkness = 0;
};

}  // namespace pirell
