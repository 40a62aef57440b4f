// The driver object's late-bound entry: name lookup, the refusals of Invoke, the two call forms,
// error packing and the write-back of arguments.

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "common/errors.h"
#include "driver_object/base_object.h"
#include "support/test_object.h"

namespace pirell {
namespace {

using testing::TTestObject;

class DispatchTest : public ::testing::Test {
 protected:
  // Invokes `id` with `args` as the caller's argument block.
  HResult Call(DispId id, std::vector<Variant>& args, std::uint16_t flags = kDispatchMethod) {
    VariantArguments block(args);
    return object->Invoke(id, flags, block, &result, &exception);
  }

  // The caller's variants passed by reference, as the host passes them.
  static std::vector<Variant> RefsTo(std::vector<Variant>& caller) {
    std::vector<Variant> refs;
    for (Variant& v : caller) refs.push_back(Variant::Ref(&v));
    return refs;
  }

  std::shared_ptr<TTestObject> object = CreateObject<TTestObject>();
  Variant result = Variant("untouched");
  ExceptionInfo exception;
};

const Variant& ErrorItem(const Variant& out_data, int index) {
  return out_data.Array().At({index});
}

// ---- name lookup ----

TEST_F(DispatchTest, NamesResolveIgnoringCase) {
  for (const char* name : {"GetDeviceInfo", "getdeviceinfo", "GETDEVICEINFO", "gEtDeViCeInFo"}) {
    DispId id = 99;
    EXPECT_EQ(object->GetIDsOfNames(name, id), hr::Ok) << name;
    EXPECT_EQ(id, TTestObject::kGetDeviceInfo) << name;
  }
}

TEST_F(DispatchTest, UnknownNameYieldsMinusOneAndNotImplemented) {
  DispId id = 5;
  EXPECT_EQ(object->GetIDsOfNames("PrintLabels", id), hr::NotImpl);
  EXPECT_EQ(id, -1);
  id = 5;
  EXPECT_EQ(object->GetIDsOfNames("", id), hr::NotImpl);
  EXPECT_EQ(id, -1);
}

TEST_F(DispatchTest, DuplicateNameResolvesToEarlierRowAndLaterRowIsReachableByNumber) {
  DispId id = -1;
  ASSERT_EQ(object->GetIDsOfNames("dowork", id), hr::Ok);
  EXPECT_EQ(id, TTestObject::kDoWork);

  std::vector<Variant> args{Variant(), Variant(), Variant(0)};
  ASSERT_EQ(Call(TTestObject::kSecondDoWork, args), hr::Ok);
  EXPECT_EQ(object->second_do_work_calls, 1);
  EXPECT_EQ(object->public_calls, 0);
}

TEST_F(DispatchTest, CyrillicNamesResolveIgnoringCase) {
  object->AddPublicMethod("Печать", nullptr);
  DispId id = -1;
  ASSERT_EQ(object->GetIDsOfNames("пЕЧАТЬ", id), hr::Ok);
  EXPECT_EQ(id, TTestObject::kMethodCount);
}

TEST_F(DispatchTest, RowsWithoutAHandlerFailCleanly) {
  object->AddPublicMethod("NoPublicHandler", nullptr);
  object->AddPrivateMethod("NoPrivateHandler", nullptr);
  std::vector<Variant> caller{Variant(), Variant(), Variant(0)};
  std::vector<Variant> args = RefsTo(caller);
  ASSERT_EQ(Call(TTestObject::kMethodCount, args), hr::Ok);
  EXPECT_FALSE(result.ToBool());
  EXPECT_EQ(ErrorItem(caller[1], 0).ToInt(), 1001);
  EXPECT_EQ(Call(TTestObject::kMethodCount + 1, args), hr::DispException);
  EXPECT_EQ(exception.scode, 1001);
}

TEST_F(DispatchTest, CreationGivesEachObjectItsOwnGuidAndFullMethodTable) {
  auto other = CreateObject<TTestObject>();
  const std::string& id = object->InstanceID();
  ASSERT_EQ(id.size(), 38u);
  EXPECT_EQ(id.front(), '{');
  EXPECT_EQ(id.back(), '}');
  EXPECT_NE(id, other->InstanceID());
  EXPECT_EQ(object->Methods().size(), static_cast<std::size_t>(TTestObject::kMethodCount));
  EXPECT_FALSE(object->Methods()[0].IsPublic);
  EXPECT_TRUE(object->Methods()[TTestObject::kDoWork].IsPublic);
}

// ---- refusals before anything runs ----

TEST_F(DispatchTest, BadNumberOrMissingMethodFlagFailsAndTouchesNothing) {
  std::vector<Variant> caller{Variant("in"), Variant("out"), Variant(5)};
  std::vector<Variant> args = RefsTo(caller);
  object->private_handler = [](VariantArray& p) {
    p.Items()[1] = Variant("changed");
    return Variant(1);
  };
  for (DispId id : {TTestObject::kMethodCount, -1, -100, 100000, 100001}) {
    EXPECT_EQ(Call(id, args), hr::Fail) << id;
  }
  EXPECT_EQ(Call(TTestObject::kDoWork, args, kDispatchPropertyGet), hr::Fail);
  EXPECT_EQ(Call(TTestObject::kInit, args, 0), hr::Fail);

  EXPECT_EQ(object->public_calls, 0);
  EXPECT_EQ(result.ToString(), "untouched");
  EXPECT_EQ(caller[1].ToString(), "out");
  EXPECT_EQ(exception.scode, 0);
}

TEST_F(DispatchTest, MethodFlagWithOtherBitsIsAccepted) {
  std::vector<Variant> args{Variant(), Variant(), Variant(0)};
  EXPECT_EQ(Call(TTestObject::kDoWork, args, kDispatchMethod | kDispatchPropertyGet), hr::Ok);
  EXPECT_EQ(object->public_calls, 1);
}

TEST_F(DispatchTest, PublicCallWithoutArgumentsIsRefusedAsInvalidArgument) {
  std::vector<Variant> args;
  EXPECT_EQ(Call(TTestObject::kDoWork, args), hr::InvalidArg);
  EXPECT_EQ(object->public_calls, 0);
  EXPECT_EQ(result.ToString(), "untouched");
}

TEST_F(DispatchTest, TimeOutMustBeIntegerOrBoolean) {
  struct Case {
    Variant time_out;
    bool accepted;
    std::int32_t seen;
  };
  const std::vector<Case> cases = {
      {Variant::Double(10.0), false, 0},
      {Variant("10"), false, 0},
      {Variant::Null(), false, 0},
      {Variant(), false, 0},
      {Variant::Currency(100000), false, 0},
      {Variant::Date(1.0), false, 0},
      {Variant(VariantArray::Vector({Variant(1)})), false, 0},
      {Variant::Smallint(7), true, 7},
      {Variant::Integer(-3), true, -3},
      {Variant::Byte(200), true, 200},
      {Variant::ShortInt(-8), true, -8},
      {Variant::Word(65535), true, 65535},
      {Variant::Boolean(true), true, -1},
      {Variant::LongWord(12), true, 12},
      {Variant::Int64(1234567), true, 1234567},
      {Variant::UInt64(9), true, 9},
  };
  for (const Case& c : cases) {
    object->public_calls = 0;
    std::vector<Variant> caller{Variant("in"), Variant("host value"), c.time_out};
    std::vector<Variant> args = RefsTo(caller);
    result = Variant("untouched");
    const HResult status = Call(TTestObject::kDoWork, args);
    if (c.accepted) {
      EXPECT_EQ(status, hr::Ok) << c.time_out.Type();
      EXPECT_EQ(object->public_calls, 1) << c.time_out.Type();
      EXPECT_EQ(object->last_time_out, c.seen) << c.time_out.Type();
    } else {
      EXPECT_EQ(status, hr::InvalidArg) << c.time_out.Type();
      EXPECT_EQ(object->public_calls, 0) << c.time_out.Type();
      EXPECT_EQ(result.ToString(), "untouched");
      EXPECT_EQ(caller[1].ToString(), "host value") << "refused call wrote back";
    }
  }
}

TEST_F(DispatchTest, TimeOutThatDoesNotFitReportsAFailedCallNotACrash) {
  std::vector<Variant> caller{Variant(), Variant(), Variant::UInt64(1ull << 40)};
  std::vector<Variant> args = RefsTo(caller);
  ASSERT_EQ(Call(TTestObject::kDoWork, args), hr::Ok);
  EXPECT_FALSE(result.ToBool());
  EXPECT_EQ(ErrorItem(caller[1], 0).ToInt(), 1001);
  EXPECT_FALSE(ErrorItem(caller[1], 1).ToString().empty());
}

// ---- public form ----

TEST_F(DispatchTest, PublicCodeWithoutTextGivesFalseAndCodeWithStandardMessage) {
  object->public_handler = [](const Variant&, Variant& out, std::int32_t, std::string&) {
    out = Variant("partial result that the error replaces");
    return 1013;
  };
  std::vector<Variant> caller{Variant(), Variant(), Variant(0)};
  std::vector<Variant> args = RefsTo(caller);
  ASSERT_EQ(Call(TTestObject::kDoWork, args), hr::Ok);
  EXPECT_EQ(result.Type(), varBoolean);
  EXPECT_FALSE(result.ToBool());
  ASSERT_TRUE(caller[1].IsArray());
  const VariantArray& error = caller[1].Array();
  ASSERT_EQ(error.Size(), 2u);
  EXPECT_EQ(error.Lower(0), 0);
  EXPECT_EQ(error.At({0}).Type(), varInteger);
  EXPECT_EQ(error.At({0}).ToInt(), 1013);
  EXPECT_EQ(error.At({1}).Type(), varOleStr);
  EXPECT_EQ(error.At({1}).ToString(), "Устройство не найдено");
}

TEST_F(DispatchTest, PublicCodeKeepsTheHandlersDescriptionAndAppendsExtraData) {
  object->public_handler = [this](const Variant&, Variant&, std::int32_t,
                                  std::string& description) {
    description = "Принтер не отвечает";
    object->SetExtData(Variant(VariantArray::Vector({Variant(1), Variant(2)})));
    return 1007;
  };
  std::vector<Variant> caller{Variant(), Variant(), Variant(0)};
  std::vector<Variant> args = RefsTo(caller);
  ASSERT_EQ(Call(TTestObject::kDoWork, args), hr::Ok);
  const VariantArray& error = caller[1].Array();
  ASSERT_EQ(error.Size(), 3u);
  EXPECT_EQ(error.At({0}).ToInt(), 1007);
  EXPECT_EQ(error.At({1}).ToString(), "Принтер не отвечает");
  ASSERT_TRUE(error.At({2}).IsArray());
  EXPECT_EQ(error.At({2}).Array().At({1}).ToInt(), 2);
}

TEST_F(DispatchTest, ExtraDataDoesNotLeakIntoTheNextCall) {
  object->public_handler = [this](const Variant&, Variant&, std::int32_t, std::string&) {
    object->SetExtData(Variant("extra"));
    return rc::Ok;
  };
  std::vector<Variant> args{Variant(), Variant(), Variant(0)};
  ASSERT_EQ(Call(TTestObject::kDoWork, args), hr::Ok);
  object->public_handler = [](const Variant&, Variant&, std::int32_t, std::string&) {
    return 1009;
  };
  std::vector<Variant> caller{Variant(), Variant(), Variant(0)};
  std::vector<Variant> refs = RefsTo(caller);
  ASSERT_EQ(Call(TTestObject::kDoWork, refs), hr::Ok);
  EXPECT_EQ(caller[1].Array().Size(), 2u);
}

TEST_F(DispatchTest, PublicHandlerFailureBecomesCode1001WithItsMessage) {
  object->public_handler = [](const Variant&, Variant&, std::int32_t, std::string&) -> ResultCode {
    throw ConversionError("Could not convert");
  };
  std::vector<Variant> caller{Variant(), Variant(), Variant(0)};
  std::vector<Variant> args = RefsTo(caller);
  ASSERT_EQ(Call(TTestObject::kDoWork, args), hr::Ok);
  EXPECT_FALSE(result.ToBool());
  EXPECT_EQ(ErrorItem(caller[1], 0).ToInt(), 1001);
  EXPECT_EQ(ErrorItem(caller[1], 1).ToString(), "Could not convert");

  // The standard library's own texts are English: the host gets a Russian one, and out of memory
  // says so with code 1004.
  object->public_handler = [](const Variant&, Variant&, std::int32_t, std::string&) -> ResultCode {
    throw std::runtime_error("plain failure");
  };
  ASSERT_EQ(Call(TTestObject::kDoWork, args), hr::Ok);
  EXPECT_EQ(ErrorItem(caller[1], 1).ToString(), "Внутренняя ошибка драйвера");
  object->public_handler = [](const Variant&, Variant&, std::int32_t, std::string&) -> ResultCode {
    throw std::bad_alloc();
  };
  ASSERT_EQ(Call(TTestObject::kDoWork, args), hr::Ok);
  EXPECT_EQ(ErrorItem(caller[1], 0).ToInt(), 1004);
  EXPECT_EQ(ErrorItem(caller[1], 1).ToString(), "Недостаточно памяти для выполнения команды");

  object->public_handler = [](const Variant&, Variant&, std::int32_t, std::string&) -> ResultCode {
    throw 42;
  };
  ASSERT_EQ(Call(TTestObject::kDoWork, args), hr::Ok);
  EXPECT_EQ(ErrorItem(caller[1], 0).ToInt(), 1001);
  EXPECT_EQ(ErrorItem(caller[1], 1).ToString(), "Неизвестная ошибка");
}

TEST_F(DispatchTest, SuccessLeavesOnlyWhatTheHandlerPutIntoOutData) {
  std::vector<Variant> caller{Variant("in"), Variant("passed by the host"), Variant(0)};
  std::vector<Variant> args = RefsTo(caller);
  ASSERT_EQ(Call(TTestObject::kDoWork, args), hr::Ok);
  EXPECT_TRUE(object->last_out_data_on_entry.IsEmpty());
  EXPECT_TRUE(result.ToBool());
  EXPECT_TRUE(caller[1].IsEmpty());

  ASSERT_EQ(Call(TTestObject::kGetDeviceInfo, args), hr::Ok);
  ASSERT_TRUE(caller[1].IsArray());
  EXPECT_EQ(caller[1].Array().At({0}).ToString(), "Test");
}

TEST_F(DispatchTest, PublicCallWritesBackOutDataAndReturnsTheOtherArgumentsAsRead) {
  object->public_handler = [](const Variant&, Variant& out, std::int32_t, std::string&) {
    out = Variant::Double(2.5);
    return rc::Ok;
  };
  std::vector<Variant> caller{Variant::Smallint(12), Variant(), Variant::Smallint(30)};
  std::vector<Variant> args = RefsTo(caller);
  ASSERT_EQ(Call(TTestObject::kDoWork, args), hr::Ok);
  EXPECT_EQ(object->last_in_data.Type(), varInteger);
  EXPECT_EQ(caller[0].Type(), varInteger);  // a 16-bit integer comes back as a 32-bit one
  EXPECT_EQ(caller[0].ToInt(), 12);
  EXPECT_EQ(caller[1].Type(), varDouble);
  EXPECT_EQ(caller[1].ToDouble(), 2.5);
  EXPECT_EQ(caller[2].Type(), varInteger);
  EXPECT_EQ(caller[2].ToInt(), 30);
}

TEST_F(DispatchTest, ArgumentsPassedByValueAreReplacedInTheBlock) {
  std::vector<Variant> args{Variant("in"), Variant("old"), Variant(0)};
  object->public_handler = [](const Variant&, Variant& out, std::int32_t, std::string&) {
    out = Variant(7);
    return rc::Ok;
  };
  ASSERT_EQ(Call(TTestObject::kDoWork, args), hr::Ok);
  EXPECT_EQ(args[1].ToInt(), 7);
}

TEST_F(DispatchTest, ArgumentsBehindChainsOfReferencesAreCopiedResolved) {
  Variant inner = VariantArray::Vector({Variant(1), Variant("two")});
  Variant middle = Variant::Ref(&inner);
  std::vector<Variant> caller{Variant::Ref(&middle), Variant(), Variant(0)};
  std::vector<Variant> args = RefsTo(caller);
  ASSERT_EQ(Call(TTestObject::kDoWork, args), hr::Ok);
  ASSERT_TRUE(object->last_in_data.IsArray());
  EXPECT_FALSE(object->last_in_data.IsRef());
  EXPECT_EQ(object->last_in_data.Array().At({1}).ToString(), "two");
  // The value goes back to the variant the chain ends at.
  ASSERT_TRUE(inner.IsArray());
  EXPECT_EQ(inner.Array().Size(), 2u);
}

// A message served while a call waits may let the host change or free the variants it passed;
// the handler reads its own copy of them, which shares only texts, and those never change.
TEST_F(DispatchTest, TheHostChangingItsArgumentsDuringTheCallLeavesTheHandlersCopyAsItWas) {
  std::vector<Variant> caller{
      VariantArray::Vector({Variant("first"), Variant(VariantArray::Vector({Variant("inner")}))}),
      Variant(), Variant(0)};
  std::vector<Variant> args = RefsTo(caller);
  std::string seen;
  object->public_handler = [&](const Variant& in, Variant&, std::int32_t, std::string&) {
    caller[0].Array().At({0}) = Variant("changed");
    caller[0].Array().At({1}) = Variant();
    seen = in.Array().At({0}).ToString() + " " + in.Array().At({1}).Array().At({0}).ToString();
    return rc::Ok;
  };
  ASSERT_EQ(Call(TTestObject::kDoWork, args), hr::Ok);
  EXPECT_EQ(seen, "first inner");
  // What goes back is InData as it was read.
  EXPECT_EQ(caller[0].Array().At({0}).ToString(), "first");
  EXPECT_EQ(caller[0].Array().At({1}).Array().At({0}).ToString(), "inner");
}

TEST_F(DispatchTest, CallMethodWithFewerThanTwoElementsKeepsTheArraySize) {
  VariantArray params = VariantArray::Vector({Variant("in")});
  Variant call_result;
  // The missing time-out reads as empty: refused.
  EXPECT_EQ(object->CallMethod(TTestObject::kDoWork, call_result, params), hr::InvalidArg);
  EXPECT_TRUE(call_result.IsEmpty());
  EXPECT_EQ(params.Size(), 1u);
  EXPECT_EQ(object->CallMethod(TTestObject::kMethodCount, call_result, params), hr::Fail);
}

// ---- private form ----

TEST_F(DispatchTest, PrivateCallReturnsTheHandlersValueAndWritesBackEveryElement) {
  object->private_handler = [](VariantArray& p) {
    EXPECT_EQ(p.Size(), 2u);
    EXPECT_EQ(p.At({0}).Type(), varInteger);
    p.At({0}) = Variant("replaced");
    p.At({1}) = Variant("Нет ошибок");
    return Variant(true);
  };
  std::vector<Variant> caller{Variant::Smallint(1), Variant()};
  std::vector<Variant> args = RefsTo(caller);
  ASSERT_EQ(Call(TTestObject::kInit, args), hr::Ok);
  EXPECT_EQ(result.Type(), varBoolean);
  EXPECT_TRUE(result.ToBool());
  EXPECT_EQ(caller[0].ToString(), "replaced");
  EXPECT_EQ(caller[1].ToString(), "Нет ошибок");
}

TEST_F(DispatchTest, TypedReferencesReceiveTheValueConvertedToTheirType) {
  Variant as_short = Variant::Smallint(0), as_int = Variant::Integer(0),
          as_double = Variant::Double(0), as_currency = Variant::Currency(0),
          as_string = Variant("old"), as_bool = Variant::Boolean(false), as_byte = Variant::Byte(0),
          as_date = Variant::Date(0), as_word = Variant::Word(0);
  std::vector<Variant> args{
      Variant::Ref(&as_short, varSmallint), Variant::Ref(&as_int, varInteger),
      Variant::Ref(&as_double, varDouble),  Variant::Ref(&as_currency, varCurrency),
      Variant::Ref(&as_string, varOleStr),  Variant::Ref(&as_bool, varBoolean),
      Variant::Ref(&as_byte, varByte),      Variant::Ref(&as_date, varDate),
      Variant::Ref(&as_word, varWord)};
  object->private_handler = [](VariantArray& p) {
    std::vector<Variant>& items = p.Items();
    items[0] = Variant("-12");
    items[1] = Variant::Double(41.5);  // halves go to the even neighbour
    items[2] = Variant(3);
    items[3] = Variant::Double(1.23456);
    items[4] = Variant(17);
    items[5] = Variant("true");
    items[6] = Variant(0x1FF);
    items[7] = Variant::Double(2.25);
    items[8] = Variant(65535);
    return Variant();
  };
  ASSERT_EQ(Call(TTestObject::kOpen, args), hr::Ok) << exception.description;
  EXPECT_EQ(as_short.Type(), varSmallint);
  EXPECT_EQ(as_short.ToInt(), -12);
  EXPECT_EQ(as_int.Type(), varInteger);
  EXPECT_EQ(as_int.ToInt(), 42);
  EXPECT_EQ(as_double.Type(), varDouble);
  EXPECT_EQ(as_double.ToDouble(), 3.0);
  EXPECT_EQ(as_currency.Type(), varCurrency);
  EXPECT_EQ(as_currency.RawInteger(), 12346);
  EXPECT_EQ(as_string.Type(), varOleStr);
  EXPECT_EQ(as_string.ToString(), "17");
  EXPECT_EQ(as_bool.Type(), varBoolean);
  EXPECT_EQ(as_bool.RawInteger(), -1);
  EXPECT_EQ(as_byte.Type(), varByte);
  EXPECT_EQ(as_byte.RawInteger(), 0xFF);
  EXPECT_EQ(as_date.Type(), varDate);
  EXPECT_EQ(as_date.RawDouble(), 2.25);
  EXPECT_EQ(as_word.Type(), varWord);
  EXPECT_EQ(as_word.RawInteger(), 65535);
}

TEST_F(DispatchTest, WriteBackThatATypedReferenceCannotTakeIsReportedNotThrown) {
  Variant unsupported = Variant::Int64(5);
  Variant number = Variant::Integer(0);
  Variant plain;
  std::vector<Variant> args{Variant::Ref(&unsupported, varInt64), Variant::Ref(&plain),
                            Variant::Ref(&number, varInteger)};
  object->private_handler = [](VariantArray& p) {
    p.Items()[0] = Variant(1);
    p.Items()[1] = Variant("still delivered");
    p.Items()[2] = Variant("not a number");
    return Variant(true);
  };
  EXPECT_EQ(Call(TTestObject::kInit, args), hr::DispException);
  EXPECT_EQ(exception.scode, 1001);
  EXPECT_EQ(exception.description, "Ошибка входных параметров команды");
  EXPECT_FALSE(exception.source.empty());
  EXPECT_EQ(result.ToString(), "untouched");
  EXPECT_EQ(unsupported.RawInteger(), 5);
  EXPECT_EQ(number.ToInt(), 0);
  EXPECT_EQ(plain.ToString(), "still delivered");
}

TEST_F(DispatchTest, NullReferenceArgumentIsReportedNotDereferenced) {
  std::vector<Variant> args{Variant::Ref(nullptr, varInteger)};
  EXPECT_EQ(Call(TTestObject::kInit, args), hr::DispException);
  EXPECT_EQ(exception.description, "Ошибка входных параметров команды");
}

TEST_F(DispatchTest, PrivateHandlerFailureIsAComExceptionAndNothingIsWrittenBack) {
  object->private_handler = [](VariantArray& p) -> Variant {
    p.Items()[0] = Variant("half done");
    throw HostError("Host refused");
  };
  std::vector<Variant> caller{Variant("arg")};
  std::vector<Variant> args = RefsTo(caller);
  EXPECT_EQ(Call(TTestObject::kInit, args), hr::DispException);
  EXPECT_EQ(exception.scode, 1001);
  EXPECT_EQ(exception.description, "Host refused");
  EXPECT_EQ(exception.source, "EOleException");
  EXPECT_EQ(caller[0].ToString(), "arg");
  EXPECT_EQ(result.ToString(), "untouched");

  object->private_handler = [](VariantArray&) -> Variant { throw std::logic_error("logic"); };
  EXPECT_EQ(Call(TTestObject::kInit, args), hr::DispException);
  EXPECT_EQ(exception.description, "Внутренняя ошибка драйвера");
  EXPECT_EQ(exception.source, "Exception");
  object->private_handler = [](VariantArray&) -> Variant { throw std::bad_alloc(); };
  EXPECT_EQ(Call(TTestObject::kInit, args), hr::DispException);
  EXPECT_EQ(exception.description, "Недостаточно памяти для выполнения команды");
  EXPECT_EQ(exception.source, "EOutOfMemory");

  object->private_handler = [](VariantArray& p) -> Variant { return p.At({5}); };
  EXPECT_EQ(Call(TTestObject::kInit, args), hr::DispException);
  EXPECT_EQ(exception.source, "EVariantArrayError");
  EXPECT_EQ(exception.description, "Индекс за границами массива");
}

TEST_F(DispatchTest, FailuresWithoutAnExceptionRecordOrResultVariantStillReturnStatus) {
  object->private_handler = [](VariantArray&) -> Variant { throw Error("boom"); };
  std::vector<Variant> args;
  VariantArguments block(args);
  EXPECT_EQ(object->Invoke(TTestObject::kInit, kDispatchMethod, block, nullptr, nullptr),
            hr::DispException);
  object->private_handler = [](VariantArray&) { return Variant(1); };
  EXPECT_EQ(object->Invoke(TTestObject::kInit, kDispatchMethod, block, nullptr, nullptr), hr::Ok);
}

TEST_F(DispatchTest, HandlerThatResizesTheArgumentArrayWritesBackWhatExists) {
  object->private_handler = [](VariantArray& p) {
    p = VariantArray::Vector({Variant("only one")});
    return Variant(true);
  };
  std::vector<Variant> caller{Variant(1), Variant(2), Variant(3)};
  std::vector<Variant> args = RefsTo(caller);
  ASSERT_EQ(Call(TTestObject::kInit, args), hr::Ok);
  EXPECT_EQ(caller[0].ToString(), "only one");
  EXPECT_EQ(caller[2].ToInt(), 3);

  object->private_handler = [](VariantArray& p) {
    p = VariantArray::Vector(10);
    return Variant(true);
  };
  ASSERT_EQ(Call(TTestObject::kInit, args), hr::Ok);
  EXPECT_TRUE(caller[0].IsEmpty());
  EXPECT_EQ(args.size(), 3u);
}

TEST_F(DispatchTest, CallMethodLetsAPrivateFailurePropagate) {
  object->private_handler = [](VariantArray&) -> Variant { throw Error("raised"); };
  VariantArray params = VariantArray::Vector(0);
  Variant call_result;
  EXPECT_THROW(object->CallMethod(TTestObject::kInit, call_result, params), Error);
}

// ---- error packing ----

TEST(PackErrorTest, EmptyTextTakesTheCodesMessageAndEmptyExtraIsLeftOut) {
  Variant out = Variant("previous");
  PackError(1004, "", Variant(), out);
  ASSERT_TRUE(out.IsArray());
  EXPECT_EQ(out.Array().Size(), 2u);
  EXPECT_EQ(out.Array().At({1}).ToString(), "Ошибка входных параметров команды");

  PackError(70, "own text", Variant::Null(), out);
  ASSERT_EQ(out.Array().Size(), 3u);  // null is a value, unlike empty
  EXPECT_EQ(out.Array().At({1}).ToString(), "own text");
  EXPECT_TRUE(out.Array().At({2}).IsNull());
}

TEST(PackErrorTest, DriverResultDescriptionIsTheStandardMessage) {
  auto object = CreateObject<TTestObject>();
  EXPECT_EQ(object->GetDriverResultDescription(1013), "Устройство не найдено");
  EXPECT_EQ(object->GetDriverResultDescription(12345), "Неизвестная ошибка");
}

}  // namespace
}  // namespace pirell
