#pragma once

#include <cstdint>

// The coder shared by the LZRB and LZRD formats, which differ only in the width of the flag word
// that opens each group of items: 1 byte for 8 items or 4 bytes for 32. Internal to the storage
// layer; the public face is TLZRBCompress and TLZRDCompress. Sizes are checked by the callers.
namespace marlowen::lzr {

// Greedy parse over 3-byte hash chains within a 4096-byte window, literals for what no match of
// 3 bytes covers. Returns the number of bytes written, at most size + flagBytes * ceil(size /
// (8 * flagBytes)). Unused flag bits of the last group are written as 0.
int32_t Encode(const uint8_t* source, int32_t size, uint8_t* destination, int flagBytes);

// Rebuilds exactly destinationSize bytes; raises ECompressException for a block that is cut short,
// a match reaching before the first output byte, or a match longer than the output still missing.
void Decode(const uint8_t* source, int32_t sourceSize, uint8_t* destination, int32_t destinationSize,
            int flagBytes);

}  // namespace marlowen::lzr
