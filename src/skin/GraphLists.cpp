#include "skin/GraphLists.h"

#include <algorithm>
#include <string>
#include <utility>

#include "core/MultiLanguageException.h"
#include "core/StringHash.h"
#include "core/Utf.h"
#include "core/ValueItems.h"
#include "platform/Application.h"
#include "platform/Platform.h"
#include "skin/Bitmap32.h"
#include "skin/GraphControlsRegistration.h"
#include "skin/GraphElementRegistry.h"
#include "skin/GraphLabels.h"
#include "skin/PaintContext.h"
#include "skin/XMLNode.h"

namespace marlowen {

namespace {

// Slots are as high as a row: a height below 1 would leave nothing to divide the list by.
void CheckRowHeight(int32_t rowHeight) {
    if (rowHeight > 0) return;
    throw EMultiLanguageException::CreateFmt(
        u"[rus]Неверное значение RowHeight=\"%s\".[eng]Invalid value RowHeight=\"%s\".",
        {Utf8ToUtf16(std::to_string(rowHeight))});
}

int32_t ClampToInt32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

// --- TDisplayControl ---

TDisplayControl::TDisplayControl(const TSkinContext& context, int32_t index)
    : TCustomGraphControl(context), Index_(index) {}

void TDisplayControl::ShowRow(std::unique_ptr<TCustomGraphControl> row) {
    if (row == nullptr) return;
    row->SetBounds(0, 0, Width(), Height());
    Controls().AddControl(std::move(row))->Invalidate();
}

std::unique_ptr<TCustomGraphControl> TDisplayControl::TakeRow() {
    TCustomGraphControl* row = Row();
    if (row == nullptr) return nullptr;
    return std::unique_ptr<TCustomGraphControl>(static_cast<TCustomGraphControl*>(Controls().Extract(row).release()));
}

// --- TCustomGraphList ---

TCustomGraphList::TCustomGraphList(const TSkinContext& context) : TCustomGraphControl(context) {}

TCustomGraphList::~TCustomGraphList() {
    if (TScrollBarLink* bar = ScrollBar()) bar->SetChangeHandler(nullptr);
}

void TCustomGraphList::EndUpdate() {
    if (UpdateDepth_ == 0) return;
    if (--UpdateDepth_ == 0 && Pending_) Rebuild();
}

void TCustomGraphList::Changed() {
    if (UpdateDepth_ > 0) {
        Pending_ = true;
        return;
    }
    Rebuild();
}

TCustomGraphControl* TCustomGraphList::Rows(int32_t index) const {
    return index >= 0 && index < RowCount() ? Rows_[static_cast<size_t>(index)].Row.Get() : nullptr;
}

TCustomGraphControl* TCustomGraphList::AddRow(std::unique_ptr<TCustomGraphControl> row) {
    return InsertRow(RowCount(), std::move(row));
}

TCustomGraphControl* TCustomGraphList::InsertRow(int32_t index, std::unique_ptr<TCustomGraphControl> row) {
    if (row == nullptr) return nullptr;
    TCustomGraphControl* added = row.get();
    index = std::clamp(index, 0, RowCount());
    Rows_.insert(Rows_.begin() + index, TRowEntry{TWeakRef<TCustomGraphControl>(added), std::move(row)});
    Changed();
    return added;
}

void TCustomGraphList::Clear() {
    DetachRows();
    ResetSelection();
    std::vector<TRowEntry> rows = std::move(Rows_);
    Rows_.clear();
    rows.clear();
    Changed();
}

void TCustomGraphList::DetachRows() {
    for (TCustomGraphControl* child : Controls().Controls()) {
        if (auto* slot = dynamic_cast<TDisplayControl*>(child)) ParkRowOf(*slot);
    }
}

void TCustomGraphList::ParkRowOf(TDisplayControl& slot) {
    std::unique_ptr<TCustomGraphControl> row = slot.TakeRow();
    if (row == nullptr) return;
    auto entry = std::find_if(Rows_.begin(), Rows_.end(), [&](const TRowEntry& e) { return e.Row.Get() == row.get(); });
    if (entry != Rows_.end()) entry->Parked = std::move(row);
}

void TCustomGraphList::ForgetFreedRows() {
    Rows_.erase(std::remove_if(Rows_.begin(), Rows_.end(), [](const TRowEntry& e) { return e.Row.Get() == nullptr; }),
                Rows_.end());
}

int32_t TCustomGraphList::SlotCount() const {
    int32_t count = 0;
    for (TCustomGraphControl* child : Controls().Controls()) count += dynamic_cast<TDisplayControl*>(child) != nullptr;
    return count;
}

TDisplayControl* TCustomGraphList::Slot(int32_t index) const {
    for (TCustomGraphControl* child : Controls().Controls()) {
        auto* slot = dynamic_cast<TDisplayControl*>(child);
        if (slot != nullptr && index-- == 0) return slot;
    }
    return nullptr;
}

TDisplayControl* TCustomGraphList::AddSlot(int32_t left, int32_t top, int32_t width, int32_t height) {
    auto slot = std::make_unique<TDisplayControl>(Context(), SlotCount());
    slot->SetBounds(left, top, width, height);
    return Controls().AddControl(std::move(slot));
}

void TCustomGraphList::ClearSlots() {
    DetachRows();
    std::vector<TDisplayControl*> slots;
    for (TCustomGraphControl* child : Controls().Controls()) {
        if (auto* slot = dynamic_cast<TDisplayControl*>(child)) slots.push_back(slot);
    }
    for (TDisplayControl* slot : slots) Controls().Remove(slot, true);
}

void TCustomGraphList::SetTopIndex(int32_t index) {
    TopIndex_ = index;
    Changed();
}

void TCustomGraphList::SetVerticalAlignment(TVerticalAlignment alignment) {
    VerticalAlignment_ = alignment;
    Changed();
}

TScrollBarLink* TCustomGraphList::ScrollBar() const { return ScrollBarRef_.Get() ? ScrollBar_ : nullptr; }

void TCustomGraphList::LinkScrollBar(TScrollBarLink* bar) {
    TScrollBarLink* old = ScrollBar();
    if (old != nullptr && old != bar) old->SetChangeHandler(nullptr);
    ScrollBar_ = bar;
    ScrollBarRef_ = TWeakRef<TCustomGraphControl>(bar != nullptr ? &bar->BarControl() : nullptr);
    if (bar == nullptr) return;
    // The handler may outlive the list (the bar is not ours): it checks the list first.
    bar->SetChangeHandler([this, list = TWeakRef<TCustomGraphControl>(this)] {
        if (list.Get() == nullptr || Syncing_) return;
        if (TScrollBarLink* linked = ScrollBar()) SetTopIndex(linked->Position());
    });
    Changed();
}

void TCustomGraphList::Rebuild() {
    if (Pending_) {
        DetachRows();
        Pending_ = false;
    }
    ForgetFreedRows();
    const int32_t slots = SlotCount();
    const int32_t rows = RowCount();
    TopIndex_ = std::max(std::min(TopIndex_, rows - slots), 0);
    if (rows < slots) {
        switch (VerticalAlignment_) {
            case TVerticalAlignment::Top: TopIndex_ = 0; break;
            case TVerticalAlignment::Bottom: TopIndex_ = rows - slots; break;
            case TVerticalAlignment::Center: TopIndex_ = (rows - slots) / 2; break;
        }
    }
    // Rows that stay in their slot are left alone (they keep hover and focus); the others go
    // back to the list first, so that each wanted row is parked when its slot asks for it.
    std::vector<std::pair<TDisplayControl*, int32_t>> shown;
    for (TCustomGraphControl* child : Controls().Controls()) {
        if (auto* slot = dynamic_cast<TDisplayControl*>(child)) {
            shown.emplace_back(slot, ClampToInt32(int64_t{TopIndex_} + static_cast<int64_t>(shown.size())));
        }
    }
    for (auto [slot, index] : shown) {
        if (slot->Row() != Rows(index)) ParkRowOf(*slot);
    }
    for (auto [slot, index] : shown) {
        if (slot->Row() == nullptr && index >= 0 && index < rows) {
            slot->ShowRow(std::move(Rows_[static_cast<size_t>(index)].Parked));
        }
    }
    if (TScrollBarLink* bar = ScrollBar()) {
        // The bar's change events while it takes the list's values are echoes of them.
        Syncing_ = true;
        struct TSyncingEnd {
            bool& Flag;
            ~TSyncingEnd() { Flag = false; }
        } syncingEnd{Syncing_};
        bar->SetMax(rows);
        bar->SetPage(slots);
        bar->SetPosition(TopIndex_);
    }
}

void TCustomGraphList::DoMouseWheel(int32_t distance, int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {
    const int64_t last = int64_t{RowCount()} - SlotCount();
    const int64_t top = std::max<int64_t>(std::min<int64_t>(int64_t{TopIndex_} - 3 * int64_t{distance}, last), 0);
    if (top != TopIndex_) SetTopIndex(static_cast<int32_t>(top));
}

// --- TGraphTextView ---

void TGraphTextView::LoadFromXML(const TXMLNode& node) {
    TCustomGraphControl::LoadFromXML(node);
    // Everything is read before anything changes, so that a bad attribute leaves the view as it was.
    const TValueItems& a = node.Attributes();
    const int32_t rowWidth = a.GetIntegerDef("RowWidth", Width());
    const int32_t rowHeight = a.GetInteger("RowHeight");
    CheckRowHeight(rowHeight);
    const TVerticalAlignment alignment = VertAlignmentFromName(a.GetTextDef("VerticalAlignment", "Top"));
    std::vector<TPoint> places;
    if (const TXMLNode* rows = node.FindChild("Rows")) {
        for (const TXMLNode* row : rows->Nodes().Nodes()) {
            if (!TextEquals(row->Name(), "Row")) continue;
            const TValueItems& r = row->Attributes();
            // A row without its own Left takes the view's Left, as stored skins are laid out.
            places.push_back({r.GetIntegerDef("Left", Left()), r.GetInteger("Top")});
        }
    } else {
        for (int32_t i = 0; i < Height() / rowHeight; ++i) places.push_back({0, i * rowHeight});
    }
    BeginUpdate();
    Clear();
    RowWidth_ = rowWidth;
    RowHeight_ = rowHeight;
    SetVerticalAlignment(alignment);
    ClearSlots();
    for (const TPoint& at : places) AddSlot(at.X, at.Y, RowWidth_, RowHeight_);
    EndUpdate();
}

// --- TGraphListView ---

TGraphListView::TGraphListView(const TSkinContext& context, int32_t left, int32_t top, int32_t width, int32_t height,
                               int32_t rowHeight)
    : TCustomGraphList(context) {
    CheckRowHeight(rowHeight);
    SetBoundsDirect(left, top, width, height);
    TabStop = true;
    for (int32_t i = 0; i < height / rowHeight; ++i) AddSlot(0, i * rowHeight, width, rowHeight);
}

void TGraphListView::SetSelected(int32_t index) {
    index = std::clamp(index, -1, RowCount() - 1);
    if (index == Selected_) return;
    if (TCustomGraphControl* old = SelectedRow()) old->Invalidate();
    Selected_ = index;
    SelectedRow_ = TWeakRef<TCustomGraphControl>(Rows(index));
    if (TCustomGraphControl* row = SelectedRow()) row->Invalidate();
}

void TGraphListView::ResetSelection() {
    Selected_ = -1;
    SelectedRow_ = TWeakRef<TCustomGraphControl>();
}

void TGraphListView::ScrollIntoView(int32_t index) {
    if (index < 0 || index >= RowCount()) return;
    int32_t top = TopIndex();
    if (index < top) {
        top = index;
    } else if (int64_t{index} >= int64_t{top} + SlotCount()) {
        top = index - SlotCount() + 1;
    }
    SetTopIndex(top);
}

void TGraphListView::Rebuild() {
    const int32_t selected = Selected_;
    SetSelected(-1);
    TCustomGraphList::Rebuild();
    SetSelected(selected);
}

void TGraphListView::Paint(const TPaintContext& paint) {
    if (Background != nullptr) paint.Draw(*Background, 0, 0);
    TCustomGraphList::Paint(paint);
}

void TGraphListView::DoKeyDown(uint32_t virtualKey, bool extended, bool repeated, bool& processed) {
    const int32_t slots = SlotCount();
    const int32_t old = Selected_;
    switch (virtualKey) {
        case VirtualKey::PageUp:
            processed = true;
            SetSelected(ClampToInt32(std::max<int64_t>(0, int64_t{Selected_} - slots + 1)));
            ScrollIntoView(Selected_);
            break;
        case VirtualKey::PageDown: {
            processed = true;
            SetSelected(ClampToInt32(int64_t{Selected_} + slots - 1));
            ScrollIntoView(Selected_);
            // OnSelect at once, and again once it ran when the selection moved.
            AfterEvent([this, old] {
                if (Selected_ != old) RaiseEvent(OnSelect, *this);
            });
            RaiseEvent(OnSelect, *this);
            return;
        }
        case VirtualKey::Up:
            processed = true;
            if (Selected_ > 0) {
                SetSelected(Selected_ - 1);
                ScrollIntoView(Selected_);
            }
            break;
        case VirtualKey::Down:
            processed = true;
            SetSelected(ClampToInt32(int64_t{Selected_} + 1));
            ScrollIntoView(Selected_);
            break;
        default: TCustomGraphList::DoKeyDown(virtualKey, extended, repeated, processed); return;
    }
    if (Selected_ != old) RaiseEvent(OnSelect, *this);
}

// --- TGraphRow ---

TGraphRow::TGraphRow(const TSkinContext& context, int32_t tag, TPaintEvent paint)
    : TCustomGraphControl(context), Tag(tag) {
    OnPaint = std::move(paint);
}

TGraphListView* TGraphRow::ListView() const {
    auto* slot = dynamic_cast<TDisplayControl*>(ParentControl());
    return slot != nullptr ? dynamic_cast<TGraphListView*>(slot->ParentControl()) : nullptr;
}

bool TGraphRow::Selected() const {
    const TGraphListView* view = ListView();
    return view != nullptr && view->SelectedRow() == this;
}

void TGraphRow::DoLButtonDown(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {
    TGraphListView* view = ListView();
    if (view == nullptr) return;
    // The view's OnSelect (and OnDblClick on a second click) follow the focus and the row's
    // own event; the view holds the row, so a row that lives has its view.
    AfterEvent([this] {
        TGraphListView* list = ListView();
        if (list == nullptr) return;
        const uint32_t now = Context().Platform.Application.TickCount();
        if (ClickPending_ && now - LastClick_ < kDoubleClickTime) {
            ClickPending_ = false;
            AfterEvent([this] {
                if (TGraphListView* doubled = ListView()) RaiseEvent(doubled->OnDblClick, *doubled, doubled->Selected());
            });
        } else {
            LastClick_ = now;
            ClickPending_ = true;
        }
        RaiseEvent(list->OnSelect, *list);
    });
    const auto* slot = static_cast<const TDisplayControl*>(ParentControl());
    view->SetSelected(ClampToInt32(int64_t{slot->Index()} + view->TopIndex()));
    view->SetFocused(true);
}

void TGraphRow::DoMouseWheel(int32_t distance, int32_t x, int32_t y, TShiftState shift) {
    TGraphListView* view = ListView();
    if (view == nullptr) return;
    const TCustomGraphControl* slot = ParentControl();
    view->MouseWheel(distance, x + Left() + slot->Left(), y + Top() + slot->Top(), shift);
}

// --- registration ---

void RegisterListElements(TGraphElementRegistry& registry) {
    registry.Register("TextView", &CreateElementOf<TGraphTextView>);
}

}  // namespace marlowen
