#include <gtest/gtest.h>

#include <vector>

#include "com_server/com_holders.h"
#include "com_server/dispparams_arguments.h"
#include "common/errors.h"
#include "support/com_test_support.h"

namespace pirell::com {
namespace {

using test::ComApartment;
using test::FakeHostObject;

constexpr char kBadParameters[] = "Ошибка входных параметров команды";

// An argument block as a caller builds it: `slots` in the block's own order (last argument
// first).
struct Block {
  std::vector<VARIANT> slots;
  DISPPARAMS params{};

  explicit Block(std::size_t count) : slots(count) {
    for (VARIANT& v : slots) VariantInit(&v);
    params.rgvarg = slots.data();
    params.cArgs = static_cast<UINT>(count);
  }
  ~Block() {
    for (VARIANT& v : slots) VariantClear(&v);
  }
  // Argument `index` in the caller's order.
  VARIANT& Arg(std::size_t index) { return slots[slots.size() - 1 - index]; }
};

VARIANT RefTo(VARIANT* target) {
  VARIANT v;
  v.vt = VT_BYREF | VT_VARIANT;
  v.pvarVal = target;
  return v;
}

TEST(DispParamsArguments, ReadsArgumentsInTheCallersOrder) {
  Block block(3);
  block.Arg(0).vt = VT_I4;
  block.Arg(0).lVal = 1;
  block.Arg(1).vt = VT_BSTR;
  block.Arg(1).bstrVal = SysAllocString(L"второй");
  block.Arg(2).vt = VT_BOOL;
  block.Arg(2).boolVal = VARIANT_TRUE;
  DispParamsArguments args(&block.params);
  ASSERT_EQ(args.Count(), 3u);
  EXPECT_EQ(args.Read(0).ToInt(), 1);
  EXPECT_EQ(args.Read(1).ToString(), "второй");
  EXPECT_TRUE(args.Read(2).ToBool());
  EXPECT_THROW(args.Read(3), ArrayError);
}

TEST(DispParamsArguments, NoBlockMeansNoArguments) {
  DispParamsArguments none(nullptr);
  EXPECT_EQ(none.Count(), 0u);
  DISPPARAMS empty{};
  empty.cArgs = 2;  // a count without a list is not trusted
  EXPECT_EQ(DispParamsArguments(&empty).Count(), 0u);
}

TEST(DispParamsArguments, SmallIntegerArgumentIsWidened) {
  Block block(1);
  SHORT value = -12;
  VARIANT target;
  target.vt = VT_I2;
  target.iVal = value;
  block.Arg(0) = RefTo(&target);
  const Variant read = DispParamsArguments(&block.params).Read(0);
  EXPECT_EQ(read.Type(), varInteger);
  EXPECT_EQ(read.ToInt(), -12);
}

TEST(DispParamsArguments, WriteBackReplacesAnArgumentPassedByValue) {
  Block block(2);
  block.Arg(1).vt = VT_BSTR;
  block.Arg(1).bstrVal = SysAllocString(L"old");
  DispParamsArguments args(&block.params);
  args.WriteBack(1, Variant(VariantArray::Vector({Variant(1), Variant("x")})));
  ASSERT_EQ(block.Arg(1).vt, VT_ARRAY | VT_VARIANT);
  EXPECT_EQ(args.Read(1).Array().At({1}).ToString(), "x");
}

TEST(DispParamsArguments, WriteBackFollowsReferencesToVariantsAndChangesTheType) {
  VariantHolder callers_variable;
  callers_variable->vt = VT_I4;
  callers_variable->lVal = 5;
  VARIANT middle = RefTo(callers_variable.get());
  Block block(1);
  block.Arg(0) = RefTo(&middle);
  DispParamsArguments(&block.params).WriteBack(0, Variant("новое"));
  EXPECT_EQ(middle.vt, VT_BYREF | VT_VARIANT) << "the chain itself stays";
  ASSERT_EQ(callers_variable->vt, VT_BSTR);
  EXPECT_STREQ(callers_variable->bstrVal, L"новое");
}

TEST(DispParamsArguments, WriteBackConvertsToEveryStorableReferenceType) {
  SHORT i2 = 0;
  USHORT ui2 = 0;
  LONG i4 = 0;
  ULONG ui4 = 0;
  FLOAT r4 = 0;
  DOUBLE r8 = 0;
  DATE date = 0;
  CY cy{};
  VARIANT_BOOL boolean = VARIANT_FALSE;
  BYTE ui1 = 0;
  Block block(10);
  const struct {
    VARTYPE vt;
    void* target;
  } refs[] = {{VT_I2, &i2}, {VT_UI2, &ui2},   {VT_I4, &i4}, {VT_UI4, &ui4},      {VT_R4, &r4},
              {VT_R8, &r8}, {VT_DATE, &date}, {VT_CY, &cy}, {VT_BOOL, &boolean}, {VT_UI1, &ui1}};
  for (std::size_t i = 0; i < 10; ++i) {
    block.Arg(i).vt = VT_BYREF | refs[i].vt;
    block.Arg(i).byref = refs[i].target;
  }
  DispParamsArguments args(&block.params);
  args.WriteBack(0, Variant("-300"));
  args.WriteBack(1, Variant(65535));
  args.WriteBack(2, Variant(2.5));  // halves round to even
  args.WriteBack(3, Variant::LongWord(4000000000u));
  args.WriteBack(4, Variant(0.25));
  args.WriteBack(5, Variant(1));
  args.WriteBack(6, Variant::Date(45123.75));
  args.WriteBack(7, Variant(1.2345));
  args.WriteBack(8, Variant(7));
  args.WriteBack(9, Variant(0x1FF));
  EXPECT_EQ(i2, -300);
  EXPECT_EQ(ui2, 65535);
  EXPECT_EQ(i4, 2);
  EXPECT_EQ(ui4, 4000000000u);
  EXPECT_FLOAT_EQ(r4, 0.25f);
  EXPECT_DOUBLE_EQ(r8, 1.0);
  EXPECT_DOUBLE_EQ(date, 45123.75);
  EXPECT_EQ(cy.int64, 12345);
  EXPECT_EQ(boolean, VARIANT_TRUE) << "true is stored as -1";
  EXPECT_EQ(ui1, 0xFF) << "only the low 8 bits";
}

TEST(DispParamsArguments, WriteBackReplacesTheStringBehindATypedReference) {
  BstrHolder text(SysAllocString(L"было"));
  BSTR slot = text.Detach();
  Block block(1);
  block.Arg(0).vt = VT_BYREF | VT_BSTR;
  block.Arg(0).pbstrVal = &slot;
  DispParamsArguments(&block.params).WriteBack(0, Variant(42));
  BstrHolder stored(slot);
  EXPECT_STREQ(stored.get(), L"42");
}

TEST(DispParamsArguments, WriteBackReplacesTheObjectBehindATypedReferenceAndReleasesTheOld) {
  ComApartment apartment;
  FakeHostObject old_object, new_object;
  IDispatch* slot = &old_object;
  old_object.AddRef();
  {
    Block block(2);
    block.Arg(0).vt = VT_BYREF | VT_DISPATCH;
    block.Arg(0).ppdispVal = &slot;
    block.Arg(1).vt = VT_DISPATCH;
    block.Arg(1).pdispVal = &new_object;
    new_object.AddRef();
    DispParamsArguments args(&block.params);
    args.WriteBack(0, args.Read(1));
  }
  EXPECT_EQ(slot, static_cast<IDispatch*>(&new_object));
  EXPECT_EQ(old_object.references, 1);
  EXPECT_EQ(new_object.references, 2) << "one reference now belongs to the caller's variable";
  slot->Release();
}

TEST(DispParamsArguments, UnstorableReferenceTypesFailWithTheParameterErrorText) {
  LONGLONG i8 = 0;
  SAFEARRAY* array = nullptr;
  Block block(3);
  block.Arg(0).vt = VT_BYREF | VT_I8;
  block.Arg(0).pllVal = &i8;
  block.Arg(1).vt = VT_BYREF | VT_ARRAY | VT_I4;
  block.Arg(1).pparray = &array;
  block.Arg(2).vt = VT_BYREF | VT_VARIANT;
  block.Arg(2).pvarVal = nullptr;
  DispParamsArguments args(&block.params);
  for (std::size_t i = 0; i < 3; ++i) {
    try {
      args.WriteBack(i, Variant(1));
      ADD_FAILURE() << "argument " << i << " was written";
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), kBadParameters);
    }
  }
  EXPECT_EQ(i8, 0);
  EXPECT_EQ(array, nullptr);
}

TEST(DispParamsArguments, FailedConversionLeavesTheCallersValue) {
  LONG number = 9;
  Block block(1);
  block.Arg(0).vt = VT_BYREF | VT_I4;
  block.Arg(0).plVal = &number;
  EXPECT_THROW(DispParamsArguments(&block.params).WriteBack(0, Variant("не число")),
               ConversionError);
  EXPECT_EQ(number, 9);
}

}  // namespace
}  // namespace pirell::com
