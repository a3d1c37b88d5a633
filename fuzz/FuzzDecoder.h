#pragma once

// The body shared by the decoder fuzz targets. The input is a 2-byte little-endian destination
// size followed by a block: decoding it must either fill the destination or raise
// ECompressException, touching nothing outside either buffer. Then, to keep the encoder honest
// too, the whole input is compressed (into a buffer of exactly the bound) and must decode back
// to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "storage/CompressAlgorithm.h"

namespace marlowen::fuzzing {

inline int FuzzDecoder(const TCompressAlgorithm& algorithm, const uint8_t* data, size_t size) {
    if (size < 2 || size > (1 << 20)) return 0;
    const auto n = static_cast<int32_t>(size);
    const int32_t wanted = data[0] | (data[1] << 8);
    std::vector<uint8_t> out(static_cast<size_t>(wanted));
    try {
        algorithm.Decompress(data + 2, n - 2, out.data(), wanted);
    } catch (const ECompressException&) {
    }

    std::vector<uint8_t> block(static_cast<size_t>(algorithm.MaxCompressedSize(n)));
    const int32_t packed = algorithm.Compress(data, n, block.data());
    if (packed < 0 || packed > static_cast<int32_t>(block.size())) std::abort();
    block.resize(static_cast<size_t>(packed));  // exact size: a read past the end is caught
    std::vector<uint8_t> back(size);
    algorithm.Decompress(block.data(), packed, back.data(), n);
    if (std::memcmp(back.data(), data, size) != 0) std::abort();
    return 0;
}

}  // namespace marlowen::fuzzing
