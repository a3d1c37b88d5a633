#pragma once

#include "platform/Locale.h"

namespace marlowen {

// A locale whose signature and number separators the test sets; by default a Latin (Western
// European) system without Cyrillic support that writes numbers as 1,234.5.
class THeadlessLocale : public TLocale {
public:
    THeadlessLocale();

    TFontSignature SystemFontSignature() const override { return Signature_; }
    void SetSignature(const TFontSignature& signature) { Signature_ = signature; }
    char16_t DecimalSeparator() const override { return DecimalSeparator_; }
    char16_t ThousandSeparator() const override { return ThousandSeparator_; }
    void SetSeparators(char16_t decimalSeparator, char16_t thousandSeparator) {
        DecimalSeparator_ = decimalSeparator;
        ThousandSeparator_ = thousandSeparator;
    }

    static TFontSignature LatinSignature();
    static TFontSignature CyrillicSignature();

private:
    TFontSignature Signature_;
    char16_t DecimalSeparator_ = u'.';
    char16_t ThousandSeparator_ = u',';
};

}  // namespace marlowen
