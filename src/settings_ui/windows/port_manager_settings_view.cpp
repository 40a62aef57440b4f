#include "settings_ui/windows/port_manager_settings_view.h"

#include <commctrl.h>

#include <iterator>
#include <utility>

#include "platform/windows/gdi_handles.h"
#include "settings_ui/windows/win32_window.h"

namespace pirell::win32 {
namespace {

namespace ids = port_settings_ids;

constexpr int kItemHeight = 16;
constexpr int kLabelWidth = 70;
constexpr int kDropHeight = 200;
constexpr int kRowHeight = 32;
constexpr int kEditHeight = 21;
constexpr int kButtonWidth = 75;

COLORREF ColourOf(const port_chooser::TColorRGB& colour) {
  return RGB(colour.Red, colour.Green, colour.Blue);
}

// The grey example an empty field shows.
void SetCueBanner(HWND edit, const wchar_t* text) {
  SendMessageW(edit, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(text));
}

}  // namespace

PortManagerSettingsView::~PortManagerSettingsView() {
  // No repaint requests after the view is gone: the probe may still run until the page goes.
  for (TPortsComboBox* model : Models()) model->SetOnRepaint(nullptr);
}

std::vector<TPortsComboBox*> PortManagerSettingsView::Models() const {
  return {&form_.cbbUSBPrinters, &form_.cbbLPTPorts, &form_.cbbCOMPorts, &form_.cbbPrintQueues};
}

void PortManagerSettingsView::CreateControls(int width, int) {
  HWND panel = Handle();
  const int field_left = 8 + kLabelWidth;
  const int field_width = width - 16 - kLabelWidth;
  const int sheet_top = 8 + kRowHeight;
  HWND type_label = Label(8, 8, kLabelWidth, 0);
  HWND type = CreateControl(panel, L"COMBOBOX", L"",
                            WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, field_left, 8,
                            field_width, kDropHeight, ids::kPortType);
  bindings_.BindList(type, type_label, form_.cbbPortType);

  // Every sheet starts on the row below the port type; one sheet is visible at a time.
  const DWORD chooser_style =
      WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
  const std::pair<TPortsComboBox*, TCaptionModel*> sheets[] = {
      {&form_.cbbUSBPrinters, &form_.tsUSB},
      {&form_.cbbLPTPorts, &form_.tsLPT},
      {&form_.cbbCOMPorts, &form_.tsCOM},
      {&form_.cbbPrintQueues, &form_.tsQueue}};
  const int chooser_ids[] = {ids::kUsbPorts, ids::kLptPorts, ids::kComPorts, ids::kPrintQueues};
  for (std::size_t i = 0; i < std::size(sheets); ++i) {
    Chooser chooser;
    chooser.model = sheets[i].first;
    chooser.sheet = sheets[i].second;
    chooser.id = chooser_ids[i];
    chooser.label = Label(8, sheet_top, kLabelWidth, 0);
    chooser.combo = CreateControl(panel, L"COMBOBOX", L"", chooser_style, field_left, sheet_top,
                                  field_width, kDropHeight, chooser.id);
    choosers_.push_back(std::move(chooser));
  }

  auto add_text = [&](TTextModel& model, int id, int y, int w, const wchar_t* cue) {
    HWND label = Label(8, y, kLabelWidth, 0);
    HWND edit = CreateControl(panel, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, field_left, y, w,
                              kEditHeight, id, WS_EX_CLIENTEDGE);
    SetCueBanner(edit, cue);
    bindings_.BindText(edit, label, model);
  };
  add_text(form_.edtLineSettings, ids::kLineSettings, sheet_top + kRowHeight, field_width,
           L"9600,N,8,1");
  add_text(form_.edtAddress, ids::kAddress, sheet_top, field_width, L"192.168.1.50:9100");
  add_text(form_.edtFilePath, ids::kFilePath, sheet_top, field_width - kButtonWidth - 6,
           L"C:\\Labels\\capture.prn");
  HWND browse =
      CreateControl(panel, L"BUTTON", L"", WS_TABSTOP | BS_PUSHBUTTON, width - 8 - kButtonWidth,
                    sheet_top - 2, kButtonWidth, 25, ids::kBrowse);
  bindings_.BindCaption(browse, form_.btnBrowse);

  // The probe runs on its own thread: it may only post a message; the repaint happens here.
  std::vector<HWND> combos;
  for (const Chooser& chooser : choosers_) combos.push_back(chooser.combo);
  repaint_window_ = platform::CreateDeviceWindow([combos](platform::WindowMessage& message) {
    message.Result = 0;
    if (message.Msg != kRepaintPortsMessage) return;
    for (HWND combo : combos) InvalidateRect(combo, nullptr, FALSE);
  });
  const HWND repaint = reinterpret_cast<HWND>(repaint_window_->Handle());
  auto post_repaint = [repaint] { PostMessageW(repaint, kRepaintPortsMessage, 0, 0); };
  for (TPortsComboBox* model : Models()) model->SetOnRepaint(post_repaint);
}

void PortManagerSettingsView::Push() {
  PageView::Push();
  for (Chooser& chooser : choosers_) PushChooser(chooser);
}

void PortManagerSettingsView::PushChooser(Chooser& chooser) {
  const TPortsComboBox& model = *chooser.model;
  if (!chooser.pushed || chooser.pushed_items != model.Items()) {
    FillComboBox(chooser.combo, model.Items());
    chooser.pushed_items = model.Items();
    chooser.pushed = true;
  }
  if (SendMessageW(chooser.combo, CB_GETCURSEL, 0, 0) != model.ItemIndex())
    SendMessageW(chooser.combo, CB_SETCURSEL, static_cast<WPARAM>(model.ItemIndex()), 0);
  SetWindowTextIfChanged(chooser.label, W(chooser.sheet->Caption));
  const bool visible = chooser.sheet->Visible;
  for (HWND control : {chooser.label, chooser.combo})
    if ((IsWindowVisible(control) != FALSE) != visible)
      ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
  InvalidateRect(chooser.combo, nullptr, FALSE);
}

void PortManagerSettingsView::SetShowing(bool showing) {
  if (form_.Showing() == showing) return;
  Run([&] { form_.SetShowing(showing); });
}

PortManagerSettingsView::Chooser* PortManagerSettingsView::ChooserOf(UINT id) {
  for (Chooser& chooser : choosers_)
    if (static_cast<UINT>(chooser.id) == id) return &chooser;
  return nullptr;
}

void PortManagerSettingsView::OnCommand(int id, int code, HWND control) {
  switch (id) {
    case ids::kPortType:
      if (code == CBN_SELCHANGE) {
        bindings_.Pull(control);
        Run([&] { form_.cbbPortTypeChange(); });
      }
      return;
    case ids::kLineSettings:
    case ids::kAddress:
    case ids::kFilePath:
      if (code == EN_CHANGE) bindings_.Pull(control);
      return;
    case ids::kBrowse:
      if (code == BN_CLICKED) Run([&] { form_.btnBrowseClick(); });
      return;
    default:
      break;
  }
  if (Chooser* chooser = ChooserOf(static_cast<UINT>(id)); chooser && code == CBN_SELCHANGE) {
    const auto selected = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
    Run([&] { chooser->model->SetItemIndex(selected); });
  }
}

bool PortManagerSettingsView::OnMeasureItem(MEASUREITEMSTRUCT& item) {
  if (ChooserOf(item.CtlID) == nullptr) return false;
  item.itemHeight = kItemHeight;
  return true;
}

bool PortManagerSettingsView::OnDrawItem(const DRAWITEMSTRUCT& item) {
  Chooser* chooser = ChooserOf(item.CtlID);
  if (chooser == nullptr) return false;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  HDC dc = item.hDC;
  FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (static_cast<int>(item.itemID) < 0) return true;
  const RECT& r = item.rcItem;
  const auto drawing = chooser->model->DrawItem(
      static_cast<int>(item.itemID), port_chooser::TItemRect{r.left, r.top, r.right, r.bottom});
  if (!drawing) return true;
  {
    platform::UniqueBrush fill(CreateSolidBrush(ColourOf(drawing->Fill)));
    platform::UniquePen outline(CreatePen(PS_SOLID, 1, ColourOf(drawing->Outline)));
    platform::ScopedSelection select_fill(dc, fill.get());
    platform::ScopedSelection select_outline(dc, outline.get());
    Ellipse(dc, drawing->DotBox.Left, drawing->DotBox.Top, drawing->DotBox.Right,
            drawing->DotBox.Bottom);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const std::wstring text = W(drawing->Text);
  TextOutW(dc, drawing->TextLeft, drawing->TextTop, text.c_str(), static_cast<int>(text.size()));
  return true;
}

}  // namespace pirell::win32
