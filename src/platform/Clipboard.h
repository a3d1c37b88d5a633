#pragma once

#include <string>
#include <string_view>

namespace marlowen {

// The system clipboard as 8-bit text (UTF-8 in this program; the real backend keeps it as
// Unicode text, so any characters survive the trip).
class TClipboard {
public:
    virtual ~TClipboard() = default;

    // The clipboard's text; empty when it holds none or cannot be opened.
    virtual std::string GetText() = 0;
    // Replaces the clipboard's contents by the text; false when the clipboard could not be taken.
    virtual bool SetText(std::string_view text) = 0;
};

}  // namespace marlowen
