#include "platform/headless/HeadlessClipboard.h"

namespace marlowen {

std::string THeadlessClipboard::GetText() { return Available_ ? Text_ : std::string(); }

bool THeadlessClipboard::SetText(std::string_view text) {
    if (!Available_) return false;
    Text_ = std::string(text);
    return true;
}

}  // namespace marlowen
