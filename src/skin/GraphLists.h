#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "skin/GraphControl.h"
#include "skin/TextDraw.h"

namespace marlowen {

class TBitmap32;
class TCustomGraphList;
class TGraphListView;

// What a list needs of a scroll bar linked to it; the scroll bars implement it. The list tells
// the bar its range after every rebuild and follows the bar's position through the change
// handler.
class TScrollBarLink {
public:
    virtual ~TScrollBarLink() = default;

    // The bar as a control: the list stops using the bar once this control is freed.
    virtual TCustomGraphControl& BarControl() = 0;
    virtual int32_t Position() const = 0;
    virtual void SetMax(int32_t max) = 0;
    virtual void SetPage(int32_t page) = 0;
    virtual void SetPosition(int32_t position) = 0;
    // Replaces the handler called whenever the position changes (none: nothing is called).
    virtual void SetChangeHandler(std::function<void()> handler) = 0;
};

// A slot of a list: a place that shows one row of the list at a time. A row shown is the slot's
// only child and the slot owns it until the list takes it back; a row has one owner at any time,
// the slot that shows it or the list that parks it. Slots paint nothing and never take the mouse;
// the rows inside them do.
class TDisplayControl : public TCustomGraphControl {
public:
    TDisplayControl(const TSkinContext& context, int32_t index);

    int32_t Index() const { return Index_; }
    // The row shown; none when the slot is empty.
    TCustomGraphControl* Row() const { return Controls().First(); }
    // Shows the row at (0, 0) with the slot's size. The slot must be empty.
    void ShowRow(std::unique_ptr<TCustomGraphControl> row);
    // Takes the row out of the slot and hands it over (none when empty).
    std::unique_ptr<TCustomGraphControl> TakeRow();

    void Paint(const TPaintContext&) override {}
    bool HitTest(int32_t, int32_t) override { return false; }

private:
    int32_t Index_;
};

// Rows shown through slots (the children), from a top index on. The list keeps the rows in order
// and owns those no slot shows. A list shorter than its
// slots sits at the top, the bottom or the centre of them. Changes rebuild at once, or once at
// the last EndUpdate while an update is open.
class TCustomGraphList : public TCustomGraphControl {
public:
    explicit TCustomGraphList(const TSkinContext& context);
    ~TCustomGraphList() override;

    void BeginUpdate() { ++UpdateDepth_; }
    void EndUpdate();

    int32_t RowCount() const { return static_cast<int32_t>(Rows_.size()); }
    TCustomGraphControl* Rows(int32_t index) const;
    TCustomGraphControl* AddRow(std::unique_ptr<TCustomGraphControl> row);
    // At index, kept within 0...RowCount.
    TCustomGraphControl* InsertRow(int32_t index, std::unique_ptr<TCustomGraphControl> row);
    // Empties the slots and forgets the selection, then frees the rows.
    void Clear();

    int32_t SlotCount() const;
    TDisplayControl* Slot(int32_t index) const;

    int32_t TopIndex() const { return TopIndex_; }
    void SetTopIndex(int32_t index);
    TVerticalAlignment VerticalAlignment() const { return VerticalAlignment_; }
    void SetVerticalAlignment(TVerticalAlignment alignment);

    // The bar (borrowed; none: unlink) follows the list, and its moves set the top index.
    void LinkScrollBar(TScrollBarLink* bar);
    TScrollBarLink* ScrollBar() const;

    // Puts rows from the top index into the slots and tells the linked bar.
    virtual void Rebuild();


protected:
    // A rebuild now, or at the last EndUpdate.
    void Changed();
    // Appends a slot at (left, top) of width x height, numbered after the others.
    TDisplayControl* AddSlot(int32_t left, int32_t top, int32_t width, int32_t height);
    // Frees every slot (their rows go back to the list).
    void ClearSlots();
    // Takes every shown row back from the slots.
    void DetachRows();
    // Clear drops the selection here, before the rows are freed.
    virtual void ResetSelection() {}

    // The wheel moves the top index three rows a step.
    void DoMouseWheel(int32_t distance, int32_t x, int32_t y, TShiftState shift) override;

private:
    int32_t UpdateDepth_ = 0;
    bool Pending_ = false;
    bool Syncing_ = false;  // telling the bar; its change events are echoes
    // A row in the list's order; Parked owns it while no slot shows it. A row freed by someone
    // else (with the slot that showed it) leaves the list at the next rebuild.
    struct TRowEntry {
        TWeakRef<TCustomGraphControl> Row;
        std::unique_ptr<TCustomGraphControl> Parked;
    };

    // Hands the slot's row back to its entry (a row the list does not know is freed).
    void ParkRowOf(TDisplayControl& slot);
    // Drops the entries whose rows were freed elsewhere.
    void ForgetFreedRows();

    int32_t TopIndex_ = 0;
    std::vector<TRowEntry> Rows_;
    TScrollBarLink* ScrollBar_ = nullptr;  // borrowed; alive while ScrollBarRef_ is
    TWeakRef<TCustomGraphControl> ScrollBarRef_;
    TVerticalAlignment VerticalAlignment_ = TVerticalAlignment::Top;
};

// The "TextView" element: rows (made in code) shown through slots that the element lays out,
// either one per "Row" under "Rows" (at its "Left", default 0, and "Top", in the view's own
// coordinates) or stacked from the top.
class TGraphTextView : public TCustomGraphList {
public:
    using TCustomGraphList::TCustomGraphList;

    // Common attributes, then "RowWidth" (default: the width), "RowHeight" (required, above 0)
    // and "VerticalAlignment"; the slots are made anew.
    void LoadFromXML(const TXMLNode& node) override;

    int32_t RowWidth() const { return RowWidth_; }
    int32_t RowHeight() const { return RowHeight_; }

private:
    int32_t RowWidth_ = 0;
    int32_t RowHeight_ = 0;
};

using TListIndexEvent = std::function<void(TCustomGraphControl& sender, int32_t index)>;

// A list of owner-drawn rows with one selected row, moved by the keys and the mouse.
class TGraphListView : public TCustomGraphList {
public:
    // Height / rowHeight slots of width x rowHeight stacked from the top; TabStop on, nothing
    // selected. A row height below 1 raises the RowHeight message.
    TGraphListView(const TSkinContext& context, int32_t left, int32_t top, int32_t width, int32_t height,
                   int32_t rowHeight);

    int32_t Selected() const { return Selected_; }
    // Kept within -1...RowCount - 1 (-1: none); repaints the rows that lose and gain it.
    void SetSelected(int32_t index);
    TCustomGraphControl* SelectedRow() const { return SelectedRow_.Get(); }
    // Moves the top index just enough to show the row; indexes outside the rows are ignored.
    void ScrollIntoView(int32_t index);

    // Painted under the rows (borrowed; none: nothing).
    const TBitmap32* Background = nullptr;

    TNotifyEvent OnSelect;
    TListIndexEvent OnDblClick;

    // Keeps the selected index across the rebuild.
    void Rebuild() override;
    void Paint(const TPaintContext& paint) override;

    // Assistive technology.
    int32_t AccessibleRole() const override { return AccRole::List; }

protected:
    void ResetSelection() override;

    // Page Up, Page Down, Up and Down move the selection (and are reported handled).
    void DoKeyDown(uint32_t virtualKey, bool extended, bool repeated, bool& processed) override;

private:
    int32_t Selected_ = -1;
    TWeakRef<TCustomGraphControl> SelectedRow_;
};

// A row of a list view, painted by its paint event. A mouse down selects it, focuses the list
// view and raises the view's OnSelect; a second one within 300 ms raises the view's OnDblClick.
class TGraphRow : public TCustomGraphControl {
public:
    static constexpr uint32_t kDoubleClickTime = 300;

    TGraphRow(const TSkinContext& context, int32_t tag, TPaintEvent paint);

    int32_t Tag;
    // The list view that shows the row (none when no slot shows it).
    TGraphListView* ListView() const;
    // Whether the row is its list view's selected row.
    bool Selected() const;


    // Assistive technology.
    int32_t AccessibleRole() const override { return AccRole::ListItem; }
    void Describe(TAccessibleDescription& description) const override;
    bool HasAccessibleAction() const override { return ListView() != nullptr; }
    void DoAccessibleAction() override;

protected:
    void DoLButtonDown(int32_t x, int32_t y, TShiftState shift) override;
    // Wheel steps go to the list view.
    void DoMouseWheel(int32_t distance, int32_t x, int32_t y, TShiftState shift) override;

private:
    uint32_t LastClick_ = 0;
    bool ClickPending_ = false;  // LastClick_ holds a click that may start a double click
};

}  // namespace marlowen
