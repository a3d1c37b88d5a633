#include "platform/win32/Win32WindowHosts.h"

#include "platform/Application.h"
#include "platform/win32/Win32ChildWindow.h"
#include "platform/win32/Win32FormHost.h"
#include "platform/win32/Win32Gdi.h"
#include "platform/win32/Win32HintPopup.h"
#include "platform/win32/Win32PopupWindow.h"

namespace marlowen {

namespace {

constexpr wchar_t kChildClass[] = L"MarlowenGraphContainer";
constexpr wchar_t kFormClass[] = L"MarlowenSkinForm";
constexpr wchar_t kHintClass[] = L"MarlowenHint";
constexpr wchar_t kPopupClass[] = L"MarlowenPopup";

}  // namespace

struct TWin32WindowHosts::TClasses {
    // No double-click messages: the system would make the second press of one into such a
    // message, and only the edits listen to double clicks. The child windows tell them apart
    // themselves (TDoubleClickTracker). The hint casts a shadow.
    TWindowClass Child{kChildClass, CS_HREDRAW | CS_VREDRAW, &TWin32Window::Procedure};
    TWindowClass Form{kFormClass, CS_HREDRAW | CS_VREDRAW, &TWin32Window::Procedure};
    TWindowClass Hint{kHintClass, CS_DROPSHADOW | CS_SAVEBITS, &TWin32Window::Procedure};
    // Menu popups save what they cover and cast a shadow too.
    TWindowClass Popup{kPopupClass, CS_DROPSHADOW | CS_SAVEBITS, &TWin32Window::Procedure};
    // A hidden top-level window of the predefined static class: a parent for windows in no form.
    TWindowHandle Parking{CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                          GetModuleHandleW(nullptr), nullptr)};
};

TWin32WindowHosts::TWin32WindowHosts(const TApplication& application) : Application_(application) {}

// The hint goes first, then the parking window, then the classes.
TWin32WindowHosts::~TWin32WindowHosts() {
    Hint_.reset();
    if (Classes_ != nullptr) Classes_->Parking.Reset();
}

TWin32WindowHosts::TClasses& TWin32WindowHosts::Classes() {
    if (Classes_ == nullptr) {
        auto classes = std::make_unique<TClasses>();
        if (!classes->Parking) RaiseLastError("CreateWindowEx");
        Classes_ = std::move(classes);
    }
    return *Classes_;
}

const wchar_t* TWin32WindowHosts::ChildClass() { return Classes().Child.Name(); }
const wchar_t* TWin32WindowHosts::FormClass() { return Classes().Form.Name(); }
const wchar_t* TWin32WindowHosts::HintClass() { return Classes().Hint.Name(); }
const wchar_t* TWin32WindowHosts::PopupClass() { return Classes().Popup.Name(); }
HWND TWin32WindowHosts::ParkingWindow() { return Classes().Parking.Get(); }

std::string TWin32WindowHosts::Title() const { return Application_.Title(); }

std::unique_ptr<TWindowHost> TWin32WindowHosts::CreateHost(TWindowHostEvents& events, int32_t width, int32_t height) {
    return std::make_unique<TWin32ChildWindow>(*this, events, width, height);
}

std::unique_ptr<TFormHost> TWin32WindowHosts::CreateForm(TFormHostEvents& events, int32_t width, int32_t height) {
    return std::make_unique<TWin32FormHost>(*this, events, width, height);
}

THintPopup& TWin32WindowHosts::HintPopup() {
    if (Hint_ == nullptr) Hint_ = std::make_unique<TWin32HintPopup>(*this);
    return *Hint_;
}

std::unique_ptr<TPopupWindow> TWin32WindowHosts::CreatePopup(TWindowHostEvents& events, int32_t width,
                                                             int32_t height) {
    return std::make_unique<TWin32PopupWindow>(*this, events, width, height);
}

}  // namespace marlowen
