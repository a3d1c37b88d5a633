#pragma once

#include <string>
#include <vector>

#include "core/Exception.h"

namespace marlowen {

class TLanguage;

// An error a user may see: its template is a language-tagged string, and its message is that
// template resolved for the current language (formatted with the arguments), as 8-bit text.
class EMultiLanguageException : public Exception {
public:
    static EMultiLanguageException Create(std::u16string pattern);
    static EMultiLanguageException CreateFmt(std::u16string pattern, std::vector<std::u16string> args);

    const std::u16string& Template() const { return Template_; }
    // The current language when the error was made (borrowed; may be none).
    const TLanguage* Language() const { return Language_; }
    const std::vector<std::u16string>& Args() const { return Args_; }

private:
    EMultiLanguageException(std::string message, std::u16string pattern, std::vector<std::u16string> args);

    std::u16string Template_;
    const TLanguage* Language_;
    std::vector<std::u16string> Args_;
};

}  // namespace marlowen
