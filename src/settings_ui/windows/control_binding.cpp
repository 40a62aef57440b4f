#include "settings_ui/windows/control_binding.h"

#include <commctrl.h>

#include "settings_ui/windows/win32_window.h"

namespace pirell::win32 {
namespace {

void SetVisible(HWND control, bool visible) {
  if (control == nullptr) return;
  if ((IsWindowVisible(control) != FALSE) != visible)
    ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
}

void SetEnabled(HWND control, bool enabled) {
  if (control != nullptr && (IsWindowEnabled(control) != FALSE) != enabled)
    EnableWindow(control, enabled ? TRUE : FALSE);
}

}  // namespace

void FillComboBox(HWND combo, const std::vector<std::string>& items) {
  SendMessageW(combo, WM_SETREDRAW, FALSE, 0);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : items) {
    const std::wstring text = W(item);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  SendMessageW(combo, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(combo, nullptr, TRUE);
}

void ControlBindings::Bind(HWND control, TControlModel& model) {
  bindings_.push_back({Kind::Plain, control, nullptr, &model, {}, {}, false});
}

void ControlBindings::BindCaption(HWND control, TCaptionModel& model) {
  bindings_.push_back({Kind::Caption, control, nullptr, &model, {}, {}, false});
}

void ControlBindings::BindText(HWND edit, HWND label, TTextModel& model) {
  bindings_.push_back({Kind::Text, edit, label, &model, {}, {}, false});
}

void ControlBindings::BindList(HWND combo, HWND label, TListModel& model) {
  bindings_.push_back({Kind::List, combo, label, &model, {}, {}, false});
}

void ControlBindings::Push() {
  for (Binding& binding : bindings_) PushOne(binding);
}

void ControlBindings::PushOne(Binding& binding) {
  TControlModel& model = *binding.model;
  HWND control = binding.control;
  switch (binding.kind) {
    case Kind::Plain:
      break;
    case Kind::Caption:
      SetWindowTextIfChanged(control, W(static_cast<TCaptionModel&>(model).Caption));
      break;
    case Kind::Text: {
      auto& text = static_cast<TTextModel&>(model);
      SetWindowTextIfChanged(control, W(text.Text));
      if (binding.label) SetWindowTextIfChanged(binding.label, W(text.Caption));
      break;
    }
    case Kind::List: {
      auto& list = static_cast<TListModel&>(model);
      if (!binding.items_pushed || binding.pushed_items != list.Items) {
        FillComboBox(control, list.Items);
        binding.pushed_items = list.Items;
        binding.items_pushed = true;
      }
      if (SendMessageW(control, CB_GETCURSEL, 0, 0) != list.ItemIndex)
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(list.ItemIndex), 0);
      if (list.Editable) SetWindowTextIfChanged(control, W(list.Text));
      if (binding.label) SetWindowTextIfChanged(binding.label, W(list.Caption));
      break;
    }
  }
  SetVisible(control, model.Visible);
  SetVisible(binding.label, model.Visible);
  SetEnabled(control, model.Enabled);
  PushHint(binding);
}

void ControlBindings::PushHint(Binding& binding) {
  if (tooltip_ == nullptr || binding.pushed_hint == binding.model->Hint) return;
  std::wstring text = W(binding.model->Hint);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(binding.control);
  tool.uId = reinterpret_cast<UINT_PTR>(binding.control);
  tool.lpszText = text.data();
  if (binding.pushed_hint.empty()) {
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  } else if (text.empty()) {
    SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  } else {
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  binding.pushed_hint = binding.model->Hint;
}

void ControlBindings::Pull(HWND control, bool typed) {
  for (Binding& binding : bindings_) {
    if (binding.control != control) continue;
    if (binding.kind == Kind::Text) {
      static_cast<TTextModel&>(*binding.model).Text = U8(WindowText(control));
    } else if (binding.kind == Kind::List) {
      auto& list = static_cast<TListModel&>(*binding.model);
      if (typed) {
        list.Text = U8(WindowText(control));
        list.ItemIndex = -1;
        for (int i = 0; i < list.Count(); ++i)
          if (list.Items[static_cast<std::size_t>(i)] == list.Text) list.ItemIndex = i;
        continue;
      }
      const auto selected = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
      list.ItemIndex = selected >= 0 && selected < list.Count() ? selected : -1;
      list.Text = list.ItemIndex >= 0 ? list.SelectedText() : U8(WindowText(control));
    }
  }
}

const TControlModel* ControlBindings::ModelOf(HWND control) const {
  for (const Binding& binding : bindings_)
    if (binding.control == control || (binding.label != nullptr && binding.label == control))
      return binding.model;
  return nullptr;
}

HWND ControlBindings::ControlOf(const void* model) const {
  for (const Binding& binding : bindings_)
    if (binding.model == model) return binding.control;
  return nullptr;
}

}  // namespace pirell::win32
