#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace marlowen {

// Message box flags and answers, with the values the Windows API uses.
namespace MessageBoxFlag {
constexpr uint32_t Ok = 0x00;
constexpr uint32_t YesNo = 0x04;
constexpr uint32_t RetryCancel = 0x05;
constexpr uint32_t IconError = 0x10;
constexpr uint32_t IconQuestion = 0x20;
constexpr uint32_t IconInformation = 0x40;
}  // namespace MessageBoxFlag

namespace MessageBoxAnswer {
constexpr int32_t Ok = 1;
constexpr int32_t Cancel = 2;
constexpr int32_t Retry = 4;
constexpr int32_t Yes = 6;
constexpr int32_t No = 7;
}  // namespace MessageBoxAnswer

// The GUI library's application object and the process around it: the title, the program-wide
// terminate flag, message boxes, the beep, waiting, and where the program runs from.
class TApplication {
public:
    virtual ~TApplication() = default;

    virtual std::string Title() const = 0;
    virtual void SetTitle(const std::string& title) = 0;

    // The program-wide stop signal: once set, long steps stop and modal windows end.
    virtual bool Terminated() const = 0;
    virtual void Terminate() = 0;
    // Processes the window messages that are pending, once, and returns.
    virtual void ProcessMessages() = 0;

    // A modal message box; returns the answer (MessageBoxAnswer).
    virtual int32_t MessageBox(const std::string& text, const std::string& caption, uint32_t flags) = 0;
    // The default system beep.
    virtual void Beep() = 0;
    // Blocks the thread for the milliseconds.
    virtual void Sleep(uint32_t milliseconds) = 0;
    // Milliseconds since some fixed moment, wrapping at 2^32.
    virtual uint32_t TickCount() const = 0;

    // The full path of the running executable ("C:\\Setup\\Setup.exe").
    virtual std::string ExecutablePath() const = 0;
    // The bytes of the program's own data resource `name` (RCDATA); empty when it has none.
    virtual std::vector<uint8_t> OwnResource(const std::string& name) const = 0;
    // Bytes from the system's cryptographic random source, for names nobody can guess.
    virtual std::vector<uint8_t> RandomBytes(size_t count) = 0;
};

}  // namespace marlowen
