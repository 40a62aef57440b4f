#include "driver_session.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "driver_object/base_object.h"
#include "driver_object/late_bound.h"
#include "rendering/base64.h"
#include "rendering/bmp_codec.h"

namespace pirell::fuzz {

std::string SessionTemplate() {
  Picture logo(6, 4);
  for (int x = 0; x < 6; ++x) logo.Set(x, x % 4, 0xFF000000u);
  const std::string logo_text = Base64Encode(EncodeBmp(logo), 76);
  return "<Label Width=\"58\" Height=\"40\">"
         "<Item ClassName=\"TextSimple\"><Property Name=\"DS\" Value=\"Name\"/>"
         "<Property Name=\"Left\" Value=\"2\"/><Property Name=\"Top\" Value=\"2\"/>"
         "<Property Name=\"Width\" Value=\"40\"/><Property Name=\"Height\" Value=\"5\"/>"
         "<Property Name=\"MaxSymbols\" Value=\"20\"/><Property Name=\"FontSize\" Value=\"2\"/>"
         "</Item>"
         "<Item ClassName=\"TextGraphic\"><Property Name=\"DS\" Value=\"Price\"/>"
         "<Property Name=\"Left\" Value=\"2\"/><Property Name=\"Top\" Value=\"10\"/>"
         "<Property Name=\"Width\" Value=\"20\"/><Property Name=\"Height\" Value=\"6\"/>"
         "<Property Name=\"Font.Size\" Value=\"10\"/>"
         "<Property Name=\"RotationFixed\" Value=\"r90\"/></Item>"
         "<Item ClassName=\"Shk\"><Property Name=\"DS\" Value=\"Code\"/>"
         "<Property Name=\"BarCodeType\" Value=\"Code128\"/>"
         "<Property Name=\"Left\" Value=\"2\"/><Property Name=\"Top\" Value=\"20\"/>"
         "<Property Name=\"Width\" Value=\"40\"/><Property Name=\"Height\" Value=\"10\"/></Item>"
         "<Item ClassName=\"2DShk\"><Property Name=\"DS\" Value=\"Code\"/>"
         "<Property Name=\"BarCodeType\" Value=\"GS1_DataMatrix\"/>"
         "<Property Name=\"Left\" Value=\"44\"/><Property Name=\"Top\" Value=\"20\"/>"
         "<Property Name=\"Width\" Value=\"12\"/><Property Name=\"Height\" Value=\"12\"/></Item>"
         "<Item ClassName=\"2DShk\"><Property Name=\"DS\" Value=\"Name\"/>"
         "<Property Name=\"BarCodeType\" Value=\"QR\"/><Property Name=\"RotationFixed\" "
         "Value=\"r90\"/>"
         "<Property Name=\"Left\" Value=\"24\"/><Property Name=\"Top\" Value=\"8\"/>"
         "<Property Name=\"Width\" Value=\"12\"/><Property Name=\"Height\" Value=\"12\"/></Item>"
         "<Item ClassName=\"Shk\"><Property Name=\"DS\" Value=\"Code\"/>"
         "<Property Name=\"BarCodeType\" Value=\"GS1_128\"/><Property Name=\"TextVisible\" "
         "Value=\"1\"/>"
         "<Property Name=\"Left\" Value=\"2\"/><Property Name=\"Top\" Value=\"31\"/>"
         "<Property Name=\"Height\" Value=\"4\"/></Item>"
         "<Item ClassName=\"Line\"><Property Name=\"LineLeft\" Value=\"1\"/>"
         "<Property Name=\"LineTop\" Value=\"35\"/><Property Name=\"LineLength\" Value=\"50\"/>"
         "<Property Name=\"PenWidth\" Value=\"0.5\"/></Item>"
         "<Item ClassName=\"Rectangle\"><Property Name=\"Left\" Value=\"1\"/>"
         "<Property Name=\"Top\" Value=\"1\"/><Property Name=\"Width\" Value=\"56\"/>"
         "<Property Name=\"Height\" Value=\"38\"/><Property Name=\"PenWidth\" Value=\"0.3\"/>"
         "</Item>"
         "<Item ClassName=\"Image\"><Property Name=\"DS\" Value=\"Logo\"/>"
         "<Property Name=\"Value\" Value=\"logo.bmp\"/>"
         "<Property Name=\"Left\" Value=\"45\"/><Property Name=\"Top\" Value=\"10\"/>"
         "<Property Name=\"Width\" Value=\"10\"/><Property Name=\"Height\" Value=\"8\"/></Item>"
         "<ImageList Count=\"1\" xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">"
         "<Image Name=\"logo.bmp\" Path=\"\" dt:dt=\"bin.base64\">" +
         logo_text +
         "</Image></ImageList>"
         "</Label>";
}

void Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz target: %s\n", what.c_str());
  std::abort();
}

DriverSession::DriverSession()
    : host_(std::make_shared<testing::FakeEquipmentManager>()),
      driver_(CreateObject<TDriver>(device_io_)) {
  host_->properties["DevicesFolder"] = folder_.path();
  // The device's own folder, so that its template file and debug log stay inside the session's
  // folder instead of going beside the program (shared with every other session).
  std::filesystem::create_directories(folder_.File("LP1"));
}

DriverSession::~DriverSession() = default;

void DriverSession::Open() {
  for (const char* method : {"Init", "Open"}) {
    Variant first =
        std::string_view(method) == "Init" ? Variant::Dispatch(host_) : Variant::OleStr("LP1");
    Variant second;
    std::vector<Variant> args{Variant::Ref(&first), Variant::Ref(&second)};
    if (!CallByName(*driver_, method, args).ToBool()) Fail(std::string(method) + " failed");
  }
}

HostAnswer DriverSession::Call(std::string_view method, Variant in_data) {
  DispId id = -1;
  if (!Succeeded(driver_->GetIDsOfNames(method, id))) Fail("no method " + std::string(method));
  Variant out_data;
  Variant time_out = Variant::Integer(0);
  std::vector<Variant> args{Variant::Ref(&in_data), Variant::Ref(&out_data),
                            Variant::Ref(&time_out)};
  VariantArguments block(args);
  Variant result;
  ExceptionInfo exception;
  const HResult status = driver_->Invoke(id, kDispatchMethod, block, &result, &exception);
  if (!Succeeded(status)) Fail(std::string(method) + " did not answer: " + exception.description);
  HostAnswer answer;
  answer.ok = result.ToBool();
  if (!answer.ok) {
    // A failed public method answers false with (code, message) in OutData.
    if (!out_data.IsArray() || out_data.Array().Size() != 2)
      Fail(std::string(method) + " failed without a code");
    answer.code = out_data.Array().Items()[0].ToInt();
    answer.message = out_data.Array().Items()[1].ToString();
    if (answer.code == 0 || answer.message.empty())
      Fail(std::string(method) + " failed with code 0 or no message");
  }
  return answer;
}

}  // namespace pirell::fuzz
