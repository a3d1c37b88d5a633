// Walks the accessible trees of a running program's windows from another process, as a screen
// reader does: every child window's client object and the nodes below it, one line per node
// ("depth role name state value left,top widthxheight"). With --focus it prints the focused node,
// with --do NAME it performs the default action of the first node of that name. --serve TITLE
// opens a window whose container serves a small tree and waits (to try the walk without Setup).
//
//   e2e_msaa --title "Caption" | --class CLASS | --pid N  [--focus] [--do NAME]
//   e2e_msaa --serve "Caption" [SECONDS]
// Exit code: 0 done, 1 no window, 2 a call failed, 3 no node of that name.

#include <cstdio>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "platform/Accessibility.h"
#include "platform/win32/Win32Accessible.h"
#include "platform/win32/Win32Api.h"

#include <oleacc.h>

using namespace marlowen;

namespace {

std::wstring Text(BSTR text) {
    std::wstring result = text != nullptr ? std::wstring(text, SysStringLen(text)) : L"";
    SysFreeString(text);
    return result;
}

VARIANT Self() {
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

struct TWalk {
    bool Focus = false;
    std::wstring Do;
    bool Done = false;
    bool Failed = false;
};

void PrintNode(IAccessible* node, int depth) {
    BSTR name = nullptr, value = nullptr;
    VARIANT role, state;
    VariantInit(&role);
    VariantInit(&state);
    long left = 0, top = 0, width = 0, height = 0;
    node->get_accName(Self(), &name);
    node->get_accValue(Self(), &value);
    node->get_accRole(Self(), &role);
    node->get_accState(Self(), &state);
    node->accLocation(&left, &top, &width, &height, Self());
    wprintf(L"%d %ld \"%ls\" 0x%lx \"%ls\" %ld,%ld %ldx%ld\n", depth, role.vt == VT_I4 ? role.lVal : -1L,
            Text(name).c_str(), state.vt == VT_I4 ? static_cast<unsigned long>(state.lVal) : 0ul, Text(value).c_str(),
            left, top, width, height);
}

IAccessible* ObjectOf(VARIANT& answer) {
    IAccessible* object = nullptr;
    if (answer.vt == VT_DISPATCH && answer.pdispVal != nullptr) {
        answer.pdispVal->QueryInterface(kIidAccessible, reinterpret_cast<void**>(&object));
    }
    VariantClear(&answer);
    return object;
}

// The node, then its children in order (first child, then each next sibling).
void Walk(IAccessible* node, int depth, TWalk& walk) {
    PrintNode(node, depth);
    if (!walk.Do.empty() && !walk.Done) {
        BSTR name = nullptr;
        if (node->get_accName(Self(), &name) == S_OK && Text(name) == walk.Do) {
            walk.Done = true;
            if (FAILED(node->accDoDefaultAction(Self()))) walk.Failed = true;
        }
    }
    if (depth > 64) return;
    VARIANT next;
    VariantInit(&next);
    if (node->accNavigate(NAVDIR_FIRSTCHILD, Self(), &next) != S_OK) return;
    IAccessible* child = ObjectOf(next);
    while (child != nullptr) {
        Walk(child, depth + 1, walk);
        VariantInit(&next);
        IAccessible* sibling = child->accNavigate(NAVDIR_NEXT, Self(), &next) == S_OK ? ObjectOf(next) : nullptr;
        child->Release();
        child = sibling;
    }
}

void WalkWindow(HWND window, TWalk& walk) {
    IAccessible* client = nullptr;
    const HRESULT got = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                                   reinterpret_cast<void**>(&client));
    if (FAILED(got) || client == nullptr) {
        fwprintf(stderr, L"window %p: no client object (0x%08lx)\n", static_cast<void*>(window),
                 static_cast<unsigned long>(got));
        walk.Failed = true;
        return;
    }
    wchar_t className[128] = L"";
    GetClassNameW(window, className, 128);
    wprintf(L"# window %p %ls\n", static_cast<void*>(window), className);
    Walk(client, 0, walk);
    if (walk.Focus) {
        VARIANT focus;
        VariantInit(&focus);
        if (client->get_accFocus(&focus) == S_OK) {
            if (focus.vt == VT_I4) {
                wprintf(L"focus: ");
                PrintNode(client, 0);
            } else if (IAccessible* node = ObjectOf(focus)) {
                wprintf(L"focus: ");
                PrintNode(node, 0);
                node->Release();
            }
        }
    }
    client->Release();
}

struct TFind {
    DWORD Process = 0;
    HWND Found = nullptr;
};

BOOL CALLBACK FindOfProcess(HWND window, LPARAM data) {
    auto& find = *reinterpret_cast<TFind*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != find.Process || IsWindowVisible(window) == FALSE) return TRUE;
    find.Found = window;
    return FALSE;
}

BOOL CALLBACK WalkChild(HWND window, LPARAM data) {
    if (IsWindowVisible(window) != FALSE) WalkWindow(window, *reinterpret_cast<TWalk*>(data));
    return TRUE;
}

// A tree for --serve: a button, and a list with one item.
class TDemoTree : public TAccessibleTree {
public:
    bool Describe(int32_t id, TAccessibleDescription& description) const override {
        description = TAccessibleDescription();
        switch (id) {
            case 0: description.Name = "Demo page"; description.Width = 300; description.Height = 200; return true;
            case 1:
                description = {AccRole::PushButton, "Next", "", AccState::Focusable | AccState::Focused, 10, 10, 80, 24,
                               "Press"};
                return true;
            case 2: description = {AccRole::List, "Choices", "", 0, 10, 50, 200, 100, ""}; return true;
            case 3:
                description = {AccRole::ListItem, "First choice", "1", AccState::Selected, 12, 52, 196, 20, "Select"};
                return true;
            default: return false;
        }
    }
    std::vector<int32_t> Children(int32_t id) const override {
        if (id == 0) return {1, 2};
        if (id == 2) return {3};
        return {};
    }
    int32_t Parent(int32_t id) const override { return id == 1 || id == 2 ? 0 : id == 3 ? 2 : kNone; }
    int32_t HitTest(int32_t x, int32_t y) const override {
        return x < 0 || y < 0 || x >= 300 || y >= 200 ? kNone : 0;
    }
    int32_t Focus() const override { return 1; }
    bool DoDefaultAction(int32_t id) override {
        wprintf(L"action %d\n", id);
        fflush(stdout);
        return true;
    }
};

TWin32AccessibleServer* DemoServer = nullptr;

LRESULT CALLBACK DemoProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETOBJECT && DemoServer != nullptr) {
        LRESULT answer = 0;
        if (DemoServer->AnswerGetObject(wParam, lParam, answer)) return answer;
    }
    if (message == TWin32AccessibleServer::kActionMessage && DemoServer != nullptr) {
        DemoServer->PerformPostedAction(wParam, lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int Serve(const wchar_t* title, int seconds) {
    WNDCLASSW type{};
    type.lpfnWndProc = DemoProcedure;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"E2EAccessibleDemo";
    RegisterClassW(&type);
    HWND frame = CreateWindowExW(0, L"E2EAccessibleDemo", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 320, 240,
                                 nullptr, nullptr, type.hInstance, nullptr);
    HWND container = CreateWindowExW(0, L"E2EAccessibleDemo", L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, frame,
                                     nullptr, type.hInstance, nullptr);
    TDemoTree tree;
    TWin32AccessibleServer server;
    server.SetTree(container, &tree);
    DemoServer = &server;
    wprintf(L"serving %ls\n", title);
    fflush(stdout);
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (GetTickCount() < end) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) DispatchMessageW(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    DemoServer = nullptr;
    server.Disconnect();
    DestroyWindow(frame);
    return 0;
}

}  // namespace

int wmain(int count, wchar_t** words) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HWND top = nullptr;
    TWalk walk;
    for (int i = 1; i < count; ++i) {
        const std::wstring word = words[i];
        const wchar_t* next = i + 1 < count ? words[i + 1] : nullptr;
        if (word == L"--serve" && next != nullptr) {
            return Serve(next, i + 2 < count ? _wtoi(words[i + 2]) : 60);
        } else if (word == L"--title" && next != nullptr) {
            top = FindWindowW(nullptr, next);
            ++i;
        } else if (word == L"--class" && next != nullptr) {
            top = FindWindowW(next, nullptr);
            ++i;
        } else if (word == L"--pid" && next != nullptr) {
            TFind find;
            find.Process = static_cast<DWORD>(_wtoi(next));
            EnumWindows(FindOfProcess, reinterpret_cast<LPARAM>(&find));
            top = find.Found;
            ++i;
        } else if (word == L"--focus") {
            walk.Focus = true;
        } else if (word == L"--do" && next != nullptr) {
            walk.Do = next;
            ++i;
        }
    }
    if (top == nullptr) {
        fwprintf(stderr, L"no window\n");
        return 1;
    }
    EnumChildWindows(top, WalkChild, reinterpret_cast<LPARAM>(&walk));
    fflush(stdout);
    if (walk.Failed) return 2;
    if (!walk.Do.empty() && !walk.Done) return 3;
    return 0;
}
