#pragma once

#include <string>
#include <string_view>

#include "platform/Clipboard.h"

namespace marlowen {

// A clipboard in memory, shared by everything that uses one headless platform. A test may make
// it unavailable, as when another program holds the system's clipboard open.
class THeadlessClipboard : public TClipboard {
public:
    std::string GetText() override;
    bool SetText(std::string_view text) override;

    void SetAvailable(bool available) { Available_ = available; }

private:
    std::string Text_;
    bool Available_ = true;
};

}  // namespace marlowen
