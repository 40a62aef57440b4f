#pragma once

#include <optional>
#include <string>

#include "platform/port_discovery.h"
#include "platform/port_opener.h"
#include "settings_ui/base_settings_form.h"
#include "settings_ui/control_models.h"
#include "settings_ui/ports_combo_box.h"

namespace pirell {

// The port page: the port type and the port, written to the "PortType" and "PortName" settings
// that the port manager opens. A USB printer, a parallel port or a serial port (with its line
// settings) is chosen from a list; a network printer's address and a file are typed; a print
// queue is chosen from the queues of the print server. What the page reads it writes back
// unchanged when the user changes nothing.
class TfrmPortManagerSettings : public TfrmBaseSettings {
 public:
  // Items of cbbPortType; the index is the port manager's port type, and the index of the
  // sheet of pgcSettings that belongs to it.
  static constexpr int kUsbItem = 0;
  static constexpr int kLptItem = 1;
  static constexpr int kComItem = 2;
  static constexpr int kIpItem = 3;
  static constexpr int kFileItem = 4;
  static constexpr int kQueueItem = 5;

  TfrmPortManagerSettings(TfrmCommonSettings& AOwner, TBaseDevice& ADeviceManager,
                          platform::PortDiscovery& discovery = platform::SystemPortDiscovery(),
                          platform::PortOpener& port_opener = platform::SystemPortOpener());

  void OnCreateFrm() override;
  void OnReadSettings() override;
  // Refuses a port that cannot be saved (none chosen, a malformed address or line settings),
  // telling the user why.
  void OnSaveSettings(bool& AllowColse) override;
  void OnSaveSettings() override;

  // Shows the sheet of pgcSettings that belongs to the selected port type.
  void cbbPortTypeChange();
  // Opens the file dialog for the File type's path.
  void btnBrowseClick();

  // The "PortName" the controls of the selected type stand for; nothing, with the reason in
  // `error`, when they do not make a port.
  std::optional<std::string> PortNameToSave(std::string& error) const;

  // Whether the page is on the screen (its tab selected in the shown window). The view tells
  // the page; the chooser of the selected type comes into sight with it, and the parallel and
  // serial ports' choosers then probe their ports.
  bool Showing() const { return FShowing; }
  void SetShowing(bool value);

  // Controls. pgcSettings shows no tab headers: one of its sheets is visible at a time, and a
  // sheet's caption is the text of the label beside its first control (the caption of the
  // sheet's text field, where it has one).
  TListModel cbbPortType;
  TTabsModel pgcSettings;
  TCaptionModel tsUSB;
  TCaptionModel tsLPT;
  TCaptionModel tsCOM;
  TCaptionModel tsIP;
  TCaptionModel tsFile;
  TCaptionModel tsQueue;
  TPortsComboBox cbbUSBPrinters;
  TPortsComboBox cbbLPTPorts;
  TPortsComboBox cbbCOMPorts;
  TTextModel edtLineSettings;  // on tsCOM, below the port
  TTextModel edtAddress;       // on tsIP
  TTextModel edtFilePath;      // on tsFile
  TCaptionModel btnBrowse;     // on tsFile, beside the path
  TPortsComboBox cbbPrintQueues;

 private:
  void UpdateChoosersShowing();

  bool FShowing = false;
};

}  // namespace pirell
