#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <functional>
#include <string>
#include <vector>

#include "platform/Application.h"

namespace marlowen {

// The application object for tests: message boxes are answered from a script and recorded, time
// is a virtual clock that only Sleep and the test move, and message processing runs a hook.
class THeadlessApplication : public TApplication {
public:
    struct TShownBox {
        std::string Text;
        std::string Caption;
        uint32_t Flags = 0;
        int32_t Answer = 0;
    };

    // The title starts as the executable's file name without its extension.
    explicit THeadlessApplication(std::string executablePath = "C:\\Setup\\Setup.exe");

    std::string Title() const override { return Title_; }
    void SetTitle(const std::string& title) override { Title_ = title; }
    bool Terminated() const override { return Terminated_; }
    void Terminate() override { Terminated_ = true; }
    void ProcessMessages() override;
    int32_t MessageBox(const std::string& text, const std::string& caption, uint32_t flags) override;
    void Beep() override { ++BeepCount_; }
    void Sleep(uint32_t milliseconds) override;
    uint32_t TickCount() const override { return Clock_; }
    std::string ExecutablePath() const override { return ExecutablePath_; }
    // From Resources.
    std::vector<uint8_t> OwnResource(const std::string& name) const override {
        const auto found = Resources.find(name);
        return found == Resources.end() ? std::vector<uint8_t>() : found->second;
    }
    // For tests: the program's data resources by name.
    std::map<std::string, std::vector<uint8_t>> Resources;
    // From the host's random device.
    std::vector<uint8_t> RandomBytes(size_t count) override;

    // The next box takes the first queued answer. With nothing queued a box gets its safe
    // answer: OK for an OK box, No for Yes/No, Cancel for Retry/Cancel.
    void QueueAnswer(int32_t answer) { Answers_.push_back(answer); }
    const std::vector<TShownBox>& Boxes() const { return Boxes_; }
    // Runs inside every ProcessMessages call (for example to terminate the application).
    std::function<void()> OnProcessMessages;
    // Runs inside every MessageBox call, after the box is recorded and before it answers.
    std::function<void(const TShownBox&)> OnMessageBox;

    int BeepCount() const { return BeepCount_; }
    int ProcessMessagesCount() const { return ProcessMessagesCount_; }
    // Every Sleep in order; each one also advances the clock.
    const std::vector<uint32_t>& Sleeps() const { return Sleeps_; }
    void AdvanceClock(uint32_t milliseconds) { Clock_ += milliseconds; }
    void SetExecutablePath(std::string path) { ExecutablePath_ = std::move(path); }

private:
    std::string ExecutablePath_;
    std::string Title_;
    bool Terminated_ = false;
    std::deque<int32_t> Answers_;
    std::vector<TShownBox> Boxes_;
    std::vector<uint32_t> Sleeps_;
    uint32_t Clock_ = 0;
    int BeepCount_ = 0;
    int ProcessMessagesCount_ = 0;
};

}  // namespace marlowen
