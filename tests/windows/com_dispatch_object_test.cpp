#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "com_server/com_dispatch_object.h"
#include "common/errors.h"
#include "support/com_test_support.h"

namespace pirell::com {
namespace {

using test::ComApartment;
using test::FakeHostObject;

class ComDispatchObjectTest : public ::testing::Test {
 protected:
  ComApartment apartment_;
  FakeHostObject host_;
};

TEST_F(ComDispatchObjectTest, ResolvesNamesThroughIDispatch) {
  ComDispatchObject object(&host_);
  DispId id = 0;
  EXPECT_EQ(object.GetIDsOfNames("Twice", id), S_OK);
  EXPECT_EQ(id, FakeHostObject::kTwice);
  EXPECT_EQ(object.GetIDsOfNames("Nothing", id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(id, DISPID_UNKNOWN);
}

TEST_F(ComDispatchObjectTest, FallsBackToIDispatchExIgnoringCase) {
  host_.answers_get_ids_of_names = false;  // as script class objects of some runtimes do
  ComDispatchObject object(&host_);
  DispId id = 0;
  EXPECT_EQ(object.GetIDsOfNames("twice", id), S_OK);
  EXPECT_EQ(id, FakeHostObject::kTwice);
  EXPECT_EQ(object.GetIDsOfNames("FAILLATER", id), S_OK);
  EXPECT_EQ(id, FakeHostObject::kFailLater);
  EXPECT_FALSE(Succeeded(object.GetIDsOfNames("Nothing", id)));
  EXPECT_EQ(id, DISPID_UNKNOWN);
}

TEST_F(ComDispatchObjectTest, PassesEveryArgumentByReferenceAndWritesThemBack) {
  auto object = std::make_shared<ComDispatchObject>(&host_);
  Variant number(21);
  Variant text("текст");
  std::vector<Variant> args{Variant::Ref(&number), Variant::Ref(&text)};
  const Variant result = CallByName(*object, "Twice", args);
  EXPECT_EQ(result.ToString(), "done");
  EXPECT_EQ(number.ToInt(), 42);
  EXPECT_EQ(text.ToString(), "текст!");
  EXPECT_EQ(host_.last_flags, DISPATCH_METHOD);
  EXPECT_EQ(host_.last_arg_types,
            (std::vector<VARTYPE>{VT_BYREF | VT_VARIANT, VT_BYREF | VT_VARIANT}));
}

TEST_F(ComDispatchObjectTest, ArgumentsPassedByValueAreReplacedInTheCallersList) {
  ComDispatchObject object(&host_);
  std::vector<Variant> args{Variant::Smallint(4), Variant("a")};
  CallByName(object, "Twice", args);
  EXPECT_EQ(args[0].Type(), varInteger);
  EXPECT_EQ(args[0].ToInt(), 8);
  EXPECT_EQ(args[1].ToString(), "a!");
}

TEST_F(ComDispatchObjectTest, TypedReferenceOfTheCallerReceivesAConvertedValue) {
  ComDispatchObject object(&host_);
  Variant number = Variant::Smallint(3);
  Variant text("b");
  std::vector<Variant> args{Variant::Ref(&number, varSmallint), Variant::Ref(&text)};
  CallByName(object, "Twice", args);
  EXPECT_EQ(number.Type(), varSmallint);
  EXPECT_EQ(number.ToInt(), 6);
}

TEST_F(ComDispatchObjectTest, ExceptionRecordBecomesTheHostError) {
  ComDispatchObject object(&host_);
  std::vector<Variant> args;
  try {
    CallByName(object, "Fail", args);
    FAIL() << "no error";
  } catch (const HostError& e) {
    EXPECT_STREQ(e.what(), "Хост отказал");
  }

  ExceptionInfo info;
  VariantArguments none(args);
  EXPECT_EQ(object.Invoke(FakeHostObject::kFail, kDispatchMethod, none, nullptr, &info),
            DISP_E_EXCEPTION);
  EXPECT_EQ(static_cast<std::uint32_t>(info.scode), 0x800A0009u);
  EXPECT_EQ(info.source, "FakeHost");
}

TEST_F(ComDispatchObjectTest, DeferredExceptionTextsAreFilledIn) {
  ComDispatchObject object(&host_);
  std::vector<Variant> args;
  VariantArguments none(args);
  ExceptionInfo info;
  EXPECT_EQ(object.Invoke(FakeHostObject::kFailLater, kDispatchMethod, none, nullptr, &info),
            DISP_E_EXCEPTION);
  EXPECT_EQ(info.description, "filled in later");
  EXPECT_EQ(static_cast<std::uint32_t>(info.scode), 0x800A0005u);
}

TEST_F(ComDispatchObjectTest, FailedCallWritesNothingBack) {
  ComDispatchObject object(&host_);
  Variant untouched("keep");
  std::vector<Variant> args{Variant::Ref(&untouched)};
  VariantArguments block(args);
  EXPECT_EQ(object.Invoke(FakeHostObject::kFail, kDispatchMethod, block, nullptr, nullptr),
            DISP_E_EXCEPTION);
  EXPECT_EQ(untouched.ToString(), "keep");
}

TEST_F(ComDispatchObjectTest, HoldsOneReferenceForItsLifetime) {
  {
    ComDispatchObject object(&host_);
    EXPECT_EQ(host_.references, 2);
  }
  EXPECT_EQ(host_.references, 1);
}

TEST_F(ComDispatchObjectTest, ObjectWithoutIDispatchCannotBeCalled) {
  struct PlainUnknown : IUnknown {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
      if (IsEqualIID(iid, IID_IUnknown)) {
        *out = this;
        return S_OK;
      }
      *out = nullptr;
      return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
  } plain;
  auto object = ComDispatchObject::FromUnknown(&plain);
  EXPECT_EQ(object->Dispatch(), nullptr);
  DispId id = 0;
  EXPECT_EQ(object->GetIDsOfNames("Any", id), E_NOINTERFACE);
  std::vector<Variant> args;
  EXPECT_THROW(CallByName(*object, "Any", args), HostError);
}

}  // namespace
}  // namespace pirell::com
