#pragma once

#include <memory>
#include <string>

#include "platform/WindowHost.h"
#include "platform/win32/Win32Api.h"

namespace marlowen {

class TApplication;
class TWin32HintPopup;
class TWindowClass;
class TWin32Window;

// The windows of graph containers on Windows: child windows, the border-less forms that hold
// them and the hint popup. The window classes and the hidden parking window (where a container's
// window waits until a form takes it) are made on first use and go with this object, which
// outlives every window it made. Failures raise with the system's message.
class TWin32WindowHosts : public TWindowHosts {
public:
    // Forms take the application's title as their caption (the task bar shows it).
    explicit TWin32WindowHosts(const TApplication& application);
    ~TWin32WindowHosts() override;
    TWin32WindowHosts(const TWin32WindowHosts&) = delete;
    TWin32WindowHosts& operator=(const TWin32WindowHosts&) = delete;

    std::unique_ptr<TWindowHost> CreateHost(TWindowHostEvents& events, int32_t width, int32_t height) override;
    std::unique_ptr<TFormHost> CreateForm(TFormHostEvents& events, int32_t width, int32_t height) override;
    THintPopup& HintPopup() override;
    std::unique_ptr<TPopupWindow> CreatePopup(TWindowHostEvents& events, int32_t width, int32_t height) override;

    const wchar_t* ChildClass();
    const wchar_t* FormClass();
    const wchar_t* HintClass();
    const wchar_t* PopupClass();
    HWND ParkingWindow();
    std::string Title() const;

private:
    struct TClasses;
    TClasses& Classes();

    const TApplication& Application_;
    std::unique_ptr<TClasses> Classes_;
    std::unique_ptr<TWin32HintPopup> Hint_;
};

}  // namespace marlowen
