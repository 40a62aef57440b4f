// Helpers around the values the host exchanges: optional array elements, the device information
// texts, equipment type names and the module's own path and version.

#include <gtest/gtest.h>

#include "common/errors.h"
#include "driver_object/device_info.h"
#include "driver_object/host_values.h"
#include "platform/files.h"
#include "platform/module_info.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

Variant Vector(std::initializer_list<Variant> items) {
  return Variant(VariantArray::Vector(items));
}

TEST(HostValuesTest, HasArrayItemNeedsAnArrayWithAValueAtTheIndex) {
  EXPECT_FALSE(HasArrayItem(Variant(), 0));
  EXPECT_FALSE(HasArrayItem(Variant(5), 0));
  EXPECT_FALSE(HasArrayItem(Variant("text"), 0));
  EXPECT_FALSE(HasArrayItem(Vector({Variant("a")}), 1));
  EXPECT_FALSE(HasArrayItem(Vector({Variant("a"), Variant::Null()}), 1));
  EXPECT_FALSE(HasArrayItem(Vector({Variant("a"), Variant()}), 1));
  EXPECT_FALSE(HasArrayItem(Vector({}), 0));
  EXPECT_TRUE(HasArrayItem(Vector({Variant("a"), Variant(0)}), 1));
  EXPECT_TRUE(HasArrayItem(Vector({Variant("")}), 0));  // an empty text is a value
  Variant array = Vector({Variant("a")});
  EXPECT_TRUE(HasArrayItem(Variant::Ref(&array), 0));
}

TEST(HostValuesTest, IndexBelowTheLowerBoundFailsWithTheArraysError) {
  VariantArray from_one({ArrayBound{1, 2}});
  from_one.At({1}) = Variant("x");
  EXPECT_THROW(HasArrayItem(Variant(from_one), 0), ArrayError);
  EXPECT_TRUE(HasArrayItem(Variant(from_one), 1));
}

TEST(HostValuesTest, ArrayItemStrFallsBackToTheDefault) {
  EXPECT_EQ(ArrayItemStr(Vector({Variant("a"), Variant("b")}), 1, ""), "b");
  EXPECT_EQ(ArrayItemStr(Vector({Variant("a")}), 1, ""), "");
  EXPECT_EQ(ArrayItemStr(Vector({Variant("a"), Variant::Null()}), 1, "def"), "def");
  EXPECT_EQ(ArrayItemStr(Vector({Variant(3)}), 0, "def"), "3");
  EXPECT_EQ(ArrayItemStr(Variant(), 0, "def"), "def");
}

TEST(HostValuesTest, VarToIntDefConvertsAllButMissingValues) {
  EXPECT_EQ(VarToIntDef(Variant::Null(), 1), 1);
  EXPECT_EQ(VarToIntDef(Variant(), 7), 7);
  EXPECT_EQ(VarToIntDef(Variant("3"), 1), 3);
  EXPECT_EQ(VarToIntDef(Variant::Double(2.5), 1), 2);
}

TEST(HostValuesTest, VarToIntDefLetsAConversionErrorThrough) {
  EXPECT_THROW(VarToIntDef(Variant("abc"), 1), ConversionError);
  EXPECT_THROW(VarToIntDef(Variant(""), 1), ConversionError);  // an empty text is no number
}

TEST(DeviceInfoTest, VersionLeavesOutTheReleaseNumber) {
  TDeviceInfoStruct info;
  info.MajorVersion = 1;
  info.MinorVersion = 1;
  info.BuildVersion = 9;
  EXPECT_EQ(info.GetVersion(), "1.1.9");
}

TEST(DeviceInfoTest, ContactInfoHasFourLabelledLines) {
  TDeviceInfoStruct info;
  EXPECT_EQ(info.GetContactinfo(), "E-mail:\t\r\nWeb:\t\r\nТел:\t\r\nАдрес:\t\r\n");
  info.CI_email = "dev@kestro.example";
  info.CI_www = "https://kestro.example";
  info.CI_Phones = "+7 000 000-00-00";
  info.CI_address = "Москва";
  EXPECT_EQ(info.GetContactinfo(),
            "E-mail:\tdev@kestro.example\r\nWeb:\thttps://kestro.example\r\n"
            "Тел:\t+7 000 000-00-00\r\nАдрес:\tМосква\r\n");
}

TEST(DeviceInfoTest, EquipmentTypesAreMatchedExactly) {
  EXPECT_EQ(EquipmentTypeDisplayName("LabelPrinter"), "Принтер этикеток");
  EXPECT_EQ(EquipmentTypeDisplayName("labelprinter"), "labelprinter");
  EXPECT_EQ(EquipmentTypeDisplayName("POS"), "POS");
  EXPECT_EQ(EquipmentTypeDisplayName(""), "");
  EXPECT_EQ(EquipmentTypeDisplayName("Unknown"), "Неизвестный тип");
  EXPECT_EQ(EquipmentTypeDisplayName("Scanner"), "Сканер штрихкодов");
  EXPECT_EQ(EquipmentTypeDisplayName("CoffeeMachine"), "Кофемашина");
  EXPECT_EQ(EquipmentTypeDisplayName("SMSCommunicator"), "СМС-коммуникатор");
  EXPECT_EQ(EquipmentTypeDisplayName("TimePhasedServicesController"), "Контроллер временных услуг");
}

TEST(ModuleInfoTest, ModuleFileNameIsAnExistingFile) {
  const std::string path = platform::ModuleFileName();
  ASSERT_FALSE(path.empty());
  EXPECT_TRUE(platform::FileExists(path)) << path;
  EXPECT_TRUE(platform::DirectoryExists(platform::ExtractFileDir(path))) << path;
}

TEST(ModuleInfoTest, FileWithoutVersionGivesZeros) {
  testing::TempDir folder;
  const std::string plain = folder.File("plain.dll");
  ASSERT_TRUE(platform::AppendToFile(plain, "not a module"));
  const std::array<std::uint16_t, 4> zeros{0, 0, 0, 0};
  EXPECT_EQ(platform::ModuleFileVersion(plain), zeros);
  EXPECT_EQ(platform::ModuleFileVersion(folder.File("missing.dll")), zeros);
}

}  // namespace
}  // namespace pirell
