#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "device/base_device.h"
#include "label_printer/templates_list.h"

namespace pirell {

// The base of every label printer driver: the template store and the host methods
// "UploadTemplate", "PrintLabels", "GetTemplateList" and "InitializePrinter". Printing and
// printer initialisation are the concrete driver's; here they are not supported.
class TBaseLabelPrinter : public TBaseDevice {
 public:
  // Stores the template in the template file of the device folder: under the file's lock the
  // file is read anew, the template added and the file rewritten, so that an upload never drops
  // templates stored by this or another driver object; the list then holds the file's content.
  // A file that cannot be read fails the upload and is left as it is.
  virtual ResultCode UploadTemplate(std::int32_t template_number,
                                    const std::string& template_description,
                                    const std::string& template_data, std::string& description);
  virtual ResultCode PrintLabels(std::int32_t template_number, const Variant& labels_data,
                                 std::string& description);
  // Hands out the list itself, read from the file first when it does not hold the file's
  // content (a file that cannot be read fails the call).
  virtual ResultCode GetTemplateList(TTemplatesList*& list, std::string& description);
  virtual ResultCode InitializePrinter(std::string& description);

  void CreateSettings() override;
  void RegisterMethods() override;
  void OnSetDeviceInfo() override;
  ResultCode OnEnable(std::string& description) override;
  void CreateObjects() override;
  void DestroyObjects() override;

  TTemplatesList* Templates() const { return FTemplates.get(); }

 protected:
  std::unique_ptr<TTemplatesList> FTemplates;

 private:
  ResultCode HostUploadTemplate(const Variant& in_data, Variant& out_data, std::int32_t time_out,
                                std::string& description);
  ResultCode HostPrintLabels(const Variant& in_data, Variant& out_data, std::int32_t time_out,
                             std::string& description);
  ResultCode HostGetTemplateList(const Variant& in_data, Variant& out_data, std::int32_t time_out,
                                 std::string& description);
  ResultCode HostInitializePrinter(const Variant& in_data, Variant& out_data, std::int32_t time_out,
                                   std::string& description);
};

}  // namespace pirell
