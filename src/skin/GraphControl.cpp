#include "skin/GraphControl.h"

#include <algorithm>
#include <vector>

#include "core/MultiLanguageException.h"
#include "core/StringHash.h"
#include "core/TaggedString.h"
#include "core/Utf.h"
#include "core/ValueItems.h"
#include "platform/Application.h"
#include "platform/Platform.h"
#include "skin/AccessKey.h"
#include "skin/GraphAccessibleTree.h"
#include "skin/GraphContainer.h"
#include "skin/GraphElementRegistry.h"
#include "skin/PaintContext.h"
#include "skin/TextImage.h"
#include "skin/XMLNode.h"

namespace marlowen {

// --- TGraphControls ---

TCustomGraphControl* TGraphControls::First() const { return static_cast<TCustomGraphControl*>(FirstItem()); }
TCustomGraphControl* TGraphControls::Last() const { return static_cast<TCustomGraphControl*>(LastItem()); }

TCustomGraphControl* TGraphControls::AddControl(std::unique_ptr<TCustomGraphControl> control) {
    TCustomGraphControl* added = Add(std::move(control));
    added->Invalidate();
    return added;
}

void TGraphControls::ItemAdding(TCustomItem& item) {
    if (dynamic_cast<TCustomGraphControl*>(&item) == nullptr) {
        throw Exception("В список графических элементов можно добавить только графический элемент.");
    }
    TCustomTreeItems::ItemAdding(item);
}

void TGraphControls::ItemRemoving(TCustomItem& item) noexcept {
    static_cast<TCustomGraphControl&>(item).LeavingList();
    TCustomTreeItems::ItemRemoving(item);
}

void TGraphControls::ItemsClearing() noexcept {
    for (TCustomGraphControl* control : Controls()) control->LeavingList();
}

TCustomGraphControl* TGraphControls::FindControlWhere(const std::function<bool(const TCustomGraphControl&)>& match,
                                                      bool visibleOnly) const {
    TCustomGraphControl* control = First();
    const TCustomTreeItem* owner = OwnerItem();
    while (control != nullptr) {
        if (visibleOnly && !control->Visible()) {
            control = control->NextSkippingChildren();
        } else {
            if (match(*control)) return control;
            control = control->NextInTree();
        }
        // The walk ends where it leaves the subtrees of this list.
        if (control != nullptr && owner != nullptr && !TCustomTreeItem::IsAncestorOf(owner, control)) return nullptr;
        if (control != nullptr && owner == nullptr && control->Owner() != this) {
            const TCustomTreeItem* root = control;
            while (root->Parent() != nullptr) root = root->Parent();
            if (root->Owner() != this) return nullptr;
        }
    }
    return nullptr;
}

TCustomGraphControl* TGraphControls::FindControl(std::string_view name, bool visibleOnly) const {
    return FindControlWhere([name](const TCustomGraphControl& c) { return TextEquals(c.Name(), name); }, visibleOnly);
}

TCustomGraphControl& TGraphControls::GetControl(std::string_view name) const {
    TCustomGraphControl* control = FindControl(name);
    if (control == nullptr) NotFoundError(name);
    return *control;
}

void TGraphControls::BroadcastConditions(const TValueItems* values) const {
    std::vector<TWeakRef<TCustomGraphControl>> controls;
    for (TCustomGraphControl* root : Controls()) {
        for (TCustomGraphControl* c = root; c != nullptr && c != root->NextSkippingChildren(); c = c->NextInTree()) {
            controls.emplace_back(c);
        }
    }
    for (const TWeakRef<TCustomGraphControl>& ref : controls) {
        if (TCustomGraphControl* control = ref.Get()) control->ConditionsChanged(values);
    }
}

void TGraphControls::NotFoundError(std::string_view name) {
    throw Exception("TCustomGraphControl '" + std::string(name) + "' not found.");
}

// --- TCustomGraphControl: life ---

TCustomGraphControl::TCustomGraphControl(const TSkinContext& context)
    : TCustomTreeItem(std::make_unique<TGraphControls>()), Context_(context) {
    // Last: a refused control is never counted, so only a constructed one counts itself out.
    context.Build.ControlCreated();
}

TCustomGraphControl::~TCustomGraphControl() {
    Context_.Build.ControlDestroyed();
    Life_.End();
    // Leave the list while this control is still whole, so the container forgets it and its
    // subtree before anything is freed.
    LeaveOwner();
    // The children go while this is still a control too: leaving a list that is not being freed
    // reads each one's parents (a list of roots freeing them all leaves this one in place).
    Controls().Clear();
}

void TCustomGraphControl::LeavingList() noexcept {
    TCustomGraphContainer* container = GetContainer();
    if (container == nullptr) return;
    const TPoint at = ClientToContainer(0, 0);
    ContainerLeft_ = at.X;
    ContainerTop_ = at.Y;
    container->ControlRemoved(*this);
    bool ancestorsVisible = true;
    for (const TCustomGraphControl* p = ParentControl(); p != nullptr; p = p->ParentControl()) {
        ancestorsVisible = ancestorsVisible && p->Visible();
    }
    if (ancestorsVisible) {
        container->InvalidateRect(at.X, at.Y, SaturateInt32(int64_t{at.X} + Width_),
                                  SaturateInt32(int64_t{at.Y} + Height_));
    }
}

// --- the tree ---

TCustomGraphContainer* TCustomGraphControl::GetContainer() const {
    const TCustomTreeItem* root = this;
    while (root->Parent() != nullptr) root = root->Parent();
    auto* list = dynamic_cast<TGraphControls*>(root->Owner());
    return list != nullptr ? list->Container() : nullptr;
}

bool TCustomGraphControl::ParentsShowing() const {
    for (const TCustomGraphControl* p = ParentControl(); p != nullptr; p = p->ParentControl()) {
        if (!p->Visible_ || !p->Enabled_) return false;
    }
    return true;
}

bool TCustomGraphControl::Showing() const {
    for (const TCustomGraphControl* c = this; c != nullptr; c = c->ParentControl()) {
        if (!c->Visible_) return false;
    }
    return true;
}

// --- geometry ---

void TCustomGraphControl::SetBoundsDirect(int32_t left, int32_t top, int32_t width, int32_t height) {
    Left_ = left;
    Top_ = top;
    Width_ = width;
    Height_ = height;
}

void TCustomGraphControl::SetLeft(int32_t value) {
    if (value == Left_) return;
    const int32_t old = Left_;
    Left_ = value;
    if (Visible_) {
        const int32_t x = std::min(old, value);
        InvalidateRect(x, Top_, SaturateInt32(int64_t{std::max(old, value)} + Width_ - x), Height_);
    }
}

void TCustomGraphControl::SetTop(int32_t value) {
    if (value == Top_) return;
    const int32_t old = Top_;
    Top_ = value;
    if (Visible_) {
        const int32_t y = std::min(old, value);
        InvalidateRect(Left_, y, Width_, SaturateInt32(int64_t{std::max(old, value)} + Height_ - y));
    }
}

void TCustomGraphControl::SetWidth(int32_t value) {
    if (value == Width_) return;
    const int32_t old = Width_;
    AnchorChildren(value - old, 0);
    Width_ = value;
    if (Visible_) InvalidateRect(Left_, Top_, std::max(old, value), Height_);
    Resized();
}

void TCustomGraphControl::SetHeight(int32_t value) {
    if (value == Height_) return;
    const int32_t old = Height_;
    AnchorChildren(0, value - old);
    Height_ = value;
    if (Visible_) InvalidateRect(Left_, Top_, Width_, std::max(old, value));
    Resized();
}

void TCustomGraphControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    if (left == Left_ && top == Top_ && width == Width_ && height == Height_) return;
    const bool resized = width != Width_ || height != Height_;
    if (!Visible_) {
        if (resized) AnchorChildren(width - Width_, height - Height_);
        SetBoundsDirect(left, top, width, height);
        Resized();
        return;
    }
    const int32_t oldLeft = Left_;
    const int32_t oldTop = Top_;
    const int64_t oldRight = int64_t{Left_} + Width_;
    const int64_t oldBottom = int64_t{Top_} + Height_;
    Left_ = left;
    Top_ = top;
    if (resized) AnchorChildren(width - Width_, height - Height_);
    Width_ = width;
    Height_ = height;
    const int32_t x = std::min(left, oldLeft);
    const int32_t y = std::min(top, oldTop);
    const int64_t right = std::max(oldRight, int64_t{left} + width);
    const int64_t bottom = std::max(oldBottom, int64_t{top} + height);
    InvalidateRect(x, y, SaturateInt32(right - x), SaturateInt32(bottom - y));
    if (resized) Resized();
}

void TCustomGraphControl::AnchorChildren(int32_t dx, int32_t dy) {
    if (dx == 0 && dy == 0) return;
    for (TCustomGraphControl* child : Controls().Controls()) {
        int32_t left = child->Left_;
        int32_t top = child->Top_;
        int32_t width = child->Width_;
        int32_t height = child->Height_;
        if (child->AnchorRight) {
            if (child->AnchorLeft) {
                width += dx;
            } else {
                left += dx;
            }
        }
        if (child->AnchorBottom) {
            if (child->AnchorTop) {
                height += dy;
            } else {
                top += dy;
            }
        }
        child->SetBounds(left, top, width, height);
    }
}

void TCustomGraphControl::UpdateContainerPosition() {
    const TCustomGraphControl* parent = ParentControl();
    ContainerLeft_ = SaturateInt32(int64_t{Left_} + (parent != nullptr ? parent->ContainerLeft_ : 0));
    ContainerTop_ = SaturateInt32(int64_t{Top_} + (parent != nullptr ? parent->ContainerTop_ : 0));
}

TPoint TCustomGraphControl::ClientToContainer(int32_t x, int32_t y) const {
    for (const TCustomGraphControl* c = this; c != nullptr; c = c->ParentControl()) {
        x = SaturateInt32(int64_t{x} + c->Left_);
        y = SaturateInt32(int64_t{y} + c->Top_);
    }
    return {x, y};
}

TPoint TCustomGraphControl::ClientToScreen(int32_t x, int32_t y) const {
    const TPoint p = ClientToContainer(x, y);
    if (TCustomGraphContainer* container = GetContainer()) return container->ClientToScreen(p.X, p.Y);
    return p;
}

// --- flags ---

void TCustomGraphControl::UpdateArea() {
    TCustomGraphContainer* container = GetContainer();
    if (container == nullptr) return;
    container->ForgetUnreachable();
    if (ParentControl() != nullptr && !ParentControl()->Showing()) return;
    const TPoint at = ClientToContainer(0, 0);
    container->InvalidateRect(at.X, at.Y, SaturateInt32(int64_t{at.X} + Width_), SaturateInt32(int64_t{at.Y} + Height_));
}

void TCustomGraphControl::SetVisible(bool value) {
    if (value == Visible_) return;
    Visible_ = value;
    UpdateArea();
}

void TCustomGraphControl::SetEnabled(bool value) {
    if (value == Enabled_) return;
    Enabled_ = value;
    if (Visible_) UpdateArea();
    NotifyAccessible(AccEvent::StateChange);
}

bool TCustomGraphControl::Focused() const {
    const TCustomGraphContainer* container = GetContainer();
    return container != nullptr && container->FocusedControl() == this;
}

bool TCustomGraphControl::MouseInside() const {
    const TCustomGraphContainer* container = GetContainer();
    return container != nullptr && container->HoverControl() == this;
}

void TCustomGraphControl::SetFocused(bool value) {
    if (value == Focused()) return;
    if (TCustomGraphContainer* container = GetContainer()) container->SetFocusedControl(value ? this : nullptr);
}

void TCustomGraphControl::FocusEnter() {
    Invalidate();
    RunEntry([&] { DoEnter(); }, [&] { RaiseEvent(OnEnter, *this); });
}

void TCustomGraphControl::FocusExit() {
    Invalidate();
    RunEntry([&] { DoExit(); }, [&] { RaiseEvent(OnExit, *this); });
}

void TCustomGraphControl::SetCursor(int16_t cursor) {
    if (cursor == Cursor_) return;
    Cursor_ = cursor;
    if (MouseInside()) {
        if (TCustomGraphContainer* container = GetContainer()) container->Host().SetCursor(cursor);
    }
}

void TCustomGraphControl::CancelHint() {
    TCustomGraphContainer* container = GetContainer();
    if (container != nullptr && container->HintShown() && container->HintControl() == this) container->HideHint();
}

// --- repainting ---

void TCustomGraphControl::Invalidate() {
    if (Visible_) InvalidateRect(Left_, Top_, Width_, Height_);
}

void TCustomGraphControl::InvalidateRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    const TCustomGraphControl* root = this;
    for (const TCustomGraphControl* p = ParentControl(); p != nullptr; p = p->ParentControl()) {
        if (!p->Visible_) return;
        x = SaturateInt32(int64_t{x} + p->Left_);
        y = SaturateInt32(int64_t{y} + p->Top_);
        root = p;
    }
    auto* list = dynamic_cast<TGraphControls*>(root->Owner());
    if (list == nullptr || list->Container() == nullptr) return;
    // Sums in 64 bits: a far-off control cannot wrap into the client area.
    const int64_t right = static_cast<int64_t>(x) + width;
    const int64_t bottom = static_cast<int64_t>(y) + height;
    list->Container()->InvalidateRect(x, y, SaturateInt32(right), SaturateInt32(bottom));
}

// --- painting ---

void TCustomGraphControl::Paint(const TPaintContext& paint) { RaiseEvent(OnPaint, *this, paint); }

void TCustomGraphControl::PaintOverlay(const TPaintContext& paint) { RaiseEvent(OnPaintOverlay, *this, paint); }

void TCustomGraphControl::PaintChildren(const TPaintContext& paint) {
    for (int pass = 0; pass < 2; ++pass) {
        const TCustomGraphControl* end = NextSkippingChildren();
        TCustomGraphControl* control = Controls().First();
        while (control != nullptr && control != end) {
            if (!control->Visible_) {
                control = control->NextSkippingChildren();
                continue;
            }
            control->UpdateContainerPosition();
            const TPaintContext at = paint.Offset(control->ContainerLeft_ - ContainerLeft_,
                                                  control->ContainerTop_ - ContainerTop_);
            if (pass == 0) {
                control->Paint(at);
            } else {
                control->PaintOverlay(at);
            }
            control = control->NextInTree();
        }
    }
}

// --- input entries ---

void TCustomGraphControl::RunEntry(const std::function<void()>& work, const std::function<void()>& event) {
    const TWeakRef<TCustomGraphControl> self(this);
    ++Entries_;
    try {
        work();
        if (self.Get() != nullptr) event();
        if (self.Get() == nullptr) return;
        // The outermost entry runs the deferred steps, and those they defer in turn.
        while (Entries_ == 1 && !Deferred_.empty()) {
            const std::function<void()> step = std::move(Deferred_.front());
            Deferred_.erase(Deferred_.begin());
            step();
            if (self.Get() == nullptr) return;
        }
        --Entries_;
    } catch (...) {
        if (self.Get() != nullptr) {
            Entries_ = 0;
            Deferred_.clear();
        }
        throw;
    }
}

void TCustomGraphControl::AfterEvent(std::function<void()> step) {
    if (Entries_ > 0) {
        Deferred_.push_back(std::move(step));
    } else {
        step();
    }
}

void TCustomGraphControl::RunMouseEntry(TMouseHook hook, const TMouseEvent& event, int32_t x, int32_t y,
                                        TShiftState shift) {
    RunEntry([&] { (this->*hook)(x, y, shift); }, [&] { RaiseEvent(event, *this, x, y, shift); });
}

void TCustomGraphControl::LButtonDown(int32_t x, int32_t y, TShiftState shift) {
    RunMouseEntry(&TCustomGraphControl::DoLButtonDown, OnLButtonDown, x, y, shift);
}
void TCustomGraphControl::LButtonUp(int32_t x, int32_t y, TShiftState shift) {
    RunMouseEntry(&TCustomGraphControl::DoLButtonUp, OnLButtonUp, x, y, shift);
}
void TCustomGraphControl::LButtonDblClk(int32_t x, int32_t y, TShiftState shift) {
    RunMouseEntry(&TCustomGraphControl::DoLButtonDblClk, OnLButtonDblClk, x, y, shift);
}
void TCustomGraphControl::RButtonDown(int32_t x, int32_t y, TShiftState shift) {
    RunMouseEntry(&TCustomGraphControl::DoRButtonDown, OnRButtonDown, x, y, shift);
}
void TCustomGraphControl::RButtonUp(int32_t x, int32_t y, TShiftState shift) {
    RunMouseEntry(&TCustomGraphControl::DoRButtonUp, OnRButtonUp, x, y, shift);
}
void TCustomGraphControl::MouseMove(int32_t x, int32_t y, TShiftState shift) {
    RunMouseEntry(&TCustomGraphControl::DoMouseMove, OnMouseMove, x, y, shift);
}
void TCustomGraphControl::MouseWheel(int32_t distance, int32_t x, int32_t y, TShiftState shift) {
    RunEntry([&] { DoMouseWheel(distance, x, y, shift); },
             [&] { RaiseEvent(OnMouseWheel, *this, distance, x, y, shift); });
}
void TCustomGraphControl::MouseEnter() {
    RunEntry([&] { DoMouseEnter(); }, [&] { RaiseEvent(OnMouseEnter, *this); });
}
void TCustomGraphControl::MouseLeave() {
    RunEntry([&] { DoMouseLeave(); }, [&] { RaiseEvent(OnMouseLeave, *this); });
}

// The user's key events come first: one that leaves processed true takes the key.
void TCustomGraphControl::CharPressed(uint32_t charCode, int32_t repeatCount, bool& processed) {
    const bool offered = static_cast<bool>(OnCharPressed);
    RunEntry([&] { RaiseEvent(OnCharPressed, charCode, repeatCount, processed); },
             [&] {
                 if (!offered || !processed) DoCharPressed(charCode, repeatCount, processed);
             });
}

void TCustomGraphControl::KeyDown(uint32_t virtualKey, bool extended, bool repeated, bool& processed) {
    processed = static_cast<bool>(OnKeyDown);
    RunEntry([&] { RaiseEvent(OnKeyDown, virtualKey, extended, repeated, processed); },
             [&] {
                 if (!processed) DoKeyDown(virtualKey, extended, repeated, processed);
             });
}

void TCustomGraphControl::KeyUp(uint32_t virtualKey, bool extended, bool& processed) {
    processed = static_cast<bool>(OnKeyUp);
    RunEntry([&] { RaiseEvent(OnKeyUp, virtualKey, extended, processed); },
             [&] {
                 if (!processed) DoKeyUp(virtualKey, extended, processed);
             });
}

void TCustomGraphControl::FrameChanged() {
    if (Entries_ > 0) {
        // A frame started by the control's own work (a new look inside a mouse entry): the look
        // changes now, and the event, whose handler may free the control, waits for that entry
        // to end, so that the work goes on with a control that lives.
        DoFrameChanged();
        AfterEvent([this] { RaiseEvent(OnFrameChanged, *this); });
        return;
    }
    RunEntry([&] { DoFrameChanged(); }, [&] { RaiseEvent(OnFrameChanged, *this); });
}

void TCustomGraphControl::DoFrameChanged() { Invalidate(); }

void TCustomGraphControl::AnimationLooped() {
    RunEntry([&] { DoAnimationLooped(); }, [&] { RaiseEvent(OnAnimationLoop, *this); });
}

void TCustomGraphControl::Resized() {
    RunEntry([&] { DoResized(); }, [&] { RaiseEvent(OnResize, *this); });
}

// --- capture ---

TCustomGraphControl* TCustomGraphControl::CapturedControl() const {
    TCustomGraphContainer* container = GetContainer();
    return container != nullptr ? container->CapturedControl() : nullptr;
}

bool TCustomGraphControl::IsCaptured() const { return CapturedControl() == this; }

void TCustomGraphControl::CaptureMouse() {
    if (TCustomGraphContainer* container = GetContainer()) container->SetCapturedControl(this);
}

void TCustomGraphControl::ReleaseMouse() {
    if (IsCaptured()) GetContainer()->SetCapturedControl(nullptr);
}

// --- animation ---

void TCustomGraphControl::SetFrame(int32_t value) {
    if (value == Frame_) return;
    Frame_ = value;
    FrameChanged();
}

void TCustomGraphControl::Animate(int32_t first, int32_t last, int32_t start, int32_t repeatCount, int32_t frameTime) {
    if (first != last && frameTime == 0) {
        throw Exception("TCustomGraphControl.Animate: значение FrameTime должно быть отлично от нуля.");
    }
    FirstFrame_ = first;
    LastFrame_ = last;
    FrameTime_ = frameTime;
    RepeatCount_ = repeatCount;
    StartFrame_ = std::max(start, first);
    if (first <= last) {
        Direction_ = 1;
        StartFrame_ = std::clamp(StartFrame_, first, last);
    } else {
        Direction_ = -1;
        StartFrame_ = first;
    }
    Animated_ = first != last;
    StartTick_ = Context_.Platform.Application.TickCount();
    CyclesDone_ = 0;
    SetFrame(StartFrame_);
}

void TCustomGraphControl::AnimationStep(uint32_t now) {
    if (!Animated_ || FrameTime_ <= 0) return;
    // Spans and positions in 64 bits: a range up to the largest integer must not overflow.
    const int64_t span = Direction_ > 0 ? int64_t{LastFrame_} - FirstFrame_ + 1 : int64_t{FirstFrame_} - LastFrame_ + 1;
    const int64_t offset = Direction_ > 0 ? int64_t{StartFrame_} - FirstFrame_ : int64_t{FirstFrame_} - StartFrame_;
    const int64_t elapsed = static_cast<int64_t>(static_cast<uint32_t>(now - StartTick_) / static_cast<uint32_t>(FrameTime_));
    const int64_t position = offset + elapsed;
    const auto frame = static_cast<int32_t>(Direction_ * (position % span) + FirstFrame_);
    if (frame == Frame_) return;
    const auto cycles = static_cast<int32_t>(std::min<int64_t>(position / span, INT32_MAX));
    if (cycles <= CyclesDone_) {
        SetFrame(frame);
        return;
    }
    const TWeakRef<TCustomGraphControl> self(this);
    if (RepeatCount_ <= 0) {
        SetFrame(frame);
    } else {
        --RepeatCount_;
        Animated_ = RepeatCount_ > 0;
        SetFrame(RepeatCount_ > 0 ? frame : LastFrame_);
    }
    if (!self.Get()) return;
    CyclesDone_ = cycles;
    AnimationLooped();
}

// --- documents ---

int16_t TCustomGraphControl::CursorFromName(const std::string& name) {
    if (TextEquals(name, "Default")) return CursorId::Default;
    if (TextEquals(name, "HandPoint")) return CursorId::HandPoint;
    if (TextEquals(name, "HSplit")) return CursorId::HSplit;
    if (TextEquals(name, "VSplit")) return CursorId::VSplit;
    throw EMultiLanguageException::CreateFmt(
        u"[rus]Неверное значение для Cursor=\"%s\".[eng]Invalid button value Cursor=\"%s\".", {Utf8ToUtf16(name)});
}

void TCustomGraphControl::LoadFromXML(const TXMLNode& node) {
    const TValueItems& a = node.Attributes();
    Name_ = a.GetTextDef("Name", "");
    Left_ = a.GetIntegerDef("Left", Left_);
    Top_ = a.GetIntegerDef("Top", Top_);
    Width_ = a.GetIntegerDef("Width", Width_);
    Height_ = a.GetIntegerDef("Height", Height_);
    TabStop = a.GetBooleanDef("TabStop", TabStop);
    ReadFocusColor(a);
    Enabled_ = a.GetBooleanDef("Enabled", Enabled_);
    Visible_ = a.GetBooleanDef("Visible", Visible_);
    if (a.Find("Cursor") != nullptr) Cursor_ = CursorFromName(a.GetText("Cursor"));
    ShowHint = a.GetBooleanDef("ShowHint", true);
    Hint = a.GetWideTextDef("Hint", u"");
    const bool animated = a.GetBooleanDef("Animated", false);
    FrameTime_ = a.GetIntegerDef("FrameTime", FrameTime_);
    if (animated) {
        const int32_t repeatCount = a.GetIntegerDef("RepeatCount", 1);
        const int32_t startFrame = a.GetIntegerDef("StartFrame", -2147483647);
        const int32_t lastFrame = a.GetInteger("LastFrame");
        const int32_t firstFrame = a.GetInteger("FirstFrame");
        // A negative time would hold the animation on its first frame for good: say so. Where
        // nothing animates the value is only kept (controls that animate by themselves take
        // their own time then).
        if (FrameTime_ < 0 && firstFrame != lastFrame) {
            throw EMultiLanguageException::CreateFmt(
                u"[rus]Неверное значение FrameTime=\"%s\".[eng]Invalid value FrameTime=\"%s\".",
                {Utf8ToUtf16(std::to_string(FrameTime_))});
        }
        Animate(firstFrame, lastFrame, startFrame, repeatCount, FrameTime_);
    }
    AccName = a.GetWideTextDef("AccName", u"");
    AccHidden = a.GetBooleanDef("AccHidden", false);
    AccessKey = a.GetWideTextDef("AccessKey", u"");
    AnchorLeft = a.GetBooleanDef("AnchorLeft", true);
    AnchorTop = a.GetBooleanDef("AnchorTop", true);
    AnchorRight = a.GetBooleanDef("AnchorRight", false);
    AnchorBottom = a.GetBooleanDef("AnchorBottom", false);
}

void TCustomGraphControl::ReadFocusColor(const TValueItems& attributes) {
    if (attributes.Find("FocusColor") == nullptr) return;
    FocusColor = attributes.GetColor("FocusColor");
    HasFocusColor = true;
}

void TCustomGraphControl::ApplyXML(const TXMLNode& node) {
    const TValueItems& a = node.Attributes();
    Name_ = a.GetTextDef("Name", Name_);
    if (a.Find("Left") != nullptr) SetLeft(a.GetInteger("Left"));
    if (a.Find("Top") != nullptr) SetTop(a.GetInteger("Top"));
    if (a.Find("Width") != nullptr) SetWidth(a.GetInteger("Width"));
    if (a.Find("Height") != nullptr) SetHeight(a.GetInteger("Height"));
    TabStop = a.GetBooleanDef("TabStop", TabStop);
    ReadFocusColor(a);
    if (a.Find("Enabled") != nullptr) SetEnabled(a.GetBoolean("Enabled"));
    if (a.Find("Visible") != nullptr) SetVisible(a.GetBoolean("Visible"));
    if (a.Find("Cursor") != nullptr) SetCursor(CursorFromName(a.GetText("Cursor")));
    ShowHint = a.GetBooleanDef("ShowHint", ShowHint);
    Hint = a.GetWideTextDef("Hint", Hint);
    AccName = a.GetWideTextDef("AccName", AccName);
    AccHidden = a.GetBooleanDef("AccHidden", AccHidden);
    AccessKey = a.GetWideTextDef("AccessKey", AccessKey);
    AnchorLeft = a.GetBooleanDef("AnchorLeft", AnchorLeft);
    AnchorTop = a.GetBooleanDef("AnchorTop", AnchorTop);
    AnchorRight = a.GetBooleanDef("AnchorRight", AnchorRight);
    AnchorBottom = a.GetBooleanDef("AnchorBottom", AnchorBottom);
}

void TCustomGraphControl::CreateChildren(const TXMLNode& node) {
    for (const TXMLNode* element : node.Nodes().Nodes()) {
        const TGraphControlClassItem* entry = Context_.Elements.Lookup(element->Name());
        if (entry == nullptr) continue;  // unknown elements are skipped with their subtrees
        Controls().AddControl(entry->Factory(this, Context_, *element));
    }
}

// --- TGraphAnimator ---

void TGraphAnimator::LoadFromXML(const TXMLNode& node) {
    TCustomGraphControl::LoadFromXML(node);
    Frames_ = node.FindChild("Frames");
    FrameChanged();
}

void TGraphAnimator::DoFrameChanged() {
    if (Frames_ == nullptr) return;
    Controls().Clear();
    if (const TXMLNode* frame = Frames_->FindChild("Frame" + std::to_string(Frame()))) CreateChildren(*frame);
    Invalidate();
}

// --- accessibility ---

char32_t TCustomGraphControl::AccessKeyChar() const {
    if (AccessKey.empty()) return 0;
    const std::u16string key = Translate(AccessKey);
    size_t at = 0;
    return key.empty() ? 0 : FoldAccessKey(NextChar(key, at));
}

void TCustomGraphControl::DoAccessKey() {
    if (TabStop) SetFocused(true);
    // The action may free the control (a page that moves on): it is the last thing done.
    if (HasAccessibleAction()) DoAccessibleAction();
}

std::u16string TCustomGraphControl::AccessibleName() const {
    if (!AccName.empty()) return Translate(AccName);
    return AccessibleCaption();
}

void TCustomGraphControl::Describe(TAccessibleDescription& description) const {
    description.Role = AccessibleRole();
    description.Name = Utf16ToUtf8(AccessibleName());
    const TPoint at = ClientToContainer(0, 0);
    description.Left = at.X;
    description.Top = at.Y;
    description.Width = Width_;
    description.Height = Height_;
    const bool enabled = Enabled_ && ParentsShowing();
    if (!enabled) description.State |= AccState::Unavailable;
    if (TabStop && enabled) description.State |= AccState::Focusable;
    if (Focused()) description.State |= AccState::Focused;
    description.KeyboardShortcut = Utf16ToUtf8(AccessKeyShortcut(AccessKeyChar()));
}

void TCustomGraphControl::NotifyAccessible(uint32_t event) const {
    if (TCustomGraphContainer* container = GetContainer()) container->Accessible().Notify(event, this);
}

}  // namespace marlowen
