// The command-line host: its CSV reading, its copy of the settings, and whole sessions with the
// driver created by its ProgID.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "host_cli/csv_reader.h"
#include "host_cli/host_session.h"
#include "host_cli/settings_store.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "support/temp_dir.h"

namespace pirell::cli {
namespace {

TEST(CsvReaderTest, ReadsQuotedFieldsLineEndsAndTheByteOrderMark) {
  const CsvTable table = ParseCsv(
      "\xEF\xBB\xBFName,Price\r\n"
      "\"Milk, 3.2%\",89.90\r\n"
      "\n"
      "\"Tea \"\"Earl Grey\"\"\",\"two\nlines\"\n"
      "Bread,\n");
  ASSERT_EQ(table.header, (std::vector<std::string>{"Name", "Price"}));
  ASSERT_EQ(table.rows.size(), 3u);
  EXPECT_EQ(table.rows[0], (std::vector<std::string>{"Milk, 3.2%", "89.90"}));
  EXPECT_EQ(table.rows[1], (std::vector<std::string>{"Tea \"Earl Grey\"", "two\nlines"}));
  EXPECT_EQ(table.rows[2], (std::vector<std::string>{"Bread", ""}));
}

TEST(CsvReaderTest, TakesSemicolonsWhenTheHeaderHasNoCommas) {
  const CsvTable table = ParseCsv("Name;Price\nMilk;89,90\n");
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(table.rows[0], (std::vector<std::string>{"Milk", "89,90"}));
}

TEST(CsvReaderTest, RefusesAnOpenQuoteAndRowsOfAnotherLength) {
  EXPECT_THROW(ParseCsv("Name\n\"Milk\n"), std::runtime_error);
  EXPECT_THROW(ParseCsv("Name,Price\nMilk\n"), std::runtime_error);
  EXPECT_TRUE(ParseCsv("").header.empty());
}

TEST(SettingsStoreTest, KeepsTypesAndTextsAcrossSaveAndLoad) {
  testing::TempDir folder;
  const std::string path = folder.File("host-settings");
  EXPECT_TRUE(LoadSettings(path).empty());
  const StoredSettings saved = {{"DebugLogEnabled", Variant(true)},
                                {"PrintWidth", Variant::Integer(58)},
                                {"Ratio", Variant(12.5)},
                                {"PortName", Variant("a\tb\\c\nd")},
                                {"Nothing", Variant()}};
  SaveSettings(path, saved);
  const StoredSettings loaded = LoadSettings(path);
  ASSERT_EQ(loaded.size(), saved.size());
  for (std::size_t i = 0; i < saved.size(); ++i) {
    EXPECT_EQ(loaded[i].first, saved[i].first);
    EXPECT_EQ(loaded[i].second.Type(), saved[i].second.Type()) << saved[i].first;
    EXPECT_EQ(loaded[i].second.ToString(), saved[i].second.ToString()) << saved[i].first;
  }
}

constexpr char kTemplate[] =
    "<Label><Item ClassName=\"TextSimple\"><Property Name=\"DS\" Value=\"Name\"/>"
    "<Property Name=\"MaxSymbols\" Value=\"20\"/><Property Name=\"FontSize\" Value=\"1\"/>"
    "</Item></Label>";

Variant UploadData(std::int32_t number, const std::string& text) {
  return Variant(VariantArray::Vector({Variant(number), Variant("label"), Variant(text)}));
}

Variant OneColumnLabels(const std::string& column, std::initializer_list<const char*> values) {
  VariantArray rows = VariantArray::Table(1, static_cast<std::int32_t>(values.size()));
  std::int32_t i = 0;
  for (const char* value : values) rows.At({0, i++}) = Variant(value);
  return Variant(VariantArray::Vector({Variant(VariantArray::Table(2, 0)),
                                       Variant(VariantArray::Vector({Variant(column)})),
                                       Variant(std::move(rows))}));
}

TEST(HostSessionTest, PrintsIntoTheCaptureFileOfTheDeviceFolderUnlessAPortIsChosen) {
  testing::TempDir folder;
  const std::string device = folder.File("shop-1");
  {
    HostSession session(device, false);
    EXPECT_EQ(session.CapturePath(), device + "/capture.prn");
    ASSERT_TRUE(session.Call("UploadTemplate", UploadData(3, kTemplate)).ok);
    ASSERT_TRUE(session.Call("Enable", Variant()).ok);
    const CallResult print = session.Call(
        "PrintLabels",
        Variant(VariantArray::Vector({Variant(3), OneColumnLabels("Name", {"Молоко", "Tea"})})));
    ASSERT_TRUE(print.ok) << print.message;
    session.Call("Disable", Variant());
  }
  const std::string job =
      "\nq464\nQ320,16\nOD\nD7\nS4\nZT\n\n"
      "N\nA0,0,0,1,1,1,N,\"\xCC\xEE\xEB\xEE\xEA\xEE\"\nP1\n"
      "N\nA0,0,0,1,1,1,N,\"Tea\"\nP1\n";
  EXPECT_EQ(platform::ReadWholeFile(device + "/capture.prn"), job);
  {
    // A later session enables the device again and prints: the capture file keeps every job,
    // as a printer receives a stream.
    HostSession session(device, false);
    ASSERT_TRUE(session.Call("Enable", Variant()).ok);
    EXPECT_EQ(platform::ReadWholeFile(device + "/capture.prn"), job);
    ASSERT_TRUE(
        session
            .Call("PrintLabels", Variant(VariantArray::Vector(
                                     {Variant(3), OneColumnLabels("Name", {"Молоко", "Tea"})})))
            .ok);
  }
  EXPECT_EQ(platform::ReadWholeFile(device + "/capture.prn"), job + job);
  // The template file is the driver's, in the device folder.
  EXPECT_TRUE(platform::FileExists(device + "/templates"));
}

TEST(HostSessionTest, FailedCallsReportTheDriversCodeAndMessage) {
  testing::TempDir folder;
  HostSession session(folder.File("shop-2"), false);
  ASSERT_TRUE(session.Call("Enable", Variant()).ok);
  const CallResult print = session.Call(
      "PrintLabels", Variant(VariantArray::Vector({Variant(42), OneColumnLabels("Name", {})})));
  EXPECT_FALSE(print.ok);
  EXPECT_EQ(print.code, 13001);
  EXPECT_EQ(print.message, "Шаблон с таким номером не был загружен в принтер");
}

TEST(HostSessionTest, ChangedSettingsLastIntoTheNextSession) {
  testing::TempDir folder;
  const std::string device = folder.File("shop-3");
  {
    HostSession session(device, false);
    ASSERT_TRUE(session
                    .ChangeSettings({{"PrintWidth", Variant::Integer(100)},
                                     {"PortName", Variant(folder.File("printer.prn"))}})
                    .ok);
  }
  HostSession session(device, false);
  const Variant table = session.SettingsTable();
  const VariantArray& rows = table.Array();
  std::string width, port, type;
  for (std::int32_t i = 0; i <= rows.Upper(1); ++i) {
    if (rows.At({0, i}).ToString() == "PrintWidth") width = rows.At({1, i}).ToString();
    if (rows.At({0, i}).ToString() == "PortName") port = rows.At({1, i}).ToString();
    if (rows.At({0, i}).ToString() == "PortType") type = rows.At({1, i}).ToString();
  }
  EXPECT_EQ(width, "100");
  EXPECT_EQ(port, folder.File("printer.prn"));
  // The port name was chosen without a type: the type is the user's, not the capture file's.
  EXPECT_EQ(type, "0");
}

TEST(HostSessionTest, AssignmentsNeedANameAndAnEqualsSign) {
  const StoredSettings parsed = ParseAssignments({"PortName=/dev/usb/lp0", "PrintGap="});
  ASSERT_EQ(parsed.size(), 2u);
  EXPECT_EQ(parsed[0].second.ToString(), "/dev/usb/lp0");
  EXPECT_EQ(parsed[1].second.ToString(), "");
  EXPECT_THROW(ParseAssignments({"PortName"}), std::invalid_argument);
  EXPECT_THROW(ParseAssignments({"=3"}), std::invalid_argument);
}

}  // namespace
}  // namespace pirell::cli

namespace pirell::cli {
namespace {

// The print job of the Windows script test (a script host driving pirell.dll under Wine), run
// here through the Linux module: the printer must receive the very same bytes.
TEST(HostSessionTest, WritesTheSameBytesAsTheDllForTheScriptHostsJob) {
  const std::string template_text =
      "<Label Width=\"58\" Height=\"40\"><Item ClassName=\"TextSimple\">"
      "<Property Name=\"DS\" Value=\"Name\"/><Property Name=\"Left\" Value=\"5\"/>"
      "<Property Name=\"Top\" Value=\"10\"/><Property Name=\"Width\" Value=\"40\"/>"
      "<Property Name=\"Height\" Value=\"5\"/><Property Name=\"MaxSymbols\" Value=\"20\"/>"
      "<Property Name=\"FontSize\" Value=\"2\"/></Item><Item ClassName=\"Shk\">"
      "<Property Name=\"DS\" Value=\"Barcode\"/><Property Name=\"BarCodeType\" Value=\"Code128\"/>"
      "<Property Name=\"TextVisible\" Value=\"True\"/><Property Name=\"Left\" Value=\"5\"/>"
      "<Property Name=\"Top\" Value=\"15\"/><Property Name=\"Height\" Value=\"15\"/>"
      "</Item></Label>";
  VariantArray common = VariantArray::Table(2, 1);
  common.At({0, 0}) = Variant("Barcode");
  common.At({1, 0}) = Variant("99999");
  VariantArray rows = VariantArray::Table(3, 2);
  rows.At({0, 0}) = Variant("Молоко пастеризованное 3,2%");
  rows.At({1, 0}) = Variant("12345");
  rows.At({2, 0}) = Variant(2);
  rows.At({0, 1}) = Variant("Tea \"Green\" 1\\2");
  rows.At({1, 1}) = Variant("67890");
  rows.At({2, 1}) = Variant(1);
  const Variant labels(
      VariantArray::Vector({Variant(std::move(common)),
                            Variant(VariantArray::Vector(
                                {Variant("Name"), Variant("Barcode"), Variant("CopiesNumber")})),
                            Variant(std::move(rows))}));

  testing::TempDir folder;
  const std::string device = folder.File("LabelPrinter1");
  {
    HostSession session(device, false);
    ASSERT_TRUE(session.Call("UploadTemplate", UploadData(1, template_text)).ok);
    ASSERT_TRUE(session.Call("Enable", Variant()).ok);
    const CallResult print =
        session.Call("PrintLabels", Variant(VariantArray::Vector({Variant(1), labels})));
    ASSERT_TRUE(print.ok) << print.message;
  }
  const auto expected =
      platform::ReadWholeFile(std::string(PIRELL_SOURCE_DIR) +
                              "/tests/windows/com_test_server/driver_script_expected.prn.txt");
  ASSERT_TRUE(expected.has_value());
  const auto capture = platform::ReadWholeFile(device + "/capture.prn");
  ASSERT_TRUE(capture.has_value());
  EXPECT_EQ(*capture, platform::Utf8ToCp1251(*expected));
}

}  // namespace
}  // namespace pirell::cli
