#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "skin/GraphControl.h"

namespace marlowen {

class TBitmap32;

// How a frame fills the area inside its indents.
enum class TBrushType : uint8_t { None, Solid, Gradient, Tile, Scale };
// How a frame draws its edges.
enum class TBorderType : uint8_t { None, Rect, DoubleRect, Tile };

// The "BrushType" and "BorderType" texts (any letter case); anything else raises the frame's
// brush or border message.
TBrushType BrushTypeFromName(const std::string& name);
TBorderType BorderTypeFromName(const std::string& name);

// One colour per side of a border.
struct TSideColors {
    uint32_t Left = 0;
    uint32_t Top = 0;
    uint32_t Right = 0;
    uint32_t Bottom = 0;
};

// The images of a tile border, in the order of their attributes.
enum class TBorderImage : uint8_t { Left, Top, LeftTop, RightTop, Right, RightBottom, Bottom, LeftBottom };

// The panel of the framework: a fill ("brush") inside indents and a border, both described by a
// frame style document, under child controls. A transparent frame takes no mouse hits; its
// children still do.
class TGraphFrame : public TCustomGraphControl {
public:
    static constexpr size_t kBorderImageCount = 8;

    // A frame to be loaded from an element.
    explicit TGraphFrame(const TSkinContext& context);
    // A frame made in code (edits, window layers): its bounds and its style; no parent.
    TGraphFrame(const TSkinContext& context, int32_t left, int32_t top, int32_t width, int32_t height,
                const std::string& style);
    ~TGraphFrame() override;

    // A "Frame" element: "Width", "Height" and "Style" (required), the shared attributes,
    // "Transparent", the colour overrides of the style ("BrushColor", "OuterColor" and the four
    // sides, "InnerColor" and the four sides), then the children.
    void LoadFromXML(const TXMLNode& node) override;
    // Takes brush, border and indents from the style document of that name (EXMLNotFound when
    // missing); images it makes for missing border images are its own.
    void LoadStyle(const std::string& style);

    bool Transparent = false;

    int32_t LeftIndent() const { return LeftIndent_; }
    int32_t TopIndent() const { return TopIndent_; }
    int32_t RightIndent() const { return RightIndent_; }
    int32_t BottomIndent() const { return BottomIndent_; }
    TBrushType BrushType() const { return BrushType_; }
    uint32_t BrushColor() const { return BrushColor_; }
    void SetBrushColor(uint32_t colour);
    TBorderType BorderType() const { return BorderType_; }
    const TSideColors& OuterColors() const { return Outer_; }
    void SetOuterColors(const TSideColors& colours);
    const TSideColors& InnerColors() const { return Inner_; }
    void SetInnerColors(const TSideColors& colours);
    // The tile of a Tile or Scale brush (borrowed from the packs); none for other brushes.
    const TBitmap32* TileImage() const { return Tile_; }
    // An image of a Tile border; an empty image for other borders.
    const TBitmap32& BorderImage(TBorderImage which) const;

    // Brush, then border; the children paint over both.
    void Paint(const TPaintContext& paint) override;
    // Brush and border only, without the paint event.
    void PaintFrame(const TPaintContext& paint) const;
    bool HitTest(int32_t, int32_t) override { return !Transparent; }

private:
    void ReadBrush(const TValueItems& style);
    void ReadBorder(const TValueItems& style);
    void ReadBorderImages(const TValueItems& style);
    void PaintBrush(const TPaintContext& paint) const;
    void PaintBorder(const TPaintContext& paint) const;
    void PaintTileBorder(const TPaintContext& paint) const;

    int32_t LeftIndent_ = 0;
    int32_t TopIndent_ = 0;
    int32_t RightIndent_ = 0;
    int32_t BottomIndent_ = 0;
    TBrushType BrushType_ = TBrushType::None;
    uint32_t BrushColor_ = 0;
    // Left-top, right-top, left-bottom, right-bottom.
    std::array<uint32_t, 4> Gradient_{};
    const TBitmap32* Tile_ = nullptr;  // borrowed from the packs
    TBorderType BorderType_ = TBorderType::None;
    TSideColors Outer_;
    TSideColors Inner_;
    std::array<const TBitmap32*, kBorderImageCount> Images_{};  // borrowed, or one of Owned_
    std::array<std::unique_ptr<TBitmap32>, kBorderImageCount> Owned_;
};

// "ExternalFrame": a frame built exactly as a "Frame" from the root element of the document its
// "XML" attribute names (its attributes and its children); the element's other attributes are
// ignored.
class TGraphExternalFrame : public TGraphFrame {
public:
    using TGraphFrame::TGraphFrame;

    static std::unique_ptr<TCustomGraphControl> CreateElement(TCustomGraphControl* parent, const TSkinContext& context,
                                                              const TXMLNode& node);
};

// "Include": builds, in its place, the control that the root element of the document named by
// its "XML" attribute describes (the root's element name chooses the class), then applies its own
// shared attributes to it, so that "Name", "Left", "Top" and the like given at the place of
// inclusion win. No include control remains in the tree.
class TIncludeControl : public TCustomGraphControl {
public:
    // Raises Exception "Неизвестный класс графического элемента <root>." for a root element the
    // registry does not know.
    static std::unique_ptr<TCustomGraphControl> CreateElement(TCustomGraphControl* parent, const TSkinContext& context,
                                                              const TXMLNode& node);

private:
    using TCustomGraphControl::TCustomGraphControl;
};

}  // namespace marlowen
