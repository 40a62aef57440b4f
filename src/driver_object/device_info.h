#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pirell {

// The device information the host asks for with "GetDeviceInfo", in the order it is reported.
struct TDeviceInfoStruct {
  std::string TypeName;  // equipment type identifier, e.g. "LabelPrinter"
  std::string ModelID;
  std::string ModelName;
  std::int32_t MajorVersion = 0;
  std::int32_t MinorVersion = 0;
  std::int32_t BuildVersion = 0;
  std::string ProcessorName;
  std::int32_t ProcessorType = 0;
  bool IsSettingsDlgExist = false;
  std::string Description;
  std::string DeveloperName;
  std::string CI_email;
  std::string CI_www;
  std::string CI_Phones;
  std::string CI_address;

  // "Major.Minor.Build".
  std::string GetVersion() const;
  // Four lines "label:\tvalue\r\n" for the e-mail, web address, phones and postal address.
  std::string GetContactinfo() const;
};

// The Russian display name of an equipment type identifier (matched exactly, case included);
// an identifier without one comes back unchanged.
std::string EquipmentTypeDisplayName(std::string_view type_name);

}  // namespace pirell
