#include "platform/win32/Win32Accessible.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/win32/Win32Text.h"

namespace marlowen {

namespace {

// Deeper than any window's tree: a walk up that goes on longer has met a loop.
constexpr int kMaxDepth = 4096;

void SetEmpty(VARIANT* result) {
    VariantInit(result);
    result->vt = VT_EMPTY;
}

void SetInt(VARIANT* result, LONG value) {
    VariantInit(result);
    result->vt = VT_I4;
    result->lVal = value;
}

HRESULT SetText(const std::string& text, BSTR* result) {
    *result = nullptr;
    if (text.empty()) return S_FALSE;
    const std::wstring wide = WideText(text);
    *result = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return *result != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

TWin32Accessible::TWin32Accessible(std::shared_ptr<TWin32AccessibleLink> link, int32_t id)
    : Link_(std::move(link)), Id_(id) {}

HRESULT TWin32Accessible::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kIidAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    if (IsEqualIID(iid, IID_IEnumVARIANT)) {
        *object = static_cast<IEnumVARIANT*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG TWin32Accessible::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&References_)); }

ULONG TWin32Accessible::Release() {
    const LONG left = InterlockedDecrement(&References_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT TWin32Accessible::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT TWin32Accessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT TWin32Accessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT TWin32Accessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

TAccessibleTree* TWin32Accessible::Connected() const {
    TAccessibleTree* tree = Link_->Tree;
    if (tree == nullptr || Link_->Window == nullptr || IsWindow(Link_->Window) == FALSE) return nullptr;
    TAccessibleDescription description;
    return tree->Describe(Id_, description) ? tree : nullptr;
}

bool TWin32Accessible::IsBelow(const TAccessibleTree& tree, int32_t id) const {
    for (int depth = 0; depth < kMaxDepth && id > 0; ++depth) {
        id = tree.Parent(id);
        if (id == Id_) return true;
    }
    return false;
}

HRESULT TWin32Accessible::Resolve(const VARIANT& child, int32_t& id, TAccessibleDescription* description) const {
    TAccessibleTree* tree = Connected();
    if (tree == nullptr) return CO_E_OBJNOTCONNECTED;
    if (child.vt != VT_I4) return E_INVALIDARG;
    const LONG wanted = child.lVal;
    if (wanted == CHILDID_SELF) {
        id = Id_;
    } else {
        // The client object speaks of every node by its id (events name nodes so); another node
        // only of its own children.
        if (wanted <= 0) return E_INVALIDARG;
        const bool known = Id_ == TAccessibleTree::kClient ? IsBelow(*tree, wanted) : tree->Parent(wanted) == Id_;
        if (!known) return E_INVALIDARG;
        id = wanted;
    }
    TAccessibleDescription scratch;
    if (!tree->Describe(id, description != nullptr ? *description : scratch)) return E_INVALIDARG;
    return S_OK;
}

IDispatch* TWin32Accessible::ObjectFor(int32_t id) const { return new TWin32Accessible(Link_, id); }

HRESULT TWin32Accessible::Answer(const TAccessibleTree& tree, int32_t id, VARIANT* result) const {
    if (id == Id_) {
        SetInt(result, CHILDID_SELF);
        return S_OK;
    }
    if (id > 0 && IsBelow(tree, id)) {
        VariantInit(result);
        result->vt = VT_DISPATCH;
        result->pdispVal = ObjectFor(id);
        return S_OK;
    }
    SetEmpty(result);
    return S_FALSE;
}

HRESULT TWin32Accessible::get_accParent(IDispatch** parent) {
    if (parent == nullptr) return E_POINTER;
    *parent = nullptr;
    TAccessibleTree* tree = Connected();
    if (tree == nullptr) return CO_E_OBJNOTCONNECTED;
    if (Id_ == TAccessibleTree::kClient) {
        // Above the client area is the window itself, which the system describes.
        return AccessibleObjectFromWindow(Link_->Window, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                          reinterpret_cast<void**>(parent));
    }
    const int32_t above = tree->Parent(Id_);
    if (above == TAccessibleTree::kNone) return CO_E_OBJNOTCONNECTED;
    *parent = ObjectFor(above);
    return S_OK;
}

HRESULT TWin32Accessible::get_accChildCount(long* count) {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    TAccessibleTree* tree = Connected();
    if (tree == nullptr) return CO_E_OBJNOTCONNECTED;
    *count = static_cast<long>(tree->Children(Id_).size());
    return S_OK;
}

HRESULT TWin32Accessible::get_accChild(VARIANT child, IDispatch** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    int32_t id = 0;
    const HRESULT resolved = Resolve(child, id);
    if (FAILED(resolved)) return resolved;
    if (id == Id_) return E_INVALIDARG;  // not a child of itself
    *object = ObjectFor(id);
    return S_OK;
}

HRESULT TWin32Accessible::TextOf(const VARIANT& child, std::string TAccessibleDescription::*field, BSTR* text) const {
    if (text == nullptr) return E_POINTER;
    *text = nullptr;
    int32_t id = 0;
    TAccessibleDescription description;
    const HRESULT resolved = Resolve(child, id, &description);
    if (FAILED(resolved)) return resolved;
    return SetText(description.*field, text);
}

HRESULT TWin32Accessible::get_accName(VARIANT child, BSTR* name) {
    return TextOf(child, &TAccessibleDescription::Name, name);
}

HRESULT TWin32Accessible::get_accValue(VARIANT child, BSTR* value) {
    return TextOf(child, &TAccessibleDescription::Value, value);
}

HRESULT TWin32Accessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    return TextOf(child, &TAccessibleDescription::DefaultAction, action);
}

HRESULT TWin32Accessible::get_accDescription(VARIANT child, BSTR* description) {
    static const std::string kNone;
    if (description == nullptr) return E_POINTER;
    *description = nullptr;
    int32_t id = 0;
    const HRESULT resolved = Resolve(child, id);
    return FAILED(resolved) ? resolved : SetText(kNone, description);
}

HRESULT TWin32Accessible::get_accHelp(VARIANT child, BSTR* help) { return get_accDescription(child, help); }

HRESULT TWin32Accessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    return TextOf(child, &TAccessibleDescription::KeyboardShortcut, shortcut);
}

HRESULT TWin32Accessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
    if (file == nullptr || topic == nullptr) return E_POINTER;
    *file = nullptr;
    *topic = 0;
    int32_t id = 0;
    const HRESULT resolved = Resolve(child, id);
    return FAILED(resolved) ? resolved : S_FALSE;
}

HRESULT TWin32Accessible::get_accRole(VARIANT child, VARIANT* role) {
    if (role == nullptr) return E_POINTER;
    SetEmpty(role);
    int32_t id = 0;
    TAccessibleDescription description;
    const HRESULT resolved = Resolve(child, id, &description);
    if (FAILED(resolved)) return resolved;
    SetInt(role, description.Role);
    return S_OK;
}

HRESULT TWin32Accessible::get_accState(VARIANT child, VARIANT* state) {
    if (state == nullptr) return E_POINTER;
    SetEmpty(state);
    int32_t id = 0;
    TAccessibleDescription description;
    const HRESULT resolved = Resolve(child, id, &description);
    if (FAILED(resolved)) return resolved;
    SetInt(state, static_cast<LONG>(description.State));
    return S_OK;
}

HRESULT TWin32Accessible::get_accFocus(VARIANT* focus) {
    if (focus == nullptr) return E_POINTER;
    SetEmpty(focus);
    TAccessibleTree* tree = Connected();
    if (tree == nullptr) return CO_E_OBJNOTCONNECTED;
    return Answer(*tree, tree->Focus(), focus);
}

HRESULT TWin32Accessible::get_accSelection(VARIANT* selection) {
    if (selection == nullptr) return E_POINTER;
    SetEmpty(selection);
    return Connected() != nullptr ? S_FALSE : CO_E_OBJNOTCONNECTED;
}

HRESULT TWin32Accessible::accSelect(long, VARIANT child) {
    int32_t id = 0;
    const HRESULT resolved = Resolve(child, id);
    return FAILED(resolved) ? resolved : DISP_E_MEMBERNOTFOUND;
}

HRESULT TWin32Accessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
    *left = *top = *width = *height = 0;
    int32_t id = 0;
    TAccessibleDescription description;
    const HRESULT resolved = Resolve(child, id, &description);
    if (FAILED(resolved)) return resolved;
    POINT origin{description.Left, description.Top};
    ClientToScreen(Link_->Window, &origin);
    *left = origin.x;
    *top = origin.y;
    *width = std::max(description.Width, 0);
    *height = std::max(description.Height, 0);
    return S_OK;
}

HRESULT TWin32Accessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (end == nullptr) return E_POINTER;
    SetEmpty(end);
    int32_t from = 0;
    const HRESULT resolved = Resolve(start, from);
    if (FAILED(resolved)) return resolved;
    TAccessibleTree& tree = *Link_->Tree;
    int32_t to = TAccessibleTree::kNone;
    switch (direction) {
        case NAVDIR_FIRSTCHILD:
        case NAVDIR_LASTCHILD: {
            const std::vector<int32_t> children = tree.Children(from);
            if (!children.empty()) to = direction == NAVDIR_FIRSTCHILD ? children.front() : children.back();
            break;
        }
        case NAVDIR_NEXT:
        case NAVDIR_DOWN:
        case NAVDIR_RIGHT:
        case NAVDIR_PREVIOUS:
        case NAVDIR_UP:
        case NAVDIR_LEFT: {
            if (from == TAccessibleTree::kClient) break;  // the window's siblings are the system's
            const std::vector<int32_t> siblings = tree.Children(tree.Parent(from));
            const auto at = std::find(siblings.begin(), siblings.end(), from);
            if (at == siblings.end()) break;
            const bool forward = direction == NAVDIR_NEXT || direction == NAVDIR_DOWN || direction == NAVDIR_RIGHT;
            if (forward && at + 1 != siblings.end()) to = *(at + 1);
            if (!forward && at != siblings.begin()) to = *(at - 1);
            break;
        }
        default: return E_INVALIDARG;
    }
    TAccessibleDescription description;
    if (to == TAccessibleTree::kNone || !tree.Describe(to, description)) return S_FALSE;
    VariantInit(end);
    end->vt = VT_DISPATCH;
    end->pdispVal = ObjectFor(to);
    return S_OK;
}

HRESULT TWin32Accessible::accHitTest(long left, long top, VARIANT* child) {
    if (child == nullptr) return E_POINTER;
    SetEmpty(child);
    TAccessibleTree* tree = Connected();
    if (tree == nullptr) return CO_E_OBJNOTCONNECTED;
    POINT point{left, top};
    ScreenToClient(Link_->Window, &point);
    return Answer(*tree, tree->HitTest(point.x, point.y), child);
}

HRESULT TWin32Accessible::accDoDefaultAction(VARIANT child) {
    int32_t id = 0;
    TAccessibleDescription description;
    const HRESULT resolved = Resolve(child, id, &description);
    if (FAILED(resolved)) return resolved;
    if (description.DefaultAction.empty()) return DISP_E_MEMBERNOTFOUND;
    if (PostMessageW(Link_->Window, TWin32AccessibleServer::kActionMessage, static_cast<WPARAM>(id),
                     static_cast<LPARAM>(Link_->Generation)) == FALSE) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    return S_OK;
}

HRESULT TWin32Accessible::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }

HRESULT TWin32Accessible::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }

TWin32AccessibleServer::~TWin32AccessibleServer() { Disconnect(); }

void TWin32AccessibleServer::SetTree(HWND window, TAccessibleTree* tree) {
    Disconnect();
    if (tree == nullptr || window == nullptr) return;
    Link_ = std::make_shared<TWin32AccessibleLink>();
    Link_->Tree = tree;
    Link_->Window = window;
    Link_->Generation = ++Generations_;
}

void TWin32AccessibleServer::Disconnect() {
    if (Link_ == nullptr) return;
    Link_->Tree = nullptr;
    Link_->Window = nullptr;
    Link_.reset();
}

bool TWin32AccessibleServer::AnswerGetObject(WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // The object id is a DWORD; a 64-bit system may pass it without sign extension.
    if (Link_ == nullptr || static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT) return false;
    auto* root = new TWin32Accessible(Link_, TAccessibleTree::kClient);
    result = LresultFromObject(kIidAccessible, wParam, static_cast<IAccessible*>(root));
    root->Release();
    return true;
}

void TWin32AccessibleServer::PerformPostedAction(WPARAM wParam, LPARAM lParam) {
    if (Link_ == nullptr || static_cast<uint32_t>(lParam) != Link_->Generation) return;
    const auto id = static_cast<int32_t>(wParam);
    if (id >= 0) Link_->Tree->DoDefaultAction(id);
}

void TWin32AccessibleServer::Notify(uint32_t event, int32_t id) const {
    if (Link_ == nullptr || id < 0) return;
    NotifyWinEvent(event, Link_->Window, OBJID_CLIENT, id == TAccessibleTree::kClient ? CHILDID_SELF : id);
}

// --- IEnumVARIANT ---

bool TWin32Accessible::EnsureEnumerated() {
    if (HasEnumerated_) return true;
    TAccessibleTree* tree = Connected();
    if (tree == nullptr) return false;
    Enumerated_ = tree->Children(Id_);
    HasEnumerated_ = true;
    Cursor_ = 0;
    return true;
}

HRESULT TWin32Accessible::Next(ULONG count, VARIANT* items, ULONG* fetched) {
    if (fetched != nullptr) *fetched = 0;
    if (count == 0) return S_OK;
    if (items == nullptr || (count > 1 && fetched == nullptr)) return E_POINTER;
    if (!EnsureEnumerated()) return CO_E_OBJNOTCONNECTED;
    ULONG given = 0;
    while (given < count && Cursor_ < Enumerated_.size()) {
        VariantInit(&items[given]);
        items[given].vt = VT_DISPATCH;
        items[given].pdispVal = ObjectFor(Enumerated_[Cursor_++]);
        ++given;
    }
    if (fetched != nullptr) *fetched = given;
    return given == count ? S_OK : S_FALSE;
}

HRESULT TWin32Accessible::Skip(ULONG count) {
    if (!EnsureEnumerated()) return CO_E_OBJNOTCONNECTED;
    const size_t left = Enumerated_.size() - Cursor_;
    Cursor_ += std::min<size_t>(count, left);
    return count <= left ? S_OK : S_FALSE;
}

HRESULT TWin32Accessible::Reset() {
    HasEnumerated_ = false;
    Enumerated_.clear();
    Cursor_ = 0;
    return Connected() != nullptr ? S_OK : CO_E_OBJNOTCONNECTED;
}

HRESULT TWin32Accessible::Clone(IEnumVARIANT** copy) {
    if (copy == nullptr) return E_POINTER;
    *copy = nullptr;
    if (Connected() == nullptr) return CO_E_OBJNOTCONNECTED;
    auto* clone = new TWin32Accessible(Link_, Id_);
    clone->Enumerated_ = Enumerated_;
    clone->HasEnumerated_ = HasEnumerated_;
    clone->Cursor_ = Cursor_;
    *copy = static_cast<IEnumVARIANT*>(clone);
    return S_OK;
}

}  // namespace marlowen
