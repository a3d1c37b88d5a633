#pragma once

#include <cstdint>
#include <string>

namespace marlowen {

class THintPopup;
class TXMLNode;

// The program's hint popup as the skin sees it: its look (colours and indents, from a hint style)
// and the text it shows. The program keeps one for all its forms; the popup window itself is made
// when a hint shows and released when it hides.
class THintWindowControl {
public:
    // System-colour references: the tooltip background, the active border, the window text.
    static constexpr uint32_t kDefaultBackColor = 0xFF000018;
    static constexpr uint32_t kDefaultBorderColor = 0xFF00000A;
    static constexpr uint32_t kDefaultTextColor = 0xFF000008;
    static constexpr int32_t kDefaultIndent = 1;

    explicit THintWindowControl(THintPopup& popup) : Popup_(popup) {}

    // GUI colours (0x00BBGGRR or system-colour references).
    uint32_t BackColor = kDefaultBackColor;
    uint32_t BorderColor = kDefaultBorderColor;
    uint32_t TextColor = kDefaultTextColor;
    int32_t HorzIndent = kDefaultIndent;
    int32_t VertIndent = kDefaultIndent;

    // The text shown last, resolved to the current language.
    const std::u16string& Text() const { return Text_; }
    bool Showing() const;

    // Shows the language-tagged text with the top-left of its text rectangle at the screen point:
    // word-wrapped in the popup's font no further right than the work area's right edge, the
    // popup that rectangle grown by the indent and one unit of border on each side. Indents and
    // border are skin units at the scale of the display there (TDisplayScale::FromDpi of the
    // popup's DpiAt), and the font is the hint font for that display.
    void ShowHintText(const std::u16string& text, int32_t x, int32_t y);
    // Releases the popup window.
    void Hide();
    // "BackColor", "BorderColor", "TextColor", "HorzIndent" and "VertIndent" of the style node
    // (all required).
    void ApplyHintStyle(const TXMLNode& style);

private:
    THintPopup& Popup_;
    std::u16string Text_;
};

}  // namespace marlowen
