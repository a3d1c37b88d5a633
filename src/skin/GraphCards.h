#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "skin/GraphConditions.h"
#include "skin/GraphControl.h"

namespace marlowen {

class TValueItems;

// A card code: rank * 4 + suit for the 52 cards (ranks "23456789TJQKA", suits d c s h); the
// other values are no card at all or a face-down card.
namespace CardCode {
constexpr uint8_t Count = 52;
constexpr uint8_t None = 254;
constexpr uint8_t Unknown = 255;
}  // namespace CardCode

// The rank index of a rank character (letter case ignored), -1 for any other character.
int32_t CardRankIndex(char c);
// "" or "None" -> None, "Unknown" -> Unknown (letter case ignored); a rank then a suit letter or
// suit symbol byte -> the card; a one-character text is no card; any other text is Unknown.
uint8_t CardFromText(std::string_view text);
// "?" for Unknown, rank and suit letter for a card, "" for every other code.
std::string CardToText(uint8_t code);
// Codes that name no card and no face-down card become None.
inline uint8_t NormalizedCard(uint8_t code) {
    return code < CardCode::Count || code == CardCode::Unknown ? code : CardCode::None;
}

// One playing card drawn from a deck document's folder of faces, or the deck's back for a
// face-down card. The control takes the back's size; no card paints nothing.
class TGraphCardImage : public TCustomGraphControl {
public:
    static constexpr int32_t kOpaque = 256;

    explicit TGraphCardImage(const TSkinContext& context);

    // Common attributes, "Deck" (its root's "CardsImageFolder" and "CardBackImageName"),
    // "Alpha", "Transparent" and "Card"; then the children.
    void LoadFromXML(const TXMLNode& node) override;

    uint8_t Card() const { return Card_; }
    // Repaints when the (normalised) code differs.
    void SetCard(uint8_t code);
    int32_t Alpha() const { return Alpha_; }
    const std::string& ImageFolder() const { return ImageFolder_; }
    const std::string& BackImageName() const { return BackImageName_; }
    // The pack path of the picture to paint: the back for Unknown, else folder\<text>.bmp.
    virtual std::string GetImageName() const;

    // A transparent card lets the mouse through.
    bool Transparent = true;

    void Paint(const TPaintContext& paint) override;
    bool HitTest(int32_t, int32_t) override { return !Transparent; }

private:
    std::string ImageFolder_;
    std::string BackImageName_;
    uint8_t Card_ = CardCode::Unknown;
    int32_t Alpha_ = kOpaque;
};

// A card button styled by a style document: each child element of the style's root is a state
// whose controls draw the button; they receive the conditions "Hot" and "Focused", and the first
// card image among them shows the button's card.
class TGraphCardControl : public TCustomGraphControl {
public:
    explicit TGraphCardControl(const TSkinContext& context);

    // Common attributes, "Style", "State", "Card" and "TabStop" (the style's, then the
    // element's); builds the state. A style without states raises Exception.
    void LoadFromXML(const TXMLNode& node) override;

    uint8_t Card() const { return Card_; }
    void SetCard(uint8_t code);
    const std::string& State() const { return State_; }
    // Frees the controls and builds those of the named state (none when it has no element).
    void SetState(std::string name);
    TGraphCardImage* CardImage() const { return static_cast<TGraphCardImage*>(CardImage_.Get()); }

    std::function<void(TGraphCardControl& sender)> OnCardLButtonDown;
    std::function<void(TGraphCardControl& sender)> OnCardRButtonDown;

    void ConditionsChanged(const TValueItems* values) override;

protected:
    void DoMouseEnter() override;
    void DoMouseLeave() override;
    void DoEnter() override;
    void DoExit() override;
    void DoLButtonDown(int32_t x, int32_t y, TShiftState shift) override;
    void DoRButtonDown(int32_t x, int32_t y, TShiftState shift) override;

private:
    void BuildState();
    void HandConditions(bool hot, bool focused);
    void HandConditions(const TValueItems& values);

    std::string Style_;
    std::string State_;
    uint8_t Card_ = CardCode::Unknown;
    TWeakRef<TCustomGraphControl> CardImage_;
};

// One of the 169 starting-hand classes as a cell of the hand grid.
struct THandCell {
    int32_t Index = 0;  // 1...169, strongest first
    std::string Name;   // "AKs", "AKo", "AA"
    int32_t FirstRank = 0;
    int32_t SecondRank = 0;
    bool Suited = false;
    int32_t Column = 0;
    int32_t Row = 0;
    int32_t Combinations = 0;
    int32_t CumulativeCombinations = 0;
    int32_t Group = 9;
    bool Selected = true;
    std::unique_ptr<TCustomGraphControl> Control;  // draws the cell

    bool Pair() const { return FirstRank == SecondRank; }
};

// The 169 cells in the starting-hand order with everything but their controls: names, ranks,
// grid places, combination counts and groups. Raises Exception for a rank character it does
// not know.
std::vector<THandCell> MakeHandCells();

// The 13 x 13 grid of starting hands (aces top-left, pairs on the diagonal, suited hands right
// of it). A click toggles a cell and a drag paints that state over every cell it crosses;
// SelectedCount is the number of two-card combinations selected.
class THoldemHandSet : public TCustomGraphControl {
public:
    static constexpr int32_t kAllCombinations = 1326;

    explicit THoldemHandSet(const TSkinContext& context);
    ~THoldemHandSet() override;

    void LoadFromXML(const TXMLNode& node) override;

    bool ReadOnly = false;
    int32_t CellWidth() const { return CellWidth_; }
    int32_t CellHeight() const { return CellHeight_; }
    int32_t CellBorder() const { return CellBorder_; }

    const std::vector<THandCell>& Cells() const { return Cells_; }
    THandCell* Cell(int32_t column, int32_t row) const { return Grid_[static_cast<size_t>(row * 13 + column)]; }
    THandCell* FindCell(std::string_view name) const;
    // The cell under a point in control coordinates, or none.
    THandCell* CellAt(int32_t x, int32_t y) const;
    // The cell's rectangle in control coordinates; neighbours share one border.
    TRect CellRect(const THandCell& cell) const;
    int32_t SelectedCount() const { return SelectedCount_; }
    // Adjusts the count, repaints the cell and raises OnChange when the flag differs.
    void SetSelected(THandCell& cell, bool selected);

    std::function<void(THoldemHandSet& sender)> OnHandMouseDown;
    std::function<void(THoldemHandSet& sender)> OnChange;

    void Paint(const TPaintContext& paint) override;

protected:
    void DoLButtonDown(int32_t x, int32_t y, TShiftState shift) override;
    void DoLButtonUp(int32_t x, int32_t y, TShiftState shift) override;
    void DoMouseMove(int32_t x, int32_t y, TShiftState shift) override;
    void DoMouseEnter() override;
    void DoMouseLeave() override;

private:
    bool IsSelected(int32_t column, int32_t row) const;

    int32_t CellWidth_ = 0;
    int32_t CellHeight_ = 0;
    int32_t CellBorder_ = 0;
    int32_t LeftIndent_ = 0;
    int32_t TopIndent_ = 0;
    std::unique_ptr<TCustomGraphControl> Background_;
    std::vector<THandCell> Cells_;
    std::array<THandCell*, 169> Grid_{};
    bool DragState_ = false;
    // Every cell starts selected, so the count starts at all combinations.
    int32_t SelectedCount_ = kAllCombinations;
};

// A switch whose states group card controls, a hand grid and the buttons "ButtonHandCards",
// "ButtonHandClear" and "ButtonHandSet"; after every state change it wires their events to its
// own.
class THandControl : public TGraphSwitch {
public:
    using TGraphSwitch::TGraphSwitch;

    // The visible card controls of the current state, in tree order, less any freed since.
    std::vector<TGraphCardControl*> Cards() const;

    std::function<void(TGraphCardControl& card)> OnCardRButtonDown;
    std::function<void(THandControl& sender)> OnSetClick;
    std::function<void(THandControl& sender)> OnCardsClick;
    std::function<void(THandControl& sender)> OnClearClick;
    std::function<void(THandControl& sender)> OnHandSetChange;

    void ConditionsChanged(const TValueItems* values) override;

protected:
    void StateBuilt() override;

private:
    // Owned by the tree, which may free them (a state that fails to build, a handler): held by
    // references that notice. Rebuilt with every state.
    std::vector<TWeakRef<TGraphCardControl>> Cards_;
};

}  // namespace marlowen
