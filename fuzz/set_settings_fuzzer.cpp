// The settings table of "SetSettings" as any tree of host values, through the real dispatch of
// a fresh driver; then the settings are read back and used: enabling, printing, initialising
// the printer. Every call must answer true or false with a code and a message.

#include <cstddef>
#include <cstdint>

#include "driver_session.h"
#include "variant_tree.h"

namespace {

// Rows named by setting identifiers, with values of any type.
pirell::Variant SettingsTable(pirell::fuzz::FuzzInput& input) {
  using namespace pirell;
  constexpr const char* kIds[] = {"PortName",
                                  "PortType",
                                  "PrinterModel",
                                  "PrinterType",
                                  "PrintWidth",
                                  "PrintHeight",
                                  "PrintGap",
                                  "PrintMode",
                                  "PrintDarkness",
                                  "PrintSpeed",
                                  "portname",
                                  "NoSuchRow",
                                  "UploadTemplateToPrinter"};
  const std::int32_t rows = input.Byte() % 8;
  VariantArray table = VariantArray::Table(2, rows);
  for (std::int32_t i = 0; i < rows; ++i) {
    const std::uint8_t pick = input.Byte();
    table.At({0, i}) =
        pick < 200 ? Variant(kIds[pick % std::size(kIds)]) : fuzz::DecodeVariant(input);
    table.At({1, i}) = fuzz::DecodeVariant(input);
  }
  return Variant(VariantArray::Vector({Variant(std::move(table))}));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pirell;
  fuzz::FuzzInput input(data, size);
  fuzz::DriverSession session;
  session.Open();
  const std::uint8_t shape = input.Byte();
  Variant in_data = (shape & 1) ? fuzz::DecodeVariant(input) : SettingsTable(input);
  session.Call("SetSettings", std::move(in_data));
  session.Call("GetSettings", Variant());
  if (shape & 2) {
    const Variant upload =
        VariantArray::Vector({Variant(1), Variant("t"), Variant(fuzz::SessionTemplate())});
    session.Call("UploadTemplate", upload);
  }
  if (session.Call("Enable", Variant()).ok) {
    Variant labels = VariantArray::Vector({Variant(VariantArray::Table(2, 0)),
                                           Variant(VariantArray::Vector({Variant("Name")})),
                                           Variant(VariantArray::Table(1, 1))});
    session.Call("PrintLabels", Variant(VariantArray::Vector({Variant(1), labels})));
    session.Call("InitializePrinter", Variant());
    session.Call("GetDeviceInfo", Variant());
    session.Call("Disable", Variant());
  }
  return 0;
}
