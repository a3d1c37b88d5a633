#pragma once

#include <exception>
#include <string>

namespace marlowen {

// The general error class: every error of the system derives from it. The message is 8-bit text
// (UTF-8, this program's code page).
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message_(std::move(message)) {}

    const std::string& Message() const noexcept { return Message_; }
    const char* what() const noexcept override { return Message_.c_str(); }

protected:
    void SetMessage(std::string message) { Message_ = std::move(message); }

private:
    std::string Message_;
};

}  // namespace marlowen
