#pragma once

// The information tab of the settings window: six bold captions with their values.

#include <vector>

#include "settings_ui/control_models.h"
#include "settings_ui/windows/page_view.h"

namespace pirell::win32 {

class InfoPageView : public PageView {
 public:
  explicit InfoPageView(const std::vector<TInfoRowModel>& rows) : rows_(rows) {}

 protected:
  void CreateControls(int width, int height) override;
  void OnCommand(int, int, HWND) override {}

 private:
  const std::vector<TInfoRowModel>& rows_;
};

}  // namespace pirell::win32
