#include "settings_ui/windows/main_settings_view.h"

#include "platform/windows/gdi_handles.h"
#include "settings_ui/windows/logo_drawing.h"

namespace pirell::win32 {
namespace {

namespace ids = main_settings_ids;

constexpr int kPictureWidth = 160;
constexpr int kPictureHeight = 250;
constexpr int kRowHeight = 25;
constexpr int kComboDropHeight = 200;

}  // namespace

void MainSettingsView::CreateControls(int width, int height) {
  HWND panel = Handle();
  (void)height;
  HWND picture = CreateControl(panel, L"STATIC", L"", WS_VISIBLE | SS_OWNERDRAW, 4, 4,
                               kPictureWidth, kPictureHeight, ids::kLabelPicture);
  bindings_.Bind(picture, form_.imgLabel);

  const int left = kPictureWidth + 12;
  const int right = width - 6;
  const int label_width = 150;
  const int field_left = left + label_width;
  const int field_width = right - field_left;
  int y = 6;

  auto add_list = [&](TListModel& model, int id, int x, int label_w, int w, DWORD kind) {
    HWND label = Label(x, y, label_w, 0);
    HWND combo = CreateControl(panel, L"COMBOBOX", L"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | kind,
                               x + label_w, y, w, kComboDropHeight, id);
    bindings_.BindList(combo, label, model);
    y += kRowHeight;
  };
  auto add_text = [&](TTextModel& model, int id, int x, int label_w, int w) {
    HWND label = Label(x, y, label_w, 0);
    HWND edit = CreateControl(panel, L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                              x + label_w, y, w, 21, id, WS_EX_CLIENTEDGE);
    bindings_.BindText(edit, label, model);
    y += kRowHeight;
  };

  add_list(form_.cbbPrinterType, ids::kPrinterType, left, label_width - 50, field_width + 50,
           CBS_DROPDOWNLIST);
  add_list(form_.cbbPrinterModel, ids::kPrinterModel, left, label_width - 50, field_width + 50,
           CBS_DROPDOWNLIST);

  y += 4;
  const int group_inner = left + 10;
  const int group_label = label_width - 10;
  HWND paper = CreateControl(panel, L"BUTTON", L"", WS_VISIBLE | BS_GROUPBOX, left, y, right - left,
                             3 * kRowHeight + 24, ids::kPaperGroup);
  bindings_.BindCaption(paper, form_.grpPaperParams);
  y += 18;
  add_text(form_.edtPrintWidth, ids::kPrintWidth, group_inner, group_label, 60);
  add_text(form_.edtPrintHeight, ids::kPrintHeight, group_inner, group_label, 60);
  add_text(form_.edtPrintGap, ids::kPrintGap, group_inner, group_label, 60);

  y += 10;
  HWND printer = CreateControl(panel, L"BUTTON", L"", WS_VISIBLE | BS_GROUPBOX, left, y,
                               right - left, 3 * kRowHeight + 24, ids::kPrinterGroup);
  bindings_.BindCaption(printer, form_.grpPrinterParams);
  y += 18;
  const int group_field = right - 10 - (group_inner + group_label);
  add_list(form_.cbbDarkness, ids::kDarkness, group_inner, group_label, 60, CBS_DROPDOWN);
  add_list(form_.cbbPrintSpeed, ids::kPrintSpeed, group_inner, group_label, group_field,
           CBS_DROPDOWNLIST);
  add_list(form_.cbbPrintMode, ids::kPrintMode, group_inner, group_label, group_field,
           CBS_DROPDOWNLIST);

  y += 12;
  HWND initialize = CreateControl(panel, L"BUTTON", L"", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                  right - 170, y, 170, 25, ids::kInitialize);
  bindings_.BindCaption(initialize, form_.btnInitialize);
}

void MainSettingsView::OnCommand(int id, int code, HWND control) {
  switch (id) {
    case ids::kPrinterType:
      if (code == CBN_SELCHANGE) {
        bindings_.Pull(control);
        Run([&] { form_.cbbPrinterTypeChange(); });
      }
      break;
    case ids::kPrinterModel:
      if (code == CBN_SELCHANGE) {
        bindings_.Pull(control);
        Run([&] { form_.cbbPrinterModelChange(); });
      }
      break;
    case ids::kDarkness:
    case ids::kPrintSpeed:
    case ids::kPrintMode:
      if (code == CBN_SELCHANGE) bindings_.Pull(control);
      if (code == CBN_EDITCHANGE) bindings_.Pull(control, true);
      break;
    case ids::kPrintWidth:
    case ids::kPrintHeight:
    case ids::kPrintGap:
      if (code == EN_CHANGE) bindings_.Pull(control);
      break;
    case ids::kInitialize:
      if (code == BN_CLICKED) Run([&] { form_.btnInitializeClick(); });
      break;
    default:
      break;
  }
}

bool MainSettingsView::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlID != static_cast<UINT>(ids::kLabelPicture)) return false;
  DrawLabelPicture(item.hDC, item.rcItem, TfrmMainSettings::kLabelPanelColorRgb);
  return true;
}

}  // namespace pirell::win32
