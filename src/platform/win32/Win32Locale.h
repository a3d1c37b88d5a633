#pragma once

#include "platform/Locale.h"

namespace marlowen {

// The system default locale's font signature and the user's number separators, as Windows
// reports them.
class TWin32Locale : public TLocale {
public:
    TFontSignature SystemFontSignature() const override;
    char16_t DecimalSeparator() const override;
    char16_t ThousandSeparator() const override;
};

}  // namespace marlowen
