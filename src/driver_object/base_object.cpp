#include "driver_object/base_object.h"

#include "platform/guid.h"
#include "platform/locale.h"

namespace pirell {

TBaseObject::TBaseObject() : FInstanceID(platform::NewGuidText()) {}

TBaseObject::~TBaseObject() = default;

void TBaseObject::AddPrivateMethod(std::string name, TPrivateMethod handler) {
  TMethodStruct row;
  row.Name = std::move(name);
  row.IsPublic = false;
  row.PrivateMethod = std::move(handler);
  FMethodList.push_back(std::move(row));
}

void TBaseObject::AddPublicMethod(std::string name, TPublicMethod handler) {
  TMethodStruct row;
  row.Name = std::move(name);
  row.IsPublic = true;
  row.PublicMethod = std::move(handler);
  FMethodList.push_back(std::move(row));
}

HResult TBaseObject::GetIDsOfNames(std::string_view name, DispId& id) {
  try {
    for (std::size_t i = 0; i < FMethodList.size(); ++i) {
      if (platform::SameText(FMethodList[i].Name, name)) {
        id = static_cast<DispId>(i);
        return hr::Ok;
      }
    }
  } catch (...) {
    // Falls through to "unknown name": nothing may escape to the host.
  }
  // The host expects E_NOTIMPL here rather than DISP_E_UNKNOWNNAME.
  id = -1;
  return hr::NotImpl;
}

std::string TBaseObject::GetDriverResultDescription(ResultCode code) {
  return ResultCodeText(code, "");
}

}  // namespace pirell
