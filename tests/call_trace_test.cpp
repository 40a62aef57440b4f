// The debug log: the text form of host values, the line format, the daily file and the lines the
// dispatch writes around each call.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/errors.h"
#include "driver_object/base_object.h"
#include "driver_object/call_trace.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/locale.h"
#include "platform/module_info.h"
#include "support/fake_time_source.h"
#include "support/temp_dir.h"
#include "support/test_object.h"

namespace pirell {
namespace {

using testing::FakeTimeSource;
using testing::TempDir;
using testing::TTestObject;

platform::LocaleFormat DotLocale() {
  platform::LocaleFormat format;
  format.decimal_separator = ".";
  format.time_separator = ":";
  format.short_date_format = "dd.MM.yyyy";
  format.time_format = "HH:mm:ss";
  return format;
}

class ValueTextTest : public ::testing::Test {
 protected:
  platform::ScopedUserLocale locale{DotLocale()};
};

TEST_F(ValueTextTest, ScalarsByType) {
  EXPECT_EQ(ValueToText(Variant()), "EMPTY");
  EXPECT_EQ(ValueToText(Variant::Null()), "NULL");
  EXPECT_EQ(ValueToText(Variant::Smallint(-7)), "-7");
  EXPECT_EQ(ValueToText(Variant::Integer(2147483647)), "2147483647");
  EXPECT_EQ(ValueToText(Variant::Single(1.5f)), "1.5");
  EXPECT_EQ(ValueToText(Variant::Double(0.1)), "0.1");
  EXPECT_EQ(ValueToText(Variant::Double(1.0 / 3.0)), "0.333333333333333");
  EXPECT_EQ(ValueToText(Variant::Currency(123450)), "12.345");
  EXPECT_EQ(ValueToText(Variant::Boolean(true)), "True");
  EXPECT_EQ(ValueToText(Variant::Boolean(false)), "False");
  EXPECT_EQ(ValueToText(Variant::Byte(65)), "A");
}

TEST_F(ValueTextTest, DecimalSeparatorFollowsTheUserLocale) {
  platform::LocaleFormat comma = DotLocale();
  comma.decimal_separator = ",";
  platform::ScopedUserLocale scoped(comma);
  EXPECT_EQ(ValueToText(Variant::Double(12.5)), "12,5");
  EXPECT_EQ(ValueToText(Variant::Currency(15000)), "1,5");
}

TEST_F(ValueTextTest, DatesShowTheTimeOnlyWhenItIsNotMidnight) {
  // 2015-03-04 is day 42067 of the automation calendar.
  EXPECT_EQ(ValueToText(Variant::Date(42067.0)), "04.03.2015");
  EXPECT_EQ(ValueToText(Variant::Date(42067.5)), "04.03.2015 12:00:00");
}

TEST_F(ValueTextTest, TextsAreQuotedWithLineBreaksAndControlCharactersWrittenVisibly) {
  EXPECT_EQ(ValueToText(Variant("first\r\nsecond")), "'first\\nsecond'");
  EXPECT_EQ(ValueToText(Variant::AnsiString("a\r\nb")), "'a\\nb'");
  // A lone line end, the group separators of a marking code and other control characters are
  // written visibly, so that no value breaks a line of the log.
  EXPECT_EQ(ValueToText(Variant("a\nb\rc")), "'a<LF>b<CR>c'");
  EXPECT_EQ(ValueToText(Variant("0104601234567893215abc\x1D"
                                "93dGVz\x01\t")),
            "'0104601234567893215abc<GS>93dGVz<1>\t'");
  EXPECT_EQ(ValueToText(Variant("")), "''");
  EXPECT_EQ(ValueToText(Variant("Привет")), "'Привет'");
}

TEST_F(ValueTextTest, TypesTheLogDoesNotShowGiveNoText) {
  EXPECT_EQ(ValueToText(Variant::Int64(5)), "");
  EXPECT_EQ(ValueToText(Variant::ShortInt(5)), "");
  EXPECT_EQ(ValueToText(Variant::Word(5)), "");
  EXPECT_EQ(ValueToText(Variant::LongWord(5)), "");
  EXPECT_EQ(ValueToText(Variant::UInt64(5)), "");
  EXPECT_EQ(ValueToText(Variant::ErrorCode(5)), "");
  EXPECT_EQ(ValueToText(Variant::Unknown(nullptr)), "");
}

TEST_F(ValueTextTest, DispatchShowsTheReferenceInHex) {
  EXPECT_EQ(ValueToText(Variant::Dispatch(nullptr)), "$00000000");
  auto object = CreateObject<TTestObject>();
  const std::string text = ValueToText(Variant::Dispatch(object));
  ASSERT_GE(text.size(), 9u);
  EXPECT_EQ(text[0], '$');
  EXPECT_EQ(text.find_first_not_of("0123456789ABCDEF", 1), std::string::npos) << text;
  EXPECT_NE(text, "$00000000");
}

TEST_F(ValueTextTest, ReferencesShowWhatTheyReferTo) {
  Variant target = Variant("x");
  EXPECT_EQ(ValueToText(Variant::Ref(&target)), "x");  // the standard text of a variant
  Variant number = Variant::Integer(12);
  EXPECT_EQ(ValueToText(Variant::Ref(&number, varInteger)), "12");
  Variant array = VariantArray::Vector({Variant(1)});
  EXPECT_EQ(ValueToText(Variant::Ref(&array)), "[(1)]");
}

TEST_F(ValueTextTest, ArraysInBracketsWithFirstIndexFastest) {
  EXPECT_EQ(ArrayToText(Variant(VariantArray::Vector({Variant(1), Variant("a"), Variant()}))),
            "[(1; 'a'; EMPTY)]");
  EXPECT_EQ(ArrayToText(Variant(VariantArray::Vector(0))), "[()]");
  EXPECT_EQ(ArrayToText(Variant(VariantArray({}))), "[()]");

  VariantArray table = VariantArray::Table(2, 3);
  for (int i = 0; i < 2; ++i) {
    for (int j = 0; j < 3; ++j) {
      std::string name = "e";
      name += std::to_string(i * 10 + j);
      table.At({i, j}) = Variant(name);
    }
  }
  EXPECT_EQ(ArrayToText(Variant(table)), "[(('e0'; 'e10')('e1'; 'e11')('e2'; 'e12'))]");

  VariantArray shifted({ArrayBound{1, 2}});
  shifted.At({1}) = Variant(10);
  shifted.At({2}) = Variant(20);
  EXPECT_EQ(ValueToText(Variant(shifted)), "[(10; 20)]");

  VariantArray cube({ArrayBound{0, 1}, ArrayBound{0, 2}, ArrayBound{0, 2}});
  int n = 0;
  for (Variant& item : cube.Items()) item = Variant(n++);
  EXPECT_EQ(ArrayToText(Variant(cube)), "[(((0)(1))((2)(3)))]");

  VariantArray empty_rows = VariantArray::Table(3, 0);
  EXPECT_EQ(ArrayToText(Variant(empty_rows)), "[()]");
}

TEST_F(ValueTextTest, NestedArraysNestAsBracketedGroups) {
  Variant nested =
      VariantArray::Vector({Variant(VariantArray::Vector({Variant(1), Variant(2)})), Variant("x")});
  EXPECT_EQ(ArrayToText(nested), "[([(1; 2)]; 'x')]");
  EXPECT_EQ(ArrayToText(Variant(7)), "7");
  EXPECT_EQ(ArrayToText(Variant()), "EMPTY");
}

TEST(DebugLogFormatTest, TimeStampFileNameAndLine) {
  platform::LocaleFormat format = DotLocale();
  format.time_separator = ".";
  platform::ScopedUserLocale scoped(format);
  const platform::LocalTime time{2015, 3, 4, 7, 8, 9, 5};
  EXPECT_EQ(DebugLogTimeStamp(time), "2015.03.04 07.08.09.005");
  const std::string sep(1, platform::PathDelimiter());
  EXPECT_EQ(DebugLogFileName("logs", time), "logs" + sep + "Debug_2015.03.04.log");
  EXPECT_EQ(DebugLogFileName("logs" + sep, time), "logs" + sep + "Debug_2015.03.04.log");
  EXPECT_EQ(DebugLogLine(time, "{ID}", "Cap", "Val", false),
            "2015.03.04 07.08.09.005 Inst.: {ID}\tCap: \tVal\r\n");
  EXPECT_EQ(DebugLogLine(time, "{ID}", "Cap", "Val", true),
            "2015.03.04 07.08.09.005 Inst.: {ID}\tCap\r\n");
}

// ---- the log file written by an object ----

class DebugLogTest : public ::testing::Test {
 protected:
  DebugLogTest() {
    object->SetDebugLogDir(folder.path());
    object->begin_debug_log_calls = 0;
  }

  std::string Prefix() const { return "2015.03.04 09:05:07.042 Inst.: " + object->InstanceID(); }
  std::string Line(const std::string& caption, const std::string& value) const {
    return Prefix() + "\t" + caption + ": \t" + value + "\r\n";
  }
  std::string CaptionLine(const std::string& caption) const {
    return Prefix() + "\t" + caption + "\r\n";
  }
  std::string LogPath() const { return folder.File("Debug_2015.03.04.log"); }
  std::string Log() const { return platform::ReadWholeFile(LogPath()).value_or("<no file>"); }

  HResult Call(DispId id, std::vector<Variant>& args) {
    VariantArguments block(args);
    return object->Invoke(id, kDispatchMethod, block, &result, &exception);
  }

  platform::ScopedUserLocale locale{DotLocale()};
  FakeTimeSource clock;
  platform::ScopedTimeSource scoped_clock{clock};
  TempDir folder;
  std::shared_ptr<TTestObject> object = CreateObject<TTestObject>();
  Variant result;
  ExceptionInfo exception;
};

TEST_F(DebugLogTest, OffByDefaultAndWritesNothing) {
  EXPECT_FALSE(object->DebugLogEnabled());
  object->WriteDebugLog("Caption", "Value");
  std::vector<Variant> args{Variant(), Variant(), Variant(0)};
  ASSERT_EQ(Call(TTestObject::kDoWork, args), hr::Ok);
  EXPECT_FALSE(platform::FileExists(LogPath()));
}

TEST_F(DebugLogTest, LinesAreAppendedCharacterForCharacter) {
  object->SetDebugLogEnabled(true);
  object->WriteDebugLog("Caption", "Value");
  object->WriteDebugLog("Only caption", "ignored value", true);
  clock.now.millisecond = 999;
  object->WriteDebugLog("Текст", "значение");
  const std::string third =
      "2015.03.04 09:05:07.999 Inst.: " + object->InstanceID() + "\tТекст: \tзначение\r\n";
  EXPECT_EQ(Log(), CaptionLine("Log started") + Line("Caption", "Value") +
                       CaptionLine("Only caption") + platform::Utf8ToSystemAnsi(third));
}

TEST_F(DebugLogTest, ANewDayStartsANewFile) {
  object->SetDebugLogEnabled(true);
  clock.now = {2015, 3, 5, 0, 0, 0, 1};
  object->WriteDebugLog("Next day", "", true);
  EXPECT_EQ(Log(), CaptionLine("Log started"));
  EXPECT_EQ(platform::ReadWholeFile(folder.File("Debug_2015.03.05.log")).value_or(""),
            "2015.03.05 00:00:00.001 Inst.: " + object->InstanceID() + "\tNext day\r\n");
}

TEST_F(DebugLogTest, SwitchingOnCallsTheHeaderOncePerSwitch) {
  object->SetDebugLogEnabled(true);
  EXPECT_EQ(object->begin_debug_log_calls, 1);
  object->SetDebugLogEnabled(true);
  EXPECT_EQ(object->begin_debug_log_calls, 1);
  object->SetDebugLogEnabled(false);
  EXPECT_EQ(object->begin_debug_log_calls, 1);
  object->SetDebugLogEnabled(true);
  EXPECT_EQ(object->begin_debug_log_calls, 2);
}

TEST_F(DebugLogTest, MissingFolderFallsBackToTheModulesFolder) {
  object->SetDebugLogDir(folder.File("does-not-exist"));
  clock.now = {1999, 12, 31, 23, 59, 58, 0};  // a day no other test writes
  const std::string expected =
      platform::IncludeTrailingPathDelimiter(platform::ExtractFileDir(platform::ModuleFileName())) +
      "Debug_1999.12.31.log";
  EXPECT_EQ(object->DebugLogFileName(), expected);
  std::filesystem::remove(std::filesystem::u8path(expected));
  object->SetDebugLogEnabled(true);
  object->WriteDebugLog("Fallback", "", true);
  const auto content = platform::ReadWholeFile(expected);
  std::filesystem::remove(std::filesystem::u8path(expected));
  ASSERT_TRUE(content.has_value());
  EXPECT_EQ(*content,
            "1999.12.31 23:59:58.000 Inst.: " + object->InstanceID() + "\tLog started\r\n" +
                "1999.12.31 23:59:58.000 Inst.: " + object->InstanceID() + "\tFallback\r\n");
  EXPECT_FALSE(platform::FileExists(LogPath()));
}

TEST_F(DebugLogTest, ALogThatCannotBeWrittenNeverFailsTheCall) {
  // A folder in the way of the log file makes every open fail.
  std::filesystem::create_directory(std::filesystem::u8path(LogPath()));
  object->SetDebugLogEnabled(true);
  object->WriteDebugLog("Lost", "line");
  std::vector<Variant> caller{Variant("in"), Variant(), Variant(0)};
  std::vector<Variant> args{Variant::Ref(&caller[0]), Variant::Ref(&caller[1]),
                            Variant::Ref(&caller[2])};
  EXPECT_EQ(Call(TTestObject::kDoWork, args), hr::Ok);
  EXPECT_TRUE(result.ToBool());
  object->private_handler = [](VariantArray&) -> Variant { throw Error("failed"); };
  EXPECT_EQ(Call(TTestObject::kInit, args), hr::DispException);
  EXPECT_EQ(exception.description, "failed");
}

TEST_F(DebugLogTest, PublicCallLeavesCallAndReturnLines) {
  object->SetDebugLogEnabled(true);
  object->public_handler = [](const Variant&, Variant& out, std::int32_t, std::string&) {
    out = Variant(VariantArray::Vector({Variant("ok"), Variant(3)}));
    return rc::Ok;
  };
  std::vector<Variant> args{Variant(VariantArray::Vector({Variant(1), Variant("a\r\nb")})),
                            Variant("host"), Variant(1000)};
  ASSERT_EQ(Call(TTestObject::kDoWork, args), hr::Ok);
  EXPECT_EQ(Log(), CaptionLine("Log started") + Line("> DoWork", "InData: [(1; 'a\\nb')]") +
                       Line("< DoWork", "Result=True; OutData: [('ok'; 3)]"));
}

TEST_F(DebugLogTest, FailedPublicCallTracesThePackedError) {
  object->SetDebugLogEnabled(true);
  object->public_handler = [](const Variant&, Variant&, std::int32_t, std::string&) -> ResultCode {
    throw Error("broken");
  };
  std::vector<Variant> args{Variant(), Variant(), Variant(0)};
  ASSERT_EQ(Call(TTestObject::kDoWork, args), hr::Ok);
  EXPECT_EQ(Log(), CaptionLine("Log started") + Line("> DoWork", "InData: EMPTY") +
                       Line("< DoWork", "Result=False; OutData: [(1001; 'broken')]"));
}

TEST_F(DebugLogTest, RefusedCallTracesAnEmptyResult) {
  object->SetDebugLogEnabled(true);
  std::vector<Variant> args{Variant(5), Variant("host"), Variant::Double(10.0)};
  ASSERT_EQ(Call(TTestObject::kDoWork, args), hr::InvalidArg);
  EXPECT_EQ(Log(), CaptionLine("Log started") + Line("> DoWork", "InData: 5") +
                       Line("< DoWork", "Result=EMPTY; OutData: EMPTY"));
}

TEST_F(DebugLogTest, PrivateCallTracesTheWholeArgumentArray) {
  object->SetDebugLogEnabled(true);
  object->private_handler = [](VariantArray& p) {
    p.Items()[1] = Variant("Нет ошибок");
    return Variant(true);
  };
  std::vector<Variant> args{Variant("dev1"), Variant()};
  ASSERT_EQ(Call(TTestObject::kOpen, args), hr::Ok);
  EXPECT_EQ(Log(), CaptionLine("Log started") +
                       platform::Utf8ToSystemAnsi(Line("> Open", "Params: [('dev1'; EMPTY)]") +
                                                  Line("< Open",
                                                       "Result=True; Params: [('dev1'; "
                                                       "'Нет ошибок')]")));
}

TEST_F(DebugLogTest, PrivateFailureLeavesTwoExceptionLinesAndNoReturnLine) {
  object->SetDebugLogEnabled(true);
  object->private_handler = [](VariantArray&) -> Variant { throw HostError("no host"); };
  std::vector<Variant> args{Variant(1)};
  ASSERT_EQ(Call(TTestObject::kInit, args), hr::DispException);
  EXPECT_EQ(Log(), CaptionLine("Log started") + Line("> Init", "Params: [(1)]") +
                       Line("EXCEPTION", "no host") + Line("EXCEPTION", "EOleException: no host"));
}

TEST_F(DebugLogTest, WriteBackFailureIsLoggedAtTheEntry) {
  object->SetDebugLogEnabled(true);
  Variant unsupported = Variant::Int64(1);
  std::vector<Variant> args{Variant::Ref(&unsupported, varInt64)};
  ASSERT_EQ(Call(TTestObject::kInit, args), hr::DispException);
  EXPECT_EQ(Log(),
            CaptionLine("Log started") +
                platform::Utf8ToSystemAnsi(
                    // A 64-bit integer has no log text.
                    Line("> Init", "Params: [()]") + Line("< Init", "Result=True; Params: [()]") +
                    Line("EXCEPTION", exception.source + ": Ошибка входных параметров команды")));
}

TEST_F(DebugLogTest, CallThatSwitchesTheLogOnLeavesNoCallLines) {
  std::vector<Variant> args{Variant(), Variant(), Variant(0)};
  ASSERT_EQ(Call(TTestObject::kEnable, args), hr::Ok);
  EXPECT_TRUE(object->DebugLogEnabled());
  EXPECT_EQ(Log(), CaptionLine("Log started"));
}

TEST_F(DebugLogTest, CallThatSwitchesTheLogOffLeavesOnlyTheCallLine) {
  object->SetDebugLogEnabled(true);
  std::vector<Variant> args{Variant(), Variant(), Variant(0)};
  ASSERT_EQ(Call(TTestObject::kDisable, args), hr::Ok);
  EXPECT_FALSE(object->DebugLogEnabled());
  EXPECT_EQ(Log(), CaptionLine("Log started") + Line("> Disable", "InData: EMPTY"));
}

TEST_F(DebugLogTest, TwoObjectsShareTheDailyFileAndAreToldApartByInstance) {
  auto other = CreateObject<TTestObject>();
  other->SetDebugLogDir(folder.path());
  object->SetDebugLogEnabled(true);
  other->SetDebugLogEnabled(true);
  object->WriteDebugLog("A", "", true);
  other->WriteDebugLog("B", "", true);
  const std::string other_prefix = "2015.03.04 09:05:07.042 Inst.: " + other->InstanceID();
  EXPECT_EQ(Log(), CaptionLine("Log started") + other_prefix + "\tLog started\r\n" +
                       CaptionLine("A") + other_prefix + "\tB\r\n");
}

}  // namespace
}  // namespace pirell
