#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace marlowen {

// The SHA-512 message digest, fed in pieces of any size.
class TSha512 {
public:
    using TDigest = std::array<uint8_t, 64>;

    TSha512();
    void Update(const uint8_t* data, size_t size);
    // Pads and returns the digest; the object then starts over.
    TDigest Final();

    static TDigest Digest(const uint8_t* data, size_t size);

private:
    void Reset();
    void Transform(const uint8_t* block);

    uint64_t State_[8];
    uint64_t Length_ = 0;  // bytes fed so far
    uint8_t Buffer_[128];
};

}  // namespace marlowen
