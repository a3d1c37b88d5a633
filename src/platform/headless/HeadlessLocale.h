#pragma once

#include "platform/Locale.h"

namespace marlowen {

// A locale whose signature the test sets; by default a Latin (Western European) system without
// Cyrillic support.
class THeadlessLocale : public TLocale {
public:
    THeadlessLocale();

    TFontSignature SystemFontSignature() const override { return Signature_; }
    void SetSignature(const TFontSignature& signature) { Signature_ = signature; }

    static TFontSignature LatinSignature();
    static TFontSignature CyrillicSignature();

private:
    TFontSignature Signature_;
};

}  // namespace marlowen
