#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "core/LanguageSubscription.h"
#include "skin/GraphControl.h"
#include "skin/ImageAlignment.h"
#include "skin/GraphLabels.h"
#include "skin/TextImage.h"

namespace marlowen {

class TBitmap32;
class TFontImages;

// What a check box shows of the pointer and the space bar.
enum class TCheckBoxVisualState : uint8_t { Normal, Hot, Pressed };

// Toggling maps Checked to Unchecked and both Unchecked and Grayed to Checked.
enum class TCheckState : uint8_t { Checked, Unchecked, Grayed };

// A check box painted from a folder of up to twelve images: rows normal, pressed, hot and
// disabled by columns checked, unchecked and grayed. The folder P holds P\<row><suffix>.bmp with
// the suffixes "_checked", "" and "_grayed". Normal and pressed images of the checked and
// unchecked columns are required; a missing grayed one is the checked one of its row; a missing
// hot one is the normal one of its column brightened by 146/128, a missing disabled one the
// normal one in grey. Those copies are owned; pack images are borrowed.
//
// A new box is Checked. A click or the space bar toggles it; a press toggles once however the
// mouse and the space bar interleave.
class TGraphCheckBox : public TCustomGraphControl {
public:
    static constexpr int32_t kRows = 4;     // normal, pressed, hot, disabled
    static constexpr int32_t kColumns = 3;  // checked, unchecked, grayed

    // Width or height 0 takes the size of the normal unchecked image. Raises EImageNotFound,
    // naming the image, when a required image is missing.
    TGraphCheckBox(const TSkinContext& context, int32_t left, int32_t top, int32_t width, int32_t height,
                   const std::string& path, TNotifyEvent onClick = nullptr);
    ~TGraphCheckBox() override;

    // "GraphCheckBox": "Left", "Top", "Path" required; "Width", "Height" 0.
    static std::unique_ptr<TCustomGraphControl> CreateElement(TCustomGraphControl* parent,
                                                              const TSkinContext& context, const TXMLNode& node);
    // The shared attributes; a width or height that ends up 0 takes the image's again.
    void LoadFromXML(const TXMLNode& node) override;

    const std::string& Path() const { return Path_; }
    TCheckBoxVisualState VisualState() const { return VisualState_; }
    TCheckState CheckState() const { return CheckState_; }
    // Nothing when equal; a radio kind becoming Checked unchecks the others of its group.
    void SetCheckState(TCheckState state);
    bool Checked() const { return CheckState_ == TCheckState::Checked; }
    void SetChecked(bool checked) { SetCheckState(checked ? TCheckState::Checked : TCheckState::Unchecked); }
    // The toggled check state, the visual state from the point, then OnClick. A radio kind
    // clicks instead (see TGraphRadioButton).
    virtual void Toggle(int32_t x, int32_t y);

    // The normal checked image: the box's extent for captions and auto-size.
    const TBitmap32& BoxImage() const { return *Images_[0][0]; }

    bool HitTestByAlpha = true;
    TImageAlignment HorzImageAlignment = TImageAlignment::Start;
    TImageAlignment VertImageAlignment = TImageAlignment::Start;

    TNotifyEvent OnClick;

    void Paint(const TPaintContext& paint) override;
    bool HitTest(int32_t x, int32_t y) override;
    void CaptureLost() override;

    // Assistive technology.
    int32_t AccessibleRole() const override { return AccRole::CheckButton; }
    void Describe(TAccessibleDescription& description) const override;
    bool HasAccessibleAction() const override { return Enabled(); }
    void DoAccessibleAction() override { Toggle(-1, -1); }

protected:
    void SetVisualState(TCheckBoxVisualState state);
    // The visual state after pointer movement (and after a click): Pressed or Hot while the
    // point hits or the space bar is held, else Normal.
    void UpdateVisualState(int32_t x, int32_t y);
    // The image painted now and its offset in the control.
    const TBitmap32& CurrentImage() const;
    TPoint ImageOffset(const TBitmap32& image) const;
    // Called when the check state became Checked: radio kinds uncheck the others of their group.
    virtual void ExcludeOthers() {}
    // Radio kinds: the next (previous) reachable button of the group among the siblings, going
    // round; none for check boxes or a group of one.
    virtual TGraphCheckBox* GroupNeighbour(bool /*forward*/) { return nullptr; }
    // The click of the radio kinds, in place of Toggle: nothing changes on a checked button, and
    // OnClick is raised unless it was checked and cannot be unchecked.
    void RadioClick(bool canUncheck, int32_t x, int32_t y);

    void DoLButtonDown(int32_t x, int32_t y, TShiftState shift) override;
    void DoLButtonUp(int32_t x, int32_t y, TShiftState shift) override;
    void DoMouseMove(int32_t x, int32_t y, TShiftState shift) override;
    void DoMouseLeave() override;
    void DoKeyDown(uint32_t virtualKey, bool extended, bool repeated, bool& processed) override;
    void DoKeyUp(uint32_t virtualKey, bool extended, bool& processed) override;
    void DoExit() override;

private:
    void LoadImages();

    std::string Path_;
    std::array<std::array<const TBitmap32*, kColumns>, kRows> Images_{};  // borrowed or owned below
    std::array<std::unique_ptr<TBitmap32>, 2 * kColumns> Generated_;       // hot and disabled copies
    TCheckBoxVisualState VisualState_ = TCheckBoxVisualState::Normal;
    TCheckState CheckState_ = TCheckState::Checked;
    bool MousePressed_ = false;  // a press is under way (by the mouse, or by the space bar)
    bool KeyPressed_ = false;    // the press under way came from the space bar
};

// A check box of a group: a click checks it and unchecks the other radio buttons of this class
// with the same group under the same parent; a click never unchecks it. CanUncheck only decides
// whether a click on the checked button still raises OnClick.
class TGraphRadioButton : public TGraphCheckBox {
public:
    using TGraphCheckBox::TGraphCheckBox;

    // "GraphRadioButton": those of "GraphCheckBox" and "Group" 0, "CanUncheck" false, "Checked"
    // false.
    static std::unique_ptr<TCustomGraphControl> CreateElement(TCustomGraphControl* parent,
                                                              const TSkinContext& context, const TXMLNode& node);

    void Toggle(int32_t x, int32_t y) override;

    bool CanUncheck = false;
    int32_t Group = 0;

    // A group is one tab stop: its checked button, or its first when none is checked.
    bool IsTabTarget() const override;

    // Assistive technology.
    int32_t AccessibleRole() const override { return AccRole::RadioButton; }

protected:
    void ExcludeOthers() override;
    TGraphCheckBox* GroupNeighbour(bool forward) override;
};

// A check box with a language-tagged caption to the right of its box image, laid out with one
// font and colour, vertically centred; with auto-size the width follows the caption, keeping the
// left edge, the right edge or the centre as the alignment says. It follows language changes
// and draws a dotted focus rectangle around the caption while focused after keyboard use.
class TGraphTextCheckBox : public TGraphCheckBox {
public:
    TGraphTextCheckBox(const TSkinContext& context, int32_t left, int32_t top, int32_t width, int32_t height,
                       const std::string& path, TNotifyEvent onClick, std::u16string caption,
                       const TFontImages* font, uint32_t textColor, int32_t textIndent,
                       THorzAlignment alignment = THorzAlignment::Left, bool autoSize = true);

    // "Checkbox": "Style", "Left", "Top", "Caption" required; "Width", "Height" 0, "Alignment"
    // "Left", "AutoSize" true, "Tag" 0. "Style" names a document of the resources (EXMLNotFound
    // when missing) whose root holds "CheckboxFolder", "Font", "TextColor", "TextIndent", all
    // required.
    static std::unique_ptr<TCustomGraphControl> CreateElement(TCustomGraphControl* parent,
                                                              const TSkinContext& context, const TXMLNode& node);
    // The shared attributes, then auto-size again.
    void LoadFromXML(const TXMLNode& node) override;

    const std::u16string& Caption() const { return Caption_; }
    void SetCaption(std::u16string caption);
    const TFontImages* Font() const { return Font_; }
    uint32_t TextColor() const { return TextColor_; }
    int32_t TextIndent() const { return TextIndent_; }
    THorzAlignment Alignment() const { return Alignment_; }
    bool AutoSize() const { return AutoSize_; }
    void SetAutoSize(bool autoSize);
    const TTextImage& Text() const { return Text_; }
    int32_t Tag = 0;

    // Lays the resolved caption out again, auto-sizes and repaints.
    void Relayout();

    void Paint(const TPaintContext& paint) override;
    // The dotted outline round the caption is its focus look, in place of the container's ring.
    bool DrawsFocusRectangle() const override { return false; }

    // Assistive technology.
    std::u16string AccessibleCaption() const override;

private:
    void LanguageChanged(TLanguages& sender, TLanguageNotify flag);
    void DoAutoSize();

    std::u16string Caption_;
    const TFontImages* Font_;  // borrowed from the packs
    uint32_t TextColor_;
    int32_t TextIndent_;
    THorzAlignment Alignment_;
    bool AutoSize_;
    TTextImage Text_;
    TLanguageSubscription LanguageSubscription_;  // last: it ends before the rest goes
};

// The captioned radio button: radio behaviour as TGraphRadioButton among the radio buttons of
// this class.
class TGraphTextRadioButton : public TGraphTextCheckBox {
public:
    using TGraphTextCheckBox::TGraphTextCheckBox;

    // "RadioButton": those of "Checkbox" and "Checked" false, "Group" 0, "CanUncheck" true.
    static std::unique_ptr<TCustomGraphControl> CreateElement(TCustomGraphControl* parent,
                                                              const TSkinContext& context, const TXMLNode& node);

    void Toggle(int32_t x, int32_t y) override;

    bool CanUncheck = true;
    int32_t Group = 0;

    // A group is one tab stop, as TGraphRadioButton's.
    bool IsTabTarget() const override;

protected:
    void ExcludeOthers() override;
    TGraphCheckBox* GroupNeighbour(bool forward) override;
};

}  // namespace marlowen
