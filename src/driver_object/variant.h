#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pirell {

class ArrayError;
class LateBoundObject;
class SharedText;
class VariantArray;

// OLE Automation type codes of a host value. The host exchanges nothing but these.
enum VarType : std::uint16_t {
  varEmpty = 0,
  varNull = 1,
  varSmallint = 2,   // 16-bit signed
  varInteger = 3,    // 32-bit signed
  varSingle = 4,     // 4-byte float
  varDouble = 5,     // 8-byte float
  varCurrency = 6,   // 64-bit integer scaled by 10000
  varDate = 7,       // days since 1899-12-30 with the time as fraction
  varOleStr = 8,     // wide string
  varDispatch = 9,   // late-bound object
  varError = 10,     // status code
  varBoolean = 11,   // -1 true, 0 false
  varVariant = 12,   // only meaningful with varByRef or varArray
  varUnknown = 13,   // object without late binding
  varShortInt = 16,  // 8-bit signed
  varByte = 17,      // 8-bit unsigned
  varWord = 18,      // 16-bit unsigned
  varLongWord = 19,  // 32-bit unsigned
  varInt64 = 20,
  varUInt64 = 21,
  varString = 256,  // single-byte string of this system
  varTypeMask = 0x0FFF,
  varArray = 0x2000,
  varByRef = 0x4000,
};

// A tagged host value. Texts are held as UTF-8 whatever their host type (wide or single-byte);
// the COM binding converts at the boundary. Copies are deep: copying a variant that holds an
// array copies the array, as the automation runtime does. A text is shared by the copies, which
// is safe because no variant changes a text in place: a copy of a host's table costs its cells
// alone, and a cell is one type word and one 8-byte value.
//
// A reference (varByRef) points to another variant owned by the caller; it models the host's
// by-reference arguments. The referenced variant's type is the reference's target type.
class Variant {
 public:
  Variant() = default;
  Variant(bool v) : type_(varBoolean) { value_.integer = v ? -1 : 0; }
  Variant(int v) : type_(varInteger) { value_.integer = v; }
  Variant(double v) : type_(varDouble) { value_.real = v; }
  Variant(const char* v) : Variant(std::string_view(v)) {}
  Variant(const std::string& v) : Variant(std::string_view(v)) {}
  Variant(std::string_view v);
  Variant(VariantArray array);

  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(const Variant& other);
  Variant& operator=(Variant&& other) noexcept;
  ~Variant();

  static Variant Null();
  static Variant Smallint(std::int16_t v);
  static Variant Integer(std::int32_t v);
  static Variant Single(float v);
  static Variant Double(double v);
  static Variant Currency(std::int64_t scaled_by_10000);
  static Variant Date(double ole_date);
  static Variant OleStr(std::string_view utf8);
  static Variant AnsiString(std::string_view utf8);  // varString
  static Variant Dispatch(std::shared_ptr<LateBoundObject> object);
  static Variant Unknown(std::shared_ptr<LateBoundObject> object);
  static Variant ErrorCode(std::int32_t scode);
  static Variant Boolean(bool v);
  static Variant ShortInt(std::int8_t v);
  static Variant Byte(std::uint8_t v);
  static Variant Word(std::uint16_t v);
  static Variant LongWord(std::uint32_t v);
  static Variant Int64(std::int64_t v);
  static Variant UInt64(std::uint64_t v);
  // A reference to the caller's variant `target`, which must outlive the reference. With the
  // default `ref_type` it is a reference to a variant (the callee may store any type into it);
  // with another base type it models a typed reference, which holds only that type.
  static Variant Ref(Variant* target, std::uint16_t ref_type = varVariant);

  // The full type code, flags included.
  std::uint16_t Type() const;
  // The type code without the array and reference flags.
  std::uint16_t BaseType() const { return Type() & varTypeMask; }

  bool IsEmpty() const { return type_ == varEmpty; }
  bool IsNull() const { return type_ == varNull; }
  bool IsEmptyOrNull() const { return IsEmpty() || IsNull(); }
  bool IsArray() const { return type_ == kArrayType; }
  bool IsRef() const { return type_ == varByRef; }
  bool IsText() const { return type_ == varOleStr || type_ == varString; }
  bool IsObject() const { return type_ == varDispatch || type_ == varUnknown; }
  // True for the integer and Boolean types.
  bool IsOrdinal() const;

  // The variant a chain of references ends at (this variant when it is no reference).
  const Variant& Deref() const;
  Variant& Deref();
  // A copy with every reference resolved to its value.
  Variant ResolvedCopy() const;
  Variant* RefTarget() const { return IsRef() ? value_.ref : nullptr; }
  // The base type a reference holds: varVariant for a reference to a variant.
  std::uint16_t RefType() const { return ref_type_; }

  // Conversions by the automation rules: empty gives 0, false or the empty text; a text is read
  // as a number or date in the user locale's format; a value that does not convert raises a
  // ConversionError.
  std::int32_t ToInt() const;
  std::int64_t ToInt64() const;
  double ToDouble() const;
  std::int64_t ToCurrency() const;
  double ToDate() const;
  bool ToBool() const;
  std::string ToString() const;

  // Raw access for the binding layers; valid only for the matching types.
  std::int64_t RawInteger() const { return value_.integer; }
  std::uint64_t RawUnsigned() const { return static_cast<std::uint64_t>(value_.integer); }
  double RawDouble() const { return value_.real; }
  // The bytes of a text; valid while this variant holds it.
  std::string_view RawString() const;
  // The object held (null for none or for a variant that is no object).
  const std::shared_ptr<LateBoundObject>& Object() const;

  // The held array; raises ArrayError when the variant holds none.
  const VariantArray& Array() const;
  VariantArray& Array();

 private:
  static constexpr std::uint16_t kArrayType = varArray | varVariant;

  // Frees what the variant owns and leaves it empty.
  void Clear() noexcept;

  // The member of value_ in use follows from type_: a text, an object, an array or a reference
  // for those types, the integer or the real number for the others.
  union Value {
    std::int64_t integer;                      // integers, Boolean, currency, error codes
    double real;                               // floats and dates
    SharedText* text;                          // null for the empty text
    std::shared_ptr<LateBoundObject>* object;  // null for no object
    VariantArray* array;                       // owned
    Variant* ref;                              // the caller's
  };

  std::uint16_t type_ = varEmpty;  // base type; varByRef for references; kArrayType for arrays
  std::uint16_t ref_type_ = 0;     // the base type a reference holds
  Value value_{0};
};

// One dimension of an array: its lower bound and its element count.
struct ArrayBound {
  std::int32_t lower = 0;
  std::int32_t count = 0;
  std::int32_t upper() const { return lower + count - 1; }
};

// Most elements one array may hold: room for a labels table of a million rows of 16 columns. The
// host's arrays are copied into the driver's memory inside the host's own 32-bit process, 16 bytes
// an element (256 MiB at the bound), so a runaway array is refused before its copy is attempted.
inline constexpr std::size_t kMaxArrayElements = std::size_t{1} << 24;

// The refusal of an array of more than kMaxArrayElements elements.
ArrayError ArrayTooLarge();

// An array of variants with any number of dimensions and bounds per dimension. Elements are
// stored with the first index varying fastest.
class VariantArray {
 public:
  // Raises an ArrayError for more than kMaxArrayElements elements, and for bounds whose indices
  // (and one past each end) do not fit into 32 bits: a lower bound of INT32_MIN, or a lower bound
  // plus the count above INT32_MAX. A negative count is taken as 0.
  explicit VariantArray(std::vector<ArrayBound> bounds);
  // An array of these bounds holding `items` in storage order, without copying them. Raises as the
  // constructor above does, and an ArrayError when the number of items is not the product of the
  // counts.
  VariantArray(std::vector<ArrayBound> bounds, std::vector<Variant> items);
  // A one-dimensional array with lower bound 0.
  static VariantArray Vector(std::size_t count);
  static VariantArray Vector(std::initializer_list<Variant> items);
  // A two-dimensional array with lower bounds 0.
  static VariantArray Table(std::int32_t count1, std::int32_t count2);
  // The number of elements of an array of these bounds, without making it; raises as the
  // constructor does.
  static std::size_t ElementCount(std::vector<ArrayBound> bounds) { return CheckedSize(bounds); }

  int Dims() const { return static_cast<int>(bounds_.size()); }
  // Bounds of dimension `dim`, counted from 0.
  const ArrayBound& Bound(int dim) const;
  std::int32_t Lower(int dim) const { return Bound(dim).lower; }
  std::int32_t Upper(int dim) const { return Bound(dim).upper(); }
  std::size_t Size() const { return items_.size(); }

  // Element access by one index per dimension; raises ArrayError outside the bounds or when the
  // number of indices differs from the number of dimensions.
  const Variant& At(std::span<const std::int32_t> indices) const;
  Variant& At(std::span<const std::int32_t> indices);
  const Variant& At(std::initializer_list<std::int32_t> indices) const {
    return At(std::span<const std::int32_t>(indices.begin(), indices.size()));
  }
  Variant& At(std::initializer_list<std::int32_t> indices) {
    return At(std::span<const std::int32_t>(indices.begin(), indices.size()));
  }

  // Elements in storage order (first index fastest).
  std::vector<Variant>& Items() { return items_; }
  const std::vector<Variant>& Items() const { return items_; }

 private:
  // The number of elements of `bounds`, a negative count taken as 0; raises as the constructor.
  static std::size_t CheckedSize(std::vector<ArrayBound>& bounds);
  std::size_t Offset(std::span<const std::int32_t> indices) const;

  std::vector<ArrayBound> bounds_;
  std::vector<Variant> items_;
};

// Converts `src` to the type that a typed by-reference argument of type `ref_type` (base type,
// flags removed) holds, for writing back through the reference. Raises an Error with the text of
// result code 1004 for a type that cannot be written back.
Variant CoerceForReference(const Variant& src, std::uint16_t ref_type);

// Whole-valued rounding the automation runtime uses: halves go to the even neighbour.
std::int64_t RoundHalfEven(double value);

}  // namespace pirell
