#include "label_printer/base_label_printer.h"

#include <functional>

#include "common/errors.h"
#include "driver_object/host_values.h"
#include "rendering/label_document.h"

namespace pirell {

void TBaseLabelPrinter::CreateSettings() {
  TBaseDevice::CreateSettings();
  AddSetting("UploadTemplateToPrinter", dtBoolean, Variant::Boolean(false), false,
             "Загружать шаблоны в принтер", "Загружать шаблоны в память принтера");
}

void TBaseLabelPrinter::RegisterMethods() {
  TBaseDevice::RegisterMethods();
  using namespace std::placeholders;
  AddPublicMethod("UploadTemplate",
                  std::bind(&TBaseLabelPrinter::HostUploadTemplate, this, _1, _2, _3, _4));
  AddPublicMethod("PrintLabels",
                  std::bind(&TBaseLabelPrinter::HostPrintLabels, this, _1, _2, _3, _4));
  AddPublicMethod("GetTemplateList",
                  std::bind(&TBaseLabelPrinter::HostGetTemplateList, this, _1, _2, _3, _4));
  AddPublicMethod("InitializePrinter",
                  std::bind(&TBaseLabelPrinter::HostInitializePrinter, this, _1, _2, _3, _4));
}

void TBaseLabelPrinter::OnSetDeviceInfo() {
  TBaseDevice::OnSetDeviceInfo();
  FDeviceInfo.TypeName = "LabelPrinter";
}

ResultCode TBaseLabelPrinter::OnEnable(std::string& description) {
  const ResultCode code = TBaseDevice::OnEnable(description);
  FTemplates->Load(GetDeviceFolder());
  return code;
}

void TBaseLabelPrinter::CreateObjects() {
  TBaseDevice::CreateObjects();
  FTemplates = std::make_unique<TTemplatesList>();
}

void TBaseLabelPrinter::DestroyObjects() {
  TBaseDevice::DestroyObjects();
  FTemplates.reset();
}

ResultCode TBaseLabelPrinter::UploadTemplate(std::int32_t template_number,
                                             const std::string& template_description,
                                             const std::string& template_data, std::string&) {
  // The file is read anew under its lock before it is written: other driver objects and
  // processes may have stored templates since this list was read.
  FTemplates->Store(GetDeviceFolder(), template_number, template_description, template_data);
  return rc::Ok;
}

ResultCode TBaseLabelPrinter::PrintLabels(std::int32_t, const Variant&, std::string&) {
  return rc::NotSupported;
}

ResultCode TBaseLabelPrinter::GetTemplateList(TTemplatesList*& list, std::string&) {
  // A list that does not hold the file's content (its reading failed at enabling, or it was
  // never read) would show the host fewer templates than there are, or none: read the file, and
  // let a file that still cannot be read fail the call.
  if (EquipmentManager().Assigned()) {
    const std::string folder = GetDeviceFolder();
    if (FTemplates->SourceFile() != TTemplatesList::FileName(folder)) FTemplates->Load(folder);
  }
  list = FTemplates.get();
  return rc::Ok;
}

ResultCode TBaseLabelPrinter::InitializePrinter(std::string&) {
  return rc::NotSupported;
}

ResultCode TBaseLabelPrinter::HostUploadTemplate(const Variant& in_data, Variant&, std::int32_t,
                                                 std::string& description) {
  std::int32_t number = 0;
  std::string template_description;
  std::string template_data;
  try {
    const Variant& input = in_data.Deref();
    const VariantArray& items = input.Array();
    number = items.At({0}).Deref().ToInt();
    template_description = ArrayItemStr(input, 1, "");
    template_data = items.At({2}).Deref().ToString();
  } catch (const Error&) {
    return rc::BadParameters;
  }
  if (template_data.size() > kMaxTemplateBytes) {
    description = ResultCodeText(rc::BadParameters, "") + ": шаблон больше " +
                  std::to_string(kMaxTemplateBytes / (1024 * 1024)) + " МБ";
    return rc::BadParameters;
  }
  // A character XML cannot carry would make the whole template file unreadable.
  if (!TTemplatesList::IsStorableText(template_description) ||
      !TTemplatesList::IsStorableText(template_data)) {
    description = ResultCodeText(rc::BadParameters, "") +
                  ": текст шаблона содержит символ, недопустимый в XML";
    return rc::BadParameters;
  }
  return UploadTemplate(number, template_description, template_data, description);
}

ResultCode TBaseLabelPrinter::HostPrintLabels(const Variant& in_data, Variant&, std::int32_t,
                                              std::string& description) {
  std::int32_t number = 0;
  // Read where the dispatcher's copy of the arguments holds it, however large the table.
  const Variant* labels_data = nullptr;
  try {
    const VariantArray& items = in_data.Deref().Array();
    number = items.At({0}).Deref().ToInt();
    labels_data = &items.At({1});
  } catch (const Error&) {
    return rc::BadParameters;
  }
  return PrintLabels(number, *labels_data, description);
}

ResultCode TBaseLabelPrinter::HostGetTemplateList(const Variant&, Variant& out_data, std::int32_t,
                                                  std::string& description) {
  TTemplatesList* list = nullptr;
  const ResultCode code = GetTemplateList(list, description);
  if (code != rc::Ok) return code;
  const int count = list ? list->Count() : 0;
  VariantArray table = VariantArray::Table(2, count);
  for (int i = 0; i < count; ++i) {
    table.At({0, i}) = Variant::Integer(list->Items(i).Number());
    table.At({1, i}) = Variant::OleStr(list->Items(i).Description());
  }
  out_data = VariantArray::Vector({Variant(std::move(table))});
  return code;
}

ResultCode TBaseLabelPrinter::HostInitializePrinter(const Variant&, Variant&, std::int32_t,
                                                    std::string& description) {
  return InitializePrinter(description);
}

}  // namespace pirell
