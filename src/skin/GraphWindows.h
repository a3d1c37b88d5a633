#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "skin/GraphFrames.h"

namespace marlowen {

class TCustomGraphButton;
class TFormHost;

// A layer of a skinned window (its active or passive background or foreground): a frame
// document whose named parts the window drives. Found at loading by name in tree order (any
// letter case), not owned: "FrameCaption", "LabelCaption" (a label or a multi-line text),
// "ButtonMinimize" and "ButtonClose" (buttons, whose clicks become the layer's minimize and close
// steps). The layer itself never takes the mouse.
class TGraphWindowFrame : public TGraphFrame {
public:
    using TGraphFrame::TGraphFrame;

    // The "Frame" element, then the named parts.
    void LoadFromXML(const TXMLNode& node) override;
    bool HitTest(int32_t, int32_t) override { return false; }

    TCustomGraphControl* FrameCaption() const { return FrameCaption_.Get(); }
    TCustomGraphControl* LabelCaption() const { return LabelCaption_.Get(); }
    TCustomGraphButton* ButtonMinimize() const;
    TCustomGraphButton* ButtonClose() const;

    // The caption label takes the text: a label as its caption, a multi-line text as its
    // "Caption" value, laid out again.
    void SetCaptionText(const std::u16string& text);

    // The steps the buttons call: they run the window's callbacks.
    void Minimize();
    void Close();
    std::function<void()> OnMinimize;
    std::function<void()> OnClose;

private:
    TWeakRef<TCustomGraphControl> FrameCaption_;
    TWeakRef<TCustomGraphControl> LabelCaption_;
    TWeakRef<TCustomGraphControl> ButtonMinimize_;
    TWeakRef<TCustomGraphControl> ButtonClose_;
};

// The root control of a window document: its layers (active and passive background, required;
// active and passive foreground, optional) under and over the controls of the document, the
// caption, and the active or passive look.
class TGraphWindow : public TCustomGraphControl {
public:
    explicit TGraphWindow(const TSkinContext& context);

    // Only "Left", "Top" (0), "Width", "Height" (required), "CanMinimize" (true), the four layer
    // documents and "Caption" are read; then the layers and the children are built, the look
    // follows Active and the caption is set.
    void LoadFromXML(const TXMLNode& node) override;

    bool Active() const { return Active_; }
    // Stores the flag, shows the matching layers, then gives every control of the tree, in tree
    // order, SetWindowActive(flag) and the condition "ActiveWindow" = flag.
    void SetActive(bool active);
    bool CanMinimize() const { return CanMinimize_; }

    const std::u16string& Caption() const { return Caption_; }
    // When the text differs: the caption label of each layer takes it.
    void SetWindowCaption(const std::u16string& text);

    TGraphWindowFrame* ActiveBackground() const { return Layer(ActiveBackground_); }
    TGraphWindowFrame* PassiveBackground() const { return Layer(PassiveBackground_); }
    TGraphWindowFrame* ActiveForeground() const { return Layer(ActiveForeground_); }
    TGraphWindowFrame* PassiveForeground() const { return Layer(PassiveForeground_); }

    // The window shape: one-row rectangles (exclusive) covering the pixels of the container's
    // size (the window's without a container) to which the active background alone gives a
    // non-zero alpha; empty when there are none. In device pixels: the background is painted at
    // the container's scale, so a picture drawn for the scale gives the shape its own edge.
    std::vector<TRect> ShapeRectangles() const;
    // Gives the shape to the top-level form that holds the container, when there is one.
    void ApplyShape();

    // Set by the form; the window frames' minimize and close buttons call them.
    std::function<void()> OnMinimize;
    std::function<void()> OnClose;

private:
    static TGraphWindowFrame* Layer(const TWeakRef<TCustomGraphControl>& layer) { return static_cast<TGraphWindowFrame*>(layer.Get()); }
    TWeakRef<TCustomGraphControl> AddLayer(const std::string& document);
    // Sizes the layers to the window and shows those of the current look.
    void UpdateLook();

    std::u16string Caption_;
    bool Active_ = true;
    bool CanMinimize_ = true;
    // Children of this window, owned by the child list; none when absent or freed.
    TWeakRef<TCustomGraphControl> ActiveBackground_;
    TWeakRef<TCustomGraphControl> PassiveBackground_;
    TWeakRef<TCustomGraphControl> ActiveForeground_;
    TWeakRef<TCustomGraphControl> PassiveForeground_;
};

// The area by which a window is dragged: pressing it captures the mouse, and moving the mouse
// moves the top-level form that holds its container, snapping the form's edges to the work area
// and to the other visible windows within SnapBuffer pixels.
class TWinCaptionArea : public TCustomGraphControl {
public:
    static constexpr int32_t kDefaultSnapBuffer = 10;

    using TCustomGraphControl::TCustomGraphControl;

    // The shared attributes, "ScreenSnap" (true) and "SnapBuffer" (10).
    void LoadFromXML(const TXMLNode& node) override;

    bool ScreenSnap = true;
    int32_t SnapBuffer = kDefaultSnapBuffer;
    bool Dragging() const { return Dragging_; }

    // Where the form, dropped with its top-left at (x, y), comes to lie after snapping.
    TPoint SnapPosition(const TFormHost& form, int32_t x, int32_t y) const;

    void CaptureLost() override { Dragging_ = false; }

    // After each move of the form.
    TNotifyEvent OnMoved;

protected:
    void DoLButtonDown(int32_t x, int32_t y, TShiftState shift) override;
    void DoLButtonUp(int32_t x, int32_t y, TShiftState shift) override;
    void DoMouseMove(int32_t x, int32_t y, TShiftState shift) override;

private:
    TFormHost* Form() const;

    bool Dragging_ = false;
    int32_t GrabX_ = 0;
    int32_t GrabY_ = 0;
};

}  // namespace marlowen
