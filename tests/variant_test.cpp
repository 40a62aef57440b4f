// Host values: conversions by the automation rules in the user's locale, deep copies, references
// and arrays with bounds per dimension.

#include <gtest/gtest.h>

#include "common/errors.h"
#include "driver_object/variant.h"
#include "platform/locale.h"

namespace pirell {
namespace {

platform::LocaleFormat Russian() {
  platform::LocaleFormat format;
  format.decimal_separator = ",";
  format.time_separator = ":";
  format.short_date_format = "dd.MM.yyyy";
  format.time_format = "H:mm:ss";
  return format;
}

class VariantTest : public ::testing::Test {
 protected:
  platform::ScopedUserLocale locale{Russian()};
};

TEST_F(VariantTest, EmptyConvertsToZeroFalseAndNoText) {
  const Variant empty;
  EXPECT_EQ(empty.ToInt(), 0);
  EXPECT_EQ(empty.ToDouble(), 0.0);
  EXPECT_FALSE(empty.ToBool());
  EXPECT_EQ(empty.ToString(), "");
  EXPECT_EQ(empty.ToCurrency(), 0);
}

TEST_F(VariantTest, IntegersFromNumbersRoundHalvesToEven) {
  EXPECT_EQ(Variant::Double(2.5).ToInt(), 2);
  EXPECT_EQ(Variant::Double(3.5).ToInt(), 4);
  EXPECT_EQ(Variant::Double(-2.5).ToInt(), -2);
  EXPECT_EQ(Variant::Currency(25000).ToInt(), 2);
  EXPECT_EQ(Variant::Boolean(true).ToInt(), -1);
  EXPECT_EQ(Variant::LongWord(0xFFFFFFFFu).ToInt(), -1);
  EXPECT_THROW(Variant::Int64(1ll << 40).ToInt(), ConversionError);
  EXPECT_THROW(Variant::Double(1e300).ToInt(), ConversionError);
  EXPECT_THROW(Variant::Null().ToInt(), ConversionError);
}

TEST_F(VariantTest, TextsAreReadInTheLocalesFormat) {
  EXPECT_EQ(Variant(" 42 ").ToInt(), 42);
  EXPECT_EQ(Variant("-7").ToInt(), -7);
  EXPECT_EQ(Variant("1,5").ToDouble(), 1.5);
  EXPECT_EQ(Variant("2,5").ToInt(), 2);
  EXPECT_THROW(Variant("1.5").ToDouble(), ConversionError);
  EXPECT_THROW(Variant("abc").ToInt(), ConversionError);
  EXPECT_THROW(Variant("").ToDouble(), ConversionError);
  EXPECT_EQ(Variant("1,23456").ToCurrency(), 12346);

  platform::LocaleFormat dot = Russian();
  dot.decimal_separator = ".";
  platform::ScopedUserLocale scoped(dot);
  EXPECT_EQ(Variant("1.5").ToDouble(), 1.5);
  EXPECT_THROW(Variant("1,5").ToDouble(), ConversionError);
}

TEST_F(VariantTest, BooleansFromTextsAndNumbers) {
  EXPECT_TRUE(Variant("True").ToBool());
  EXPECT_TRUE(Variant("TRUE").ToBool());
  EXPECT_FALSE(Variant("false").ToBool());
  EXPECT_TRUE(Variant("1").ToBool());
  EXPECT_FALSE(Variant("0").ToBool());
  EXPECT_THROW(Variant("yes").ToBool(), ConversionError);
  EXPECT_TRUE(Variant::Double(0.1).ToBool());
  EXPECT_FALSE(Variant::Currency(0).ToBool());
}

TEST_F(VariantTest, TextsOfNumbersDatesAndBooleans) {
  EXPECT_EQ(Variant::Double(12.5).ToString(), "12,5");
  EXPECT_EQ(Variant::Single(0.1f).ToString(), "0,1");
  EXPECT_EQ(Variant::Currency(12345678).ToString(), "1234,5678");
  EXPECT_EQ(Variant::Boolean(false).ToString(), "False");
  EXPECT_EQ(Variant::LongWord(4000000000u).ToString(), "4000000000");
  EXPECT_EQ(Variant::Date(42067.0).ToString(), "04.03.2015");
  EXPECT_EQ(Variant::Date(42067.75).ToString(), "04.03.2015 18:00:00");
  EXPECT_EQ(Variant::Null().ToString(), "");
  EXPECT_THROW(Variant(VariantArray::Vector(1)).ToString(), ConversionError);
}

TEST_F(VariantTest, DatesFromTexts) {
  EXPECT_EQ(Variant("04.03.2015").ToDate(), 42067.0);
  EXPECT_EQ(Variant("04.03.2015 18:00").ToDate(), 42067.75);
  EXPECT_EQ(Variant::Double(3.25).ToDate(), 3.25);
  EXPECT_THROW(Variant("31.02.2015").ToDate(), ConversionError);
  EXPECT_THROW(Variant("tomorrow").ToDate(), ConversionError);
}

TEST_F(VariantTest, CopiesOfArraysAreDeep) {
  Variant original = VariantArray::Vector({Variant(1), Variant(VariantArray::Vector(1))});
  Variant copy = original;
  copy.Array().At({0}) = Variant(99);
  copy.Array().At({1}).Array().At({0}) = Variant("inner");
  EXPECT_EQ(original.Array().At({0}).ToInt(), 1);
  EXPECT_TRUE(original.Array().At({1}).Array().At({0}).IsEmpty());
  EXPECT_EQ(original.Type(), varArray | varVariant);
}

TEST_F(VariantTest, TextsKeepEveryByteAndOutliveTheVariantTheyCameFrom) {
  const std::string bytes(
      "01\x1D"
      "AB\0\xFF\r\n ",
      10);
  Variant original =
      VariantArray::Vector({Variant(bytes), Variant::AnsiString(bytes), Variant("")});
  Variant copy = original;
  original = Variant();
  ASSERT_EQ(copy.Array().Size(), 3u);
  EXPECT_EQ(copy.Array().At({0}).ToString(), bytes);
  EXPECT_EQ(copy.Array().At({1}).Type(), varString);
  EXPECT_EQ(copy.Array().At({1}).RawString(), bytes);
  EXPECT_EQ(copy.Array().At({2}).Type(), varOleStr);
  EXPECT_EQ(copy.Array().At({2}).ToString(), "");
  // A variant may take a value that its own array holds.
  Variant moved = copy;
  copy = copy.Array().At({0});
  moved = std::move(moved.Array().At({1}));
  EXPECT_EQ(copy.ToString(), bytes);
  EXPECT_EQ(moved.Type(), varString);
  EXPECT_EQ(moved.RawString(), bytes);
}

TEST_F(VariantTest, ReferencesFollowChainsAndResolveInsideArrays) {
  Variant target = Variant(5);
  Variant middle = Variant::Ref(&target);
  Variant outer = Variant::Ref(&middle);
  EXPECT_EQ(outer.Type(), varByRef | varVariant);
  EXPECT_EQ(&outer.Deref(), &target);
  EXPECT_EQ(outer.ToInt(), 5);

  Variant holder = VariantArray::Vector({Variant::Ref(&target)});
  Variant resolved = holder.ResolvedCopy();
  target = Variant(6);
  EXPECT_FALSE(resolved.Array().At({0}).IsRef());
  EXPECT_EQ(resolved.Array().At({0}).ToInt(), 5);
  // A copy never points into the caller's variants, however deep they sit.
  Variant nested = VariantArray::Vector({Variant(VariantArray::Vector({Variant::Ref(&target)}))});
  Variant deep = nested.ResolvedCopy();
  target = Variant(7);
  EXPECT_FALSE(deep.Array().At({0}).Array().At({0}).IsRef());
  EXPECT_EQ(deep.Array().At({0}).Array().At({0}).ToInt(), 6);

  Variant typed = Variant::Integer(3);
  EXPECT_EQ(Variant::Ref(&typed, varInteger).Type(), varByRef | varInteger);
}

TEST_F(VariantTest, CyclicOrDanglingReferencesResolveToEmpty) {
  Variant a, b;
  a = Variant::Ref(&b);
  b = Variant::Ref(&a);
  EXPECT_TRUE(a.ResolvedCopy().IsEmpty());
  EXPECT_TRUE(Variant::Ref(nullptr).ResolvedCopy().IsEmpty());
}

TEST_F(VariantTest, ArraysHaveBoundsPerDimensionAndFirstIndexFastest) {
  VariantArray table({ArrayBound{1, 2}, ArrayBound{-1, 3}});
  EXPECT_EQ(table.Dims(), 2);
  EXPECT_EQ(table.Lower(0), 1);
  EXPECT_EQ(table.Upper(0), 2);
  EXPECT_EQ(table.Lower(1), -1);
  EXPECT_EQ(table.Upper(1), 1);
  ASSERT_EQ(table.Size(), 6u);
  table.At({2, -1}) = Variant("second");
  table.At({1, 0}) = Variant("third");
  EXPECT_EQ(table.Items()[1].ToString(), "second");
  EXPECT_EQ(table.Items()[2].ToString(), "third");
  EXPECT_THROW(table.At({0, 0}), ArrayError);
  EXPECT_THROW(table.At({1, 2}), ArrayError);
  EXPECT_THROW(table.At({1}), ArrayError);
  EXPECT_THROW(table.Bound(2), ArrayError);
  EXPECT_THROW(Variant(1).Array(), ArrayError);
  EXPECT_EQ(VariantArray({ArrayBound{0, -5}}).Size(), 0u);

  const VariantArray taken({ArrayBound{1, 2}, ArrayBound{0, 1}}, {Variant(1), Variant("x")});
  EXPECT_EQ(taken.At({2, 0}).ToString(), "x");
  EXPECT_THROW(VariantArray({ArrayBound{0, 3}}, {Variant(1), Variant(2)}), ArrayError);
}

TEST_F(VariantTest, CoercionForTypedReferences) {
  EXPECT_EQ(CoerceForReference(Variant("12"), varSmallint).Type(), varSmallint);
  EXPECT_EQ(CoerceForReference(Variant(300), varByte).RawInteger(), 44);
  EXPECT_EQ(CoerceForReference(Variant::Double(1.5), varCurrency).RawInteger(), 15000);
  EXPECT_EQ(CoerceForReference(Variant(), varDispatch).Type(), varDispatch);
  EXPECT_THROW(CoerceForReference(Variant(1), varDispatch), ConversionError);
  try {
    CoerceForReference(Variant(1), varInt64);
    ADD_FAILURE() << "a 64-bit reference cannot be written back";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Ошибка входных параметров команды");
  }
}

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
  EXPECT_EQ(RoundHalfEven(2.6), 3);
}

}  // namespace
}  // namespace pirell
