#include "setup/SetupTexts.h"

#include "core/MultiLanguageException.h"
#include "core/TaggedString.h"
#include "core/Utf.h"
#include "setup/SystemIntegration.h"

namespace marlowen::SetupTexts {

std::string Resolve(std::u16string_view tagged) { return Utf16ToUtf8(Translate(tagged)); }

void Raise(std::u16string_view tagged) { throw EMultiLanguageException::Create(std::u16string(tagged)); }

void RequireAdministrator(TRegistry& registry) {
    if (!IsAdministrator(registry)) Raise(NotAdministrator);
}

}  // namespace marlowen::SetupTexts
