#include "platform/headless/HeadlessForms.h"

#include <algorithm>

#include "core/Exception.h"
#include "platform/Application.h"
#include "platform/headless/HeadlessWindowHost.h"

namespace marlowen {

// --- THeadlessScreen ---

void THeadlessScreen::DeliverMessages() {
    for (bool delivered = true; delivered;) {
        delivered = false;
        if (PumpWindows) PumpWindows();
        // A form's message may free forms: look each one up again before delivering to it.
        for (size_t i = 0; i < Forms_.size(); ++i) {
            if (Forms_[i]->DeliverNextMessage()) {
                delivered = true;
                break;
            }
        }
    }
}

// --- THeadlessFormHost ---

THeadlessFormHost::THeadlessFormHost(THeadlessScreen& screen, const TScreenRect& bounds, TFormHostEvents* events)
    : Screen_(screen),
      Events_(events),
      Bounds_(bounds),
      Dpi_(screen.Dpi),
      Visible_(events == nullptr),
      SystemMenu_{SystemCommand::Restore, SystemCommand::Move,     SystemCommand::Size,
                  SystemCommand::Minimize, SystemCommand::Maximize, SystemCommand::Close} {
    Screen_.Forms_.push_back(this);
}

THeadlessFormHost::~THeadlessFormHost() {
    Life_.End();
    if (Screen_.Active_ == this) Screen_.Active_ = nullptr;
    for (THeadlessFormHost* form : Screen_.Forms_) {
        if (form->Owner_ == this) form->Owner_ = nullptr;
    }
    for (const TAttached& attached : Hosts_) attached.Host->SetForm(nullptr);
    auto& forms = Screen_.Forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

void THeadlessFormHost::MoveTo(int32_t left, int32_t top) {
    ++MoveCount_;
    Bounds_ = {left, top, left + Bounds_.Width(), top + Bounds_.Height()};
    PlaceHosts();
}

void THeadlessFormHost::SetSize(int32_t width, int32_t height) {
    Bounds_.Right = Bounds_.Left + std::max(width, 0);
    Bounds_.Bottom = Bounds_.Top + std::max(height, 0);
}

std::vector<TScreenRect> THeadlessFormHost::OtherWindows() const {
    std::vector<TScreenRect> windows;
    const auto& forms = Screen_.Forms_;
    for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
        // Like the Win32 host: a minimised form has no place on the screen to snap to.
        if (*it != this && (*it)->Visible_ && !(*it)->Minimized_) windows.push_back((*it)->Bounds_);
    }
    windows.insert(windows.end(), Screen_.ForeignWindows.begin(), Screen_.ForeignWindows.end());
    return windows;
}

void THeadlessFormHost::SetShape(const std::vector<TScreenRect>& rectangles) {
    ++ShapeCount_;
    Shape_ = rectangles;
}

bool THeadlessFormHost::Covers(int32_t screenX, int32_t screenY) const {
    if (screenX < Bounds_.Left || screenY < Bounds_.Top || screenX >= Bounds_.Right || screenY >= Bounds_.Bottom) {
        return false;
    }
    if (Shape_.empty()) return true;
    const int32_t x = screenX - Bounds_.Left;
    const int32_t y = screenY - Bounds_.Top;
    return std::any_of(Shape_.begin(), Shape_.end(), [x, y](const TScreenRect& r) {
        return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
    });
}

void THeadlessFormHost::AttachHost(THeadlessWindowHost& host, int32_t x, int32_t y) {
    if (host.Form() != nullptr && host.Form() != this) static_cast<THeadlessFormHost*>(host.Form())->DetachHost(host);
    DetachHost(host);
    Hosts_.push_back({&host, x, y});
    host.SetForm(this);
    PlaceHosts();
}

void THeadlessFormHost::DetachHost(THeadlessWindowHost& host) {
    const auto end = std::remove_if(Hosts_.begin(), Hosts_.end(), [&host](const TAttached& a) { return a.Host == &host; });
    if (end == Hosts_.end()) return;
    Hosts_.erase(end, Hosts_.end());
    host.SetForm(nullptr);
}

void THeadlessFormHost::PlaceHosts() {
    for (const TAttached& attached : Hosts_) {
        attached.Host->SetScreenOrigin(Bounds_.Left + attached.X, Bounds_.Top + attached.Y);
    }
}

void THeadlessFormHost::SetBounds(const TScreenRect& bounds) {
    const bool resized = bounds.Width() != Bounds_.Width() || bounds.Height() != Bounds_.Height();
    Bounds_ = {bounds.Left, bounds.Top, bounds.Left + std::max(bounds.Width(), 0),
               bounds.Top + std::max(bounds.Height(), 0)};
    PlaceHosts();
    if (resized && Events_ != nullptr) Events_->FormResized();
}

void THeadlessFormHost::AttachWindow(TWindowHost& window) {
    auto& host = static_cast<THeadlessWindowHost&>(window);
    AttachHost(host);
}

void THeadlessFormHost::Hide() {
    if (!Visible_) return;
    if (Screen_.Active_ == this) Activate(TFormActivation::Inactive);
    Visible_ = false;
    if (Events_ != nullptr) Events_->FormHidden();
}

void THeadlessFormHost::Close() {
    if (Events_ != nullptr) Events_->FormCloseRequest();
}

void THeadlessFormHost::BringToFront() {
    auto& forms = Screen_.Forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    forms.push_back(this);
    Visible_ = true;
    Minimized_ = false;
    if (Screen_.Active_ != this) Activate(TFormActivation::Active);
}

void THeadlessFormHost::MoveToDpi(int32_t dpi, const TScreenRect& suggested) {
    Dpi_ = dpi;
    if (Events_ != nullptr) Events_->FormDpiChanged(dpi, suggested);
}

void THeadlessFormHost::Activate(TFormActivation state) {
    if (state == TFormActivation::Inactive) {
        if (Screen_.Active_ == this) Screen_.Active_ = nullptr;
        if (Events_ != nullptr) Events_->FormActivation(state);
        return;
    }
    THeadlessFormHost* previous = Screen_.Active_;
    Screen_.Active_ = this;
    if (previous != nullptr && previous != this && previous->Events_ != nullptr) {
        previous->Events_->FormActivation(TFormActivation::Inactive);
    }
    if (Events_ != nullptr) Events_->FormActivation(state);
}

void THeadlessFormHost::RemoveSystemMenuItem(uint32_t command) {
    SystemMenu_.erase(std::remove(SystemMenu_.begin(), SystemMenu_.end(), command), SystemMenu_.end());
}

bool THeadlessFormHost::DeliverNextMessage() {
    if (Posted_.empty()) return false;
    const uint32_t message = Posted_.front();
    Posted_.erase(Posted_.begin());
    if (Events_ != nullptr) Events_->FormMessage(message);
    return true;
}

void THeadlessFormHost::RunModal(const TApplication& application) {
    const TWeakRef<THeadlessFormHost> self(this);
    THeadlessScreen& screen = Screen_;
    BringToFront();
    const auto running = [&] { return self.Get() != nullptr && Visible_ && !application.Terminated(); };
    while (running()) {
        screen.DeliverMessages();
        if (!running()) break;
        if (screen.ModalSteps.empty()) {
            throw Exception("The modal form waits for input, and no step is left to give it.");
        }
        const std::function<void()> step = std::move(screen.ModalSteps.front());
        screen.ModalSteps.pop_front();
        step();
    }
}

// --- THeadlessHintPopup ---

std::vector<std::u16string> THeadlessHintPopup::WrapLines(const std::u16string& text, int32_t maxWidth,
                                                           int32_t charWidth) {
    std::vector<std::u16string> lines;
    if (text.empty()) return lines;
    const auto fits = [maxWidth, charWidth](const std::u16string& line) {
        return static_cast<int64_t>(line.size()) * charWidth <= maxWidth;
    };
    size_t start = 0;
    for (;;) {
        const size_t end = std::min(text.find(u'\n', start), text.size());
        std::u16string line;
        size_t word = start;
        while (word <= end) {
            const size_t space = std::min(text.find(u' ', word), end);
            const std::u16string next = text.substr(word, space - word);
            std::u16string joined = line.empty() ? next : line + u' ' + next;
            // A word wider than the limit keeps a line of its own; it is not broken.
            if (!line.empty() && !fits(joined)) {
                lines.push_back(line);
                line = next;
            } else {
                line = std::move(joined);
            }
            word = space + 1;
        }
        lines.push_back(line);
        if (end >= text.size()) break;
        start = end + 1;
    }
    return lines;
}

void THeadlessHintPopup::MeasureText(const std::u16string& text, int32_t maxWidth, int32_t dpi, int32_t& width,
                                     int32_t& height) const {
    const int32_t held = std::clamp(dpi, kDefaultDpi, 4 * kDefaultDpi);
    const int32_t charWidth = kCharWidth * held / kDefaultDpi;
    const int32_t lineHeight = kLineHeight * held / kDefaultDpi;
    const std::vector<std::u16string> lines = WrapLines(text, maxWidth, charWidth);
    size_t longest = 0;
    for (const std::u16string& line : lines) longest = std::max(longest, line.size());
    width = static_cast<int32_t>(std::min<size_t>(longest, INT32_MAX / charWidth)) * charWidth;
    height = static_cast<int32_t>(std::min<size_t>(lines.size(), INT32_MAX / lineHeight)) * lineHeight;
}

void THeadlessHintPopup::Show(const THintPicture& picture) {
    ++ShowCount_;
    Picture_ = picture;
    Showing_ = true;
}

void THeadlessHintPopup::Hide() {
    if (!Showing_) return;
    ++HideCount_;
    Showing_ = false;
}

}  // namespace marlowen
