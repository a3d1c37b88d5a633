#pragma once

#include <string>

#include "platform/Application.h"

namespace marlowen {

// The process as Windows runs it. The title starts as the executable's name without its
// extension and is the caption of message boxes that bring none of their own.
class TWin32Application : public TApplication {
public:
    TWin32Application();

    std::string Title() const override { return Title_; }
    void SetTitle(const std::string& title) override { Title_ = title; }
    bool Terminated() const override { return Terminated_; }
    void Terminate() override { Terminated_ = true; }
    // Dispatches the pending messages of this thread; WM_QUIT sets the terminate flag.
    void ProcessMessages() override;
    // Modal to every window of this thread and brought to the front, since it has no owner.
    int32_t MessageBox(const std::string& text, const std::string& caption, uint32_t flags) override;
    void Beep() override;
    void Sleep(uint32_t milliseconds) override;
    uint32_t TickCount() const override;
    std::string ExecutablePath() const override;
    std::vector<uint8_t> OwnResource(const std::string& name) const override;
    std::vector<uint8_t> RandomBytes(size_t count) override;

private:
    std::string Title_;
    bool Terminated_ = false;
};

}  // namespace marlowen
