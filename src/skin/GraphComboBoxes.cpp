#include "skin/GraphComboBoxes.h"

#include <algorithm>
#include <utility>

#include "core/MultiLanguageException.h"
#include "core/StringHash.h"
#include "core/TaggedString.h"
#include "core/Utf.h"
#include "core/ValueItems.h"
#include "skin/FontImages.h"
#include "skin/GraphContainer.h"
#include "skin/GraphFrames.h"
#include "skin/GraphScrollers.h"
#include "skin/PaintContext.h"
#include "skin/Resources.h"
#include "skin/TextImage.h"
#include "skin/XMLNode.h"

namespace marlowen {

namespace {

// The list view of a drop-down: its slots are laid out anew at every opening.
class TDropDownList : public TGraphListView {
public:
    TDropDownList(const TSkinContext& context, int32_t rowHeight) : TGraphListView(context, 0, 0, 0, 0, rowHeight) {
        TabStop = false;  // the keys reach it through the combo box
    }

    // count slots of width x rowHeight stacked from the top.
    void ReplaceSlots(int32_t count, int32_t width, int32_t rowHeight) {
        ClearSlots();
        for (int32_t i = 0; i < count; ++i) AddSlot(0, i * rowHeight, width, rowHeight);
    }
};

}  // namespace

TDropPosition DropPositionFromName(const std::string& name) {
    if (TextEquals(name, "Down")) return TDropPosition::Down;
    if (TextEquals(name, "Up")) return TDropPosition::Up;
    throw EMultiLanguageException::CreateFmt(
        u"[rus]Неверное значение DropPosition=\"%s\".[eng]Invalid value DropPosition=\"%s\".", {Utf8ToUtf16(name)});
}

// --- TGraphComboBoxRow ---

TGraphComboBoxRow::TGraphComboBoxRow(const TSkinContext& context, TGraphComboBox& combo, int32_t tag)
    : TGraphRow(context, tag, nullptr), Combo_(combo), ComboRef_(&combo) {}

TGraphComboBox* TGraphComboBoxRow::Combo() const { return ComboRef_.Get() ? &Combo_ : nullptr; }

void TGraphComboBoxRow::Paint(const TPaintContext& paint) {
    if (const TGraphComboBox* combo = Combo()) {
        combo->PaintItem(paint, {0, 0, Width(), Height()}, false, Selected(), combo->Items(Tag));
    }
    TCustomGraphControl::Paint(paint);
}

void TGraphComboBoxRow::DoLButtonDown(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {
    // Unlike a plain row, no selection and no focus: the choice is made on release.
}

void TGraphComboBoxRow::DoLButtonUp(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {
    if (TGraphComboBox* combo = Combo()) combo->RowChosen(Tag);
}

void TGraphComboBoxRow::DoMouseMove(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {
    const auto* slot = dynamic_cast<const TDisplayControl*>(ParentControl());
    if (TGraphComboBox* combo = Combo(); combo != nullptr && slot != nullptr) combo->RowHovered(slot->Index());
}

// --- TGraphComboBox: building ---

TGraphComboBox::TGraphComboBox(const TSkinContext& context) : TCustomGraphControl(context) {
    TabStop = true;
    LanguageSubscription_ = TLanguageSubscription::To<&TGraphComboBox::LanguageChanged>(Context().Languages, this);
}

TGraphComboBox::~TGraphComboBox() {
    TakeBackDropDown();
}

void TGraphComboBox::LanguageChanged(TLanguages& /*sender*/, TLanguageNotify flag) {
    if (flag != TLanguageNotify::Changed) return;
    Invalidate();
    if (TGraphFrame* frame = Dropped_ ? DropDownFrame() : nullptr) frame->Invalidate();
}

void TGraphComboBox::LoadFromXML(const TXMLNode& node) {
    const TValueItems& a = node.Attributes();
    const int32_t left = a.GetInteger("Left");
    const int32_t top = a.GetInteger("Top");
    const int32_t width = a.GetInteger("Width");
    const int32_t height = a.GetInteger("Height");
    const std::string style = a.GetText("Style");
    std::vector<std::unique_ptr<TGraphComboBoxItem>> items;
    if (const TXMLNode* list = node.FindChild("Items")) {
        for (const TXMLNode* element : list->Nodes().Nodes()) {
            const TValueItems& i = element->Attributes();
            std::u16string text = i.GetWideText("Text");
            std::u16string shortText = i.GetWideTextDef("Short", text);
            items.push_back(std::make_unique<TGraphComboBoxItem>(i.GetTextDef("Name", ""), std::move(text),
                                                                 std::move(shortText), i.GetIntegerDef("Data", 0)));
        }
    }
    SetBoundsDirect(left, top, width, height);
    LoadStyle(style);
    SetName(a.GetTextDef("Name", ""));
    ClearItems();
    Items_ = std::move(items);
}

void TGraphComboBox::LoadStyle(const std::string& style) {
    const TResources& resources = Context().Resources;
    const TValueItems& s = resources.GetXML(style).Attributes();
    auto boxFrame = std::make_unique<TGraphFrame>(Context(), 0, 0, Width(), Height(), s.GetText("Frame"));
    auto selectedFrame = std::make_unique<TGraphFrame>(Context(), 0, 0, 0, 0, s.GetText("SelectedFrame"));
    std::unique_ptr<TGraphButton> button;
    if (s.Find("ButtonFolder") != nullptr) {
        button = std::make_unique<TGraphButton>(Context(), 0, 0, s.GetText("ButtonFolder"));
        button->TabStop = false;  // the combo box is the stop
    }
    const std::string dropDownStyle = s.GetText("DropDownFrame");
    const std::string scrollFolder = s.GetTextDef("ScrollFolder", "");
    const int32_t rowHeight = s.GetInteger("RowHeight");
    TDropDownParts dropDown = MakeDropDown(dropDownStyle, scrollFolder, rowHeight);
    const int32_t dropDownCount = s.GetInteger("DropDownCount");
    const int32_t dropDownIndent = s.GetInteger("DropDownIndent");
    const int32_t dropDownWidth = s.GetIntegerDef("DropDownWidth", 0);
    const TDropPosition dropPosition = DropPositionFromName(s.GetTextDef("DropPosition", "Down"));
    const TFontImages* font = &resources.GetFont(s.GetText("Font"));
    const uint32_t textColor = s.GetColor("TextColor");
    const uint32_t selectedTextColor = s.GetColorDef("SelectedTextColor", textColor);
    const uint32_t editTextColor = s.GetColorDef("EditTextColor", textColor);
    const int32_t textLeftIndent = s.GetInteger("TextLeftIndent");
    const int32_t textRightIndent = s.GetInteger("TextRightIndent");
    const THorzAlignment textAlign = HorzAlignmentFromName(s.GetText("TextAlign"));

    CloseUp();
    BoxFrame_ = std::move(boxFrame);
    SelectedFrame_ = std::move(selectedFrame);
    Button_ = std::move(button);
    DropDownStyle_ = dropDownStyle;
    ScrollFolder_ = scrollFolder;
    RowHeight_ = rowHeight;
    DropDownCount_ = std::max(dropDownCount, 0);
    DropDownIndent_ = dropDownIndent;
    DropDownWidth_ = dropDownWidth;
    DropPosition_ = dropPosition;
    Font_ = font;
    TextColor_ = textColor;
    SelectedTextColor_ = selectedTextColor;
    EditTextColor_ = editTextColor;
    TextLeftIndent_ = textLeftIndent;
    TextRightIndent_ = textRightIndent;
    TextAlign_ = textAlign;
    TakeDropDown(std::move(dropDown));
    Invalidate();
}

TGraphComboBox::TDropDownParts TGraphComboBox::MakeDropDown(const std::string& style, const std::string& scrollFolder,
                                                            int32_t rowHeight) const {
    TDropDownParts parts;
    parts.Frame = std::make_unique<TGraphFrame>(Context(), 0, 0, Width(), 2, style);
    parts.List = parts.Frame->Controls().AddControl(std::make_unique<TDropDownList>(Context(), rowHeight));
    if (!scrollFolder.empty()) {
        parts.Bar = parts.Frame->Controls().AddControl(
            std::make_unique<TScrollBarV>(Context(), 0, 0, kInitialScrollBarSize, scrollFolder));
        parts.Bar->SetVisible(false);
    }
    return parts;
}

void TGraphComboBox::TakeDropDown(TDropDownParts parts) {
    List_ = parts.List;
    Bar_ = parts.Bar;
    DropDown_ = parts.Frame.get();
    DropDownRef_ = TWeakRef<TCustomGraphControl>(DropDown_);
    DropDownOwned_ = std::move(parts.Frame);
}

TGraphFrame* TGraphComboBox::DropDownFrame() const { return DropDownRef_.Get() ? DropDown_ : nullptr; }

TGraphListView* TGraphComboBox::ListView() const { return DropDownFrame() != nullptr ? List_ : nullptr; }

TScrollBarV* TGraphComboBox::ScrollBar() const { return DropDownFrame() != nullptr ? Bar_ : nullptr; }

// --- items ---

TGraphComboBoxItem* TGraphComboBox::Items(int32_t index) const {
    return index >= 0 && index < ItemCount() ? Items_[static_cast<size_t>(index)].get() : nullptr;
}

TGraphComboBoxItem& TGraphComboBox::AddItem(std::unique_ptr<TGraphComboBoxItem> item) {
    CloseUp();
    Items_.push_back(std::move(item));
    return *Items_.back();
}

void TGraphComboBox::DeleteItem(int32_t index) {
    if (index < 0 || index >= ItemCount()) return;
    CloseUp();
    Items_.erase(Items_.begin() + index);
    if (ItemIndex_ > index) {
        --ItemIndex_;
    } else if (ItemIndex_ == index) {
        ItemIndex_ = -1;
    }
    Invalidate();
}

void TGraphComboBox::ClearItems() {
    CloseUp();
    Items_.clear();
    ItemIndex_ = -1;
    Invalidate();
}

void TGraphComboBox::SetItemIndex(int32_t index) {
    index = std::clamp(index, -1, ItemCount() - 1);
    if (index == ItemIndex_) return;
    ItemIndex_ = index;
    Invalidate();
    NotifyAccessible(AccEvent::ValueChange);
}

void TGraphComboBox::Change() { RaiseEvent(OnChange, *this); }

// --- painting ---

void TGraphComboBox::PaintItem(const TPaintContext& paint, const TRect& rect, bool box, bool highlighted,
                               const TGraphComboBoxItem* item) const {
    const int32_t width = rect.Right - rect.Left;
    const int32_t height = rect.Bottom - rect.Top;
    if (highlighted && SelectedFrame_ != nullptr) {
        SelectedFrame_->SetBounds(0, 0, width, height);
        SelectedFrame_->PaintFrame(paint.Offset(rect.Left, rect.Top));
    }
    if (item == nullptr || Font_ == nullptr) return;
    const uint32_t colour = highlighted ? SelectedTextColor_ : box ? EditTextColor_ : TextColor_;
    TTextImage text;
    text.AddWideText(Translate(box ? item->ShortText : item->Text), *Font_, colour);
    const int32_t textWidth = text.Width();
    int32_t x = rect.Left + TextLeftIndent_;
    switch (TextAlign_) {
        case THorzAlignment::Left: break;
        case THorzAlignment::Right: x = rect.Left + width - TextRightIndent_ - textWidth; break;
        case THorzAlignment::Center:
            x = rect.Left + TextLeftIndent_ + (width - TextLeftIndent_ - TextRightIndent_ - textWidth) / 2;
            break;
    }
    const int32_t y = rect.Top + (height - text.LineHeight()) / 2;
    paint.ClippedTo(rect).DrawText(text, x, y);
}

void TGraphComboBox::Paint(const TPaintContext& paint) {
    if (BoxFrame_ == nullptr) {  // no style yet
        TCustomGraphControl::Paint(paint);
        return;
    }
    BoxFrame_->SetBounds(0, 0, Width(), Height());
    BoxFrame_->PaintFrame(paint);
    int32_t buttonWidth = 0;
    if (Button_ != nullptr) {
        buttonWidth = Button_->Width();
        Button_->SetEnabled(Enabled());
        Button_->PaintInState(
            paint.Offset(Width() - buttonWidth - BoxFrame_->RightIndent(), BoxFrame_->TopIndent()), ButtonState_);
    }
    const int32_t left = BoxFrame_->LeftIndent();
    const int32_t top = (Height() - RowHeight_) / 2;
    const int32_t width = Width() - buttonWidth - BoxFrame_->RightIndent() - BoxFrame_->LeftIndent();
    PaintItem(paint, {left, top, left + width, top + RowHeight_}, true, Focused() && !Dropped_, GetSelectedItem());
    TCustomGraphControl::Paint(paint);
}

// --- the drop-down ---

void TGraphComboBox::DropDown() {
    if (Dropped_ || GetContainer() == nullptr || !Showing() || DropDownStyle_.empty()) return;
    if (DropDownOwned_ == nullptr) {  // the last one was freed by someone else
        TakeDropDown(MakeDropDown(DropDownStyle_, ScrollFolder_, RowHeight_));
    }
    CaptureMouse();
    if (!IsCaptured()) return;  // something took it back at once
    PlaceDropDown();
    FillList();
    TCustomGraphContainer* container = GetContainer();
    container->Controls().AddControl(std::move(DropDownOwned_));
    DropDown_->Invalidate();
    Dropped_ = true;
    LastListPoint_ = {-1, -1};
    Invalidate();
}

void TGraphComboBox::PlaceDropDown() {
    const TPoint at = ClientToContainer(0, 0);
    const int32_t count = std::min(ItemCount(), DropDownCount_);
    TGraphFrame& frame = *DropDown_;
    const int32_t frameWidth = DropDownWidth_ != 0 ? DropDownWidth_ : Width();
    const int32_t listHeight = SaturateInt32(int64_t{count} * RowHeight_);
    const int32_t frameHeight =
        ItemCount() == 0 ? 2 : SaturateInt32(int64_t{listHeight} + frame.TopIndent() + frame.BottomIndent());
    const int32_t frameTop = DropPosition_ == TDropPosition::Down ? at.Y + Height() + DropDownIndent_
                                                                   : at.Y + DropDownIndent_ - frameHeight;
    frame.SetBounds(at.X, frameTop, frameWidth, frameHeight);

    int32_t listWidth = frameWidth - frame.LeftIndent() - frame.RightIndent();
    const bool scrolling = Bar_ != nullptr && count < ItemCount();
    if (scrolling) {
        listWidth -= Bar_->Width();
        Bar_->SetBounds(frame.LeftIndent() + listWidth, frame.TopIndent(), Bar_->Width(), listHeight);
    }
    List_->SetBounds(frame.LeftIndent(), frame.TopIndent(), listWidth, listHeight);
    if (Bar_ != nullptr) Bar_->SetVisible(scrolling);
    List_->LinkScrollBar(scrolling ? Bar_ : nullptr);
}

void TGraphComboBox::FillList() {
    auto& list = static_cast<TDropDownList&>(*List_);
    const int32_t count = std::min(ItemCount(), DropDownCount_);
    list.BeginUpdate();
    list.Clear();
    list.ReplaceSlots(count, list.Width(), RowHeight_);
    for (int32_t i = 0; i < ItemCount(); ++i) list.AddRow(std::make_unique<TGraphComboBoxRow>(Context(), *this, i));
    list.SetSelected(ItemIndex_);
    list.ScrollIntoView(ItemIndex_);
    list.EndUpdate();
}

void TGraphComboBox::CloseUp() {
    if (!Dropped_) return;
    Dropped_ = false;
    if (TGraphFrame* frame = DropDownFrame(); frame != nullptr && frame->Owner() != nullptr) {
        std::unique_ptr<TCustomItem> taken = frame->Owner()->Extract(frame);
        DropDownOwned_.reset(static_cast<TGraphFrame*>(taken.release()));
    }
    ReleaseMouse();
    Invalidate();
}

void TGraphComboBox::TakeBackDropDown() noexcept {
    if (!Dropped_) return;
    Dropped_ = false;
    TGraphFrame* frame = DropDownFrame();
    if (frame == nullptr || frame->Owner() == nullptr) return;
    // When the top-level list is freeing all its items (this box's root among them, still linked),
    // it frees the frame too and must not see its items unlinked under it. A list freeing one
    // item has unlinked that item already, and the frame can leave it as usual.
    const TCustomTreeItem* root = this;
    while (root->Parent() != nullptr) root = root->Parent();
    if (frame->Owner()->IsFreeing() && root->Owner() == frame->Owner()) return;
    frame->Owner()->Remove(frame, true);
}

bool TGraphComboBox::BoxToList(int32_t x, int32_t y, int32_t& listX, int32_t& listY) const {
    const TGraphFrame* frame = DropDownFrame();
    if (frame == nullptr) return false;
    listX = x - List_->Left();
    listY = DropPosition_ == TDropPosition::Down ? y - (Height() + DropDownIndent_ + List_->Top())
                                                 : y + (frame->Height() - DropDownIndent_ - List_->Top());
    return listX >= 0 && listX < List_->Width() && listY >= 0 && listY < List_->Height();
}

int32_t TGraphComboBox::RowAt(int32_t listY) const {
    return RowHeight_ > 0 && List_ != nullptr ? List_->TopIndex() + listY / RowHeight_ : -1;
}

void TGraphComboBox::RowHovered(int32_t slotIndex) {
    if (TGraphListView* list = ListView()) list->SetSelected(list->TopIndex() + slotIndex);
}

void TGraphComboBox::RowChosen(int32_t tag) {
    SetItemIndex(tag);
    CloseUp();
}

void TGraphComboBox::SetVisible(bool value) {
    if (!value) CloseUp();
    TCustomGraphControl::SetVisible(value);
}

void TGraphComboBox::SetEnabled(bool value) {
    if (!value) CloseUp();
    TCustomGraphControl::SetEnabled(value);
}

// --- input ---

void TGraphComboBox::SetButtonState(TButtonState state) {
    ButtonState_ = state;
    Invalidate();
}

void TGraphComboBox::DoLButtonDown(int32_t x, int32_t y, TShiftState shift) {
    if (Dropped_) {
        int32_t listX = 0;
        int32_t listY = 0;
        if (!BoxToList(x, y, listX, listY) && !PressScrollBar(x, y, shift)) CloseUp();
        return;
    }
    ButtonState_ = TButtonState::Pressed;
    DropDown();
    Invalidate();
    if (TabStop) SetFocused(true);
}

bool TGraphComboBox::PressScrollBar(int32_t x, int32_t y, TShiftState shift) {
    TScrollBarV* bar = ScrollBar();
    TCustomGraphContainer* container = GetContainer();
    if (bar == nullptr || container == nullptr || !bar->Visible()) return false;
    const TPoint at = ClientToContainer(x, y);
    TCustomGraphControl* part = container->ControlAt(at.X, at.Y);
    if (part == nullptr || (part != bar && !TCustomTreeItem::IsAncestorOf(bar, part))) return false;
    const TPoint origin = part->ClientToContainer(0, 0);
    container->LendCapture(*part);
    part->LButtonDown(at.X - origin.X, at.Y - origin.Y, shift);
    return true;
}

void TGraphComboBox::DoLButtonUp(int32_t x, int32_t y, TShiftState /*shift*/) {
    if (ButtonState_ == TButtonState::Pressed) SetButtonState(TButtonState::Normal);
    int32_t listX = 0;
    int32_t listY = 0;
    if (!Dropped_ || !BoxToList(x, y, listX, listY)) return;
    const int32_t row = RowAt(listY);
    if (row >= ItemCount()) return;  // below the last row of a drop-down whose items shrank
    SetItemIndex(row);
    CloseUp();
    Change();
}

void TGraphComboBox::DoRButtonDown(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {
    if (Dropped_) return;
    Invalidate();
    if (TabStop) SetFocused(true);
}

void TGraphComboBox::DoMouseMove(int32_t x, int32_t y, TShiftState /*shift*/) {
    if (!Dropped_) return;
    int32_t listX = 0;
    int32_t listY = 0;
    if (!BoxToList(x, y, listX, listY)) return;
    const TPoint point{listX, listY};
    if (point.X == LastListPoint_.X && point.Y == LastListPoint_.Y) return;
    LastListPoint_ = point;
    const int32_t row = RowAt(listY);
    if (row < ItemCount()) List_->SetSelected(row);
}

void TGraphComboBox::DoMouseWheel(int32_t distance, int32_t /*x*/, int32_t /*y*/, TShiftState shift) {
    if (!Dropped_) return;
    if (TGraphListView* list = ListView()) list->MouseWheel(distance, 0, 0, shift);
}

void TGraphComboBox::DoMouseEnter() {
    if (!Dropped_ && ButtonState_ != TButtonState::Pressed) ButtonState_ = TButtonState::Hot;
    Invalidate();
}

void TGraphComboBox::DoMouseLeave() { SetButtonState(TButtonState::Normal); }

void TGraphComboBox::CaptureLost() {
    SetButtonState(MouseInside() ? TButtonState::Hot : TButtonState::Normal);
    CloseUp();
}

void TGraphComboBox::DoExit() { CloseUp(); }

bool TGraphComboBox::HasHint() const { return !Dropped_ && TCustomGraphControl::HasHint(); }

bool TGraphComboBox::HandleKey(uint32_t virtualKey) {
    TGraphListView* list = Dropped_ ? ListView() : nullptr;
    switch (virtualKey) {
        case VirtualKey::Return:
            if (list != nullptr) {
                SetItemIndex(list->Selected());
                CloseUp();
            } else {
                DropDown();
            }
            return true;
        case VirtualKey::Escape: CloseUp(); return true;
        case VirtualKey::Up:
            if (list != nullptr) {
                if (list->Selected() > 0) {
                    list->SetSelected(list->Selected() - 1);
                    list->ScrollIntoView(list->Selected());
                }
            } else if (ItemIndex_ > 0) {
                SetItemIndex(ItemIndex_ - 1);
            }
            return true;
        case VirtualKey::Down:
            if (list != nullptr) {
                list->SetSelected(list->Selected() + 1);
                list->ScrollIntoView(list->Selected());
            } else {
                SetItemIndex(ItemIndex_ + 1);
            }
            return true;
        default: return false;
    }
}

void TGraphComboBox::DoKeyDown(uint32_t virtualKey, bool /*extended*/, bool /*repeated*/, bool& processed) {
    const int32_t before = ItemIndex_;
    if (!HandleKey(virtualKey)) return;
    processed = true;
    if (ItemIndex_ != before) Change();
}

}  // namespace marlowen
