#include <gtest/gtest.h>

#include "com_server/com_holders.h"
#include "com_server/variant_conversion.h"
#include "common/errors.h"
#include "support/com_test_support.h"

namespace pirell::com {
namespace {

using test::ComApartment;
using test::FakeHostObject;

// A two-dimensional array of variants with bounds (1 to 2, -1 to 1) whose element (i, j) is the
// integer 10 * i + j, put with explicit indices so that no storage order is assumed.
SAFEARRAY* MakeTable() {
  SAFEARRAYBOUND bounds[2] = {{2, 1}, {3, -1}};
  SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
  for (LONG i = 1; i <= 2; ++i) {
    for (LONG j = -1; j <= 1; ++j) {
      LONG indices[2] = {i, j};
      VARIANT v;
      v.vt = VT_I4;
      v.lVal = 10 * i + j;
      SafeArrayPutElement(array, indices, &v);
    }
  }
  return array;
}

TEST(ComVariantConversion, ScalarsKeepTheirTypeBothWays) {
  struct Case {
    VARTYPE vt;
    void (*set)(VARIANT&);
    std::uint16_t portable_type;
  } cases[] = {
      {VT_EMPTY, [](VARIANT&) {}, varEmpty},
      {VT_NULL, [](VARIANT&) {}, varNull},
      {VT_I2, [](VARIANT& v) { v.iVal = -7; }, varSmallint},
      {VT_I4, [](VARIANT& v) { v.lVal = -100000; }, varInteger},
      {VT_R4, [](VARIANT& v) { v.fltVal = 1.5f; }, varSingle},
      {VT_R8, [](VARIANT& v) { v.dblVal = 2.25; }, varDouble},
      {VT_CY, [](VARIANT& v) { v.cyVal.int64 = 123456; }, varCurrency},
      {VT_DATE, [](VARIANT& v) { v.date = 45000.5; }, varDate},
      {VT_ERROR, [](VARIANT& v) { v.scode = DISP_E_PARAMNOTFOUND; }, varError},
      {VT_BOOL, [](VARIANT& v) { v.boolVal = VARIANT_TRUE; }, varBoolean},
      {VT_I1, [](VARIANT& v) { v.cVal = -3; }, varShortInt},
      {VT_UI1, [](VARIANT& v) { v.bVal = 200; }, varByte},
      {VT_UI2, [](VARIANT& v) { v.uiVal = 60000; }, varWord},
      {VT_UI4, [](VARIANT& v) { v.ulVal = 4000000000u; }, varLongWord},
      {VT_I8, [](VARIANT& v) { v.llVal = -(1LL << 40); }, varInt64},
      {VT_UI8, [](VARIANT& v) { v.ullVal = 1ULL << 63; }, varUInt64},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vt);
    // None of these types owns anything, so plain zeroed VARIANTs compare bytewise.
    VARIANT original{};
    original.vt = c.vt;
    c.set(original);
    const Variant portable = FromComVariant(original);
    EXPECT_EQ(portable.Type(), c.portable_type);
    VARIANT back{};
    ToComVariant(portable, back);
    EXPECT_EQ(back.vt, c.vt);
    EXPECT_EQ(back.llVal, original.llVal);
  }
}

TEST(ComVariantConversion, BooleanTrueIsMinusOneAndMachineIntegersNarrow) {
  VariantHolder v;
  ToComVariant(Variant(true), *v);
  EXPECT_EQ(v->boolVal, VARIANT_TRUE);
  VariantHolder i;
  i->vt = VT_INT;
  i->intVal = -5;
  EXPECT_EQ(FromComVariant(*i).Type(), varInteger);
  EXPECT_EQ(FromComVariant(*i).ToInt(), -5);
}

TEST(ComVariantConversion, TextsTravelAsUtf8) {
  VariantHolder v;
  v->vt = VT_BSTR;
  v->bstrVal = SysAllocString(L"Этикетка №5");
  const Variant portable = FromComVariant(*v);
  EXPECT_EQ(portable.Type(), varOleStr);
  EXPECT_EQ(portable.ToString(), "Этикетка №5");

  VariantHolder back;
  ToComVariant(Variant::AnsiString("Цена"), *back);
  ASSERT_EQ(back->vt, VT_BSTR);
  EXPECT_STREQ(back->bstrVal, L"Цена");

  VariantHolder empty;
  empty->vt = VT_BSTR;
  empty->bstrVal = nullptr;  // a null BSTR is the empty text
  EXPECT_EQ(FromComVariant(*empty).ToString(), "");
}

TEST(ComVariantConversion, TextsKeepEmbeddedZeroCharacters) {
  VariantHolder v;
  v->vt = VT_BSTR;
  v->bstrVal = SysAllocStringLen(L"a\0b", 3);
  EXPECT_EQ(FromComVariant(*v).ToString(), std::string("a\0b", 3));
  VariantHolder back;
  ToComVariant(Variant(std::string("x\0y", 3)), *back);
  EXPECT_EQ(SysStringLen(back->bstrVal), 3u);
}

TEST(ComVariantConversion, TwoDimensionalArrayKeepsBoundsAndElements) {
  VariantHolder v;
  v->vt = VT_ARRAY | VT_VARIANT;
  v->parray = MakeTable();
  const Variant portable = FromComVariant(*v);
  ASSERT_TRUE(portable.IsArray());
  const VariantArray& table = portable.Array();
  ASSERT_EQ(table.Dims(), 2);
  EXPECT_EQ(table.Lower(0), 1);
  EXPECT_EQ(table.Upper(0), 2);
  EXPECT_EQ(table.Lower(1), -1);
  EXPECT_EQ(table.Upper(1), 1);
  for (std::int32_t i = 1; i <= 2; ++i)
    for (std::int32_t j = -1; j <= 1; ++j) EXPECT_EQ(table.At({i, j}).ToInt(), 10 * i + j);

  VariantHolder back;
  ToComVariant(portable, *back);
  ASSERT_EQ(back->vt, VT_ARRAY | VT_VARIANT);
  SAFEARRAY* array = back->parray;
  ASSERT_EQ(SafeArrayGetDim(array), 2u);
  LONG lower = 0, upper = 0;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  EXPECT_EQ(lower, 1);
  EXPECT_EQ(upper, 2);
  SafeArrayGetLBound(array, 2, &lower);
  SafeArrayGetUBound(array, 2, &upper);
  EXPECT_EQ(lower, -1);
  EXPECT_EQ(upper, 1);
  for (LONG i = 1; i <= 2; ++i) {
    for (LONG j = -1; j <= 1; ++j) {
      LONG indices[2] = {i, j};
      VariantHolder element;
      ASSERT_EQ(SafeArrayGetElement(array, indices, element.get()), S_OK);
      EXPECT_EQ(element->vt, VT_I4);
      EXPECT_EQ(element->lVal, 10 * i + j);
    }
  }
}

TEST(ComVariantConversion, TypedArraysBecomeArraysOfTypedVariants) {
  SAFEARRAYBOUND bound{3, 5};
  VariantHolder numbers;
  numbers->vt = VT_ARRAY | VT_I4;
  numbers->parray = SafeArrayCreate(VT_I4, 1, &bound);
  for (LONG i = 5; i < 8; ++i) {
    LONG value = i * i;
    SafeArrayPutElement(numbers->parray, &i, &value);
  }
  const Variant portable = FromComVariant(*numbers);
  const VariantArray& array = portable.Array();
  EXPECT_EQ(array.Lower(0), 5);
  ASSERT_EQ(array.Size(), 3u);
  EXPECT_EQ(array.At({7}).Type(), varInteger);
  EXPECT_EQ(array.At({7}).ToInt(), 49);

  VariantHolder texts;
  texts->vt = VT_ARRAY | VT_BSTR;
  SAFEARRAYBOUND text_bound{2, 0};
  texts->parray = SafeArrayCreate(VT_BSTR, 1, &text_bound);
  LONG index = 1;
  SafeArrayPutElement(texts->parray, &index, SysAllocString(L"Штрихкод"));
  const Variant text_array = FromComVariant(*texts);
  EXPECT_EQ(text_array.Array().At({0}).ToString(), "");
  EXPECT_EQ(text_array.Array().At({1}).ToString(), "Штрихкод");

  VariantHolder shorts;
  shorts->vt = VT_ARRAY | VT_I2;
  shorts->parray = SafeArrayCreate(VT_I2, 1, &text_bound);
  // Only a top-level argument is widened; elements keep their own type.
  EXPECT_EQ(FromComVariant(*shorts).Array().At({0}).Type(), varSmallint);
}

TEST(ComVariantConversion, NestedArraysAreCopiedDeeply) {
  VariantArray inner = VariantArray::Vector({Variant("a"), Variant(2)});
  VariantArray outer = VariantArray::Vector({Variant(1), Variant(std::move(inner))});
  VariantHolder v;
  ToComVariant(Variant(std::move(outer)), *v);
  ASSERT_EQ(v->vt, VT_ARRAY | VT_VARIANT);
  LONG index = 1;
  VariantHolder element;
  ASSERT_EQ(SafeArrayGetElement(v->parray, &index, element.get()), S_OK);
  ASSERT_EQ(element->vt, VT_ARRAY | VT_VARIANT);

  const Variant back = FromComVariant(*v);
  const Variant& nested = back.Array().At({1});
  ASSERT_TRUE(nested.IsArray());
  EXPECT_EQ(nested.Array().At({0}).ToString(), "a");
  EXPECT_EQ(nested.Array().At({1}).ToInt(), 2);
}

TEST(ComVariantConversion, ArrayWithoutDimensionsBecomesAnEmptyVector) {
  VariantHolder v;
  ToComVariant(Variant(VariantArray({})), *v);
  ASSERT_EQ(v->vt, VT_ARRAY | VT_VARIANT);
  EXPECT_EQ(SafeArrayGetDim(v->parray), 1u);
  LONG upper = 0;
  SafeArrayGetUBound(v->parray, 1, &upper);
  EXPECT_EQ(upper, -1);
}

TEST(ComVariantConversion, ReferencesAreResolvedAlongTheChain) {
  VariantHolder target;
  target->vt = VT_BSTR;
  target->bstrVal = SysAllocString(L"конец");
  VARIANT middle;
  middle.vt = VT_BYREF | VT_VARIANT;
  middle.pvarVal = target.get();
  VARIANT outer;
  outer.vt = VT_BYREF | VT_VARIANT;
  outer.pvarVal = &middle;
  EXPECT_EQ(FromComVariant(outer).ToString(), "конец");

  LONG number = 17;
  VARIANT typed;
  typed.vt = VT_BYREF | VT_I4;
  typed.plVal = &number;
  const Variant read = FromComVariant(typed);
  EXPECT_EQ(read.Type(), varInteger);
  EXPECT_EQ(read.ToInt(), 17);

  SAFEARRAY* table = MakeTable();
  VARIANT array_ref;
  array_ref.vt = VT_BYREF | VT_ARRAY | VT_VARIANT;
  array_ref.pparray = &table;
  EXPECT_EQ(FromComVariant(array_ref).Array().At({2, 1}).ToInt(), 21);
  SafeArrayDestroy(table);
}

TEST(ComVariantConversion, CyclicReferencesAreRefused) {
  VARIANT self;
  self.vt = VT_BYREF | VT_VARIANT;
  self.pvarVal = &self;
  EXPECT_THROW(FromComVariant(self), ConversionError);
}

TEST(ComVariantConversion, UnsupportedTypesRaiseConversionError) {
  VARIANT record;
  VariantInit(&record);
  record.vt = VT_RECORD;
  EXPECT_THROW(FromComVariant(record), ConversionError);
}

TEST(ComVariantConversion, DecimalReadsAsDouble) {
  VariantHolder v;
  v->vt = VT_R8;
  v->dblVal = 12.75;
  ASSERT_EQ(VariantChangeType(v.get(), v.get(), 0, VT_DECIMAL), S_OK);
  const Variant portable = FromComVariant(*v);
  EXPECT_EQ(portable.Type(), varDouble);
  EXPECT_DOUBLE_EQ(portable.ToDouble(), 12.75);
}

TEST(ComVariantConversion, HostObjectIsHeldAndHandedBackAsItself) {
  ComApartment apartment;
  FakeHostObject host;
  {
    VariantHolder v;
    v->vt = VT_DISPATCH;
    v->pdispVal = &host;
    host.AddRef();
    const Variant portable = FromComVariant(*v);
    v.Clear();
    EXPECT_EQ(host.references, 2) << "the portable value keeps its own reference";
    ASSERT_EQ(portable.Type(), varDispatch);
    ASSERT_NE(portable.Object(), nullptr);

    VariantHolder back;
    ToComVariant(portable, *back);
    ASSERT_EQ(back->vt, VT_DISPATCH);
    EXPECT_EQ(back->pdispVal, static_cast<IDispatch*>(&host));
  }
  EXPECT_EQ(host.references, 1);
}

TEST(ComVariantConversion, NullObjectStaysNull) {
  VariantHolder v;
  v->vt = VT_DISPATCH;
  v->pdispVal = nullptr;
  const Variant portable = FromComVariant(*v);
  EXPECT_EQ(portable.Type(), varDispatch);
  EXPECT_EQ(portable.Object(), nullptr);
  VariantHolder back;
  ToComVariant(portable, *back);
  EXPECT_EQ(back->vt, VT_DISPATCH);
  EXPECT_EQ(back->pdispVal, nullptr);
}

TEST(ComVariantConversion, PortableReferenceConvertsItsTarget) {
  Variant target("цель");
  VariantHolder v;
  ToComVariant(Variant::Ref(&target), *v);
  ASSERT_EQ(v->vt, VT_BSTR);
  EXPECT_STREQ(v->bstrVal, L"цель");
}

}  // namespace
}  // namespace pirell::com
