// The labels data of "PrintLabels" as any tree of host values (any types, dimensions, bounds and
// nesting), passed through the real dispatch of an enabled driver whose printer is a fake
// device. Every call must answer true or false with a code and a message.

#include <cstddef>
#include <cstdint>

#include "driver_session.h"
#include "variant_tree.h"

namespace {

pirell::fuzz::DriverSession& Session() {
  using namespace pirell;
  static fuzz::DriverSession* session = [] {
    auto* made = new fuzz::DriverSession();  // lives as long as the fuzzing process
    made->Open();
    made->Driver().SetSettingValue("PortName", Variant("USB001"));
    const fuzz::HostAnswer upload = made->Call(
        "UploadTemplate", Variant(VariantArray::Vector(
                              {Variant(1), Variant("t"), Variant(fuzz::SessionTemplate())})));
    if (!upload.ok) fuzz::Fail("upload failed: " + upload.message);
    if (!made->Call("Enable", Variant()).ok) fuzz::Fail("enable failed");
    return made;
  }();
  return *session;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pirell;
  fuzz::DriverSession& session = Session();
  fuzz::FuzzInput input(data, size);
  const std::uint8_t shape = input.Byte();
  Variant number = (shape & 0x80) ? fuzz::DecodeVariant(input) : Variant::Integer(1);
  Variant labels;
  if (shape & 0x40) {
    labels = fuzz::DecodeVariant(input);
  } else {
    // The three parts in place, each a tree of its own: reaches the label loop more often.
    labels = fuzz::DecodeVector(input, 4);
  }
  Variant in_data =
      (shape & 0x20) ? fuzz::DecodeVariant(input) : Variant(VariantArray::Vector({number, labels}));
  session.Call("PrintLabels", std::move(in_data));
  session.DeviceIo().received.clear();
  session.DeviceIo().events.clear();
  return 0;
}
