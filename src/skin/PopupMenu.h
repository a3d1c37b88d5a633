#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/PopupWindow.h"
#include "skin/Bitmap32.h"
#include "skin/GraphContainer.h"

namespace marlowen {

class TMenuItems;
class TXMLNode;

// The contents of one open menu popup: a background control from the popup template, sized to
// the whole popup, and over it the visible items of one item list stacked top to bottom. The
// container lives in a pop-up window of its own; its tree stays empty, since the items are
// painted and hit by the menu, not by the container.
class TPopupMenuContainer : public TCustomGraphContainer {
public:
    // A hidden pop-up window of no size, showing `items` (which outlive the container).
    TPopupMenuContainer(const TSkinContext& context, TMenuItems& items);
    ~TPopupMenuContainer() override;

    TPopupWindow& Window() const { return *Window_; }
    TMenuItems& Items() const { return Items_; }
    TCustomGraphControl* Background() const { return Background_.get(); }

    // "MinWidth", the four indents, and the background control: "Width", "Height" and the
    // root's children.
    void LoadTemplate(const TXMLNode& root);

    int32_t MinWidth = 0;
    int32_t LeftIndent = 0;
    int32_t TopIndent = 0;
    int32_t RightIndent = 0;
    int32_t BottomIndent = 0;

    // Stacks the visible items inside the indents, all as wide as the widest (at least the
    // minimum width less the indents), and sizes the container around them.
    void Layout();

    // The background and the visible items over a transparent ground.
    void PaintControls(TBitmap32& bitmap, int32_t dx, int32_t dy, int32_t width, int32_t height) override;
    void PaintBackground(TBitmap32& bitmap, int32_t dx, int32_t dy, int32_t width, int32_t height) override;
    // The whole popup painted into `picture`: its alpha says where the popup shows.
    void PaintPicture(TBitmap32& picture);

private:
    TPopupWindow* Window_ = nullptr;  // the container's window
    TMenuItems& Items_;
    std::unique_ptr<TCustomGraphControl> Background_;
};

// A menu popup: the window with its container, placed on the screen.
class TFormPopupMenu {
public:
    TFormPopupMenu(const TSkinContext& context, TMenuItems& items);
    ~TFormPopupMenu();
    TFormPopupMenu(const TFormPopupMenu&) = delete;
    TFormPopupMenu& operator=(const TFormPopupMenu&) = delete;

    TPopupMenuContainer& Container() const { return *Container_; }
    TPopupWindow& Window() const { return Container_->Window(); }

    // Keep the popup inside the work area of the screen.
    bool AlignToScreen = true;

    // Sizes the window to the container, moves it into the work area when AlignToScreen asks
    // for it, shows it on top without activation, shapes it to the opaque pixels of its picture
    // and repaints it.
    void ShowAt(int32_t screenX, int32_t screenY);
    void Hide();
    // Where the popup goes for a wanted top-left: inside the work area (the top-left corner
    // winning when the popup is larger than the area).
    static TPoint Placed(int32_t x, int32_t y, int32_t width, int32_t height, const TScreenRect& workArea);

private:
    std::unique_ptr<TPopupMenuContainer> Container_;
};

}  // namespace marlowen
