// A label template from the host, whatever its text: parsed into a label document, its
// pictures decoded, and two labels turned into EPL2 commands with every field bound ("Name",
// "Price", "Code", "Logo" and "Mark", a marking code).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "common/errors.h"
#include "rendering/printer_registry.h"
#include "rendering/printer_type_base.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pirell;
  static const std::unique_ptr<TPrinterTypeBase> generator = [] {
    std::unique_ptr<TPrinterTypeBase> made = CreatePrinterOfModel(0);
    TPrintParams& params = made->PrintParams();
    params.Width = 58;
    params.Height = 40;
    params.Gap = 2;
    params.Darkness = 7;
    params.Speed = 4;
    return made;
  }();
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    generator->LabelObj().LoadFromString(text);
  } catch (const Error&) {
    return 0;  // not a label document: refused with a message
  }
  try {
    generator->InitTask();
    const char* const values[2][5] = {
        {"Молоко 3,2%", "12.50", "4600000000017", "logo.bmp",
         "0104601234567893215abc!%\"\\\03593dGVz"},
        {"", "-0", "ABC-123 \"quoted\" \\", "C:\\missing\\picture.bmp", "(01)04601234567894(21)"}};
    for (const auto& label : values) {
      generator->InitLabel();
      generator->ValuesList().Add("Name", label[0]);
      generator->ValuesList().Add("Price", label[1]);
      generator->ValuesList().Add("Code", label[2]);
      generator->ValuesList().Add("Logo", label[3]);
      generator->ValuesList().Add("Mark", label[4]);
      generator->MakeLabelScript(2);
    }
  } catch (const Error&) {
    // A label that cannot be generated is refused with a message.
  }
  return 0;
}
