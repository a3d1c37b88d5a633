// A container window served to assistive technology: a client walks it through the system's
// own entry point, as a screen reader does.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/Accessibility.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Accessible.h"
#include "platform/win32/Win32Application.h"
#include "platform/win32/Win32ChildWindow.h"
#include "platform/win32/Win32WindowHosts.h"

#include <oleacc.h>

namespace marlowen {
namespace {

class TNoEvents : public TWindowHostEvents {
public:
    void HostPaint(int32_t, int32_t, int32_t, int32_t) override {}
    void HostRepaintMessage() override {}
    void HostTimer() override {}
    void HostLButtonDown(int32_t, int32_t, TShiftState) override {}
    void HostLButtonUp(int32_t, int32_t, TShiftState) override {}
    void HostLButtonDblClk(int32_t, int32_t, TShiftState) override {}
    void HostRButtonDown(int32_t, int32_t, TShiftState) override {}
    void HostRButtonUp(int32_t, int32_t, TShiftState) override {}
    void HostMouseMove(int32_t, int32_t, TShiftState) override {}
    void HostMouseWheel(int32_t, int32_t, int32_t, TShiftState) override {}
    void HostMouseEnter() override {}
    void HostMouseLeave() override {}
    void HostCaptureChanged() override {}
    bool HostKeyDown(uint32_t, bool, bool) override { return false; }
    bool HostKeyUp(uint32_t, bool) override { return false; }
    bool HostCharPressed(uint32_t, int32_t) override { return false; }
};

// A button, and a list with one item, in a 200 x 100 client.
class TFakeTree : public TAccessibleTree {
public:
    std::map<int32_t, TAccessibleDescription> Nodes;
    std::map<int32_t, int32_t> Parents;
    int32_t Focused = kClient;
    std::vector<int32_t> Actions;

    TFakeTree() {
        Nodes[0] = Node(AccRole::Client, "Page", 0, 0, 0, 200, 100, "");
        Nodes[1] = Node(AccRole::PushButton, "Next", AccState::Focusable, 10, 10, 40, 20, "Press");
        Nodes[2] = Node(AccRole::List, "Choices", 0, 0, 40, 100, 50, "");
        Nodes[3] = Node(AccRole::ListItem, "\xC3\x9C" "ber", AccState::Selected, 5, 45, 90, 10, "Select");
        Nodes[3].Value = "eins";
        Parents = {{1, kClient}, {2, kClient}, {3, 2}};
    }
    bool Describe(int32_t id, TAccessibleDescription& description) const override {
        const auto found = Nodes.find(id);
        if (found == Nodes.end()) return false;
        description = found->second;
        return true;
    }
    std::vector<int32_t> Children(int32_t id) const override {
        std::vector<int32_t> children;
        for (const auto& [child, parent] : Parents) {
            if (parent == id && Nodes.count(child) != 0) children.push_back(child);
        }
        return children;
    }
    int32_t Parent(int32_t id) const override {
        const auto found = Parents.find(id);
        return found != Parents.end() && Nodes.count(id) != 0 ? found->second : kNone;
    }
    int32_t HitTest(int32_t x, int32_t y) const override {
        if (x < 0 || y < 0 || x >= 200 || y >= 100) return kNone;
        int32_t hit = kClient;
        for (const auto& [id, node] : Nodes) {
            if (id > 0 && x >= node.Left && y >= node.Top && x < node.Left + node.Width && y < node.Top + node.Height) {
                hit = id;  // ids grow with depth here: the last match is the deepest
            }
        }
        return hit;
    }
    int32_t Focus() const override { return Focused; }
    bool DoDefaultAction(int32_t id) override {
        Actions.push_back(id);
        return true;
    }

private:
    static TAccessibleDescription Node(int32_t role, const char* name, uint32_t state, int32_t left, int32_t top,
                                       int32_t width, int32_t height, const char* action) {
        TAccessibleDescription node;
        node.Role = role;
        node.Name = name;
        node.State = state;
        node.Left = left;
        node.Top = top;
        node.Width = width;
        node.Height = height;
        node.DefaultAction = action;
        return node;
    }
};

VARIANT Child(LONG id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

std::wstring Take(BSTR text) {
    std::wstring result = text != nullptr ? std::wstring(text, SysStringLen(text)) : L"<null>";
    SysFreeString(text);
    return result;
}

// The IAccessible of a dispatch answer (and releases the dispatch).
IAccessible* AccessibleOf(IDispatch* dispatch) {
    IAccessible* accessible = nullptr;
    if (dispatch != nullptr) {
        dispatch->QueryInterface(kIidAccessible, reinterpret_cast<void**>(&accessible));
        dispatch->Release();
    }
    return accessible;
}

std::wstring NameOf(IAccessible* accessible) {
    BSTR name = nullptr;
    accessible->get_accName(Child(CHILDID_SELF), &name);
    return Take(name);
}

class Win32Accessible : public ::testing::Test {
protected:
    void SetUp() override {
        ComReady = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        Host = Hosts.CreateHost(Events, 200, 100);
        Window = static_cast<TWin32ChildWindow&>(*Host).Handle();
        Host->SetAccessibleTree(&Tree);
        ASSERT_EQ(AccessibleObjectFromWindow(Window, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                             reinterpret_cast<void**>(&Root)),
                  S_OK);
        ASSERT_NE(Root, nullptr);
    }
    void TearDown() override {
        if (Root != nullptr) Root->Release();
        Host.reset();
        if (ComReady) CoUninitialize();
    }
    void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) DispatchMessageW(&message);
    }
    POINT Screen(int32_t x, int32_t y) const {
        POINT point{x, y};
        ClientToScreen(Window, &point);
        return point;
    }

    bool ComReady = false;
    TWin32Application Application;
    TWin32WindowHosts Hosts{Application};
    TNoEvents Events;
    TFakeTree Tree;
    std::unique_ptr<TWindowHost> Host;
    HWND Window = nullptr;
    IAccessible* Root = nullptr;
};

TEST_F(Win32Accessible, AClientWalksTheTreeAsTheWindowDescribesIt) {
    long count = 0;
    ASSERT_EQ(Root->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(NameOf(Root), L"Page");

    IDispatch* dispatch = nullptr;
    ASSERT_EQ(Root->get_accChild(Child(1), &dispatch), S_OK);
    IAccessible* button = AccessibleOf(dispatch);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(NameOf(button), L"Next");
    VARIANT role;
    ASSERT_EQ(button->get_accRole(Child(CHILDID_SELF), &role), S_OK);
    EXPECT_EQ(role.vt, VT_I4);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_PUSHBUTTON);
    VARIANT state;
    ASSERT_EQ(button->get_accState(Child(CHILDID_SELF), &state), S_OK);
    EXPECT_EQ(state.lVal, STATE_SYSTEM_FOCUSABLE);
    BSTR text = nullptr;
    ASSERT_EQ(button->get_accDefaultAction(Child(CHILDID_SELF), &text), S_OK);
    EXPECT_EQ(Take(text), L"Press");
    // No value, description or shortcut: S_FALSE and no string.
    text = reinterpret_cast<BSTR>(1);
    EXPECT_EQ(button->get_accValue(Child(CHILDID_SELF), &text), S_FALSE);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(button->get_accKeyboardShortcut(Child(CHILDID_SELF), &text), S_FALSE);
    EXPECT_EQ(text, nullptr);

    // Location on the screen.
    long left = 0, top = 0, width = 0, height = 0;
    ASSERT_EQ(button->accLocation(&left, &top, &width, &height, Child(CHILDID_SELF)), S_OK);
    const POINT origin = Screen(10, 10);
    EXPECT_EQ(std::vector<long>({left, top, width, height}), std::vector<long>({origin.x, origin.y, 40, 20}));

    // Up to the client, and from the client to the system's window object.
    ASSERT_EQ(button->get_accParent(&dispatch), S_OK);
    IAccessible* parent = AccessibleOf(dispatch);
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(NameOf(parent), L"Page");
    parent->Release();
    ASSERT_EQ(Root->get_accParent(&dispatch), S_OK);
    ASSERT_NE(dispatch, nullptr);
    dispatch->Release();

    // The nested item: UTF-8 names become UTF-16, a value is given, the client names it by id.
    ASSERT_EQ(Root->get_accName(Child(3), &text), S_OK);
    EXPECT_EQ(Take(text), L"\u00DCber");
    ASSERT_EQ(Root->get_accValue(Child(3), &text), S_OK);
    EXPECT_EQ(Take(text), L"eins");
    button->Release();
}

// Readers list children with AccessibleChildren, which asks for them by position unless the
// object enumerates them: with node ids that are not positions only the enumeration is right.
TEST_F(Win32Accessible, ChildrenListedByAClientHelperAreTheNodesInOrder) {
    Tree.Nodes[7] = Tree.Nodes[1];
    Tree.Nodes[7].Name = "Later";
    Tree.Parents[7] = TAccessibleTree::kClient;
    Tree.Nodes.erase(1);  // children of the client: 2, 7
    VARIANT children[4];
    LONG obtained = 0;
    const HRESULT listed = AccessibleChildren(Root, 0, 4, children, &obtained);
    ASSERT_TRUE(listed == S_OK || listed == S_FALSE) << std::hex << listed;  // S_FALSE: fewer than asked
    ASSERT_EQ(obtained, 2);
    std::vector<std::wstring> names;
    for (LONG i = 0; i < obtained; ++i) {
        ASSERT_EQ(children[i].vt, VT_DISPATCH);
        IAccessible* child = AccessibleOf(children[i].pdispVal);
        ASSERT_NE(child, nullptr);
        names.push_back(NameOf(child));
        child->Release();
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Choices", L"Later"}));

    IEnumVARIANT* items = nullptr;
    ASSERT_EQ(Root->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&items)), S_OK);
    EXPECT_EQ(items->Reset(), S_OK);  // the listing above left the cursor at the end
    EXPECT_EQ(items->Skip(1), S_OK);
    EXPECT_EQ(items->Skip(5), S_FALSE);
    EXPECT_EQ(items->Reset(), S_OK);
    ULONG fetched = 9;
    VARIANT one;
    EXPECT_EQ(items->Next(1, &one, &fetched), S_OK);
    EXPECT_EQ(fetched, 1u);
    VariantClear(&one);
    EXPECT_EQ(items->Next(1, nullptr, nullptr), E_POINTER);
    items->Release();
}

TEST_F(Win32Accessible, NavigationHitTestAndFocusAnswerObjects) {
    VARIANT end;
    ASSERT_EQ(Root->accNavigate(NAVDIR_FIRSTCHILD, Child(CHILDID_SELF), &end), S_OK);
    ASSERT_EQ(end.vt, VT_DISPATCH);
    IAccessible* first = AccessibleOf(end.pdispVal);
    EXPECT_EQ(NameOf(first), L"Next");
    ASSERT_EQ(first->accNavigate(NAVDIR_NEXT, Child(CHILDID_SELF), &end), S_OK);
    IAccessible* list = AccessibleOf(end.pdispVal);
    EXPECT_EQ(NameOf(list), L"Choices");
    EXPECT_EQ(list->accNavigate(NAVDIR_NEXT, Child(CHILDID_SELF), &end), S_FALSE);
    EXPECT_EQ(end.vt, VT_EMPTY);
    ASSERT_EQ(list->accNavigate(NAVDIR_PREVIOUS, Child(CHILDID_SELF), &end), S_OK);
    AccessibleOf(end.pdispVal)->Release();
    ASSERT_EQ(Root->accNavigate(NAVDIR_LASTCHILD, Child(CHILDID_SELF), &end), S_OK);
    AccessibleOf(end.pdispVal)->Release();
    EXPECT_EQ(first->accNavigate(NAVDIR_FIRSTCHILD, Child(CHILDID_SELF), &end), S_FALSE);
    EXPECT_EQ(first->accNavigate(99, Child(CHILDID_SELF), &end), E_INVALIDARG);

    // Points: the deepest node, the object itself as CHILDID_SELF, nothing outside.
    VARIANT hit;
    POINT point = Screen(20, 48);
    ASSERT_EQ(Root->accHitTest(point.x, point.y, &hit), S_OK);
    ASSERT_EQ(hit.vt, VT_DISPATCH);
    IAccessible* item = AccessibleOf(hit.pdispVal);
    EXPECT_EQ(NameOf(item), L"\u00DCber");
    ASSERT_EQ(list->accHitTest(point.x, point.y, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_DISPATCH);
    AccessibleOf(hit.pdispVal)->Release();
    point = Screen(150, 5);
    ASSERT_EQ(Root->accHitTest(point.x, point.y, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(hit.lVal, CHILDID_SELF);
    EXPECT_EQ(first->accHitTest(point.x, point.y, &hit), S_FALSE);  // not over the button
    point = Screen(300, 5);
    EXPECT_EQ(Root->accHitTest(point.x, point.y, &hit), S_FALSE);
    EXPECT_EQ(hit.vt, VT_EMPTY);

    // Focus: the node's object; nothing when the window does not have it.
    VARIANT focus;
    Tree.Focused = 3;
    ASSERT_EQ(Root->get_accFocus(&focus), S_OK);
    ASSERT_EQ(focus.vt, VT_DISPATCH);
    AccessibleOf(focus.pdispVal)->Release();
    ASSERT_EQ(item->get_accFocus(&focus), S_OK);
    EXPECT_EQ(focus.vt, VT_I4);
    Tree.Focused = TAccessibleTree::kNone;
    EXPECT_EQ(Root->get_accFocus(&focus), S_FALSE);
    EXPECT_EQ(focus.vt, VT_EMPTY);
    item->Release();
    list->Release();
    first->Release();
}

TEST_F(Win32Accessible, TheDefaultActionRunsOnTheTreeAfterTheCallReturns) {
    EXPECT_EQ(Root->accDoDefaultAction(Child(1)), S_OK);
    EXPECT_TRUE(Tree.Actions.empty());  // the client never waits for what the action opens
    Pump();
    EXPECT_EQ(Tree.Actions, std::vector<int32_t>{1});
    EXPECT_EQ(Root->accDoDefaultAction(Child(2)), DISP_E_MEMBERNOTFOUND);  // the list has none

    // An action posted for a tree that was replaced meanwhile does nothing.
    Tree.Actions.clear();
    EXPECT_EQ(Root->accDoDefaultAction(Child(1)), S_OK);
    TFakeTree other;
    Host->SetAccessibleTree(&other);
    Pump();
    EXPECT_TRUE(Tree.Actions.empty());
    EXPECT_TRUE(other.Actions.empty());
    Host->SetAccessibleTree(&Tree);
}

TEST_F(Win32Accessible, ArgumentsOfTheWrongKindOrForUnknownNodesAreRefused) {
    BSTR text = nullptr;
    VARIANT wrongType;
    VariantInit(&wrongType);
    wrongType.vt = VT_BSTR;
    wrongType.bstrVal = nullptr;
    EXPECT_EQ(Root->get_accName(wrongType, &text), E_INVALIDARG);
    VARIANT empty;
    VariantInit(&empty);
    EXPECT_EQ(Root->get_accName(empty, &text), E_INVALIDARG);
    EXPECT_EQ(Root->get_accName(Child(42), &text), E_INVALIDARG);
    EXPECT_EQ(Root->get_accName(Child(-5), &text), E_INVALIDARG);
    EXPECT_EQ(Root->get_accName(Child(CHILDID_SELF), nullptr), E_POINTER);
    IDispatch* dispatch = nullptr;
    EXPECT_EQ(Root->get_accChild(Child(CHILDID_SELF), &dispatch), E_INVALIDARG);
    EXPECT_EQ(Root->accDoDefaultAction(Child(77)), E_INVALIDARG);

    // A node other than the client speaks only of its own children.
    ASSERT_EQ(Root->get_accChild(Child(1), &dispatch), S_OK);
    IAccessible* button = AccessibleOf(dispatch);
    EXPECT_EQ(button->get_accName(Child(3), &text), E_INVALIDARG);
    EXPECT_EQ(button->put_accName(Child(CHILDID_SELF), nullptr), E_NOTIMPL);
    button->Release();

    // Only the three interfaces.
    IUnknown* other = nullptr;
    EXPECT_EQ(Root->QueryInterface(IID_IStream, reinterpret_cast<void**>(&other)), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    UINT count = 9;
    EXPECT_EQ(Root->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
}

TEST_F(Win32Accessible, ObjectsHeldAfterTheirNodeOrWindowWentAreDisconnected) {
    IDispatch* dispatch = nullptr;
    ASSERT_EQ(Root->get_accChild(Child(3), &dispatch), S_OK);
    IAccessible* item = AccessibleOf(dispatch);
    Tree.Nodes.erase(3);
    BSTR text = nullptr;
    long count = 0;
    EXPECT_EQ(item->get_accName(Child(CHILDID_SELF), &text), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(item->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(Root->get_accName(Child(3), &text), E_INVALIDARG);  // the id is gone for good

    Host->SetAccessibleTree(nullptr);
    EXPECT_EQ(Root->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    // Without a tree the system answers for the client area.
    IAccessible* standard = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(Window, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                         reinterpret_cast<void**>(&standard)),
              S_OK);
    standard->Release();

    Host->SetAccessibleTree(&Tree);
    IAccessible* again = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(Window, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                         reinterpret_cast<void**>(&again)),
              S_OK);
    EXPECT_EQ(again->get_accChildCount(&count), S_OK);
    Host.reset();
    VARIANT role;
    EXPECT_EQ(again->get_accRole(Child(CHILDID_SELF), &role), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(again->accDoDefaultAction(Child(1)), CO_E_OBJNOTCONNECTED);
    again->Release();
    item->Release();
}

struct TSeenEvent {
    DWORD Event;
    HWND Window;
    LONG Object;
    LONG Child;
};
std::vector<TSeenEvent> SeenEvents;

void CALLBACK SeeEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    SeenEvents.push_back({event, window, object, child});
}

TEST_F(Win32Accessible, EventsNameTheClientObjectAndTheNode) {
    SeenEvents.clear();
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_NAMECHANGE, nullptr, SeeEvent,
                                         GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    if (hook == nullptr) GTEST_SKIP() << "the system takes no event hook here";
    Host->NotifyAccessible(AccEvent::Focus, 3);
    Host->NotifyAccessible(AccEvent::NameChange, TAccessibleTree::kClient);
    for (int i = 0; i < 20 && SeenEvents.size() < 2; ++i) {
        Pump();
        Sleep(10);
    }
    UnhookWinEvent(hook);
    ASSERT_EQ(SeenEvents.size(), 2u);
    EXPECT_EQ(SeenEvents[0].Event, static_cast<DWORD>(EVENT_OBJECT_FOCUS));
    EXPECT_EQ(SeenEvents[0].Window, Window);
    EXPECT_EQ(SeenEvents[0].Object, OBJID_CLIENT);
    EXPECT_EQ(SeenEvents[0].Child, 3);
    EXPECT_EQ(SeenEvents[1].Event, static_cast<DWORD>(EVENT_OBJECT_NAMECHANGE));
    EXPECT_EQ(SeenEvents[1].Child, CHILDID_SELF);
}

}  // namespace
}  // namespace marlowen
