#include "ScreenRender.h"

#include <algorithm>
#include <memory>

#include "core/Exception.h"
#include "core/TreeItems.h"
#include "core/ValueItems.h"
#include "platform/headless/HeadlessWindowHost.h"
#include "skin/GraphContainer.h"
#include "skin/GraphControl.h"
#include "skin/GraphElementRegistry.h"
#include "skin/Resources.h"
#include "skin/XMLNode.h"

namespace marlowen::fstool {

namespace {

int32_t SideOf(const TXMLNode& root, const char* name, int32_t def) {
    const int32_t side = root.Attributes().GetIntegerDef(name, def);
    if (side < 1 || side > kMaxScreenSide) {
        throw Exception("the document's " + std::string(name) + " " + std::to_string(side) + " is outside 1.." +
                        std::to_string(kMaxScreenSide));
    }
    return side;
}

bool IsOrInside(const TCustomGraphControl* candidate, const TCustomGraphControl& control) {
    return candidate != nullptr && (candidate == &control || TCustomTreeItem::IsAncestorOf(&control, candidate));
}

// A point of the control's visible rectangle (container coordinates) where the container routes
// the mouse to the control or one of its children: the middle when it takes the mouse there
// (the usual case), else the first such point row by row; the middle when there is none (a
// control that lets the mouse through, a hidden one).
void PointOn(TCustomGraphContainer& container, TCustomGraphControl& control, int32_t& x, int32_t& y) {
    const TPoint origin = control.ClientToContainer(0, 0);
    const int32_t left = std::max(origin.X, 0);
    const int32_t top = std::max(origin.Y, 0);
    const int32_t right = std::min(origin.X + control.Width(), container.Width());
    const int32_t bottom = std::min(origin.Y + control.Height(), container.Height());
    x = origin.X + control.Width() / 2;
    y = origin.Y + control.Height() / 2;
    if (left >= right || top >= bottom) return;
    x = std::clamp(x, left, right - 1);
    y = std::clamp(y, top, bottom - 1);
    if (IsOrInside(container.ControlAt(x, y), control)) return;
    for (int32_t py = top; py < bottom; ++py) {
        for (int32_t px = left; px < right; ++px) {
            if (IsOrInside(container.ControlAt(px, py), control)) {
                x = px;
                y = py;
                return;
            }
        }
    }
}

bool AnyAnimated(const TCustomGraphContainer& container) {
    for (TCustomGraphControl* c = container.Controls().First(); c != nullptr; c = c->NextInTree()) {
        if (c->Animated()) return true;
    }
    return false;
}

// Tab moves the focus as a person would; a control that Tab never reaches (no TabStop) gets it
// directly, as a click or the page's code would give it.
void FocusControl(TCustomGraphContainer& container, THeadlessWindowHost& host, TCustomGraphControl& control) {
    const TControlRef target(&control);
    int32_t count = 0;
    for (TCustomGraphControl* c = container.Controls().First(); c != nullptr; c = c->NextInTree()) ++count;
    for (int32_t i = 0; i <= count && target.Alive() && container.FocusedControl() != &control; ++i) {
        host.KeyDown(VirtualKey::Tab);
        host.KeyUp(VirtualKey::Tab);
    }
    if (target.Alive() && container.FocusedControl() != &control) control.SetFocused(true);
}

// Runs the clock one timer period at a time until no control animates, within the limit.
void Settle(THeadlessWindowHosts& windows, const TCustomGraphContainer& container) {
    uint32_t elapsed = 0;
    do {
        windows.AdvanceClock(kContainerTimerMs);
        elapsed += kContainerTimerMs;
    } while (elapsed < kSettleLimitMs && AnyAnimated(container));
}

}  // namespace

void DocumentScreenSize(const TXMLNode& root, int32_t& width, int32_t& height) {
    width = SideOf(root, "Width", kDefaultScreenWidth);
    height = SideOf(root, "Height", kDefaultScreenHeight);
}

TCustomGraphControl* BuildScreen(TCustomGraphContainer& container, const TXMLNode& root) {
    const TSkinContext& context = container.Context();
    if (const TGraphControlClassItem* entry = context.Elements.Lookup(root.Name())) {
        return container.Controls().AddControl(entry->Factory(nullptr, context, root));
    }
    TCustomGraphControl* first = nullptr;
    for (const TXMLNode* element : root.Nodes().Nodes()) {
        const TGraphControlClassItem* entry = context.Elements.Lookup(element->Name());
        if (entry == nullptr) continue;
        TCustomGraphControl* control = container.Controls().AddControl(entry->Factory(nullptr, context, *element));
        if (first == nullptr) first = control;
    }
    return first;
}

TRenderedScreen RenderScreen(const TSkinContext& context, THeadlessWindowHosts& windows,
                             const TScreenRequest& request) {
    const TXMLNode& root = context.Resources.GetXML(request.Document);
    int32_t width = request.Width;
    int32_t height = request.Height;
    if (width == 0 || height == 0) DocumentScreenSize(root, width, height);

    TGraphContainer container(context, width, height);
    auto& host = static_cast<THeadlessWindowHost&>(container.Host());
    BuildScreen(container, root);

    if (!request.Conditions.empty()) {
        TValueItems values;
        for (const auto& [name, value] : request.Conditions) {
            values.Add(std::make_unique<TValueItem>(name, TVariant(value)));
        }
        container.Controls().BroadcastConditions(&values);
    }
    // Every name is looked up before any input, so that a wrong one fails before anything moves.
    TGraphControls& controls = container.Controls();
    TCustomGraphControl* focus = request.Focus.empty() ? nullptr : &controls.GetControl(request.Focus);
    TCustomGraphControl* hover = request.Hover.empty() ? nullptr : &controls.GetControl(request.Hover);
    TCustomGraphControl* press = request.Press.empty() ? nullptr : &controls.GetControl(request.Press);
    host.InvalidateAll();
    windows.Pump();

    if (focus != nullptr) FocusControl(container, host, *focus);
    const TControlRef hoverRef(hover);
    const TControlRef pressRef(press);
    int32_t x = 0;
    int32_t y = 0;
    if (TCustomGraphControl* control = hoverRef.Get()) {
        PointOn(container, *control, x, y);
        host.MoveMouse(x, y);
    }
    if (TCustomGraphControl* control = pressRef.Get()) {
        PointOn(container, *control, x, y);
        host.PressLeft(x, y);
    }
    Settle(windows, container);

    // Whatever the steps left unpainted is painted now, so the surface is complete.
    host.InvalidateAll();
    windows.Pump();
    TRenderedScreen screen;
    screen.Width = host.ClientWidth();
    screen.Height = host.ClientHeight();
    screen.Pixels = host.Surface();
    return screen;
}

}  // namespace marlowen::fstool
