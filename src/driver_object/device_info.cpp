#include "driver_object/device_info.h"

#include "common/module_strings.h"

namespace pirell {
namespace {

struct EquipmentType {
  std::string_view id;
  StringId display_name;
};

// The host's equipment type identifiers.
constexpr EquipmentType kEquipmentTypes[] = {
    {"Unknown", StringId::EquipmentUnknown},
    {"Template", StringId::EquipmentTemplate},
    {"Scanner", StringId::EquipmentScanner},
    {"FiscalPrinter", StringId::EquipmentFiscalPrinter},
    {"AcquiringTerminal", StringId::EquipmentAcquiringTerminal},
    {"DataCollectionTerminal", StringId::EquipmentDataCollectionTerminal},
    {"LineDisplay", StringId::EquipmentLineDisplay},
    {"CardReader", StringId::EquipmentCardReader},
    {"Scale", StringId::EquipmentScale},
    {"ServicePrinter", StringId::EquipmentServicePrinter},
    {"AccessController", StringId::EquipmentAccessController},
    {"LabelPrinter", StringId::EquipmentLabelPrinter},
    {"BiometricReader", StringId::EquipmentBiometricReader},
    {"ElectronicLocks", StringId::EquipmentElectronicLocks},
    {"SMSCommunicator", StringId::EquipmentSMSCommunicator},
    {"EventLogger", StringId::EquipmentEventLogger},
    {"TimePhasedServicesController", StringId::EquipmentTimePhasedServicesController},
    {"CustomerFeedbackTerminal", StringId::EquipmentCustomerFeedbackTerminal},
    {"BillValidator", StringId::EquipmentBillValidator},
    {"CoffeeMachine", StringId::EquipmentCoffeeMachine},
};

void AppendContactLine(std::string& out, StringId label, const std::string& value) {
  out.append(LoadModuleString(label));
  out.append(":\t");
  out.append(value);
  out.append("\r\n");
}

}  // namespace

std::string TDeviceInfoStruct::GetVersion() const {
  return std::to_string(MajorVersion) + "." + std::to_string(MinorVersion) + "." +
         std::to_string(BuildVersion);
}

std::string TDeviceInfoStruct::GetContactinfo() const {
  std::string text;
  AppendContactLine(text, StringId::ContactEmail, CI_email);
  AppendContactLine(text, StringId::ContactWeb, CI_www);
  AppendContactLine(text, StringId::ContactPhones, CI_Phones);
  AppendContactLine(text, StringId::ContactAddress, CI_address);
  return text;
}

std::string EquipmentTypeDisplayName(std::string_view type_name) {
  for (const EquipmentType& type : kEquipmentTypes) {
    if (type.id == type_name) return std::string(LoadModuleString(type.display_name));
  }
  return std::string(type_name);
}

}  // namespace pirell
