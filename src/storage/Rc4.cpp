#include "storage/Rc4.h"

#include <utility>

namespace marlowen {

TRc4::TRc4(std::string_view key) {
    for (int x = 0; x < 256; ++x) S_[x] = static_cast<uint8_t>(x);
    const size_t length = key.size() & 0xFF;
    uint8_t j = 0;
    for (int x = 0; x < 256; ++x) {
        const uint8_t k = length == 0 ? 0 : static_cast<uint8_t>(key[x % length]);
        j = static_cast<uint8_t>(j + S_[x] + k);
        std::swap(S_[x], S_[j]);
    }
}

uint8_t TRc4::Next() {
    I_ = static_cast<uint8_t>(I_ + 1);
    const uint8_t t = S_[I_];
    J_ = static_cast<uint8_t>(J_ + t);
    std::swap(S_[I_], S_[J_]);
    return S_[static_cast<uint8_t>(t + S_[I_])];
}

void TRc4::Apply(uint8_t* bytes, size_t count) {
    for (size_t n = 0; n < count; ++n) bytes[n] ^= Next();
}

}  // namespace marlowen
