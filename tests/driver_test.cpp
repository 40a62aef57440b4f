// The driver as the host drives it: configuration at enable, printing, printer initialisation
// and the device test, with the printer a fake device.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <latch>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "driver_object/driver_class_id.h"
#include "label_printer/driver.h"
#include "platform/files.h"
#include "platform/locale.h"
#include "platform/time_source.h"
#include "rendering/base64.h"
#include "rendering/printer_registry.h"
#include "settings_ui/common_settings_form.h"
#include "settings_ui/main_settings_form.h"
#include "settings_ui/settings_window_runner.h"
#include "support/bmp_builder.h"
#include "support/fake_device_io.h"
#include "support/fake_equipment_manager.h"
#include "support/fake_settings_ui_services.h"
#include "support/fake_time_source.h"
#include "support/heap_in_use.h"
#include "support/host_call_catalog.h"
#include "support/host_calls.h"
#include "support/label_template_xml.h"
#include "support/scripted_clock.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

using testing::CallPublic;
using testing::PublicCall;

constexpr char kJobHeader[] = "\nq464\nQ320,16\nOD\nD7\nS4\nZT\n\n";

// A TextSimple field bound to "Name" and one bound to "Price".
constexpr char kTemplate[] =
    "<Label Width=\"58\" Height=\"40\">"
    "<Item ClassName=\"TextSimple\"><Property Name=\"DS\" Value=\"Name\"/>"
    "<Property Name=\"Left\" Value=\"5\"/><Property Name=\"Top\" Value=\"10\"/>"
    "<Property Name=\"Width\" Value=\"40\"/><Property Name=\"Height\" Value=\"5\"/>"
    "<Property Name=\"MaxSymbols\" Value=\"20\"/><Property Name=\"FontSize\" Value=\"2\"/></Item>"
    "<Item ClassName=\"TextSimple\"><Property Name=\"DS\" Value=\"Price\"/>"
    "<Property Name=\"MaxSymbols\" Value=\"9\"/><Property Name=\"FontSize\" Value=\"1\"/></Item>"
    "</Label>";

std::string NameCommand(const std::string& text) {
  return "A40,80,0,2,1,1,N,\"" + text + "\"\n";
}
std::string PriceCommand(const std::string& text) {
  return "A0,0,0,1,1,1,N,\"" + text + "\"\n";
}

Variant Table(std::int32_t columns, std::int32_t rows,
              std::initializer_list<std::initializer_list<Variant>> by_row) {
  VariantArray table = VariantArray::Table(columns, rows);
  std::int32_t r = 0;
  for (const auto& row : by_row) {
    std::int32_t c = 0;
    for (const Variant& cell : row) table.At({c++, r}) = cell;
    ++r;
  }
  return Variant(std::move(table));
}

Variant LabelsData(Variant common, std::initializer_list<Variant> names, Variant rows) {
  return Variant(VariantArray::Vector(
      {std::move(common), Variant(VariantArray::Vector(names)), std::move(rows)}));
}

Variant NoCommonValues() {
  return Variant(VariantArray::Table(2, 0));
}

class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host->properties["DevicesFolder"] = folder.path();
    driver = CreateObject<TDriver>(device_io);
    testing::InitAndOpen(*driver, host, "LP1");
    driver->SetSettingValue("PortName", Variant("USB001"));
  }

  PublicCall Upload(std::int32_t number, const std::string& text) {
    return CallPublic(
        *driver, "UploadTemplate",
        Variant(VariantArray::Vector({Variant(number), Variant("t"), Variant(text)})));
  }
  PublicCall Print(std::int32_t number, const Variant& labels_data) {
    return CallPublic(*driver, "PrintLabels",
                      Variant(VariantArray::Vector({Variant(number), labels_data})));
  }
  PublicCall EnableWithTemplate() {
    EXPECT_TRUE(Upload(1, kTemplate).result.ToBool());
    PublicCall enable = CallPublic(*driver, "Enable");
    EXPECT_TRUE(enable.result.ToBool()) << enable.Message();
    device_io.events.clear();
    device_io.received.clear();
    return enable;
  }
  int Opens() const {
    int opens = 0;
    for (const std::string& event : device_io.events) opens += event.rfind("open", 0) == 0;
    return opens;
  }

  testing::TempDir folder;
  testing::FakeTimeSource clock;
  platform::ScopedTimeSource clock_scope{clock};
  testing::FakeDeviceIo device_io;
  std::shared_ptr<testing::FakeEquipmentManager> host =
      std::make_shared<testing::FakeEquipmentManager>();
  std::shared_ptr<TDriver> driver;
};

TEST_F(DriverTest, EnableWithTheDefaultsSelectsTheModelAndChecksTheUsbPort) {
  driver->SetSettingValue("PortName", Variant(""));
  std::string description;
  EXPECT_EQ(driver->Enable(description), 0);
  EXPECT_EQ(description, "Нет ошибок");
  ASSERT_NE(driver->Device(), nullptr);
  const TPrintParams& params = driver->Device()->PrintParams();
  EXPECT_EQ(params.Width, 58);
  EXPECT_EQ(params.Height, 40);
  EXPECT_EQ(params.Gap, 2);
  EXPECT_EQ(params.Darkness, 7);
  EXPECT_EQ(params.Speed, 4);
  EXPECT_EQ(params.PrintingMode, pmDirect);
  EXPECT_EQ(driver->Device()->ModelProps().DPI, 203);
  EXPECT_EQ(driver->Port().PortType(), TPortType::ptUSB);
  EXPECT_EQ(driver->Port().PortName(), "");
  // The port is opened to check it and closed again at once, nothing written.
  ASSERT_FALSE(device_io.events.empty());
  EXPECT_EQ(device_io.events.front(), "open  shared");
  EXPECT_EQ(device_io.events.back(), "close");
  EXPECT_EQ(Opens(), 1);
  EXPECT_EQ(device_io.write_calls, 0);
}

TEST_F(DriverTest, ModelOutsideTheRegistryFailsWith13501) {
  for (int model : {static_cast<int>(PrinterModels().size()), -1}) {
    driver->SetSettingValue("PrinterModel", Variant(model));
    PublicCall enable = CallPublic(*driver, "Enable");
    EXPECT_FALSE(enable.result.ToBool());
    EXPECT_EQ(enable.Code(), 13501);
    EXPECT_EQ(enable.Message(), "Неизвестная модель принтера");
    EXPECT_EQ(driver->Device(), nullptr);
    EXPECT_TRUE(device_io.events.empty());
  }
}

TEST_F(DriverTest, PortTypeAndPrintModeOutsideTheirValuesFallBack) {
  driver->SetSettingValue("PortType", Variant(7));
  driver->SetSettingValue("PrintMode", Variant(2));
  ASSERT_TRUE(CallPublic(*driver, "Enable").result.ToBool());
  EXPECT_EQ(driver->Port().PortType(), TPortType::ptUSB);
  EXPECT_EQ(driver->Device()->PrintParams().PrintingMode, pmDirect);

  driver->SetSettingValue("PortType", Variant(1));
  driver->SetSettingValue("PortName", Variant("LPT2"));
  driver->SetSettingValue("PrintMode", Variant(1));
  ASSERT_TRUE(CallPublic(*driver, "Enable").result.ToBool());
  EXPECT_EQ(driver->Port().PortType(), TPortType::ptLPT);
  EXPECT_EQ(device_io.events.back(), "close");
  EXPECT_NE(std::find(device_io.events.begin(), device_io.events.end(), "open LPT2 exclusive"),
            device_io.events.end());
  EXPECT_EQ(driver->Device()->PrintParams().PrintingMode, pmTransfer);
}

TEST_F(DriverTest, PortThatDoesNotOpenFailsTheEnableWithTheSystemText) {
  device_io.open_error = 2;
  PublicCall enable = CallPublic(*driver, "Enable");
  EXPECT_EQ(enable.Code(), 1011);
  EXPECT_EQ(enable.Message(), "Порт недоступен\r\nsystem error 2");
  EXPECT_EQ(driver->LastDevResultDescription(), "system error 2");
  // The generator stays although the device is not enabled; printing still needs an enable.
  EXPECT_NE(driver->Device(), nullptr);
}

TEST_F(DriverTest, DeviceInformationNamesTheDriver) {
  PublicCall info = CallPublic(*driver, "GetDeviceInfo");
  ASSERT_TRUE(info.result.ToBool());
  const VariantArray& fields = info.out_data.Array();
  ASSERT_EQ(fields.Size(), 15u);
  EXPECT_EQ(fields.At({0}).ToString(), "LabelPrinter");
  EXPECT_EQ(fields.At({1}).ToString(), kDriverClassId);
  EXPECT_EQ(fields.At({1}).ToString().size(), 36u);
  EXPECT_EQ(fields.At({2}).ToString(), "Kestro-Dalvin: Принтер этикеток (прямая печать)");
  EXPECT_EQ(fields.At({6}).ToString(), "KestroEq.Pirell");
  EXPECT_EQ(fields.At({8}).Type(), varBoolean);
  EXPECT_TRUE(fields.At({8}).ToBool());
  EXPECT_EQ(fields.At({9}).ToString(), "Драйвер принтеров этикеток (прямая печать в порт)");
}

TEST_F(DriverTest, SettingsTableListsTheCommonRowsThenTheDriverRows) {
  PublicCall settings = CallPublic(*driver, "GetSettings");
  const VariantArray& table = settings.out_data.Array().At({0}).Array();
  const char* const expected[] = {
      "DefaultTimeOut", "EventLogEnabled", "DebugLogEnabled", "UploadTemplateToPrinter",
      "PortName",       "PortType",        "PrinterType",     "PrinterModel",
      "PrintWidth",     "PrintHeight",     "PrintGap",        "PrintDarkness",
      "PrintSpeed",     "PrintMode"};
  ASSERT_EQ(table.Upper(1) + 1, static_cast<std::int32_t>(std::size(expected)));
  for (std::int32_t i = 0; i <= table.Upper(1); ++i) {
    EXPECT_EQ(table.At({0, i}).ToString(), expected[i]);
    if (i >= 4) {
      EXPECT_TRUE(table.At({4, i}).ToBool()) << expected[i] << " is read-only";
    }
  }
}

TEST_F(DriverTest, PrintingBeforeAnyEnableGives70AndSendsNothing) {
  ASSERT_TRUE(Upload(1, kTemplate).result.ToBool());
  PublicCall print = Print(1, LabelsData(NoCommonValues(), {}, Variant(VariantArray::Table(0, 0))));
  EXPECT_EQ(print.Code(), 70);
  EXPECT_EQ(print.Message(), "Устройство не включено");
  EXPECT_TRUE(device_io.events.empty());
}

TEST_F(DriverTest, UnknownTemplateGives13001AndSendsNothing) {
  EnableWithTemplate();
  PublicCall print = Print(7, LabelsData(NoCommonValues(), {}, Variant(VariantArray::Table(0, 0))));
  EXPECT_EQ(print.Code(), 13001);
  EXPECT_EQ(print.Message(), "Шаблон с таким номером не был загружен в принтер");
  EXPECT_TRUE(device_io.events.empty());
}

TEST_F(DriverTest, TwoLabelsWithCommonValuesGoOutWithOneOpeningOfThePort) {
  EnableWithTemplate();
  const Variant common = Table(2, 3,
                               {{Variant("Price"), Variant("1.00")},
                                {Variant("Shop"), Variant("Kestro")},
                                {Variant("Name"), Variant("common")}});
  const Variant rows =
      Table(2, 2, {{Variant("Milk"), Variant("89.90")}, {Variant("Bread \"Rye\""), Variant(54)}});
  PublicCall print = Print(1, LabelsData(common, {Variant("Name"), Variant("Price")}, rows));
  ASSERT_TRUE(print.result.ToBool()) << print.Message();
  EXPECT_EQ(Opens(), 1);
  EXPECT_EQ(device_io.events.back(), "close");
  EXPECT_EQ(device_io.received, std::string(kJobHeader) + "N\n" + NameCommand("Milk") +
                                    PriceCommand("89.90") + "P1\n" + "N\n" +
                                    NameCommand("Bread \\\"Rye\\\"") + PriceCommand("54") + "P1\n");
}

TEST_F(DriverTest, CopiesNumberColumnInAnyCaseAndPositionSetsTheCopies) {
  EnableWithTemplate();
  const Variant rows = Table(
      2, 3,
      {{Variant(3), Variant("A")}, {Variant(), Variant("B")}, {Variant::Null(), Variant("C")}});
  PublicCall print =
      Print(1, LabelsData(NoCommonValues(), {Variant("copiesnumber"), Variant("Name")}, rows));
  ASSERT_TRUE(print.result.ToBool()) << print.Message();
  const std::string received = device_io.received;
  EXPECT_NE(received.find(NameCommand("A") + PriceCommand("") + "P3\n"), std::string::npos);
  EXPECT_NE(received.find(NameCommand("B") + PriceCommand("") + "P1\n"), std::string::npos);
  EXPECT_NE(received.find(NameCommand("C") + PriceCommand("") + "P1\n"), std::string::npos);
  // The copies column is no field value.
  EXPECT_EQ(received.find("copiesnumber"), std::string::npos);
}

TEST_F(DriverTest, BadLabelsDataGives1004AndSendsNothing) {
  EnableWithTemplate();
  struct Case {
    const char* what;
    Variant data;
  };
  const Case cases[] = {
      {"common values missing",
       LabelsData(Variant(), {Variant("Name")}, Table(1, 1, {{Variant("A")}}))},
      {"rows of one dimension", LabelsData(NoCommonValues(), {Variant("Name")},
                                           Variant(VariantArray::Vector({Variant("A")})))},
      {"two parts only",
       Variant(VariantArray::Vector({NoCommonValues(), Variant(VariantArray::Vector(0))}))},
      {"not an array", Variant("labels")},
      {"more names than row columns",
       LabelsData(NoCommonValues(), {Variant("Name"), Variant("Price")},
                  Table(1, 1, {{Variant("A")}}))},
  };
  for (const Case& c : cases) {
    device_io.events.clear();
    PublicCall print = Print(1, c.data);
    EXPECT_EQ(print.Code(), 1004) << c.what;
    EXPECT_EQ(print.Message(), "Ошибка входных параметров команды") << c.what;
    EXPECT_TRUE(device_io.events.empty()) << c.what;
  }
}

TEST_F(DriverTest, CopiesThatCannotBePrintedAreRefusedWithTheirReasonBeforeAnythingIsSent) {
  EnableWithTemplate();
  struct Case {
    Variant copies;
    const char* reason;
  };
  const Case cases[] = {
      {Variant("two"), "Число копий этикетки 3 не целое: two"},
      {Variant(0), "Число копий этикетки 3 должно быть от 1 до 65535, а не 0"},
      {Variant(65536), "Число копий этикетки 3 должно быть от 1 до 65535, а не 65536"},
  };
  for (const Case& c : cases) {
    device_io.events.clear();
    // The good labels before it are not sent either: the whole request is read first.
    const Variant rows = Table(
        2, 3, {{Variant(1), Variant("A")}, {Variant(2), Variant("B")}, {c.copies, Variant("C")}});
    PublicCall print =
        Print(1, LabelsData(NoCommonValues(), {Variant("CopiesNumber"), Variant("Name")}, rows));
    EXPECT_EQ(print.Code(), 1004) << c.reason;
    EXPECT_EQ(print.Message(), std::string("Ошибка входных параметров команды\r\n") + c.reason);
    EXPECT_TRUE(device_io.events.empty()) << c.reason;
  }
  // The same for a value of the last label that has no text.
  const Variant rows = Table(1, 2, {{Variant("A")}, {Variant(VariantArray::Vector(1))}});
  PublicCall print = Print(1, LabelsData(NoCommonValues(), {Variant("Name")}, rows));
  EXPECT_EQ(print.Code(), 1004);
  EXPECT_EQ(print.Message(), "Ошибка входных параметров команды");
  EXPECT_TRUE(device_io.events.empty());
}

TEST_F(DriverTest, AMarkingCodeThatCannotBePrintedRefusesTheRequestBeforeAnythingIsSent) {
  const std::string symbol_template =
      "<Label><Item ClassName=\"2DShk\"><Property Name=\"DS\" Value=\"Code\"/>"
      "<Property Name=\"BarCodeType\" Value=\"GS1_DATAMATRIX\"/>"
      "<Property Name=\"Value\" Value=\"0104601234567893\"/>"
      "<Property Name=\"Width\" Value=\"20\"/><Property Name=\"Height\" Value=\"20\"/>"
      "</Item></Label>";
  ASSERT_TRUE(Upload(2, symbol_template).result.ToBool());
  ASSERT_TRUE(CallPublic(*driver, "Enable").result.ToBool());
  device_io.events.clear();
  // The third label's serial number runs past the 20 characters of AI 21.
  const Variant rows = Table(1, 3,
                             {{Variant("0104601234567893"
                                       "21A\x1D"
                                       "93abcd")},
                              {Variant("0104601234567893"
                                       "21B")},
                              {Variant("0104601234567893"
                                       "21" +
                                       std::string(21, 'C'))}});
  PublicCall print = Print(2, LabelsData(NoCommonValues(), {Variant("Code")}, rows));
  EXPECT_EQ(print.Code(), 1004);
  EXPECT_EQ(print.Message(),
            "Ошибка входных параметров команды\r\nШтрихкод поля 1 (2DShk, источник данных «Code») "
            "не может быть напечатан: значение не является строкой элементов GS1: в элементе (21) "
            "21 знаков, а допустимо от 1 до 20");
  EXPECT_TRUE(device_io.events.empty());
}

TEST_F(DriverTest, NoLabelRowsStillSendTheJobHeader) {
  EnableWithTemplate();
  PublicCall print =
      Print(1, LabelsData(NoCommonValues(), {Variant("Name")}, Variant(VariantArray::Table(1, 0))));
  ASSERT_TRUE(print.result.ToBool()) << print.Message();
  EXPECT_EQ(Opens(), 1);
  EXPECT_EQ(device_io.received, kJobHeader);
}

TEST_F(DriverTest, FailedWriteStopsTheJobAndStillClosesThePort) {
  EnableWithTemplate();
  device_io.writes = {testing::FakeWrite{0, 5, 2000}};
  PublicCall print =
      Print(1, LabelsData(NoCommonValues(), {Variant("Name")}, Table(1, 1, {{Variant("A")}})));
  EXPECT_FALSE(print.result.ToBool());
  EXPECT_EQ(print.Code(), 1001);
  EXPECT_EQ(print.Message(), "Неизвестная ошибка\r\nsystem error 5\r\nОтправлено этикеток: 0 из 1");
  EXPECT_EQ(device_io.events.back(), "close");
}

TEST_F(DriverTest, APrintQueueThatDoesNotTakeTheJobPrintsNoneOfItsLabels) {
  driver->SetSettingValue("PortType", Variant(5));
  driver->SetSettingValue("PortName", Variant("Zebra"));
  EnableWithTemplate();
  device_io.job_finish_reason = "printer stopped";
  PublicCall print = Print(1, LabelsData(NoCommonValues(), {Variant("Name")},
                                         Table(1, 2, {{Variant("A")}, {Variant("B")}})));
  EXPECT_EQ(print.Code(), 1001);
  EXPECT_NE(print.Message().find("\r\nОтправлено этикеток: 0 из 2"), std::string::npos)
      << print.Message();
}

TEST_F(DriverTest, TemplateThatIsNoLabelDocumentFailsThroughTheDispatcher) {
  ASSERT_TRUE(Upload(2, "<Label><Item ClassName=\"Shk\">").result.ToBool());
  ASSERT_TRUE(CallPublic(*driver, "Enable").result.ToBool());
  PublicCall print = Print(2, LabelsData(NoCommonValues(), {}, Variant(VariantArray::Table(0, 0))));
  EXPECT_FALSE(print.result.ToBool());
  EXPECT_EQ(print.Code(), 1001);
  EXPECT_EQ(print.Message().rfind("Шаблон этикетки не является правильным XML-документом: ", 0), 0u)
      << print.Message();
}

TEST_F(DriverTest, ABrokenPictureOfTheTemplateIsReportedInRussian) {
  ASSERT_TRUE(Upload(3,
                     "<Label Width=\"58\" Height=\"40\"><Item ClassName=\"Image\">"
                     "<Property Name=\"Value\" Value=\"logo\"/><Property Name=\"Width\" "
                     "Value=\"10\"/><Property Name=\"Height\" Value=\"10\"/></Item>"
                     "<ImageList Count=\"1\" xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">"
                     "<Image Name=\"logo\" Path=\"\" dt:dt=\"bin.base64\">Qk0+BAAwoQIAQGAAAAA0"
                     "AAAAAQAAAN3///8BABAABgAAANXV1dUAAAAAAAAAAAAAAAAAAEEAAAAAAAAAAAAAPwAAAAAA"
                     "</Image></ImageList></Label>")
                  .result.ToBool());
  ASSERT_TRUE(CallPublic(*driver, "Enable").result.ToBool());
  device_io.events.clear();
  PublicCall print = Print(3, LabelsData(NoCommonValues(), {}, Variant(VariantArray::Table(0, 1))));
  EXPECT_FALSE(print.result.ToBool());
  EXPECT_EQ(print.Message(),
            "Рисунок BMP повреждён или не поддерживается: цветовые маски обрезаны");
  EXPECT_TRUE(device_io.events.empty());
}

// ---- Jobs written label by label ----

// A template with every kind of field: printer-font text, a barcode, a text in a chosen font, a
// picture of the template, a picture file named by the data (turned) and a line.
std::string EveryFieldTemplate() {
  auto item = [](const char* class_name, const char* properties) {
    std::string xml = std::string("<Item ClassName=\"") + class_name + "\">";
    for (std::string_view rest = properties; !rest.empty();) {
      const std::size_t end = std::min(rest.find(';'), rest.size());
      const std::string_view pair = rest.substr(0, end);
      const std::size_t equals = pair.find('=');
      xml += "<Property Name=\"" + std::string(pair.substr(0, equals)) + "\" Value=\"" +
             std::string(pair.substr(equals + 1)) + "\"/>";
      rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return xml + "</Item>";
  };
  return "<Label>" + item("TextSimple", "DS=Name;Left=2;Top=2;MaxSymbols=30;FontSize=3") +
         item("Shk", "DS=Barcode;BarCodeType=CODE128;TextVisible=True;Left=2;Top=20;Height=12") +
         item("TextGraphic", "DS=Description;Left=2;Top=7;Width=40;Height=10;Font.Size=9") +
         item("Image", "Value=logo;Left=36;Top=18;Width=20;Height=20") +
         item("Image", "DS=Photo;RotationFixed=r90;Left=44;Top=2;Width=12;Height=9") +
         item("Line", "LineLeft=2;LineTop=18;LineLength=54") +
         "<ImageList xmlns:dt=\"urn:schemas-microsoft-com:datatypes\"><Image Name=\"logo\" "
         "Path=\"\" dt:dt=\"bin.base64\">" +
         Base64Encode(testing::GradientBmp(30, 20)) + "</Image></ImageList></Label>";
}

struct Label {
  std::int32_t copies;
  std::vector<std::pair<std::string, std::string>> values;
};

// The job as it was made before labels were streamed: every label drawn afresh (by a generator
// of its own, so nothing drawn for another label is reused) and the whole list written at once.
std::string JobBuiltWhole(const std::string& xml, const std::vector<Label>& labels) {
  std::string job;
  auto append = [&job](const TPrinterTypeBase& printer) {
    for (const TPrinterCmd& command : printer.CmdList()) job += command.Data + printer.CmdSuffix();
  };
  std::unique_ptr<TPrinterTypeBase> header = CreatePrinterOfModel(0);
  header->PrintParams() = TPrintParams{58, 40, 2, pmDirect, 7, 4};
  header->InitTask();
  append(*header);
  for (const Label& label : labels) {
    std::unique_ptr<TPrinterTypeBase> printer = CreatePrinterOfModel(0);
    printer->PrintParams() = header->PrintParams();
    printer->LabelObj().LoadFromString(xml);
    printer->InitLabel();
    for (const auto& [name, value] : label.values) printer->ValuesList().Add(name, value);
    printer->MakeLabelScript(static_cast<std::uint16_t>(label.copies));
    append(*printer);
  }
  return job;
}

Variant LabelsDataOf(const std::vector<Label>& labels) {
  const std::vector<std::pair<std::string, std::string>>& first = labels.front().values;
  VariantArray names = VariantArray::Vector(first.size() + 1);
  names.At({0}) = Variant("CopiesNumber");
  for (std::size_t k = 0; k < first.size(); ++k)
    names.At({static_cast<std::int32_t>(k + 1)}) = Variant(first[k].first);
  VariantArray rows = VariantArray::Table(static_cast<std::int32_t>(first.size() + 1),
                                          static_cast<std::int32_t>(labels.size()));
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const auto row = static_cast<std::int32_t>(i);
    rows.At({0, row}) = Variant(labels[i].copies);
    for (std::size_t k = 0; k < labels[i].values.size(); ++k)
      rows.At({static_cast<std::int32_t>(k + 1), row}) = Variant(labels[i].values[k].second);
  }
  return Variant(VariantArray::Vector(
      {NoCommonValues(), Variant(std::move(names)), Variant(std::move(rows))}));
}

TEST_F(DriverTest, StreamedJobHasTheBytesAndFlushesOfTheJobBuiltWhole) {
  const std::string photo = folder.File("photo.bmp");
  platform::ReplaceFileAtomically(photo, testing::GradientBmp(40, 24));
  const std::string photo_again =
      folder.path() + platform::PathDelimiter() + "." + platform::PathDelimiter() + "photo.bmp";
  const std::string xml = EveryFieldTemplate();
  ASSERT_TRUE(Upload(2, xml).result.ToBool());
  EnableWithTemplate();
  std::vector<Label> labels;
  const char* const descriptions[] = {"Молоко 3,2%", "Молоко 3,2%", "Хлеб", "Хлеб", "Молоко 3,2%"};
  for (int i = 0; i < 5; ++i) {
    labels.push_back({i == 1 ? 3 : 1 + i % 2,
                      {{"Name", "Товар " + std::to_string(i)},
                       {"Barcode", std::to_string(4600000000000LL + i)},
                       {"Description", descriptions[i]},
                       {"Photo", i == 3 ? photo_again : photo}}});
  }
  PublicCall print = Print(2, LabelsDataOf(labels));
  ASSERT_TRUE(print.result.ToBool()) << print.Message();
  const std::string expected = JobBuiltWhole(xml, labels);
  EXPECT_EQ(device_io.received.size(), expected.size());
  EXPECT_TRUE(device_io.received == expected) << "the bytes differ";
  // The header, then each label, each in one write followed by a flush; closing flushes too.
  ASSERT_EQ(expected.rfind(kJobHeader, 0), 0u);
  std::vector<std::string> events = {"open USB001 shared",
                                     "write " + std::to_string(std::strlen(kJobHeader)), "flush"};
  std::size_t label_start = std::strlen(kJobHeader);
  for (std::size_t end = 0; (end = expected.find("\nP", label_start)) != std::string::npos;) {
    const std::size_t next = expected.find('\n', end + 1) + 1;
    events.push_back("write " + std::to_string(next - label_start));
    events.push_back("flush");
    label_start = next;
  }
  events.push_back("flush");
  events.push_back("close");
  EXPECT_EQ(device_io.events, events);
}

TEST_F(DriverTest, AProgressReportGoesToTheHostEveryQuarterSecondAndAtTheEnd) {
  testing::ScriptedClock slow_clock;
  platform::ScopedTimeSource slow_scope(slow_clock);
  testing::FakeDeviceIo slow_printer(&slow_clock);
  slow_printer.writes = {testing::FakeWrite{SIZE_MAX, 0, 100}};  // every write takes 100 ms
  auto slow = CreateObject<TDriver>(slow_printer);
  testing::InitAndOpen(*slow, host, "LP1");
  slow->SetSettingValue("PortName", Variant("USB001"));
  // The two drivers share the device folder and so its template file.
  ASSERT_TRUE(Upload(1, kTemplate).result.ToBool());
  ASSERT_TRUE(CallPublic(*slow, "Enable").result.ToBool());
  VariantArray rows = VariantArray::Table(1, 10);
  for (std::int32_t i = 0; i < 10; ++i) rows.At({0, i}) = Variant(i == 4 ? 3 : 1);
  const Variant data(VariantArray::Vector({NoCommonValues(),
                                           Variant(VariantArray::Vector({Variant("CopiesNumber")})),
                                           Variant(std::move(rows))}));
  host->calls.clear();
  PublicCall print =
      CallPublic(*slow, "PrintLabels", Variant(VariantArray::Vector({Variant(1), data})));
  ASSERT_TRUE(print.result.ToBool()) << print.Message();
  std::vector<std::string> reports;
  for (const auto& call : host->CallsOf("TaskState"))
    reports.push_back(call.args[1].ToString() + "% " + call.args[2].ToString());
  // The header and each label take a write of 100 ms; the fifth label has three copies.
  const std::vector<std::string> expected = {
      "16% Отправлено этикеток: 2 из 12", "58% Отправлено этикеток: 7 из 12",
      "83% Отправлено этикеток: 10 из 12", "100% Отправлено этикеток: 12 из 12"};
  EXPECT_EQ(reports, expected);

  // A host that fails to take a report gets no more and still has its labels printed.
  host->calls.clear();
  host->failure = "no progress here";
  print = CallPublic(*slow, "PrintLabels", Variant(VariantArray::Vector({Variant(1), data})));
  host->failure.reset();
  EXPECT_TRUE(print.result.ToBool()) << print.Message();
  EXPECT_EQ(host->CallsOf("TaskState").size(), 1u);
}

// The host's table is read where the dispatcher's one copy of the arguments holds it: the copy
// costs the table's cells (its texts are shared), and the job itself no more than a few labels.
TEST_F(DriverTest, AJobOfTwoHundredThousandLabelsHoldsTheTablesCellsAndAFewLabels) {
  // A printer that keeps none of the bytes and looks at the heap every 2000 writes.
  testing::NullDeviceIo printer;
  std::size_t most_heap = 0;
  printer.after_write = [&] {
    if (printer.writes % 2000 == 0) most_heap = std::max(most_heap, testing::HeapInUse());
  };
  auto streaming = CreateObject<TDriver>(printer);
  testing::InitAndOpen(*streaming, host, "LP1");
  // The two drivers share the device folder and so its template file. A label of one line and a
  // value keeps the run short under the sanitizers.
  ASSERT_TRUE(Upload(1, testing::LabelTemplateXml()
                            .Item("Line", {{"LineLeft", "2"}, {"LineLength", "50"}})
                            .Text())
                  .result.ToBool());
  ASSERT_TRUE(CallPublic(*streaming, "Enable").result.ToBool());
  constexpr std::int32_t kLabels = 200000;
  VariantArray rows = VariantArray::Table(1, kLabels);
  for (std::int32_t i = 0; i < kLabels; ++i)
    rows.At({0, i}) = Variant("Товар номер " + std::to_string(i));
  Variant in_data(VariantArray::Vector(
      {Variant(1), Variant(VariantArray::Vector({NoCommonValues(),
                                                 Variant(VariantArray::Vector({Variant("Name")})),
                                                 Variant(std::move(rows))}))}));

  const std::size_t before = testing::HeapInUse();
  const PublicCall print = CallPublic(*streaming, "PrintLabels", std::move(in_data));
  ASSERT_TRUE(print.result.ToBool()) << print.Message();
  EXPECT_EQ(printer.writes, 1u + kLabels);  // the header, then one write per label
  // Made all at once, the commands of these labels would take about 25 MB; a copy of the table
  // with texts of its own about 10 MB more.
  EXPECT_LT(most_heap, before + kLabels * sizeof(Variant) + 512 * 1024)
      << "the heap grew by " << most_heap - before << " bytes";
}

TEST_F(DriverTest, InitializePrinterSendsTheSetUpAndWaitsAfterTheReset) {
  EnableWithTemplate();
  const std::uint32_t start = clock.ticks;
  PublicCall init = CallPublic(*driver, "InitializePrinter");
  ASSERT_TRUE(init.result.ToBool()) << init.Message();
  EXPECT_EQ(device_io.received, "WN\nEK\"*\"\nFK\"*\"\nGK\"*\"\nI8,C,001\n^@\n");
  EXPECT_GE(clock.ticks - start, 2000u);
  EXPECT_GE(device_io.flush_calls, 1);
  EXPECT_EQ(Opens(), 1);
}

TEST_F(DriverTest, InitializePrinterAndDeviceTestNeedAnEnabledDevice) {
  EXPECT_EQ(CallPublic(*driver, "InitializePrinter").Code(), 70);
  std::string description;
  EXPECT_FALSE(driver->DeviceTest(description));
  EXPECT_EQ(description, "Устройство не включено");
}

TEST_F(DriverTest, DeviceTestPrintsTheConfigurationAndATestLabelOfTheDriversFields) {
  EnableWithTemplate();
  std::string description;
  EXPECT_TRUE(driver->DeviceTest(description));
  EXPECT_EQ(description, "Нет ошибок");
  // The printer's configuration, then a label on the settings' print area (58 x 40 mm): the
  // title and the model in the printer's font, a Code 128, a DataMatrix and a QR code.
  const std::string& sent = device_io.received;
  EXPECT_EQ(sent.substr(0, 2 + std::strlen(kJobHeader)), std::string("U\n") + kJobHeader);
  EXPECT_NE(sent.find("A16,16,0,2,1,1,N,\"Pirell: \xF2\xE5\xF1\xF2 \xEF\xE5\xF7\xE0\xF2\xE8\""),
            std::string::npos);
  EXPECT_NE(sent.find("A16,48,0,1,1,1,N,\"2824, 2844\""), std::string::npos);
  EXPECT_NE(sent.find("B16,88,0,1,2,2,64,B,\"PIRELL-TEST\""), std::string::npos);
  std::size_t rasters = 0;
  for (std::size_t at = sent.find("\nGW"); at != std::string::npos; at = sent.find("\nGW", at + 1))
    ++rasters;
  EXPECT_EQ(rasters, 2u);
  EXPECT_EQ(sent.substr(sent.size() - 3), "P1\n");

  // A label too small for the symbols leaves them out; the next print request is its own.
  driver->SetSettingValue("PrintHeight", Variant(20));
  ASSERT_TRUE(CallPublic(*driver, "Enable").result.ToBool());
  device_io.received.clear();
  EXPECT_TRUE(driver->DeviceTest(description));
  EXPECT_EQ(device_io.received.find("GW"), std::string::npos);
  EXPECT_NE(device_io.received.find("PIRELL-TEST"), std::string::npos);
}

// A host's window procedure may call the driver while a job serves messages waiting for the
// printer. Those calls are refused; the job goes on with what it started with and ends whole.
TEST_F(DriverTest, HostCallsFromAMessageServedDuringAJobAreRefusedAndTheJobGoesOn) {
  EnableWithTemplate();
  testing::ScriptedClock pump;
  platform::ScopedTimeSource pump_scope(pump);
  device_io.writes = {{0, 0, 0}, {}};  // the printer takes nothing at first: the job waits
  LateBoundObject* const object = driver.get();
  std::vector<PublicCall> refused;
  testing::PrivateCall close;
  pump.on_pump = [&] {
    if (!refused.empty()) return;
    for (const char* method :
         {"Disable", "Enable", "InitializePrinter", "SetSettings", "GetDeviceInfo", "PrintLabels"})
      refused.push_back(CallPublic(*object, method));
    close = testing::CallPrivate(*object, "Close", {});
    driver.reset();  // and the host lets the object go
  };
  const Variant rows = Table(2, 1, {{Variant("Milk"), Variant("1.00")}});
  PublicCall print = CallPublic(
      *object, "PrintLabels",
      VariantArray::Vector(
          {Variant(1), LabelsData(NoCommonValues(), {Variant("Name"), Variant("Price")}, rows)}));
  ASSERT_TRUE(print.result.ToBool()) << print.Message();
  EXPECT_EQ(device_io.received,
            std::string(kJobHeader) + "N\n" + NameCommand("Milk") + PriceCommand("1.00") + "P1\n");
  ASSERT_EQ(refused.size(), 6u);
  for (const PublicCall& call : refused) {
    EXPECT_EQ(call.Code(), rc::Busy);
    EXPECT_EQ(call.Message(),
              "Устройство занято: драйвер ещё выполняет метод \"PrintLabels\"; повторите вызов "
              "после его завершения");
  }
  EXPECT_EQ(close.status, hr::DispException);
  EXPECT_EQ(close.exception.description,
            "драйвер ещё выполняет метод \"PrintLabels\"; повторите вызов после его завершения");
  EXPECT_EQ(device_io.open_devices, 0);  // the object went when the job was done
}

TEST_F(DriverTest, AFailedEnableSwitchesTheDebugLogOffAgainAndCheckHealthSaysWhy) {
  driver->SetSettingValue("DebugLogEnabled", Variant(true));
  driver->SetSettingValue("PrinterModel", Variant(99));
  EXPECT_EQ(CallPublic(*driver, "Enable").Code(), rc::UnknownPrinterModel);
  EXPECT_FALSE(driver->DebugLogEnabled());
  PublicCall health = CallPublic(*driver, "CheckHealth");
  EXPECT_EQ(health.Code(), rc::UnknownPrinterModel);
  EXPECT_EQ(health.Message(), "Неизвестная модель принтера");
  // A setting that does not convert says so in Russian.
  driver->SetSettingValue("PrinterModel", Variant("пятая"));
  EXPECT_EQ(CallPublic(*driver, "Enable").Message(),
            "Значение типа OleStr нельзя преобразовать в тип Integer");
  EXPECT_FALSE(driver->DebugLogEnabled());
}

// Driver objects created at once on several threads, each with its own apartment, make the
// first use of the locale settings together. Each round runs in a fresh process, where nothing
// has read them yet: every thread must see the one copy read from the system. (A race there
// shows in about a third of the rounds.)
TEST(DriverThreadsDeathTest, DriversMadeAtOnceOnSeveralThreadsShareOneReadingOfTheLocale) {
  const std::string style = GTEST_FLAG_GET(death_test_style);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
#ifdef _WIN32
  constexpr int kRounds = 3;  // a process start costs seconds under Wine
#else
  constexpr int kRounds = 20;
#endif
  for (int round = 0; round < kRounds; ++round) {
    EXPECT_EXIT(
        {
          constexpr int kThreads = 32;
          std::latch created(kThreads);
          std::vector<const platform::LocaleFormat*> seen(kThreads);
          std::vector<std::thread> threads;
          for (int i = 0; i < kThreads; ++i) {
            threads.emplace_back([&, i] {
              auto driver = CreateObject<TDriver>();
              created.arrive_and_wait();
              seen[static_cast<std::size_t>(i)] = &platform::UserLocale();
            });
          }
          for (std::thread& thread : threads) thread.join();
          const bool one = std::count(seen.begin(), seen.end(), seen[0]) == kThreads;
          std::exit(one && !seen[0]->decimal_separator.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "")
        << "round " << round;
  }
  GTEST_FLAG_SET(death_test_style, style);
}

TEST_F(DriverTest, DisableReleasesTheGenerator) {
  EnableWithTemplate();
  ASSERT_TRUE(CallPublic(*driver, "Disable").result.ToBool());
  EXPECT_EQ(driver->Device(), nullptr);
  PublicCall print = Print(1, LabelsData(NoCommonValues(), {}, Variant(VariantArray::Table(0, 0))));
  EXPECT_EQ(print.Code(), 70);
}

TEST_F(DriverTest, SettingsDialogShowsThePrinterPageAndReportsHowItClosed) {
  testing::FakeSettingsUiServices ui;
  std::vector<std::string> tabs;
  bool close_with_ok = false;
  ScopedSettingsWindowRunner runner([&](TBaseDevice& device, const TPageClasses& pages) {
    TfrmCommonSettings window(device, pages, ui);
    tabs = window.pcPages.Tabs;
    auto& printer = static_cast<TfrmMainSettings&>(*window.Pages().at(0));
    printer.edtPrintGap.Text = "3";
    window.ModalResult = close_with_ok ? mrOk : mrCancel;
    window.FormClose();
    return window.ModalResult == mrOk;
  });

  EXPECT_EQ(CallPublic(*driver, "ShowSettingsDlg").Code(), 201);
  ASSERT_FALSE(tabs.empty());
  EXPECT_EQ(tabs.front(), "Принтер");
  EXPECT_EQ(tabs.back(), "Информация");
  EXPECT_EQ(driver->GetSettingValueInt("PrintGap"), 2);

  close_with_ok = true;
  PublicCall show = CallPublic(*driver, "ShowSettingsDlg");
  EXPECT_TRUE(show.result.ToBool()) << show.Message();
  EXPECT_EQ(driver->GetSettingValueInt("PrintGap"), 3);
}

}  // namespace
}  // namespace pirell
