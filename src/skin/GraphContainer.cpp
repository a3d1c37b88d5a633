#include "skin/GraphContainer.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/Application.h"
#include "platform/Platform.h"
#include "skin/AccessKey.h"
#include "skin/GraphAccessibleTree.h"
#include "skin/GraphButtons.h"
#include "skin/PaintContext.h"
#include "skin/Resources.h"

namespace marlowen {

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBlack = 0xFF000000;

// The keys that count as keyboard navigation and show the focus cues.
bool NavigationKey(uint32_t virtualKey) {
    switch (virtualKey) {
        case VirtualKey::Alt:  // the captions show their access keys
        case VirtualKey::Tab:
        case VirtualKey::Return:
        case VirtualKey::Escape:
        case VirtualKey::Space:
        case VirtualKey::Left:
        case VirtualKey::Up:
        case VirtualKey::Right:
        case VirtualKey::Down:
        case VirtualKey::PageUp:
        case VirtualKey::PageDown:
        case VirtualKey::Home:
        case VirtualKey::End: return true;
        default: return false;
    }
}

bool InSubtree(const TCustomGraphControl* candidate, const TCustomGraphControl& root) {
    return candidate != nullptr && (candidate == &root || TCustomTreeItem::IsAncestorOf(&root, candidate));
}

}  // namespace

TCustomGraphContainer::TCustomGraphContainer(const TSkinContext& context, int32_t width, int32_t height)
    : Context_(context),
      Host_(context.Platform.Windows.CreateHost(*this, width, height)),
      Controls_(std::make_unique<TGraphControls>()),
      Accessible_(std::make_unique<TGraphAccessibleTree>(*this)) {
    Controls_->Container_ = this;
    Host_->SetAccessibleTree(Accessible_.get());
    Host_->StartTimer(kContainerTimerMs);
}

TCustomGraphContainer::TCustomGraphContainer(const TSkinContext& context, const THostFactory& makeHost)
    : Context_(context),
      Host_(makeHost(*this)),
      Controls_(std::make_unique<TGraphControls>()),
      Accessible_(std::make_unique<TGraphAccessibleTree>(*this)) {
    Controls_->Container_ = this;
    Host_->SetAccessibleTree(Accessible_.get());
    Host_->StartTimer(kContainerTimerMs);
}

TCustomGraphContainer::~TCustomGraphContainer() {
    try {
        HideHint();
    } catch (...) {
        // the hint's handler failed; the container goes all the same
    }
    Host_->StopTimer();
    Host_->SetAccessibleTree(nullptr);
    // The tree goes without telling a container that is going itself.
    Controls_->Container_ = nullptr;
    HoverControl_ = CapturedControl_ = CaptureLender_ = FocusedControl_ = HintControl_ = ActiveMenu_ = nullptr;
    Controls_.reset();
}

void TCustomGraphContainer::SetSize(int32_t width, int32_t height) {
    Width_ = width;
    Height_ = height;
    Host_->SetClientSize(Scale_.Device(width), Scale_.Device(height));
    InvalidateRect(0, 0, width, height);
}

void TCustomGraphContainer::SetScale(const TDisplayScale& scale) {
    if (scale == Scale_) return;
    const int32_t width = Width();
    const int32_t height = Height();
    Scale_ = scale;
    SetSize(width, height);
}

TPoint TCustomGraphContainer::UnitsToDevice(int32_t x, int32_t y) const { return {Scale_.Device(x), Scale_.Device(y)}; }

TPoint TCustomGraphContainer::DeviceToUnits(int32_t x, int32_t y) const { return {Scale_.Unit(x), Scale_.Unit(y)}; }

TPoint TCustomGraphContainer::ClientToScreen(int32_t x, int32_t y) const {
    TPoint p = UnitsToDevice(x, y);
    Host_->ClientToScreen(p.X, p.Y);
    return p;
}

// The host's positions are device pixels; the input routines take units.
void TCustomGraphContainer::FromHost(void (TCustomGraphContainer::*entry)(int32_t, int32_t, TShiftState), int32_t x,
                                     int32_t y, TShiftState shift) {
    const TPoint p = DeviceToUnits(x, y);
    (this->*entry)(p.X, p.Y, WithAlt(shift));
}

void TCustomGraphContainer::HostLButtonDown(int32_t x, int32_t y, TShiftState shift) {
    FromHost(&TCustomGraphContainer::LButtonDown, x, y, shift);
}

void TCustomGraphContainer::HostLButtonUp(int32_t x, int32_t y, TShiftState shift) {
    FromHost(&TCustomGraphContainer::LButtonUp, x, y, shift);
}

void TCustomGraphContainer::HostLButtonDblClk(int32_t x, int32_t y, TShiftState shift) {
    FromHost(&TCustomGraphContainer::LButtonDblClk, x, y, shift);
}

void TCustomGraphContainer::HostRButtonDown(int32_t x, int32_t y, TShiftState shift) {
    FromHost(&TCustomGraphContainer::RButtonDown, x, y, shift);
}

void TCustomGraphContainer::HostRButtonUp(int32_t x, int32_t y, TShiftState shift) {
    FromHost(&TCustomGraphContainer::RButtonUp, x, y, shift);
}

void TCustomGraphContainer::HostMouseMove(int32_t x, int32_t y, TShiftState shift) {
    FromHost(&TCustomGraphContainer::MouseMove, x, y, shift);
}

uint32_t TCustomGraphContainer::Now() const { return Context_.Platform.Application.TickCount(); }

TShiftState TCustomGraphContainer::WithAlt(TShiftState shift) const {
    return static_cast<TShiftState>(shift | (Host_->KeyboardShift() & ShiftState::Alt));
}

void TCustomGraphContainer::PointerOnScreen(int32_t& x, int32_t& y) const { Host_->PointerPosition(x, y); }

bool TCustomGraphContainer::Reachable(const TCustomGraphControl& control) {
    return control.Visible() && control.Enabled() && control.ParentsShowing();
}

// --- repainting ---

void TCustomGraphContainer::InvalidateRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (right < left || bottom < top) return;
    // Only the client area is ever painted: a far-off or huge rectangle cannot grow the buffer.
    TRect rect{left, top, right, bottom};
    if (!IntersectRect(rect, TRect{0, 0, Width(), Height()})) return;
    if (DirtyEmpty_) {
        DirtyRect_ = rect;
        DirtyEmpty_ = false;
    } else {
        DirtyRect_.Left = std::min(DirtyRect_.Left, rect.Left);
        DirtyRect_.Top = std::min(DirtyRect_.Top, rect.Top);
        DirtyRect_.Right = std::max(DirtyRect_.Right, rect.Right);
        DirtyRect_.Bottom = std::max(DirtyRect_.Bottom, rect.Bottom);
    }
    if (UpdateCount_ <= 0) PostRepaint();
}

void TCustomGraphContainer::PostRepaint() {
    if (RepaintPosted_) return;
    RepaintPosted_ = true;
    Host_->PostRepaintMessage();
}

void TCustomGraphContainer::EndUpdate() {
    if (UpdateCount_ > 0) --UpdateCount_;
    if (UpdateCount_ == 0 && !DirtyEmpty_) PostRepaint();
}

void TCustomGraphContainer::HostPaint(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (Scale_.IsIdentity()) return InvalidateRect(left, top, right, bottom);
    // Every unit whose pixels the window lost is painted again.
    const TRect units = Scale_.UnitRectCovering({left, top, right, bottom});
    InvalidateRect(units.Left, units.Top, units.Right, units.Bottom);
}

void TCustomGraphContainer::HostRepaintMessage() {
    RepaintPosted_ = false;
    if (Accessible_->HasPendingActions()) Accessible_->RunPendingActions();
    PaintNow();
}

void TCustomGraphContainer::PaintNow() {
    if (DirtyEmpty_) return;
    const TRect rect = DirtyRect_;
    DirtyEmpty_ = true;
    PaintRegion(rect);
}

void TCustomGraphContainer::PaintRegion(const TRect& rect) {
    // The unit rectangle's edges mapped one by one: exactly the device pixels of its units.
    TRect device = Scale_.DeviceRect(rect);
    if (!IntersectRect(device, TRect{0, 0, DeviceWidth(), DeviceHeight()})) return;
    const int32_t w = device.Right - device.Left;
    const int32_t h = device.Bottom - device.Top;
    try {
        if (BackBuffer_.Width() < w || BackBuffer_.Height() < h) {
            BackBuffer_.SetSize(std::max(BackBuffer_.Width(), w), std::max(BackBuffer_.Height(), h));
        }
        PaintControls(BackBuffer_, -device.Left, -device.Top, w, h);
        Host_->CopyToWindow(BackBuffer_.Bits(), BackBuffer_.Width(), device.Left, device.Top, w, h);
        int32_t px = 0;
        int32_t py = 0;
        PointerOnScreen(px, py);
        Host_->ScreenToClient(px, py);
        if (px >= device.Left && px < device.Right && py >= device.Top && py < device.Bottom) Host_->PostMouseMove(px, py);
    } catch (...) {
        // A control that fails to paint leaves the window's old pixels in the region.
    }
}

void TCustomGraphContainer::PaintBackground(TBitmap32& bitmap, int32_t dx, int32_t dy, int32_t width, int32_t height) {
    bitmap.FillRect({0, 0, width - 1, height - 1}, kWhite);
    RaiseEvent(OnPaintBackground, *this, bitmap, dx, dy, width, height);
}

void TCustomGraphContainer::PaintControls(TBitmap32& bitmap, int32_t dx, int32_t dy, int32_t width, int32_t height) {
    PaintBackground(bitmap, dx, dy, width, height);
    const TRect visible = Scale_.UnitRectCovering({-dx, -dy, -dx + width, -dy + height});
    const TRect clip{0, 0, width, height};
    for (int pass = 0; pass < 2; ++pass) {
        TCustomGraphControl* control = Controls_->First();
        while (control != nullptr) {
            if (!control->Visible()) {
                control = control->NextSkippingChildren();
                continue;
            }
            control->UpdateContainerPosition();
            TRect bounds{control->ContainerLeft(), control->ContainerTop(),
                         SaturateInt32(int64_t{control->ContainerLeft()} + control->Width()),
                         SaturateInt32(int64_t{control->ContainerTop()} + control->Height())};
            if (!IntersectRect(bounds, visible)) {
                control = control->NextSkippingChildren();
                continue;
            }
            const TPaintContext paint(bitmap, Scale_, dx, dy, control->ContainerLeft(), control->ContainerTop(), clip);
            if (pass == 0) {
                control->Paint(paint);
            } else {
                control->PaintOverlay(paint);
            }
            control = control->NextInTree();
        }
    }
    PaintFocusCue(bitmap, dx, dy, width, height);
}

void TCustomGraphContainer::PaintFocusCue(TBitmap32& bitmap, int32_t dx, int32_t dy, int32_t width, int32_t height) {
    const TCustomGraphControl* focused = FocusedControl_;
    if (!FocusCuesShown_ || focused == nullptr || !focused->Showing() || !focused->DrawsFocusRectangle() ||
        focused->Width() <= 0 ||
        focused->Height() <= 0) {
        return;
    }
    // On the control's own outermost unit pixels: inside what the control repaints, above its
    // children.
    const TRect clip{0, 0, std::min(width, bitmap.Width()), std::min(height, bitmap.Height())};
    const TPaintContext paint(bitmap, Scale_, dx, dy, focused->ContainerLeft(), focused->ContainerTop(), clip);
    const uint32_t color = FocusColorOf(*focused);
    const int32_t w = focused->Width();
    const int32_t h = focused->Height();
    paint.FillRect({0, 0, w, 1}, color);
    paint.FillRect({0, h - 1, w, h}, color);
    paint.FillRect({0, 0, 1, h}, color);
    paint.FillRect({w - 1, 0, w, h}, color);
}

uint32_t TCustomGraphContainer::FocusColorOf(const TCustomGraphControl& control) const {
    if (control.HasFocusColor) return control.FocusColor;
    if (const TStyleItem* style = Context_.Resources.Styles().Find("default"); style != nullptr && style->HasFocusColor()) {
        return style->FocusColor();
    }
    return kBlack;
}

void TCustomGraphContainer::SetFocusCuesShown(bool value) {
    if (value == FocusCuesShown_) return;
    FocusCuesShown_ = value;
    // The focus ring and every caption's access key show (or go).
    InvalidateRect(0, 0, Width(), Height());
}

// --- hit testing ---

TCustomGraphControl* TCustomGraphContainer::ControlAt(int32_t x, int32_t y) {
    TCustomGraphControl* found = nullptr;
    TCustomGraphControl* control = Controls_->First();
    while (control != nullptr) {
        if (!control->Visible()) {
            control = control->NextSkippingChildren();
            continue;
        }
        control->UpdateContainerPosition();
        const int64_t lx = int64_t{x} - control->ContainerLeft();
        const int64_t ly = int64_t{y} - control->ContainerTop();
        if (lx < 0 || ly < 0 || lx >= control->Width() || ly >= control->Height()) {
            control = control->NextSkippingChildren();
            continue;
        }
        if (control->HitTest(static_cast<int32_t>(lx), static_cast<int32_t>(ly))) found = control;
        control = control->NextInTree();
    }
    return found;
}

TCustomGraphControl* TCustomGraphContainer::ControlAtPoint(int32_t x, int32_t y) {
    if (CapturedControl_ != nullptr) return CapturedControl_;
    const TPoint screen = ClientToScreen(x, y);
    return Host_->IsWindowAt(screen.X, screen.Y) ? ControlAt(x, y) : nullptr;
}

// --- references ---

void TCustomGraphContainer::SetCapturedControl(TCustomGraphControl* control) {
    if (control == nullptr) {
        TCustomGraphControl* previous = CapturedControl_;
        if (previous == nullptr) return;
        if (CaptureLender_ != nullptr) {
            // The borrower is done: the capture goes back to its holder, the window keeps it.
            CapturedControl_ = std::exchange(CaptureLender_, nullptr);
        } else {
            CapturedControl_ = nullptr;
            Host_->ReleaseCapture();
        }
        if (previous->LifeToken().Alive()) previous->CaptureLost();
        return;
    }
    TCustomGraphControl* previous = CapturedControl_;
    if (previous == control) return;
    TCustomGraphControl* lender = std::exchange(CaptureLender_, nullptr);
    if (previous == nullptr && !Host_->HasCapture()) Host_->SetCapture();
    CapturedControl_ = control;
    // The control that held the capture must not stay pressed, nor the one that lent it.
    const TWeakRef<TCustomGraphControl> lenderRef(lender != control ? lender : nullptr);
    if (previous != nullptr && previous->LifeToken().Alive()) previous->CaptureLost();
    if (TCustomGraphControl* l = lenderRef.Get()) l->CaptureLost();
}

void TCustomGraphContainer::SetFocusedControl(TCustomGraphControl* control) {
    if (control == FocusedControl_) return;
    if (control != nullptr && Host_->CanFocus() && !Host_->Focused()) Host_->SetFocus();
    const TWeakRef<TCustomGraphControl> next(control);
    if (TCustomGraphControl* previous = std::exchange(FocusedControl_, nullptr)) previous->FocusExit();
    // OnExit may have freed the control that was to take the focus.
    control = next.Get();
    if (control == nullptr) return;
    FocusedControl_ = control;
    control->FocusEnter();
    // FocusEnter may have moved the focus on, or freed the control.
    if (FocusedControl_ != nullptr && next.Get() == FocusedControl_) Accessible_->Notify(AccEvent::Focus, FocusedControl_);
}

void TCustomGraphContainer::ForgetUnreachable() {
    if (FocusedControl_ != nullptr && !Reachable(*FocusedControl_)) std::exchange(FocusedControl_, nullptr)->Invalidate();
    if (CapturedControl_ != nullptr && !Reachable(*CapturedControl_)) SetCapturedControl(nullptr);
}

void TCustomGraphContainer::LendCapture(TCustomGraphControl& borrower) {
    if (CapturedControl_ == nullptr || CapturedControl_ == &borrower || CaptureLender_ != nullptr) return;
    CaptureLender_ = CapturedControl_;
    CapturedControl_ = &borrower;
}

void TCustomGraphContainer::SetActiveMenu(TCustomGraphControl* menu) {
    if (menu == ActiveMenu_) return;
    TCustomGraphControl* previous = ActiveMenu_;
    ActiveMenu_ = menu;
    const TWeakRef<TCustomGraphControl> next(menu);
    if (previous != nullptr) previous->Deactivate();
    if (TCustomGraphControl* current = next.Get(); current != nullptr && ActiveMenu_ == current) current->Activate();
}

void TCustomGraphContainer::ControlRemoved(TCustomGraphControl& control) noexcept {
    if (InSubtree(HoverControl_, control)) HoverControl_ = nullptr;
    if (InSubtree(FocusedControl_, control)) FocusedControl_ = nullptr;
    if (InSubtree(ActiveMenu_, control)) ActiveMenu_ = nullptr;
    if (InSubtree(CaptureLender_, control)) CaptureLender_ = nullptr;
    // The hooks below run code of the controls; what they raise must not end the program.
    if (InSubtree(CapturedControl_, control)) {
        try {
            SetCapturedControl(nullptr);
        } catch (...) {
            CapturedControl_ = nullptr;
        }
    }
    if (InSubtree(HintControl_, control)) {
        try {
            HideHint();
        } catch (...) {
            HintShown_ = false;
            HintControl_ = nullptr;
        }
    }
}

// --- focus ---

TCustomGraphControl* TCustomGraphContainer::FindNextControl(TCustomGraphControl* start, bool forward,
                                                            bool tabStopsOnly) const {
    auto qualifies = [tabStopsOnly](const TCustomGraphControl& c) { return Reachable(c) && (!tabStopsOnly || c.IsTabTarget()); };
    if (start == nullptr) {
        start = forward ? Controls_->First() : static_cast<TCustomGraphControl*>(Controls_->LastInTree());
        if (start == nullptr || qualifies(*start)) return start;
    }
    TCustomGraphControl* control = start;
    for (;;) {
        control = forward ? control->NextInTree() : control->PrevInTree();
        if (control == nullptr || control == start) return nullptr;
        if (qualifies(*control)) return control;
    }
}

void TCustomGraphContainer::SelectNextControl(bool forward) {
    if (TCustomGraphControl* next = FindNextControl(FocusedControl_, forward, true)) {
        next->SetFocused(true);
        return;
    }
    if (TabWrap) {
        // Past the end: round to the first (last) tab stop of the tree; none leaves it as it is.
        if (TCustomGraphControl* first = FindNextControl(nullptr, forward, true)) first->SetFocused(true);
        return;
    }
    Host_->FocusNextWindow(forward);
    if (Host_->Focused()) {
        if (TCustomGraphControl* first = FindNextControl(nullptr, forward, true)) {
            first->SetFocused(true);
            return;
        }
    }
    if (FocusedControl_ != nullptr) FocusedControl_->SetFocused(false);
}

namespace {

template <class Marked>
TCustomGraphControl* FindMarkedButton(const TGraphControls& controls, Marked marked) {
    for (TCustomGraphControl* c = controls.First(); c != nullptr;) {
        if (!c->Visible() || !c->Enabled()) {
            c = c->NextSkippingChildren();
            continue;
        }
        if (auto* button = dynamic_cast<TCustomGraphButton*>(c); button != nullptr && marked(*button)) return c;
        c = c->NextInTree();
    }
    return nullptr;
}

}  // namespace

TCustomGraphControl* TCustomGraphContainer::DefaultButton() const {
    return FindMarkedButton(*Controls_, [](const TCustomGraphButton& b) { return b.Default; });
}

TCustomGraphControl* TCustomGraphContainer::CancelButton() const {
    return FindMarkedButton(*Controls_, [](const TCustomGraphButton& b) { return b.Cancel; });
}

// --- hints ---

void TCustomGraphContainer::ShowHint(TCustomGraphControl& control, int32_t screenX, int32_t screenY) {
    HideHint();
    const TWeakRef<TCustomGraphControl> shown(&control);
    RaiseEvent(OnShowHint, *this, control, screenX, screenY);
    HintControl_ = shown.Get();
    HintShown_ = HintControl_ != nullptr;
    HintShownAt_ = Now();
    HintPending_ = false;
}

void TCustomGraphContainer::HideHint() {
    if (!HintShown_) return;
    HintShown_ = false;
    HintControl_ = nullptr;
    HintPending_ = false;
    RaiseEvent(OnHideHint, *this);
}

// --- mouse ---

void TCustomGraphContainer::RouteButton(int32_t x, int32_t y, TShiftState shift,
                                        void (TCustomGraphControl::*hook)(int32_t, int32_t, TShiftState),
                                        const TContainerMouseEvent& event) {
    TCustomGraphControl* target = ControlAtPoint(x, y);
    if (target == nullptr) {
        RaiseEvent(event, *this, x, y, shift);
        return;
    }
    if (!Reachable(*target)) return;
    target->UpdateContainerPosition();
    const TPoint at = target->ClientToContainer(0, 0);
    (target->*hook)(SaturateInt32(int64_t{x} - at.X), SaturateInt32(int64_t{y} - at.Y), shift);
}

void TCustomGraphContainer::LButtonDown(int32_t x, int32_t y, TShiftState shift) {
    LastPressX_ = x;
    LastPressY_ = y;
    LastPressShift_ = shift;
    RouteButton(x, y, shift, &TCustomGraphControl::LButtonDown, OnLButtonDown);
}

void TCustomGraphContainer::LButtonUp(int32_t x, int32_t y, TShiftState shift) {
    RouteButton(x, y, shift, &TCustomGraphControl::LButtonUp, OnLButtonUp);
}

void TCustomGraphContainer::RButtonDown(int32_t x, int32_t y, TShiftState shift) {
    RouteButton(x, y, shift, &TCustomGraphControl::RButtonDown, OnRButtonDown);
}

void TCustomGraphContainer::LButtonDblClk(int32_t x, int32_t y, TShiftState shift) {
    RouteButton(x, y, shift, &TCustomGraphControl::LButtonDblClk, OnLButtonDblClk);
}

void TCustomGraphContainer::RButtonUp(int32_t x, int32_t y, TShiftState shift) {
    RouteButton(x, y, shift, &TCustomGraphControl::RButtonUp, OnRButtonUp);
}

void TCustomGraphContainer::UpdateHover(TCustomGraphControl* target, bool withHints) {
    if (target == HoverControl_) return;
    const TWeakRef<TCustomGraphControl> next(target);
    LeaveHover();
    target = next.Get();
    HoverControl_ = target;
    if (target != nullptr) {
        Host_->SetCursor(target->Cursor());
        target->MouseEnter();
        target = next.Get();
        if (target == nullptr || !withHints) return;
        if (target->HasHint()) {
            if (HintShown_ || HintDelay == 0) {
                int32_t sx = 0;
                int32_t sy = 0;
                PointerOnScreen(sx, sy);
                ShowHint(*target, sx, sy);
            } else {
                HintPending_ = true;
                HintPendingSince_ = Now();
            }
        } else if (HintShown_) {
            HideHint();
        }
    } else {
        Host_->SetCursor(CursorId::Default);
        if (withHints) {
            HintPending_ = false;
            HideHint();
        }
    }
}

void TCustomGraphContainer::LeaveHover() {
    if (TCustomGraphControl* old = std::exchange(HoverControl_, nullptr)) old->MouseLeave();
}

void TCustomGraphContainer::MouseMove(int32_t x, int32_t y, TShiftState shift) {
    TCustomGraphControl* target = ControlAtPoint(x, y);
    if (target == nullptr) {
        UpdateHover(nullptr, true);
        RaiseEvent(OnMouseMove, *this, x, y, shift);
        return;
    }
    const TWeakRef<TCustomGraphControl> ref(target);
    UpdateHover(target, true);
    target = ref.Get();
    if (target == nullptr) return;
    if (!Reachable(*target)) return;
    const TPoint at = target->ClientToContainer(0, 0);
    target->MouseMove(SaturateInt32(int64_t{x} - at.X), SaturateInt32(int64_t{y} - at.Y), shift);
}

void TCustomGraphContainer::MouseWheel(int32_t distance, int32_t x, int32_t y, TShiftState shift) {
    TCustomGraphControl* target = ControlAtPoint(x, y);
    if (target == nullptr) {
        UpdateHover(nullptr, false);
        RaiseEvent(OnMouseWheel, *this, distance, x, y, shift);
        return;
    }
    const TWeakRef<TCustomGraphControl> ref(target);
    UpdateHover(target, false);
    target = ref.Get();
    if (target == nullptr) return;
    if (!Reachable(*target)) return;
    const TPoint at = target->ClientToContainer(0, 0);
    target->MouseWheel(distance, SaturateInt32(int64_t{x} - at.X), SaturateInt32(int64_t{y} - at.Y), shift);
}

void TCustomGraphContainer::MouseEnter() {
    if (MouseInside_) return;
    MouseInside_ = true;
    if (CapturedControl_ == nullptr) RaiseEvent(OnMouseEnter, *this);
}

void TCustomGraphContainer::MouseLeave() {
    if (!MouseInside_) return;
    MouseInside_ = false;
    if (CapturedControl_ != nullptr) return;
    LeaveHover();
    HintPending_ = false;
    RaiseEvent(OnMouseLeave, *this);
}

void TCustomGraphContainer::HostMouseWheel(int32_t delta, int32_t screenX, int32_t screenY, TShiftState shift) {
    Host_->ScreenToClient(screenX, screenY);
    const TPoint p = DeviceToUnits(screenX, screenY);
    MouseWheel(delta / 120, p.X, p.Y, WithAlt(shift));
}

void TCustomGraphContainer::HostCaptureChanged() {
    TCustomGraphControl* captured = CapturedControl_;
    if (captured == nullptr) return;
    int32_t x = 0;
    int32_t y = 0;
    PointerOnScreen(x, y);
    Host_->ScreenToClient(x, y);
    const TWeakRef<TCustomGraphControl> ref(captured);
    // The window lost the capture: a loan ends with it, and the holder hears of it too.
    const TWeakRef<TCustomGraphControl> lender(std::exchange(CaptureLender_, nullptr));
    if (x < 0 || y < 0 || x >= DeviceWidth() || y >= DeviceHeight()) captured->MouseLeave();
    if (ref.Get() && CapturedControl_ == captured) SetCapturedControl(nullptr);
    if (TCustomGraphControl* l = lender.Get()) l->CaptureLost();
}

// --- keys ---

namespace {

// A key goes to the active menu, then to the focused control, then to the container's event;
// each gets it with processed preset true, and the first that leaves it true takes it. The
// references are read again after each hook, which may change them.
template <class Hook, class Fire>
bool OfferKey(TCustomGraphControl* const& menu, TCustomGraphControl* const& focused, Hook hook, bool hasEvent,
              Fire fire) {
    for (TCustomGraphControl* const* target : {&menu, &focused}) {
        if (*target == nullptr) continue;
        bool processed = true;
        hook(**target, processed);
        if (processed) return true;
    }
    if (!hasEvent) return false;
    bool processed = true;
    fire(processed);
    return processed;
}

}  // namespace

void TCustomGraphContainer::CharPressed(uint32_t charCode, int32_t repeatCount, bool& processed) {
    processed = OfferKey(
        ActiveMenu_, FocusedControl_, [&](TCustomGraphControl& c, bool& p) { c.CharPressed(charCode, repeatCount, p); },
        static_cast<bool>(OnCharPressed), [&](bool& p) { RaiseEvent(OnCharPressed, charCode, repeatCount, p); });
}

void TCustomGraphContainer::KeyDown(uint32_t virtualKey, bool extended, bool repeated, bool& processed) {
    if (NavigationKey(virtualKey)) SetFocusCuesShown(true);
    processed = OfferKey(
        ActiveMenu_, FocusedControl_,
        [&](TCustomGraphControl& c, bool& p) { c.KeyDown(virtualKey, extended, repeated, p); },
        static_cast<bool>(OnKeyDown), [&](bool& p) { RaiseEvent(OnKeyDown, virtualKey, extended, repeated, p); });
    if (!processed) processed = DialogKey(virtualKey);
}

bool TCustomGraphContainer::DialogKey(uint32_t virtualKey) {
    switch (virtualKey) {
        case VirtualKey::Tab: SelectNextControl((Host_->KeyboardShift() & ShiftState::Shift) == 0); return true;
        case VirtualKey::Return:
            if (auto* button = static_cast<TCustomGraphButton*>(DefaultButton())) {
                // The press may free the whole screen: it is the last action.
                button->KeyClick();
                return true;
            }
            return false;
        case VirtualKey::Escape:
            if (auto* button = static_cast<TCustomGraphButton*>(CancelButton())) {
                button->KeyClick();
                return true;
            }
            if (!OnCloseRequest) return false;
            RaiseEvent(OnCloseRequest, *this);
            return true;
        default: return false;
    }
}

TCustomGraphControl* TCustomGraphContainer::FindAccessKey(char32_t key) const {
    const char32_t folded = FoldAccessKey(key);
    for (TCustomGraphControl* c = Controls_->First(); c != nullptr;) {
        if (!c->Visible() || !c->Enabled()) {
            c = c->NextSkippingChildren();
            continue;
        }
        if (c->AccessKeyChar() == folded) return c;
        c = c->NextInTree();
    }
    return nullptr;
}

bool TCustomGraphContainer::HostAccessKey(uint32_t charCode) {
    if (ActiveMenu_ != nullptr || charCode == 0 || charCode > 0x10FFFF) return false;
    SetFocusCuesShown(true);
    TCustomGraphControl* control = FindAccessKey(static_cast<char32_t>(charCode));
    if (control == nullptr) return false;
    // The action may free the screen: it is the last thing done.
    control->DoAccessKey();
    return true;
}

void TCustomGraphContainer::KeyUp(uint32_t virtualKey, bool extended, bool& processed) {
    processed = OfferKey(
        ActiveMenu_, FocusedControl_, [&](TCustomGraphControl& c, bool& p) { c.KeyUp(virtualKey, extended, p); },
        static_cast<bool>(OnKeyUp), [&](bool& p) { RaiseEvent(OnKeyUp, virtualKey, extended, p); });
}

bool TCustomGraphContainer::HostKeyDown(uint32_t virtualKey, bool extended, bool repeated) {
    bool processed = true;
    KeyDown(virtualKey, extended, repeated, processed);
    return processed;
}

bool TCustomGraphContainer::HostKeyUp(uint32_t virtualKey, bool extended) {
    bool processed = true;
    KeyUp(virtualKey, extended, processed);
    return processed;
}

bool TCustomGraphContainer::HostCharPressed(uint32_t charCode, int32_t repeatCount) {
    bool processed = true;
    CharPressed(charCode, repeatCount, processed);
    return processed;
}

// --- the timer ---

void TCustomGraphContainer::Tick() {
    const uint32_t now = Now();
    if (HintShown_ && HintTime != 0 && now - HintShownAt_ >= HintTime) {
        HideHint();
    } else if (!HintShown_ && HintPending_ && HoverControl_ != nullptr && HoverControl_->HasHint() &&
               now - HintPendingSince_ >= HintDelay) {
        int32_t sx = 0;
        int32_t sy = 0;
        PointerOnScreen(sx, sy);
        ShowHint(*HoverControl_, sx, sy);
    }
    // One tick value for the whole walk; controls freed or built by a step are skipped.
    std::vector<TWeakRef<TCustomGraphControl>> animated;
    TCustomGraphControl* control = Controls_->First();
    while (control != nullptr) {
        if (!control->Visible()) {
            control = control->NextSkippingChildren();
            continue;
        }
        if (control->Animated()) animated.emplace_back(control);
        control = control->NextInTree();
    }
    BeginUpdate();
    try {
        for (const TWeakRef<TCustomGraphControl>& ref : animated) {
            TCustomGraphControl* c = ref.Get();
            if (c != nullptr && c->Animated()) c->AnimationStep(now);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

}  // namespace marlowen
