#pragma once

#include "storage/CompressAlgorithm.h"

namespace marlowen {

// The LZRB format with 32-bit little-endian flag words, each describing the following 32 items
// (bit 0 first). The encoder writes the unused bits of the last flag word as 0; the decoder
// ignores them.
class TLZRDCompress : public TCompressAlgorithm {
public:
    int32_t Compress(const uint8_t* source, int32_t sourceSize, uint8_t* destination) const override;
    void Decompress(const uint8_t* source, int32_t sourceSize, uint8_t* destination,
                    int32_t destinationSize) const override;
    // n + 4 × ceil(n / 32).
    int32_t MaxCompressedSize(int32_t n) const override;
    // 9n: a 2-byte match gives at most 18 bytes.
    int64_t MaxDecompressedSize(int32_t n) const override;
};

// The shared instance.
TLZRDCompress& LZRDCompress();

}  // namespace marlowen
