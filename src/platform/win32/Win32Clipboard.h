#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/Clipboard.h"

namespace marlowen {

// The Windows clipboard as Unicode text (CF_UNICODETEXT), converted from and to UTF-8. The
// clipboard is opened for one operation at a time on behalf of a hidden message-only window of
// its own (made on first use), so that setting data has an owner; a clipboard that another
// program keeps open is retried briefly, then given up.
class TWin32Clipboard : public TClipboard {
public:
    TWin32Clipboard();
    ~TWin32Clipboard() override;
    TWin32Clipboard(const TWin32Clipboard&) = delete;
    TWin32Clipboard& operator=(const TWin32Clipboard&) = delete;

    std::string GetText() override;
    bool SetText(std::string_view text) override;

private:
    class TOwnerWindow;
    TOwnerWindow& Owner();

    std::unique_ptr<TOwnerWindow> Owner_;
};

}  // namespace marlowen
