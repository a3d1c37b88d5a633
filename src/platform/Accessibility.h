#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace marlowen {

// What assistive technology (screen readers) learns about the things a window shows, in the
// terms of Microsoft Active Accessibility, whose numbers the values keep. The skin describes its
// controls in these terms; the Win32 backend serves them as IAccessible objects, the headless
// backend hands them to tests.

// Roles (ROLE_SYSTEM_*).
namespace AccRole {
constexpr int32_t MenuBar = 0x02;
constexpr int32_t Window = 0x09;
constexpr int32_t Client = 0x0A;
constexpr int32_t MenuItem = 0x0C;
constexpr int32_t Grouping = 0x14;
constexpr int32_t List = 0x21;
constexpr int32_t ListItem = 0x22;
constexpr int32_t Graphic = 0x28;
constexpr int32_t StaticText = 0x29;
constexpr int32_t Text = 0x2A;  // editable text
constexpr int32_t PushButton = 0x2B;
constexpr int32_t CheckButton = 0x2C;
constexpr int32_t RadioButton = 0x2D;
constexpr int32_t ComboBox = 0x2E;
constexpr int32_t ProgressBar = 0x30;
constexpr int32_t Slider = 0x33;
}  // namespace AccRole

// State bits (STATE_SYSTEM_*).
namespace AccState {
constexpr uint32_t Unavailable = 0x1;
constexpr uint32_t Selected = 0x2;
constexpr uint32_t Focused = 0x4;
constexpr uint32_t Pressed = 0x8;
constexpr uint32_t Checked = 0x10;
constexpr uint32_t ReadOnly = 0x40;
constexpr uint32_t HotTracked = 0x80;
constexpr uint32_t Default = 0x100;
constexpr uint32_t Invisible = 0x8000;
constexpr uint32_t Focusable = 0x100000;
constexpr uint32_t Selectable = 0x200000;
constexpr uint32_t Protected = 0x20000000;
constexpr uint32_t HasPopup = 0x40000000;
}  // namespace AccState

// Events a window raises for assistive technology (EVENT_*).
namespace AccEvent {
constexpr uint32_t MenuStart = 0x0004;  // a menu bar becomes active
constexpr uint32_t MenuEnd = 0x0005;
constexpr uint32_t MenuPopupStart = 0x0006;  // an item's popup opens
constexpr uint32_t MenuPopupEnd = 0x0007;
constexpr uint32_t DialogStart = 0x0010;  // a new page is shown
constexpr uint32_t Focus = 0x8005;
constexpr uint32_t StateChange = 0x800A;
constexpr uint32_t NameChange = 0x800C;
constexpr uint32_t ValueChange = 0x800E;
}  // namespace AccEvent

// One node as assistive technology sees it. Bounds are client coordinates of the window.
struct TAccessibleDescription {
    int32_t Role = AccRole::Client;
    std::string Name;   // UTF-8
    std::string Value;  // UTF-8; empty for none (never a password)
    uint32_t State = 0;
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    std::string DefaultAction;  // UTF-8; empty for none
    std::string KeyboardShortcut;  // UTF-8 ("Alt+N"); empty for none
};

// The tree a window shows to assistive technology. Node 0 is the window's client area itself;
// other nodes have ids above 0 that are never reused while the tree lives, so that an object
// held by a client after its node went away is recognised as gone.
class TAccessibleTree {
public:
    static constexpr int32_t kClient = 0;
    static constexpr int32_t kNone = -1;

    virtual ~TAccessibleTree() = default;

    // False when the node no longer exists.
    virtual bool Describe(int32_t id, TAccessibleDescription& description) const = 0;
    // The node's children in reading order (none for a gone node).
    virtual std::vector<int32_t> Children(int32_t id) const = 0;
    // The parent (kClient for the top level; kNone for the client itself and for a gone node).
    virtual int32_t Parent(int32_t id) const = 0;
    // The deepest node at the client point: kClient over the window without a node, kNone
    // outside the client area.
    virtual int32_t HitTest(int32_t x, int32_t y) const = 0;
    // The node holding the keyboard focus: kClient when the window has it but no node does,
    // kNone when the window does not have it.
    virtual int32_t Focus() const = 0;
    // Performs the node's default action (press, toggle, select); false when it has none or is
    // gone.
    virtual bool DoDefaultAction(int32_t id) = 0;
};

}  // namespace marlowen
