// The size limits on what hosts, templates and pictures hand the driver: each bound accepts its
// own value and refuses the next one with a clear result or error, before memory is spent.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>

#include "driver_object/errors.h"
#include "driver_object/host_values.h"
#include "label_printer/driver.h"
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

TEST(JobLimits, CommandListTakesTheLimitAndRefusesOneByteMore) {
  TCmdList list;
  list.Add(std::string(kMaxJobBytes - 1, 'x'));
  list.Add("y");
  EXPECT_EQ(list.Bytes(), kMaxJobBytes);
  EXPECT_THROW(list.Add("z"), LimitError);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Bytes(), kMaxJobBytes);
  list.Clear();
  EXPECT_EQ(list.Bytes(), 0u);
  list.Add("after clearing");
  EXPECT_EQ(list.Count(), 1);
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
  EXPECT_EQ(VariantArray::Table(1024, 1024).Size(), kMaxArrayElements);
  EXPECT_THROW(VariantArray::Table(1024, 1025), ArrayError);
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
  static_assert(kMaxLabelsPerJob == 100000);
  PublicCall print = PrintCopies(2, 50000, 50000);
  EXPECT_TRUE(print.result.ToBool()) << print.Message();
  EXPECT_NE(device_io.received.find("P50000"), std::string::npos);

  device_io.events.clear();
  print = PrintCopies(2, 50000, 50001);
  EXPECT_EQ(print.Code(), 1004);
  EXPECT_EQ(print.Message(),
            "Ошибка входных параметров команды\r\n"
            "В задании печати больше 100000 этикеток с учётом копий");
  EXPECT_TRUE(device_io.events.empty());
}

TEST_F(DriverLimitsTest, MoreLabelRowsThanTheLimitAreRefusedBeforeAnyIsGenerated) {
  UploadAndEnable(kLineTemplate);
  // No columns: the rows cost no memory, only their count is over the limit.
  PublicCall print = Print(Variant(VariantArray::Vector(0)),
                           VariantArray::Table(0, static_cast<std::int32_t>(kMaxLabelsPerJob) + 1));
  EXPECT_EQ(print.Code(), 1004);
  EXPECT_NE(print.Message().find("100000"), std::string::npos) << print.Message();
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
