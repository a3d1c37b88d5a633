#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/LifeToken.h"
#include "platform/FormHost.h"
#include "platform/HintPopup.h"

namespace marlowen {

class THeadlessFormHost;
class THeadlessWindowHost;

// The virtual screen that headless forms live on: its work area, our forms in z-order and the
// windows of other programs (rectangles a test places).
class THeadlessScreen {
public:
    // A 1024 x 768 screen with a 30-pixel task bar at the bottom.
    static constexpr TScreenRect kDefaultWorkArea{0, 0, 1024, 738};

    TScreenRect WorkArea = kDefaultWorkArea;
    // The dots per inch the forms made from now on are at.
    int32_t Dpi = kDefaultDpi;
    // Visible windows of other programs.
    std::vector<TScreenRect> ForeignWindows;

    // Our forms alive, the bottom one first.
    const std::vector<THeadlessFormHost*>& Forms() const { return Forms_; }
    // The active form (the one with the focus); none when no form of ours is active.
    THeadlessFormHost* ActiveForm() const { return Active_; }

    // What the person does while a form runs modally: whenever no message is waiting, the next
    // step runs. A modal run that still waits when no step is left raises, since nothing else
    // would ever end it.
    std::deque<std::function<void()>> ModalSteps;
    // Delivers the messages waiting in the windows' queue; set by the window collection.
    std::function<void()> PumpWindows;

    // Delivers every waiting message: the windows' queue and the messages posted to forms, until
    // none is left.
    void DeliverMessages();

private:
    friend class THeadlessFormHost;

    std::vector<THeadlessFormHost*> Forms_;
    THeadlessFormHost* Active_ = nullptr;
};

// A border-less top-level form on the virtual screen. Windows of graph containers attached to it
// move with it; it records the shape it was given.
class THeadlessFormHost : public TFormHost {
public:
    // A visible form without events (a bare frame for dragging), or, with events, a hidden form
    // whose activation, hiding, closing, resizing and posted messages go to them.
    THeadlessFormHost(THeadlessScreen& screen, const TScreenRect& bounds, TFormHostEvents* events = nullptr);
    ~THeadlessFormHost() override;
    THeadlessFormHost(const THeadlessFormHost&) = delete;
    THeadlessFormHost& operator=(const THeadlessFormHost&) = delete;
    const TLifeToken& LifeToken() const { return Life_; }

    // TFormHost
    TScreenRect Bounds() const override { return Bounds_; }
    int32_t Dpi() const override { return Dpi_; }
    void MoveTo(int32_t left, int32_t top) override;
    TScreenRect WorkArea() const override { return Screen_.WorkArea; }
    std::vector<TScreenRect> OtherWindows() const override;
    void SetShape(const std::vector<TScreenRect>& rectangles) override;
    void SetBounds(const TScreenRect& bounds) override;
    bool Maximized() const override { return Maximized_; }
    void AttachWindow(TWindowHost& window) override;
    void Show() override { Visible_ = true; }
    // Hides the form; an active form becomes inactive first.
    void Hide() override;
    bool Visible() const override { return Visible_; }
    void Close() override;
    // Minimises at once (the posted command is not queued headless); the hint-free form stays
    // where it is.
    void Minimize() override { Minimized_ = true; }
    bool Minimized() const override { return Minimized_; }
    // Raises the form to the top of the screen, shows it and activates it: the form active before
    // receives Inactive, then this one Active.
    void BringToFront() override;
    void SetEnabled(bool enabled) override { Enabled_ = enabled; }
    bool Enabled() const override { return Enabled_; }
    // Restore, move, size, minimize, maximize and close, less the items removed.
    std::vector<uint32_t> SystemMenu() const override { return SystemMenu_; }
    void RemoveSystemMenuItem(uint32_t command) override;
    void SetOwner(TFormHost* owner) override { Owner_ = owner; }
    void PostMessage(uint32_t message) override { Posted_.push_back(message); }
    // Shows and activates the form, then delivers messages and runs the screen's modal steps
    // until the form is hidden or freed or the application terminates.
    void RunModal(const TApplication& application) override;

    void SetVisible(bool visible) { Visible_ = visible; }
    void SetSize(int32_t width, int32_t height);
    void SetMaximized(bool maximized) { Maximized_ = maximized; }
    TFormHost* Owner() const { return Owner_; }
    // Test injector: the system (de)activates the form, as a click or Alt+Tab would.
    void Activate(TFormActivation state);
    // Test injectors: the form is on a display of these dots per inch from now on; moved there,
    // it is told so with the rectangle the system suggests (FormDpiChanged).
    void SetDpi(int32_t dpi) { Dpi_ = dpi; }
    void MoveToDpi(int32_t dpi, const TScreenRect& suggested);
    // Delivers the oldest posted message; false when none was waiting. The events may free the
    // form while handling it: call no more on it then.
    bool DeliverNextMessage();
    size_t PostedCount() const { return Posted_.size(); }
    // Puts the window at (x, y) of the form; it follows every move of the form until either goes.
    void AttachHost(THeadlessWindowHost& host, int32_t x = 0, int32_t y = 0);
    void DetachHost(THeadlessWindowHost& host);

    // The last shape (empty: none), and how often one was set.
    const std::vector<TScreenRect>& Shape() const { return Shape_; }
    int32_t ShapeCount() const { return ShapeCount_; }
    // Whether the screen point lies on the form: inside its rectangle and its shape.
    bool Covers(int32_t screenX, int32_t screenY) const;
    int32_t MoveCount() const { return MoveCount_; }

private:
    struct TAttached {
        THeadlessWindowHost* Host;
        int32_t X;
        int32_t Y;
    };
    void PlaceHosts();

    THeadlessScreen& Screen_;
    TFormHostEvents* Events_;
    TScreenRect Bounds_;
    int32_t Dpi_;
    bool Visible_ = true;
    bool Maximized_ = false;
    bool Minimized_ = false;
    bool Enabled_ = true;
    TFormHost* Owner_ = nullptr;
    std::vector<uint32_t> SystemMenu_;
    std::vector<uint32_t> Posted_;
    std::vector<TAttached> Hosts_;
    std::vector<TScreenRect> Shape_;
    int32_t ShapeCount_ = 0;
    int32_t MoveCount_ = 0;
    // Ended when the form goes, so a modal run learns that its form was freed under it.
    TLifeToken Life_;
};

// The hint popup of a headless GUI: it records what it shows. Its font is fixed: at 96 dots per
// inch every character is 6 pixels wide, a line 13 pixels high, both scaled by dpi / 96 (rounded
// down) elsewhere; lines break at spaces and line feeds. Every point of the screen has its DPI.
class THeadlessHintPopup : public THintPopup {
public:
    static constexpr int32_t kCharWidth = 6;
    static constexpr int32_t kLineHeight = 13;

    explicit THeadlessHintPopup(const THeadlessScreen& screen) : Screen_(screen) {}

    TScreenRect WorkArea() const override { return Screen_.WorkArea; }
    int32_t DpiAt(int32_t, int32_t) const override { return Screen_.Dpi; }
    void MeasureText(const std::u16string& text, int32_t maxWidth, int32_t dpi, int32_t& width,
                     int32_t& height) const override;
    void Show(const THintPicture& picture) override;
    void Hide() override;
    bool Showing() const override { return Showing_; }

    // What was shown last (also after hiding), how often it was shown and released.
    const THintPicture& Picture() const { return Picture_; }
    int32_t ShowCount() const { return ShowCount_; }
    int32_t HideCount() const { return HideCount_; }
    // The lines the text breaks into at a width, as the popup lays them out.
    static std::vector<std::u16string> WrapLines(const std::u16string& text, int32_t maxWidth,
                                                 int32_t charWidth = kCharWidth);

private:
    const THeadlessScreen& Screen_;
    THintPicture Picture_;
    bool Showing_ = false;
    int32_t ShowCount_ = 0;
    int32_t HideCount_ = 0;
};

}  // namespace marlowen
