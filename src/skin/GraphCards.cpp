#include "skin/GraphCards.h"

#include <algorithm>
#include <cctype>

#include "core/Exception.h"
#include "core/Utf.h"
#include "core/ValueItems.h"
#include "skin/Bitmap32.h"
#include "skin/GraphButtons.h"
#include "skin/GraphCheckBoxes.h"
#include "skin/GraphContainer.h"
#include "skin/GraphControlsRegistration.h"
#include "skin/GraphElementRegistry.h"
#include "skin/GraphLabels.h"
#include "skin/GraphMultiLine.h"
#include "skin/PaintContext.h"
#include "skin/Resources.h"
#include "skin/XMLNode.h"

namespace marlowen {

namespace {

constexpr std::string_view kRanks = "23456789TJQKA";
constexpr std::string_view kSuits = "dcsh";
// The suit symbols of the Symbol character set, in suit order.
constexpr std::string_view kSuitSymbols = "\xA8\xA7\xAA\xA9";

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

int32_t SuitIndex(char c) {
    size_t at = kSuits.find(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    if (at == std::string_view::npos) at = kSuitSymbols.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int32_t>(at);
}

// Paints a control that lives outside the container's tree, with its descendants.
void PaintDetached(TCustomGraphControl& control, const TPaintContext& at) {
    control.Paint(at);
    control.PaintChildren(at);
    control.PaintOverlay(at);
}

void ForEachDescendant(const TCustomGraphControl& root, const std::function<void(TCustomGraphControl&)>& visit) {
    const TCustomGraphControl* end = root.NextSkippingChildren();
    for (TCustomGraphControl* c = root.Controls().First(); c != nullptr && c != end; c = c->NextInTree()) visit(*c);
}

constexpr std::string_view kHandOrder =
    "AA KK QQ AKs AQs JJ KQs AJs KJs ATs QJs KTs AK JTs QTs TT A9s AQ A8s T9s KQ A5s K9s 99 J9s A7s Q9s A4s AJ "
    "A6s A3s KJ QJ T8s K8s 88 A2s AT 98s J8s JT K7s KT Q8s QT K6s 77 K5s 87s T7s 97s K4s Q7s 76s 66 K3s J7s Q6s "
    "86s K2s 65s Q5s T9 55 54s 75s Q4s T6s A9 96s J6s 44 Q3s J9 J5s 33 K9 64s 85s Q2s A8 22 Q9 J4s A5 53s T5s "
    "J3s A7 95s A4 74s T4s J2s T8 43s A6 T3s A3 98 63s 84s K8 T2s J8 52s 94s Q8 A2 87 K7 73s 93s 42s 97 K6 T7 "
    "92s 76 83s 62s K5 32s 82s 65 86 J7 K4 Q7 72s 54 Q6 75 K3 96 Q5 T6 K2 64 Q4 J6 85 53 J5 Q3 J4 T5 Q2 74 95 "
    "43 J3 T4 63 J2 T3 84 52 T2 42 94 73 93 83 62 92 32 82 72";

constexpr std::string_view kHandGroups[] = {
    "AA, KK, QQ, JJ, AKs,",
    "TT, AQs, AJs, KQs, AKo,",
    "99, JTs, QJs, KJs, ATs, AQo,",
    "T9s, KQo, 88, QTs, 98s, J9s, AJo, KTs,",
    "77, 87s, Q9s, T8s, KJo, QJo, JTo, 76s, 97s, A9s, A8s, A7s, A6s, A5s, A4s, A3s, A2s, 65s,",
    "66, ATo, 55, 86s, KTo, QTo, 54s, K9s, J8s, 75s,",
    "44, J9o, 64s, T9o, 53s, 33, 98o, 43s, 22, K8s, K7s, K6s, K5s, K4s, K3s, K2s, J7s, Q8s,",
    "87o, A9o, Q9o, 76o, 42s, 32s, 96s, 85s, J8o, T7s, 65o, 54o, 74s, K9o, T8o,",
};

int32_t RequireRank(char c) {
    const int32_t rank = CardRankIndex(c);
    if (rank < 0) throw Exception("'" + std::string(1, c) + "' - неверное обозначение карты");
    return rank;
}

}  // namespace

int32_t CardRankIndex(char c) {
    const size_t at = kRanks.find(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return at == std::string_view::npos ? -1 : static_cast<int32_t>(at);
}

uint8_t CardFromText(std::string_view text) {
    if (text.empty() || SameText(text, "None")) return CardCode::None;
    if (SameText(text, "Unknown")) return CardCode::Unknown;
    if (text.size() < 2) return CardCode::None;  // a lone rank names no card
    const int32_t rank = CardRankIndex(text[0]);
    const int32_t suit = SuitIndex(text[1]);
    if (rank < 0 || suit < 0) return CardCode::Unknown;
    return static_cast<uint8_t>(rank * 4 + suit);
}

std::string CardToText(uint8_t code) {
    if (code == CardCode::Unknown) return "?";
    if (code >= CardCode::Count) return {};
    return {kRanks[code / 4], kSuits[code % 4]};
}

// --- TGraphCardImage ---

TGraphCardImage::TGraphCardImage(const TSkinContext& context) : TCustomGraphControl(context) {}

void TGraphCardImage::LoadFromXML(const TXMLNode& node) {
    TCustomGraphControl::LoadFromXML(node);
    const TValueItems& a = node.Attributes();
    const TXMLNode& deck = Context().Resources.GetXML(a.GetText("Deck"));
    ImageFolder_ = deck.Attributes().GetText("CardsImageFolder");
    BackImageName_ = deck.Attributes().GetText("CardBackImageName");
    const TBitmap32& back = Context().Resources.GetImage(BackImageName_);
    SetBoundsDirect(Left(), Top(), back.Width(), back.Height());
    Alpha_ = std::clamp(a.GetIntegerDef("Alpha", kOpaque), 0, kOpaque);
    Transparent = a.GetBooleanDef("Transparent", true);
    SetCard(CardFromText(a.GetTextDef("Card", "Unknown")));
    CreateChildren(node);
}

void TGraphCardImage::SetCard(uint8_t code) {
    code = NormalizedCard(code);
    if (code == Card_) return;
    Card_ = code;
    Invalidate();
}

std::string TGraphCardImage::GetImageName() const {
    if (Card_ == CardCode::Unknown) return BackImageName_;
    return ImageFolder_ + "\\" + CardToText(Card_) + ".bmp";
}

void TGraphCardImage::Paint(const TPaintContext& paint) {
    if (Card_ == CardCode::None) return;
    if (const TBitmap32* image = Context().Resources.FindImage(GetImageName())) paint.Draw(*image, 0, 0, Alpha_);
}

// --- TGraphCardControl ---

TGraphCardControl::TGraphCardControl(const TSkinContext& context) : TCustomGraphControl(context) {}

void TGraphCardControl::LoadFromXML(const TXMLNode& node) {
    TCustomGraphControl::LoadFromXML(node);
    const TValueItems& a = node.Attributes();
    Style_ = a.GetText("Style");
    const TXMLNode& style = Context().Resources.GetXML(Style_);
    const TXMLNode* first = style.Nodes().FirstNode();
    if (first == nullptr) throw Exception("В " + Style_ + " не определено ни одного стиля.");
    State_ = a.GetTextDef("State", first->Name());
    Card_ = NormalizedCard(CardFromText(a.GetTextDef("Card", "Unknown")));
    SetBoundsDirect(Left(), Top(), style.Attributes().GetInteger("Width"), style.Attributes().GetInteger("Height"));
    TabStop = style.Attributes().GetBooleanDef("TabStop", TabStop);
    TabStop = a.GetBooleanDef("TabStop", TabStop);
    BuildState();
}

void TGraphCardControl::SetCard(uint8_t code) {
    Card_ = NormalizedCard(code);
    if (TGraphCardImage* image = CardImage()) image->SetCard(Card_);
}

void TGraphCardControl::SetState(std::string name) {
    State_ = std::move(name);
    BuildState();
}

void TGraphCardControl::BuildState() {
    Controls().Clear();
    CardImage_ = TWeakRef<TCustomGraphControl>();
    const TXMLNode& style = Context().Resources.GetXML(Style_);
    for (const TXMLNode* state : style.Nodes().Nodes()) {
        if (!SameText(state->Name(), State_)) continue;
        CreateChildren(*state);
        HandConditions(MouseInside(), Focused());
        break;
    }
    SetCard(Card_);
    Invalidate();
}

void TGraphCardControl::HandConditions(bool hot, bool focused) {
    TValueItems values;
    values.SetBoolean("Hot", hot);
    values.SetBoolean("Focused", focused);
    HandConditions(values);
}

void TGraphCardControl::HandConditions(const TValueItems& values) {
    Controls().BroadcastConditions(&values);
    TGraphCardImage* found = nullptr;
    ForEachDescendant(*this, [&](TCustomGraphControl& c) {
        if (found == nullptr) found = dynamic_cast<TGraphCardImage*>(&c);
    });
    CardImage_ = TWeakRef<TCustomGraphControl>(found);
    if (found != nullptr) found->SetCard(Card_);
}

void TGraphCardControl::ConditionsChanged(const TValueItems* values) {
    if (values != nullptr) HandConditions(*values);
}

void TGraphCardControl::DoMouseEnter() {
    HandConditions(true, Focused());
}

void TGraphCardControl::DoMouseLeave() {
    HandConditions(false, Focused());
}

void TGraphCardControl::DoEnter() {
    HandConditions(MouseInside(), true);
}

void TGraphCardControl::DoExit() {
    HandConditions(MouseInside(), false);
}

void TGraphCardControl::DoLButtonDown(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {
    AfterEvent([this] { RaiseEvent(OnCardLButtonDown, *this); });
    if (TabStop) SetFocused(true);
}

void TGraphCardControl::DoRButtonDown(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {
    AfterEvent([this] { RaiseEvent(OnCardRButtonDown, *this); });
    if (TabStop) SetFocused(true);
}

// --- hand cells ---

std::vector<THandCell> MakeHandCells() {
    std::vector<THandCell> cells;
    cells.reserve(169);
    int32_t cumulative = 0;
    size_t pos = 0;
    while (pos < kHandOrder.size()) {
        size_t end = kHandOrder.find(' ', pos);
        if (end == std::string_view::npos) end = kHandOrder.size();
        const std::string_view name = kHandOrder.substr(pos, end - pos);
        pos = end + 1;
        THandCell cell;
        cell.Index = static_cast<int32_t>(cells.size()) + 1;
        cell.FirstRank = RequireRank(name[0]);
        cell.SecondRank = RequireRank(name[1]);
        cell.Suited = name.size() > 2 && name[2] == 's';
        cell.Name = std::string(name.substr(0, 2)) + (cell.Suited ? "s" : cell.Pair() ? "" : "o");
        if (cell.Suited) {
            cell.Column = 12 - cell.SecondRank;
            cell.Row = 12 - cell.FirstRank;
        } else {
            cell.Column = 12 - cell.FirstRank;
            cell.Row = 12 - cell.SecondRank;
        }
        cell.Combinations = cell.Pair() ? 6 : cell.Suited ? 4 : 12;
        cumulative += cell.Combinations;
        cell.CumulativeCombinations = cumulative;
        const std::string key = cell.Name + ",";
        for (int32_t g = 0; g < 8; ++g) {
            // Whole names only: "AK," must not match inside "AKo,".
            const std::string_view text = kHandGroups[g];
            for (size_t at = text.find(key); at != std::string_view::npos; at = text.find(key, at + 1)) {
                if (at == 0 || text[at - 1] == ' ') {
                    cell.Group = g + 1;
                    break;
                }
            }
            if (cell.Group != 9) break;
        }
        cells.push_back(std::move(cell));
    }
    return cells;
}

// --- THoldemHandSet ---

THoldemHandSet::THoldemHandSet(const TSkinContext& context) : TCustomGraphControl(context) {}

THoldemHandSet::~THoldemHandSet() = default;

void THoldemHandSet::LoadFromXML(const TXMLNode& node) {
    TCustomGraphControl::LoadFromXML(node);
    const TValueItems& a = node.Attributes();
    ReadOnly = a.GetBoolean("ReadOnly");
    CellWidth_ = a.GetInteger("CellWidth");
    CellHeight_ = a.GetInteger("CellHeight");
    CellBorder_ = a.GetInteger("CellBorder");
    LeftIndent_ = a.GetInteger("LeftIndent");
    TopIndent_ = a.GetInteger("TopIndent");
    auto requireChild = [&](std::string_view name) -> const TXMLNode& {
        const TXMLNode* child = node.FindChild(name);
        if (child == nullptr) throw EXMLNotFound(std::string(name));
        return *child;
    };
    Background_ = std::make_unique<TCustomGraphControl>(Context());
    Background_->SetBounds(0, 0, Width(), Height());
    Background_->CreateChildren(requireChild("Background"));
    const TXMLNode& pair = requireChild("Pair");
    const TXMLNode& suited = requireChild("Suited");
    const TXMLNode& unsuited = requireChild("Unsuited");

    Cells_ = MakeHandCells();
    for (THandCell& cell : Cells_) {
        cell.Control = std::make_unique<TCustomGraphControl>(Context());
        cell.Control->SetBounds(0, 0, CellWidth_ + 2 * CellBorder_, CellHeight_ + 2 * CellBorder_);
        cell.Control->CreateChildren(cell.Pair() ? pair : cell.Suited ? suited : unsuited);
        const std::u16string caption = Utf8ToUtf16(cell.Name);
        ForEachDescendant(*cell.Control, [&](TCustomGraphControl& c) {
            if (auto* text = dynamic_cast<TGraphMultiLine*>(&c)) text->SetText(caption);
        });
        Grid_[static_cast<size_t>(cell.Row * 13 + cell.Column)] = &cell;
    }
}

THandCell* THoldemHandSet::FindCell(std::string_view name) const {
    for (const THandCell& cell : Cells_) {
        if (cell.Name == name) return const_cast<THandCell*>(&cell);
    }
    return nullptr;
}

THandCell* THoldemHandSet::CellAt(int32_t x, int32_t y) const {
    if (Cells_.empty()) return nullptr;
    const int64_t dx = int64_t{x} - LeftIndent_;
    const int64_t dy = int64_t{y} - TopIndent_;
    const int64_t stepX = int64_t{CellWidth_} + CellBorder_;
    const int64_t stepY = int64_t{CellHeight_} + CellBorder_;
    if (dx < 0 || dy < 0 || stepX <= 0 || stepY <= 0) return nullptr;
    const int64_t column = dx / stepX;
    const int64_t row = dy / stepY;
    if (column > 12 || row > 12) return nullptr;
    return Cell(static_cast<int32_t>(column), static_cast<int32_t>(row));
}

TRect THoldemHandSet::CellRect(const THandCell& cell) const {
    const int32_t x = LeftIndent_ + cell.Column * (CellWidth_ + CellBorder_);
    const int32_t y = TopIndent_ + cell.Row * (CellHeight_ + CellBorder_);
    return {x, y, x + CellWidth_ + 2 * CellBorder_, y + CellHeight_ + 2 * CellBorder_};
}

void THoldemHandSet::SetSelected(THandCell& cell, bool selected) {
    if (cell.Selected == selected) return;
    cell.Selected = selected;
    SelectedCount_ += selected ? cell.Combinations : -cell.Combinations;
    // The neighbours' edge marks depend on this cell too: repaint them with it.
    const TRect r = CellRect(cell);
    const int32_t stepX = CellWidth_ + CellBorder_;
    const int32_t stepY = CellHeight_ + CellBorder_;
    InvalidateRect(Left() + r.Left - stepX, Top() + r.Top - stepY, r.Right - r.Left + 2 * stepX,
                   r.Bottom - r.Top + 2 * stepY);
    RaiseEvent(OnChange, *this);
}

bool THoldemHandSet::IsSelected(int32_t column, int32_t row) const {
    if (column < 0 || row < 0 || column > 12 || row > 12) return false;
    const THandCell* cell = Cell(column, row);
    return cell != nullptr && cell->Selected;
}

void THoldemHandSet::Paint(const TPaintContext& paint) {
    if (Background_ != nullptr) {
        TValueItems hot;
        hot.SetBoolean("Hot", MouseInside() && Enabled() && ParentsShowing());
        Background_->SetBounds(0, 0, Width(), Height());
        Background_->Controls().BroadcastConditions(&hot);
        PaintDetached(*Background_, paint);
    }
    for (THandCell* cell : Grid_) {
        if (cell == nullptr) continue;
        const TRect r = CellRect(*cell);
        if (!paint.Intersects(r)) continue;
        const bool on = cell->Selected;
        TValueItems values;
        values.SetBoolean("Checked", on);
        values.SetBoolean("LeftEdge", on && !IsSelected(cell->Column - 1, cell->Row));
        values.SetBoolean("TopEdge", on && !IsSelected(cell->Column, cell->Row - 1));
        values.SetBoolean("RightEdge", on && !IsSelected(cell->Column + 1, cell->Row));
        values.SetBoolean("BottomEdge", on && !IsSelected(cell->Column, cell->Row + 1));
        cell->Control->Controls().BroadcastConditions(&values);
        PaintDetached(*cell->Control, paint.Offset(r.Left, r.Top));
    }
}

void THoldemHandSet::DoLButtonDown(int32_t x, int32_t y, TShiftState /*shift*/) {
    // The drag starts after the press's events, unless they freed the set.
    AfterEvent([this, x, y] {
        if (ReadOnly) return;
        THandCell* cell = CellAt(x, y);
        if (cell == nullptr) return;  // a press beside the grid starts no drag
        DragState_ = !cell->Selected;
        CaptureMouse();
        SetSelected(*cell, DragState_);
    });
    RaiseEvent(OnHandMouseDown, *this);
}

void THoldemHandSet::DoMouseMove(int32_t x, int32_t y, TShiftState shift) {
    if (ReadOnly || (shift & ShiftState::Left) == 0 || !IsCaptured()) return;
    if (THandCell* cell = CellAt(x, y)) SetSelected(*cell, DragState_);
}

void THoldemHandSet::DoLButtonUp(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {
    if (!ReadOnly) ReleaseMouse();
}

void THoldemHandSet::DoMouseEnter() {
    Invalidate();
}

void THoldemHandSet::DoMouseLeave() {
    Invalidate();
}

// --- THandControl ---

void THandControl::ConditionsChanged(const TValueItems* values) {
    TGraphSwitch::ConditionsChanged(values);
    if (values != nullptr) Controls().BroadcastConditions(values);
    StateBuilt();
}

std::vector<TGraphCardControl*> THandControl::Cards() const {
    std::vector<TGraphCardControl*> cards;
    for (const TWeakRef<TGraphCardControl>& ref : Cards_) {
        if (TGraphCardControl* card = ref.Get()) cards.push_back(card);
    }
    return cards;
}

namespace {

// The click event of the controls that have one: buttons, check boxes and text labels.
TNotifyEvent* ClickEventOf(TCustomGraphControl* control) {
    if (auto* button = dynamic_cast<TCustomGraphButton*>(control)) return &button->OnClick;
    if (auto* box = dynamic_cast<TGraphCheckBox*>(control)) return &box->OnClick;
    if (auto* label = dynamic_cast<TGraphTextLabel*>(control)) return &label->OnClick;
    return nullptr;
}

}  // namespace

void THandControl::StateBuilt() {
    Cards_.clear();
    const TCustomGraphControl* end = NextSkippingChildren();
    TCustomGraphControl* c = Controls().First();
    while (c != nullptr && c != end) {
        if (!c->Visible()) {
            c = c->NextSkippingChildren();
            continue;
        }
        if (auto* card = dynamic_cast<TGraphCardControl*>(c)) {
            Cards_.emplace_back(card);
            card->OnCardRButtonDown = [this](TGraphCardControl& sender) { RaiseEvent(OnCardRButtonDown, sender); };
        }
        c = c->NextInTree();
    }
    auto wire = [this](std::string_view name, std::function<void(THandControl&)> THandControl::*event) {
        if (TNotifyEvent* click = ClickEventOf(Controls().FindControl(name))) {
            *click = [this, event](TCustomGraphControl&) { RaiseEvent(this->*event, *this); };
        }
    };
    wire("ButtonHandCards", &THandControl::OnCardsClick);
    wire("ButtonHandClear", &THandControl::OnClearClick);
    wire("ButtonHandSet", &THandControl::OnSetClick);
    THoldemHandSet* handSet = nullptr;
    ForEachDescendant(*this, [&](TCustomGraphControl& d) {
        if (handSet == nullptr) handSet = dynamic_cast<THoldemHandSet*>(&d);
    });
    if (handSet != nullptr) {
        handSet->OnChange = [this](THoldemHandSet&) { RaiseEvent(OnHandSetChange, *this); };
    }
}

// --- registration ---

void RegisterCardElements(TGraphElementRegistry& registry) {
    registry.Register("CardImage", &CreateElementOf<TGraphCardImage>);
    registry.Register("CardControl", &CreateElementOf<TGraphCardControl>);
    registry.Register("HoldemHandSet", &CreateElementOf<THoldemHandSet>);
    registry.Register("HandControl", &CreateElementOf<THandControl>);
}

}  // namespace marlowen
