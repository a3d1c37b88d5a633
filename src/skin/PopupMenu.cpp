#include "skin/PopupMenu.h"

#include <algorithm>

#include "core/ValueItems.h"
#include "platform/Platform.h"
#include "skin/GraphMenus.h"
#include "skin/PaintContext.h"
#include "skin/XMLNode.h"

namespace marlowen {

// --- TPopupMenuContainer ---

TPopupMenuContainer::TPopupMenuContainer(const TSkinContext& context, TMenuItems& items)
    : TCustomGraphContainer(context,
                            [&context](TWindowHostEvents& events) -> std::unique_ptr<TWindowHost> {
                                std::unique_ptr<TPopupWindow> window =
                                    context.Platform.Windows.CreatePopup(events, 0, 0);
                                // The window is its own host: the container owns it as such.
                                TWindowHost& host = window->Host();
                                window.release();
                                return std::unique_ptr<TWindowHost>(&host);
                            }),
      Window_(dynamic_cast<TPopupWindow*>(&Host())),
      Items_(items) {}

TPopupMenuContainer::~TPopupMenuContainer() = default;

void TPopupMenuContainer::LoadTemplate(const TXMLNode& root) {
    const TValueItems& a = root.Attributes();
    MinWidth = a.GetIntegerDef("MinWidth", 0);
    LeftIndent = a.GetIntegerDef("LeftIndent", 0);
    TopIndent = a.GetIntegerDef("TopIndent", 0);
    RightIndent = a.GetIntegerDef("RightIndent", 0);
    BottomIndent = a.GetIntegerDef("BottomIndent", 0);
    auto background = std::make_unique<TCustomGraphControl>(Context());
    background->SetBounds(0, 0, a.GetIntegerDef("Width", 0), a.GetIntegerDef("Height", 0));
    background->CreateChildren(root);
    Background_ = std::move(background);
}

void TPopupMenuContainer::Layout() {
    int64_t inner = int64_t{MinWidth} - LeftIndent - RightIndent;
    int64_t y = TopIndent;
    for (TCustomMenuItem* item : Items_.MenuItems()) {
        if (!item->Visible) continue;
        item->X = LeftIndent;
        item->Y = SaturateInt32(y);
        inner = std::max<int64_t>(inner, item->MinWidth);
        y += item->Height;
    }
    for (TCustomMenuItem* item : Items_.MenuItems()) item->Width = SaturateInt32(inner);
    const int32_t width = std::max(SaturateInt32(inner + LeftIndent + RightIndent), 0);
    const int32_t height = std::max(SaturateInt32(y + BottomIndent), 0);
    SetSize(width, height);
}

void TPopupMenuContainer::PaintBackground(TBitmap32& bitmap, int32_t /*dx*/, int32_t /*dy*/, int32_t width,
                                          int32_t height) {
    // Where nothing is painted the popup is not there at all.
    bitmap.FillRect({0, 0, width - 1, height - 1}, 0);
}

void TPopupMenuContainer::PaintControls(TBitmap32& bitmap, int32_t dx, int32_t dy, int32_t width, int32_t height) {
    PaintBackground(bitmap, dx, dy, width, height);
    const TPaintContext paint(bitmap, Scale(), dx, dy, 0, 0, TRect{0, 0, width, height});
    if (Background_ != nullptr) {
        Background_->SetBounds(0, 0, Width(), Height());
        Background_->Paint(paint);
        Background_->PaintChildren(paint);
        Background_->PaintOverlay(paint);
    }
    for (TCustomMenuItem* item : Items_.MenuItems()) {
        if (!item->Visible) continue;
        const TRect r{item->X, item->Y, SaturateInt32(int64_t{item->X} + item->Width),
                      SaturateInt32(int64_t{item->Y} + item->Height)};
        if (paint.Intersects(r)) item->Paint(paint.Offset(item->X, item->Y));
    }
}

void TPopupMenuContainer::PaintPicture(TBitmap32& picture) {
    picture.SetSize(DeviceWidth(), DeviceHeight());
    PaintControls(picture, 0, 0, DeviceWidth(), DeviceHeight());
}

// --- TFormPopupMenu ---

TFormPopupMenu::TFormPopupMenu(const TSkinContext& context, TMenuItems& items)
    : Container_(std::make_unique<TPopupMenuContainer>(context, items)) {}

TFormPopupMenu::~TFormPopupMenu() = default;

TPoint TFormPopupMenu::Placed(int32_t x, int32_t y, int32_t width, int32_t height, const TScreenRect& workArea) {
    int64_t left = x;
    int64_t top = y;
    if (top + height > workArea.Bottom) top = int64_t{workArea.Bottom} - height;
    if (left + width > workArea.Right) left = int64_t{workArea.Right} - width;
    left = std::max<int64_t>(left, workArea.Left);
    top = std::max<int64_t>(top, workArea.Top);
    return {SaturateInt32(left), SaturateInt32(top)};
}

void TFormPopupMenu::ShowAt(int32_t screenX, int32_t screenY) {
    TPopupMenuContainer& container = *Container_;
    TPopupWindow& window = container.Window();
    TPoint at{screenX, screenY};
    if (AlignToScreen) at = Placed(screenX, screenY, container.DeviceWidth(), container.DeviceHeight(), window.WorkArea());
    window.ShowAt(at.X, at.Y);
    TBitmap32 picture;
    container.PaintPicture(picture);
    std::vector<TScreenRect> shape;
    for (const TRect& r : picture.RegionFromAlpha()) shape.push_back({r.Left, r.Top, r.Right, r.Bottom});
    // No rectangle at all would show the whole window: a popup that paints nothing shows nothing.
    if (shape.empty()) shape.push_back({0, 0, 0, 0});
    window.SetShape(shape);
    container.InvalidateRect(0, 0, container.Width(), container.Height());
}

void TFormPopupMenu::Hide() { Container_->Window().Hide(); }

}  // namespace marlowen
