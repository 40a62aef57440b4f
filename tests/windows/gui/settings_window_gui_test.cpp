// The settings windows through their real Win32 views, driven with window messages from a
// helper thread while the test's thread runs the modal loop.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "label_printer/driver.h"
#include "rendering/printer_registry.h"
#include "settings_ui/main_settings_form.h"
#include "settings_ui/settings_window_runner.h"
#include "settings_ui/windows/html_help.h"
#include "settings_ui/windows/main_settings_view.h"
#include "settings_ui/windows/settings_list_view.h"
#include "settings_ui/windows/settings_window_view.h"
#include "support/fake_device_io.h"
#include "windows/gui/ui_script.h"

namespace pirell {
namespace {

using test::UiScript;
namespace window_ids = win32::settings_window_ids;
namespace list_ids = win32::settings_list_ids;
namespace page_ids = win32::main_settings_ids;

// Menu positions of the additional-functions menu.
constexpr int kMenuReset = 0;
constexpr int kMenuSettingsList = 2;

void ExpectNoFailures(UiScript& script) {
  for (const std::string& failure : script.Finish()) ADD_FAILURE() << failure;
}

class SettingsWindowGuiTest : public ::testing::Test {
 protected:
  void SetUp() override { driver = CreateObject<TDriver>(device_io); }

  int RowOf(const std::string& id) const {
    for (int i = 0; i < driver->SettingsCount(); ++i)
      if (driver->GetSettingItem(i)->ID == id) return i;
    ADD_FAILURE() << "no setting " << id;
    return -1;
  }
  TPageClasses PrinterPage() const { return {PageClassOf<TfrmMainSettings>()}; }

  testing::FakeDeviceIo device_io;
  std::shared_ptr<TDriver> driver;
};

// Selects item `index` of a combo box and tells its parent, as a user's choice does.
void Choose(UiScript& ui, HWND combo, int index) {
  ui.Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index));
  ui.Command(combo, CBN_SELCHANGE);
}

void SwitchTab(UiScript& ui, HWND window, int index) {
  HWND tabs = ui.Find(window, window_ids::kPages);
  ui.Send(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index));
  NMHDR header{tabs, static_cast<UINT_PTR>(window_ids::kPages), static_cast<UINT>(TCN_SELCHANGE)};
  ui.Send(window, WM_NOTIFY, window_ids::kPages, reinterpret_cast<LPARAM>(&header));
}

void Click(UiScript& ui, HWND window, int id) {
  HWND button = ui.Find(window, id);
  ui.Send(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void SelectRow(UiScript& ui, HWND list, int row) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  ui.Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

TEST_F(SettingsWindowGuiTest, TabsModelAndSpeedAreChosenAndOkSavesThem) {
  win32::SettingsWindowView view(*driver, PrinterPage());
  ASSERT_TRUE(view.Create());
  bool info_tab_shown = false;
  std::wstring tab_texts;
  UiScript script([&](UiScript& ui) {
    HWND window = ui.WaitForWindow(L"Настройки");
    if (window == nullptr) return;
    HWND tabs = ui.Find(window, window_ids::kPages);
    for (int i = 0; i < 2; ++i) {
      wchar_t text[64] = {};
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = text;
      item.cchTextMax = 64;
      ui.Send(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
      tab_texts += text;
      tab_texts += L"|";
    }
    SwitchTab(ui, window, 1);
    info_tab_shown = IsWindowVisible(view.PagePanel(1)) && !IsWindowVisible(view.PagePanel(0));
    SwitchTab(ui, window, 0);
    Choose(ui, ui.Find(window, page_ids::kPrinterModel), 0);
    Choose(ui, ui.Find(window, page_ids::kPrintSpeed), 1);  // 2.00 IPS
    ui.Send(ui.Find(window, page_ids::kPrintWidth), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"70"));
    HWND darkness = ui.Find(window, page_ids::kDarkness);
    ui.Send(darkness, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"12"));
    ui.Command(darkness, CBN_EDITCHANGE);
    Choose(ui, ui.Find(window, page_ids::kPrintMode), 1);
    Click(ui, window, window_ids::kOk);
  });
  EXPECT_EQ(view.ShowModal(), mrOk);
  ExpectNoFailures(script);
  EXPECT_EQ(tab_texts, L"Принтер|Информация|");
  EXPECT_TRUE(info_tab_shown);
  EXPECT_EQ(driver->GetSettingValueInt("PrinterModel"), 0);
  EXPECT_EQ(driver->GetSettingValueInt("PrintSpeed"), 2);
  EXPECT_EQ(driver->GetSettingValueInt("PrintWidth"), 70);
  EXPECT_EQ(driver->GetSettingValueInt("PrintDarkness"), 12);
  EXPECT_EQ(driver->GetSettingValueInt("PrintMode"), 1);
}

// The printer page of a window: the ZPL II and TSPL types and their models, chosen as a user
// does, are saved as their positions in the registry with the model's speed codes.
TEST_F(SettingsWindowGuiTest, ZplAndTsplModelsAreChosenAndOkSavesTheirPositions) {
  struct Case {
    int type_item;
    int model_item;
    int speed_item;
    int model;  // "PrinterModel" saved
    int speed;  // "PrintSpeed" saved: the model's code
  };
  const Case kCases[] = {
      {1, 1, 2, 3, 4},  // ZPL II, 300 dpi at 4 inches per second
      {2, 0, 0, 5, 1},  // TSPL, 203 dpi at 1.5 inches per second
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.model);
    win32::SettingsWindowView view(*driver, PrinterPage());
    ASSERT_TRUE(view.Create());
    wchar_t model_text[64] = {};
    UiScript script([&](UiScript& ui) {
      HWND window = ui.WaitForWindow(L"Настройки");
      if (window == nullptr) return;
      Choose(ui, ui.Find(window, page_ids::kPrinterType), c.type_item);
      HWND models = ui.Find(window, page_ids::kPrinterModel);
      Choose(ui, models, c.model_item);
      ui.Send(models, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(model_text));
      Choose(ui, ui.Find(window, page_ids::kPrintSpeed), c.speed_item);
      Click(ui, window, window_ids::kOk);
    });
    EXPECT_EQ(view.ShowModal(), mrOk);
    ExpectNoFailures(script);
    const TPrinterModel& chosen = PrinterModels().at(static_cast<std::size_t>(c.model));
    EXPECT_EQ(std::wstring(model_text),
              std::wstring(chosen.Name.begin(), chosen.Name.end()));  // ASCII names
    EXPECT_EQ(driver->GetSettingValueInt("PrinterType"), c.type_item);
    EXPECT_EQ(driver->GetSettingValueInt("PrinterModel"), c.model);
    EXPECT_EQ(driver->GetSettingValueInt("PrintSpeed"), c.speed);
  }
}

TEST_F(SettingsWindowGuiTest, CancelLeavesTheSettingsAsTheyWere) {
  driver->SetSettingValue("PrintWidth", Variant(64));
  win32::SettingsWindowView view(*driver, PrinterPage());
  ASSERT_TRUE(view.Create());
  UiScript script([&](UiScript& ui) {
    HWND window = ui.WaitForWindow(L"Настройки");
    if (window == nullptr) return;
    Choose(ui, ui.Find(window, page_ids::kPrintSpeed), 0);
    ui.Send(ui.Find(window, page_ids::kPrintWidth), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"99"));
    Click(ui, window, window_ids::kCancel);
  });
  EXPECT_EQ(view.ShowModal(), mrCancel);
  ExpectNoFailures(script);
  EXPECT_EQ(driver->GetSettingValueInt("PrintWidth"), 64);
  EXPECT_EQ(driver->GetSettingValueInt("PrintSpeed"), 4);
}

TEST_F(SettingsWindowGuiTest, SettingsListEditsRowsInPlaceAndResetsOne) {
  driver->SetSettingValue("PrintGap", Variant(5));
  const int height_row = RowOf("PrintHeight");
  const int width_row = RowOf("PrintWidth");
  const int gap_row = RowOf("PrintGap");
  const int event_log_row = RowOf("EventLogEnabled");
  win32::SettingsWindowView view(*driver, PrinterPage());
  ASSERT_TRUE(view.Create());
  std::wstring page_height_after_list;
  std::wstring status_text;
  UiScript script([&](UiScript& ui) {
    HWND window = ui.WaitForWindow(L"Настройки");
    if (window == nullptr) return;
    // The menu command opens the list modally: post it, the send would wait for the list.
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(window_ids::kMenuFirst + kMenuSettingsList, 0), 0);
    HWND list_window = ui.WaitForWindow(L"Список настроек");
    if (list_window == nullptr) return;
    HWND list = ui.Find(list_window, list_ids::kList);
    HWND edit = ui.Find(list_window, list_ids::kEdit);
    HWND combo = ui.Find(list_window, list_ids::kCombo);

    // F2 opens the editor over the value cell; Enter commits what was typed.
    SelectRow(ui, list, height_row);
    status_text = test::TextOf(ui.Find(list_window, list_ids::kStatus));
    ui.Send(list, WM_KEYDOWN, VK_F2);
    ui.WaitUntil([&] { return IsWindowVisible(edit) != FALSE; }, "the edit field");
    ui.Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"45"));
    ui.Send(edit, WM_KEYDOWN, VK_RETURN);
    ui.WaitUntil([&] { return IsWindowVisible(edit) == FALSE; }, "the edit field to close");

    // A double click opens it too; Esc leaves the row unchanged.
    SelectRow(ui, list, width_row);
    NMITEMACTIVATE click{};
    click.hdr = NMHDR{list, static_cast<UINT_PTR>(list_ids::kList), static_cast<UINT>(NM_DBLCLK)};
    click.iItem = width_row;
    ui.Send(list_window, WM_NOTIFY, list_ids::kList, reinterpret_cast<LPARAM>(&click));
    ui.WaitUntil([&] { return IsWindowVisible(edit) != FALSE; }, "the edit field");
    ui.Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"99"));
    ui.Send(edit, WM_KEYDOWN, VK_ESCAPE);

    // A Boolean row is edited with the False/True list.
    SelectRow(ui, list, event_log_row);
    ui.Send(list, WM_KEYDOWN, VK_RETURN);
    ui.WaitUntil([&] { return IsWindowVisible(combo) != FALSE; }, "the False/True list");
    Choose(ui, combo, 1);
    ui.Send(combo, WM_KEYDOWN, VK_RETURN);

    // The context menu's "По-умолчанию" resets the selected row only.
    SelectRow(ui, list, gap_row);
    ui.Send(list_window, WM_COMMAND, MAKEWPARAM(list_ids::kMenuDefault, 0), 0);
    Click(ui, list_window, list_ids::kOk);

    // The settings window reads its pages again after the list's OK.
    ui.WaitUntil([&] { return IsWindowEnabled(window) != FALSE; }, "the settings window");
    page_height_after_list = test::TextOf(ui.Find(window, page_ids::kPrintHeight));
    Click(ui, window, window_ids::kOk);
  });
  EXPECT_EQ(view.ShowModal(), mrOk);
  ExpectNoFailures(script);
  EXPECT_FALSE(status_text.empty());
  EXPECT_EQ(page_height_after_list, L"45");
  EXPECT_EQ(driver->GetSettingValueInt("PrintHeight"), 45);
  EXPECT_EQ(driver->GetSettingValueInt("PrintWidth"), 58);
  EXPECT_EQ(driver->GetSettingValueInt("PrintGap"), 2);
  EXPECT_TRUE(driver->GetSettingValueBool("EventLogEnabled"));
}

// Keys pressed by the user reach the window through its message loop, as posted messages.
void PressKey(HWND window, WPARAM key) {
  PostMessageW(window, WM_KEYDOWN, key, 1);
  PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

TEST_F(SettingsWindowGuiTest, SettingsListEscEndsAnEditOnlyAndF1ShowsTheFocusedControlsHelp) {
  const int width_row = RowOf("PrintWidth");
  win32::Win32SettingsUiServices services;
  win32::SettingsListView view(*driver, services);
  ASSERT_TRUE(view.Create());
  bool open_after_esc = false;
  std::wstring row_help;
  std::wstring ok_help;
  UiScript script([&](UiScript& ui) {
    HWND list_window = ui.WaitForWindow(L"Список настроек");
    if (list_window == nullptr) return;
    HWND list = ui.Find(list_window, list_ids::kList);
    HWND edit = ui.Find(list_window, list_ids::kEdit);
    SelectRow(ui, list, width_row);
    ui.Send(list, WM_KEYDOWN, VK_F2);
    ui.WaitUntil([&] { return IsWindowVisible(edit) != FALSE; }, "the edit field");
    ui.Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"99"));
    PressKey(edit, VK_ESCAPE);
    ui.WaitUntil([&] { return IsWindowVisible(edit) == FALSE; }, "the edit field to close");
    Sleep(200);
    open_after_esc = IsWindowVisible(list_window) != FALSE && IsWindowEnabled(list_window);

    // F1 on the list: the selected row's description; on OK: the help of OK.
    PressKey(list, VK_F1);
    if (ui.WaitUntil([&] { return services.OwnPopup().Visible(); }, "the row's help"))
      row_help = services.OwnPopup().Text();
    ui.Send(services.OwnPopup().Handle(), WM_KEYDOWN, VK_ESCAPE);
    HWND ok = ui.Find(list_window, list_ids::kOk);
    PressKey(list, VK_TAB);
    PressKey(list, VK_TAB);
    ui.WaitUntil([&] { return GetForegroundWindow() == list_window; }, "the list window");
    Sleep(200);
    PressKey(ok, VK_F1);
    if (ui.WaitUntil([&] { return services.OwnPopup().Visible(); }, "the help of OK"))
      ok_help = services.OwnPopup().Text();
    ui.Send(services.OwnPopup().Handle(), WM_KEYDOWN, VK_ESCAPE);

    // Esc with no row being edited closes the window.
    PressKey(list, VK_ESCAPE);
  });
  EXPECT_EQ(view.ShowModal(), mrCancel);
  ExpectNoFailures(script);
  EXPECT_TRUE(open_after_esc);
  EXPECT_EQ(driver->GetSettingValueInt("PrintWidth"), 58);
  EXPECT_EQ(row_help, L"Ширина области печати");
  EXPECT_EQ(ok_help, L"Сохранить настройки и закрыть окно");
}

TEST_F(SettingsWindowGuiTest, ResetThenCancelKeepsTheDefaults) {
  driver->SetSettingValue("PrintWidth", Variant(80));
  win32::SettingsWindowView view(*driver, PrinterPage());
  ASSERT_TRUE(view.Create());
  std::wstring width_after_reset;
  UiScript script([&](UiScript& ui) {
    HWND window = ui.WaitForWindow(L"Настройки");
    if (window == nullptr) return;
    ui.Send(window, WM_COMMAND, MAKEWPARAM(window_ids::kMenuFirst + kMenuReset, 0), 0);
    width_after_reset = test::TextOf(ui.Find(window, page_ids::kPrintWidth));
    Click(ui, window, window_ids::kCancel);
  });
  EXPECT_EQ(view.ShowModal(), mrCancel);
  ExpectNoFailures(script);
  EXPECT_EQ(width_after_reset, L"58");
  EXPECT_EQ(driver->GetSettingValueInt("PrintWidth"), 58);
}

TEST_F(SettingsWindowGuiTest, HelpForTheOkButtonShowsItsPopup) {
  win32::SettingsWindowView view(*driver, PrinterPage());
  ASSERT_TRUE(view.Create());
  std::wstring popup_text;
  UiScript script([&](UiScript& ui) {
    HWND window = ui.WaitForWindow(L"Настройки");
    if (window == nullptr) return;
    HWND ok = ui.Find(window, window_ids::kOk);
    RECT rect{};
    GetWindowRect(ok, &rect);
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = window_ids::kOk;
    info.hItemHandle = ok;
    info.MousePos = POINT{rect.left + 5, rect.top + 5};
    ui.Send(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    ui.WaitUntil([&] { return view.Services().OwnPopup().Visible(); }, "the help popup");
    popup_text = view.Services().OwnPopup().Text();
    ui.Send(view.Services().OwnPopup().Handle(), WM_KEYDOWN, VK_ESCAPE);
    Click(ui, window, window_ids::kCancel);
  });
  EXPECT_EQ(view.ShowModal(), mrCancel);
  ExpectNoFailures(script);
  EXPECT_EQ(popup_text, L"Сохранить настройки и закрыть окно");
}

std::wstring FolderOf(const std::wstring& path) {
  return path.substr(0, path.find_last_of(L"\\/"));
}

// Copies of the planted module under the HTML Help control's name, removed again at the end.
class PlantedHelpControl {
 public:
  explicit PlantedHelpControl(const std::vector<std::wstring>& folders) {
    for (const std::wstring& folder : folders) {
      const std::wstring path = folder + L"\\hhctrl.ocx";
      if (CopyFileW(L"" PIRELL_FAKE_HHCTRL, path.c_str(), FALSE)) planted_.push_back(path);
    }
  }
  ~PlantedHelpControl() {
    for (const std::wstring& path : planted_) DeleteFileW(path.c_str());
  }
  std::size_t Count() const { return planted_.size(); }

 private:
  std::vector<std::wstring> planted_;
};

TEST(HtmlHelpViewerTest, ComesFromTheSystemFolderOnly) {
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring current =
      std::wstring(temp) + L"pirell-hhctrl-" + std::to_wstring(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryW(current.c_str(), nullptr));
  wchar_t current_before[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current_before);
  std::wstring loaded_from;
  {
    PlantedHelpControl planted({FolderOf(program), current});
    ASSERT_EQ(planted.Count(), 2u);
    SetCurrentDirectoryW(current.c_str());
    win32::HtmlHelpViewer viewer;
    loaded_from = viewer.ModulePath();
    SetCurrentDirectoryW(current_before);
  }
  RemoveDirectoryW(current.c_str());
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  EXPECT_EQ(CompareStringOrdinal(FolderOf(loaded_from).c_str(), -1, system, -1, TRUE), CSTR_EQUAL)
      << "loaded from " << ::testing::PrintToString(loaded_from);
}

TEST_F(SettingsWindowGuiTest, TheDriverShowsTheRealWindowThroughTheSeam) {
  UiScript script([&](UiScript& ui) {
    HWND window = ui.WaitForWindow(L"Настройки");
    if (window == nullptr) return;
    Choose(ui, ui.Find(window, page_ids::kPrintSpeed), 0);  // 1.50 IPS
    Click(ui, window, window_ids::kOk);
  });
  EXPECT_TRUE(ShowSettingsWindow(*driver, PrinterPage()));
  ExpectNoFailures(script);
  EXPECT_EQ(driver->GetSettingValueInt("PrintSpeed"), 1);
}

}  // namespace
}  // namespace pirell
