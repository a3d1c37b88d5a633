#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "skin/GraphControl.h"
#include "skin/ImageAlignment.h"

namespace marlowen {

class TBitmap32;
class TFontImages;
class TGraphTextLabel;

// What a button shows.
enum class TButtonState : uint8_t {
    Normal = 0,
    Hot = 1,      // the pointer is over it
    Pressed = 2,  // held down
    Down = 3,     // latched down
};

// How a button reacts to the mouse.
enum class TButtonStyle : uint8_t {
    Button = 0,       // a plain push button
    FireButton = 1,   // clicks on press and repeats while held
    CheckButton = 2,  // toggles its down flag
    RadioButton = 3,  // latches down and releases the others of its group
};

// The style of a "Style" attribute text (any letter case); anything else raises the button
// Style message.
TButtonStyle ButtonStyleFromName(const std::string& name);

// The button state machine: visual state, style, group, down flag, click event and the
// auto-repeat of a "FireButton" (the frame animation is its clock: one click on press, silence
// through two 300 ms frames, then one click per 70 ms frame while held).
class TCustomGraphButton : public TCustomGraphControl {
public:
    static constexpr int32_t kFirstDelayFrameTime = 300;
    static constexpr int32_t kRepeatFrameTime = 70;

    TCustomGraphButton(const TSkinContext& context, TButtonStyle style = TButtonStyle::Button, int32_t group = 0);

    TButtonState State() const { return State_; }
    // Nothing when unchanged. A Hot or Pressed button becomes the last of its siblings, so that it
    // paints over the ones it overlaps; it keeps the capture, hover and focus on the way.
    virtual void SetState(TButtonState state);
    // Down when down; else Pressed (the point hits and the mouse is pressed), Hot (it hits) or
    // Normal.
    void UpdateState(int32_t x, int32_t y);

    TButtonStyle Style() const { return Style_; }
    void SetStyle(TButtonStyle style) { Style_ = style; }
    int32_t Group() const { return Group_; }
    void SetGroup(int32_t group) { Group_ = group; }
    bool Down() const { return Down_; }
    // Latching a "RadioButton" releases the other "RadioButton"s of its siblings with its group.
    void SetDown(bool down);
    bool MousePressed() const { return MousePressed_; }
    bool Repeating() const { return Repeating_; }

    // Raises OnClick.
    void Click();
    TNotifyEvent OnClick;
    // "Default": Return presses the button wherever the focus is; "Cancel": Escape does.
    bool Default = false;
    bool Cancel = false;
    // A press from the keyboard: what a full mouse click does for the button's style (a check
    // button toggles, a radio button goes down), then OnClick. The click is the last action.
    void KeyClick();

    // The shared attributes and "Default", "Cancel".
    void LoadFromXML(const TXMLNode& node) override;

    // Inside the rectangle and HitTest.
    bool Hits(int32_t x, int32_t y);

    void SetEnabled(bool value) override;
    void CaptureLost() override;
    // Radio buttons of a group are one tab stop: the one down, or the first when none is.
    bool IsTabTarget() const override;

    // Assistive technology.
    int32_t AccessibleRole() const override;
    std::u16string AccessibleCaption() const override;
    void Describe(TAccessibleDescription& description) const override;
    bool HasAccessibleAction() const override { return Enabled(); }
    void DoAccessibleAction() override;

protected:
    // After the state or the enabled flag changed (the caption of a text button follows).
    virtual void LookChanged() {}

    void DoLButtonDown(int32_t x, int32_t y, TShiftState shift) override;
    void DoLButtonUp(int32_t x, int32_t y, TShiftState shift) override;
    void DoMouseMove(int32_t x, int32_t y, TShiftState shift) override;
    void DoMouseLeave() override;
    void DoFrameChanged() override;
    void DoAnimationLooped() override;
    // Return clicks at once; Space shows the pressed look while held and clicks on release.
    void DoKeyDown(uint32_t virtualKey, bool extended, bool repeated, bool& processed) override;
    void DoKeyUp(uint32_t virtualKey, bool extended, bool& processed) override;
    void DoExit() override;

private:
    void StopRepeat();
    // The space bar is held on the button.
    bool KeyPressed_ = false;

    TButtonState State_ = TButtonState::Normal;
    bool MousePressed_ = false;
    bool FirstDelay_ = false;
    bool Repeating_ = false;
    TButtonStyle Style_;
    int32_t Group_;
    bool Down_ = false;
};

// A button painted from the images of a folder P of the packs: P\normal.bmp and P\pressed.bmp
// (required), P\hot.bmp (else a brightened copy of normal) and P\disabled.bmp (else normal at
// half its alpha). Its size is the normal image's.
class TGraphButton : public TCustomGraphButton {
public:
    // Image transforms for buttons made from code (a scroll bar's arrows are one image turned).
    // RotateLeftMirrored: turned, then mirrored left to right (a horizontal bar's second arrow).
    enum TImageTransform : int32_t {
        NoTransform = 0,
        MirrorLeftRight = 1,
        FlipUpsideDown = 2,
        RotateLeft = 3,
        RotateLeftMirrored = 4
    };

    // Raises EImageNotFound (with the full name) for a missing required image.
    TGraphButton(const TSkinContext& context, int32_t left, int32_t top, const std::string& folder,
                 TButtonStyle style = TButtonStyle::Button, int32_t group = 0, int32_t transform = NoTransform,
                 TNotifyEvent onClick = nullptr);
    ~TGraphButton() override;

    // "GraphButton": "Left", "Top", "Path" (required), "Style", "Group", then the shared attributes.
    static std::unique_ptr<TCustomGraphControl> CreateElement(TCustomGraphControl* parent, const TSkinContext& context,
                                                              const TXMLNode& node);

    const std::string& Folder() const { return Folder_; }
    const TBitmap32& NormalImage() const { return *Normal_; }
    const TBitmap32& PressedImage() const { return *Pressed_; }
    const TBitmap32& HotImage() const { return *Hot_; }
    const TBitmap32& DisabledImage() const { return *Disabled_; }

    // True: only pixels of the normal image with non-zero alpha hit.
    bool HitTestByAlpha = true;
    // -1 paints with the images' own alpha; 0..256 scales it.
    int32_t Opacity() const { return Opacity_; }
    void SetOpacity(int32_t opacity);
    TImageAlignment HorzImageAlignment() const { return HorzAlignment_; }
    TImageAlignment VertImageAlignment() const { return VertAlignment_; }
    void SetImageAlignment(TImageAlignment horizontal, TImageAlignment vertical);

    void Paint(const TPaintContext& paint) override;
    // Paints as the button would look in `state` (the disabled image when not enabled).
    void PaintInState(const TPaintContext& paint, TButtonState state) const;
    bool HitTest(int32_t x, int32_t y) override;

private:
    void LoadImages(int32_t transform);

    std::string Folder_;
    const TBitmap32* Normal_ = nullptr;  // borrowed from the packs or one of Owned_
    const TBitmap32* Pressed_ = nullptr;
    const TBitmap32* Hot_ = nullptr;
    const TBitmap32* Disabled_ = nullptr;
    std::unique_ptr<TBitmap32> Owned_[4];  // generated or transformed images
    int32_t Opacity_ = -1;
    TImageAlignment HorzAlignment_ = TImageAlignment::Start;
    TImageAlignment VertAlignment_ = TImageAlignment::Start;
};

// A button whose hot look is a frame animation of P\hot1.bmp, P\hot2.bmp, ... (played once when
// the pointer arrives, the last frame staying), besides P\normal.bmp, P\pressed.bmp and the
// optional P\disabled.bmp (else a grey copy of normal).
class TAnimateButton : public TCustomGraphButton {
public:
    static constexpr int32_t kHotFrameTime = 80;

    // Raises EImageNotFound for a missing normal or pressed image, or for P\hot1.bmp.
    TAnimateButton(const TSkinContext& context, int32_t left, int32_t top, const std::string& folder,
                   TButtonStyle style = TButtonStyle::Button, int32_t group = 0, TNotifyEvent onClick = nullptr);

    // "AnimateButton": the attributes of "GraphButton".
    static std::unique_ptr<TCustomGraphControl> CreateElement(TCustomGraphControl* parent, const TSkinContext& context,
                                                              const TXMLNode& node);

    const std::string& Folder() const { return Folder_; }
    int32_t HotFrameCount() const { return HotFrameCount_; }
    bool HitTestByAlpha = true;

    void SetState(TButtonState state) override;
    void Paint(const TPaintContext& paint) override;
    bool HitTest(int32_t x, int32_t y) override;

protected:
    void DoAnimationLooped() override;

private:
    std::string HotFrameName(int32_t frame) const;

    std::string Folder_;
    const TBitmap32* Normal_ = nullptr;    // borrowed from the packs
    const TBitmap32* Pressed_ = nullptr;   // borrowed from the packs
    const TBitmap32* Disabled_ = nullptr;  // borrowed from the packs; may be none
    int32_t HotFrameCount_ = 0;
};

// The four text colours of a text button.
struct TButtonTextColors {
    uint32_t Normal = 0;
    uint32_t Hot = 0;
    uint32_t Pressed = 0;
    uint32_t Disabled = 0;
};

// An image button with a centred, language-tagged caption (a child label that lets the mouse
// through) whose colour follows the state; pressed, the caption moves by the pressed offsets.
class TGraphTextButton : public TGraphButton {
public:
    TGraphTextButton(const TSkinContext& context, int32_t left, int32_t top, const std::string& folder,
                     TButtonStyle style, int32_t group, int32_t transform, TNotifyEvent onClick,
                     const std::u16string& caption, const TFontImages* font, const TButtonTextColors& colors);
    ~TGraphTextButton() override;

    // "Button": "Style" names a style document of the packs (EXMLNotFound when missing) whose root
    // carries "Font", the four text colours, "ButtonFolder", the button "Style" and the pressed
    // offsets; the element gives "Left", "Top", "Caption" (required) and "Group".
    static std::unique_ptr<TCustomGraphControl> CreateElement(TCustomGraphControl* parent, const TSkinContext& context,
                                                              const TXMLNode& node);

    TGraphTextLabel& Label() const { return *Label_; }
    const TButtonTextColors& TextColors() const { return Colors_; }
    int32_t HorzPressedOffset = 0;
    int32_t VertPressedOffset = 0;

    void LoadFromXML(const TXMLNode& node) override;

    // Assistive technology.
    std::u16string AccessibleCaption() const override;

protected:
    void LookChanged() override;

    void DoResized() override;

private:
    TGraphTextLabel* Label_;  // a child: owned by the child list
    TButtonTextColors Colors_;
};

}  // namespace marlowen
