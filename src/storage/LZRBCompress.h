#pragma once

#include "storage/CompressAlgorithm.h"

namespace marlowen {

// LZ77 with byte flags: groups of a flag byte and up to 8 items, bit k (from bit 0) describing
// item k: 1 for a literal byte, 0 for a little-endian word w that copies (w >> 12) + 3 bytes from
// (w AND 4095) + 1 bytes back, one byte at a time (a match may overlap its own output). The last
// group's unused flag bits are 0; an empty input gives an empty block. The method of the resource
// packs and update packages.
class TLZRBCompress : public TCompressAlgorithm {
public:
    int32_t Compress(const uint8_t* source, int32_t sourceSize, uint8_t* destination) const override;
    void Decompress(const uint8_t* source, int32_t sourceSize, uint8_t* destination,
                    int32_t destinationSize) const override;
    // n + ceil(n / 8).
    int32_t MaxCompressedSize(int32_t n) const override;
    // 9n: a 2-byte match gives at most 18 bytes.
    int64_t MaxDecompressedSize(int32_t n) const override;
};

// The shared instance.
TLZRBCompress& LZRBCompress();

}  // namespace marlowen
