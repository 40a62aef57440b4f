#pragma once

// The Win32 view of the port page: the port type, and for the selected type its controls: a
// drop-down list of ports drawn by us, each with a dot telling whether the port is free (USB
// printers, parallel and serial ports, print queues), the serial line settings, a network
// printer's address, or a file's path with a button for the file dialog. The background probe
// asks for a repaint by posting a message to a hidden window of the view.

#include <memory>
#include <string>
#include <vector>

#include "platform/device_window.h"
#include "settings_ui/port_manager_settings.h"
#include "settings_ui/windows/page_view.h"

namespace pirell::win32 {

namespace port_settings_ids {
constexpr int kPortType = 400;
constexpr int kUsbPorts = 401;
constexpr int kLptPorts = 402;
constexpr int kComPorts = 403;
constexpr int kLineSettings = 404;
constexpr int kAddress = 405;
constexpr int kFilePath = 406;
constexpr int kBrowse = 407;
constexpr int kPrintQueues = 408;
}  // namespace port_settings_ids

// The message the probe posts to the view's hidden window after each port it tried.
constexpr UINT kRepaintPortsMessage = 0xB034;

class PortManagerSettingsView : public PageView {
 public:
  explicit PortManagerSettingsView(TfrmPortManagerSettings& form) : form_(form) {}
  ~PortManagerSettingsView() override;

  void Push() override;
  void SetShowing(bool showing) override;

 protected:
  void CreateControls(int width, int height) override;
  void OnCommand(int id, int code, HWND control) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  bool OnMeasureItem(MEASUREITEMSTRUCT& item) override;

 private:
  struct Chooser {
    TPortsComboBox* model = nullptr;
    TCaptionModel* sheet = nullptr;
    int id = 0;
    HWND label = nullptr;
    HWND combo = nullptr;
    std::vector<std::string> pushed_items;
    bool pushed = false;
  };
  void PushChooser(Chooser& chooser);
  Chooser* ChooserOf(UINT id);
  std::vector<TPortsComboBox*> Models() const;

  TfrmPortManagerSettings& form_;
  // USB printers, parallel ports, serial ports, print queues.
  std::vector<Chooser> choosers_;
  std::unique_ptr<platform::DeviceWindow> repaint_window_;
};

}  // namespace pirell::win32
