#include "settings_ui/windows/port_manager_settings_view.h"

#include "platform/windows/gdi_handles.h"
#include "settings_ui/windows/win32_window.h"

namespace pirell::win32 {
namespace {

namespace ids = port_settings_ids;

constexpr int kItemHeight = 16;
constexpr int kLabelWidth = 70;
constexpr int kDropHeight = 200;

COLORREF ColourOf(const port_chooser::TColorRGB& colour) {
  return RGB(colour.Red, colour.Green, colour.Blue);
}

}  // namespace

PortManagerSettingsView::~PortManagerSettingsView() {
  // No repaint requests after the view is gone: the probe may still run until the page goes.
  form_.cbbUSBPrinters.SetOnRepaint(nullptr);
  form_.cbbLPTPorts.SetOnRepaint(nullptr);
}

void PortManagerSettingsView::CreateControls(int width, int) {
  HWND panel = Handle();
  const int field_width = width - 16 - kLabelWidth;
  HWND type_label = Label(8, 8, kLabelWidth, 0);
  HWND type = CreateControl(panel, L"COMBOBOX", L"",
                            WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                            8 + kLabelWidth, 8, field_width, kDropHeight, ids::kPortType);
  bindings_.BindList(type, type_label, form_.cbbPortType);

  const DWORD chooser_style =
      WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
  usb_ = Chooser{&form_.cbbUSBPrinters,
                 &form_.tsUSB,
                 Label(8, 40, kLabelWidth, 0),
                 CreateControl(panel, L"COMBOBOX", L"", chooser_style, 8 + kLabelWidth, 40,
                               field_width, kDropHeight, ids::kUsbPorts),
                 {},
                 false};
  lpt_ = Chooser{&form_.cbbLPTPorts,
                 &form_.tsLPT,
                 Label(8, 40, kLabelWidth, 0),
                 CreateControl(panel, L"COMBOBOX", L"", chooser_style, 8 + kLabelWidth, 40,
                               field_width, kDropHeight, ids::kLptPorts),
                 {},
                 false};

  // The probe runs on its own thread: it may only post a message; the repaint happens here.
  HWND usb_combo = usb_.combo;
  HWND lpt_combo = lpt_.combo;
  repaint_window_ =
      platform::CreateDeviceWindow([usb_combo, lpt_combo](platform::WindowMessage& message) {
        if (message.Msg != kRepaintPortsMessage) {
          message.Result = 0;
          return;
        }
        InvalidateRect(usb_combo, nullptr, FALSE);
        InvalidateRect(lpt_combo, nullptr, FALSE);
        message.Result = 0;
      });
  const HWND repaint = reinterpret_cast<HWND>(repaint_window_->Handle());
  auto post_repaint = [repaint] { PostMessageW(repaint, kRepaintPortsMessage, 0, 0); };
  form_.cbbUSBPrinters.SetOnRepaint(post_repaint);
  form_.cbbLPTPorts.SetOnRepaint(post_repaint);
}

void PortManagerSettingsView::Push() {
  PageView::Push();
  if (usb_.combo == nullptr) return;
  PushChooser(usb_);
  PushChooser(lpt_);
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
  if (id == static_cast<UINT>(ids::kUsbPorts)) return &usb_;
  if (id == static_cast<UINT>(ids::kLptPorts)) return &lpt_;
  return nullptr;
}

void PortManagerSettingsView::OnCommand(int id, int code, HWND control) {
  if (id == ids::kPortType && code == CBN_SELCHANGE) {
    bindings_.Pull(control);
    Run([&] { form_.cbbPortTypeChange(); });
    return;
  }
  if (Chooser* chooser = ChooserOf(static_cast<UINT>(id)); chooser && code == CBN_SELCHANGE) {
    const auto selected = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
    Run([&] { chooser->model->SetItemIndex(selected); });
  }
}

bool PortManagerSettingsView::OnMeasureItem(MEASUREITEMSTRUCT& item) {
  if (ChooserOf(item.CtlID) == nullptr && item.CtlID != static_cast<UINT>(ids::kUsbPorts) &&
      item.CtlID != static_cast<UINT>(ids::kLptPorts))
    return false;
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
