// What each control kind tells assistive technology: role and caption are declared with the
// kinds; the values, the kinds' own states and their default actions are here, side by side, so
// that the terms stay consistent across the kinds.

#include <cmath>
#include <string>

#include "core/TaggedString.h"
#include "core/Utf.h"
#include "skin/GraphButtons.h"
#include "skin/GraphCheckBoxes.h"
#include "skin/GraphComboBoxes.h"
#include "skin/GraphEdits.h"
#include "skin/GraphLists.h"
#include "skin/GraphMultiLine.h"
#include "skin/GraphProgressBar.h"
#include "skin/GraphTrackBars.h"

namespace marlowen {

namespace {

constexpr const char* kPress = "Press";
constexpr const char* kCheck = "Check";
constexpr const char* kUncheck = "Uncheck";

void AddState(TAccessibleDescription& description, bool on, uint32_t state) {
    if (on) description.State |= state;
}

}  // namespace

// --- buttons ---

int32_t TCustomGraphButton::AccessibleRole() const {
    switch (Style()) {
        case TButtonStyle::CheckButton: return AccRole::CheckButton;
        case TButtonStyle::RadioButton: return AccRole::RadioButton;
        default: return AccRole::PushButton;
    }
}

// An image button says what its hint says, unless the skin names it.
std::u16string TCustomGraphButton::AccessibleCaption() const { return Translate(Hint); }

void TCustomGraphButton::Describe(TAccessibleDescription& description) const {
    TCustomGraphControl::Describe(description);
    const bool latching = Style() == TButtonStyle::CheckButton || Style() == TButtonStyle::RadioButton;
    AddState(description, latching && Down(), AccState::Checked);
    AddState(description, !latching && State() == TButtonState::Pressed, AccState::Pressed);
    if (!latching) {
        description.DefaultAction = kPress;
    } else {
        description.DefaultAction = Down() && Style() == TButtonStyle::CheckButton ? kUncheck : kCheck;
    }
}

void TCustomGraphButton::DoAccessibleAction() {
    if (!Enabled()) return;
    switch (Style()) {
        case TButtonStyle::CheckButton: SetDown(!Down()); break;
        case TButtonStyle::RadioButton:
            if (Down()) return;
            SetDown(true);
            break;
        default: break;
    }
    Click();
}

std::u16string TGraphTextButton::AccessibleCaption() const { return Label().AccessibleCaption(); }

// --- check boxes and radio buttons ---

void TGraphCheckBox::Describe(TAccessibleDescription& description) const {
    TCustomGraphControl::Describe(description);
    AddState(description, Checked(), AccState::Checked);
    AddState(description, CheckState() == TCheckState::Grayed, AccState::Pressed);  // mixed
    description.DefaultAction = Checked() && AccessibleRole() == AccRole::CheckButton ? kUncheck : kCheck;
}

std::u16string TGraphTextCheckBox::AccessibleCaption() const { return Translate(Caption()); }

// --- texts ---

std::u16string TGraphMultiLine::AccessibleCaption() const {
    // The lines as laid out (the markup gone), one space between them; empty lines part
    // paragraphs on screen only.
    std::u16string text;
    for (int32_t i = 0; i < Lines().LineCount(); ++i) {
        const std::u16string line = Lines().Line(i).Text();
        if (line.empty()) continue;
        if (!text.empty()) text += u' ';
        text += line;
    }
    return text;
}

// A password is never told; that there is one is (protected).
void TGraphEdit::Describe(TAccessibleDescription& description) const {
    TCustomGraphControl::Describe(description);
    if (PasswordChar() != 0) {
        description.State |= AccState::Protected;
    } else {
        description.Value = Utf16ToUtf8(GetText());
    }
}

// --- values ---

void TGraphProgressBar::Describe(TAccessibleDescription& description) const {
    TCustomGraphControl::Describe(description);
    description.State |= AccState::ReadOnly;
    const int64_t percent = Max() > 0 ? int64_t{Position()} * 100 / Max() : 0;
    description.Value = std::to_string(percent) + "%";
}

void TGraphTrackBar::Describe(TAccessibleDescription& description) const {
    TCustomGraphControl::Describe(description);
    const double position = Position();
    description.Value = std::isfinite(position) ? std::to_string(std::llround(position)) : std::string();
}

// --- lists ---

void TGraphRow::Describe(TAccessibleDescription& description) const {
    TCustomGraphControl::Describe(description);
    description.State |= AccState::Selectable;
    AddState(description, Selected(), AccState::Selected);
    if (ListView() != nullptr) description.DefaultAction = "Select";
}

void TGraphRow::DoAccessibleAction() {
    TGraphListView* view = ListView();
    if (view == nullptr) return;
    const auto* slot = static_cast<const TDisplayControl*>(ParentControl());
    view->SetSelected(static_cast<int32_t>(std::min<int64_t>(int64_t{slot->Index()} + view->TopIndex(), INT32_MAX)));
    RaiseEvent(view->OnSelect, *view);
}

std::u16string TGraphComboBoxRow::AccessibleCaption() const {
    const TGraphComboBox* combo = Combo();
    const TGraphComboBoxItem* item = combo != nullptr ? combo->Items(Tag) : nullptr;
    return item != nullptr ? Translate(item->Text) : std::u16string();
}

void TGraphComboBoxRow::DoAccessibleAction() {
    if (TGraphComboBox* combo = Combo()) combo->RowChosen(Tag);
}

void TGraphComboBox::Describe(TAccessibleDescription& description) const {
    TCustomGraphControl::Describe(description);
    if (const TGraphComboBoxItem* item = GetSelectedItem()) description.Value = Utf16ToUtf8(Translate(item->Text));
}

}  // namespace marlowen
