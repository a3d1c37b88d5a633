#include "core/MultiLanguageException.h"

#include "core/Languages.h"
#include "core/TaggedString.h"
#include "core/Utf.h"

namespace marlowen {

EMultiLanguageException::EMultiLanguageException(std::string message, std::u16string pattern,
                                                 std::vector<std::u16string> args)
    : Exception(std::move(message)),
      Template_(std::move(pattern)),
      Language_(Languages != nullptr ? Languages->CurrentLanguage() : nullptr),
      Args_(std::move(args)) {}

EMultiLanguageException EMultiLanguageException::Create(std::u16string pattern) {
    std::string message = Utf16ToUtf8(Translate(pattern));
    return EMultiLanguageException(std::move(message), std::move(pattern), {});
}

EMultiLanguageException EMultiLanguageException::CreateFmt(std::u16string pattern, std::vector<std::u16string> args) {
    std::string message = Utf16ToUtf8(FormatTagged(pattern, args));
    return EMultiLanguageException(std::move(message), std::move(pattern), std::move(args));
}

}  // namespace marlowen
