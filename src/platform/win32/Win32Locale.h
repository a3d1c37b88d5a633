#pragma once

#include "platform/Locale.h"

namespace marlowen {

// The system default locale's font signature, as Windows reports it.
class TWin32Locale : public TLocale {
public:
    TFontSignature SystemFontSignature() const override;
};

}  // namespace marlowen
