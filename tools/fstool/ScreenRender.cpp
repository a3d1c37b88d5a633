#include "ScreenRender.h"

#include <algorithm>
#include <charconv>
#include <memory>

#include "core/Exception.h"
#include "core/StringHash.h"
#include "core/TreeItems.h"
#include "core/Utf.h"
#include "core/ValueItems.h"
#include "platform/headless/HeadlessWindowHost.h"
#include "skin/GraphComboBoxes.h"
#include "skin/GraphContainer.h"
#include "skin/GraphEdits.h"
#include "skin/GraphLabels.h"
#include "skin/GraphProgressBar.h"
#include "skin/GraphControl.h"
#include "skin/GraphElementRegistry.h"
#include "skin/GraphMenus.h"
#include "skin/GraphWindows.h"
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
    const TWeakRef<TCustomGraphControl> target(&control);
    int32_t count = 0;
    for (TCustomGraphControl* c = container.Controls().First(); c != nullptr; c = c->NextInTree()) ++count;
    for (int32_t i = 0; i <= count && target.Get() && container.FocusedControl() != &control; ++i) {
        host.KeyDown(VirtualKey::Tab);
        host.KeyUp(VirtualKey::Tab);
    }
    if (target.Get() && container.FocusedControl() != &control) control.SetFocused(true);
    // A control focused directly shows its focus rectangle as one reached by Tab does.
    container.SetFocusCuesShown(true);
}

// Runs the clock one timer period at a time until no control animates, within the limit.
void Settle(THeadlessWindowHosts& windows, const TCustomGraphContainer& container) {
    uint32_t elapsed = 0;
    do {
        windows.AdvanceClock(kContainerTimerMs);
        elapsed += kContainerTimerMs;
    } while (elapsed < kSettleLimitMs && AnyAnimated(container));
}

// The window control of a window document, as its form puts it up: filling the client area and
// told whether its form is active.
TGraphWindow& BuildWindow(TCustomGraphContainer& container, const TXMLNode& root, bool active) {
    auto window = std::make_unique<TGraphWindow>(container.Context());
    window->LoadFromXML(root);
    container.TabWrap = root.Attributes().GetBooleanDef("TabWrap", true);
    TGraphWindow& shown = *container.Controls().AddControl(std::move(window));
    shown.SetBounds(0, 0, container.Width(), container.Height());
    shown.SetActive(active);
    return shown;
}

// The page document's control laid over the window as a setup page is: the window's size, beneath
// its foreground layers (the look is applied again, which puts the foreground last).
void PlacePage(TGraphWindow& window, const TXMLNode& page, bool active) {
    const TSkinContext& context = window.Context();
    const TGraphControlClassItem* entry = context.Elements.Lookup(page.Name());
    if (entry == nullptr) throw Exception("the page document's root <" + page.Name() + "> is no control kind");
    TCustomGraphControl* placed = window.Controls().AddControl(entry->Factory(&window, context, page));
    placed->SetBounds(0, 0, window.Width(), window.Height());
    window.SetActive(active);
}

// Fills the control as page code does, and shows it.
void PutText(TGraphControls& controls, const std::string& name, const std::string& text) {
    TCustomGraphControl& control = controls.GetControl(name);
    if (auto* edit = dynamic_cast<TGraphEdit*>(&control)) {
        edit->SetText(Utf8ToUtf16(text));
    } else if (auto* label = dynamic_cast<TGraphTextLabel*>(&control)) {
        label->SetCaption(Utf8ToUtf16(text));
    } else if (auto* bar = dynamic_cast<TGraphProgressBar*>(&control)) {
        int32_t position = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), position);
        if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
            throw Exception("--text " + name + ": a progress bar takes a whole number, not \"" + text + "\"");
        }
        bar->SetPosition(position);
    } else if (auto* combo = dynamic_cast<TGraphComboBox*>(&control)) {
        int32_t index = 0;
        while (index < combo->ItemCount() && !TextEquals(combo->Items(index)->Name, text)) ++index;
        if (index == combo->ItemCount()) throw Exception("--text " + name + ": the combo box has no item \"" + text + "\"");
        combo->SetItemIndex(index);
    } else {
        throw Exception("--text " + name + ": the control is neither an edit, a label, a progress bar nor a combo box");
    }
    control.SetVisible(true);
}

// Clears every pixel outside the shape's rectangles (in device pixels), as the window's region
// does.
void CutToShape(TRenderedScreen& screen, const std::vector<TRect>& shape) {
    std::vector<uint32_t> cut(screen.Pixels.size(), 0);
    for (TRect run : shape) {
        if (!IntersectRect(run, TRect{0, 0, screen.Width, screen.Height})) continue;
        for (int32_t y = run.Top; y < run.Bottom; ++y) {
            const auto row = static_cast<size_t>(y) * static_cast<size_t>(screen.Width);
            std::copy(screen.Pixels.begin() + static_cast<ptrdiff_t>(row + static_cast<size_t>(run.Left)),
                      screen.Pixels.begin() + static_cast<ptrdiff_t>(row + static_cast<size_t>(run.Right)),
                      cut.begin() + static_cast<ptrdiff_t>(row + static_cast<size_t>(run.Left)));
        }
    }
    screen.Pixels = std::move(cut);
    screen.Shaped = true;
}

// "MENU/ITEM": the menu control and the item of it (at any depth) named so; none for any other
// name.
TCustomMenuItem* FindMenuItem(const TGraphControls& controls, const std::string& name) {
    const size_t slash = name.find('/');
    if (slash == std::string::npos) return nullptr;
    auto& menu = controls.GetControl<TGraphMenu>(name.substr(0, slash));
    TCustomMenuItem* item = menu.FindItem(name.substr(slash + 1));
    if (item == nullptr) {
        throw Exception("menu item '" + name.substr(slash + 1) + "' not found in '" + menu.Name() + "'");
    }
    return item;
}

// Lays the pop-up windows that show over the window's pixels, as the screen shows them: a
// popup's pixels inside its shape are drawn as they are (the window shows no alpha).
void ComposePopups(TRenderedScreen& screen, const THeadlessWindowHost& host, const THeadlessWindowHosts& windows) {
    int32_t originX = 0;
    int32_t originY = 0;
    host.ClientToScreen(originX, originY);
    for (const THeadlessPopupWindow* popup : windows.VisiblePopups()) {
        const TScreenRect bounds = popup->Bounds();
        for (int32_t y = 0; y < bounds.Height(); ++y) {
            const int64_t sy = int64_t{bounds.Top} + y - originY;
            if (sy < 0 || sy >= screen.Height) continue;
            for (int32_t x = 0; x < bounds.Width(); ++x) {
                const int64_t sx = int64_t{bounds.Left} + x - originX;
                const uint32_t pixel = popup->Pixel(x, y);
                if (sx < 0 || sx >= screen.Width || (pixel >> 24) == 0) continue;
                screen.Pixels[static_cast<size_t>(sy * screen.Width + sx)] = 0xFF000000u | (pixel & 0xFFFFFFu);
            }
        }
    }
}

}  // namespace

bool IsWindowDocument(const TXMLNode& root) { return root.Attributes().Find("ActiveBackground") != nullptr; }

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
    if (request.Scale.Device(width) > kMaxScreenSide || request.Scale.Device(height) > kMaxScreenSide) {
        throw Exception("at " + request.Scale.ToString() + " the screen would be " +
                        std::to_string(request.Scale.Device(width)) + " x " + std::to_string(request.Scale.Device(height)) +
                        " pixels; sides up to " + std::to_string(kMaxScreenSide));
    }

    const bool window = IsWindowDocument(root);
    if (request.Passive && !window) {
        throw Exception("the passive look needs a window document (a root with \"ActiveBackground\")");
    }
    if (!request.Page.empty() && !window) {
        throw Exception("a page needs a window document (a root with \"ActiveBackground\") to lie in");
    }

    TGraphContainer container(context, width, height);
    container.SetScale(request.Scale);
    auto& host = static_cast<THeadlessWindowHost&>(container.Host());
    TWeakRef<TCustomGraphControl> windowRef;
    if (window) {
        TGraphWindow& built = BuildWindow(container, root, !request.Passive);
        windowRef = TWeakRef<TCustomGraphControl>(&built);
        if (!request.Page.empty()) PlacePage(built, context.Resources.GetXML(request.Page), !request.Passive);
    } else {
        BuildScreen(container, root);
    }

    if (!request.Conditions.empty()) {
        TValueItems values;
        for (const auto& [name, value] : request.Conditions) {
            values.Add(std::make_unique<TValueItem>(name, TVariant(value)));
        }
        container.Controls().BroadcastConditions(&values);
    }
    // Every name is looked up before any input, so that a wrong one fails before anything moves.
    TGraphControls& controls = container.Controls();
    for (const auto& [name, text] : request.Texts) PutText(controls, name, text);
    TCustomGraphControl* focus = request.Focus.empty() ? nullptr : &controls.GetControl(request.Focus);
    TCustomGraphControl* hover = request.Hover.empty() ? nullptr : &controls.GetControl(request.Hover);
    const TWeakRef<TCustomMenuItem> pressItem(FindMenuItem(controls, request.Press));
    TCustomGraphControl* press =
        request.Press.empty() || pressItem.Get() != nullptr ? nullptr : &controls.GetControl(request.Press);
    host.InvalidateAll();
    windows.Pump();

    if (focus != nullptr) FocusControl(container, host, *focus);
    const TWeakRef<TCustomGraphControl> hoverRef(hover);
    const TWeakRef<TCustomGraphControl> pressRef(press);
    int32_t x = 0;
    int32_t y = 0;
    // The host takes device pixels: the first pixel of the unit point.
    if (TCustomGraphControl* control = hoverRef.Get()) {
        PointOn(container, *control, x, y);
        const TPoint at = container.UnitsToDevice(x, y);
        host.MoveMouse(at.X, at.Y);
    }
    if (TCustomGraphControl* control = pressRef.Get()) {
        PointOn(container, *control, x, y);
        const TPoint at = container.UnitsToDevice(x, y);
        host.PressLeft(at.X, at.Y);
    }
    if (TCustomMenuItem* item = pressItem.Get()) {
        const TRect r = item->ScreenRect();
        x = r.Left + (r.Right - r.Left) / 2;
        y = r.Top + (r.Bottom - r.Top) / 2;
        host.ScreenToClient(x, y);
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
    if (const auto* shown = static_cast<const TGraphWindow*>(windowRef.Get())) CutToShape(screen, shown->ShapeRectangles());
    ComposePopups(screen, host, windows);
    return screen;
}

}  // namespace marlowen::fstool
