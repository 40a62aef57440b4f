#include "driver_object/variant.h"

#include <cmath>
#include <limits>

#include "common/errors.h"
#include "common/module_strings.h"
#include "driver_object/date_text.h"
#include "driver_object/number_text.h"
#include "driver_object/result_codes.h"
#include "driver_object/shared_text.h"
#include "platform/locale.h"

namespace pirell {
namespace {

const char* TypeName(std::uint16_t type) {
  switch (type & varTypeMask) {
    case varEmpty:
      return "Empty";
    case varNull:
      return "Null";
    case varSmallint:
      return "Smallint";
    case varInteger:
      return "Integer";
    case varSingle:
      return "Single";
    case varDouble:
      return "Double";
    case varCurrency:
      return "Currency";
    case varDate:
      return "Date";
    case varOleStr:
      return "OleStr";
    case varDispatch:
      return "Dispatch";
    case varError:
      return "Error";
    case varBoolean:
      return "Boolean";
    case varVariant:
      return "Variant";
    case varUnknown:
      return "Unknown";
    case varShortInt:
      return "ShortInt";
    case varByte:
      return "Byte";
    case varWord:
      return "Word";
    case varLongWord:
      return "LongWord";
    case varInt64:
      return "Int64";
    case varUInt64:
      return "UInt64";
    case varString:
      return "String";
    default:
      return "Unknown";
  }
}

[[noreturn]] void CannotConvert(const Variant& v, const char* target) {
  const std::string from = v.IsArray() ? std::string("Array of Variant") : TypeName(v.Type());
  throw ConversionError(ModuleText(StringId::CannotConvert, {from, target}));
}

bool IsSignedInteger(std::uint16_t t) {
  return t == varSmallint || t == varInteger || t == varShortInt || t == varInt64 || t == varError;
}
bool IsUnsignedInteger(std::uint16_t t) {
  return t == varByte || t == varWord || t == varLongWord || t == varUInt64;
}

// A text read as a number: an integer, or a decimal in the user locale's format.
std::optional<double> TextToNumber(std::string_view text) {
  if (auto whole = ParseInteger(text)) return static_cast<double>(*whole);
  return ParseLocaleDecimal(text);
}

// Replaces every reference held in `array`, at any depth, by a copy of its value.
void ResolveReferences(VariantArray& array) {
  for (Variant& item : array.Items()) {
    if (item.IsRef())
      item = item.ResolvedCopy();
    else if (item.IsArray())
      ResolveReferences(item.Array());
  }
}

std::int64_t DoubleToInt64(const Variant& v, double d, const char* target) {
  if (!std::isfinite(d) || d >= 9.2233720368547758e18 || d < -9.2233720368547758e18)
    CannotConvert(v, target);
  return RoundHalfEven(d);
}

}  // namespace

std::int64_t RoundHalfEven(double value) {
  double rounded = std::nearbyint(value);  // the default rounding mode is to nearest, ties even
  return static_cast<std::int64_t>(rounded);
}

// ---- construction ----

// Two words at most on every target: arrays of host values hold millions of them.
static_assert(sizeof(Variant) <= 2 * sizeof(std::int64_t));

Variant::Variant(std::string_view v) : type_(varOleStr) {
  value_.text = v.empty() ? nullptr : SharedText::Make(v);
}

Variant::Variant(VariantArray array) {
  value_.array = new VariantArray(std::move(array));
  type_ = kArrayType;
}

Variant::Variant(const Variant& other) : type_(other.type_), ref_type_(other.ref_type_) {
  switch (type_) {
    case varOleStr:
    case varString:
      value_.text = other.value_.text ? other.value_.text->Share() : nullptr;
      break;
    case varDispatch:
    case varUnknown:
      value_.object = other.value_.object
                          ? new std::shared_ptr<LateBoundObject>(*other.value_.object)
                          : nullptr;
      break;
    case kArrayType:
      value_.array = new VariantArray(*other.value_.array);
      break;
    default:
      value_ = other.value_;
  }
}

Variant::Variant(Variant&& other) noexcept
    : type_(other.type_), ref_type_(other.ref_type_), value_(other.value_) {
  other.type_ = varEmpty;
  other.ref_type_ = 0;
  other.value_.integer = 0;
}

Variant& Variant::operator=(const Variant& other) {
  if (this != &other) {
    Variant copy(other);
    *this = std::move(copy);
  }
  return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    // `other` may be owned by this variant (an element of its array): take it before freeing.
    Variant taken(static_cast<Variant&&>(other));
    Clear();
    type_ = taken.type_;
    ref_type_ = taken.ref_type_;
    value_ = taken.value_;
    taken.type_ = varEmpty;
  }
  return *this;
}

Variant::~Variant() {
  Clear();
}

void Variant::Clear() noexcept {
  switch (type_) {
    case varOleStr:
    case varString:
      if (value_.text) value_.text->Release();
      break;
    case varDispatch:
    case varUnknown:
      delete value_.object;
      break;
    case kArrayType:
      delete value_.array;
      break;
    default:
      break;
  }
  type_ = varEmpty;
  ref_type_ = 0;
  value_.integer = 0;
}

Variant Variant::Null() {
  Variant v;
  v.type_ = varNull;
  return v;
}

#define PIRELL_INTEGER_FACTORY(Name, Code, CType)        \
  Variant Variant::Name(CType value) {                   \
    Variant v;                                           \
    v.type_ = Code;                                      \
    v.value_.integer = static_cast<std::int64_t>(value); \
    return v;                                            \
  }
PIRELL_INTEGER_FACTORY(Smallint, varSmallint, std::int16_t)
PIRELL_INTEGER_FACTORY(Integer, varInteger, std::int32_t)
PIRELL_INTEGER_FACTORY(Currency, varCurrency, std::int64_t)
PIRELL_INTEGER_FACTORY(ErrorCode, varError, std::int32_t)
PIRELL_INTEGER_FACTORY(ShortInt, varShortInt, std::int8_t)
PIRELL_INTEGER_FACTORY(Byte, varByte, std::uint8_t)
PIRELL_INTEGER_FACTORY(Word, varWord, std::uint16_t)
PIRELL_INTEGER_FACTORY(LongWord, varLongWord, std::uint32_t)
PIRELL_INTEGER_FACTORY(Int64, varInt64, std::int64_t)
PIRELL_INTEGER_FACTORY(UInt64, varUInt64, std::uint64_t)
#undef PIRELL_INTEGER_FACTORY

Variant Variant::Single(float value) {
  Variant v;
  v.type_ = varSingle;
  v.value_.real = value;
  return v;
}
Variant Variant::Double(double value) {
  return Variant(value);
}
Variant Variant::Date(double ole_date) {
  Variant v;
  v.type_ = varDate;
  v.value_.real = ole_date;
  return v;
}
Variant Variant::OleStr(std::string_view utf8) {
  return Variant(utf8);
}
Variant Variant::AnsiString(std::string_view utf8) {
  Variant v(utf8);
  v.type_ = varString;
  return v;
}
Variant Variant::Dispatch(std::shared_ptr<LateBoundObject> object) {
  Variant v;
  if (object) v.value_.object = new std::shared_ptr<LateBoundObject>(std::move(object));
  v.type_ = varDispatch;
  return v;
}
Variant Variant::Unknown(std::shared_ptr<LateBoundObject> object) {
  Variant v = Dispatch(std::move(object));
  v.type_ = varUnknown;
  return v;
}
Variant Variant::Boolean(bool value) {
  return Variant(value);
}
Variant Variant::Ref(Variant* target, std::uint16_t ref_type) {
  Variant v;
  v.type_ = varByRef;
  v.ref_type_ = ref_type & varTypeMask;
  v.value_.ref = target;
  return v;
}

// ---- inspection ----

std::uint16_t Variant::Type() const {
  if (type_ == varByRef) return static_cast<std::uint16_t>(varByRef | ref_type_);
  return type_;
}

bool Variant::IsOrdinal() const {
  return IsSignedInteger(type_) || IsUnsignedInteger(type_) || type_ == varBoolean;
}

std::string_view Variant::RawString() const {
  if (!IsText() || !value_.text) return {};
  return value_.text->View();
}

const std::shared_ptr<LateBoundObject>& Variant::Object() const {
  static const std::shared_ptr<LateBoundObject> none;
  if (!IsObject() || !value_.object) return none;
  return *value_.object;
}

const Variant& Variant::Deref() const {
  const Variant* v = this;
  for (int guard = 0; v->type_ == varByRef && v->value_.ref && guard < 64; ++guard)
    v = v->value_.ref;
  return *v;
}

Variant& Variant::Deref() {
  return const_cast<Variant&>(static_cast<const Variant&>(*this).Deref());
}

Variant Variant::ResolvedCopy() const {
  const Variant& target = Deref();
  if (target.type_ == varByRef) return Variant();  // a dangling or cyclic chain
  Variant copy(target);
  if (copy.IsArray()) ResolveReferences(*copy.value_.array);
  return copy;
}

const VariantArray& Variant::Array() const {
  const Variant& v = Deref();
  if (!v.IsArray()) throw ArrayError(ModuleText(StringId::NotAnArray));
  return *v.value_.array;
}

VariantArray& Variant::Array() {
  Variant& v = Deref();
  if (!v.IsArray()) throw ArrayError(ModuleText(StringId::NotAnArray));
  return *v.value_.array;
}

// ---- conversions ----

std::int64_t Variant::ToInt64() const {
  const Variant& v = Deref();
  if (v.IsArray()) CannotConvert(v, "Int64");
  const std::uint16_t t = v.type_;
  if (t == varEmpty) return 0;
  if (IsSignedInteger(t) || t == varBoolean) return v.value_.integer;
  if (IsUnsignedInteger(t)) {
    if (v.RawUnsigned() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
      CannotConvert(v, "Int64");
    return v.value_.integer;
  }
  if (t == varSingle || t == varDouble || t == varDate)
    return DoubleToInt64(v, v.value_.real, "Int64");
  if (t == varCurrency) return RoundHalfEven(static_cast<double>(v.value_.integer) / 10000.0);
  if (t == varOleStr || t == varString) {
    if (auto whole = ParseInteger(v.RawString())) return *whole;
    if (auto number = ParseLocaleDecimal(v.RawString())) return DoubleToInt64(v, *number, "Int64");
    throw ConversionError(ModuleText(StringId::CannotConvert, {TypeName(t), "Int64"}));
  }
  CannotConvert(v, "Int64");
}

std::int32_t Variant::ToInt() const {
  const Variant& v = Deref();
  std::int64_t value;
  try {
    value = v.ToInt64();
  } catch (const ConversionError&) {
    CannotConvert(v, "Integer");
  }
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    // Unsigned 32-bit values wrap as the automation runtime stores them.
    if (v.type_ == varLongWord) return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    CannotConvert(v, "Integer");
  }
  return static_cast<std::int32_t>(value);
}

double Variant::ToDouble() const {
  const Variant& v = Deref();
  if (v.IsArray()) CannotConvert(v, "Double");
  const std::uint16_t t = v.type_;
  if (t == varEmpty) return 0;
  if (IsSignedInteger(t) || t == varBoolean) return static_cast<double>(v.value_.integer);
  if (IsUnsignedInteger(t)) return static_cast<double>(v.RawUnsigned());
  if (t == varSingle || t == varDouble || t == varDate) return v.value_.real;
  if (t == varCurrency) return static_cast<double>(v.value_.integer) / 10000.0;
  if (t == varOleStr || t == varString) {
    if (auto number = TextToNumber(v.RawString())) return *number;
    CannotConvert(v, "Double");
  }
  CannotConvert(v, "Double");
}

std::int64_t Variant::ToCurrency() const {
  const Variant& v = Deref();
  if (v.type_ == varCurrency && !v.IsArray()) return v.value_.integer;
  double d;
  try {
    d = v.ToDouble();
  } catch (const ConversionError&) {
    CannotConvert(v, "Currency");
  }
  if (!std::isfinite(d) || std::fabs(d) >= 922337203685477.0) CannotConvert(v, "Currency");
  return RoundHalfEven(d * 10000.0);
}

double Variant::ToDate() const {
  const Variant& v = Deref();
  if (v.IsArray()) CannotConvert(v, "Date");
  if (v.type_ == varOleStr || v.type_ == varString) {
    if (auto date = ParseLocaleDateTime(v.RawString())) return *date;
    if (auto number = TextToNumber(v.RawString())) return *number;
    CannotConvert(v, "Date");
  }
  try {
    return v.ToDouble();
  } catch (const ConversionError&) {
    CannotConvert(v, "Date");
  }
}

bool Variant::ToBool() const {
  const Variant& v = Deref();
  if (v.IsArray()) CannotConvert(v, "Boolean");
  const std::uint16_t t = v.type_;
  if (t == varEmpty) return false;
  if (IsSignedInteger(t) || IsUnsignedInteger(t) || t == varBoolean) return v.value_.integer != 0;
  if (t == varSingle || t == varDouble || t == varDate) return v.value_.real != 0;
  if (t == varCurrency) return v.value_.integer != 0;
  if (t == varOleStr || t == varString) {
    if (platform::SameText(v.RawString(), "True")) return true;
    if (platform::SameText(v.RawString(), "False")) return false;
    if (auto number = TextToNumber(v.RawString())) return *number != 0;
    CannotConvert(v, "Boolean");
  }
  CannotConvert(v, "Boolean");
}

std::string Variant::ToString() const {
  const Variant& v = Deref();
  if (v.IsArray()) CannotConvert(v, "String");
  const std::uint16_t t = v.type_;
  switch (t) {
    case varEmpty:
    case varNull:  // a missing value reads as no text rather than failing a whole job
      return {};
    case varOleStr:
    case varString:
      return std::string(v.RawString());
    case varBoolean:
      return v.value_.integer != 0 ? "True" : "False";
    case varSingle:
      return FormatLocaleGeneral(v.value_.real, 7);
    case varDouble:
      return FormatLocaleGeneral(v.value_.real, 15);
    case varCurrency:
      return FormatCurrency(v.value_.integer, platform::UserLocale().decimal_separator);
    case varDate:
      // The runtime cannot show a date outside the years 100 to 9999 either.
      if (!IsOleDateInRange(v.value_.real)) CannotConvert(v, "String");
      return FormatLocaleDateTime(v.value_.real);
    default:
      if (IsSignedInteger(t)) return std::to_string(v.value_.integer);
      if (IsUnsignedInteger(t)) return std::to_string(v.RawUnsigned());
      CannotConvert(v, "String");
  }
}

// ---- arrays ----

ArrayError ArrayTooLarge() {
  return ArrayError(ModuleText(StringId::ArrayTooLarge, {std::to_string(kMaxArrayElements)}));
}

std::size_t VariantArray::CheckedSize(std::vector<ArrayBound>& bounds) {
  std::size_t size = bounds.empty() ? 0 : 1;
  for (ArrayBound& b : bounds) {
    if (b.count < 0) b.count = 0;
    // Loops run from the lower bound to the upper one and step one past it (or stop one before
    // an empty dimension): both ends must stay 32-bit numbers.
    if (b.lower == std::numeric_limits<std::int32_t>::min() ||
        static_cast<std::int64_t>(b.lower) + b.count > std::numeric_limits<std::int32_t>::max())
      throw ArrayError(ModuleText(StringId::ArrayBoundsOutOfRange));
    if (b.count != 0 && size > kMaxArrayElements / static_cast<std::size_t>(b.count))
      throw ArrayTooLarge();
    size *= static_cast<std::size_t>(b.count);
  }
  return size;
}

VariantArray::VariantArray(std::vector<ArrayBound> bounds) : bounds_(std::move(bounds)) {
  items_.resize(CheckedSize(bounds_));
}

VariantArray::VariantArray(std::vector<ArrayBound> bounds, std::vector<Variant> items)
    : bounds_(std::move(bounds)) {
  if (CheckedSize(bounds_) != items.size())
    throw ArrayError(ModuleText(StringId::ArrayBoundsOutOfRange));
  items_ = std::move(items);
}

VariantArray VariantArray::Vector(std::size_t count) {
  return VariantArray({ArrayBound{0, static_cast<std::int32_t>(count)}});
}

VariantArray VariantArray::Vector(std::initializer_list<Variant> items) {
  VariantArray array = Vector(items.size());
  std::size_t i = 0;
  for (const Variant& item : items) array.items_[i++] = item;
  return array;
}

VariantArray VariantArray::Table(std::int32_t count1, std::int32_t count2) {
  return VariantArray({ArrayBound{0, count1}, ArrayBound{0, count2}});
}

const ArrayBound& VariantArray::Bound(int dim) const {
  if (dim < 0 || dim >= Dims()) throw ArrayError(ModuleText(StringId::ArrayDimensionOutOfRange));
  return bounds_[static_cast<std::size_t>(dim)];
}

std::size_t VariantArray::Offset(std::span<const std::int32_t> indices) const {
  if (indices.size() != bounds_.size())
    throw ArrayError(ModuleText(StringId::ArrayIndexOutOfBounds));
  std::size_t offset = 0, stride = 1;
  for (std::size_t d = 0; d < bounds_.size(); ++d) {
    const ArrayBound& b = bounds_[d];
    const std::int64_t i = static_cast<std::int64_t>(indices[d]) - b.lower;
    if (i < 0 || i >= b.count) throw ArrayError(ModuleText(StringId::ArrayIndexOutOfBounds));
    offset += static_cast<std::size_t>(i) * stride;
    stride *= static_cast<std::size_t>(b.count);
  }
  return offset;
}

const Variant& VariantArray::At(std::span<const std::int32_t> indices) const {
  return items_[Offset(indices)];
}

Variant& VariantArray::At(std::span<const std::int32_t> indices) {
  return items_[Offset(indices)];
}

// ---- write-back through typed references ----

Variant CoerceForReference(const Variant& src, std::uint16_t ref_type) {
  switch (ref_type & varTypeMask) {
    case varSmallint:
      return Variant::Smallint(static_cast<std::int16_t>(src.ToInt()));
    case varWord:
      return Variant::Word(static_cast<std::uint16_t>(src.ToInt()));
    case varInteger:
      return Variant::Integer(src.ToInt());
    case varLongWord:
      return Variant::LongWord(static_cast<std::uint32_t>(src.ToInt()));
    case varSingle:
      return Variant::Single(static_cast<float>(src.ToDouble()));
    case varDouble:
      return Variant::Double(src.ToDouble());
    case varDate:
      return Variant::Date(src.ToDouble());
    case varCurrency:
      return Variant::Currency(src.ToCurrency());
    case varOleStr:
      return Variant::OleStr(src.ToString());
    case varDispatch: {
      const Variant& v = src.Deref();
      if (v.IsObject()) return Variant::Dispatch(v.Object());
      if (v.IsEmpty()) return Variant::Dispatch(nullptr);
      throw ConversionError(ModuleText(StringId::CannotConvert, {TypeName(v.Type()), "Dispatch"}));
    }
    case varBoolean:
      return Variant::Boolean(src.ToBool());
    case varByte:
      return Variant::Byte(static_cast<std::uint8_t>(src.ToInt() & 0xFF));
    default:
      throw Error(ResultCodeText(1004, ""));
  }
}

}  // namespace pirell
