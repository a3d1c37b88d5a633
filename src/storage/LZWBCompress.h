#pragma once

#include "storage/CompressAlgorithm.h"

namespace marlowen {

// Byte-oriented LZW. The dictionary starts with the 256 single bytes; new strings take the codes
// 256 to 4335 in order. When code 4335 has been given out, the next code written is followed by
// a reset to the single bytes (nothing is added for it). A code below 240 is one byte; a code c
// from 240 is two: 240 + ((c - 240) >> 8), then (c - 240) AND 255. An empty input gives no codes.
class TLZWBCompress : public TCompressAlgorithm {
public:
    int32_t Compress(const uint8_t* source, int32_t sourceSize, uint8_t* destination) const override;
    // Raises ECompressException for a block that is cut short, a code beyond the next undefined
    // one (or any code but a single byte first) and a string longer than the room left.
    void Decompress(const uint8_t* source, int32_t sourceSize, uint8_t* destination,
                    int32_t destinationSize) const override;
    // 2n + floor(2n / 4095) + 2.
    int32_t MaxCompressedSize(int32_t n) const override;
    // 2041n: a 2-byte code gives at most 4081 bytes, the longest string a full dictionary holds.
    int64_t MaxDecompressedSize(int32_t n) const override;
};

// The shared instance.
TLZWBCompress& LZWBCompress();

}  // namespace marlowen
