#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "skin/GraphControl.h"
#include "skin/TextImage.h"

namespace marlowen {

class TFontImages;
class TGraphElementRegistry;
class TGraphFrame;

// Single-line text entry drawn by the skin: a caret that blinks on the control's own frame clock,
// a selection with an anchor, horizontal scrolling that keeps the caret in view, the editing
// keys, the mouse, the clipboard, an optional password character and a maximum length.
//
// Positions (caret, selection) are glyph indices into the text image. The caret and the
// selection are drawn only while the window is active; the caret only while the edit has the
// focus, on for two blink frames of 300 ms and off for one.
class TGraphEdit : public TCustomGraphControl {
public:
    static constexpr uint32_t kDefaultTextColor = 0xFF000000;
    static constexpr uint32_t kDefaultWrongTextColor = 0xFF7F0000;
    static constexpr uint32_t kDefaultSelectionColor = 0x4F7F7FFF;
    static constexpr uint32_t kDefaultCaretColor = 0xFF000000;
    static constexpr int32_t kBlinkLastFrame = 100;

    // The caret shows the focus.
    bool DrawsFocusRectangle() const override { return false; }
    static constexpr int32_t kBlinkFrameTime = 300;

    // An edit at the given place that writes with the font (borrowed from the packs; none
    // shows no text). It takes Tab stops, shows the I-beam and starts its blink clock.
    TGraphEdit(const TSkinContext& context, int32_t left, int32_t top, int32_t width, int32_t height,
               const TFontImages* font);
    ~TGraphEdit() override;

    // --- the text ---
    std::u16string GetText() const { return Text_.Text(); }
    // Replaces the text in the current colour; the caret and the selection are kept within the
    // new text. Raises no OnChange.
    void SetText(std::u16string_view text);
    const TTextImage& TextImage() const { return Text_; }
    const TFontImages* Font() const { return Font_; }
    int32_t Length() const { return Text_.Count(); }

    // Marks the content wrong (every character in the wrong colour) or right again.
    bool Wrong() const { return Wrong_; }
    void SetWrong(bool wrong);

    // --- caret and selection ---
    int32_t Caret() const { return Caret_; }
    // Clamped to 0...Length; a move restarts the blink clock, re-scrolls and repaints.
    void SetCaret(int32_t index);
    int32_t SelStart() const { return SelStart_; }
    int32_t SelLength() const { return SelLength_; }
    // Clamped to the text: 0 <= start <= Length, 0 <= length <= Length - start.
    void Select(int32_t start, int32_t length);
    void SelectAll() { Select(0, Length()); }
    void ClearSelection() { Select(0, 0); }
    // Horizontal offset of the text in pixels (0 or negative).
    int32_t Scroll() const { return Scroll_; }
    // Whether the caret is painted now.
    bool CaretShown() const;

    // --- look and behaviour ---
    uint32_t TextColor() const { return TextColor_; }
    void SetTextColor(uint32_t colour);
    uint32_t WrongTextColor() const { return WrongTextColor_; }
    void SetWrongTextColor(uint32_t colour);
    uint32_t SelectionColor = kDefaultSelectionColor;
    uint32_t CaretColor = kDefaultCaretColor;
    // Every character is shown (and measured) as this one; 0 = none. Copy and cut are refused
    // while it is set.
    char16_t PasswordChar() const { return PasswordChar_; }
    void SetPasswordChar(char16_t passwordChar);
    // The text area: horizontal indents and vertical margins in pixels.
    int32_t LeftIndent() const { return LeftIndent_; }
    int32_t RightIndent() const { return RightIndent_; }
    int32_t TopMargin() const { return TopMargin_; }
    int32_t BottomMargin() const { return BottomMargin_; }
    void SetTextMargins(int32_t leftIndent, int32_t topMargin, int32_t rightIndent, int32_t bottomMargin);
    // Characters the user may enter; 0 = unlimited. Text set by code is not cut.
    int32_t MaxLength = 0;
    bool HideSelection = true;
    bool SelectAllOnFocus = true;
    bool CanCopy = true;
    bool CanPaste = true;

    // Raised after every edit of the text by the user.
    TNotifyEvent OnChange;
    // Raises OnChange (a subclass checks the content first).
    virtual void Change();

    // --- hooks ---
    void Paint(const TPaintContext& paint) override;
    void SetWindowActive(bool value) override;

    // Assistive technology.
    int32_t AccessibleRole() const override { return AccRole::Text; }
    void Describe(TAccessibleDescription& description) const override;

protected:
    // Paints what lies behind the text (nothing here; a framed edit paints its frame).
    virtual void PaintBackground(const TPaintContext& /*paint*/) {}

    void DoLButtonDown(int32_t x, int32_t y, TShiftState shift) override;
    void DoLButtonUp(int32_t x, int32_t y, TShiftState shift) override;
    void DoLButtonDblClk(int32_t x, int32_t y, TShiftState shift) override;
    void DoMouseMove(int32_t x, int32_t y, TShiftState shift) override;
    void DoEnter() override;
    void DoExit() override;
    void DoKeyDown(uint32_t virtualKey, bool extended, bool repeated, bool& processed) override;
    void DoCharPressed(uint32_t charCode, int32_t repeatCount, bool& processed) override;
    void DoFrameChanged() override;

private:
    // What painting and measuring use: the text, or the masked copy with a password character.
    const TTextImage& Shown() const { return PasswordChar_ != 0 ? Masked_ : Text_; }
    uint32_t CurrentColour() const { return Wrong_ ? WrongTextColor_ : TextColor_; }
    // After any change of the glyphs: keep the selection inside, remask, re-scroll, repaint.
    void TextChanged();
    void RebuildMask();
    void Rescroll();
    void RestartBlink();
    // Stores the caret (clamped), re-scrolls, restarts the blink clock and repaints.
    void MoveCaret(int32_t index);
    // The selection after the caret moved from `from` to `to` (Shift+keys, mouse dragging).
    void ExtendSelection(int32_t from, int32_t to);
    // The glyph boundary nearest to x (control coordinates); of two equally near, the later.
    int32_t CaretAt(int32_t x) const;
    // Inserts the characters at the index in the current colour; the number of glyphs added.
    int32_t InsertAt(int32_t index, std::u16string_view text);
    void DeleteSelection();
    void CopySelection();
    void Paste();
    bool ShiftHeld() const;

    const TFontImages* Font_;  // borrowed from the packs
    TTextImage Text_;
    TTextImage Masked_;
    int32_t SelStart_ = 0;
    int32_t SelLength_ = 0;
    int32_t Scroll_ = 0;
    int32_t Caret_ = 0;
    uint32_t TextColor_ = kDefaultTextColor;
    uint32_t WrongTextColor_ = kDefaultWrongTextColor;
    char16_t PasswordChar_ = 0;
    int32_t LeftIndent_ = 0;
    int32_t RightIndent_ = 0;
    int32_t TopMargin_ = 0;
    int32_t BottomMargin_ = 0;
    bool Wrong_ = false;
};

// An edit on a skinned frame, with the font, colours and indents of an edit style document:
// "Font", "Frame" (the frame style drawn behind the text), "TextColor", "WrongTextColor" (the
// text colour when absent), "SelectionColor", "CursorColor", and "LeftIndent" and "RightIndent",
// which are added to the frame's own left and right indents. The font's line is centred in the
// height (the odd pixel goes below).
class TGraphFramedEdit : public TGraphEdit {
public:
    // An edit made in code from an edit style document (EXMLNotFound, EFontNotFound, or the
    // missing-property error when the style is incomplete).
    TGraphFramedEdit(const TSkinContext& context, int32_t left, int32_t top, int32_t width, int32_t height,
                     const std::string& style);
    ~TGraphFramedEdit() override;

    // "Edit": "Left", "Top", "Width", "Height" and "Style" are required; then LoadFromXML.
    static std::unique_ptr<TCustomGraphControl> CreateElement(TCustomGraphControl* parent, const TSkinContext& context,
                                                              const TXMLNode& node);
    // The edit's own attributes only ("Name", "PasswordChar" of exactly one character,
    // "MaxLenght", "CanCopy", "CanPaste"); the attributes other controls share do not apply.
    void LoadFromXML(const TXMLNode& node) override;

    const TGraphFrame& Background() const { return *Frame_; }

protected:
    void PaintBackground(const TPaintContext& paint) override;

    void DoResized() override;

private:
    // The text area from the style's indents, the frame's and the font's line height.
    void PlaceText();

    std::unique_ptr<TGraphFrame> Frame_;
    int32_t StyleLeftIndent_ = 0;
    int32_t StyleRightIndent_ = 0;
};

// A framed edit for a non-negative fixed-point number: value = number x factor, the factor a
// power of ten. Typing takes digits only (and "," or "." when the factor allows decimals); every
// change checks the text (see ParseFixedPoint): a readable entry becomes the value, anything else
// marks the content wrong and keeps the last value. Leaving the edit shows a readable entry in
// the edit's own format.
class TGraphFramedEditFixedPoint : public TGraphFramedEdit {
public:
    static constexpr int32_t kDefaultFactor = 100;

    // Factor 100 and the user's regional separators.
    TGraphFramedEditFixedPoint(const TSkinContext& context, int32_t left, int32_t top, int32_t width, int32_t height,
                               const std::string& style);

    static std::unique_ptr<TCustomGraphControl> CreateElement(TCustomGraphControl* parent, const TSkinContext& context,
                                                              const TXMLNode& node);
    // The edit's attributes, then "Factor" (100), "ThousandSeparator" (the first character;
    // empty for no grouping; the regional one when absent) and "DecimalSeparator" (the first
    // character; the regional one when absent or empty).
    void LoadFromXML(const TXMLNode& node) override;

    int32_t Factor() const { return Factor_; }
    // Raises the Factor message unless the factor is 1, 10, 100, ...
    void SetFactor(int32_t factor);
    char16_t ThousandSeparator() const { return ThousandSeparator_; }
    char16_t DecimalSeparator() const { return DecimalSeparator_; }
    // A thousand separator of 0, or equal to the decimal separator, groups nothing (so the
    // edit's own text always reads back).
    void SetSeparators(char16_t thousandSeparator, char16_t decimalSeparator);
    // The number x factor of the last readable entry.
    int64_t Value() const { return Value_; }

    // Checks the text, then raises OnChange.
    void Change() override;

protected:
    void DoCharPressed(uint32_t charCode, int32_t repeatCount, bool& processed) override;
    void DoExit() override;

private:
    int32_t Factor_ = kDefaultFactor;
    char16_t ThousandSeparator_ = 0;
    char16_t DecimalSeparator_ = u'.';
    int64_t Value_ = 0;
};

// Enters "Edit" and "EditFixedPoint".
void RegisterEditElements(TGraphElementRegistry& registry);

}  // namespace marlowen
