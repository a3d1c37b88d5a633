#include "skin/GraphScrollers.h"

#include <algorithm>

#include "core/ValueItems.h"
#include "skin/GraphButtons.h"
#include "skin/PaintContext.h"
#include "skin/Resources.h"
#include "skin/XMLNode.h"

namespace marlowen {

namespace {

constexpr int32_t kFlipUpsideDown = 2;
constexpr int32_t kRotateLeft = 3;

// The nearest integer to numerator / denominator (both non-negative, denominator > 0).
int32_t RoundedQuotient(int64_t numerator, int64_t denominator) {
    return static_cast<int32_t>((2 * numerator + denominator) / (2 * denominator));
}

}  // namespace

// --- TCustomScroller ---

TCustomScroller::TCustomScroller(const TSkinContext& context, const std::string& folder, bool horizontal)
    : TCustomGraphControl(context) {
    const TResources& resources = Context().Resources;
    const std::string track = folder + "\\подложка\\";
    const std::string thumb = folder + "\\ползунок\\";
    const std::pair<TImageIndex, std::string> sources[] = {
        {TrackTop, track + "top.bmp"},  {TrackMiddle, track + "middle.bmp"}, {ThumbTop, thumb + "top.bmp"},
        {ThumbMiddle, thumb + "middle.bmp"}, {HotTop, thumb + "hottop.bmp"},  {HotMiddle, thumb + "hotmiddle.bmp"}};
    for (const auto& [index, name] : sources) Images_[index].Assign(resources.GetImage(name));
    Images_[TrackBottom].AssignTransformed(Images_[TrackTop], kFlipUpsideDown);
    Images_[ThumbBottom].AssignTransformed(Images_[ThumbTop], kFlipUpsideDown);
    Images_[HotBottom].AssignTransformed(Images_[HotTop], kFlipUpsideDown);
    if (horizontal) {
        for (TBitmap32& image : Images_) image.Transform(kRotateLeft);
    }
}

void TCustomScroller::SetMax(int32_t max) {
    max = std::max(max, 1);
    if (max == Max_) return;
    Max_ = max;
    Invalidate();
}

void TCustomScroller::SetPage(int32_t page) {
    Page_ = std::max(std::min(page, Max_), 1);
    if (int64_t{Position_} + Page_ > Max_) {
        SetPosition(Max_ - Page_);
    } else {
        Invalidate();
    }
}

void TCustomScroller::SetPosition(int32_t position) {
    position = std::clamp(position, 0, std::max(Max_ - Page_, 0));
    if (position == Position_) return;
    Position_ = position;
    Invalidate();
    RaiseEvent(OnChange, *this);
}

int32_t TCustomScroller::ThumbLength() const {
    const int32_t track = std::max(TrackLength(), 0);
    const int32_t caps = LengthOf(Images_[ThumbTop]) + LengthOf(Images_[ThumbBottom]);
    const int32_t share = RoundedQuotient(int64_t{Page_} * track, Max_);
    return std::min(std::max(share, caps), track);
}

int32_t TCustomScroller::ThumbOffset() const {
    if (Page_ >= Max_) return 0;
    const int32_t track = std::max(TrackLength(), 0);
    const int32_t thumb = ThumbLength();
    const int32_t offset = RoundedQuotient(int64_t{track - thumb} * Position_, Max_ - Page_);
    return offset + thumb > track ? track - thumb : offset;
}

bool TCustomScroller::CapPixelOpaque(const TBitmap32& cap, int32_t along, int32_t across) const {
    // Row and column of the pixel in the cap image, refusing anything outside it.
    const bool vertical = Along(0, 1) == 1;
    const int32_t column = vertical ? across : along;
    const int32_t row = vertical ? along : across;
    if (column < 0 || row < 0 || column >= cap.Width() || row >= cap.Height()) return false;
    return (cap.Row(row)[column] >> 24) != 0;
}

bool TCustomScroller::OnThumb(int32_t x, int32_t y) const {
    if (Page_ >= Max_) return false;
    const int32_t thumb = ThumbLength();
    const int32_t p = Along(x, y) - ThumbOffset();
    // The hit span runs from the thumb's offset to offset + length inclusive: the bottom cap is
    // tested one pixel further on than it is painted, as skins made for this bar expect.
    if (p < 0 || p > thumb) return false;
    const int32_t across = Along(y, x);
    const int32_t cap = LengthOf(Images_[ThumbTop]);
    if (p >= cap && p <= thumb - cap) return true;
    if (p < cap) return CapPixelOpaque(Images_[ThumbTop], p, across);
    return CapPixelOpaque(Images_[ThumbBottom], p - (thumb - cap) - 1, across);
}

void TCustomScroller::PaintBar(const TPaintContext& paint, int32_t offset, int32_t length, const TBitmap32& top,
                               const TBitmap32& middle, const TBitmap32& bottom) const {
    const int32_t bottomAt = offset + length - LengthOf(bottom);
    const int32_t middleAt = offset + LengthOf(top);
    if (Along(0, 1) == 1) {
        paint.TileDraw(middle, {0, middleAt, Width(), bottomAt});
        paint.Draw(top, 0, offset);
        paint.Draw(bottom, 0, bottomAt);
    } else {
        paint.TileDraw(middle, {middleAt, 0, bottomAt, Height()});
        paint.Draw(top, offset, 0);
        paint.Draw(bottom, bottomAt, 0);
    }
}

void TCustomScroller::Paint(const TPaintContext& paint) {
    PaintBar(paint, 0, TrackLength(), Images_[TrackTop], Images_[TrackMiddle], Images_[TrackBottom]);
    if (Page_ < Max_) {
        const int set = Hot_ ? HotTop : ThumbTop;
        PaintBar(paint, ThumbOffset(), ThumbLength(), Images_[set], Images_[set + 1], Images_[set + 2]);
    }
    TCustomGraphControl::Paint(paint);
}

int32_t TCustomScroller::ThumbCentre() const { return ThumbOffset() + ThumbLength() / 2; }

bool TCustomScroller::PageTowards(int32_t coordinate) {
    const int32_t centre = ThumbCentre();
    if (coordinate == centre) return false;
    ScrollBy(coordinate < centre ? -Page_ : Page_);
    return true;
}

void TCustomScroller::DoLButtonDown(int32_t x, int32_t y, TShiftState /*shift*/) {
    Pressed_ = true;
    LastPoint_ = {x, y};
    if (OnThumb(x, y)) {
        GrabOffset_ = Along(x, y) - ThumbOffset();
        CaptureMouse();
        DragStartPosition_ = Position_;
        Dragging_ = true;
        return;
    }
    // A press beside the thumb pages at once (OnChange) and repeats after the events.
    if (Along(x, y) == ThumbCentre()) return;
    AfterEvent([this] { Animate(0, 1, 0, 0, FirstRepeatDelay); });
    PageTowards(Along(x, y));
}

void TCustomScroller::DoAnimationLooped() {
    if (!Pressed_ || Dragging_) {
        StopAnimation();
        return;
    }
    if (OnThumb(LastPoint_.X, LastPoint_.Y)) return;  // paging stops under the pointer
    if (FrameTime() != RepeatInterval) Animate(0, 1, 0, 0, RepeatInterval);
    PageTowards(Along(LastPoint_.X, LastPoint_.Y));
}

void TCustomScroller::DoMouseMove(int32_t x, int32_t y, TShiftState /*shift*/) {
    LastPoint_ = {x, y};
    if (!Dragging_) {
        const bool hot = OnThumb(x, y);
        if (hot != Hot_) {
            Hot_ = hot;
            Invalidate();
        }
        return;
    }
    // A thumb as long as the track has nowhere to go: the position stays.
    const int32_t travel = TrackLength() - ThumbLength();
    if (Page_ >= Max_ || travel <= 0) return;
    const int64_t moved = int64_t{Along(x, y)} - GrabOffset_;
    const int64_t position = moved * (Max_ - Page_) / travel;
    SetPosition(static_cast<int32_t>(std::clamp<int64_t>(position, INT32_MIN, INT32_MAX)));
}

void TCustomScroller::StopPaging() {
    StopAnimation();
    Pressed_ = false;
}

void TCustomScroller::DoLButtonUp(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {
    StopPaging();
    Dragging_ = false;
    ReleaseMouse();
}

void TCustomScroller::DoMouseLeave() {
    StopPaging();
    if (Hot_) {
        Hot_ = false;
        Invalidate();
    }
}

void TCustomScroller::CaptureLost() {
    StopPaging();
    Dragging_ = false;
    if (Hot_) {
        Hot_ = false;
        Invalidate();
    }
}

// --- TCustomScrollBar ---

TCustomScrollBar::TCustomScrollBar(const TSkinContext& context, int32_t left, int32_t top, int32_t size,
                                   const std::string& folder, bool horizontal)
    : TCustomGraphControl(context), Horizontal_(horizontal) {
    std::unique_ptr<TCustomScroller> scroller;
    if (horizontal) {
        scroller = std::make_unique<TScrollerH>(context, folder);
    } else {
        scroller = std::make_unique<TScrollerV>(context, folder);
    }
    scroller->OnChange = [this](TCustomGraphControl&) { ScrollerChanged(); };
    Scroller_ = Controls().AddControl(std::move(scroller));

    const bool separate = Context().Resources.FindImage(folder + "\\кнопка вверх\\normal.bmp") != nullptr;
    const std::string firstFolder = separate ? folder + "\\кнопка вверх" : folder + "\\кнопка";
    const std::string secondFolder = separate ? folder + "\\кнопка вниз" : folder + "\\кнопка";
    int32_t firstTransform = horizontal ? TGraphButton::RotateLeft : TGraphButton::NoTransform;
    int32_t secondTransform = firstTransform;
    if (!separate) secondTransform = horizontal ? TGraphButton::RotateLeftMirrored : TGraphButton::FlipUpsideDown;
    First_ = Controls().AddControl(std::make_unique<TGraphButton>(
        context, 0, 0, firstFolder, TButtonStyle::FireButton, 0, firstTransform,
        [this](TCustomGraphControl&) { Scroller_->ScrollBy(-Scroller_->SmallStep); }));
    Second_ = Controls().AddControl(std::make_unique<TGraphButton>(
        context, 0, 0, secondFolder, TButtonStyle::FireButton, 0, secondTransform,
        [this](TCustomGraphControl&) { Scroller_->ScrollBy(Scroller_->SmallStep); }));
    // The arrows are parts of the scroller, not stops of their own.
    First_->TabStop = false;
    Second_->TabStop = false;
    if (horizontal) {
        SetBoundsDirect(left, top, size, First_->Height());
    } else {
        SetBoundsDirect(left, top, First_->Width(), size);
    }
    Layout();
}

TCustomScrollBar::~TCustomScrollBar() = default;

void TCustomScrollBar::Layout() {
    if (LayingOut_) return;
    LayingOut_ = true;
    if (Horizontal_) {
        SetHeight(First_->Height());
        First_->SetBounds(0, 0, First_->Width(), First_->Height());
        Second_->SetBounds(Width() - Second_->Width(), 0, Second_->Width(), Second_->Height());
    } else {
        SetWidth(First_->Width());
        First_->SetBounds(0, 0, First_->Width(), First_->Height());
        Second_->SetBounds(0, Height() - Second_->Height(), Second_->Width(), Second_->Height());
    }
    Scroller_->SetBounds(0, 0, Width(), Height());
    LayingOut_ = false;
}

void TCustomScrollBar::DoResized() {
    Layout();
}

void TCustomScrollBar::UpdateButtons() {
    const bool scrolls = Scroller_->Page() < Scroller_->Max();
    First_->SetEnabled(scrolls);
    Second_->SetEnabled(scrolls);
}

void TCustomScrollBar::SetMax(int32_t max) {
    Scroller_->SetMax(max);
    UpdateButtons();
}

void TCustomScrollBar::SetPage(int32_t page) {
    Scroller_->SetPage(page);
    UpdateButtons();
}

// The linked list follows first (it raises nothing), then the bar's own OnChange.
void TCustomScrollBar::ScrollerChanged() {
    RaiseEvent(ChangeHandler_);
    RaiseEvent(OnChange, *this);
}

template <class T>
std::unique_ptr<TCustomGraphControl> TCustomScrollBar::CreateBar(const TSkinContext& context, const TXMLNode& node) {
    const TValueItems& a = node.Attributes();
    auto bar = std::make_unique<T>(context, a.GetInteger("X"), a.GetInteger("Y"), a.GetInteger("Size"), a.GetText("Path"));
    bar->SetName(a.GetTextDef("Name", ""));
    bar->SetMax(a.GetIntegerDef("Max", TCustomScroller::kDefaultMax));
    bar->SetPage(a.GetIntegerDef("Page", TCustomScroller::kDefaultPage));
    bar->SetPosition(a.GetIntegerDef("Position", 0));
    return bar;
}

std::unique_ptr<TCustomGraphControl> TScrollBarV::CreateElement(TCustomGraphControl* /*parent*/,
                                                                const TSkinContext& context, const TXMLNode& node) {
    return CreateBar<TScrollBarV>(context, node);
}

std::unique_ptr<TCustomGraphControl> TScrollBarH::CreateElement(TCustomGraphControl* /*parent*/,
                                                                const TSkinContext& context, const TXMLNode& node) {
    return CreateBar<TScrollBarH>(context, node);
}

}  // namespace marlowen
