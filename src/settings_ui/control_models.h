#pragma once

// The state of the settings windows' controls, free of any widget toolkit. A form owns one model
// per control and changes only the models; a view copies the models into real controls, writes a
// user's change back into the model and then calls the form's handler. Headless tests drive the
// handlers and read the models.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace pirell {

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

// How a modal window was closed; mrNone keeps it open.
enum TModalResult : std::uint8_t { mrNone = 0, mrOk = 1, mrCancel = 2 };

// Keys the forms react to; a view maps the platform's key codes onto these.
enum class TKey : std::uint8_t { Other, Enter, Escape, F2, F1 };

// What every control has.
struct TControlModel {
  bool Visible = true;
  bool Enabled = true;
  std::string Hint;     // the control's tooltip and its help popup text
  int HelpContext = 0;  // 0: the help popup asks for the control under the mouse
  // Position inside its parent; only set where the form decides it (in-place editors).
  TRect BoundsRect;
};

// A label, button, group box, static text or tab sheet: a control with a caption.
struct TCaptionModel : TControlModel {
  std::string Caption;
};

// A single-line edit field. `Caption` is the text of the label placed beside it.
struct TTextModel : TControlModel {
  std::string Caption;
  std::string Text;
};

// A drop-down list or an editable combo box. `Caption` is the text of the label beside it.
// ItemIndex -1 means no item is selected; `Text` is the edit part of an editable combo box and
// follows the selected item when one is selected through SetItemIndex.
struct TListModel : TControlModel {
  std::string Caption;
  std::vector<std::string> Items;
  int ItemIndex = -1;
  std::string Text;
  bool Editable = false;  // free text allowed (a combo box with an edit part)

  int Count() const { return static_cast<int>(Items.size()); }
  void Clear() {
    Items.clear();
    ItemIndex = -1;
  }
  void Add(std::string item) { Items.push_back(std::move(item)); }
  // Selects `index` (-1 or an index out of range clears the selection).
  void SetItemIndex(int index) {
    ItemIndex = index >= 0 && index < Count() ? index : -1;
    if (ItemIndex >= 0) Text = Items[static_cast<std::size_t>(ItemIndex)];
  }
  // The selected item's text, or the empty text.
  std::string SelectedText() const {
    return ItemIndex >= 0 && ItemIndex < Count() ? Items[static_cast<std::size_t>(ItemIndex)]
                                                 : std::string();
  }
};

// One item of a menu. A caption of "-" is a separator. `OnClick` runs the form's handler; a view
// calls it when the user chooses the item.
struct TMenuItemModel {
  std::string Caption;
  bool Visible = true;
  bool Enabled = true;
  int ImageIndex = -1;  // image of the menu's image list: 0 help, 1 action; -1 none
  int Tag = 0;          // the additional action's index for action items
  std::function<void()> OnClick;

  bool IsSeparator() const { return Caption == "-"; }
};

// A column of a report-style list view.
struct TListColumnModel {
  std::string Caption;
  int Width = 0;
};

// A virtual report-style list view: the form supplies row texts on demand.
struct TListViewModel : TControlModel {
  std::vector<TListColumnModel> Columns;
  int RowCount = 0;
  int ItemIndex = -1;  // the selected row, -1 when none
};

// A page control: one tab per caption, in order.
struct TTabsModel : TControlModel {
  std::vector<std::string> Tabs;
  int TabIndex = -1;  // the selected tab
};

// A caption and a value, shown side by side (the information tab's rows).
struct TInfoRowModel {
  std::string Caption;
  std::string Value;
};

// The window (or page) itself.
struct TFormModel {
  std::string Caption;
  int ClientWidth = 0;
  int ClientHeight = 0;
  int HelpContext = 0;
  bool ShowHint = true;
};

}  // namespace pirell
