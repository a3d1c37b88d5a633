#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/Exception.h"
#include "core/StringIndex.h"

namespace marlowen {

class TFontImages;

// Line alignment of text styles and text runs.
enum class TTextAlignment : uint8_t {
    Left = 0,
    Right = 1,
    Center = 2,
    Justify = 3,          // "Brick": lines of a paragraph stretched to the full width
    JustifyLastLine = 4,  // the last line of a justified paragraph (text runs only)
};

class EStyleNotFound : public Exception {
public:
    explicit EStyleNotFound(std::string_view name) : Exception("Стиль '" + std::string(name) + "' не описан") {}
};

// A named text style: optionally a font, a colour and an alignment. Setting the colour or the
// alignment also marks it as set; a style that does not set something leaves it as it was.
class TStyleItem : public TCustomStringItem {
public:
    explicit TStyleItem(std::string name) : TCustomStringItem(std::move(name)) {}

    const std::string& Name() const { return Key(); }

    const TFontImages* Font() const { return Font_; }
    void SetFont(const TFontImages* font) { Font_ = font; }
    uint32_t Color() const { return Color_; }
    bool HasColor() const { return HasColor_; }
    void SetColor(uint32_t color) {
        Color_ = color;
        HasColor_ = true;
    }
    // The colour of the focus rectangle for controls that name none (read from "default").
    uint32_t FocusColor() const { return FocusColor_; }
    bool HasFocusColor() const { return HasFocusColor_; }
    void SetFocusColor(uint32_t color) {
        FocusColor_ = color;
        HasFocusColor_ = true;
    }
    TTextAlignment Alignment() const { return Alignment_; }
    bool HasAlignment() const { return HasAlignment_; }
    void SetAlignment(TTextAlignment alignment) {
        Alignment_ = alignment;
        HasAlignment_ = true;
    }

    // Copies every field (the name stays).
    void AssignStyle(const TStyleItem& source) {
        Font_ = source.Font_;
        Color_ = source.Color_;
        HasColor_ = source.HasColor_;
        FocusColor_ = source.FocusColor_;
        HasFocusColor_ = source.HasFocusColor_;
        Alignment_ = source.Alignment_;
        HasAlignment_ = source.HasAlignment_;
    }

private:
    const TFontImages* Font_ = nullptr;  // borrowed from the packs
    uint32_t Color_ = 0;
    bool HasColor_ = false;
    uint32_t FocusColor_ = 0;
    bool HasFocusColor_ = false;
    TTextAlignment Alignment_ = TTextAlignment::Left;
    bool HasAlignment_ = false;
};

// Styles by exact name (letter case counts).
class TStyleList : public TStringIndex<TStyleItem> {
public:
    TStyleList() : TStringIndex<TStyleItem>(19) {}

    TStyleItem& Get(std::string_view name) const {
        TStyleItem* style = Find(name);
        if (style == nullptr) throw EStyleNotFound(name);
        return *style;
    }
    // The base of all rich text.
    TStyleItem& Default() const { return Get("default"); }
};

}  // namespace marlowen
