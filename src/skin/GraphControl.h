#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/LifeToken.h"
#include "core/TreeItems.h"
#include "platform/Accessibility.h"
#include "platform/WindowHost.h"
#include "skin/Geometry.h"
#include "skin/SkinContext.h"

namespace marlowen {

class TAccessiblePart;
class TCustomGraphContainer;
class TCustomGraphControl;
class TPaintContext;
class TValueItems;
class TXMLNode;

// Events. A handler together with its object is a lambda capturing that object; raising an
// event without a handler does nothing. Any handler may free the control that raised it.
using TNotifyEvent = std::function<void(TCustomGraphControl& sender)>;
using TMouseEvent = std::function<void(TCustomGraphControl& sender, int32_t x, int32_t y, TShiftState shift)>;
using TMouseWheelEvent =
    std::function<void(TCustomGraphControl& sender, int32_t distance, int32_t x, int32_t y, TShiftState shift)>;
using TPaintEvent = std::function<void(TCustomGraphControl& sender, const TPaintContext& paint)>;
using TCharPressedEvent = std::function<void(uint32_t charCode, int32_t repeatCount, bool& processed)>;
using TKeyDownEvent = std::function<void(uint32_t virtualKey, bool extended, bool repeated, bool& processed)>;
using TKeyUpEvent = std::function<void(uint32_t virtualKey, bool extended, bool& processed)>;

// Calls a copy of the handler, so that a handler that frees the event's owner (and with it the
// event itself) finishes safely.
template <class Event, class... Args>
void RaiseEvent(const Event& event, Args&&... args) {
    if (!event) return;
    Event handler = event;
    handler(std::forward<Args>(args)...);
}

// The child list of a control, or the root list of a container (which then knows it). Controls
// that leave the list are forgotten by their container (hover, capture, focus, hint, menu) and
// their place is repainted.
class TGraphControls : public TCustomTreeItems {
public:
    TCustomGraphContainer* Container() const { return Container_; }

    TCustomGraphControl* First() const;
    TCustomGraphControl* Last() const;
    template <class T = TCustomGraphControl>
    TItemRange<T> Controls() const {
        return ItemsAs<T>();
    }

    // Appends the control (taking it over) and repaints its place when it shows.
    TCustomGraphControl* AddControl(std::unique_ptr<TCustomGraphControl> control);
    template <class T>
    T* AddControl(std::unique_ptr<T> control) {
        static_assert(std::is_base_of_v<TCustomGraphControl, T>);
        return static_cast<T*>(AddControl(std::unique_ptr<TCustomGraphControl>(std::move(control))));
    }

    // The first control of the subtrees, in tree order, whose Name equals the name ignoring
    // letter case; with visibleOnly hidden controls and their subtrees are passed over.
    TCustomGraphControl* FindControl(std::string_view name, bool visibleOnly = false) const;
    // The first control of exactly the class T.
    template <class T>
    T* FindControlByClass(bool visibleOnly = false) const;
    // FindControl that raises NotFoundError when there is none.
    TCustomGraphControl& GetControl(std::string_view name) const;
    template <class T>
    T& GetControl(std::string_view name) const;
    // ConditionsChanged on every control of the subtrees, in tree order. Controls that the
    // hooks free or build on the way are left out.
    void BroadcastConditions(const TValueItems* values) const;
    // Raises Exception "TCustomGraphControl '<name>' not found.".
    [[noreturn]] static void NotFoundError(std::string_view name);

protected:
    void ItemAdding(TCustomItem& item) override;
    void ItemRemoving(TCustomItem& item) noexcept override;
    void ItemsClearing() noexcept override;

private:
    friend class TCustomGraphContainer;

    TCustomGraphControl* FindControlWhere(const std::function<bool(const TCustomGraphControl&)>& match,
                                          bool visibleOnly) const;

    TCustomGraphContainer* Container_ = nullptr;
};

// The base of every element of a skinned screen: a light-weight object without a window that
// lives in a tree, paints itself into its container's back buffer and receives the input the
// container routes to it. Positions are relative to the parent (to the container for a root).
class TCustomGraphControl : public TCustomTreeItem {
public:
    static constexpr int32_t kDefaultFrameTime = 50;

    explicit TCustomGraphControl(const TSkinContext& context);
    ~TCustomGraphControl() override;

    const TSkinContext& Context() const { return Context_; }
    // Ends where the destruction begins: a TWeakRef to the control answers none from then on.
    const TLifeToken& LifeToken() const { return Life_; }

    // --- the tree ---
    TCustomGraphControl* ParentControl() const { return static_cast<TCustomGraphControl*>(Parent()); }
    TGraphControls& Controls() const { return static_cast<TGraphControls&>(Children()); }
    TCustomGraphControl* NextControl() const { return static_cast<TCustomGraphControl*>(NextItem()); }
    TCustomGraphControl* PrevControl() const { return static_cast<TCustomGraphControl*>(PrevItem()); }
    TCustomGraphControl* NextInTree() const { return static_cast<TCustomGraphControl*>(TCustomTreeItem::NextInTree()); }
    TCustomGraphControl* NextSkippingChildren() const {
        return static_cast<TCustomGraphControl*>(TCustomTreeItem::NextSkippingChildren());
    }
    TCustomGraphControl* PrevInTree() const { return static_cast<TCustomGraphControl*>(TCustomTreeItem::PrevInTree()); }
    // The container that hosts the tree: its root's list's container; none when not hosted.
    TCustomGraphContainer* GetContainer() const;
    // True when every ancestor (not the control itself) is Visible and Enabled; true for a root.
    bool ParentsShowing() const;
    // Whether the control and every ancestor are Visible.
    bool Showing() const;

    // --- building from documents ---
    // Reads the attributes every element shares (names ignore letter case); subclasses read
    // their own after the base and end with CreateChildren when their children are controls.
    virtual void LoadFromXML(const TXMLNode& node);
    // Re-applies the shared attributes through the setters, the current values as defaults.
    virtual void ApplyXML(const TXMLNode& node);
    // One control per child element that the registry knows, in document order.
    void CreateChildren(const TXMLNode& node);
    // A control of class T from the root of a stored document (EXMLNotFound when missing).
    template <class T>
    static std::unique_ptr<T> CreateFromDocument(const TSkinContext& context, std::string_view path);

    // --- geometry ---
    const std::string& Name() const { return Name_; }
    void SetName(std::string name) { Name_ = std::move(name); }
    int32_t Left() const { return Left_; }
    int32_t Top() const { return Top_; }
    int32_t Width() const { return Width_; }
    int32_t Height() const { return Height_; }
    int32_t ContainerLeft() const { return ContainerLeft_; }
    int32_t ContainerTop() const { return ContainerTop_; }
    TRect BoundsRect() const {
        return {Left_, Top_, SaturateInt32(int64_t{Left_} + Width_), SaturateInt32(int64_t{Top_} + Height_)};
    }
    void SetLeft(int32_t value);
    void SetTop(int32_t value);
    void SetWidth(int32_t value);
    void SetHeight(int32_t value);
    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
    // Refreshes ContainerLeft/Top from the parent's (which must be current).
    void UpdateContainerPosition();
    // Adds the control's and every ancestor's Left and Top.
    TPoint ClientToContainer(int32_t x, int32_t y) const;
    // The same, then through the container's window to the screen.
    TPoint ClientToScreen(int32_t x, int32_t y) const;

    bool AnchorLeft = true;
    bool AnchorTop = true;
    bool AnchorRight = false;
    bool AnchorBottom = false;

    // --- flags ---
    bool Visible() const { return Visible_; }
    virtual void SetVisible(bool value);
    bool Enabled() const { return Enabled_; }
    virtual void SetEnabled(bool value);
    // Focus and hover are the container's: a control not hosted has neither.
    bool Focused() const;
    // Takes the focus from the container's focused control (or gives it up).
    void SetFocused(bool value);
    bool TabStop = false;
    // Whether Tab stops here: TabStop, narrowed where a group takes one stop (a radio group).
    virtual bool IsTabTarget() const { return TabStop; }
    // The colour of the focus rectangle the container draws while focus cues are shown
    // ("FocusColor"); unset, the default text style's is taken.
    uint32_t FocusColor = 0;
    bool HasFocusColor = false;
    // False for controls that show the focus their own way (an edit's caret).
    virtual bool DrawsFocusRectangle() const { return true; }
    bool MouseInside() const;
    int16_t Cursor() const { return Cursor_; }
    void SetCursor(int16_t cursor);
    bool WindowActive() const { return WindowActive_; }
    virtual void SetWindowActive(bool value) { WindowActive_ = value; }

    std::u16string Hint;
    bool ShowHint = true;
    virtual bool HasHint() const { return ShowHint && !Hint.empty(); }
    // Hides the hint when the container shows this control's.
    void CancelHint();

    // --- what assistive technology learns of the control (TGraphAccessibleTree) ---
    // The name read out ("AccName", language-tagged); empty: the control's own caption, else the
    // caption of the label that names it with "LabelFor".
    std::u16string AccName;
    // Left out, with its subtree ("AccHidden"): decoration.
    bool AccHidden = false;
    // The access key ("AccessKey", language-tagged, one character per language: "[rus]Д[eng]N"):
    // Alt with it acts on the control (DoAccessKey); a caption shows it underlined once keys are
    // in use.
    std::u16string AccessKey;
    // The key in the current language, letter case folded; 0 for none.
    char32_t AccessKeyChar() const;
    // Takes the focus where the control takes it, then does the default action; a label gives
    // the focus to the control it names.
    virtual void DoAccessKey();
    // The role (an AccRole value); 0 for layout and decoration, whose children stand in its place.
    virtual int32_t AccessibleRole() const { return 0; }
    // The caption read when AccName is empty.
    virtual std::u16string AccessibleCaption() const { return {}; }
    // AccName, else the caption (both in the current language).
    std::u16string AccessibleName() const;
    // Role, name, bounds (container coordinates) and the states every control has (focused,
    // focusable, unavailable); the kinds add value, their own states and the default action.
    virtual void Describe(TAccessibleDescription& description) const;
    // The default action (press, toggle, select), as the person would do it.
    virtual bool HasAccessibleAction() const { return false; }
    virtual void DoAccessibleAction() {}
    // Nodes of the control's own that are not controls (a menu's items), and the one of them that
    // has the keyboard focus while the control has it.
    virtual std::vector<const TAccessiblePart*> AccessibleParts() const { return {}; }
    virtual const TAccessiblePart* FocusedPart() const { return nullptr; }
    // Tells the container window's clients of a change to the control (an AccEvent value).
    void NotifyAccessible(uint32_t event) const;

    // --- repainting ---
    // The control's rectangle, when it is Visible.
    void Invalidate();
    // A rectangle in the parent's coordinates; nothing when an ancestor is hidden or there is
    // no container.
    void InvalidateRect(int32_t x, int32_t y, int32_t width, int32_t height);

    // --- painting ---
    // Paints the control; origin of the context = the control's top-left.
    virtual void Paint(const TPaintContext& paint);
    virtual void PaintOverlay(const TPaintContext& paint);
    // The whole subtree as if the control's top-left lay at the context's origin: Paint over
    // the tree, then PaintOverlay.
    void PaintChildren(const TPaintContext& paint);
    virtual bool HitTest(int32_t /*x*/, int32_t /*y*/) { return true; }

    // --- input entries (control coordinates) ---
    // Each does the control's own work through its protected hook (Do + the entry's name), then
    // raises the user's event (OnLButtonDown, ...) as its last action; the control never asks
    // whether it survived the event. Steps a hook defers with AfterEvent run after the event,
    // while the control lives. Keys differ: the user's event sees the key first and takes it by
    // leaving processed true; the hook gets the keys it leaves.
    void LButtonDown(int32_t x, int32_t y, TShiftState shift);
    void LButtonUp(int32_t x, int32_t y, TShiftState shift);
    void LButtonDblClk(int32_t x, int32_t y, TShiftState shift);
    void RButtonDown(int32_t x, int32_t y, TShiftState shift);
    void RButtonUp(int32_t x, int32_t y, TShiftState shift);
    void MouseMove(int32_t x, int32_t y, TShiftState shift);
    void MouseWheel(int32_t distance, int32_t x, int32_t y, TShiftState shift);
    void MouseEnter();
    void MouseLeave();
    // The container gave the focus to the control (took it away): a repaint, DoEnter and
    // OnEnter (DoExit and OnExit).
    void FocusEnter();
    void FocusExit();
    void CharPressed(uint32_t charCode, int32_t repeatCount, bool& processed);
    void KeyDown(uint32_t virtualKey, bool extended, bool repeated, bool& processed);
    void KeyUp(uint32_t virtualKey, bool extended, bool& processed);
    // The frame changed: the hook repaints, then OnFrameChanged.
    void FrameChanged();
    void AnimationLooped();
    void Resized();
    // Another control (or the system) took the mouse capture from this one.
    virtual void CaptureLost() {}
    // The control became (stopped being) the container's active menu.
    virtual void Activate() {}
    virtual void Deactivate() {}
    // Condition values handed down the tree (none: nothing new).
    virtual void ConditionsChanged(const TValueItems* /*values*/) {}

    // --- mouse capture and focus through the container ---
    TCustomGraphControl* CapturedControl() const;
    bool IsCaptured() const;
    void CaptureMouse();
    void ReleaseMouse();

    // --- frame animation ---
    int32_t Frame() const { return Frame_; }
    void SetFrame(int32_t value);
    int32_t FirstFrame() const { return FirstFrame_; }
    int32_t LastFrame() const { return LastFrame_; }
    int32_t RepeatCount() const { return RepeatCount_; }
    void SetRepeatCount(int32_t count) { RepeatCount_ = count; }
    int32_t FrameTime() const { return FrameTime_; }
    void SetFrameTime(int32_t time) { FrameTime_ = time; }
    bool Animated() const { return Animated_; }
    void StopAnimation() { Animated_ = false; }
    // Starts an animation; a range of more than one frame needs a frame time other than 0.
    void Animate(int32_t first, int32_t last, int32_t start, int32_t repeatCount, int32_t frameTime);
    // One step at the tick `now` (the container's timer).
    void AnimationStep(uint32_t now);

    // --- events ---
    TPaintEvent OnPaint;
    TPaintEvent OnPaintOverlay;
    TMouseEvent OnLButtonDown;
    TMouseEvent OnLButtonUp;
    TMouseEvent OnLButtonDblClk;
    TMouseEvent OnRButtonDown;
    TMouseEvent OnRButtonUp;
    TMouseEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TCharPressedEvent OnCharPressed;
    TKeyDownEvent OnKeyDown;
    TKeyUpEvent OnKeyUp;
    TNotifyEvent OnFrameChanged;
    TNotifyEvent OnAnimationLoop;
    TNotifyEvent OnResize;

    // The text of a "Cursor" attribute ("Default", "HandPoint", "HSplit", "VSplit", any letter
    // case); anything else raises the Cursor message.
    static int16_t CursorFromName(const std::string& name);

protected:
    // The controls' own work of the input entries (the defaults do nothing; DoFrameChanged
    // repaints). DoEnter and DoExit come with the focus, before OnEnter and OnExit.
    virtual void DoLButtonDown(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {}
    virtual void DoLButtonUp(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {}
    virtual void DoLButtonDblClk(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {}
    virtual void DoRButtonDown(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {}
    virtual void DoRButtonUp(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {}
    virtual void DoMouseMove(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {}
    virtual void DoMouseWheel(int32_t /*distance*/, int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {}
    virtual void DoMouseEnter() {}
    virtual void DoMouseLeave() {}
    virtual void DoEnter() {}
    virtual void DoExit() {}
    virtual void DoCharPressed(uint32_t /*charCode*/, int32_t /*repeatCount*/, bool& /*processed*/) {}
    virtual void DoKeyDown(uint32_t /*virtualKey*/, bool /*extended*/, bool /*repeated*/, bool& /*processed*/) {}
    virtual void DoKeyUp(uint32_t /*virtualKey*/, bool /*extended*/, bool& /*processed*/) {}
    virtual void DoFrameChanged();
    virtual void DoAnimationLooped() {}
    virtual void DoResized() {}
    // Runs the step after the event that ends the current entry, unless the event (or an earlier
    // step) freed the control; outside an entry at once.
    void AfterEvent(std::function<void()> step);

    // Stores the fields without repainting (loading).
    void SetBoundsDirect(int32_t left, int32_t top, int32_t width, int32_t height);

private:
    friend class TGraphControls;  // LeavingList

    // The one place that asks the token after an event: `work`, then `event` while the control
    // lives, then (the outermost entry) the deferred steps while it lives.
    void RunEntry(const std::function<void()>& work, const std::function<void()>& event);
    using TMouseHook = void (TCustomGraphControl::*)(int32_t x, int32_t y, TShiftState shift);
    void RunMouseEntry(TMouseHook hook, const TMouseEvent& event, int32_t x, int32_t y, TShiftState shift);
    void UpdateArea();
    void ReadFocusColor(const TValueItems& attributes);
    void AnchorChildren(int32_t dx, int32_t dy);
    // Removal from a list: focus flag, container references, repaint. Never raises.
    void LeavingList() noexcept;

    const TSkinContext& Context_;
    TLifeToken Life_;
    std::string Name_;
    int32_t Left_ = 0;
    int32_t Top_ = 0;
    int32_t Width_ = 0;
    int32_t Height_ = 0;
    int32_t ContainerLeft_ = 0;
    int32_t ContainerTop_ = 0;
    bool Visible_ = true;
    bool Enabled_ = true;
    bool WindowActive_ = true;
    int16_t Cursor_ = CursorId::Default;

    int32_t Frame_ = 0;
    int32_t FirstFrame_ = 0;
    int32_t LastFrame_ = 0;
    int32_t StartFrame_ = 0;
    int32_t RepeatCount_ = 0;
    int32_t Direction_ = 0;
    int32_t CyclesDone_ = 0;
    uint32_t StartTick_ = 0;
    int32_t FrameTime_ = kDefaultFrameTime;
    bool Animated_ = false;
    int32_t Entries_ = 0;
    std::vector<std::function<void()>> Deferred_;
};

// A control whose children are the controls described under the frame element matching its
// current frame ("Frames" holds "Frame1", "Frame2", ...); it never takes the mouse itself.
class TGraphAnimator : public TCustomGraphControl {
public:
    using TCustomGraphControl::TCustomGraphControl;

    void LoadFromXML(const TXMLNode& node) override;
    bool HitTest(int32_t, int32_t) override { return false; }

protected:
    void DoFrameChanged() override;

private:
    const TXMLNode* Frames_ = nullptr;  // borrowed from the document
};

}  // namespace marlowen

#include "skin/GraphControl.inl"
