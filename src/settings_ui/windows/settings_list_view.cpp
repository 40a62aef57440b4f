#include "settings_ui/windows/settings_list_view.h"

#include <commctrl.h>

#include <algorithm>

#include "settings_ui/windows/modal_loop.h"
#include "settings_ui/windows/ui_font.h"

namespace pirell::win32 {
namespace {

namespace ids = settings_list_ids;

constexpr int kButtonWidth = 75;
constexpr int kDefaultButtonWidth = 90;
constexpr int kButtonHeight = 25;
constexpr int kMargin = 8;

TKey KeyOf(WPARAM key) {
  switch (key) {
    case VK_RETURN:
      return TKey::Enter;
    case VK_ESCAPE:
      return TKey::Escape;
    case VK_F2:
      return TKey::F2;
    case VK_F1:
      return TKey::F1;
    default:
      return TKey::Other;
  }
}

// Centres a window on the work area of the primary monitor.
void CentreOnScreen(HWND window) {
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT rect{};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

SettingsListView::SettingsListView(TBaseDevice& device, Win32SettingsUiServices& services)
    : form_(device), services_(services) {
  form_.ItemDisplayRect = [this](int index) {
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    if (list_ == nullptr || !SendMessageW(list_, LVM_GETITEMRECT, static_cast<WPARAM>(index),
                                          reinterpret_cast<LPARAM>(&rect)))
      return TRect{};
    return TRect{rect.left, rect.top, rect.right, rect.bottom};
  };
  form_.OnRowChanged = [this](int index) {
    if (list_ == nullptr) return;
    if (index < 0) {
      InvalidateRect(list_, nullptr, TRUE);
    } else {
      SendMessageW(list_, LVM_REDRAWITEMS, static_cast<WPARAM>(index), static_cast<LPARAM>(index));
    }
  };
  form_.OnFocus = [this](const TControlModel& control) {
    // The editor is shown first, so that it can take the focus.
    Push();
    if (HWND target = bindings_.ControlOf(&control)) SetFocus(target);
  };
}

SettingsListView::~SettingsListView() {
  form_.ItemDisplayRect = nullptr;
  form_.OnRowChanged = nullptr;
  form_.OnFocus = nullptr;
  if (edit_ != nullptr) RemoveWindowSubclass(edit_, &EditorSubclass, 0);
  if (combo_ != nullptr) RemoveWindowSubclass(combo_, &EditorSubclass, 0);
  if (list_ != nullptr) RemoveWindowSubclass(list_, &ListSubclass, 0);
}

bool SettingsListView::Create() {
  InitCommonControlsOnce();
  if (!CreateFrame(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT,
                   WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, W(form_.Caption),
                   GetActiveWindow(), form_.ClientWidth, form_.ClientHeight))
    return false;
  HWND frame = Handle();
  SendMessageW(frame, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), 0);

  list_ = CreateControl(frame, WC_LISTVIEWW, L"",
                        WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | LVS_REPORT | LVS_OWNERDATA |
                            LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                        0, 0, 0, 0, ids::kList, WS_EX_CLIENTEDGE);
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_FLATSB);
  for (std::size_t i = 0; i < form_.lvSettings.Columns.size(); ++i) {
    std::wstring caption = W(form_.lvSettings.Columns[i].Caption);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = caption.data();
    column.cx = form_.lvSettings.Columns[i].Width;
    column.iSubItem = static_cast<int>(i);
    SendMessageW(list_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  SendMessageW(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(form_.lvSettings.RowCount), 0);

  status_ = CreateControl(frame, L"STATIC", L"", WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_SUNKEN, 0,
                          0, 0, 0, ids::kStatus);
  default_ = CreateControl(frame, L"BUTTON", L"", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0,
                           0, ids::kDefault);
  ok_ = CreateControl(frame, L"BUTTON", L"", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0,
                      ids::kOk);
  cancel_ = CreateControl(frame, L"BUTTON", L"", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0,
                          0, ids::kCancel);
  edit_ = CreateControl(frame, L"EDIT", L"", WS_BORDER | ES_AUTOHSCROLL | WS_CLIPSIBLINGS, 0, 0, 0,
                        0, ids::kEdit);
  combo_ = CreateControl(frame, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_CLIPSIBLINGS,
                         0, 0, 0, 0, ids::kCombo);
  SetWindowSubclass(edit_, &EditorSubclass, 0, reinterpret_cast<DWORD_PTR>(this));
  SetWindowSubclass(combo_, &EditorSubclass, 0, reinterpret_cast<DWORD_PTR>(this));
  SetWindowSubclass(list_, &ListSubclass, 0, reinterpret_cast<DWORD_PTR>(this));

  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, frame, nullptr, ThisModule(), nullptr);
  if (form_.ShowHint) bindings_.SetTooltip(tooltip_);
  bindings_.Bind(list_, form_.lvSettings);
  bindings_.BindCaption(status_, form_.stStatus);
  bindings_.BindCaption(default_, form_.btnDefault);
  bindings_.BindCaption(ok_, form_.btnOK);
  bindings_.BindCaption(cancel_, form_.btnCancel);
  bindings_.BindText(edit_, nullptr, form_.edEdit);
  bindings_.BindList(combo_, nullptr, form_.cbEdit);

  Layout();
  CentreOnScreen(frame);
  Push();
  return true;
}

void SettingsListView::Layout() {
  RECT client{};
  GetClientRect(Handle(), &client);
  const int width = client.right;
  const int footer_top = client.bottom - TfrmSettingsList::kFooterHeight;
  const int status_top = footer_top - TfrmSettingsList::kStatusHeight;
  MoveWindow(list_, 0, 0, width, status_top, TRUE);
  MoveWindow(status_, 0, status_top, width, TfrmSettingsList::kStatusHeight, TRUE);
  const int button_top = footer_top + (TfrmSettingsList::kFooterHeight - kButtonHeight) / 2;
  MoveWindow(default_, kMargin, button_top, kDefaultButtonWidth, kButtonHeight, TRUE);
  MoveWindow(cancel_, width - kMargin - kButtonWidth, button_top, kButtonWidth, kButtonHeight,
             TRUE);
  MoveWindow(ok_, width - kMargin - 2 * kButtonWidth - 6, button_top, kButtonWidth, kButtonHeight,
             TRUE);
}

HWND SettingsListView::EditorWindow() const {
  return form_.EditControl() == &form_.cbEdit ? combo_ : edit_;
}

void SettingsListView::Push() {
  if (Handle() == nullptr) return;
  for (const TControlModel* model : {static_cast<const TControlModel*>(&form_.edEdit),
                                     static_cast<const TControlModel*>(&form_.cbEdit)}) {
    if (!model->Visible) continue;
    HWND editor = bindings_.ControlOf(model);
    const TRect& bounds = model->BoundsRect;
    // A drop-down list is as high as its closed box plus its opened list.
    const int height = editor == combo_ ? bounds.Height() + 80 : bounds.Height();
    SetWindowPos(editor, HWND_TOP, bounds.Left, bounds.Top, bounds.Width(), height, SWP_NOACTIVATE);
  }
  bindings_.Push();
}

template <class Handler>
void SettingsListView::Run(Handler&& handler) {
  ++handler_depth_;
  try {
    handler();
  } catch (...) {
    --handler_depth_;
    Push();
    throw;
  }
  --handler_depth_;
  Push();
}

void SettingsListView::SelectionChanged(int item) {
  if (handler_depth_ > 0) return;
  form_.lvSettings.ItemIndex = static_cast<int>(
      SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  Run([&] { form_.lvSettingsChange(item); });
}

bool SettingsListView::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.hwndFrom != list_) return false;
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      auto& info = reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header));
      if ((info.item.mask & LVIF_TEXT) && info.item.pszText != nullptr &&
          info.item.cchTextMax > 0) {
        const auto texts = form_.RowTexts(info.item.iItem);
        const int column = std::clamp(info.item.iSubItem, 0, 2);
        const std::wstring text = W(texts[static_cast<std::size_t>(column)]);
        lstrcpynW(info.item.pszText, text.c_str(), info.item.cchTextMax);
      }
      return true;
    }
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if ((change.uChanged & LVIF_STATE) &&
          ((change.uNewState ^ change.uOldState) & (LVIS_SELECTED | LVIS_FOCUSED)))
        SelectionChanged(change.iItem);
      return true;
    }
    case LVN_ODSTATECHANGED: {
      const auto& change = reinterpret_cast<const NMLVODSTATECHANGE&>(header);
      SelectionChanged(change.iFrom);
      return true;
    }
    case NM_DBLCLK:
      Run([&] { form_.lvSettingsDblClick(); });
      return true;
    default:
      break;
  }
  (void)result;
  return false;
}

void SettingsListView::OnCommand(int id, int code, HWND control) {
  switch (id) {
    case ids::kDefault:
      if (code == BN_CLICKED) Run([&] { form_.btnDefaultClick(); });
      break;
    case ids::kOk:
      if (code == BN_CLICKED) Run([&] { form_.btnOKClick(); });
      break;
    case ids::kCancel:
      if (code == BN_CLICKED) {
        // Esc reaches the window as the Cancel command; the list sees the key first.
        if (GetFocus() == list_) Run([&] { form_.lvSettingsKeyDown(TKey::Escape); });
        Run([&] { form_.btnCancelClick(); });
      }
      break;
    case ids::kMenuEdit:
      Run([&] { form_.miEditClick(); });
      break;
    case ids::kMenuDefault:
      Run([&] { form_.miDefaultClick(); });
      break;
    case ids::kEdit:
      if (code == EN_KILLFOCUS && handler_depth_ == 0) {
        bindings_.Pull(control);
        Run([&] { form_.EditorExit(); });
      }
      break;
    case ids::kCombo:
      if (code == CBN_SELCHANGE) {
        bindings_.Pull(control);
      } else if (code == CBN_KILLFOCUS && handler_depth_ == 0) {
        bindings_.Pull(control);
        Run([&] { form_.EditorExit(); });
      }
      break;
    default:
      break;
  }
}

void SettingsListView::ShowContextMenu(POINT screen_point) {
  if (screen_point.x == -1 && screen_point.y == -1) {
    // From the keyboard: at the selected row, or at the list's corner.
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    if (form_.lvSettings.ItemIndex < 0 ||
        !SendMessageW(list_, LVM_GETITEMRECT, static_cast<WPARAM>(form_.lvSettings.ItemIndex),
                      reinterpret_cast<LPARAM>(&rect)))
      rect = RECT{0, 0, 0, 0};
    screen_point = POINT{rect.left, rect.bottom};
    ClientToScreen(list_, &screen_point);
  }
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return;
  const std::pair<const TMenuItemModel*, int> items[] = {{&form_.miEdit, ids::kMenuEdit},
                                                         {&form_.miDefault, ids::kMenuDefault}};
  for (const auto& [item, id] : items) {
    if (!item->Visible) continue;
    const std::wstring caption = W(item->Caption);
    AppendMenuW(menu.get(), MF_STRING | (item->Enabled ? MF_ENABLED : MF_GRAYED),
                static_cast<UINT_PTR>(id), caption.c_str());
  }
  TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, screen_point.x,
                 screen_point.y, 0, Handle(), nullptr);
}

LRESULT SettingsListView::HandleMessage(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (window != Handle()) return Win32Window::HandleMessage(window, msg, wparam, lparam);
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
      return 0;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (OnNotify(*reinterpret_cast<const NMHDR*>(lparam), result)) return result;
      break;
    }
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wparam) == list_) {
        ShowContextMenu(
            POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))});
        return 0;
      }
      break;
    case WM_CLOSE:
      Run([&] { form_.btnCancelClick(); });
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client{};
      GetClientRect(window, &client);
      // The footer's top edge is bevelled.
      RECT edge{0, client.bottom - TfrmSettingsList::kFooterHeight, client.right, client.bottom};
      DrawEdge(dc, &edge, EDGE_ETCHED, BF_TOP);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_NCDESTROY:
      Forget();
      break;
    default:
      break;
  }
  return Win32Window::HandleMessage(window, msg, wparam, lparam);
}

LRESULT CALLBACK SettingsListView::EditorSubclass(HWND window, UINT msg, WPARAM wparam,
                                                  LPARAM lparam, UINT_PTR, DWORD_PTR self_param) {
  auto* self = reinterpret_cast<SettingsListView*>(self_param);
  switch (msg) {
    case WM_GETDLGCODE:
      // Enter and Esc belong to the editor, not to the window's default and Cancel buttons.
      return DefSubclassProc(window, msg, wparam, lparam) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (wparam == VK_RETURN || wparam == VK_ESCAPE) {
        // An open drop-down list closes first.
        if (window == self->combo_ && SendMessageW(window, CB_GETDROPPEDSTATE, 0, 0)) break;
        self->bindings_.Pull(window);
        self->Run([&] { self->form_.EditorKeyDown(KeyOf(wparam)); });
        return 0;
      }
      break;
    case WM_CHAR:
      if (wparam == L'\r' || wparam == 27) return 0;  // no beep for the keys handled above
      break;
    default:
      break;
  }
  return DefSubclassProc(window, msg, wparam, lparam);
}

LRESULT CALLBACK SettingsListView::ListSubclass(HWND window, UINT msg, WPARAM wparam, LPARAM lparam,
                                                UINT_PTR, DWORD_PTR self_param) {
  auto* self = reinterpret_cast<SettingsListView*>(self_param);
  switch (msg) {
    case WM_GETDLGCODE: {
      const auto* key = reinterpret_cast<const MSG*>(lparam);
      if (key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
        return DefSubclassProc(window, msg, wparam, lparam) | DLGC_WANTALLKEYS;
      break;
    }
    case WM_KEYDOWN:
      if (wparam == VK_RETURN || wparam == VK_F2) {
        self->Run([&] { self->form_.lvSettingsKeyDown(KeyOf(wparam)); });
        return 0;
      }
      break;
    case WM_CHAR:
      if (wparam == L'\r') return 0;
      break;
    default:
      break;
  }
  return DefSubclassProc(window, msg, wparam, lparam);
}

bool SettingsListView::PreTranslate(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_F1 ||
      (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd)))
    return false;
  HWND focused = GetFocus();
  const TControlModel* model = nullptr;
  // A part of a control (a combo box's list) answers for the control.
  for (HWND window = focused; window != nullptr && window != Handle() && model == nullptr;
       window = GetParent(window))
    model = bindings_.ModelOf(window);
  RECT rect{};
  GetWindowRect(focused != nullptr ? focused : Handle(), &rect);
  if (model != nullptr)
    services_.ShowHelpPopup(form_.ControlHelp(*model), {rect.left, rect.bottom});
  return true;
}

TModalResult SettingsListView::ShowModal() {
  if (Handle() == nullptr && !Create()) return mrCancel;
  form_.ModalResult = mrNone;
  Push();
  ShowWindow(Handle(), SW_SHOW);
  SetFocus(list_);
  const HWND services_owner = services_.OwnerWindow();
  services_.SetOwnerWindow(Handle());
  RunModal(
      Handle(), [this] { return form_.ModalResult != mrNone; },
      [this](MSG& msg) { return PreTranslate(msg); });
  services_.CloseOwnPopup();
  services_.SetOwnerWindow(services_owner);
  return form_.ModalResult == mrNone ? mrCancel : form_.ModalResult;
}

}  // namespace pirell::win32
