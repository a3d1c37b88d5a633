#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace marlowen {

// The MD5 message digest, fed in pieces of any size.
class TMd5 {
public:
    using TDigest = std::array<uint8_t, 16>;

    TMd5();
    void Update(const void* bytes, size_t count);
    // Pads and returns the digest; the object then starts over.
    TDigest Final();

    // The digest of the bytes as 32 upper-case hexadecimal characters.
    static std::string HexDigest(const void* bytes, size_t count);

private:
    void Reset();
    void Transform(const uint8_t* block);

    uint32_t State_[4];
    uint64_t Length_ = 0;  // bytes fed so far
    uint8_t Buffer_[64];
};

}  // namespace marlowen
