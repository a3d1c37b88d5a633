#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/LifeToken.h"
#include "platform/FormHost.h"
#include "platform/win32/Win32Window.h"

namespace marlowen {

class TWin32ChildWindow;
class TWin32WindowHosts;

// The border-less top-level form (WS_POPUP) that holds container windows. It is made hidden;
// its client area is its whole window, so the shape's rectangles are the window region's.
class TWin32FormHost : public TWin32Window, public TFormHost {
public:
    TWin32FormHost(TWin32WindowHosts& hosts, TFormHostEvents& events, int32_t width, int32_t height);
    // The windows still inside go back to the parking window and live on.
    ~TWin32FormHost() override;
    const TLifeToken& LifeToken() const { return Life_; }

    // TFormHost
    TScreenRect Bounds() const override;
    int32_t Dpi() const override;
    void MoveTo(int32_t left, int32_t top) override;
    TScreenRect WorkArea() const override;
    std::vector<TScreenRect> OtherWindows() const override;
    void SetShape(const std::vector<TScreenRect>& rectangles) override;
    void SetBounds(const TScreenRect& bounds) override;
    bool Maximized() const override;
    void AttachWindow(TWindowHost& window) override;
    void Show() override;
    void Hide() override;
    bool Visible() const override;
    void Close() override;
    void Minimize() override;
    bool Minimized() const override;
    void BringToFront() override;
    void SetEnabled(bool enabled) override;
    bool Enabled() const override;
    std::vector<uint32_t> SystemMenu() const override;
    void RemoveSystemMenuItem(uint32_t command) override;
    void SetOwner(TFormHost* owner) override;
    void PostMessage(uint32_t message) override;
    void RunModal(const TApplication& application) override;

    // A window inside that goes away.
    void DetachWindow(TWin32ChildWindow& window);
    // Every window of the form lets the pointer go (hover looks and hints end).
    void DropPointer();
    // Gives the focus to the window after (or before) `from` among the visible windows inside.
    void FocusNextWindow(TWin32ChildWindow& from, bool forward);
    // The region last set, as rectangles (empty: none).
    const std::vector<TScreenRect>& Shape() const { return Shape_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FocusFirstWindow();

    TWin32WindowHosts& Hosts_;
    TFormHostEvents& Events_;
    std::vector<TWin32ChildWindow*> Windows_;
    std::vector<TScreenRect> Shape_;
    int32_t LastWidth_ = 0;
    int32_t LastHeight_ = 0;
    // Ended when the form goes, so a modal run or a handler learns that its form was freed.
    TLifeToken Life_;
};

}  // namespace marlowen
