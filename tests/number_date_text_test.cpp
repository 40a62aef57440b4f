// Numbers and dates as texts in the user's locale.

#include <gtest/gtest.h>

#include <limits>

#include "common/errors.h"
#include "driver_object/call_trace.h"
#include "driver_object/date_text.h"
#include "driver_object/number_text.h"
#include "driver_object/variant.h"
#include "platform/locale.h"
#include "support/fake_time_source.h"

namespace pirell {
namespace {

TEST(NumberTextTest, ParseInteger) {
  EXPECT_EQ(ParseInteger("+5"), 5);
  EXPECT_EQ(ParseInteger(" -12 "), -12);
  EXPECT_EQ(ParseInteger("-9223372036854775808"), INT64_MIN);
  EXPECT_FALSE(ParseInteger("9223372036854775808"));
  EXPECT_FALSE(ParseInteger("1e3"));
  EXPECT_FALSE(ParseInteger(""));
  EXPECT_FALSE(ParseInteger("-"));
  EXPECT_FALSE(ParseInteger("1 000"));
}

TEST(NumberTextTest, ParseDecimalWithAGivenSeparator) {
  EXPECT_EQ(ParseDecimal("1,5", ","), 1.5);
  EXPECT_EQ(ParseDecimal(",5", ","), 0.5);
  EXPECT_EQ(ParseDecimal("-2,", ","), -2.0);
  EXPECT_EQ(ParseDecimal("1,5e2", ","), 150.0);
  EXPECT_FALSE(ParseDecimal("1.5", ","));
  EXPECT_FALSE(ParseDecimal("1,2,3", ","));
  EXPECT_FALSE(ParseDecimal(",", ","));
  EXPECT_FALSE(ParseDecimal("1e", ","));
  EXPECT_FALSE(ParseDecimal("1 000,5", ","));
}

TEST(NumberTextTest, GeneralFormatHasNoPaddingOrTrailingZeros) {
  EXPECT_EQ(FormatGeneral(12.5, ","), "12,5");
  EXPECT_EQ(FormatGeneral(100, "."), "100");
  EXPECT_EQ(FormatGeneral(0.1, "."), "0.1");
  EXPECT_EQ(FormatGeneral(-0.0001, "."), "-0.0001");
  EXPECT_EQ(FormatGeneral(1e20, "."), "1E20");
  EXPECT_EQ(FormatGeneral(1.5e-7, ","), "1,5E-7");
  EXPECT_EQ(FormatGeneral(123456789012345678.0, "."), "1.23456789012346E17");
  EXPECT_EQ(FormatGeneral(2.0 / 3.0, ".", 7), "0.6666667");
}

TEST(NumberTextTest, CurrencyKeepsEveryDigit) {
  EXPECT_EQ(FormatCurrency(12345678, ","), "1234,5678");
  EXPECT_EQ(FormatCurrency(125000, ","), "12,5");
  EXPECT_EQ(FormatCurrency(-30000, "."), "-3");
  EXPECT_EQ(FormatCurrency(-1, "."), "-0.0001");
  EXPECT_EQ(FormatCurrency(INT64_MIN, "."), "-922337203685477.5808");
  EXPECT_EQ(FormatCurrency(0, "."), "0");
}

TEST(DateTextTest, OleDatesEncodeAndDecode) {
  EXPECT_EQ(EncodeOleDate({1899, 12, 30}), 0.0);
  EXPECT_EQ(EncodeOleDate({2015, 3, 4, 6, 0, 0, 0}), 42067.25);
  // Before the epoch the fraction still counts forward from midnight.
  EXPECT_EQ(EncodeOleDate({1899, 12, 29, 6, 0, 0, 0}), -1.25);
  const platform::LocalTime back = DecodeOleDate(-1.25);
  EXPECT_EQ(back.year, 1899);
  EXPECT_EQ(back.day, 29);
  EXPECT_EQ(back.hour, 6);
  const platform::LocalTime leap = DecodeOleDate(EncodeOleDate({2016, 2, 29, 23, 59, 59, 999}));
  EXPECT_EQ(leap.month, 2);
  EXPECT_EQ(leap.day, 29);
  EXPECT_EQ(leap.millisecond, 999);
}

TEST(DateTextTest, FormatFollowsTheLocalesPatterns) {
  platform::LocaleFormat us;
  us.short_date_format = "M/d/yyyy";
  us.time_format = "h:mm:ss tt";
  platform::ScopedUserLocale scoped(us);
  EXPECT_EQ(FormatLocaleDateTime(42067.0), "3/4/2015");
  EXPECT_EQ(FormatLocaleDateTime(42067.75), "3/4/2015 6:00:00 PM");
  EXPECT_EQ(ParseLocaleDateTime("3/4/2015 6:00:00 PM"), 42067.75);
}

TEST(DateTextTest, OnlyTheYears100To9999AreDatesThatShow) {
  platform::LocaleFormat ru;
  ru.short_date_format = "dd.MM.yyyy";
  ru.time_format = "H:mm:ss";
  ru.decimal_separator = ",";
  platform::ScopedUserLocale scoped(ru);
  EXPECT_TRUE(IsOleDateInRange(-657434.0));
  EXPECT_NO_THROW(Variant::Date(-657434.0).ToString());
  EXPECT_TRUE(IsOleDateInRange(2958465.5));
  EXPECT_EQ(FormatLocaleDateTime(2958465.5), "31.12.9999 12:00:00");
  EXPECT_EQ(Variant::Date(2958465.5).ToString(), "31.12.9999 12:00:00");
  // Beyond the range, a host's date has no text: the conversion fails instead of overflowing,
  // and the debug log shows the number.
  for (double date :
       {-657434.5, 2958466.0, 9.08367e+223, -1e300, std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_FALSE(IsOleDateInRange(date)) << date;
    EXPECT_THROW(Variant::Date(date).ToString(), ConversionError) << date;
  }
  EXPECT_EQ(FormatLocaleDateTime(2958466.5), "2958466,5");
  EXPECT_EQ(FormatLocaleDateTime(9.08367e+223), "9,08367E223");
  EXPECT_EQ(ValueToText(Variant::Date(-1e300)), "-1E300");
}

TEST(DateTextTest, ParseInTheRussianLocale) {
  platform::LocaleFormat ru;
  ru.short_date_format = "dd.MM.yyyy";
  ru.time_format = "H:mm:ss";
  platform::ScopedUserLocale scoped(ru);
  testing::FakeTimeSource clock;
  platform::ScopedTimeSource scoped_clock(clock);

  EXPECT_EQ(ParseLocaleDateTime("04.03.2015"), 42067.0);
  EXPECT_EQ(ParseLocaleDateTime("4.3.15"), 42067.0);
  EXPECT_EQ(ParseLocaleDateTime("04.03.49"), EncodeOleDate({2049, 3, 4}));
  EXPECT_EQ(ParseLocaleDateTime("04.03.50"), EncodeOleDate({1950, 3, 4}));
  EXPECT_EQ(ParseLocaleDateTime("04.03"), EncodeOleDate({clock.now.year, 3, 4}));
  EXPECT_EQ(ParseLocaleDateTime("10:30"), 0.4375);
  EXPECT_EQ(ParseLocaleDateTime("29.02.2016 23:59:59"),
            EncodeOleDate({2016, 2, 29, 23, 59, 59, 0}));
  EXPECT_FALSE(ParseLocaleDateTime("29.02.2015"));
  EXPECT_FALSE(ParseLocaleDateTime("04.13.2015"));
  EXPECT_FALSE(ParseLocaleDateTime("04.03.2015 24:00"));
  EXPECT_FALSE(ParseLocaleDateTime("abc"));
  EXPECT_FALSE(ParseLocaleDateTime(""));
}

}  // namespace
}  // namespace pirell
