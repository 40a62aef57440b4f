#pragma once

#include <string>

#include "rendering/print_params.h"

namespace pirell {

// The label the device test prints after the printer's own configuration, so that the user sees
// the driver's fields come out of this printer and can try the shop's scanner on them: a title
// and the model in the printer's font, a Code 128 barcode, a DataMatrix and a QR code, laid out
// on the print area of the settings. The fields take their values from the names "Title",
// "Model" and "Code". Without the two-dimensional symbols when the label is too small for them.
std::string TestLabelTemplate(const TPrintParams& params);

}  // namespace pirell
