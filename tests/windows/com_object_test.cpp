#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "com_server/com_holders.h"
#include "com_server/com_object.h"
#include "com_server/module_lock.h"
#include "common/errors.h"
#include "support/com_test_support.h"

namespace pirell::com {
namespace {

using test::ComApartment;

// A portable object with a few methods that show what the COM face hands it and does with its
// answers.
class RecordingObject : public LateBoundObject {
 public:
  enum Method { kEcho, kFill, kRaise, kThrowError, kThrowStd, kThrowOther };

  std::string last_name;
  std::vector<Variant> last_args;
  bool result_requested = false;

  HResult GetIDsOfNames(std::string_view name, DispId& id) override {
    last_name = std::string(name);
    static const char* const kNames[] = {"Echo",       "Fill",     "Raise",
                                         "ThrowError", "ThrowStd", "ThrowOther"};
    for (DispId i = 0; i < 6; ++i) {
      if (name == kNames[i]) {
        id = i;
        return hr::Ok;
      }
    }
    id = -1;
    return hr::NotImpl;
  }

  HResult Invoke(DispId id, std::uint16_t, ArgumentBlock& args, Variant* result,
                 ExceptionInfo* exception) override {
    last_args.clear();
    for (std::size_t i = 0; i < args.Count(); ++i) last_args.push_back(args.Read(i));
    result_requested = result != nullptr;
    switch (id) {
      case kEcho:
        if (result) *result = last_args.empty() ? Variant() : last_args[0];
        return hr::Ok;
      case kFill:
        args.WriteBack(0, Variant(42));
        args.WriteBack(1, Variant("заполнено"));
        return hr::Ok;
      case kRaise:
        if (exception) {
          exception->scode = 1001;
          exception->description = "Сбой устройства";
          exception->source = "EDriverError";
        }
        return hr::DispException;
      case kThrowError:
        throw Error("сломалось", "ETestError");
      case kThrowStd:
        throw std::runtime_error("standard failure");
      case kThrowOther:
        throw 5;
      default:
        return hr::Fail;
    }
  }
};

class ComObjectTest : public ::testing::Test {
 protected:
  HRESULT Call(RecordingObject::Method method, std::vector<VARIANT>& reversed_args, VARIANT* result,
               EXCEPINFO* exception) {
    DISPPARAMS params{};
    params.rgvarg = reversed_args.empty() ? nullptr : reversed_args.data();
    params.cArgs = static_cast<UINT>(reversed_args.size());
    return dispatch_->Invoke(method, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                             result, exception, nullptr);
  }

  ComApartment apartment_;
  std::shared_ptr<RecordingObject> object_ = std::make_shared<RecordingObject>();
  ComPtr<IDispatch> dispatch_ = ComObject::Create(object_);
};

TEST_F(ComObjectTest, AnswersItsThreeInterfacesOnly) {
  ComPtr<IUnknown> unknown = dispatch_.Query<IUnknown>(IID_IUnknown);
  EXPECT_EQ(unknown.Get(), static_cast<IUnknown*>(dispatch_.Get()));
  ComPtr<ISupportErrorInfo> errors = dispatch_.Query<ISupportErrorInfo>(IID_ISupportErrorInfo);
  ASSERT_TRUE(errors);
  EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_IDispatch), S_OK);
  EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_IUnknown), S_FALSE);
  EXPECT_FALSE(dispatch_.Query<IClassFactory>(IID_IClassFactory));
  EXPECT_EQ(dispatch_->QueryInterface(IID_IDispatch, nullptr), E_POINTER);
}

TEST_F(ComObjectTest, DescribesItselfToNobody) {
  UINT count = 7;
  EXPECT_EQ(dispatch_->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 0u);
  ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
  EXPECT_EQ(dispatch_->GetTypeInfo(0, 0, &info), E_NOTIMPL);
  EXPECT_EQ(info, nullptr);
}

TEST_F(ComObjectTest, LooksUpOnlyTheFirstNameAsUtf8) {
  wchar_t first[] = L"Имя";
  wchar_t second[] = L"Echo";
  LPOLESTR names[] = {first, second};
  DISPID ids[2] = {5, 5};
  EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, names, 2, 0, ids), E_NOTIMPL);
  EXPECT_EQ(object_->last_name, "Имя");
  EXPECT_EQ(ids[0], -1);
  EXPECT_EQ(ids[1], 5) << "only the first slot is written";

  LPOLESTR echo[] = {second};
  EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, echo, 1, 0, ids), S_OK);
  EXPECT_EQ(ids[0], RecordingObject::kEcho);
}

TEST_F(ComObjectTest, HandsArgumentsInTheCallersOrderAndReturnsTheResult) {
  std::vector<VARIANT> args(2);
  args[1].vt = VT_BSTR;
  args[1].bstrVal = SysAllocString(L"первый");
  args[0].vt = VT_I2;
  args[0].iVal = 2;
  VariantHolder result;
  EXPECT_EQ(Call(RecordingObject::kEcho, args, result.get(), nullptr), S_OK);
  ASSERT_EQ(object_->last_args.size(), 2u);
  EXPECT_EQ(object_->last_args[1].Type(), varInteger);
  ASSERT_EQ(result->vt, VT_BSTR);
  EXPECT_STREQ(result->bstrVal, L"первый");
  VariantClear(&args[1]);
}

TEST_F(ComObjectTest, ResultIsNotAskedForWhenTheCallerWantsNone) {
  std::vector<VARIANT> args;
  EXPECT_EQ(Call(RecordingObject::kEcho, args, nullptr, nullptr), S_OK);
  EXPECT_FALSE(object_->result_requested);
}

TEST_F(ComObjectTest, WritesBackThroughTheCallersReferences) {
  VariantHolder number, text;
  std::vector<VARIANT> args(2);
  args[1].vt = VT_BYREF | VT_VARIANT;
  args[1].pvarVal = number.get();
  args[0].vt = VT_BYREF | VT_VARIANT;
  args[0].pvarVal = text.get();
  EXPECT_EQ(Call(RecordingObject::kFill, args, nullptr, nullptr), S_OK);
  EXPECT_EQ(number->vt, VT_I4);
  EXPECT_EQ(number->lVal, 42);
  ASSERT_EQ(text->vt, VT_BSTR);
  EXPECT_STREQ(text->bstrVal, L"заполнено");
}

TEST_F(ComObjectTest, ReportedFailureFillsTheRecordAndTheThreadErrorInfo) {
  std::vector<VARIANT> args;
  EXCEPINFO info{};
  info.wCode = 0;
  info.dwHelpContext = 77;
  SetErrorInfo(0, nullptr);
  EXPECT_EQ(Call(RecordingObject::kRaise, args, nullptr, &info), DISP_E_EXCEPTION);
  EXPECT_EQ(info.scode, 1001);
  EXPECT_STREQ(info.bstrDescription, L"Сбой устройства");
  EXPECT_STREQ(info.bstrSource, L"EDriverError");
  EXPECT_EQ(info.dwHelpContext, 77u) << "other fields are not touched";
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrSource);

  ComPtr<IErrorInfo> error;
  ASSERT_EQ(GetErrorInfo(0, error.Put()), S_OK);
  BstrHolder description;
  error->GetDescription(description.Put());
  EXPECT_STREQ(description.get(), L"Сбой устройства");
}

TEST_F(ComObjectTest, NoExceptionCrossesTheBoundary) {
  std::vector<VARIANT> args;
  EXCEPINFO info{};
  EXPECT_EQ(Call(RecordingObject::kThrowError, args, nullptr, &info), DISP_E_EXCEPTION);
  EXPECT_EQ(info.scode, 1001);
  EXPECT_STREQ(info.bstrDescription, L"сломалось");
  EXPECT_STREQ(info.bstrSource, L"ETestError");
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrSource);

  EXCEPINFO std_info{};
  EXPECT_EQ(Call(RecordingObject::kThrowStd, args, nullptr, &std_info), DISP_E_EXCEPTION);
  // The standard library's text is English: the host reads a Russian one.
  EXPECT_STREQ(std_info.bstrDescription, L"Внутренняя ошибка драйвера");
  SysFreeString(std_info.bstrDescription);
  SysFreeString(std_info.bstrSource);

  EXPECT_EQ(Call(RecordingObject::kThrowOther, args, nullptr, nullptr), E_UNEXPECTED);
}

TEST_F(ComObjectTest, BadLookupArgumentsAreRefused) {
  DISPID id = 0;
  EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, nullptr, 1, 0, &id), E_INVALIDARG);
}

TEST(ComObjectLifetime, EveryLiveObjectLocksTheModule) {
  const long before = ModuleLockCount();
  auto object = std::make_shared<RecordingObject>();
  {
    ComPtr<IDispatch> first = ComObject::Create(object);
    ComPtr<IDispatch> second = ComObject::Create(object);
    EXPECT_EQ(ModuleLockCount(), before + 2);
    ComPtr<IDispatch> shared = first;
    first.Reset();
    EXPECT_EQ(ModuleLockCount(), before + 2) << "a reference still holds the first object";
  }
  EXPECT_EQ(ModuleLockCount(), before);
  EXPECT_EQ(object.use_count(), 1) << "the COM objects gave the portable object back";
}

}  // namespace
}  // namespace pirell::com
