// The command-line host: its CSV reading, its copy of the settings, whole sessions with the
// driver created by its ProgID, and the pictures of print jobs.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "host_cli/commands.h"
#include "host_cli/csv_reader.h"
#include "host_cli/host_session.h"
#include "host_cli/labels_data.h"
#include "host_cli/picture_folder.h"
#include "host_cli/png_file.h"
#include "host_cli/progress_line.h"
#include "host_cli/settings_store.h"
#include "languages/epl2/epl2_renderer.h"
#include "linux/symbol_decoder.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "rendering/printer_registry.h"
#include "support/temp_dir.h"

namespace pirell::cli {
namespace {

using Records = std::vector<std::vector<std::string>>;

// Every record of `text`, the header first.
Records ReadAll(std::string_view text) {
  CsvReader reader(text);
  Records records;
  for (std::vector<std::string> record; reader.Next(record);) records.push_back(record);
  return records;
}

TEST(CsvReaderTest, ReadsQuotedFieldsLineEndsAndTheByteOrderMark) {
  const Records records = ReadAll(
      "\xEF\xBB\xBFName,Price\r\n"
      "\"Milk, 3.2%\",89.90\r\n"
      "\n"
      "\"Tea \"\"Earl Grey\"\"\",\"two\nlines\"\n"
      "Bread,\n");
  EXPECT_EQ(records, (Records{{"Name", "Price"},
                              {"Milk, 3.2%", "89.90"},
                              {"Tea \"Earl Grey\"", "two\nlines"},
                              {"Bread", ""}}));
}

TEST(CsvReaderTest, ARowOfOneEmptyQuotedFieldIsARecordNotABlankLine) {
  EXPECT_EQ(ReadAll("Name\n\"\"\n\nMilk\n\"\""), (Records{{"Name"}, {""}, {"Milk"}, {""}}));
}

TEST(CsvReaderTest, TakesSemicolonsWhenTheHeaderHasNoCommas) {
  EXPECT_EQ(ReadAll("Name;Price\nMilk;89,90\n"), (Records{{"Name", "Price"}, {"Milk", "89,90"}}));
}

// The host table built as the CSV is read: what goes into it, and what refuses it, in the order
// the whole text would have been checked.
TEST(CsvLabelsDataTest, BuildsTheHostTableOrSaysWhatIsWrongFirst) {
  const Variant data = LabelsData("Name,CopiesNumber\nMilk,2\nBread,\n", "data.csv", {"Shop=1"});
  const VariantArray& parts = data.Array();
  EXPECT_EQ(parts.At({0}).Array().At({0, 0}).ToString(), "Shop");
  EXPECT_EQ(parts.At({0}).Array().At({1, 0}).ToString(), "1");
  EXPECT_EQ(parts.At({1}).Array().At({1}).ToString(), "CopiesNumber");
  const VariantArray& rows = parts.At({2}).Array();
  ASSERT_EQ(rows.Dims(), 2);
  EXPECT_EQ(rows.Bound(0).count, 2);
  EXPECT_EQ(LabelRows(data), 2);
  EXPECT_EQ(rows.At({0, 1}).ToString(), "Bread");
  EXPECT_EQ(rows.At({1, 0}).ToString(), "2");
  EXPECT_TRUE(rows.At({1, 1}).IsEmpty());

  const struct {
    const char* csv;
    const char* message;
  } faults[] = {
      {"", "data.csv has no header line"},
      {"\n\r\n", "data.csv has no header line"},
      {"Name,Price\nMilk\nBread,1\n", "row 2 has 1 fields, the header has 2"},
      {"Name,Price\nMilk\nBread,\"1\n", "unterminated quoted field starting on line 3"},
  };
  for (const auto& fault : faults) {
    try {
      LabelsData(fault.csv, "data.csv", {});
      ADD_FAILURE() << fault.csv << " was taken";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), fault.message) << fault.csv;
    }
  }
  EXPECT_THROW(LabelsData("Name\nMilk\n", "data.csv", {"=1"}), UsageError);
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

// Reads back what a progress line wrote into a scratch file.
std::string Written(std::FILE* file) {
  std::rewind(file);
  std::string text;
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text += static_cast<char>(c);
  return text;
}

TEST(ProgressLineTest, ATerminalSeesLabelsAndRateOnceTheJobHasRunForASecond) {
  using namespace std::chrono_literals;
  std::chrono::steady_clock::time_point now{};
  const auto clock = [&now] { return now; };
  std::FILE* terminal = std::tmpfile();
  std::FILE* pipe = std::tmpfile();
  ASSERT_TRUE(terminal && pipe);
  ProgressLine shown(terminal, true, clock);
  ProgressLine hidden(pipe, false, clock);
  now += 750ms;
  shown.Report("Отправлено этикеток: 900 из 10000");
  hidden.Report("Отправлено этикеток: 900 из 10000");
  now += 1250ms;
  shown.Report("Отправлено этикеток: 4000 из 10000");
  hidden.Report("Отправлено этикеток: 4000 из 10000");
  now += 3s;
  shown.Report("Отправлено этикеток: 10000 из 10000");
  hidden.Report("Отправлено этикеток: 10000 из 10000");
  shown.Finish();
  hidden.Finish();
  EXPECT_EQ(Written(terminal),
            "\rОтправлено этикеток: 4000 из 10000, 2000 labels/s    "
            "\rОтправлено этикеток: 10000 из 10000, 2000 labels/s    \n");
  EXPECT_EQ(Written(pipe), "");
  std::fclose(terminal);
  std::fclose(pipe);
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

TEST(HostCommandsTest, TemplatesFailsOnATemplateFileTheDriverCannotRead) {
  testing::TempDir folder;
  const std::string device = folder.File("shop-4");
  CommandLine line;
  line.device_folder = device;
  ASSERT_EQ(RunTemplates(line), 0);  // no file yet: no templates, and that is an answer
  platform::ReplaceFileAtomically(device + "/templates", "<templates><item><number>1");
  ::testing::internal::CaptureStderr();
  EXPECT_NE(RunTemplates(line), 0);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("GetTemplateList failed: 1001 Файл шаблонов " + device + "/templates"),
            std::string::npos)
      << err;
}

TEST(HostCommandsTest, SettingsShowDefaultsAndResetRestoresThem) {
  testing::TempDir folder;
  CommandLine line;
  line.device_folder = folder.File("shop-5");
  line.args = {"PrintWidth=100", "DebugLogEnabled=1"};
  ::testing::internal::CaptureStdout();
  ASSERT_EQ(RunSettings(line), 0);
  const std::string changed = ::testing::internal::GetCapturedStdout();
  EXPECT_NE(changed.find("PrintWidth               Number   100                            58 "),
            std::string::npos)
      << changed;
  line.args = {"--reset", "PrintGap=3"};
  ::testing::internal::CaptureStdout();
  ASSERT_EQ(RunSettings(line), 0);
  const std::string reset = ::testing::internal::GetCapturedStdout();
  EXPECT_NE(reset.find("PrintWidth               Number   58                             58 "),
            std::string::npos)
      << reset;
  EXPECT_NE(reset.find("DebugLogEnabled          Boolean  False                          False "),
            std::string::npos);
  EXPECT_NE(reset.find("PrintGap                 Number   3                              2 "),
            std::string::npos);
  line.args = {"--resett"};
  EXPECT_THROW(RunSettings(line), UsageError);
}

// Each model's speed codes and darkness as its language defines them: EPL2's "S" and "D", ZPL
// II's "^PR" inches per second and "~SD", TSPL's speed codes and DENSITY.
TEST(HostCommandsTest, ModelsListEveryModelByThePrinterModelIndexWithItsLanguageAndDpi) {
  CommandLine line;
  ::testing::internal::CaptureStdout();
  ASSERT_EQ(RunModels(line), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "0\t2824, 2844\ttype 0 ZEBRA (EPL2 lang.)\tEPL2\t203 dpi\tPrintSpeed 1 2 3 4\t"
            "PrintDarkness 0-15 (7)\n"
            "1\tEPL2, 300 dpi\ttype 0 ZEBRA (EPL2 lang.)\tEPL2\t300 dpi\tPrintSpeed 1 2 3 4\t"
            "PrintDarkness 0-15 (7)\n"
            "2\tZPL II, 203 dpi\ttype 1 ZPL II\tZPL II\t203 dpi\tPrintSpeed 2 3 4 5 6 8\t"
            "PrintDarkness 0-30 (15)\n"
            "3\tZPL II, 300 dpi\ttype 1 ZPL II\tZPL II\t300 dpi\tPrintSpeed 2 3 4 5 6\t"
            "PrintDarkness 0-30 (15)\n"
            "4\tZPL II, 600 dpi\ttype 1 ZPL II\tZPL II\t600 dpi\tPrintSpeed 2 3 4\t"
            "PrintDarkness 0-30 (15)\n"
            "5\tTSPL, 203 dpi\ttype 2 TSPL\tTSPL\t203 dpi\tPrintSpeed 1 2 3 4 5 6\t"
            "PrintDarkness 0-15 (8)\n"
            "6\tTSPL, 300 dpi\ttype 2 TSPL\tTSPL\t300 dpi\tPrintSpeed 1 2 3 4 5\t"
            "PrintDarkness 0-15 (8)\n");
  line.args = {"all"};
  EXPECT_THROW(RunModels(line), UsageError);
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

// A print job of the Windows script test's jobs folder (tests/windows/com_test_server/jobs):
// settings, a template and the label rows, in the form the script reads as well.
struct JobFile {
  StoredSettings settings;
  std::string template_text;
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
};

std::vector<std::string> SplitTabs(const std::string& text) {
  std::vector<std::string> parts(1);
  for (const char c : text) {
    if (c == '\t')
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return parts;
}

// "<GS>" stands for the group separator, which a text file of the script host cannot carry.
std::string WithGroupSeparators(std::string text) {
  for (std::size_t at = text.find("<GS>"); at != std::string::npos; at = text.find("<GS>", at))
    text.replace(at, 4, "\x1D");
  return text;
}

JobFile ReadJobFile(const std::string& path) {
  JobFile job;
  std::istringstream lines(platform::ReadWholeFile(path).value_or(""));
  for (std::string line; std::getline(lines, line);) {
    const std::size_t equals = line.find('=');
    if (line.empty() || line[0] == '#' || equals == std::string::npos) continue;
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    if (key == "set") {
      const std::size_t inner = value.find('=');
      const std::string number = value.substr(inner + 1);
      const bool whole =
          !number.empty() && number.find_first_not_of("0123456789") == std::string::npos;
      job.settings.emplace_back(value.substr(0, inner),
                                whole ? Variant(std::stoi(number)) : Variant(number));
    } else if (key == "template") {
      job.template_text = value;
    } else if (key == "columns") {
      job.columns = SplitTabs(value);
    } else if (key == "row") {
      job.rows.push_back(SplitTabs(WithGroupSeparators(value)));
    }
  }
  return job;
}

// Every job of the folder, printed through the Linux module, gives the bytes that the script
// test checks pirell.dll sends for it. PIRELL_WRITE_JOB_CAPTURES=1 writes them instead.
TEST(HostSessionTest, WritesTheSameBytesAsTheDllForTheScriptHostsJobsFolder) {
  const std::filesystem::path jobs =
      std::filesystem::path(PIRELL_SOURCE_DIR) / "tests/windows/com_test_server/jobs";
  int checked = 0;
  for (const auto& entry : std::filesystem::directory_iterator(jobs)) {
    if (entry.path().extension() != ".job") continue;
    SCOPED_TRACE(entry.path().filename().string());
    const JobFile job = ReadJobFile(entry.path().string());
    testing::TempDir folder;
    const std::string device = folder.File("LabelPrinter1");
    {
      HostSession session(device, false);
      ASSERT_TRUE(session.ApplySettings(job.settings).ok);
      ASSERT_TRUE(session.Call("UploadTemplate", UploadData(2, job.template_text)).ok);
      ASSERT_TRUE(session.Call("Enable", Variant()).ok);
      VariantArray names = VariantArray::Vector(job.columns.size());
      for (std::size_t k = 0; k < job.columns.size(); ++k)
        names.Items()[k] = Variant(job.columns[k]);
      VariantArray rows = VariantArray::Table(static_cast<std::int32_t>(job.columns.size()),
                                              static_cast<std::int32_t>(job.rows.size()));
      for (std::size_t i = 0; i < job.rows.size(); ++i)
        for (std::size_t k = 0; k < job.columns.size() && k < job.rows[i].size(); ++k)
          // An empty cell is an empty value, as the command-line host passes it.
          rows.At({static_cast<std::int32_t>(k), static_cast<std::int32_t>(i)}) =
              job.rows[i][k].empty() ? Variant() : Variant(job.rows[i][k]);
      const Variant labels(
          VariantArray::Vector({Variant(VariantArray::Table(2, 0)), Variant(std::move(names)),
                                Variant(std::move(rows))}));
      const CallResult print =
          session.Call("PrintLabels", Variant(VariantArray::Vector({Variant(2), labels})));
      ASSERT_TRUE(print.ok) << print.message;
    }
    const auto capture = platform::ReadWholeFile(device + "/capture.prn");
    ASSERT_TRUE(capture.has_value());
    std::filesystem::path expected_path = entry.path();
    expected_path.replace_extension(".prn");
    if (const char* write = std::getenv("PIRELL_WRITE_JOB_CAPTURES"); write && *write == '1') {
      std::filesystem::remove(expected_path);
      platform::AppendToFile(expected_path.string(), *capture);
    }
    const auto expected = platform::ReadWholeFile(expected_path.string());
    ASSERT_TRUE(expected.has_value()) << expected_path;
    EXPECT_TRUE(*capture == *expected) << "the job's bytes differ from " << expected_path;
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

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

// ---- pictures of print jobs: "pirell preview" and "pirell render" ----

namespace pirell::cli {
namespace {

using testing::HaveZbarimg;

// "TYPE:DATA" of each barcode zbarimg reads in a picture.
std::string BarcodesIn(const std::string& png) {
  return testing::ZbarimgRead(png);
}

std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = at; i < at + 4 && i < bytes.size(); ++i)
    value = value << 8 | static_cast<unsigned char>(bytes[i]);
  return value;
}

// What the header of a PNG file says: size, bit depth and colour type, dots per metre.
struct PngHeader {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int bit_depth = 0;
  int colour_type = -1;
  std::uint32_t dots_per_metre = 0;
};

PngHeader ReadPngHeader(const std::string& path) {
  PngHeader header;
  const auto bytes = platform::ReadWholeFile(path);
  if (!bytes || bytes->size() < 33 || bytes->compare(0, 8, "\x89PNG\r\n\x1A\n") != 0) return header;
  header.width = BigEndian(*bytes, 16);
  header.height = BigEndian(*bytes, 20);
  header.bit_depth = static_cast<unsigned char>((*bytes)[24]);
  header.colour_type = static_cast<unsigned char>((*bytes)[25]);
  const std::size_t phys = bytes->find("pHYs");
  if (phys != std::string::npos) header.dots_per_metre = BigEndian(*bytes, phys + 4);
  return header;
}

struct LastPicture : preview::RenderSink {
  void OnLabel(const MonoBitmap& label, std::uint64_t) override { picture = label; }
  void OnWarning(std::uint64_t, const std::string& text) override { warnings += text + "\n"; }
  MonoBitmap picture;
  std::string warnings;
};

TEST(PreviewTest, EverySymbologyTheDriverSendsReadsBackAtEveryTurn) {
  if (!HaveZbarimg()) GTEST_SKIP() << "zbarimg (Debian zbar-tools) is not installed";
  struct Case {
    const char* code;
    const char* data;
    const char* read;
  };
  const Case kCases[] = {
      {"UA0", "01234567890", "UPC-A:012345678905"},
      {"UE0", "0123456", "UPC-E:01234565"},
      {"E80", "1234567", "EAN-8:12345670"},
      // With its check digit EAN-8 stays EAN-8, as the printer prints it.
      {"E80", "96385074", "EAN-8:96385074"},
      {"E30", "460123456789", "EAN-13:4601234567893"},
      {"2", "123456", "I2/5:123456"},
      {"K", "A12345B", "Codabar:A12345B"},
      {"3", "ABC123", "CODE-39:ABC123"},
      {"9", "ABC123", "CODE-93:ABC123"},
      {"1", "4601234567893", "CODE-128:4601234567893"},
  };
  // Reference points that keep each turn of the symbol on the label.
  const int kX[] = {40, 300, 440, 40};
  const int kY[] = {40, 20, 300, 300};
  testing::TempDir folder;
  int turn = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.code);
    const std::string job = "q464\nQ320,16\nN\nB" + std::to_string(kX[turn]) + "," +
                            std::to_string(kY[turn]) + "," + std::to_string(turn) + "," + c.code +
                            ",2,5,80,B,\"" + c.data + "\"\nP1\n";
    LastPicture sink;
    preview::Epl2Renderer renderer(sink);
    renderer.Feed(job);
    EXPECT_EQ(renderer.Finish().warnings, 0u) << sink.warnings;
    const std::string png = folder.File(std::string("symbol-") + c.code + ".png");
    WritePngFile(png, sink.picture, 203);
    EXPECT_EQ(BarcodesIn(png), std::string(c.read) + "\n");
    turn = (turn + 1) % 4;
  }
}

class PreviewCommandTest : public ::testing::Test {
 protected:
  PreviewCommandTest() : device_(folder_.File("device")) {
    Run(RunUpload, {"1", std::string(PIRELL_SOURCE_DIR) + "/examples/price-tag.xml"});
  }

  int Run(int (*command)(const CommandLine&), std::vector<std::string> args) {
    return command(CommandLine{device_, false, std::move(args)});
  }

  const std::string csv_ = std::string(PIRELL_SOURCE_DIR) + "/examples/labels.csv";
  testing::TempDir folder_;
  std::string device_;
};

// Every label picture of a print job: a template with one field bound to "Code", printed with
// the driver into the capture file, the capture drawn by the preview.
struct AllPictures : preview::RenderSink {
  void OnLabel(const MonoBitmap& label, std::uint64_t) override { pictures.push_back(label); }
  void OnWarning(std::uint64_t, const std::string& text) override { warnings += text + "\n"; }
  std::vector<MonoBitmap> pictures;
  std::string warnings;
};

AllPictures PrintAndPreview(const std::string& field_xml, const std::vector<std::string>& codes) {
  testing::TempDir folder;
  const std::string device = folder.File("device");
  {
    HostSession session(device, false);
    const std::string xml = "<Label>" + field_xml + "</Label>";
    EXPECT_TRUE(session.Call("UploadTemplate", UploadData(1, xml)).ok);
    EXPECT_TRUE(session.Call("Enable", Variant()).ok);
    VariantArray rows = VariantArray::Table(1, static_cast<std::int32_t>(codes.size()));
    for (std::size_t i = 0; i < codes.size(); ++i)
      rows.At({0, static_cast<std::int32_t>(i)}) = Variant(codes[i]);
    const Variant labels(VariantArray::Vector({Variant(VariantArray::Table(2, 0)),
                                               Variant(VariantArray::Vector({Variant("Code")})),
                                               Variant(std::move(rows))}));
    const CallResult print =
        session.Call("PrintLabels", Variant(VariantArray::Vector({Variant(1), labels})));
    EXPECT_TRUE(print.ok) << print.message;
  }
  AllPictures sink;
  preview::Epl2Renderer renderer(sink);
  renderer.Feed(platform::ReadWholeFile(device + "/capture.prn").value_or(""));
  renderer.Finish();
  return sink;
}

std::string SymbolField(const std::string& type, const std::string& extra = "") {
  return "<Item ClassName=\"2DShk\"><Property Name=\"DS\" Value=\"Code\"/>"
         "<Property Name=\"BarCodeType\" Value=\"" +
         type +
         "\"/><Property Name=\"Left\" Value=\"8\"/><Property Name=\"Top\" Value=\"5\"/>"
         "<Property Name=\"Width\" Value=\"40\"/><Property Name=\"Height\" Value=\"30\"/>" +
         extra + "</Item>";
}

const std::string kGs(1, '\x1D');
const std::string kMarkingCode =
    "0104601234567893215abc!%\"\\" + kGs + "91EE06" + kGs + "92dGVzdCBtYXJraW5nIGNvZGU+/=";

TEST(PreviewTest, TwoDimensionalSymbolsOfAPrintJobReadBack) {
  struct Case {
    std::string field;
    std::string value;
    const char* format;
    std::string bytes;  // as a scanner transmits them
    bool gs1;
  };
  const std::string cyrillic = "Молоко 3,2% — 930 мл, https://пример.рф/товар?id=42";
  const Case kCases[] = {
      {SymbolField("DataMatrix"), "Pirell 2D test 0123456789", "DataMatrix",
       "Pirell 2D test 0123456789", false},
      // A marking code: FNC1 first, GS between the elements, every character of the tail kept.
      {SymbolField("GS1_DATAMATRIX"), kMarkingCode, "DataMatrix", kMarkingCode, true},
      {SymbolField("GS1DataMatrix"), "(01)04601234567893(21)ABC(17)261231", "DataMatrix",
       "010460123456789321ABC" + kGs + "17261231", true},
      {SymbolField("QR", "<Property Name=\"ErrorCorrection\" Value=\"Q\"/>"), cyrillic, "QRCode",
       cyrillic, false},
      {SymbolField("PDF417"), "PDF417: 4601234567893 x 12", "PDF417", "PDF417: 4601234567893 x 12",
       false},
      {SymbolField("Aztec", "<Property Name=\"ErrorCorrection\" Value=\"36\"/>"),
       "Aztec: Хлеб 54,50", "Aztec", "Aztec: Хлеб 54,50", false},
      {SymbolField("QR", "<Property Name=\"RotationFixed\" Value=\"r90\"/>"), "turned r90",
       "QRCode", "turned r90", false},
      {SymbolField("DataMatrix", "<Property Name=\"RotationFixed\" Value=\"r270\"/>"),
       "turned r270", "DataMatrix", "turned r270", false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.value);
    const AllPictures printed = PrintAndPreview(c.field, {c.value});
    EXPECT_EQ(printed.warnings, "");
    ASSERT_EQ(printed.pictures.size(), 1u);
    const std::vector<testing::DecodedSymbol> symbols = testing::DecodeSymbols(printed.pictures[0]);
    ASSERT_EQ(symbols.size(), 1u);
    EXPECT_EQ(symbols[0].format, c.format);
    EXPECT_EQ(symbols[0].bytes, c.bytes);
    EXPECT_EQ(symbols[0].gs1, c.gs1);
    if (c.gs1) {
      EXPECT_EQ(symbols[0].identifier, "]d2");
    }
    // What a phone shows: the same text, Cyrillic included.
    if (!c.gs1) {
      EXPECT_EQ(symbols[0].text, c.value);
    }
  }
}

TEST(PreviewTest, TwentyLabelsCarryTheirOwnMarkingCodesAndGs1Barcodes) {
  std::vector<std::string> codes;
  for (int i = 0; i < 20; ++i)
    codes.push_back(
        "0104601234567893"
        "21" +
        std::to_string(1000 + i) + "x\"%" + kGs + "93" +
        std::string(1, static_cast<char>('A' + i)) + "b/c");
  const std::string fields =
      SymbolField("GS1_DATAMATRIX") +
      "<Item ClassName=\"Shk\"><Property Name=\"DS\" Value=\"Code\"/>"
      "<Property Name=\"BarCodeType\" Value=\"GS1_128\"/><Property Name=\"Left\" Value=\"2\"/>"
      "<Property Name=\"Top\" Value=\"36\"/><Property Name=\"Height\" Value=\"10\"/>"
      "<Property Name=\"BarWidth\" Value=\"5\"/></Item>";
  const AllPictures printed = PrintAndPreview(fields, codes);
  ASSERT_EQ(printed.pictures.size(), 20u);
  for (std::size_t i = 0; i < codes.size(); ++i) {
    SCOPED_TRACE(i);
    std::vector<std::string> read;
    for (const testing::DecodedSymbol& symbol : testing::DecodeSymbols(printed.pictures[i])) {
      EXPECT_TRUE(symbol.gs1) << symbol.format;
      read.push_back(symbol.format + ":" + symbol.bytes);
    }
    std::sort(read.begin(), read.end());
    EXPECT_EQ(read, (std::vector<std::string>{"Code128:" + codes[i], "DataMatrix:" + codes[i]}));
  }
}

TEST_F(PreviewCommandTest, ExampleLabelsBecomeOnePictureEachWhoseBarcodeIsTheCsvValue) {
  const std::string out = folder_.File("pictures");
  ASSERT_EQ(Run(RunPreview, {"1", csv_, "--out", out, "--sheet"}), 0);
  const char* const kBarcodes[] = {"4601234567893", "4600987654321", "5012345678900"};
  for (int i = 0; i < 3; ++i) {
    const std::string png = out + "/" + PictureFolder::LabelFileName(i + 1);
    const PngHeader header = ReadPngHeader(png);
    EXPECT_EQ(header.width, 464u) << png;
    EXPECT_EQ(header.height, 320u);
    EXPECT_EQ(header.bit_depth, 1);
    EXPECT_EQ(header.colour_type, 0);         // greyscale
    EXPECT_EQ(header.dots_per_metre, 7992u);  // 203 dpi
    if (HaveZbarimg()) {
      EXPECT_EQ(BarcodesIn(png), std::string("CODE-128:") + kBarcodes[i] + "\n");
    }
  }
  EXPECT_FALSE(platform::FileExists(out + "/label-0004.png"));
  EXPECT_EQ(ReadPngHeader(out + "/sheet.png").height, 320u + 2 + 32);
  // The preview printed into a file of its own: the capture file stands in for the printer.
  EXPECT_FALSE(platform::FileExists(device_ + "/capture.prn"));
}

TEST_F(PreviewCommandTest, EveryModelPrintsTheExampleWhosePreviewReadsBackAtTheModelsResolution) {
  const char* const kBarcodes[] = {"4601234567893", "4600987654321", "5012345678900"};
  for (std::size_t model = 0; model < PrinterModels().size(); ++model) {
    const TPrinterModelProps& props = PrinterModels()[model].ModelProps;
    SCOPED_TRACE(PrinterModels()[model].Name);
    ASSERT_EQ(Run(RunSettings, {"PrinterModel=" + std::to_string(model)}), 0);
    std::filesystem::remove(device_ + "/capture.prn");
    ASSERT_EQ(Run(RunPrint, {"1", csv_}), 0);
    EXPECT_TRUE(platform::FileExists(device_ + "/capture.prn"));
    const std::string out = folder_.File("model-" + std::to_string(model));
    ASSERT_EQ(Run(RunPreview, {"1", csv_, "--out", out}), 0);
    for (int i = 0; i < 3; ++i) {
      const std::string png = out + "/" + PictureFolder::LabelFileName(i + 1);
      const PngHeader header = ReadPngHeader(png);
      // 58 x 40 mm at the model's resolution.
      EXPECT_EQ(header.width, static_cast<std::uint32_t>(std::lround(58 * props.DPI / 25.4)));
      EXPECT_EQ(header.height, static_cast<std::uint32_t>(std::lround(40 * props.DPI / 25.4)));
      EXPECT_EQ(header.dots_per_metre, static_cast<std::uint32_t>(std::lround(props.DPI / 0.0254)));
      if (HaveZbarimg()) {
        EXPECT_EQ(BarcodesIn(png), std::string("CODE-128:") + kBarcodes[i] + "\n");
      }
    }
    // The capture, rendered, tells its language and takes the model's resolution.
    const std::string rendered = folder_.File("rendered-" + std::to_string(model));
    ASSERT_EQ(Run(RunRender, {device_ + "/capture.prn", "--out", rendered}), 0);
    EXPECT_EQ(ReadPngHeader(rendered + "/label-0001.png").width,
              ReadPngHeader(out + "/label-0001.png").width);
  }
}

TEST_F(PreviewCommandTest, APreviewAndTheRenderOfThePrintedCaptureAreTheSamePictures) {
  ASSERT_EQ(Run(RunPrint, {"1", csv_}), 0);
  const std::string capture = device_ + "/capture.prn";
  ASSERT_EQ(Run(RunRender, {capture, "--out", folder_.File("rendered")}), 0);
  ASSERT_EQ(Run(RunPreview, {"1", csv_, "--out", folder_.File("previewed")}), 0);
  for (int i = 1; i <= 3; ++i) {
    const std::string name = "/" + PictureFolder::LabelFileName(i);
    const auto rendered = platform::ReadWholeFile(folder_.File("rendered") + name);
    const auto previewed = platform::ReadWholeFile(folder_.File("previewed") + name);
    ASSERT_TRUE(rendered && previewed) << name;
    EXPECT_EQ(*rendered, *previewed) << name;
  }
  // A second render of the same folder leaves no picture of the first behind.
  platform::AppendToFile(folder_.File("rendered") + "/label-0009.png", "old");
  const std::string one_label = folder_.File("one.prn");
  platform::AppendToFile(one_label, "q8\nQ8,0\nN\nP1\n");
  ASSERT_EQ(Run(RunRender, {one_label, "--out", folder_.File("rendered")}), 0);
  EXPECT_FALSE(platform::FileExists(folder_.File("rendered") + "/label-0009.png"));
  EXPECT_FALSE(platform::FileExists(folder_.File("rendered") + "/label-0002.png"));
  EXPECT_EQ(ReadPngHeader(folder_.File("rendered") + "/label-0001.png").width, 8u);

  EXPECT_THROW(Run(RunRender, {capture}), UsageError);
  EXPECT_THROW(Run(RunRender, {folder_.File("missing.prn"), "--out", folder_.path()}),
               std::runtime_error);
}

}  // namespace
}  // namespace pirell::cli
