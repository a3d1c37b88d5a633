#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
    // Visible windows of other programs.
    std::vector<TScreenRect> ForeignWindows;

    // Our forms alive, the bottom one first.
    const std::vector<THeadlessFormHost*>& Forms() const { return Forms_; }

private:
    friend class THeadlessFormHost;

    std::vector<THeadlessFormHost*> Forms_;
};

// A border-less top-level form on the virtual screen. Windows of graph containers attached to it
// move with it; it records the shape it was given.
class THeadlessFormHost : public TFormHost {
public:
    THeadlessFormHost(THeadlessScreen& screen, const TScreenRect& bounds);
    ~THeadlessFormHost() override;
    THeadlessFormHost(const THeadlessFormHost&) = delete;
    THeadlessFormHost& operator=(const THeadlessFormHost&) = delete;

    // TFormHost
    TScreenRect Bounds() const override { return Bounds_; }
    void MoveTo(int32_t left, int32_t top) override;
    TScreenRect WorkArea() const override { return Screen_.WorkArea; }
    std::vector<TScreenRect> OtherWindows() const override;
    void SetShape(const std::vector<TScreenRect>& rectangles) override;

    bool Visible() const { return Visible_; }
    void SetVisible(bool visible) { Visible_ = visible; }
    void SetSize(int32_t width, int32_t height);
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
    TScreenRect Bounds_;
    bool Visible_ = true;
    std::vector<TAttached> Hosts_;
    std::vector<TScreenRect> Shape_;
    int32_t ShapeCount_ = 0;
    int32_t MoveCount_ = 0;
};

// The hint popup of a headless GUI: it records what it shows. Its font is fixed: every character
// is 6 pixels wide, a line 13 pixels high; lines break at spaces and line feeds.
class THeadlessHintPopup : public THintPopup {
public:
    static constexpr int32_t kCharWidth = 6;
    static constexpr int32_t kLineHeight = 13;

    explicit THeadlessHintPopup(const THeadlessScreen& screen) : Screen_(screen) {}

    TScreenRect WorkArea() const override { return Screen_.WorkArea; }
    void MeasureText(const std::u16string& text, int32_t maxWidth, int32_t& width, int32_t& height) const override;
    void Show(const THintPicture& picture) override;
    void Hide() override;
    bool Showing() const override { return Showing_; }

    // What was shown last (also after hiding), how often it was shown and released.
    const THintPicture& Picture() const { return Picture_; }
    int32_t ShowCount() const { return ShowCount_; }
    int32_t HideCount() const { return HideCount_; }
    // The lines the text breaks into at a width, as the popup lays them out.
    static std::vector<std::u16string> WrapLines(const std::u16string& text, int32_t maxWidth);

private:
    const THeadlessScreen& Screen_;
    THintPicture Picture_;
    bool Showing_ = false;
    int32_t ShowCount_ = 0;
    int32_t HideCount_ = 0;
};

}  // namespace marlowen
