#include "settings_ui/windows/settings_window_view.h"

#include <commctrl.h>

#include <algorithm>

#include "settings_ui/windows/info_page_view.h"
#include "settings_ui/windows/logo_drawing.h"
#include "settings_ui/windows/modal_loop.h"
#include "settings_ui/windows/ui_font.h"

namespace pirell::win32 {
namespace {

namespace ids = settings_window_ids;

constexpr int kButtonWidth = 75;
constexpr int kMoreWidth = 100;
constexpr int kButtonHeight = 25;
constexpr int kMargin = 8;
constexpr int kLogoSize = 32;
constexpr int kContentBorder = 2;

void CentreOnScreen(HWND window) {
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT rect{};
  GetWindowRect(window, &rect);
  SetWindowPos(window, nullptr, area.left + (area.right - area.left - (rect.right - rect.left)) / 2,
               area.top + (area.bottom - area.top - (rect.bottom - rect.top)) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Packs a screen point as the help handler's data word: x low, y high, 16 bits each.
std::uintptr_t PackPoint(POINT pos) {
  return (static_cast<std::uintptr_t>(static_cast<std::uint16_t>(pos.y)) << 16) |
         static_cast<std::uint16_t>(pos.x);
}

}  // namespace

SettingsWindowView::SettingsWindowView(TBaseDevice& device, const TPageClasses& page_classes)
    : form_(device, page_classes, services_),
      header_brush_(CreateSolidBrush(ColourOf(TfrmCommonSettings::kHeaderColorRgb))) {
  menu_images_[0].reset(CreateMenuImage(0));
  menu_images_[1].reset(CreateMenuImage(1));
}

SettingsWindowView::~SettingsWindowView() {
  services_.CloseOwnPopup();
  services_.SetHintLookup(nullptr);
  services_.SetOwnerWindow(nullptr);
  // The pages' panels go before the window that holds them.
  pages_.clear();
}

bool SettingsWindowView::Create() {
  InitCommonControlsOnce();
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  const DWORD ex_style = WS_EX_DLGMODALFRAME | WS_EX_CONTEXTHELP | WS_EX_CONTROLPARENT;
  // The smallest window is 320 by 400 with its frame.
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, style, FALSE, ex_style);
  const int width =
      std::max<int>(form_.ClientWidth, TfrmCommonSettings::kMinWidth - (frame.right - frame.left));
  const int height = std::max<int>(form_.ClientHeight,
                                   TfrmCommonSettings::kMinHeight - (frame.bottom - frame.top));
  if (!CreateFrame(ex_style, style, W(form_.Caption), GetActiveWindow(), width, height))
    return false;
  HWND window = Handle();
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), 0);
  services_.SetOwnerWindow(window);
  services_.SetHintLookup([this](HWND control) -> std::optional<std::string> {
    if (const TControlModel* model = ModelOf(control)) return model->Hint;
    return std::nullopt;
  });

  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, ThisModule(), nullptr);
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
  if (form_.ShowHint) bindings_.SetTooltip(tooltip_);

  logo_ = CreateControl(window, L"STATIC", L"", WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY, 0, 0, 0, 0,
                        ids::kLogo);
  model_name_ =
      CreateControl(window, L"STATIC", L"", WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0,
                    0, 0, 0, ids::kModelName);
  SendMessageW(model_name_, WM_SETFONT, reinterpret_cast<WPARAM>(UiBoldFont()), 0);
  version_ = CreateControl(window, L"STATIC", L"", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                           ids::kVersion);
  tabs_ = CreateControl(window, WC_TABCONTROLW, L"",
                        WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | TCS_MULTILINE, 0, 0, 0, 0,
                        ids::kPages);
  more_ = CreateControl(window, L"BUTTON", L"", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
                        ids::kMore);
  ok_ = CreateControl(window, L"BUTTON", L"", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0,
                      0, ids::kOk);
  cancel_ = CreateControl(window, L"BUTTON", L"", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0,
                          0, ids::kCancel);
  bindings_.Bind(logo_, form_.imgLogo);
  bindings_.BindCaption(model_name_, form_.lbModelName);
  bindings_.BindCaption(version_, form_.lbDiverVersion);
  bindings_.Bind(tabs_, form_.pcPages);
  bindings_.BindCaption(more_, form_.btnSetDefault);
  bindings_.BindCaption(ok_, form_.btnOK);
  bindings_.BindCaption(cancel_, form_.btnCancel);

  for (const auto& page : form_.Pages()) pages_.push_back(MakePageView(*page));
  pages_.push_back(std::make_unique<InfoPageView>(form_.InfoRows));
  Layout(width, height);
  CentreOnScreen(window);
  Push();
  ShowSelectedTab();
  return true;
}

void SettingsWindowView::Layout(int width, int height) {
  const int header = TfrmCommonSettings::kHeaderHeight;
  const int footer = TfrmCommonSettings::kFooterHeight;
  MoveWindow(logo_, 4, (header - kLogoSize) / 2, kLogoSize, kLogoSize, TRUE);
  MoveWindow(model_name_, 8 + kLogoSize, 3, width - 12 - kLogoSize, 15, TRUE);
  MoveWindow(version_, 8 + kLogoSize, 19, width - 12 - kLogoSize, 15, TRUE);
  const int content_bottom = height - footer;
  // The tabs need their captions before the page area can be measured.
  Push();
  MoveWindow(tabs_, kContentBorder, header + kContentBorder, width - 2 * kContentBorder,
             content_bottom - header - 2 * kContentBorder, TRUE);
  RECT area{};
  GetClientRect(tabs_, &area);
  SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  MapWindowPoints(tabs_, Handle(), reinterpret_cast<POINT*>(&area), 2);
  for (auto& page : pages_) {
    page->SetTooltip(form_.ShowHint ? tooltip_ : nullptr);
    page->AfterHandler = [this] { Push(); };
    page->Create(Handle(), area);
  }
  const int button_top = content_bottom + (footer - kButtonHeight) / 2;
  MoveWindow(more_, kMargin, button_top, kMoreWidth, kButtonHeight, TRUE);
  MoveWindow(cancel_, width - kMargin - kButtonWidth, button_top, kButtonWidth, kButtonHeight,
             TRUE);
  MoveWindow(ok_, width - kMargin - 2 * kButtonWidth - 6, button_top, kButtonWidth, kButtonHeight,
             TRUE);
}

HWND SettingsWindowView::PagePanel(int index) const {
  if (index < 0 || index >= static_cast<int>(pages_.size())) return nullptr;
  return pages_[static_cast<std::size_t>(index)]->Handle();
}

void SettingsWindowView::Push() {
  if (Handle() == nullptr) return;
  if (pushed_tabs_ != form_.pcPages.Tabs) {
    SendMessageW(tabs_, TCM_DELETEALLITEMS, 0, 0);
    for (std::size_t i = 0; i < form_.pcPages.Tabs.size(); ++i) {
      std::wstring caption = W(form_.pcPages.Tabs[i]);
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = caption.data();
      SendMessageW(tabs_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    pushed_tabs_ = form_.pcPages.Tabs;
  }
  if (SendMessageW(tabs_, TCM_GETCURSEL, 0, 0) != form_.pcPages.TabIndex) {
    SendMessageW(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(form_.pcPages.TabIndex), 0);
    ShowSelectedTab();
  }
  bindings_.Push();
  for (auto& page : pages_)
    if (page->Handle() != nullptr) page->Push();
}

template <class Handler>
void SettingsWindowView::Run(Handler&& handler) {
  try {
    handler();
  } catch (...) {
    Push();
    throw;
  }
  Push();
}

void SettingsWindowView::ShowSelectedTab() {
  const int selected = form_.pcPages.TabIndex;
  HWND shown = nullptr;
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    HWND panel = pages_[i]->Handle();
    if (panel == nullptr) continue;
    if (static_cast<int>(i) == selected) {
      shown = panel;
      continue;
    }
    if (GetWindowLongW(panel, GWL_STYLE) & WS_VISIBLE) ShowWindow(panel, SW_HIDE);
  }
  if (shown != nullptr && (GetWindowLongW(shown, GWL_STYLE) & WS_VISIBLE) == 0) {
    SetWindowPos(shown, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(shown, SW_SHOWNA);
  }
  UpdateShowing();
}

void SettingsWindowView::UpdateShowing() {
  const bool window_shown = IsWindowVisible(Handle()) != FALSE;
  for (std::size_t i = 0; i < pages_.size(); ++i)
    pages_[i]->SetShowing(window_shown && static_cast<int>(i) == form_.pcPages.TabIndex);
}

UniqueMenu SettingsWindowView::BuildMenu() {
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return menu;
  const std::vector<const TMenuItemModel*> items = form_.mAdditionaly();
  bool item_before = false;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const TMenuItemModel& item = *items[i];
    if (!item.Visible) continue;
    const UINT id = static_cast<UINT>(ids::kMenuFirst + static_cast<int>(i));
    if (item.IsSeparator()) {
      // A separator shows only between two shown items (a hidden help item leaves none).
      const bool item_after = std::any_of(
          items.begin() + static_cast<std::ptrdiff_t>(i) + 1, items.end(),
          [](const TMenuItemModel* next) { return next->Visible && !next->IsSeparator(); });
      if (item_before && item_after) AppendMenuW(menu.get(), MF_SEPARATOR, id, nullptr);
      item_before = false;
      continue;
    }
    item_before = true;
    const std::wstring caption = W(item.Caption);
    AppendMenuW(menu.get(), MF_STRING | (item.Enabled ? MF_ENABLED : MF_GRAYED), id,
                caption.c_str());
    if (item.ImageIndex == 0 || item.ImageIndex == 1) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_BITMAP;
      info.hbmpItem = menu_images_[item.ImageIndex].get();
      SetMenuItemInfoW(menu.get(), id, FALSE, &info);
    }
  }
  return menu;
}

void SettingsWindowView::OpenMenu() {
  UniqueMenu menu = BuildMenu();
  if (!menu) return;
  RECT button{};
  GetWindowRect(more_, &button);
  TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, button.left,
                 button.bottom, 0, Handle(), nullptr);
}

void SettingsWindowView::OnCommand(int id, int code) {
  switch (id) {
    case ids::kOk:
      if (code == BN_CLICKED) Run([&] { form_.btnOKClick(); });
      return;
    case ids::kCancel:
      if (code == BN_CLICKED) Run([&] { form_.btnCancelClick(); });
      return;
    case ids::kMore:
      if (code == BN_CLICKED) OpenMenu();
      return;
    case ids::kLogo:
      if (code == STN_CLICKED) Run([&] { form_.imgLogoClick(); });
      return;
    default:
      break;
  }
  const std::vector<const TMenuItemModel*> items = form_.mAdditionaly();
  const int index = id - ids::kMenuFirst;
  if (index < 0 || index >= static_cast<int>(items.size())) return;
  const TMenuItemModel& item = *items[static_cast<std::size_t>(index)];
  if (item.Visible && item.Enabled && item.OnClick) Run([&] { item.OnClick(); });
}

const TControlModel* SettingsWindowView::ModelOf(HWND control) const {
  if (const TControlModel* model = bindings_.ModelOf(control)) return model;
  for (const auto& page : pages_) {
    if (control == page->Handle()) return &form_.pcPages;  // the page area
    if (const TControlModel* model = page->ModelOf(control)) return model;
  }
  return nullptr;
}

int SettingsWindowView::HelpContextOf(HWND control) const {
  // A control without a help context of its own takes its parent's, as far as the window's.
  for (HWND window = control; window != nullptr && window != Handle(); window = GetParent(window)) {
    if (const TControlModel* model = ModelOf(window); model != nullptr && model->HelpContext != 0)
      return model->HelpContext;
  }
  return form_.HelpContext;
}

void SettingsWindowView::Help(HWND control, POINT pos) {
  const int context = HelpContextOf(control);
  Run([&] {
    form_.FormHelp(HELP_SETPOPUP_POS, PackPoint(pos));
    form_.FormHelp(HELP_CONTEXTPOPUP, static_cast<std::uintptr_t>(context));
  });
}

bool SettingsWindowView::PreTranslate(MSG& msg) {
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1 &&
      (msg.hwnd == Handle() || IsChild(Handle(), msg.hwnd))) {
    HWND focused = GetFocus();
    RECT rect{};
    GetWindowRect(focused != nullptr ? focused : Handle(), &rect);
    Help(focused != nullptr ? focused : Handle(), POINT{rect.left, rect.bottom});
    return true;
  }
  return false;
}

LRESULT SettingsWindowView::HandleMessage(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (window != Handle()) return Win32Window::HandleMessage(window, msg, wparam, lparam);
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lparam);
      if (header.hwndFrom == tabs_ && header.code == TCN_SELCHANGE) {
        form_.pcPages.TabIndex = static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0));
        ShowSelectedTab();
        Push();
        return 0;
      }
      break;
    }
    case WM_HELP: {
      const auto& info = *reinterpret_cast<const HELPINFO*>(lparam);
      HWND control =
          info.iContextType == HELPINFO_WINDOW ? static_cast<HWND>(info.hItemHandle) : Handle();
      Help(control, info.MousePos);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
      HWND control = reinterpret_cast<HWND>(lparam);
      if (control == model_name_ || control == version_) {
        HDC dc = reinterpret_cast<HDC>(wparam);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(header_brush_.get());
      }
      break;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item.hwndItem == logo_) {
        DrawLogo(item.hDC, item.rcItem, ColourOf(TfrmCommonSettings::kHeaderColorRgb));
        return TRUE;
      }
      break;
    }
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wparam) == logo_) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client{};
      GetClientRect(window, &client);
      RECT header{0, 0, client.right, TfrmCommonSettings::kHeaderHeight};
      FillRect(dc, &header, header_brush_.get());
      RECT footer{0, client.bottom - TfrmCommonSettings::kFooterHeight, client.right,
                  client.bottom};
      DrawEdge(dc, &footer, EDGE_ETCHED, BF_TOP);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_CLOSE:
      Run([&] { form_.btnCancelClick(); });
      return 0;
    case WM_NCDESTROY:
      Forget();
      break;
    default:
      break;
  }
  return Win32Window::HandleMessage(window, msg, wparam, lparam);
}

TModalResult SettingsWindowView::ShowModal() {
  if (Handle() == nullptr && !Create()) return mrCancel;
  form_.ModalResult = mrNone;
  Push();
  ShowWindow(Handle(), SW_SHOW);
  UpdateShowing();
  SetFocus(tabs_);
  bool closed = false;
  RunModal(
      Handle(),
      [&] {
        if (closed) return true;
        if (form_.ModalResult == mrNone) return false;
        // A page that vetoes the save keeps the window open.
        Run([&] { form_.FormClose(); });
        closed = form_.ModalResult != mrNone;
        return closed;
      },
      [this](MSG& msg) { return PreTranslate(msg); });
  UpdateShowing();
  if (!closed) {
    // The window went away without a result (destroyed from outside): as a Cancel.
    form_.ModalResult = mrCancel;
    form_.FormClose();
  }
  return form_.ModalResult;
}

}  // namespace pirell::win32
