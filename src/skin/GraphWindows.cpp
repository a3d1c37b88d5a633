#include "skin/GraphWindows.h"

#include <cstdlib>

#include "core/ValueItems.h"
#include "platform/FormHost.h"
#include "skin/Bitmap32.h"
#include "skin/GraphButtons.h"
#include "skin/GraphContainer.h"
#include "skin/GraphLabels.h"
#include "skin/GraphMultiLine.h"
#include "skin/PaintContext.h"
#include "skin/Resources.h"
#include "skin/XMLNode.h"

namespace marlowen {

// --- TGraphWindowFrame ---

void TGraphWindowFrame::LoadFromXML(const TXMLNode& node) {
    TGraphFrame::LoadFromXML(node);
    const TGraphControls& parts = Controls();
    FrameCaption_ = TWeakRef<TCustomGraphControl>(parts.FindControl("FrameCaption"));
    TCustomGraphControl* label = parts.FindControl("LabelCaption");
    if (dynamic_cast<TGraphTextLabel*>(label) != nullptr || dynamic_cast<TGraphMultiLine*>(label) != nullptr) {
        LabelCaption_ = TWeakRef<TCustomGraphControl>(label);
    }
    // The buttons are children of this layer: they go before it, so the handlers may hold it.
    if (auto* minimize = dynamic_cast<TCustomGraphButton*>(parts.FindControl("ButtonMinimize"))) {
        ButtonMinimize_ = TWeakRef<TCustomGraphControl>(minimize);
        minimize->OnClick = [this](TCustomGraphControl&) { Minimize(); };
    }
    if (auto* close = dynamic_cast<TCustomGraphButton*>(parts.FindControl("ButtonClose"))) {
        ButtonClose_ = TWeakRef<TCustomGraphControl>(close);
        close->OnClick = [this](TCustomGraphControl&) { Close(); };
    }
}

TCustomGraphButton* TGraphWindowFrame::ButtonMinimize() const {
    return static_cast<TCustomGraphButton*>(ButtonMinimize_.Get());
}

TCustomGraphButton* TGraphWindowFrame::ButtonClose() const {
    return static_cast<TCustomGraphButton*>(ButtonClose_.Get());
}

void TGraphWindowFrame::SetCaptionText(const std::u16string& text) {
    TCustomGraphControl* label = LabelCaption_.Get();
    if (auto* simple = dynamic_cast<TGraphTextLabel*>(label)) {
        simple->SetCaption(text);
    } else if (auto* multiLine = dynamic_cast<TGraphMultiLine*>(label)) {
        multiLine->SetVariable("Caption", text);
        multiLine->Relayout();
    }
}

void TGraphWindowFrame::Minimize() { RaiseEvent(OnMinimize); }

void TGraphWindowFrame::Close() { RaiseEvent(OnClose); }

// --- TGraphWindow ---

TGraphWindow::TGraphWindow(const TSkinContext& context) : TCustomGraphControl(context) {}

void TGraphWindow::LoadFromXML(const TXMLNode& node) {
    const TValueItems& a = node.Attributes();
    const int32_t left = a.GetIntegerDef("Left", 0);
    const int32_t top = a.GetIntegerDef("Top", 0);
    const int32_t width = a.GetInteger("Width");
    const int32_t height = a.GetInteger("Height");
    CanMinimize_ = a.GetBooleanDef("CanMinimize", true);
    const std::string activeBackground = a.GetText("ActiveBackground");
    const std::string passiveBackground = a.GetText("PassiveBackground");
    const std::string activeForeground = a.GetTextDef("ActiveForeground", "");
    const std::string passiveForeground = a.GetTextDef("PassiveForeground", "");
    const std::u16string caption = a.GetWideTextDef("Caption", u"");
    SetBoundsDirect(left, top, width, height);

    ActiveBackground_ = AddLayer(activeBackground);
    PassiveBackground_ = AddLayer(passiveBackground);
    if (!activeForeground.empty()) ActiveForeground_ = AddLayer(activeForeground);
    if (!passiveForeground.empty()) PassiveForeground_ = AddLayer(passiveForeground);
    CreateChildren(node);
    UpdateLook();
    SetWindowCaption(caption);
}

TWeakRef<TCustomGraphControl> TGraphWindow::AddLayer(const std::string& document) {
    const TXMLNode& root = Context().Resources.GetXML(document);
    const TDocumentInclusion inclusion(Context(), document, root);
    auto layer = std::make_unique<TGraphWindowFrame>(Context());
    layer->LoadFromXML(root);
    // A layer covers the window whatever its size.
    layer->AnchorLeft = layer->AnchorTop = layer->AnchorRight = layer->AnchorBottom = true;
    layer->OnMinimize = [this] { RaiseEvent(OnMinimize); };
    layer->OnClose = [this] { RaiseEvent(OnClose); };
    if (TCustomGraphButton* minimize = layer->ButtonMinimize()) minimize->SetVisible(CanMinimize_);
    return TWeakRef<TCustomGraphControl>(Controls().AddControl(std::move(layer)));
}

void TGraphWindow::UpdateLook() {
    for (TGraphWindowFrame* layer : {ActiveBackground(), PassiveBackground(), ActiveForeground(), PassiveForeground()}) {
        if (layer != nullptr) layer->SetBounds(0, 0, Width(), Height());
    }
    TGraphWindowFrame* background = Active_ ? ActiveBackground() : PassiveBackground();
    TGraphWindowFrame* foreground = Active_ ? ActiveForeground() : PassiveForeground();
    TGraphWindowFrame* otherBackground = Active_ ? PassiveBackground() : ActiveBackground();
    TGraphWindowFrame* otherForeground = Active_ ? PassiveForeground() : ActiveForeground();
    if (background != nullptr) background->SetVisible(true);
    if (foreground != nullptr) {
        foreground->SetVisible(true);
        // Last among the window's children, it paints over every other control.
        Controls().MoveToEnd(foreground);
        foreground->Invalidate();
    }
    if (otherBackground != nullptr) otherBackground->SetVisible(false);
    if (otherForeground != nullptr) otherForeground->SetVisible(false);
}

void TGraphWindow::SetActive(bool active) {
    Active_ = active;
    UpdateLook();
    TValueItems values;
    values.Add(std::make_unique<TValueItem>("ActiveWindow", active));
    // The controls as they are now: hooks may free or build controls on the way.
    std::vector<TWeakRef<TCustomGraphControl>> controls;
    const TCustomGraphControl* end = NextSkippingChildren();
    for (TCustomGraphControl* c = this; c != nullptr && c != end; c = c->NextInTree()) controls.emplace_back(c);
    for (const TWeakRef<TCustomGraphControl>& ref : controls) {
        if (TCustomGraphControl* control = ref.Get()) control->SetWindowActive(active);
        if (TCustomGraphControl* control = ref.Get()) control->ConditionsChanged(&values);
    }
}

void TGraphWindow::SetWindowCaption(const std::u16string& text) {
    if (text == Caption_) return;
    Caption_ = text;
    for (TGraphWindowFrame* layer : {ActiveBackground(), PassiveBackground(), ActiveForeground(), PassiveForeground()}) {
        if (layer != nullptr) layer->SetCaptionText(text);
    }
}

std::vector<TRect> TGraphWindow::ShapeRectangles() const {
    int32_t width = Width();
    int32_t height = Height();
    TDisplayScale scale;
    if (const TCustomGraphContainer* container = GetContainer()) {
        scale = container->Scale();
        width = scale.Device(container->Width());
        height = scale.Device(container->Height());
    }
    if (width <= 0 || height <= 0) return {};
    TBitmap32 shape;
    shape.SetSize(width, height);  // fully transparent
    if (const TGraphWindowFrame* background = ActiveBackground()) {
        background->PaintFrame(TPaintContext(shape, scale, 0, 0, 0, 0, {0, 0, width, height}));
    }
    return shape.RegionFromAlpha();
}

void TGraphWindow::ApplyShape() {
    TCustomGraphContainer* container = GetContainer();
    TFormHost* form = container != nullptr ? container->Host().Form() : nullptr;
    if (form == nullptr) return;
    std::vector<TScreenRect> rectangles;
    for (const TRect& r : ShapeRectangles()) rectangles.push_back({r.Left, r.Top, r.Right, r.Bottom});
    form->SetShape(rectangles);
}

// --- TWinCaptionArea ---

void TWinCaptionArea::LoadFromXML(const TXMLNode& node) {
    TCustomGraphControl::LoadFromXML(node);
    ScreenSnap = node.Attributes().GetBooleanDef("ScreenSnap", true);
    SnapBuffer = node.Attributes().GetIntegerDef("SnapBuffer", kDefaultSnapBuffer);
}

TFormHost* TWinCaptionArea::Form() const {
    const TCustomGraphContainer* container = GetContainer();
    return container != nullptr ? container->Host().Form() : nullptr;
}

void TWinCaptionArea::DoLButtonDown(int32_t x, int32_t y, TShiftState /*shift*/) {
    Dragging_ = true;
    GrabX_ = x;
    GrabY_ = y;
    CaptureMouse();
}

void TWinCaptionArea::DoLButtonUp(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {
    Dragging_ = false;
    ReleaseMouse();
}

void TWinCaptionArea::DoMouseMove(int32_t x, int32_t y, TShiftState /*shift*/) {
    if (!Dragging_ || (x == GrabX_ && y == GrabY_)) return;
    TFormHost* form = Form();
    if (form == nullptr) return;
    // The pointer's move in device pixels: at a display scale the units' pixels apart.
    const TCustomGraphContainer* container = GetContainer();
    TPoint now = ClientToContainer(x, y);
    TPoint grab = ClientToContainer(GrabX_, GrabY_);
    if (container != nullptr) {
        now = container->UnitsToDevice(now.X, now.Y);
        grab = container->UnitsToDevice(grab.X, grab.Y);
    }
    const TScreenRect bounds = form->Bounds();
    const TPoint proposed{SaturateInt32(int64_t{bounds.Left} + now.X - grab.X),
                          SaturateInt32(int64_t{bounds.Top} + now.Y - grab.Y)};
    const TPoint at = ScreenSnap ? SnapPosition(*form, proposed.X, proposed.Y) : proposed;
    form->MoveTo(at.X, at.Y);
    RaiseEvent(OnMoved, *this);
}

TPoint TWinCaptionArea::SnapPosition(const TFormHost& form, int32_t x, int32_t y) const {
    const TScreenRect work = form.WorkArea();
    const TScreenRect bounds = form.Bounds();
    const int64_t width = int64_t{bounds.Right} - bounds.Left;
    const int64_t height = int64_t{bounds.Bottom} - bounds.Top;
    // The candidates start at the screen's origin, not at the work area's.
    int64_t candidateX = 0;
    int64_t candidateY = 0;
    const auto offer = [](int64_t& candidate, int64_t value, int64_t proposed, int64_t lowest) {
        if (value < lowest) return;
        if (std::llabs(value - proposed) < std::llabs(candidate - proposed)) candidate = value;
    };
    offer(candidateX, work.Right - width, x, work.Left);
    offer(candidateY, work.Bottom - height, y, work.Top);
    for (const TScreenRect& other : form.OtherWindows()) {
        const bool overlapsWork = other.Left < work.Right && other.Right > work.Left && other.Top < work.Bottom &&
                                  other.Bottom > work.Top;
        if (!overlapsWork) continue;
        offer(candidateX, other.Left - width, x, work.Left);
        offer(candidateX, other.Right, x, work.Left);
        offer(candidateY, other.Top - height, y, work.Top);
        offer(candidateY, other.Bottom, y, work.Top);
    }
    TPoint at{x, y};
    if (std::llabs(x - candidateX) <= SnapBuffer) at.X = SaturateInt32(candidateX);
    if (std::llabs(y - candidateY) <= SnapBuffer) at.Y = SaturateInt32(candidateY);
    return at;
}

}  // namespace marlowen
