#include "support/host_call_catalog.h"

#include <string_view>

namespace pirell::testing {
namespace {

constexpr char kPicture[] =
    "Qk1mAAAAAAAAADYAAAAoAAAABAAAAAQAAAABABgAAAAAADAAAAATCwAAEwsAAAAAAAAAAAAAAAAA////AAAA////"
    "AAAA////AAAA////AAAA////AAAA////AAAA////AAAA////";

std::string Property(const char* name, const char* value) {
  return std::string("<Property Name=\"") + name + "\" Value=\"" + value + "\"/>";
}

std::string TemplateText() {
  std::string xml = "<Label Width=\"58\" Height=\"40\">";
  xml += "<Item ClassName=\"TextSimple\">" + Property("DS", "Name") + Property("Left", "3") +
         Property("Top", "3") + Property("Width", "40") + Property("Height", "4") +
         Property("FontSize", "3") + Property("MaxSymbols", "24") + "</Item>";
  xml += "<Item ClassName=\"TextGraphic\">" + Property("DS", "Description") +
         Property("Left", "3") + Property("Top", "8") + Property("Width", "30") +
         Property("Height", "6") + Property("Font.Size", "8") + "</Item>";
  xml += "<Item ClassName=\"Image\">" + Property("Value", "logo") + Property("Left", "43") +
         Property("Top", "3") + Property("Width", "8") + Property("Height", "8") + "</Item>";
  xml += "<Item ClassName=\"Line\">" + Property("LineLeft", "3") + Property("LineTop", "18") +
         Property("LineLength", "52") + "</Item>";
  xml += "<Item ClassName=\"Rectangle\">" + Property("Left", "1") + Property("Top", "1") +
         Property("Width", "56") + Property("Height", "38") + "</Item>";
  xml += "<Item ClassName=\"Shk\">" + Property("DS", "Barcode") +
         Property("BarCodeType", "CODE128") + Property("TextVisible", "True") +
         Property("Left", "3") + Property("Top", "20") + Property("Height", "12") + "</Item>";
  xml +=
      "<ImageList Count=\"1\" xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">"
      "<Image Name=\"logo\" Path=\"\" dt:dt=\"bin.base64\">";
  xml += kPicture;
  xml += "</Image></ImageList></Label>";
  return xml;
}

Variant Vector(std::initializer_list<Variant> items) {
  return Variant(VariantArray::Vector(items));
}

Variant LabelsData(int labels) {
  VariantArray common = VariantArray::Table(2, 1);
  common.At({0, 0}) = Variant("Description");
  common.At({1, 0}) = Variant("Молоко 3,2%");
  VariantArray rows = VariantArray::Table(3, labels);
  for (int i = 0; i < labels; ++i) {
    rows.At({0, i}) = Variant("Товар " + std::to_string(i));
    rows.At({1, i}) = Variant(std::to_string(4600000000000LL + i));
    rows.At({2, i}) = Variant::Integer(1 + i % 2);
  }
  return Vector({Variant(std::move(common)),
                 Vector({Variant("Name"), Variant("Barcode"), Variant("copiesnumber")}),
                 Variant(std::move(rows))});
}

Variant SettingsData(std::initializer_list<std::pair<const char*, Variant>> values) {
  VariantArray table = VariantArray::Table(7, static_cast<std::int32_t>(values.size()));
  std::int32_t row = 0;
  for (const auto& [id, value] : values) {
    table.At({0, row}) = Variant(id);
    table.At({1, row}) = value;
    ++row;
  }
  return Vector({Variant(std::move(table))});
}

HostCallCase Private(std::string method, std::vector<Variant> params, HostCallExpect expect) {
  HostCallCase call;
  call.method = std::move(method);
  call.is_private = true;
  call.params = std::move(params);
  call.expect = expect;
  return call;
}

HostCallCase Public(std::string method, Variant in_data, HostCallExpect expect,
                    Variant time_out = Variant::Integer(0)) {
  HostCallCase call;
  call.method = std::move(method);
  call.in_data = std::move(in_data);
  call.time_out = std::move(time_out);
  call.expect = expect;
  return call;
}

constexpr std::string_view kOperations[] = {"GetAppProperty", "DataEvent", "ErrorEvent",
                                            "TaskState",      "WriteLog",  "MessageDlg",
                                            "InputDataDlg"};

class NullDevice : public platform::Device {
 public:
  explicit NullDevice(NullDeviceIo& io) : io_(io) { ++io_.open_devices; }
  ~NullDevice() override { --io_.open_devices; }
  NullDevice(const NullDevice&) = delete;
  NullDevice& operator=(const NullDevice&) = delete;
  platform::DeviceWriteResult Write(std::string_view bytes) override {
    io_.bytes += bytes.size();
    ++io_.writes;
    if (io_.after_write) io_.after_write();
    return {true, bytes.size(), 0, false};
  }
  std::optional<std::uint8_t> Status() override { return std::nullopt; }
  bool SetWriteTimeout(std::uint32_t) override { return true; }
  bool Flush() override { return true; }

 private:
  NullDeviceIo& io_;
};

}  // namespace

std::vector<HostCallCase> EveryHostCall(const std::shared_ptr<LateBoundObject>& host,
                                        const std::string& device_id) {
  using E = HostCallExpect;
  const Variant dispatch = Variant::Dispatch(host);
  const Variant upload = Vector({Variant(7), Variant("Ценник"), Variant(TemplateText())});
  return {
      // Device lifecycle, wrong arguments first.
      Private("Init", {}, E::kFailure),
      Private("Init", {Variant("not an object"), Variant()}, E::kFailure),
      Private("Init", {dispatch, Variant()}, E::kTrue),
      Private("Open", {}, E::kFailure),
      Private("Open", {Variant(5), Variant()}, E::kFailure),
      Private("Open", {Variant::OleStr(device_id), Variant()}, E::kTrue),
      // Settings.
      Public("GetSettings", Variant(), E::kTrue),
      Public("SetSettings", Variant(5), E::kFailure),
      Public("SetSettings", Vector({Variant("not a table")}), E::kFailure),
      Public("SetSettings",
             SettingsData({{"PortType", Variant("abc")}, {"NoSuchSetting", Variant(1)}}), E::kAny),
      Public("SetSettings",
             SettingsData({{"PortType", Variant(0)},
                           {"PortName", Variant("USB001")},
                           {"DebugLogEnabled", Variant::Boolean(false)},
                           {"EventLogEnabled", Variant::Boolean(false)}}),
             E::kTrue),
      // Templates.
      Public("UploadTemplate", Variant(), E::kFailure),
      Public("UploadTemplate", Vector({Variant(1)}), E::kFailure),
      Public("UploadTemplate", Vector({Variant("seven"), Variant("d"), Variant("<Label/>")}),
             E::kFailure),
      Public("UploadTemplate", upload, E::kTrue),
      Public("GetTemplateList", Variant(), E::kTrue),
      // Printing before and after the device is switched on.
      Public("PrintLabels", Vector({Variant(7), LabelsData(2)}), E::kFailure),
      Public("Enable", Variant(), E::kTrue),
      Public("PrintLabels", Vector({Variant(7), LabelsData(3)}), E::kTrue),
      Public("PrintLabels", Vector({Variant(999), LabelsData(1)}), E::kFailure),
      Public("PrintLabels", Vector({Variant(7), Vector({Variant(), Variant(), Variant()})}),
             E::kFailure),
      Public("PrintLabels", Variant("no array"), E::kFailure),
      Public("PrintLabels", Vector({Variant(7), LabelsData(1)}), E::kFailure, Variant("soon")),
      Public("InitializePrinter", Variant(), E::kTrue),
      Public("GetDeviceInfo", Variant(), E::kTrue),
      Public("CheckHealth", Variant(), E::kAny),
      Public("ShowSettingsDlg", Variant(), E::kAny),
      Public("NoSuchMethod", Variant(), E::kFailure),
      Public("Disable", Variant(), E::kTrue),
      Public("InitializePrinter", Variant(), E::kFailure),
      Private("Close", {}, E::kTrue),
      Public("GetDeviceInfo", Variant(), E::kTrue),
  };
}

HostCallOutcome RunHostCall(LateBoundObject& object, const HostCallCase& call) {
  HostCallOutcome outcome;
  outcome.is_private = call.is_private;
  DispId id = -1;
  outcome.status = object.GetIDsOfNames(call.method, id);
  if (!Succeeded(outcome.status)) return outcome;
  std::vector<Variant> host_values = call.is_private ? call.params : std::vector<Variant>{};
  Variant in_data = call.in_data;
  Variant out_data;
  Variant time_out = call.time_out;
  std::vector<Variant> args;
  if (call.is_private) {
    for (Variant& value : host_values) args.push_back(Variant::Ref(&value));
  } else {
    args = {Variant::Ref(&in_data), Variant::Ref(&out_data), Variant::Ref(&time_out)};
  }
  VariantArguments block(args);
  ExceptionInfo exception;
  Variant result;
  outcome.status = object.Invoke(id, kDispatchMethod, block, &result, &exception);
  outcome.answered_true =
      Succeeded(outcome.status) && result.Type() == varBoolean && result.ToBool();
  if (!Succeeded(outcome.status)) {
    outcome.message = exception.description;
  } else if (!call.is_private && !outcome.answered_true && out_data.IsArray() &&
             out_data.Array().Size() >= 2) {
    outcome.code = out_data.Array().At({0}).ToInt();
    outcome.message = out_data.Array().At({1}).ToString();
  }
  return outcome;
}

bool HostCallOutcome::AsExpected(HostCallExpect expect, std::string& why) const {
  // The refusals a host can act on: an unknown name, a bad argument, an error raised.
  const bool refused = status == hr::DispUnknownName || status == hr::NotImpl ||
                       status == hr::InvalidArg || status == hr::DispBadParamCount;
  const bool raised = status == hr::DispException;
  if (!Succeeded(status) && !refused && !raised) {
    why = "unexpected status " + std::to_string(status);
    return false;
  }
  if (answered_true) {
    if (expect == HostCallExpect::kFailure) why = "answered true";
    return expect != HostCallExpect::kFailure;
  }
  if (expect == HostCallExpect::kTrue) {
    why = "failed: " + std::to_string(code) + " " + message;
    return false;
  }
  if (raised && message.empty()) {
    why = "raised an error without a message";
    return false;
  }
  if (!is_private && Succeeded(status) && (code == 0 || message.empty())) {
    why = "answered false without a code and message";
    return false;
  }
  return true;
}

HResult QuietEquipmentManager::GetIDsOfNames(std::string_view name, DispId& id) {
  for (std::size_t i = 0; i < std::size(kOperations); ++i) {
    if (kOperations[i] == name) {
      id = static_cast<DispId>(i);
      return hr::Ok;
    }
  }
  id = -1;
  return hr::DispUnknownName;
}

HResult QuietEquipmentManager::Invoke(DispId id, std::uint16_t, ArgumentBlock& args,
                                      Variant* result, ExceptionInfo*) {
  if (id < 0 || static_cast<std::size_t>(id) >= std::size(kOperations))
    return hr::DispMemberNotFound;
  if (id == 0 && args.Count() > 2) {
    const std::string name = args.Read(1).ToString();
    args.WriteBack(2, Variant::OleStr(name == "DevicesFolder" ? devices_folder_ : ""));
  }
  if (result) *result = Variant::Boolean(true);
  return hr::Ok;
}

platform::DeviceOpenResult NullDeviceIo::Open(const std::string&, platform::DeviceOpenMode) {
  return platform::DeviceOpenResult::Opened(std::make_unique<NullDevice>(*this));
}

}  // namespace pirell::testing
