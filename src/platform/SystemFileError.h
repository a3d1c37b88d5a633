#pragma once

#include <string>

#include "core/Exception.h"

namespace marlowen {

// A file operation the system refused. The message names the path and gives the system's own
// reason ("Access is denied.", "There is not enough space on the disk."); both are also kept
// apart, so that a caller can word the failure its own way and still pass the reason on.
class ESystemFileError : public Exception {
public:
    ESystemFileError(std::string message, std::string path, std::string reason)
        : Exception(std::move(message)), Path_(std::move(path)), Reason_(std::move(reason)) {}

    const std::string& Path() const noexcept { return Path_; }
    const std::string& Reason() const noexcept { return Reason_; }

private:
    std::string Path_;
    std::string Reason_;
};

}  // namespace marlowen
