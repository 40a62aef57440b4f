#include <windows.h>

#include <olectl.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "com_server/class_factory.h"
#include "com_server/com_holders.h"
#include "com_server/module_lock.h"
#include "com_server/registration.h"
#include "com_server/variant_conversion.h"
#include "support/com_test_support.h"
#include "windows/com_test_server/test_server_class.h"

namespace pirell::com {
namespace {

using test::ComApartment;

constexpr char kUnitClassId[] = "9DBB4AF2-85D4-4BB5-B664-CAA943A5E921";
constexpr char kOtherClassId[] = "D4474D18-4C1B-4963-84E5-7D004F6448C5";

class PingObject : public TBaseObject {
 public:
  void Initialize() override {
    TBaseObject::Initialize();
    AddPrivateMethod("Ping", [](VariantArray&) { return Variant("pong"); });
  }
};

std::shared_ptr<TBaseObject> MakePing() {
  return CreateObject<PingObject>();
}
std::shared_ptr<TBaseObject> MakeNothing() {
  return nullptr;
}
std::shared_ptr<TBaseObject> MakeFailure() {
  throw std::runtime_error("cannot make");
}

const ComClassInfo kClasses[] = {
    {kUnitClassId, "KestroEq.PirellUnitTest", "Pirell unit test", &MakePing},
    {kOtherClassId, "KestroEq.PirellUnitTest2", "Pirell unit test 2", &MakeNothing},
};

CLSID ClassId(const char* text) {
  CLSID id{};
  EXPECT_TRUE(ParseClassId(text, id)) << text;
  return id;
}

ComPtr<IClassFactory> FactoryOf(std::span<const ComClassInfo> classes, const char* class_id) {
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(GetClassObject(classes, ClassId(class_id), IID_IClassFactory,
                           reinterpret_cast<void**>(factory.Put())),
            S_OK);
  return factory;
}

ComPtr<IDispatch> NewObject(IClassFactory* factory) {
  ComPtr<IDispatch> object;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(object.Put())),
            S_OK);
  return object;
}

// Calls the method `name` without arguments, as a script does.
Variant CallWithoutArguments(IDispatch* object, std::wstring name) {
  LPOLESTR names[] = {name.data()};
  DISPID id = DISPID_UNKNOWN;
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  DISPPARAMS none{};
  VariantHolder result;
  EXPECT_EQ(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, result.get(),
                           nullptr, nullptr),
            S_OK);
  return FromComVariant(*result);
}

std::wstring DefaultValue(HKEY root, const std::wstring& path, const wchar_t* name = nullptr) {
  wchar_t buffer[512] = {};
  DWORD size = sizeof buffer - sizeof(wchar_t);
  if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
      ERROR_SUCCESS)
    return L"<missing>";
  return buffer;
}

bool KeyExists(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

class ClassFactoryTest : public ::testing::Test {
 protected:
  ComApartment apartment_;
};

TEST_F(ClassFactoryTest, HandsOutFactoriesOnlyForItsClasses) {
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(GetClassObject(kClasses, ClassId(test::kTestServerClassId), IID_IClassFactory,
                           reinterpret_cast<void**>(factory.Put())),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_FALSE(factory);
  EXPECT_EQ(GetClassObject(kClasses, ClassId(kUnitClassId), IID_IDispatch,
                           reinterpret_cast<void**>(factory.Put())),
            E_NOINTERFACE);
  EXPECT_EQ(GetClassObject(kClasses, ClassId(kUnitClassId), IID_IClassFactory, nullptr), E_POINTER);
}

TEST_F(ClassFactoryTest, MakesANewObjectForEveryRequest) {
  ComPtr<IClassFactory> factory = FactoryOf(kClasses, kUnitClassId);
  ASSERT_TRUE(factory);
  ComPtr<IDispatch> first = NewObject(factory.Get());
  ComPtr<IDispatch> second = NewObject(factory.Get());
  ASSERT_TRUE(first && second);
  EXPECT_NE(first.Get(), second.Get());
  EXPECT_EQ(CallWithoutArguments(first.Get(), L"PING").ToString(), "pong");
}

TEST_F(ClassFactoryTest, RefusesAggregation) {
  ComPtr<IClassFactory> factory = FactoryOf(kClasses, kUnitClassId);
  ComPtr<IDispatch> outer = NewObject(factory.Get());
  IUnknown* object = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_IUnknown, reinterpret_cast<void**>(&object)),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);
}

TEST_F(ClassFactoryTest, FailingCreationIsReportedNotThrown) {
  const ComClassInfo failing[] = {{kUnitClassId, "KestroEq.PirellUnitTest", "x", &MakeFailure}};
  IUnknown* object = nullptr;
  EXPECT_EQ(FactoryOf(failing, kUnitClassId)
                ->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)),
            E_FAIL);
  EXPECT_EQ(FactoryOf(kClasses, kOtherClassId)
                ->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)),
            E_OUTOFMEMORY);
  EXPECT_EQ(object, nullptr);
}

TEST_F(ClassFactoryTest, LockServerHoldsTheModule) {
  ComPtr<IClassFactory> factory = FactoryOf(kClasses, kUnitClassId);
  const long before = ModuleLockCount();
  factory->LockServer(TRUE);
  EXPECT_EQ(ModuleLockCount(), before + 1);
  factory->LockServer(FALSE);
  EXPECT_EQ(ModuleLockCount(), before);
}

TEST(ComRegistration, WritesAndRemovesTheStandardKeys) {
  const ComClassInfo classes[] = {
      {kUnitClassId, "KestroEq.PirellRegistrationTest", "Описание класса", &MakePing}};
  const std::wstring class_key = L"CLSID\\{9DBB4AF2-85D4-4BB5-B664-CAA943A5E921}";
  ASSERT_EQ(RegisterClasses(classes, L"C:\\Drivers\\pirell.dll"), S_OK);
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, L"KestroEq.PirellRegistrationTest"),
            L"Описание класса");
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, L"KestroEq.PirellRegistrationTest\\CLSID"),
            L"{9DBB4AF2-85D4-4BB5-B664-CAA943A5E921}");
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, class_key), L"Описание класса");
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, class_key + L"\\InprocServer32"),
            L"C:\\Drivers\\pirell.dll");
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, class_key + L"\\InprocServer32", L"ThreadingModel"),
            L"Apartment");
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, class_key + L"\\ProgID"),
            L"KestroEq.PirellRegistrationTest");

  CLSID from_prog_id{};
  EXPECT_EQ(CLSIDFromProgID(L"KestroEq.PirellRegistrationTest", &from_prog_id), S_OK);
  EXPECT_TRUE(IsEqualCLSID(from_prog_id, ClassId(kUnitClassId)));

  ASSERT_EQ(UnregisterClasses(classes), S_OK);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, class_key));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"KestroEq.PirellRegistrationTest"));
  EXPECT_EQ(UnregisterClasses(classes), S_OK) << "removing what is not there is no failure";
}

TEST(ComRegistration, LeavesAProgIdThatNowNamesAnotherClass) {
  const ComClassInfo ours[] = {
      {kUnitClassId, "KestroEq.PirellRegistrationTest", "ours", &MakePing}};
  const ComClassInfo theirs[] = {
      {kOtherClassId, "KestroEq.PirellRegistrationTest", "theirs", &MakePing}};
  ASSERT_EQ(RegisterClasses(ours, L"C:\\a.dll"), S_OK);
  ASSERT_EQ(RegisterClasses(theirs, L"C:\\b.dll"), S_OK);
  ASSERT_EQ(UnregisterClasses(ours), S_OK);
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, L"KestroEq.PirellRegistrationTest\\CLSID"),
            L"{D4474D18-4C1B-4963-84E5-7D004F6448C5}");
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{9DBB4AF2-85D4-4BB5-B664-CAA943A5E921}"));
  ASSERT_EQ(UnregisterClasses(theirs), S_OK);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"KestroEq.PirellRegistrationTest"));
}

TEST(ComRegistration, RefusesAnEmptyModulePath) {
  EXPECT_EQ(RegisterClasses(kClasses, L""), SELFREG_E_CLASS);
}

// The test server DLL, loaded by hand as the COM runtime loads it.
class TestServerDll : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    ASSERT_GT(length, 0u);
    std::wstring dll(path, length);
    dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"pirell_testserver.dll";
    module_ = LoadLibraryW(dll.c_str());
    ASSERT_NE(module_, nullptr) << "pirell_testserver.dll is built beside the tests";
    get_class_object_ = reinterpret_cast<decltype(get_class_object_)>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    can_unload_now_ = reinterpret_cast<decltype(can_unload_now_)>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
    ASSERT_NE(get_class_object_, nullptr);
    ASSERT_NE(can_unload_now_, nullptr);
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }

  ComApartment apartment_;
  HMODULE module_ = nullptr;
  HRESULT(STDAPICALLTYPE* get_class_object_)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT(STDAPICALLTYPE* can_unload_now_)() = nullptr;
};

TEST_F(TestServerDll, ExportsTheFourEntryPoints) {
  for (const char* name :
       {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer"})
    EXPECT_NE(GetProcAddress(module_, name), nullptr) << name;
}

TEST_F(TestServerDll, CanUnloadOnlyWhileNothingIsAliveOrLocked) {
  EXPECT_EQ(can_unload_now_(), S_OK);
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(get_class_object_(ClassId(test::kTestServerClassId), IID_IClassFactory,
                              reinterpret_cast<void**>(factory.Put())),
            S_OK);
  EXPECT_EQ(can_unload_now_(), S_OK) << "a factory alone does not hold the module";

  ComPtr<IDispatch> object = NewObject(factory.Get());
  ASSERT_TRUE(object);
  EXPECT_EQ(can_unload_now_(), S_FALSE);
  EXPECT_EQ(CallWithoutArguments(object.Get(), L"Greeting").ToString(), "Привет, мир");
  object.Reset();
  EXPECT_EQ(can_unload_now_(), S_OK);

  factory->LockServer(TRUE);
  EXPECT_EQ(can_unload_now_(), S_FALSE);
  factory->LockServer(FALSE);
  EXPECT_EQ(can_unload_now_(), S_OK);
}

TEST_F(TestServerDll, ObjectsTheServerHandsOutHoldTheModuleToo) {
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(get_class_object_(ClassId(test::kTestServerClassId), IID_IClassFactory,
                              reinterpret_cast<void**>(factory.Put())),
            S_OK);
  ComPtr<IDispatch> object = NewObject(factory.Get());
  ASSERT_TRUE(object);
  {
    const Variant made = CallWithoutArguments(object.Get(), L"MakeObject");
    ASSERT_EQ(made.Type(), varDispatch);
    object.Reset();
    EXPECT_EQ(can_unload_now_(), S_FALSE) << "the made object is still alive";
  }
  EXPECT_EQ(can_unload_now_(), S_OK);
}

TEST_F(TestServerDll, KnowsOnlyItsOwnClass) {
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(get_class_object_(ClassId(kUnitClassId), IID_IClassFactory,
                              reinterpret_cast<void**>(factory.Put())),
            CLASS_E_CLASSNOTAVAILABLE);
}

}  // namespace
}  // namespace pirell::com
