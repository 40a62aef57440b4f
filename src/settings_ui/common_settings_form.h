#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "settings_ui/base_settings_form.h"
#include "settings_ui/control_models.h"
#include "settings_ui/settings_ui_services.h"

namespace pirell {

class TBaseDevice;

using TPages = std::vector<std::unique_ptr<TfrmBaseSettings>>;

// Help contexts of the settings window's controls.
namespace help_context {
constexpr int kAdditionalFunctions = 1000;
constexpr int kOk = 1001;
constexpr int kCancel = 1002;
constexpr int kPageControl = 1003;
constexpr int kControlUnderMouse = 10000;
}  // namespace help_context

// Help commands of the window's help handler, with the values the platform's help uses.
constexpr int HELP_CONTEXTPOPUP = 8;
constexpr int HELP_SETPOPUP_POS = 13;

// The settings window: one tab per hosted page, then the information tab; OK saves every page,
// Cancel restores the device's pending snapshot. A menu of additional functions resets the
// settings, tests the device, shows the full settings list, opens the help file and runs the
// device's additional actions.
class TfrmCommonSettings : public TFormModel {
 public:
  // The window's fixed layout, in pixels.
  static constexpr int kHeaderHeight = 36;
  static constexpr int kFooterHeight = 53;
  static constexpr int kMinWidth = 320;
  static constexpr int kMinHeight = 400;
  // Header background: red 255, green 198, blue 0.
  static constexpr std::uint32_t kHeaderColorRgb = 0xFFC600;
  // Help popup background: red 255, green 255, blue 238.
  static constexpr std::uint32_t kPopupColorRgb = 0xFFFFEE;
  static constexpr int kPopupMargin = 5;

  // Builds the window with a page of each class, in order, and reads the settings into them.
  TfrmCommonSettings(TBaseDevice& ADeviceManager, const TPageClasses& PageClasses,
                     TSettingsUiServices& Services);
  ~TfrmCommonSettings();
  TfrmCommonSettings(const TfrmCommonSettings&) = delete;
  TfrmCommonSettings& operator=(const TfrmCommonSettings&) = delete;

  // Hosting pages.
  void AddPage(std::unique_ptr<TfrmBaseSettings> PageFrm);
  void AddPage(const TPageClass& PageClass);
  void AddPages(const TPageClasses& PageClasses);
  const TPages& Pages() const { return FPages; }

  // Calls every page in order.
  void NotifyPages(const std::string& Msg, const std::string& Data);
  void ReadPages();
  // False when a page vetoed; the pages before it have saved, the rest have not.
  bool SavePages();

  // Menu items shown and enabled (true) or hidden and disabled (false).
  void CapDeviceTest(bool value);
  void CapSetDefault(bool value);
  void CapShowHelp(bool value);

  // Menu items for the device's additional actions, and running one of them.
  void AddActionItems();
  void ActionItemClick(int index);

  // Handlers.
  void btnOKClick() { ModalResult = mrOk; }
  void btnCancelClick() { ModalResult = mrCancel; }
  void miResetClick();
  void miDeviceTestClick();
  void miSettingsListClick();
  void miHelpClick();
  void imgLogoClick();
  // The window is closing with ModalResult: OK saves the pages (a veto resets ModalResult to
  // mrNone, which keeps the window open); any other result restores the device's snapshot.
  void FormClose();

  // Help.
  bool HelpFileExists();
  // Serves the window's and the pages' help requests; always handled (true), and the
  // framework's own help must not run.
  bool FormHelp(int Command, std::uintptr_t Data);
  static std::string GetHelpByID(int ID);
  std::string GetControlHintByPos(TPoint& Pos);

  TBaseDevice& DeviceManager() const { return FDeviceManager; }
  TSettingsUiServices& Services() const { return FServices; }
  bool HelpEnabled() const { return FHelpEnabled; }
  const std::string& HelpFile() const { return FHelpFile; }
  const std::string& CI_www() const { return FCI_www; }

  // Controls.
  TCaptionModel pnHeader;
  TControlModel imgLogo;
  TCaptionModel lbModelName;
  TCaptionModel lbDiverVersion;
  TTabsModel pcPages;  // the pages' tabs in order, then tsInfo
  TCaptionModel tsInfo;
  std::vector<TInfoRowModel> InfoRows;
  TCaptionModel btnSetDefault;
  TCaptionModel btnOK;
  TCaptionModel btnCancel;
  // The additional-functions menu mAdditionaly, in its order: miReset, miDeviceTest,
  // miSettingsList, miSeparator, miHelp, then ActionItems.
  TMenuItemModel miReset;
  TMenuItemModel miDeviceTest;
  TMenuItemModel miSettingsList;
  TMenuItemModel miSeparator;
  TMenuItemModel miHelp;
  std::vector<TMenuItemModel> ActionItems;
  std::vector<const TMenuItemModel*> mAdditionaly() const;

  TModalResult ModalResult = mrNone;
  // The position the next help popup appears at.
  TPoint PopupPos;

 private:
  void GrowToFit(const TfrmBaseSettings& page);
  void UpdateTabs();
  void FillHeaderAndInfo();

  TPages FPages;
  TBaseDevice& FDeviceManager;
  TSettingsUiServices& FServices;
  std::string FCI_www;
  bool FHelpEnabled = false;
  std::string FHelpFile;
};

}  // namespace pirell
