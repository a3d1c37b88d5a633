#pragma once

#include "storage/CompressAlgorithm.h"

namespace marlowen {

// An estimator, not a coder: Compress writes nothing and returns, in bytes, what a greedy LZ77
// coder with fixed Huffman codes would produce (matches of 3 to 4612 bytes at any distance, taken
// where they save bits); Decompress does nothing. The destination may be null.
//
// Every estimate walks whole match chains, so its time grows with the square of the number of
// repeats; it is meant for comparing methods on modest inputs, not for production paths.
class TMaxLZCompress : public TCompressAlgorithm {
public:
    // Total bits div 8 + 1.
    int32_t Compress(const uint8_t* source, int32_t sourceSize, uint8_t* destination) const override;
    void Decompress(const uint8_t* source, int32_t sourceSize, uint8_t* destination,
                    int32_t destinationSize) const override;
    // 2n.
    int32_t MaxCompressedSize(int32_t n) const override;
    // Any size: Decompress does nothing.
    int64_t MaxDecompressedSize(int32_t n) const override;

    // Bits of the fixed code of a literal/length symbol (0 to 287); raises Exception
    // "Неверный код символа." for any other.
    static int32_t SymbolBits(int32_t symbol);
    // Bits of a match of the given length (3 to 4612) and distance (from 1).
    static int32_t MatchBits(int32_t length, int32_t distance);
};

// The shared instance.
TMaxLZCompress& MaxLZCompress();

}  // namespace marlowen
