#include "skin/GraphImages.h"

#include <algorithm>

#include "core/ValueItems.h"
#include "platform/Platform.h"
#include "platform/Shell.h"
#include "skin/Bitmap32.h"
#include "skin/GraphControlsRegistration.h"
#include "skin/GraphElementRegistry.h"
#include "skin/GraphMultiLine.h"
#include "skin/PaintContext.h"
#include "skin/Resources.h"
#include "skin/XMLNode.h"

namespace marlowen {

// --- TCustomGraphImage ---

TCustomGraphImage::TCustomGraphImage(const TSkinContext& context) : TCustomGraphControl(context) {}

void TCustomGraphImage::LoadFromXML(const TXMLNode& node) {
    TCustomGraphControl::LoadFromXML(node);
    const TValueItems& a = node.Attributes();
    if (a.Find("Image") != nullptr) {
        Image_ = &Context().Resources.GetImage(a.GetText("Image"));
        SetBoundsDirect(Left(), Top(), Image_->Width(), Image_->Height());
    }
    Alpha_ = std::clamp(a.GetIntegerDef("Alpha", kOpaque), 0, kOpaque);
    Transparent = a.GetBooleanDef("Transparent", false);
    Command = a.GetTextDef("Command", "");
    CreateChildren(node);
}

void TCustomGraphImage::SetImage(const TBitmap32* image) {
    Image_ = image;
    if (image != nullptr) {
        SetBounds(Left(), Top(), image->Width(), image->Height());
    } else {
        SetBounds(Left(), Top(), 0, 0);
    }
    Invalidate();
}

void TCustomGraphImage::SetAlpha(int32_t alpha) {
    alpha = std::clamp(alpha, 0, kOpaque);
    if (alpha == Alpha_) return;
    Alpha_ = alpha;
    Invalidate();
}

void TCustomGraphImage::DoLButtonDown(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {
    // The command opens after OnLButtonDown, unless its handler freed the image.
    AfterEvent([this] {
        if (!Command.empty()) Context().Platform.Shell.Execute("open", Command, "", "", ShowCommand::Hide);
    });
}

// --- TAlphaGraphImage ---

void TAlphaGraphImage::Paint(const TPaintContext& paint) {
    if (Image() != nullptr) paint.Draw(*Image(), 0, 0, Alpha());
}

// --- registration ---

void RegisterImageAndTextElements(TGraphElementRegistry& registry) {
    registry.Register("Image", &CreateElementOf<TAlphaGraphImage>);
    registry.Register("Text", &CreateElementOf<TGraphMultiLine>);
}

}  // namespace marlowen
