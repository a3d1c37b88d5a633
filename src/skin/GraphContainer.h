#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/WindowHost.h"
#include "skin/Bitmap32.h"
#include "skin/DisplayScale.h"
#include "skin/GraphControl.h"

namespace marlowen {

class TCustomGraphContainer;
class TGraphAccessibleTree;

using TOnPaintBackgroundEvent = std::function<void(TCustomGraphContainer& sender, TBitmap32& bitmap, int32_t originX,
                                                   int32_t originY, int32_t width, int32_t height)>;
using TContainerNotifyEvent = std::function<void(TCustomGraphContainer& sender)>;
using TContainerMouseEvent =
    std::function<void(TCustomGraphContainer& sender, int32_t x, int32_t y, TShiftState shift)>;
using TContainerMouseWheelEvent =
    std::function<void(TCustomGraphContainer& sender, int32_t distance, int32_t x, int32_t y, TShiftState shift)>;
using TShowHintEvent =
    std::function<void(TCustomGraphContainer& sender, TCustomGraphControl& control, int32_t mouseX, int32_t mouseY)>;

// The only windowed object of a skinned screen: it hosts one tree of graph controls, paints every
// changed rectangle of it into a back buffer and copies that to its window, and turns the
// window's mouse, keyboard and timer messages into calls on the controls (hit testing, hover,
// capture, focus and Tab, hints, frame animation). Repaints are deferred: requests grow one dirty
// rectangle and post one private message; the message paints it all in one pass.
//
// The container draws at a display scale (100 % unless set). The tree, its documents, hit tests,
// dirty rectangles and the input routines below stay in skin units; the window, the back buffer,
// what the host reports (paint requests, mouse and wheel positions) and the bounds told to
// assistive technology are device pixels, mapped by the scale's rule (TDisplayScale).
class TCustomGraphContainer : public TWindowHostEvents {
public:
    static constexpr uint32_t kDefaultHintDelay = 500;
    static constexpr uint32_t kDefaultHintTime = 4000;

    // Makes the window through the platform (client size width x height) and starts the timer.
    explicit TCustomGraphContainer(const TSkinContext& context, int32_t width = 100, int32_t height = 100);
    ~TCustomGraphContainer() override;
    TCustomGraphContainer(const TCustomGraphContainer&) = delete;
    TCustomGraphContainer& operator=(const TCustomGraphContainer&) = delete;

    const TSkinContext& Context() const { return Context_; }
    TWindowHost& Host() const { return *Host_; }
    // The root list of the hosted tree; appending a control shows it.
    TGraphControls& Controls() const { return *Controls_; }
    const TBitmap32& BackBuffer() const { return BackBuffer_; }
    // What the window tells assistive technology about the tree.
    TGraphAccessibleTree& Accessible() const { return *Accessible_; }
    // The client size in skin units (at 100 % the window's own size).
    int32_t Width() const { return Scale_.IsIdentity() ? Host_->ClientWidth() : Width_; }
    int32_t Height() const { return Scale_.IsIdentity() ? Host_->ClientHeight() : Height_; }
    // In units: the window becomes Device(width) x Device(height) pixels.
    void SetSize(int32_t width, int32_t height);
    // The window's client size in device pixels.
    int32_t DeviceWidth() const { return Host_->ClientWidth(); }
    int32_t DeviceHeight() const { return Host_->ClientHeight(); }

    // --- display scale ---
    const TDisplayScale& Scale() const { return Scale_; }
    // Keeps the size in units, sizes the window in device pixels for the new scale and repaints
    // all of it.
    void SetScale(const TDisplayScale& scale);
    // The device pixel of the window where the unit point starts, and the unit point whose pixels
    // hold a device pixel of the window.
    TPoint UnitsToDevice(int32_t x, int32_t y) const;
    TPoint DeviceToUnits(int32_t x, int32_t y) const;
    // The unit point on the screen (device pixels).
    TPoint ClientToScreen(int32_t x, int32_t y) const;

    // --- repainting ---
    // Adds the rectangle (right- and bottom-exclusive, container coordinates) to the dirty
    // region, clipped to the client area; posts the repaint message unless one is on its way or
    // an update is open.
    void InvalidateRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void BeginUpdate() { ++UpdateCount_; }
    void EndUpdate();
    bool DirtyEmpty() const { return DirtyEmpty_; }
    // Paints the dirty region at once, without waiting for the repaint message (which then
    // finds nothing left to paint).
    void PaintNow();
    // Posts the repaint message unless one is on its way (it also runs what waits for the
    // message loop, such as the default actions that assistive technology asked for).
    void PostRepaint();
    TRect DirtyRect() const { return DirtyRect_; }
    // Paints the rectangle (exclusive, units) of the tree into the back buffer and copies its
    // device pixels to the window. Exceptions of the controls are swallowed; an interrupted paint
    // copies nothing.
    void PaintRegion(const TRect& rect);
    // The background, then both passes over the tree, into `bitmap` with the container's (0, 0)
    // at device pixel (dx, dy) and w x h device pixels to cover.
    virtual void PaintControls(TBitmap32& bitmap, int32_t dx, int32_t dy, int32_t width, int32_t height);
    // White, then OnPaintBackground (device pixels, as PaintControls).
    virtual void PaintBackground(TBitmap32& bitmap, int32_t dx, int32_t dy, int32_t width, int32_t height);

    // --- hit testing ---
    // The control painted last at the point whose HitTest answers true; none when no control does.
    TCustomGraphControl* ControlAt(int32_t x, int32_t y);
    // The captured control wherever the point lies; else ControlAt when the window under the
    // point is ours; else none.
    TCustomGraphControl* ControlAtPoint(int32_t x, int32_t y);

    // --- references to controls ---
    TCustomGraphControl* HoverControl() const { return HoverControl_; }
    TCustomGraphControl* CapturedControl() const { return CapturedControl_; }
    TCustomGraphControl* FocusedControl() const { return FocusedControl_; }
    TCustomGraphControl* HintControl() const { return HintControl_; }
    TCustomGraphControl* ActiveMenu() const { return ActiveMenu_; }
    void SetCapturedControl(TCustomGraphControl* control);
    // Moves the focus: the window takes it first when it can; the previous control hears
    // FocusExit, then the new one FocusEnter (none: the focus is given up).
    void SetFocusedControl(TCustomGraphControl* control);
    // Lets go of the focused and the captured control when either became hidden or disabled.
    void ForgetUnreachable();
    // Lends the mouse capture of the control that holds it to `borrower` (a part of the holder's
    // drop-down, say) without telling the holder: when the borrower lets it go, the capture
    // returns to the holder. Another control taking the capture, or the window losing it, ends
    // the loan, and then the holder hears CaptureLost as well. Nothing when no control holds it.
    void LendCapture(TCustomGraphControl& borrower);
    void SetActiveMenu(TCustomGraphControl* menu);
    // Clears every reference to the control and to its descendants. Never raises.
    void ControlRemoved(TCustomGraphControl& control) noexcept;

    // --- focus ---
    // Visible and enabled with every ancestor: it can take the focus and the keys.
    static bool Reachable(const TCustomGraphControl& control);
    // The next (previous) reachable control after `start` in tree order; none at either end.
    TCustomGraphControl* FindNextControl(TCustomGraphControl* start, bool forward, bool tabStopsOnly) const;
    // Tab: with TabWrap the focus goes round within the tree; without it, past either end it
    // moves to the form's next window and then to the first (last) tab stop.
    void SelectNextControl(bool forward);
    bool TabWrap = true;
    // Whether the focused control shows its focus rectangle. Off at start; keyboard navigation
    // turns it on. Changing it repaints the focused control.
    bool FocusCuesShown() const { return FocusCuesShown_; }
    void SetFocusCuesShown(bool value);
    // The colour of the control's focus rectangle: its own, else the default text style's, else
    // opaque black.
    uint32_t FocusColorOf(const TCustomGraphControl& control) const;
    // The first reachable control in tree order whose access key is the character (letter case
    // ignored); none when there is none.
    TCustomGraphControl* FindAccessKey(char32_t key) const;
    // The reachable button marked Default (Cancel) first in tree order; none when there is none.
    TCustomGraphControl* DefaultButton() const;
    TCustomGraphControl* CancelButton() const;

    // --- hints ---
    uint32_t HintDelay = kDefaultHintDelay;
    uint32_t HintTime = kDefaultHintTime;
    bool HintShown() const { return HintShown_; }
    bool HintPending() const { return HintPending_; }
    virtual void ShowHint(TCustomGraphControl& control, int32_t screenX, int32_t screenY);
    virtual void HideHint();

    // --- input, in client coordinates (what the window messages turn into) ---
    virtual void LButtonDown(int32_t x, int32_t y, TShiftState shift);
    virtual void LButtonUp(int32_t x, int32_t y, TShiftState shift);
    virtual void RButtonDown(int32_t x, int32_t y, TShiftState shift);
    virtual void LButtonDblClk(int32_t x, int32_t y, TShiftState shift);
    virtual void RButtonUp(int32_t x, int32_t y, TShiftState shift);
    virtual void MouseMove(int32_t x, int32_t y, TShiftState shift);
    virtual void MouseWheel(int32_t distance, int32_t x, int32_t y, TShiftState shift);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void CharPressed(uint32_t charCode, int32_t repeatCount, bool& processed);
    virtual void KeyDown(uint32_t virtualKey, bool extended, bool repeated, bool& processed);
    virtual void KeyUp(uint32_t virtualKey, bool extended, bool& processed);
    // One timer tick: hints, then one animation step of every animated control.
    void Tick();

    // --- events of the container itself (when no control takes the input) ---
    TOnPaintBackgroundEvent OnPaintBackground;
    TContainerNotifyEvent OnMouseEnter;
    TContainerNotifyEvent OnMouseLeave;
    TContainerMouseEvent OnLButtonDown;
    TContainerMouseEvent OnLButtonUp;
    TContainerMouseEvent OnLButtonDblClk;
    TContainerMouseEvent OnRButtonDown;
    TContainerMouseEvent OnRButtonUp;
    TContainerMouseEvent OnMouseMove;
    TContainerMouseWheelEvent OnMouseWheel;
    TCharPressedEvent OnCharPressed;
    TKeyDownEvent OnKeyDown;
    TKeyUpEvent OnKeyUp;
    TShowHintEvent OnShowHint;
    TContainerNotifyEvent OnHideHint;
    // Escape that nothing took, on a screen without a Cancel button: the window's close request.
    TContainerNotifyEvent OnCloseRequest;

    // TWindowHostEvents
    void HostPaint(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void HostRepaintMessage() override;
    void HostTimer() override { Tick(); }
    // The host's positions are device pixels of the window; the input routines get units.
    void HostLButtonDown(int32_t x, int32_t y, TShiftState shift) override;
    void HostLButtonUp(int32_t x, int32_t y, TShiftState shift) override;
    void HostLButtonDblClk(int32_t x, int32_t y, TShiftState shift) override;
    void HostRButtonDown(int32_t x, int32_t y, TShiftState shift) override;
    void HostRButtonUp(int32_t x, int32_t y, TShiftState shift) override;
    void HostMouseMove(int32_t x, int32_t y, TShiftState shift) override;
    void HostMouseWheel(int32_t delta, int32_t screenX, int32_t screenY, TShiftState shift) override;
    void HostMouseEnter() override { MouseEnter(); }
    void HostMouseLeave() override { MouseLeave(); }
    void HostCaptureChanged() override;
    bool HostKeyDown(uint32_t virtualKey, bool extended, bool repeated) override;
    bool HostKeyUp(uint32_t virtualKey, bool extended) override;
    bool HostCharPressed(uint32_t charCode, int32_t repeatCount) override;
    // Alt with a character: the control with that access key acts (DoAccessKey); not while a
    // menu is active.
    bool HostAccessKey(uint32_t charCode) override;

protected:
    // A container in a window made by the caller (a pop-up window); the host delivers its
    // messages to this container.
    using THostFactory = std::function<std::unique_ptr<TWindowHost>(TWindowHostEvents& events)>;
    TCustomGraphContainer(const TSkinContext& context, const THostFactory& makeHost);

private:
    // A mouse-button hook on the control under the point, or the container's event.
    void RouteButton(int32_t x, int32_t y, TShiftState shift, void (TCustomGraphControl::*hook)(int32_t, int32_t, TShiftState),
                     const TContainerMouseEvent& event);
    // Hover follows the target; true when the target changed.
    void UpdateHover(TCustomGraphControl* target, bool withHints);
    TShiftState WithAlt(TShiftState shift) const;
    void FromHost(void (TCustomGraphContainer::*entry)(int32_t, int32_t, TShiftState), int32_t x, int32_t y,
                  TShiftState shift);
    uint32_t Now() const;
    void PointerOnScreen(int32_t& x, int32_t& y) const;
    // Hover leaves the control it is on: MouseLeave on it.
    void LeaveHover();
    // The keys the screen answers when no control took them: Tab, Return, Escape.
    bool DialogKey(uint32_t virtualKey);
    // The 1-pixel rectangle on the focused control's edge, while cues are shown.
    void PaintFocusCue(TBitmap32& bitmap, int32_t dx, int32_t dy, int32_t width, int32_t height);

    const TSkinContext& Context_;
    TDisplayScale Scale_;
    // The client size in units, kept while the scale is not 100 %.
    int32_t Width_ = 0;
    int32_t Height_ = 0;
    std::unique_ptr<TWindowHost> Host_;
    std::unique_ptr<TGraphControls> Controls_;
    std::unique_ptr<TGraphAccessibleTree> Accessible_;
    TBitmap32 BackBuffer_;
    TRect DirtyRect_;
    bool DirtyEmpty_ = true;
    bool RepaintPosted_ = false;
    int32_t UpdateCount_ = 0;
    TCustomGraphControl* HoverControl_ = nullptr;
    TCustomGraphControl* CapturedControl_ = nullptr;
    // The holder of a lent capture (CapturedControl_ is the borrower), else none.
    TCustomGraphControl* CaptureLender_ = nullptr;
    TCustomGraphControl* FocusedControl_ = nullptr;
    TCustomGraphControl* HintControl_ = nullptr;
    TCustomGraphControl* ActiveMenu_ = nullptr;
    bool FocusCuesShown_ = false;
    bool MouseInside_ = false;
    int32_t LastPressX_ = 0;
    int32_t LastPressY_ = 0;
    TShiftState LastPressShift_ = 0;
    bool HintShown_ = false;
    bool HintPending_ = false;
    uint32_t HintPendingSince_ = 0;
    uint32_t HintShownAt_ = 0;
};

// The container as screens use it.
class TGraphContainer : public TCustomGraphContainer {
public:
    using TCustomGraphContainer::TCustomGraphContainer;
};

}  // namespace marlowen
