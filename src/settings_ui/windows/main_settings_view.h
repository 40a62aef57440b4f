#pragma once

// The Win32 view of the printer page: the label picture at the left, the printer type and
// model, the paper and printer parameters and the initialisation button.

#include "settings_ui/main_settings_form.h"
#include "settings_ui/windows/page_view.h"

namespace pirell::win32 {

namespace main_settings_ids {
constexpr int kLabelPicture = 200;
constexpr int kPrinterType = 201;
constexpr int kPrinterModel = 202;
constexpr int kPaperGroup = 203;
constexpr int kPrintWidth = 204;
constexpr int kPrintHeight = 205;
constexpr int kPrintGap = 206;
constexpr int kPrinterGroup = 207;
constexpr int kDarkness = 208;
constexpr int kPrintSpeed = 209;
constexpr int kPrintMode = 210;
constexpr int kInitialize = 211;
}  // namespace main_settings_ids

class MainSettingsView : public PageView {
 public:
  explicit MainSettingsView(TfrmMainSettings& form) : form_(form) {}

 protected:
  void CreateControls(int width, int height) override;
  void OnCommand(int id, int code, HWND control) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

 private:
  TfrmMainSettings& form_;
};

}  // namespace pirell::win32
