// The size limits on what hosts, templates and pictures hand the driver: each bound accepts its
// own value and refuses the next one with a clear result or error, before memory is spent.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "common/errors.h"
#include "driver_object/host_values.h"
#include "label_printer/driver.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/time_source.h"
#include "rendering/bmp_codec.h"
#include "rendering/cmd_list.h"
#include "rendering/graphic_primitives.h"
#include "rendering/label_document.h"
#include "support/bmp_builder.h"
#include "support/fake_device_io.h"
#include "support/fake_equipment_manager.h"
#include "support/fake_time_source.h"
#include "support/host_calls.h"
#include "support/label_template_xml.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

using testing::CallPrivate;
using testing::CallPublic;
using testing::PublicCall;

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// A one-bit picture file of the given size, all rows white.
std::string MonoBmp(std::int32_t width, std::int32_t height) {
  testing::BmpLayout layout;
  layout.width = width;
  layout.height = height;
  layout.bits = 1;
  layout.palette = {0x000000, 0xFFFFFF};
  layout.rows.assign(static_cast<std::size_t>(height),
                     std::string(static_cast<std::size_t>((width + 7) / 8), '\xFF'));
  return BuildBmp(layout);
}

std::string DecodeFailure(const std::string& bytes) {
  try {
    DecodeBmp(bytes);
    return "";
  } catch (const Error& e) {
    return e.what();
  }
}

TEST(PictureLimits, SidesAndPixelCountAcceptTheBoundAndRefuseBeyondIt) {
  EXPECT_EQ(DecodeBmp(MonoBmp(kMaxBmpSide, 1)).Width(), kMaxBmpSide);
  EXPECT_NE(DecodeFailure(MonoBmp(kMaxBmpSide + 1, 1)), "");
  EXPECT_EQ(DecodeBmp(MonoBmp(1, kMaxBmpSide)).Height(), kMaxBmpSide);
  EXPECT_NE(DecodeFailure(MonoBmp(1, kMaxBmpSide + 1)), "");
  // 4096 x 4096 is exactly the most pixels a picture may have.
  static_assert(std::int64_t{4096} * 4096 == kMaxBmpPixels);
  EXPECT_EQ(DecodeBmp(MonoBmp(4096, 4096)).Pixels().size(), 4096u * 4096u);
  EXPECT_NE(DecodeFailure(MonoBmp(4096, 4097)), "");
}

TEST(FieldBoxLimits, ASideOfAMetreIsDrawnALongerOneIsRefused) {
  TBaseImage image;
  image.SetWidth(kMaxFieldBoxMillimetres);
  image.SetHeight(1);
  EXPECT_EQ(image.GetBitMap().Width(), kMaxFieldBoxMillimetres * 8);
  image.SetWidth(kMaxFieldBoxMillimetres + 0.01);
  EXPECT_THROW(image.GetBitMap(), LimitError);
  image.SetWidth(1);
  image.SetHeight(kMaxFieldBoxMillimetres);
  image.SetRotation(r90);
  EXPECT_EQ(image.GetBitMap().Width(), kMaxFieldBoxMillimetres * 8);
  image.SetHeight(1e300);
  try {
    image.GetBitMap();
    ADD_FAILURE() << "a box of 1e300 mm was drawn";
  } catch (const LimitError& e) {
    EXPECT_NE(std::string(e.what()).find("1000 мм"), std::string::npos) << e.what();
  }
  // Broken sizes that draw nothing are no excess.
  image.SetRotation(r0);
  image.SetHeight(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(image.GetBitMap().Height(), 0);
}

TEST(JobLimits, CommandListCountsEachCommandAndRefusesBeyondTheLimit) {
  TCmdList list;
  list.Add(std::string(kMaxCommandListBytes - 2 * kCommandOverhead - 1, 'x'));
  list.Add("y");
  EXPECT_EQ(list.Bytes(), kMaxCommandListBytes);
  // A command costs memory even without data.
  EXPECT_THROW(list.Add(""), LimitError);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Bytes(), kMaxCommandListBytes);
  list.Clear();
  EXPECT_EQ(list.Bytes(), 0u);
  list.Add("after clearing");
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Bytes(), kCommandOverhead + 14);
}

TEST(TemplateLimits, FieldsUpToTheLimitLoadOneMoreIsRefused) {
  std::string items;
  for (std::size_t i = 0; i < kMaxTemplateFields; ++i) items += "<Item ClassName=\"Line\"/>";
  TLabelObj label;
  label.LoadFromString("<Label>" + items + "</Label>");
  EXPECT_EQ(static_cast<std::size_t>(label.Fields().Count()), kMaxTemplateFields);
  try {
    label.LoadFromString("<Label>" + items + "<Item/></Label>");
    ADD_FAILURE() << "a template of too many fields loaded";
  } catch (const LimitError& e) {
    EXPECT_STREQ(e.what(), "Шаблон этикетки содержит больше 10000 полей");
  }
  EXPECT_EQ(label.Fields().Count(), 0);
}

TEST(TemplateLimits, LabelDocumentRefusesATextOverTheLimitBeforeParsing) {
  TLabelObj label;
  label.LoadFromString(testing::LabelTemplateXml().Item("Line", {}).Text());
  ASSERT_EQ(label.Fields().Count(), 1);
  EXPECT_THROW(label.LoadFromString(std::string(kMaxTemplateBytes + 1, ' ')), LimitError);
  EXPECT_EQ(label.Fields().Count(), 0);
}

TEST(ArrayLimits, BoundsMustLeaveRoomOnBothEnds) {
  EXPECT_EQ(VariantArray({ArrayBound{kInt32Max - 1, 1}}).Upper(0), kInt32Max - 1);
  EXPECT_THROW(VariantArray({ArrayBound{kInt32Max, 1}}), ArrayError);
  EXPECT_THROW(VariantArray({ArrayBound{kInt32Max - 1, 2}}), ArrayError);
  EXPECT_EQ(VariantArray({ArrayBound{kInt32Min + 1, 0}}).Upper(0), kInt32Min);
  EXPECT_THROW(VariantArray({ArrayBound{kInt32Min, 0}}), ArrayError);
  EXPECT_THROW(VariantArray({ArrayBound{kInt32Min, 3}}), ArrayError);
}

TEST(ArrayLimits, ElementCountAcceptsTheLimitAndRefusesMoreWithoutWrapping) {
  // A labels table of a million rows of 16 columns is the most; 256 MiB is not made here.
  EXPECT_EQ(VariantArray::ElementCount({ArrayBound{0, 16}, ArrayBound{1, 1 << 20}}),
            kMaxArrayElements);
  EXPECT_THROW(VariantArray::ElementCount({ArrayBound{0, 16}, ArrayBound{0, (1 << 20) + 1}}),
               ArrayError);
  EXPECT_THROW(VariantArray::Table(4096, 4097), ArrayError);
  // 65536 x 65536 wraps to 0 in 32-bit arithmetic: it must be refused, not made empty.
  EXPECT_THROW(VariantArray::Table(65536, 65536), ArrayError);
  EXPECT_THROW(VariantArray({ArrayBound{0, kInt32Max - 1}, ArrayBound{0, 2}, ArrayBound{0, 0}}),
               ArrayError);
}

// An array holding an array holding ... `levels` arrays in all.
Variant Nested(int levels) {
  Variant value("innermost");
  for (int i = 0; i < levels; ++i) value = Variant(VariantArray::Vector({std::move(value)}));
  return value;
}

TEST(ArrayLimits, NestingIsMeasuredInArrays) {
  EXPECT_FALSE(NestsDeeperThan(Variant(1), 0));
  EXPECT_TRUE(NestsDeeperThan(Nested(1), 0));
  EXPECT_FALSE(NestsDeeperThan(Nested(3), 3));
  EXPECT_TRUE(NestsDeeperThan(Nested(4), 3));
  // The deepest branch counts, wherever it is.
  Variant mixed(VariantArray::Vector({Variant(1), Nested(2), Variant("x")}));
  EXPECT_FALSE(NestsDeeperThan(mixed, 3));
  EXPECT_TRUE(NestsDeeperThan(mixed, 2));
}

class DriverLimitsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host->properties["DevicesFolder"] = folder.path();
    // The device's own folder keeps its template file apart from other tests'.
    std::filesystem::create_directories(folder.File("LP1"));
    driver = CreateObject<TDriver>(device_io);
    testing::InitAndOpen(*driver, host, "LP1");
    driver->SetSettingValue("PortName", Variant("USB001"));
  }

  PublicCall Upload(std::int32_t number, const std::string& text) {
    return CallPublic(
        *driver, "UploadTemplate",
        Variant(VariantArray::Vector({Variant(number), Variant("t"), Variant(text)})));
  }
  void UploadAndEnable(const std::string& text) {
    ASSERT_TRUE(Upload(1, text).result.ToBool());
    ASSERT_TRUE(CallPublic(*driver, "Enable").result.ToBool());
    device_io.events.clear();
    device_io.received.clear();
  }
  // `labels` labels of no columns but "CopiesNumber", each with `copies` copies, and a last
  // one with `last_copies`.
  PublicCall PrintCopies(std::int32_t labels, std::int32_t copies, std::int32_t last_copies) {
    VariantArray rows = VariantArray::Table(1, labels);
    for (std::int32_t i = 0; i < labels; ++i)
      rows.At({0, i}) = Variant(i + 1 == labels ? last_copies : copies);
    return Print(Variant(VariantArray::Vector({Variant("CopiesNumber")})), std::move(rows));
  }
  PublicCall Print(Variant names, VariantArray rows) {
    Variant data(VariantArray::Vector(
        {Variant(VariantArray::Table(2, 0)), std::move(names), Variant(std::move(rows))}));
    return CallPublic(*driver, "PrintLabels",
                      Variant(VariantArray::Vector({Variant(1), std::move(data)})));
  }

  testing::TempDir folder;
  testing::FakeTimeSource clock;
  platform::ScopedTimeSource clock_scope{clock};
  testing::FakeDeviceIo device_io;
  std::shared_ptr<testing::FakeEquipmentManager> host =
      std::make_shared<testing::FakeEquipmentManager>();
  std::shared_ptr<TDriver> driver;
};

const std::string kLineTemplate =
    testing::LabelTemplateXml()
        .Item("Line", {{"LineLeft", "1"}, {"LineTop", "2"}, {"LineLength", "10"}})
        .Text();

TEST_F(DriverLimitsTest, LabelsTimesCopiesUpToTheLimitPrintOneMoreIsRefused) {
  UploadAndEnable(kLineTemplate);
  static_assert(kMaxLabelsPerJob == 1000000);
  PublicCall print = PrintCopies(20, 50000, 50000);
  EXPECT_TRUE(print.result.ToBool()) << print.Message();
  EXPECT_NE(device_io.received.find("P50000"), std::string::npos);

  device_io.events.clear();
  print = PrintCopies(20, 50000, 50001);
  EXPECT_EQ(print.Code(), 1004);
  EXPECT_EQ(print.Message(),
            "Ошибка входных параметров команды\r\n"
            "В задании печати больше 1000000 этикеток с учётом копий");
  EXPECT_TRUE(device_io.events.empty());
}

TEST_F(DriverLimitsTest, MoreLabelRowsThanTheLimitAreRefusedBeforeAnyIsGenerated) {
  UploadAndEnable(kLineTemplate);
  // No columns: the rows cost no memory, only their count is over the limit.
  PublicCall print = Print(Variant(VariantArray::Vector(0)),
                           VariantArray::Table(0, static_cast<std::int32_t>(kMaxLabelsPerJob) + 1));
  EXPECT_EQ(print.Code(), 1004);
  EXPECT_NE(print.Message().find("1000000"), std::string::npos) << print.Message();
  EXPECT_TRUE(device_io.events.empty());
}

TEST_F(DriverLimitsTest, FieldBoxOverTheLimitFailsThePrintWithItsReason) {
  UploadAndEnable(testing::LabelTemplateXml()
                      .Item("TextGraphic", {{"Value", "x"}, {"Width", "1000"}, {"Height", "5"}})
                      .Item("Image", {{"Width", "5"}, {"Height", "1000.5"}})
                      .Text());
  PublicCall print = Print(Variant(VariantArray::Vector(0)), VariantArray::Table(0, 1));
  EXPECT_EQ(print.Code(), 1004);
  EXPECT_EQ(print.Message(),
            "Ошибка входных параметров команды\r\nПоле этикетки больше 1000 мм по стороне: "
            "5 x 1000.5 мм");
  EXPECT_TRUE(device_io.events.empty());
}

// A label with a picture named by the data ("Photo") in a 120 mm box (960 x 960 dots: 115,200
// bytes at 1 bit per dot).
const std::string kPhotoTemplate =
    testing::LabelTemplateXml()
        .Item("Image", {{"DS", "Photo"}, {"Width", "120"}, {"Height", "120"}})
        .Text();

TEST_F(DriverLimitsTest, PictureFilesOfARequestCountOnceEachAgainstItsBudget) {
  UploadAndEnable(kPhotoTemplate);
  driver->Device()->LabelObj().Images().Drawn().SetBudget(1024 * 1024);
  std::vector<std::string> files;
  for (int i = 0; i < 10; ++i) {
    files.push_back(folder.File("photo" + std::to_string(i) + ".bmp"));
    platform::ReplaceFileAtomically(files.back(), MonoBmp(8, 8));
  }
  auto print_photos = [this](const std::vector<std::string>& photos) {
    VariantArray rows = VariantArray::Table(1, static_cast<std::int32_t>(photos.size()));
    for (std::size_t i = 0; i < photos.size(); ++i)
      rows.At({0, static_cast<std::int32_t>(i)}) = Variant(photos[i]);
    device_io.received.clear();
    return Print(Variant(VariantArray::Vector({Variant("Photo")})), std::move(rows));
  };
  // Twelve spellings of one file are one picture.
  std::vector<std::string> spellings;
  const std::string here = std::string(1, platform::PathDelimiter()) + ".";
  for (int i = 0; i < 12; ++i) {
    std::string spelling = folder.path();
    for (int j = 0; j < i; ++j) spelling += here;
    spellings.push_back(spelling + std::string(1, platform::PathDelimiter()) + "photo0.bmp");
  }
  PublicCall print = print_photos(spellings);
  EXPECT_TRUE(print.result.ToBool()) << print.Message();

  // Ten files are ten pictures and only nine fit in 1 MB: the ones used longest ago make room,
  // so every label prints, and a picture needed again is drawn again.
  files.push_back(files.front());
  print = print_photos(files);
  EXPECT_TRUE(print.result.ToBool()) << print.Message();
  std::size_t labels = 0;
  for (std::size_t at = 0; (at = device_io.received.find("\nP1\n", at)) != std::string::npos; ++at)
    ++labels;
  EXPECT_EQ(labels, 11u);

  // A picture that does not fit on its own ends the job before its label.
  UploadAndEnable(testing::LabelTemplateXml()
                      .Item("Line", {{"LineLeft", "1"}, {"LineTop", "2"}, {"LineLength", "10"}})
                      .Item("Image", {{"DS", "Photo"}, {"Width", "400"}, {"Height", "400"}})
                      .Text());
  driver->Device()->LabelObj().Images().Drawn().SetBudget(1024 * 1024);
  print = print_photos({files[0]});
  EXPECT_EQ(print.Code(), 1004);
  EXPECT_EQ(print.Message(),
            "Ошибка входных параметров команды\r\nРисунки задания печати занимают больше 1 МБ\r\n"
            "Отправлено этикеток: 0 из 1");
  EXPECT_EQ(device_io.received.find("\nP1\n"), std::string::npos);
}

TEST_F(DriverLimitsTest, AFolderOrAHugeFileNamedAsAPicturePrintsEmptyAtOnceWithTheReasonLogged) {
  driver->SetSettingValue("DebugLogEnabled", Variant::Boolean(true));
  UploadAndEnable(kPhotoTemplate);
  const std::string huge = folder.File("huge.bmp");
  platform::ReplaceFileAtomically(huge, MonoBmp(8, 8));
  std::filesystem::resize_file(std::filesystem::u8path(huge), std::uintmax_t{2} << 30);
  const std::string folder_reference =
      folder.path() + std::string(1, platform::PathDelimiter()) + "LP1";
  VariantArray rows = VariantArray::Table(1, 2);
  rows.At({0, 0}) = Variant(huge);
  rows.At({0, 1}) = Variant(folder_reference);
  PublicCall print = Print(Variant(VariantArray::Vector({Variant("Photo")})), std::move(rows));
  ASSERT_TRUE(print.result.ToBool()) << print.Message();
  // Two labels of a white 960 x 960 picture.
  EXPECT_EQ(device_io.received.find("GW0,0,120,960\n" + std::string(115200, '\xFF')),
            device_io.received.find("\nN\n") + 3);

  const std::string log = platform::ReadWholeFile(driver->DebugLogFileName()).value_or("");
  EXPECT_NE(log.find(platform::Utf8ToSystemAnsi(huge + ": файл больше 64 МБ")), std::string::npos)
      << log;
  EXPECT_NE(log.find(platform::Utf8ToSystemAnsi(folder_reference + ": не обычный файл")),
            std::string::npos)
      << log;
}

TEST_F(DriverLimitsTest, TemplateOverTheLimitIsNotUploaded) {
  ASSERT_TRUE(Upload(1, kLineTemplate).result.ToBool());
  PublicCall upload = Upload(2, std::string(kMaxTemplateBytes + 1, ' '));
  EXPECT_EQ(upload.Code(), 1004);
  EXPECT_EQ(upload.Message(), "Ошибка входных параметров команды: шаблон больше 16 МБ");
  PublicCall list = CallPublic(*driver, "GetTemplateList");
  ASSERT_TRUE(list.result.ToBool());
  EXPECT_EQ(list.out_data.Array().At({0}).Array().Upper(1), 0);  // only template 1
}

TEST_F(DriverLimitsTest, ArgumentsNestedDeeperThanTheLimitAreRefused) {
  static_assert(kMaxArrayNesting == 16);
  // GetDeviceInfo reads nothing from InData: only the nesting decides.
  PublicCall call = CallPublic(*driver, "GetDeviceInfo", Nested(16));
  EXPECT_TRUE(call.result.ToBool()) << call.Message();
  call = CallPublic(*driver, "GetDeviceInfo", Nested(17));
  EXPECT_EQ(call.Code(), 1004);
  EXPECT_EQ(call.Message(), "Ошибка входных параметров команды: массивы вложены глубже 16 уровней");

  // A private method refuses the call with the same reason.
  const testing::PrivateCall open = CallPrivate(*driver, "Open", {Nested(17), Variant()});
  EXPECT_EQ(open.status, hr::DispException);
  EXPECT_EQ(open.exception.description, "массивы вложены глубже 16 уровней");
  EXPECT_TRUE(CallPrivate(*driver, "Open", {Nested(16), Variant()}).status == hr::Ok);
}

// `levels` arrays each holding the next, built and torn down level by level: copying or freeing
// them recursively would overflow the stack.
class DeepArrays {
 public:
  explicit DeepArrays(int levels) {
    for (int i = 0; i < levels; ++i) {
      VariantArray array = VariantArray::Vector(1);
      array.Items()[0] = std::move(value);
      value = Variant(std::move(array));
    }
  }
  ~DeepArrays() {
    while (value.IsArray()) {
      Variant inner = std::move(value.Array().Items()[0]);
      value = std::move(inner);
    }
  }
  DeepArrays(const DeepArrays&) = delete;
  DeepArrays& operator=(const DeepArrays&) = delete;

  Variant value;
};

TEST_F(DriverLimitsTest, FarTooDeepArgumentsAreRefusedBeforeAnythingWalksThem) {
  driver->SetSettingValue("DebugLogEnabled", Variant(true));
  ASSERT_TRUE(CallPublic(*driver, "Enable").result.ToBool());  // every call is traced
  DeepArrays deep(100000);
  Variant out_data;
  Variant time_out = Variant::Integer(0);
  std::vector<Variant> args{Variant::Ref(&deep.value), Variant::Ref(&out_data),
                            Variant::Ref(&time_out)};
  VariantArguments block(args);
  DispId id = -1;
  ASSERT_EQ(driver->GetIDsOfNames("GetDeviceInfo", id), hr::Ok);
  Variant result;
  ASSERT_EQ(driver->Invoke(id, kDispatchMethod, block, &result, nullptr), hr::Ok);
  EXPECT_FALSE(result.ToBool());
  EXPECT_EQ(out_data.Array().At({0}).ToInt(), 1004);
  EXPECT_EQ(out_data.Array().At({1}).ToString(),
            "Ошибка входных параметров команды: массивы вложены глубже 16 уровней");
  EXPECT_TRUE(NestsDeeperThan(deep.value, 100));  // the host's argument is left as it was

  ExceptionInfo exception;
  std::vector<Variant> open_args{Variant::Ref(&deep.value)};
  VariantArguments open_block(open_args);
  ASSERT_EQ(driver->GetIDsOfNames("Open", id), hr::Ok);
  EXPECT_EQ(driver->Invoke(id, kDispatchMethod, open_block, &result, &exception),
            hr::DispException);
  EXPECT_EQ(exception.description, "массивы вложены глубже 16 уровней");
}

}  // namespace
}  // namespace pirell
