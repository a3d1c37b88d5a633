#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Accessibility.h"
#include "platform/win32/Win32Api.h"

#include <oleacc.h>

namespace marlowen {

// IID_IAccessible by value: the import library of oleacc exports the name as a code thunk, and
// linking against it silently gives an address that is not the interface id.
inline constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// What every IAccessible object of one window shares: the window and the tree it serves. The
// window clears it when the tree goes or the window is destroyed; objects that clients still
// hold then answer that they are no longer connected.
struct TWin32AccessibleLink {
    TAccessibleTree* Tree = nullptr;
    HWND Window = nullptr;
    // Tells a posted action of this link from one of a later tree.
    uint32_t Generation = 0;
};

// One node of a window's tree as an IAccessible object. Every node is a full object: its
// children, parent and navigation targets are objects too, so a client never has to speak of a
// node by the id of another. Arguments come from other processes and are checked before use.
// The object also enumerates its children (IEnumVARIANT): clients that list children through
// AccessibleChildren would otherwise ask for them by position, which node ids are not.
class TWin32Accessible final : public IAccessible, public IEnumVARIANT {
public:
    // Starts with one reference, the caller's.
    TWin32Accessible(std::shared_ptr<TWin32AccessibleLink> link, int32_t id);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch (no type information: clients call IAccessible directly)
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argument) override;

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

    // IEnumVARIANT: the children as objects, from a list taken at the first Next after Reset.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override;

private:
    ~TWin32Accessible() = default;

    // The tree while this object's node is still in it; none when the window, the tree or the
    // node is gone.
    TAccessibleTree* Connected() const;
    // The node a child argument names: this node for CHILDID_SELF, else (only as an I4) any node
    // of the tree below the client object, or a child of another node. S_OK, E_INVALIDARG or
    // CO_E_OBJNOTCONNECTED.
    HRESULT Resolve(const VARIANT& child, int32_t& id, TAccessibleDescription* description = nullptr) const;
    // Whether `id` lies below this node (bounded: a faulty tree with a loop ends the walk).
    bool IsBelow(const TAccessibleTree& tree, int32_t id) const;
    // A node as the answer of a point or focus query: itself as CHILDID_SELF, one below as its
    // object, anything else as nothing (S_FALSE).
    HRESULT Answer(const TAccessibleTree& tree, int32_t id, VARIANT* result) const;
    HRESULT TextOf(const VARIANT& child, std::string TAccessibleDescription::*field, BSTR* text) const;
    IDispatch* ObjectFor(int32_t id) const;

    // Takes the children's list when the enumeration has none.
    bool EnsureEnumerated();

    LONG References_ = 1;
    std::shared_ptr<TWin32AccessibleLink> Link_;
    int32_t Id_;
    std::vector<int32_t> Enumerated_;
    bool HasEnumerated_ = false;
    size_t Cursor_ = 0;
};

// The tree a window serves and the answer to the window's WM_GETOBJECT. Changing or clearing
// the tree, and destroying the server, disconnect every object handed out for the old one.
class TWin32AccessibleServer {
public:
    // A message the server posts to its window to perform a default action after the client's
    // call returned (an action may open a modal box; the client must not wait for it).
    static constexpr UINT kActionMessage = WM_APP + 0x60;

    TWin32AccessibleServer() = default;
    ~TWin32AccessibleServer();
    TWin32AccessibleServer(const TWin32AccessibleServer&) = delete;
    TWin32AccessibleServer& operator=(const TWin32AccessibleServer&) = delete;

    void SetTree(HWND window, TAccessibleTree* tree);
    void Disconnect();
    bool Serving() const { return Link_ != nullptr; }

    // WM_GETOBJECT: true with the answer for the client object while a tree is set; false for
    // the system's default answer.
    bool AnswerGetObject(WPARAM wParam, LPARAM lParam, LRESULT& result);
    // kActionMessage: performs the posted default action if the tree that took it is still set.
    void PerformPostedAction(WPARAM wParam, LPARAM lParam);
    // Raises an event for assistive technology (the client for kClient).
    void Notify(uint32_t event, int32_t id) const;

private:
    std::shared_ptr<TWin32AccessibleLink> Link_;
    uint32_t Generations_ = 0;
};

}  // namespace marlowen
