#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace marlowen {

// The RC4 keyed byte-stream cipher: a 256-byte permutation and two byte counters.
class TRc4 {
public:
    // The key schedule. Only the low eight bits of the key's length count, so a key of 256 bytes
    // acts as the empty key (which leaves the permutation as scrambled by an all-zero key block).
    explicit TRc4(std::string_view key);

    // The next keystream byte.
    uint8_t Next();
    // XORs each byte with the next keystream byte (enciphering and deciphering are the same).
    void Apply(uint8_t* bytes, size_t count);

private:
    uint8_t S_[256];
    uint8_t I_ = 0;
    uint8_t J_ = 0;
};

}  // namespace marlowen
