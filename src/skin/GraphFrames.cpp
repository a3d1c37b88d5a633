#include "skin/GraphFrames.h"

#include <algorithm>
#include <vector>

#include "core/Exception.h"
#include "core/StringHash.h"
#include "core/ValueItems.h"
#include "skin/Bitmap32.h"
#include "skin/GraphControlsRegistration.h"
#include "skin/GraphElementRegistry.h"
#include "skin/GraphWindows.h"
#include "skin/PaintContext.h"
#include "skin/Resources.h"
#include "skin/XMLNode.h"

namespace marlowen {

namespace {

const TBitmap32& EmptyImage() {
    static const TBitmap32 empty;
    return empty;
}

}  // namespace

// --- enumerations ---

TBrushType BrushTypeFromName(const std::string& name) {
    if (TextEquals(name, "None")) return TBrushType::None;
    if (TextEquals(name, "Solid")) return TBrushType::Solid;
    if (TextEquals(name, "Gradient")) return TBrushType::Gradient;
    if (TextEquals(name, "Tile")) return TBrushType::Tile;
    if (TextEquals(name, "Scale")) return TBrushType::Scale;
    throw Exception("Неизвестный тип заливки BrushType=\"" + name + "\".");
}

TBorderType BorderTypeFromName(const std::string& name) {
    if (TextEquals(name, "None")) return TBorderType::None;
    if (TextEquals(name, "Rect")) return TBorderType::Rect;
    if (TextEquals(name, "DoubleRect")) return TBorderType::DoubleRect;
    if (TextEquals(name, "Tile")) return TBorderType::Tile;
    throw Exception("Неизвестный тип рамки BorderType=\"" + name + "\".");
}

// --- TGraphFrame: building ---

TGraphFrame::TGraphFrame(const TSkinContext& context) : TCustomGraphControl(context) {}

TGraphFrame::TGraphFrame(const TSkinContext& context, int32_t left, int32_t top, int32_t width, int32_t height,
                         const std::string& style)
    : TCustomGraphControl(context) {
    SetBoundsDirect(left, top, width, height);
    LoadStyle(style);
}

TGraphFrame::~TGraphFrame() = default;

void TGraphFrame::LoadFromXML(const TXMLNode& node) {
    const TValueItems& a = node.Attributes();
    const int32_t width = a.GetInteger("Width");
    const int32_t height = a.GetInteger("Height");
    const std::string style = a.GetText("Style");
    TCustomGraphControl::LoadFromXML(node);
    SetBoundsDirect(a.GetIntegerDef("Left", 0), a.GetIntegerDef("Top", 0), width, height);
    LoadStyle(style);
    Transparent = a.GetBooleanDef("Transparent", false);
    BrushColor_ = a.GetColorDef("BrushColor", BrushColor_);
    // A colour for all four sides first, then single sides over it.
    const auto sides = [&a](TSideColors& colours, const char* all, const char* left, const char* top,
                            const char* right, const char* bottom) {
        if (a.Find(all) != nullptr) colours.Left = colours.Top = colours.Right = colours.Bottom = a.GetColor(all);
        colours.Left = a.GetColorDef(left, colours.Left);
        colours.Top = a.GetColorDef(top, colours.Top);
        colours.Right = a.GetColorDef(right, colours.Right);
        colours.Bottom = a.GetColorDef(bottom, colours.Bottom);
    };
    sides(Outer_, "OuterColor", "LeftOuterColor", "TopOuterColor", "RightOuterColor", "BottomOuterColor");
    sides(Inner_, "InnerColor", "LeftInnerColor", "TopInnerColor", "RightInnerColor", "BottomInnerColor");
    CreateChildren(node);
}

void TGraphFrame::LoadStyle(const std::string& style) {
    const TValueItems& s = Context().Resources.GetXML(style).Attributes();
    LeftIndent_ = s.GetInteger("LeftIndent");
    TopIndent_ = s.GetInteger("TopIndent");
    RightIndent_ = s.GetInteger("RightIndent");
    BottomIndent_ = s.GetInteger("BottomIndent");
    ReadBrush(s);
    ReadBorder(s);
    Invalidate();
}

void TGraphFrame::ReadBrush(const TValueItems& s) {
    BrushType_ = BrushTypeFromName(s.GetText("BrushType"));
    Tile_ = nullptr;
    switch (BrushType_) {
        case TBrushType::Solid: BrushColor_ = s.GetColor("BrushColor"); break;
        case TBrushType::Gradient:
            Gradient_ = {s.GetColor("GradientLeftTopColor"), s.GetColor("GradientRightTopColor"),
                         s.GetColor("GradientLeftBottomColor"), s.GetColor("GradientRightBottomColor")};
            break;
        case TBrushType::Tile:
        case TBrushType::Scale: Tile_ = &Context().Resources.GetImage(s.GetText("Tile")); break;
        case TBrushType::None: break;
    }
}

void TGraphFrame::ReadBorder(const TValueItems& s) {
    BorderType_ = BorderTypeFromName(s.GetText("BorderType"));
    // A side colour defaults to the colour of all sides; without that it is required.
    const auto sides = [&s](TSideColors& colours, const char* all, const char* left, const char* top,
                            const char* right, const char* bottom) {
        const auto side = [&](const char* name) {
            return s.Find(all) != nullptr ? s.GetColorDef(name, s.GetColor(all)) : s.GetColor(name);
        };
        colours = {side(left), side(top), side(right), side(bottom)};
    };
    Images_.fill(nullptr);
    for (auto& owned : Owned_) owned.reset();
    switch (BorderType_) {
        case TBorderType::DoubleRect:
            sides(Inner_, "InnerColor", "LeftInnerColor", "TopInnerColor", "RightInnerColor", "BottomInnerColor");
            [[fallthrough]];
        case TBorderType::Rect:
            sides(Outer_, "OuterColor", "LeftOuterColor", "TopOuterColor", "RightOuterColor", "BottomOuterColor");
            break;
        case TBorderType::Tile: ReadBorderImages(s); break;
        case TBorderType::None: break;
    }
}

void TGraphFrame::ReadBorderImages(const TValueItems& s) {
    static const char* const kNames[kBorderImageCount] = {"Left",  "Top",         "LeftTop", "RightTop",
                                                          "Right", "RightBottom", "Bottom",  "LeftBottom"};
    for (size_t i = 0; i < kBorderImageCount; ++i) {
        if (s.Find(kNames[i]) != nullptr) Images_[i] = &Context().Resources.GetImage(s.GetText(kNames[i]));
    }
    // A missing image is made from the ones it mirrors; the first three become empty.
    const auto make = [this](TBorderImage which, const TBitmap32* source, int32_t mode, int32_t secondMode) {
        const auto i = static_cast<size_t>(which);
        if (Images_[i] != nullptr) return;
        Owned_[i] = std::make_unique<TBitmap32>();
        if (source != nullptr) {
            Owned_[i]->AssignTransformed(*source, mode);
            if (secondMode >= 0) Owned_[i]->Transform(secondMode);
        }
        Images_[i] = Owned_[i].get();
    };
    const auto at = [this](TBorderImage which) { return Images_[static_cast<size_t>(which)]; };
    make(TBorderImage::Left, nullptr, 0, -1);
    make(TBorderImage::Top, nullptr, 0, -1);
    make(TBorderImage::LeftTop, nullptr, 0, -1);
    make(TBorderImage::RightTop, at(TBorderImage::LeftTop), 1, -1);
    make(TBorderImage::Right, at(TBorderImage::Left), 1, -1);
    make(TBorderImage::RightBottom, at(TBorderImage::LeftTop), 1, 2);
    make(TBorderImage::Bottom, at(TBorderImage::Top), 2, -1);
    make(TBorderImage::LeftBottom, at(TBorderImage::LeftTop), 2, -1);
}

// --- TGraphFrame: properties ---

void TGraphFrame::SetBrushColor(uint32_t colour) {
    if (colour == BrushColor_) return;
    BrushColor_ = colour;
    Invalidate();
}

void TGraphFrame::SetOuterColors(const TSideColors& colours) {
    Outer_ = colours;
    Invalidate();
}

void TGraphFrame::SetInnerColors(const TSideColors& colours) {
    Inner_ = colours;
    Invalidate();
}

const TBitmap32& TGraphFrame::BorderImage(TBorderImage which) const {
    const TBitmap32* image = Images_[static_cast<size_t>(which)];
    return image != nullptr ? *image : EmptyImage();
}

// --- TGraphFrame: painting ---

void TGraphFrame::Paint(const TPaintContext& paint) {
    PaintFrame(paint);
    TCustomGraphControl::Paint(paint);
}

void TGraphFrame::PaintFrame(const TPaintContext& paint) const {
    PaintBrush(paint);
    PaintBorder(paint);
}

void TGraphFrame::PaintBrush(const TPaintContext& paint) const {
    const TRect area{LeftIndent_, TopIndent_, SaturateInt32(int64_t{Width()} - RightIndent_),
                     SaturateInt32(int64_t{Height()} - BottomIndent_)};
    switch (BrushType_) {
        case TBrushType::Solid: paint.BlendRect(area, BrushColor_); break;
        case TBrushType::Gradient: paint.GradientRect(area, Gradient_[0], Gradient_[1], Gradient_[2], Gradient_[3]); break;
        case TBrushType::Tile: paint.TileDraw(*Tile_, area); break;
        case TBrushType::Scale: paint.StretchDraw(*Tile_, area); break;
        case TBrushType::None: break;
    }
}

void TGraphFrame::PaintBorder(const TPaintContext& paint) const {
    const int32_t w = Width();
    const int32_t h = Height();
    if (w <= 0 || h <= 0) return;
    switch (BorderType_) {
        case TBorderType::Rect:
            paint.FillRect({0, 0, 1, h}, Outer_.Left);
            paint.FillRect({0, 0, w, 1}, Outer_.Top);
            paint.FillRect({0, h - 1, w, h}, Outer_.Bottom);
            paint.FillRect({w - 1, 0, w, h}, Outer_.Right);
            break;
        case TBorderType::DoubleRect:
            paint.FillRect({0, 0, 1, h}, Outer_.Left);
            paint.FillRect({0, 0, w, 1}, Outer_.Top);
            paint.FillRect({0, h - 1, w, h}, Outer_.Bottom);
            paint.FillRect({w - 1, 0, w, h}, Outer_.Right);
            paint.FillRect({1, 1, 2, h - 1}, Inner_.Left);
            paint.FillRect({1, 1, w - 1, 2}, Inner_.Top);
            paint.FillRect({1, h - 2, w - 1, h - 1}, Inner_.Bottom);
            paint.FillRect({w - 2, 1, w - 1, h - 1}, Inner_.Right);
            break;
        case TBorderType::Tile: PaintTileBorder(paint); break;
        case TBorderType::None: break;
    }
}

void TGraphFrame::PaintTileBorder(const TPaintContext& paint) const {
    const int32_t w = Width();
    const int32_t h = Height();
    const TBitmap32& left = BorderImage(TBorderImage::Left);
    const TBitmap32& top = BorderImage(TBorderImage::Top);
    const TBitmap32& leftTop = BorderImage(TBorderImage::LeftTop);
    const TBitmap32& rightTop = BorderImage(TBorderImage::RightTop);
    const TBitmap32& right = BorderImage(TBorderImage::Right);
    const TBitmap32& rightBottom = BorderImage(TBorderImage::RightBottom);
    const TBitmap32& bottom = BorderImage(TBorderImage::Bottom);
    const TBitmap32& leftBottom = BorderImage(TBorderImage::LeftBottom);
    // Corners at their natural size, then each edge tiled between its two corners.
    paint.Draw(leftTop, 0, 0);
    paint.Draw(rightTop, w - rightTop.Width(), 0);
    paint.Draw(rightBottom, w - rightBottom.Width(), h - rightBottom.Height());
    paint.Draw(leftBottom, 0, h - leftBottom.Height());
    paint.TileDraw(top, {leftTop.Width(), 0, w - rightTop.Width(), top.Height()});
    paint.TileDraw(right, {w - right.Width(), rightTop.Height(), w, h - rightBottom.Height()});
    paint.TileDraw(bottom, {leftBottom.Width(), h - bottom.Height(), w - rightBottom.Width(), h});
    paint.TileDraw(left, {0, leftTop.Height(), left.Width(), h - leftBottom.Height()});
}

// --- ExternalFrame ---

std::unique_ptr<TCustomGraphControl> TGraphExternalFrame::CreateElement(TCustomGraphControl* /*parent*/,
                                                                        const TSkinContext& context,
                                                                        const TXMLNode& node) {
    const std::string path = node.Attributes().GetText("XML");
    const TXMLNode& root = context.Resources.GetXML(path);
    const TDocumentInclusion inclusion(context, path, root);
    auto frame = std::make_unique<TGraphExternalFrame>(context);
    frame->LoadFromXML(root);
    return frame;
}

// --- Include ---

std::unique_ptr<TCustomGraphControl> TIncludeControl::CreateElement(TCustomGraphControl* parent,
                                                                    const TSkinContext& context,
                                                                    const TXMLNode& node) {
    const std::string path = node.Attributes().GetText("XML");
    const TXMLNode& root = context.Resources.GetXML(path);
    const TGraphControlClassItem* entry = context.Elements.Lookup(root.Name());
    if (entry == nullptr) throw Exception("Неизвестный класс графического элемента " + root.Name() + ".");
    const TDocumentInclusion inclusion(context, path, root);
    std::unique_ptr<TCustomGraphControl> control = entry->Factory(parent, context, root);
    control->ApplyXML(node);
    return control;
}

// --- registration ---

void RegisterFrameElements(TGraphElementRegistry& registry) {
    registry.Register("Frame", &CreateElementOf<TGraphFrame>);
    registry.Register("ExternalFrame", &TGraphExternalFrame::CreateElement);
    registry.Register("Include", &TIncludeControl::CreateElement);
    registry.Register("WinCaptionArea", &CreateElementOf<TWinCaptionArea>);
}

}  // namespace marlowen
