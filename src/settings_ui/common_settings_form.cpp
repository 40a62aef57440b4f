#include "settings_ui/common_settings_form.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "device/base_device.h"
#include "driver_object/device_info.h"
#include "driver_object/result_codes.h"
#include "platform/files.h"
#include "platform/module_info.h"
#include "settings_ui/pending_snapshot.h"

namespace pirell {
namespace {

constexpr char kInfoTabCaption[] = "Информация";
constexpr char kCannotWriteSettings[] = "Не удалось записать текущие настройки";

// A 16-bit coordinate of a packed help position, with its sign.
int SignedWord(std::uintptr_t word) {
  return static_cast<std::int16_t>(word & 0xFFFF);
}

}  // namespace

TfrmCommonSettings::TfrmCommonSettings(TBaseDevice& ADeviceManager, const TPageClasses& PageClasses,
                                       TSettingsUiServices& Services)
    : FDeviceManager(ADeviceManager), FServices(Services) {
  Caption = "Настройки";
  // Room for the information tab inside the smallest window.
  ClientWidth = kMinWidth - 16;
  ClientHeight = kMinHeight - 39;
  ShowHint = true;

  btnSetDefault.Caption = "Дополнительно";
  btnSetDefault.Hint = "Дополнительные функции";
  btnSetDefault.HelpContext = help_context::kAdditionalFunctions;
  btnOK.Caption = "ОК";
  btnOK.Hint = "Сохранить и закрыть";
  btnOK.HelpContext = help_context::kOk;
  btnCancel.Caption = "Отмена";
  btnCancel.Hint = "Закрыть без сохранения";
  btnCancel.HelpContext = help_context::kCancel;
  pcPages.HelpContext = help_context::kControlUnderMouse;
  tsInfo.Caption = kInfoTabCaption;

  miReset.Caption = "Установить значения по-умолчанию";
  miReset.OnClick = [this] { miResetClick(); };
  miDeviceTest.Caption = "Выполнить тест устройства";
  miDeviceTest.OnClick = [this] { miDeviceTestClick(); };
  miSettingsList.Caption = "Показать полный список настроек";
  miSettingsList.OnClick = [this] { miSettingsListClick(); };
  miSeparator.Caption = "-";
  miHelp.Caption = "Справка";
  miHelp.ImageIndex = 0;
  miHelp.OnClick = [this] { miHelpClick(); };

  for (const TPageClass& page_class : PageClasses) AddPage(page_class(*this, FDeviceManager));
  UpdateTabs();
  FillHeaderAndInfo();
  ReadPages();
  pcPages.TabIndex = 0;
  if (pcPages.Tabs.size() == 1) CapSetDefault(false);
  FHelpEnabled = HelpFileExists();
  CapShowHelp(FHelpEnabled);
  pcPages.Hint = "Настройка параметров и подробная информация о драйвере";
  AddActionItems();
}

TfrmCommonSettings::~TfrmCommonSettings() = default;

void TfrmCommonSettings::FillHeaderAndInfo() {
  const TDeviceInfoStruct& info = FDeviceManager.DeviceInfo();
  lbModelName.Caption = info.ModelName;
  lbDiverVersion.Caption = info.GetVersion();
  FCI_www = info.CI_www;
  InfoRows = {
      {"Тип:", EquipmentTypeDisplayName(info.TypeName)},
      {"Модель:", info.ModelName},
      {"Версия:", info.GetVersion()},
      {"Разработчик:", info.DeveloperName},
      {"Описание:", info.Description},
      {"Контактная информация:", info.GetContactinfo()},
  };
}

void TfrmCommonSettings::AddPage(std::unique_ptr<TfrmBaseSettings> PageFrm) {
  if (!PageFrm) return;
  PageFrm->SetOwnerFrm(this);
  PageFrm->HelpContext = 0;
  PageFrm->ShowHint = true;
  GrowToFit(*PageFrm);
  FPages.push_back(std::move(PageFrm));
  UpdateTabs();
}

void TfrmCommonSettings::UpdateTabs() {
  // The page tabs in order, the information tab last.
  pcPages.Tabs.clear();
  for (const auto& page : FPages) pcPages.Tabs.push_back(page->Caption);
  pcPages.Tabs.push_back(tsInfo.Caption);
}

void TfrmCommonSettings::AddPage(const TPageClass& PageClass) {
  AddPage(PageClass(*this, FDeviceManager));
  ReadPages();
}

void TfrmCommonSettings::AddPages(const TPageClasses& PageClasses) {
  for (const TPageClass& page_class : PageClasses) AddPage(page_class);
  pcPages.TabIndex = 0;
  if (pcPages.Tabs.size() == 1) CapSetDefault(false);
}

void TfrmCommonSettings::GrowToFit(const TfrmBaseSettings& page) {
  const TPageFrameMetrics frame = FServices.PageFrameMetrics();
  ClientWidth = std::max(
      ClientWidth, page.ClientWidth + 2 * frame.ContentBorderWidth + 2 * frame.TabBorderWidth);
  ClientHeight = std::max(ClientHeight, page.ClientHeight + kHeaderHeight + kFooterHeight +
                                            frame.TabHeight + 2 * frame.TabBorderWidth);
}

void TfrmCommonSettings::NotifyPages(const std::string& Msg, const std::string& Data) {
  for (const auto& page : FPages) page->OnNotify(Msg, Data);
}

void TfrmCommonSettings::ReadPages() {
  for (const auto& page : FPages) page->OnReadSettings();
}

bool TfrmCommonSettings::SavePages() {
  for (const auto& page : FPages) {
    bool allow_close = true;
    page->OnSaveSettings(allow_close);
    if (!allow_close) return false;
    page->OnSaveSettings();
  }
  return true;
}

void TfrmCommonSettings::CapDeviceTest(bool value) {
  miDeviceTest.Visible = value;
  miDeviceTest.Enabled = value;
}

void TfrmCommonSettings::CapSetDefault(bool value) {
  miReset.Visible = value;
  miReset.Enabled = value;
}

void TfrmCommonSettings::CapShowHelp(bool value) {
  miHelp.Visible = value;
  miHelp.Enabled = value;
}

std::vector<const TMenuItemModel*> TfrmCommonSettings::mAdditionaly() const {
  std::vector<const TMenuItemModel*> items = {&miReset, &miDeviceTest, &miSettingsList,
                                              &miSeparator, &miHelp};
  for (const TMenuItemModel& item : ActionItems) items.push_back(&item);
  return items;
}

void TfrmCommonSettings::AddActionItems() {
  ActionItems.clear();
  const int count = FDeviceManager.AddActionsCount();
  if (count == 0) return;
  TMenuItemModel separator;
  separator.Caption = "-";
  ActionItems.push_back(std::move(separator));
  for (int i = 0; i < count; ++i) {
    TMenuItemModel item;
    item.Caption = FDeviceManager.GetAddAction(i)->Caption;
    item.ImageIndex = 1;
    item.Tag = i;
    item.OnClick = [this, i] { ActionItemClick(i); };
    ActionItems.push_back(std::move(item));
  }
}

void TfrmCommonSettings::ActionItemClick(int index) {
  const TAdditionalAction* action = FDeviceManager.GetAddAction(index);
  if (!action) return;
  std::string description;
  const ResultCode code = FDeviceManager.RunAdditionalAction(action->ID, description);
  if (code != rc::Ok) FServices.ShowError(ResultCodeText(code, description));
}

void TfrmCommonSettings::miResetClick() {
  FDeviceManager.SetAllSettingsDefault();
  ReadPages();
}

void TfrmCommonSettings::miDeviceTestClick() {
  TPendingSnapshotGuard pending(FDeviceManager);
  FDeviceManager.StoreSettings();
  bool ok = false;
  std::string message;
  {
    TWaitCursor wait(FServices);
    try {
      ok = SavePages();
      if (ok) {
        std::string description;
        const ResultCode code = FDeviceManager.Enable(description);
        message = ResultCodeText(code, description);
        ok = code == rc::Ok;
      } else {
        message = kCannotWriteSettings;
      }
      if (ok) ok = FDeviceManager.DeviceTest(message);
    } catch (const std::exception& error) {
      ok = false;
      message = error.what();
    }
    try {
      FDeviceManager.Disable();
    } catch (const std::exception& error) {
      if (ok) message = error.what();
      ok = false;
    }
    FDeviceManager.RestoreSettings();
    pending.Reinstate();
  }
  if (!ok) FServices.ShowError(message);
}

void TfrmCommonSettings::miSettingsListClick() {
  TPendingSnapshotGuard pending(FDeviceManager);
  FDeviceManager.StoreSettings();
  bool accepted = false;
  try {
    accepted = FServices.ShowSettingsList(FDeviceManager);
  } catch (...) {
    FDeviceManager.RestoreSettings();
    pending.Reinstate();
    throw;
  }
  if (accepted) {
    // The snapshot stays pending so that Cancel of the window undoes the list too; an older
    // pending snapshot goes further back and wins.
    pending.Reinstate();
    ReadPages();
  } else {
    FDeviceManager.RestoreSettings();
    pending.Reinstate();
  }
}

void TfrmCommonSettings::miHelpClick() {
  if (FHelpEnabled) FServices.OpenHelpFile(FHelpFile);
}

void TfrmCommonSettings::imgLogoClick() {
  if (FCI_www.empty()) return;
  TWaitCursor wait(FServices);
  FServices.OpenWebAddress(FCI_www);
}

void TfrmCommonSettings::FormClose() {
  if (ModalResult == mrOk) {
    if (!SavePages()) {
      ModalResult = mrNone;
      return;
    }
    // The saved values stay: a snapshot still pending (from the settings list) is dropped, so
    // that no later Cancel brings back values from before this window.
    FDeviceManager.StoreSettings(std::vector<std::string>{});
  } else {
    FDeviceManager.RestoreSettings();
  }
}

bool TfrmCommonSettings::HelpFileExists() {
  FHelpFile =
      platform::IncludeTrailingPathDelimiter(platform::ExtractFileDir(platform::ModuleFileName())) +
      "help" + ".chm";
  return platform::FileExists(FHelpFile);
}

bool TfrmCommonSettings::FormHelp(int Command, std::uintptr_t Data) {
  if (Command == HELP_SETPOPUP_POS) {
    PopupPos = {SignedWord(Data), SignedWord(Data >> 16)};
  } else if (Command == HELP_CONTEXTPOPUP) {
    const int id = static_cast<std::int32_t>(static_cast<std::uint32_t>(Data));
    if (id == help_context::kControlUnderMouse) {
      TPoint pos = PopupPos;
      const std::string text = GetControlHintByPos(pos);
      if (!text.empty()) FServices.ShowHelpPopup(text, pos);
    } else if (id >= 1000) {
      const std::string text = GetHelpByID(id);
      if (!text.empty()) FServices.ShowHelpPopup(text, PopupPos);
    } else if (id >= 1 && FHelpEnabled) {
      FServices.ShowHelpTopicPopup(FHelpFile + "::/" + "popups.txt", id, PopupPos);
    }
  }
  return true;
}

std::string TfrmCommonSettings::GetHelpByID(int ID) {
  switch (ID) {
    case help_context::kAdditionalFunctions:
      return "Дополнительные функции: \r\n - Установка параметров в значегие по умолчанию\r\n"
             " - Тест работоспособности устройства\r\n - Отображение полного списка настроек\r\n"
             " - Справка";
    case help_context::kOk:
      return "Сохранить настройки и закрыть окно";
    case help_context::kCancel:
      return "Закрыть окно без сохранения настроек";
    case help_context::kPageControl:
      return "Настройка параметров и подробная информация о драйвере";
    default:
      return {};
  }
}

std::string TfrmCommonSettings::GetControlHintByPos(TPoint& Pos) {
  return FServices.ControlHintForHelp(Pos).value_or(std::string());
}

}  // namespace pirell
