#pragma once

#include "platform/port_discovery.h"
#include "platform/port_opener.h"
#include "settings_ui/base_settings_form.h"
#include "settings_ui/control_models.h"
#include "settings_ui/ports_combo_box.h"

namespace pirell {

// The port page: the port type (USB printer or parallel port) and the port, written to the
// "PortType" and "PortName" settings that the port manager opens.
class TfrmPortManagerSettings : public TfrmBaseSettings {
 public:
  // Items of cbbPortType; the index is the port manager's port type.
  static constexpr int kUsbItem = 0;
  static constexpr int kLptItem = 1;

  TfrmPortManagerSettings(TfrmCommonSettings& AOwner, TBaseDevice& ADeviceManager,
                          platform::PortDiscovery& discovery = platform::SystemPortDiscovery(),
                          platform::PortOpener& port_opener = platform::SystemPortOpener());

  using TfrmBaseSettings::OnSaveSettings;
  void OnCreateFrm() override;
  void OnReadSettings() override;
  void OnSaveSettings() override;

  // Shows the page of pgcSettings that belongs to the selected port type.
  void cbbPortTypeChange();

  // Whether the page is on the screen (its tab selected in the shown window). The view tells
  // the page; the chooser of the selected type comes into sight with it, and the parallel
  // ports' chooser then probes its ports.
  bool Showing() const { return FShowing; }
  void SetShowing(bool value);

  // Controls. pgcSettings shows no tab headers: one of its sheets is visible at a time, and a
  // sheet's caption is the text of the label beside its chooser.
  TListModel cbbPortType;
  TTabsModel pgcSettings;
  TCaptionModel tsUSB;
  TCaptionModel tsLPT;
  TPortsComboBox cbbUSBPrinters;
  TPortsComboBox cbbLPTPorts;

 private:
  void UpdateChoosersShowing();

  bool FShowing = false;
};

}  // namespace pirell
