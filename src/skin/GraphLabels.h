#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/LanguageSubscription.h"
#include "skin/GraphControl.h"
#include "skin/TextDraw.h"
#include "skin/TextImage.h"

namespace marlowen {

class TFontImages;

// Horizontal alignment of captions and auto-sizing ("Left", "Right", "Center").
enum class THorzAlignment : uint8_t { Left = 0, Right = 1, Center = 2 };

// The alignment of an "Alignment" attribute text (any letter case); anything else raises the
// Alignment message.
THorzAlignment HorzAlignmentFromName(const std::string& name);
// The same for "VerticalAlignment" ("Top", "Bottom", "Center").
TVerticalAlignment VertAlignmentFromName(const std::string& name);

// One text run aligned in the control's rectangle, with an optional one-pixel shadow below and
// to the right. Any change of the run repaints the label.
class TTextImageLabel : public TCustomGraphControl {
public:
    static constexpr uint32_t kDefaultShadowColor = 0x7F000000;

    explicit TTextImageLabel(const TSkinContext& context);

    TTextImage& Text() { return Text_; }
    const TTextImage& Text() const { return Text_; }

    THorzAlignment Alignment = THorzAlignment::Left;
    TVerticalAlignment VerticalAlignment = TVerticalAlignment::Top;
    // A transparent label lets the mouse through.
    bool Transparent = false;
    bool Shadow = false;
    uint32_t ShadowColor = kDefaultShadowColor;

    // The text's extents, one pixel larger each way with a shadow.
    int32_t TextWidth() const;
    int32_t TextHeight() const;

    void Paint(const TPaintContext& paint) override;
    bool HitTest(int32_t, int32_t) override { return !Transparent; }

    // Assistive technology. LabelFor names the control whose name this label's text is
    // ("LabelFor").
    std::string LabelFor;
    // An empty label (a place for a later message) is not read.
    int32_t AccessibleRole() const override { return AccessibleCaption().empty() ? 0 : AccRole::StaticText; }
    std::u16string AccessibleCaption() const override { return Text().Text(); }
    // A label's access key gives the focus to the control it names (LabelFor).
    void DoAccessKey() override;
    // The key the caption shows: the label's own, else that of the control whose caption it is.
    char32_t ShownAccessKey() const;

private:
    TTextImage Text_;
};

// A label with a language-tagged caption put into a mask ("%s" stands for the caption), a
// normal and a hot look (font and colour; hot while the pointer is over it), a click event or
// a command opened by the shell, and auto-size. It follows language changes.
class TGraphTextLabel : public TTextImageLabel {
public:
    static constexpr uint32_t kDefaultXMLShadowColor = 0x6F000000;

    // A label made in code: no caption, the font and colour given, auto-size as given.
    TGraphTextLabel(const TSkinContext& context, const TFontImages* font = nullptr, uint32_t textColor = 0,
                    bool autoSize = false);

    void LoadFromXML(const TXMLNode& node) override;

    const std::u16string& Caption() const { return Caption_; }
    void SetCaption(const std::u16string& caption);
    const std::u16string& Mask() const { return Mask_; }
    void SetMask(const std::u16string& mask);
    uint32_t TextColor() const { return TextColor_; }
    void SetTextColor(uint32_t colour);
    void SetHotTextColor(uint32_t colour);
    void SetFont(const TFontImages* font);
    void SetHotFont(const TFontImages* font);
    bool AutoSize() const { return AutoSize_; }
    void SetAutoSize(bool autoSize);
    bool Hot() const { return Hot_; }
    std::string Command;

    // Resolves caption and mask, lays the text out in the current look, auto-sizes and
    // repaints; raises OnTextChanged last.
    void Relayout();

    TNotifyEvent OnTextChanged;
    TNotifyEvent OnClick;

    // Assistive technology: the caption in its mask, as text (glyphs the font lacks included).
    std::u16string AccessibleCaption() const override;

protected:
    void DoLButtonDown(int32_t x, int32_t y, TShiftState shift) override;
    void DoMouseEnter() override;
    void DoMouseLeave() override;

private:
    void LanguageChanged(TLanguages& sender, TLanguageNotify flag);
    void DoAutoSize();

    std::u16string Caption_;
    std::u16string Mask_ = u"%s";
    const TFontImages* Font_ = nullptr;     // borrowed from the packs
    const TFontImages* HotFont_ = nullptr;  // borrowed from the packs
    uint32_t TextColor_ = 0;
    uint32_t HotTextColor_ = 0;
    bool AutoSize_ = false;
    bool Hot_ = false;
    TLanguageSubscription LanguageSubscription_;  // last: it ends before the rest goes
};

}  // namespace marlowen
