// The label printer's host methods as the host calls them: "UploadTemplate", "GetTemplateList",
// "PrintLabels", "InitializePrinter", and the template file reread at "Enable".

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "label_printer/base_label_printer.h"
#include "platform/codepage.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "support/fake_equipment_manager.h"
#include "support/host_calls.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

using testing::CallPublic;
using testing::FakeEquipmentManager;

struct Template {
  std::int32_t number;
  std::string description;
  std::string data;
};

const std::vector<Template> kTemplates = {
    {1, "Ценник «Молоко»", "<Label><Item Text=\"Цена: 59,90 ₽\"/></Label>"},
    {-2, "Markup & <friends>", "a < b && c > d ]]> \"quoted\" 'single'\r\nnext line\n"},
    {0, "Grüße 中文 😀", "Ä ö ü ß 中 😀 € ™ №"},
};

class LabelPrinterTest : public ::testing::Test {
 protected:
  LabelPrinterTest() {
    host->properties["DevicesFolder"] = devices.path();
    std::filesystem::create_directory(std::filesystem::u8path(devices.File("P1")));
  }

  std::shared_ptr<TBaseLabelPrinter> NewPrinter() {
    auto printer = CreateObject<TBaseLabelPrinter>();
    testing::InitAndOpen(*printer, host, "P1");
    return printer;
  }

  std::string TemplateFile() const {
    return devices.File("P1") + platform::PathDelimiter() + "templates";
  }

  static testing::PublicCall Upload(TBaseLabelPrinter& printer, const Template& t) {
    return CallPublic(
        printer, "UploadTemplate",
        VariantArray::Vector({Variant(t.number), Variant(t.description), Variant(t.data)}));
  }

  // The (number, description) table "GetTemplateList" returns.
  static VariantArray TemplateList(TBaseLabelPrinter& printer) {
    const auto call = CallPublic(printer, "GetTemplateList");
    EXPECT_TRUE(call.result.ToBool());
    return call.out_data.Array().At({0}).Array();
  }

  testing::TempDir devices;
  std::shared_ptr<FakeEquipmentManager> host = std::make_shared<FakeEquipmentManager>();
  std::shared_ptr<TBaseLabelPrinter> printer = NewPrinter();
};

TEST_F(LabelPrinterTest, AddsFourMethodsAndOneSettingAndIsALabelPrinter) {
  const char* names[] = {"UploadTemplate", "PrintLabels", "GetTemplateList", "InitializePrinter"};
  for (DispId i = 0; i < 4; ++i) {
    DispId id = -1;
    EXPECT_EQ(printer->GetIDsOfNames(names[i], id), hr::Ok);
    EXPECT_EQ(id, 10 + i);
  }
  ASSERT_EQ(printer->SettingsCount(), 4);
  const TSettingStruct& row = *printer->GetSetting(3);
  EXPECT_EQ(row.ID, "UploadTemplateToPrinter");
  EXPECT_EQ(row.ValueType, dtBoolean);
  EXPECT_FALSE(row.Default.ToBool());
  EXPECT_FALSE(row.ReadOnly);
  EXPECT_EQ(row.Name, "Загружать шаблоны в принтер");
  EXPECT_EQ(row.Description, "Загружать шаблоны в память принтера");
  const auto info = CallPublic(*printer, "GetDeviceInfo");
  EXPECT_EQ(info.out_data.Array().At({0}).ToString(), "LabelPrinter");
}

TEST_F(LabelPrinterTest, PrintingAndInitialisingAreNotSupportedHere) {
  const auto print =
      CallPublic(*printer, "PrintLabels",
                 VariantArray::Vector({Variant(1), Variant(VariantArray::Vector({}))}));
  EXPECT_EQ(print.Code(), rc::NotSupported);
  EXPECT_EQ(print.Message(), "Команда не поддерживаеся устройством");
  EXPECT_EQ(CallPublic(*printer, "InitializePrinter").Code(), rc::NotSupported);
  // Bad labels requests are refused before anything else.
  for (Variant bad : {Variant(), Variant(VariantArray::Vector({Variant(1)})),
                      Variant(VariantArray::Vector({Variant("x"), Variant(1)}))}) {
    EXPECT_EQ(CallPublic(*printer, "PrintLabels", bad).Code(), rc::BadParameters);
  }
}

TEST_F(LabelPrinterTest, GetTemplateListWithoutTemplatesIsATwoByZeroTable) {
  const VariantArray table = TemplateList(*printer);
  ASSERT_EQ(table.Dims(), 2);
  EXPECT_EQ(table.Bound(0).count, 2);
  EXPECT_EQ(table.Bound(1).count, 0);
}

TEST_F(LabelPrinterTest, UploadedTemplatesAreListedWithoutANewEnable) {
  for (const Template& t : kTemplates) ASSERT_TRUE(Upload(*printer, t).result.ToBool());
  const VariantArray table = TemplateList(*printer);
  ASSERT_EQ(table.Bound(1).count, 3);
  for (std::int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(table.At({0, i}).Type(), varInteger);
    EXPECT_EQ(table.At({0, i}).ToInt(), kTemplates[static_cast<std::size_t>(i)].number);
    EXPECT_EQ(table.At({1, i}).Type(), varOleStr);
    EXPECT_EQ(table.At({1, i}).ToString(), kTemplates[static_cast<std::size_t>(i)].description);
  }
}

TEST_F(LabelPrinterTest, TemplatesSurviveANewDriverObjectAndAnEnableByteForByte) {
  for (const Template& t : kTemplates) ASSERT_TRUE(Upload(*printer, t).result.ToBool());
  printer.reset();

  auto next = NewPrinter();
  ASSERT_TRUE(CallPublic(*next, "Enable").result.ToBool());
  ASSERT_EQ(next->Templates()->Count(), 3);
  for (int i = 0; i < 3; ++i) {
    const TTemplateItem& item = next->Templates()->Items(i);
    const Template& t = kTemplates[static_cast<std::size_t>(i)];
    EXPECT_EQ(item.Number(), t.number);
    EXPECT_EQ(item.Description(), t.description);
    EXPECT_EQ(item.Data(), t.data);
  }
  EXPECT_EQ(TemplateList(*next).At({1, 2}).ToString(), "Grüße 中文 😀");
}

TEST_F(LabelPrinterTest, UploadWithAnExistingNumberReplacesItAndRewritesTheFile) {
  Upload(*printer, {7, "old", "old data"});
  Upload(*printer, {8, "other", "x"});
  Upload(*printer, {7, "new", "new data"});
  TTemplatesList on_disk;
  on_disk.Load(devices.File("P1"));
  ASSERT_EQ(on_disk.Count(), 2);
  EXPECT_EQ(on_disk.Items(0).Number(), 7);
  EXPECT_EQ(on_disk.Items(0).Description(), "new");
  EXPECT_EQ(on_disk.Items(0).Data(), "new data");
}

TEST_F(LabelPrinterTest, UploadChecksItsInput) {
  const auto two =
      CallPublic(*printer, "UploadTemplate", VariantArray::Vector({Variant(1), Variant("d")}));
  EXPECT_EQ(two.Code(), rc::BadParameters);
  EXPECT_EQ(two.Message(), "Ошибка входных параметров команды");
  EXPECT_EQ(CallPublic(*printer, "UploadTemplate", Variant("text")).Code(), rc::BadParameters);
  EXPECT_EQ(CallPublic(*printer, "UploadTemplate",
                       VariantArray::Vector({Variant("seven"), Variant("d"), Variant("x")}))
                .Code(),
            rc::BadParameters);
  // A character XML cannot hold would make the whole file unreadable.
  const auto control =
      CallPublic(*printer, "UploadTemplate",
                 VariantArray::Vector({Variant(1), Variant("d"), Variant(std::string("a\x01z"))}));
  EXPECT_EQ(control.Code(), rc::BadParameters);
  EXPECT_EQ(printer->Templates()->Count(), 0);
  EXPECT_FALSE(platform::FileExists(TemplateFile()));

  // An empty description is allowed; the number may be given as text.
  ASSERT_TRUE(CallPublic(*printer, "UploadTemplate",
                         VariantArray::Vector({Variant("12"), Variant(), Variant("x")}))
                  .result.ToBool());
  EXPECT_EQ(printer->Templates()->FindItem(12)->Description(), "");
}

TEST_F(LabelPrinterTest, UploadWithoutAHostFailsWithTheUnavailableMessage) {
  testing::CallPrivate(*printer, "Close", {});
  const auto call = Upload(*printer, kTemplates[0]);
  EXPECT_EQ(call.Code(), rc::Unknown);
  EXPECT_EQ(call.Message(), "Менеджер оборудования недоступен");
}

TEST_F(LabelPrinterTest, TheFirstUploadKeepsTheTemplatesTheFileHolds) {
  Upload(*printer, kTemplates[0]);
  Upload(*printer, kTemplates[1]);
  // A new object has not read the file: no enable yet.
  auto next = NewPrinter();
  ASSERT_TRUE(Upload(*next, kTemplates[2]).result.ToBool());
  TTemplatesList on_disk;
  on_disk.Load(devices.File("P1"));
  ASSERT_EQ(on_disk.Count(), 3);
  EXPECT_EQ(on_disk.Items(0).Data(), kTemplates[0].data);
  EXPECT_EQ(on_disk.Items(2).Data(), kTemplates[2].data);
}

TEST_F(LabelPrinterTest, AnUploadUnderAnotherDeviceIdDoesNotCarryTheFirstDevicesTemplates) {
  std::filesystem::create_directory(std::filesystem::u8path(devices.File("P2")));
  Upload(*printer, kTemplates[0]);
  ASSERT_TRUE(CallPublic(*printer, "Enable").result.ToBool());
  testing::CallPrivate(*printer, "Open", {Variant("P2"), Variant()});
  Upload(*printer, kTemplates[1]);
  TTemplatesList second;
  second.Load(devices.File("P2"));
  ASSERT_EQ(second.Count(), 1);
  EXPECT_EQ(second.Items(0).Number(), kTemplates[1].number);
}

TEST_F(LabelPrinterTest, EnableRereadsTheTemplateFile) {
  Upload(*printer, kTemplates[0]);
  TTemplatesList other;
  other.Add(42, "чужой", "data");
  other.Save(devices.File("P1"));
  ASSERT_TRUE(CallPublic(*printer, "Enable").result.ToBool());
  const VariantArray table = TemplateList(*printer);
  ASSERT_EQ(table.Bound(1).count, 1);
  EXPECT_EQ(table.At({0, 0}).ToInt(), 42);
}

TEST_F(LabelPrinterTest, ABrokenTemplateFileFailsEnableAndUploadAndLosesNothing) {
  const std::string broken = platform::Utf8ToCp1251(
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?><templates><item><number>1</number>"
      "<description>Последний</description><data>x</data></item><item>");
  platform::ReplaceFileAtomically(TemplateFile(), broken);

  const auto enable = CallPublic(*printer, "Enable");
  EXPECT_FALSE(enable.result.ToBool());
  EXPECT_EQ(enable.Code(), rc::Unknown);
  EXPECT_NE(enable.Message().find(TemplateFile()), std::string::npos) << enable.Message();
  EXPECT_FALSE(printer->Enabled());

  // An upload cannot replace a file it could not read.
  EXPECT_EQ(Upload(*printer, kTemplates[0]).Code(), rc::Unknown);
  EXPECT_EQ(platform::ReadWholeFile(TemplateFile()), broken);

  // CheckHealth runs the same enable and leaves the device as it found it.
  EXPECT_EQ(CallPublic(*printer, "CheckHealth").Code(), rc::Unknown);
  EXPECT_FALSE(printer->Enabled());
  EXPECT_EQ(platform::ReadWholeFile(TemplateFile()), broken);

  // Listing does not pass the file off as empty.
  const auto list = CallPublic(*printer, "GetTemplateList");
  EXPECT_FALSE(list.result.ToBool());
  EXPECT_EQ(list.Message().rfind("Файл шаблонов " + TemplateFile() + " повреждён: ", 0), 0u)
      << list.Message();
}

TEST_F(LabelPrinterTest, AListReadAtEnablingNeverOverwritesTemplatesStoredSince) {
  Upload(*printer, kTemplates[0]);
  ASSERT_TRUE(CallPublic(*printer, "Enable").result.ToBool());
  // Another driver object sharing the file stores a template, and replaces the first one.
  auto other = NewPrinter();
  ASSERT_TRUE(Upload(*other, kTemplates[1]).result.ToBool());
  ASSERT_TRUE(Upload(*other, {kTemplates[0].number, "новее", "newer"}).result.ToBool());
  ASSERT_TRUE(Upload(*printer, kTemplates[2]).result.ToBool());
  TTemplatesList on_disk;
  on_disk.Load(devices.File("P1"));
  ASSERT_EQ(on_disk.Count(), 3);
  EXPECT_EQ(on_disk.Items(0).Data(), "newer");
  EXPECT_EQ(on_disk.Items(1).Data(), kTemplates[1].data);
  EXPECT_EQ(on_disk.Items(2).Data(), kTemplates[2].data);
  // The list of the first object now holds what the file holds.
  EXPECT_EQ(TemplateList(*printer).Bound(1).count, 3);
}

TEST_F(LabelPrinterTest, AnUploadWaitsForTheFilesLockAndGivesUpWith1004) {
  Upload(*printer, kTemplates[0]);
  platform::FileLockResult held = platform::LockFile(TemplateFile() + ".lock", 0);
  ASSERT_NE(held.lock, nullptr);
  printer->Templates()->SetLockWait(200);
  const auto refused = Upload(*printer, kTemplates[1]);
  EXPECT_EQ(refused.Code(), rc::BadParameters);
  EXPECT_EQ(refused.Message(), "Ошибка входных параметров команды: файл шаблонов " +
                                   TemplateFile() +
                                   " занят другим процессом или объектом драйвера дольше 0,2 с");
  held.lock.reset();
  EXPECT_TRUE(Upload(*printer, kTemplates[1]).result.ToBool());
}

TEST_F(LabelPrinterTest, AnUploadRemovesWhatAKilledWriterLeftBesideTheFile) {
  const std::string left = TemplateFile() + ".tmp-Ab12Cd";
  platform::ReplaceFileAtomically(left, "<templates><item>half");
  const std::string other = devices.File("P1") + platform::PathDelimiter() + "capture.prn";
  platform::ReplaceFileAtomically(other, "job");
  ASSERT_TRUE(Upload(*printer, kTemplates[0]).result.ToBool());
  EXPECT_FALSE(platform::FileExists(left));
  EXPECT_TRUE(platform::FileExists(other));
}

TEST_F(LabelPrinterTest, ATemplateFileOverTheBoundFailsEnableWith1004AndIsNotRead) {
  { std::ofstream file(std::filesystem::u8path(TemplateFile()), std::ios::binary); }
  std::filesystem::resize_file(std::filesystem::u8path(TemplateFile()), kMaxTemplateFileBytes + 1);
  const auto enable = CallPublic(*printer, "Enable");
  EXPECT_EQ(enable.Code(), rc::BadParameters);
  EXPECT_EQ(enable.Message(),
            "Ошибка входных параметров команды: файл шаблонов " + TemplateFile() + " больше 64 МБ");
  EXPECT_EQ(Upload(*printer, kTemplates[0]).Code(), rc::BadParameters);
  EXPECT_EQ(std::filesystem::file_size(std::filesystem::u8path(TemplateFile())),
            kMaxTemplateFileBytes + 1);
}

TEST_F(LabelPrinterTest, UploadTemplateToPrinterChangesNothingInTheUpload) {
  printer->SetSettingValue("UploadTemplateToPrinter", Variant(true));
  ASSERT_TRUE(Upload(*printer, kTemplates[0]).result.ToBool());
  TTemplatesList on_disk;
  on_disk.Load(devices.File("P1"));
  EXPECT_EQ(on_disk.Count(), 1);
}

}  // namespace
}  // namespace pirell
