#include "platform/headless/HeadlessLocale.h"

namespace marlowen {

namespace {
constexpr uint32_t kBasicLatin = 1u << 0;
constexpr uint32_t kLatin1Supplement = 1u << 1;
constexpr uint32_t kCyrillic = 1u << 9;
constexpr uint32_t kCodePage1252 = 1u << 0;
constexpr uint32_t kCodePage1251 = 1u << 2;
}  // namespace

THeadlessLocale::THeadlessLocale() : Signature_(LatinSignature()) {}

TFontSignature THeadlessLocale::LatinSignature() {
    TFontSignature signature;
    signature.UnicodeSubsets[0] = kBasicLatin | kLatin1Supplement;
    signature.CodePages[0] = kCodePage1252;
    return signature;
}

TFontSignature THeadlessLocale::CyrillicSignature() {
    TFontSignature signature;
    signature.UnicodeSubsets[0] = kBasicLatin | kCyrillic;
    signature.CodePages[0] = kCodePage1251;
    return signature;
}

}  // namespace marlowen
