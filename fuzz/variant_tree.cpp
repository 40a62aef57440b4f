#include "variant_tree.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "common/errors.h"
#include "support/fake_equipment_manager.h"

namespace pirell::fuzz {
namespace {

// Names the driver looks for: settings, label-data columns, field sources, and texts that
// convert to numbers, dates and Booleans.
constexpr const char* kWords[] = {"CopiesNumber",
                                  "copiesNUMBER",
                                  "Name",
                                  "Price",
                                  "DS",
                                  "PortName",
                                  "PortType",
                                  "PrinterModel",
                                  "PrinterType",
                                  "PrintWidth",
                                  "PrintHeight",
                                  "PrintGap",
                                  "PrintMode",
                                  "PrintDarkness",
                                  "PrintSpeed",
                                  "DebugLogEnabled",
                                  "UploadTemplateToPrinter",
                                  "12",
                                  "-3",
                                  "1.5",
                                  "1,5",
                                  "1e308",
                                  "65536",
                                  "0",
                                  "True",
                                  "false",
                                  "12.03.2015",
                                  "10:15:00",
                                  "",
                                  " ",
                                  "\xD0\xA6\xD0\xB5\xD0\xBD\xD0\xB0",
                                  "\xFF\xFE",
                                  "LPT1",
                                  "USB001",
                                  "2147483648",
                                  "-2147483649",
                                  "nan",
                                  "inf",
                                  "Code",
                                  "0104601234567893215abc!%\"\\\03593dGVz",
                                  "(01)04601234567893(21)ABC(17)261231",
                                  "0104601234567894"};

constexpr std::int32_t kLowerBounds[] = {0,
                                         0,
                                         0,
                                         1,
                                         -1,
                                         2,
                                         -7,
                                         1000,
                                         std::numeric_limits<std::int32_t>::max(),
                                         std::numeric_limits<std::int32_t>::max() - 1,
                                         std::numeric_limits<std::int32_t>::min(),
                                         std::numeric_limits<std::int32_t>::min() + 1};

class TreeDecoder {
 public:
  explicit TreeDecoder(FuzzInput& input) : input_(input) {}

  Variant Decode(int depth) {
    const std::uint8_t tag = input_.Byte();
    switch (tag % 24) {
      case 0:
        return Variant();
      case 1:
        return Variant::Null();
      case 2:
        return Variant::Smallint(input_.Value<std::int16_t>());
      case 3:
        return Variant::Integer(input_.Value<std::int32_t>());
      case 4:
        return Variant::Single(input_.Value<float>());
      case 5:
        return Variant::Double(input_.Value<double>());
      case 6:
        return Variant::Currency(input_.Value<std::int64_t>());
      case 7:
        return Variant::Date(input_.Value<double>());
      case 8:
        return Variant::OleStr(Word());
      case 9:
        return Variant::AnsiString(Word());
      case 10:
        return Variant::Boolean(input_.Byte() & 1);
      case 11:
        return Variant::ShortInt(input_.Value<std::int8_t>());
      case 12:
        return Variant::Byte(input_.Byte());
      case 13:
        return Variant::Word(input_.Value<std::uint16_t>());
      case 14:
        return Variant::LongWord(input_.Value<std::uint32_t>());
      case 15:
        return Variant::Int64(input_.Value<std::int64_t>());
      case 16:
        return Variant::UInt64(input_.Value<std::uint64_t>());
      case 17:
        return Variant::ErrorCode(input_.Value<std::int32_t>());
      case 18:
        return (input_.Byte() & 1)
                   ? Variant::Dispatch(nullptr)
                   : Variant::Dispatch(std::make_shared<testing::FakeEquipmentManager>());
      case 19:
        return Variant::Integer(static_cast<std::int8_t>(input_.Byte()));
      default:
        return Array(depth);
    }
  }

  Variant Array(int depth) {
    if (depth >= kMaxTreeDepth) return Variant::OleStr(Word());
    const int dims = input_.Byte() % 4;
    std::vector<ArrayBound> bounds;
    std::size_t size = dims == 0 ? 0 : 1;
    for (int d = 0; d < dims; ++d) {
      const std::uint8_t b = input_.Byte();
      const std::int32_t lower = kLowerBounds[(b >> 4) % std::size(kLowerBounds)];
      std::int32_t count = b % 5;
      if (size * static_cast<std::size_t>(count) + elements_ > kMaxTreeElements) count = 0;
      size *= static_cast<std::size_t>(count);
      bounds.push_back(ArrayBound{lower, count});
    }
    elements_ += size;
    try {
      VariantArray array(std::move(bounds));
      for (Variant& item : array.Items()) item = Decode(depth + 1);
      return Variant(std::move(array));
    } catch (const ArrayError&) {
      return Variant();  // bounds no array can have: the host cannot pass them either
    }
  }

  Variant Vector(std::size_t max_count) {
    const std::size_t count = input_.Byte() % (max_count + 1);
    elements_ += count;
    VariantArray array = VariantArray::Vector(count);
    for (Variant& item : array.Items()) item = Decode(1);
    return Variant(std::move(array));
  }

 private:
  std::string Word() {
    const std::uint8_t choice = input_.Byte();
    if (choice < 128) return kWords[choice % std::size(kWords)];
    return input_.Text(64);
  }

  FuzzInput& input_;
  std::size_t elements_ = 0;
};

}  // namespace

Variant DecodeVariant(FuzzInput& input) {
  return TreeDecoder(input).Decode(0);
}

Variant DecodeVector(FuzzInput& input, std::size_t max_count) {
  return TreeDecoder(input).Vector(max_count);
}

}  // namespace pirell::fuzz
