#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/LanguageSubscription.h"
#include "skin/GraphButtons.h"
#include "skin/GraphControl.h"
#include "skin/GraphLabels.h"
#include "skin/GraphLists.h"

namespace marlowen {

class TFontImages;
class TGraphComboBox;
class TGraphFrame;
class TScrollBarV;

// One choice of a combo box. The texts are language-tagged; the short one is what the closed box
// shows, the full one what the drop-down rows show.
class TGraphComboBoxItem {
public:
    TGraphComboBoxItem() = default;
    TGraphComboBoxItem(std::string name, std::u16string text, std::u16string shortText, int32_t data = 0)
        : Name(std::move(name)), Text(std::move(text)), ShortText(std::move(shortText)), Data(data) {}

    std::string Name;
    std::u16string Text;
    std::u16string ShortText;
    int32_t Data = 0;
};

// Where the drop-down opens, relative to the box.
enum class TDropPosition : uint8_t { Down = 0, Up = 1 };

// The "DropPosition" text ("Down", "Up", any letter case); anything else raises the DropPosition
// message.
TDropPosition DropPositionFromName(const std::string& name);

// A row of the drop-down: it shows the item its tag names, painted by the combo box. It acts on
// the pointer only when it receives the input itself (the open combo box normally holds the
// capture): a move highlights it, a release chooses it. A press does nothing, so that the focus
// stays with the combo box.
class TGraphComboBoxRow : public TGraphRow {
public:
    TGraphComboBoxRow(const TSkinContext& context, TGraphComboBox& combo, int32_t tag);

    void Paint(const TPaintContext& paint) override;

    // Assistive technology: the item's text; the action chooses it.
    std::u16string AccessibleCaption() const override;
    void DoAccessibleAction() override;

protected:
    void DoLButtonDown(int32_t x, int32_t y, TShiftState shift) override;
    void DoLButtonUp(int32_t x, int32_t y, TShiftState shift) override;
    void DoMouseMove(int32_t x, int32_t y, TShiftState shift) override;

private:
    TGraphComboBox* Combo() const;

    TGraphComboBox& Combo_;  // borrowed; the row checks it is still alive before use
    TWeakRef<TCustomGraphControl> ComboRef_;
};

// "Combobox": a framed box showing the chosen item, with an optional drop button, that opens a
// drop-down frame (a list view and, when the items do not all fit, a vertical scroll bar) above
// everything else on the screen. While open the drop-down frame is one of the container's
// top-level controls and the combo box holds the mouse capture; losing the focus or the capture
// closes it. OnChange follows a choice made with the mouse (also of the same item) and every key
// that changed the item index.
class TGraphComboBox : public TCustomGraphControl {
public:
    static constexpr int32_t kInitialScrollBarSize = 10;

    explicit TGraphComboBox(const TSkinContext& context);
    // An open drop-down is taken back from the container and freed with the box.
    ~TGraphComboBox() override;
    TGraphComboBox(const TGraphComboBox&) = delete;
    TGraphComboBox& operator=(const TGraphComboBox&) = delete;

    // "Left", "Top", "Width", "Height", "Style" (required) and "Name"; the items from "Items".
    // The style is read completely before anything changes.
    void LoadFromXML(const TXMLNode& node) override;
    // Takes the look from the combo style document of that name.
    void LoadStyle(const std::string& style);

    // --- items ---
    int32_t ItemCount() const { return static_cast<int32_t>(Items_.size()); }
    TGraphComboBoxItem* Items(int32_t index) const;
    TGraphComboBoxItem& AddItem(std::unique_ptr<TGraphComboBoxItem> item);
    // Both close an open drop-down first (its rows show the old items) and keep the item index
    // within the items that remain.
    void DeleteItem(int32_t index);
    void ClearItems();

    int32_t ItemIndex() const { return ItemIndex_; }
    // Kept within -1...ItemCount - 1; repaints when it changed.
    void SetItemIndex(int32_t index);
    // The item at the index; none when nothing is chosen.
    TGraphComboBoxItem* GetSelectedItem() const { return Items(ItemIndex_); }

    // --- the drop-down ---
    bool Dropped() const { return Dropped_; }
    void DropDown();
    void CloseUp();
    // Raises OnChange.
    void Change();
    TNotifyEvent OnChange;

    TButtonState ButtonState() const { return ButtonState_; }
    TGraphButton* DropButton() const { return Button_.get(); }
    // The drop-down frame, its list view and its scroll bar (none without "ScrollFolder").
    TGraphFrame* DropDownFrame() const;
    TGraphListView* ListView() const;
    TScrollBarV* ScrollBar() const;

    int32_t RowHeight() const { return RowHeight_; }
    int32_t DropDownCount() const { return DropDownCount_; }
    int32_t DropDownIndent() const { return DropDownIndent_; }
    int32_t DropDownWidth() const { return DropDownWidth_; }
    TDropPosition DropPosition() const { return DropPosition_; }
    THorzAlignment TextAlign() const { return TextAlign_; }

    // Paints an item (none: only the highlight) into the rectangle (x, y, width, height) of the
    // context: the box shows the short text in the edit text colour, rows the full text in the
    // text colour; a highlighted one lies on the selected frame in the selected text colour.
    void PaintItem(const TPaintContext& paint, const TRect& rect, bool box, bool highlighted,
                   const TGraphComboBoxItem* item) const;
    // A point of the box's coordinates in the list view's; false when it lies outside the list.
    bool BoxToList(int32_t x, int32_t y, int32_t& listX, int32_t& listY) const;
    // The row index under a point of the list view's coordinates.
    int32_t RowAt(int32_t listY) const;
    // A press (box coordinates) on the drop-down's scroll bar: the bar's part under it borrows
    // the capture for the press and returns it on release, so the list scrolls and stays open.
    // False when the point is not on the bar.
    bool PressScrollBar(int32_t x, int32_t y, TShiftState shift);

    // Called by the rows.
    void RowHovered(int32_t slotIndex);
    void RowChosen(int32_t tag);

    // Hiding or disabling the box closes its drop-down (it would no longer get the input that
    // closes it).
    void SetVisible(bool value) override;
    void SetEnabled(bool value) override;

    void Paint(const TPaintContext& paint) override;
    void CaptureLost() override;
    bool HasHint() const override;

    // Assistive technology.
    int32_t AccessibleRole() const override { return AccRole::ComboBox; }
    void Describe(TAccessibleDescription& description) const override;

protected:
    void DoLButtonDown(int32_t x, int32_t y, TShiftState shift) override;
    void DoLButtonUp(int32_t x, int32_t y, TShiftState shift) override;
    void DoRButtonDown(int32_t x, int32_t y, TShiftState shift) override;
    void DoMouseMove(int32_t x, int32_t y, TShiftState shift) override;
    // The wheel scrolls an open drop-down.
    void DoMouseWheel(int32_t distance, int32_t x, int32_t y, TShiftState shift) override;
    void DoMouseEnter() override;
    void DoMouseLeave() override;
    void DoExit() override;
    void DoKeyDown(uint32_t virtualKey, bool extended, bool repeated, bool& processed) override;

private:
    // The texts follow the current language.
    void LanguageChanged(TLanguages& sender, TLanguageNotify flag);
    // A drop-down frame with its list view and (with a scroll folder) its scroll bar.
    struct TDropDownParts {
        std::unique_ptr<TGraphFrame> Frame;
        TGraphListView* List = nullptr;  // children of the frame
        TScrollBarV* Bar = nullptr;
    };
    TDropDownParts MakeDropDown(const std::string& style, const std::string& scrollFolder, int32_t rowHeight) const;
    // Keeps the parts as the closed drop-down.
    void TakeDropDown(TDropDownParts parts);
    void PlaceDropDown();
    void FillList();
    void SetButtonState(TButtonState state);
    // Closes without releasing the capture or repainting: the box is going away.
    void TakeBackDropDown() noexcept;
    // Enter, Escape, Up and Down; false for any other key.
    bool HandleKey(uint32_t virtualKey);

    std::string DropDownStyle_;
    std::unique_ptr<TGraphFrame> BoxFrame_;
    std::unique_ptr<TGraphFrame> SelectedFrame_;
    std::unique_ptr<TGraphButton> Button_;
    std::string ScrollFolder_;
    TButtonState ButtonState_ = TButtonState::Normal;

    // Owned while closed; while open the container's top-level list holds it.
    std::unique_ptr<TGraphFrame> DropDownOwned_;
    TGraphFrame* DropDown_ = nullptr;
    TWeakRef<TCustomGraphControl> DropDownRef_;
    TGraphListView* List_ = nullptr;  // inside the drop-down frame
    TScrollBarV* Bar_ = nullptr;      // inside the drop-down frame; none without a scroll folder

    int32_t RowHeight_ = 0;
    int32_t DropDownCount_ = 0;
    int32_t DropDownIndent_ = 0;
    int32_t DropDownWidth_ = 0;
    TDropPosition DropPosition_ = TDropPosition::Down;
    const TFontImages* Font_ = nullptr;  // borrowed from the packs
    uint32_t TextColor_ = 0;
    uint32_t SelectedTextColor_ = 0;
    uint32_t EditTextColor_ = 0;
    int32_t TextLeftIndent_ = 0;
    int32_t TextRightIndent_ = 0;
    THorzAlignment TextAlign_ = THorzAlignment::Left;

    std::vector<std::unique_ptr<TGraphComboBoxItem>> Items_;
    int32_t ItemIndex_ = -1;
    bool Dropped_ = false;
    TPoint LastListPoint_{-1, -1};
    TLanguageSubscription LanguageSubscription_;  // last: it ends before the rest goes
};

}  // namespace marlowen
