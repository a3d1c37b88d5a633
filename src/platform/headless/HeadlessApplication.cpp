#include "platform/headless/HeadlessApplication.h"

#include <random>

#include "core/FilePaths.h"

namespace marlowen {

namespace {

// The answer a box gets when the script has none: the one that does the least.
int32_t SafeAnswer(uint32_t flags) {
    constexpr int32_t kAbort = 3;
    switch (flags & 0x0F) {
        case MessageBoxFlag::Ok: return MessageBoxAnswer::Ok;
        case 0x02: return kAbort;  // Abort/Retry/Ignore
        case MessageBoxFlag::YesNo: return MessageBoxAnswer::No;
        default: return MessageBoxAnswer::Cancel;  // OK/Cancel, Yes/No/Cancel, Retry/Cancel, ...
    }
}

}  // namespace

THeadlessApplication::THeadlessApplication(std::string executablePath)
    : ExecutablePath_(std::move(executablePath)), Title_(ExtractFileTitle(ExecutablePath_)) {}

void THeadlessApplication::ProcessMessages() {
    ++ProcessMessagesCount_;
    if (OnProcessMessages) OnProcessMessages();
}

int32_t THeadlessApplication::MessageBox(const std::string& text, const std::string& caption, uint32_t flags) {
    int32_t answer = SafeAnswer(flags);
    if (!Answers_.empty()) {
        answer = Answers_.front();
        Answers_.pop_front();
    }
    Boxes_.push_back({text, caption, flags, answer});
    if (OnMessageBox) {
        const TShownBox shown = Boxes_.back();  // the hook may show further boxes
        OnMessageBox(shown);
    }
    return answer;
}

void THeadlessApplication::Sleep(uint32_t milliseconds) {
    Sleeps_.push_back(milliseconds);
    Clock_ += milliseconds;
}

std::vector<uint8_t> THeadlessApplication::RandomBytes(size_t count) {
    std::random_device device;
    std::vector<uint8_t> bytes(count);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(device());
    return bytes;
}

}  // namespace marlowen
