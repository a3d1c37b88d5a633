#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "skin/Bitmap32.h"
#include "skin/GraphControl.h"
#include "skin/GraphLists.h"

namespace marlowen {

class TGraphButton;

// A track with a draggable thumb over the range 0..Max, of which Page is visible at a time.
// Pressing the track beside the thumb pages towards the pointer at once, again after the first
// delay and then every repeat interval (two animation frames make one step) until the thumb
// reaches the pointer. The images are drawn for a vertical scroller; a horizontal one turns them
// a quarter anticlockwise. All lengths below are taken along the scroller's axis.
class TCustomScroller : public TCustomGraphControl {
public:
    static constexpr int32_t kDefaultMax = 100;
    static constexpr int32_t kDefaultPage = 10;
    static constexpr int32_t kFirstRepeatDelay = 500;
    static constexpr int32_t kRepeatInterval = 30;

    // Loads the track and thumb images of folder P ("P\подложка\top.bmp", "middle.bmp";
    // "P\ползунок\top.bmp", "middle.bmp", "hottop.bmp", "hotmiddle.bmp"); each bottom cap is its
    // top cap upside down. Raises EImageNotFound for a missing one.
    TCustomScroller(const TSkinContext& context, const std::string& folder, bool horizontal);

    // The coordinate along the axis of a point or a size.
    virtual int32_t Along(int32_t x, int32_t y) const = 0;

    int32_t SmallStep = 1;
    int32_t FirstRepeatDelay = kFirstRepeatDelay;
    int32_t RepeatInterval = kRepeatInterval;
    TNotifyEvent OnChange;

    int32_t Max() const { return Max_; }
    int32_t Page() const { return Page_; }
    int32_t Position() const { return Position_; }
    // At least 1; the position is not re-clamped.
    void SetMax(int32_t max);
    // Within 1..Max; moves the position back when the page would end beyond Max.
    void SetPage(int32_t page);
    // Within 0..Max - Page; raises OnChange when it changed.
    void SetPosition(int32_t position);
    void ScrollBy(int32_t delta) { SetPosition(PositionPlus(delta)); }

    bool Hot() const { return Hot_; }
    bool Dragging() const { return Dragging_; }
    bool Pressed() const { return Pressed_; }

    int32_t TrackLength() const { return Along(Width(), Height()); }
    // Page's share of the track, never shorter than the two thumb caps nor longer than the track.
    int32_t ThumbLength() const;
    // 0 when the whole range is visible.
    int32_t ThumbOffset() const;
    // Whether the point (control coordinates) lies on an opaque part of the thumb.
    bool OnThumb(int32_t x, int32_t y) const;

    void Paint(const TPaintContext& paint) override;
    void CaptureLost() override;

protected:
    void DoLButtonDown(int32_t x, int32_t y, TShiftState shift) override;
    void DoLButtonUp(int32_t x, int32_t y, TShiftState shift) override;
    void DoMouseMove(int32_t x, int32_t y, TShiftState shift) override;
    void DoMouseLeave() override;
    void DoAnimationLooped() override;

private:
    enum TImageIndex { TrackTop, TrackMiddle, TrackBottom, ThumbTop, ThumbMiddle, ThumbBottom, HotTop, HotMiddle, HotBottom };

    int32_t PositionPlus(int32_t delta) const {
        return static_cast<int32_t>(std::clamp<int64_t>(int64_t{Position_} + delta, INT32_MIN, INT32_MAX));
    }
    int32_t LengthOf(const TBitmap32& image) const { return Along(image.Width(), image.Height()); }
    // One page towards the coordinate; false when it lies on the thumb's centre.
    bool PageTowards(int32_t coordinate);
    int32_t ThumbCentre() const;
    void PaintBar(const TPaintContext& paint, int32_t offset, int32_t length, const TBitmap32& top,
                  const TBitmap32& middle, const TBitmap32& bottom) const;
    // The alpha of the cap pixel at `along` on the axis and `across` off it.
    bool CapPixelOpaque(const TBitmap32& cap, int32_t along, int32_t across) const;
    void StopPaging();

    TBitmap32 Images_[9];
    int32_t Max_ = kDefaultMax;
    int32_t Page_ = kDefaultPage;
    int32_t Position_ = 0;
    bool Hot_ = false;
    bool Dragging_ = false;
    bool Pressed_ = false;
    int32_t GrabOffset_ = 0;
    int32_t DragStartPosition_ = 0;
    TPoint LastPoint_;
};

class TScrollerV : public TCustomScroller {
public:
    TScrollerV(const TSkinContext& context, const std::string& folder) : TCustomScroller(context, folder, false) {}
    int32_t Along(int32_t /*x*/, int32_t y) const override { return y; }
};

class TScrollerH : public TCustomScroller {
public:
    TScrollerH(const TSkinContext& context, const std::string& folder) : TCustomScroller(context, folder, true) {}
    int32_t Along(int32_t x, int32_t /*y*/) const override { return x; }
};

// A scroller between two repeating arrow buttons (children in that order, so the buttons paint
// over the track's ends). The arrows come from "P\кнопка вверх" and "P\кнопка вниз" when the first
// has a normal.bmp, else both from "P\кнопка", the second turned to point the other way. The
// bar's thickness is the first arrow's.
class TCustomScrollBar : public TCustomGraphControl, public TScrollBarLink {
public:
    TCustomScrollBar(const TSkinContext& context, int32_t left, int32_t top, int32_t size, const std::string& folder,
                     bool horizontal);
    ~TCustomScrollBar() override;

    TCustomScroller& Scroller() const { return *Scroller_; }
    TGraphButton& FirstButton() const { return *First_; }
    TGraphButton& SecondButton() const { return *Second_; }

    int32_t SmallStep() const { return Scroller_->SmallStep; }
    int32_t Page() const { return Scroller_->Page(); }
    int32_t Max() const { return Scroller_->Max(); }
    // Raised after every change of the position.
    TNotifyEvent OnChange;

    // The link a list uses. SetMax and SetPage enable the arrows exactly when Page < Max.
    TCustomGraphControl& BarControl() override { return *this; }
    int32_t Position() const override { return Scroller_->Position(); }
    void SetMax(int32_t max) override;
    void SetPage(int32_t page) override;
    void SetPosition(int32_t position) override { Scroller_->SetPosition(position); }
    void SetChangeHandler(std::function<void()> handler) override { ChangeHandler_ = std::move(handler); }


protected:
    // "X", "Y", "Size" and "Path" (all required), "Name"; "Max" (100), "Page" (10) and
    // "Position" (0) set the range a bar shows before anything is linked to it.
    template <class T>
    static std::unique_ptr<TCustomGraphControl> CreateBar(const TSkinContext& context, const TXMLNode& node);

    void DoResized() override;

private:
    void Layout();
    void UpdateButtons();
    void ScrollerChanged();

    bool Horizontal_;
    bool LayingOut_ = false;
    TCustomScroller* Scroller_ = nullptr;  // children, freed with the bar
    TGraphButton* First_ = nullptr;
    TGraphButton* Second_ = nullptr;
    std::function<void()> ChangeHandler_;
};

// "ScrollBarV": "Size" is the height.
class TScrollBarV : public TCustomScrollBar {
public:
    TScrollBarV(const TSkinContext& context, int32_t left, int32_t top, int32_t size, const std::string& folder)
        : TCustomScrollBar(context, left, top, size, folder, false) {}
    static std::unique_ptr<TCustomGraphControl> CreateElement(TCustomGraphControl* parent, const TSkinContext& context,
                                                              const TXMLNode& node);
};

// "ScrollBarH": "Size" is the width.
class TScrollBarH : public TCustomScrollBar {
public:
    TScrollBarH(const TSkinContext& context, int32_t left, int32_t top, int32_t size, const std::string& folder)
        : TCustomScrollBar(context, left, top, size, folder, true) {}
    static std::unique_ptr<TCustomGraphControl> CreateElement(TCustomGraphControl* parent, const TSkinContext& context,
                                                              const TXMLNode& node);
};

}  // namespace marlowen
