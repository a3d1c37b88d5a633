#pragma once

#include <cstdint>
#include <random>
#include <string_view>
#include <vector>

#include "storage/CompressAlgorithm.h"

namespace marlowen::testing {

using TBytes = std::vector<uint8_t>;

inline TBytes Bytes(std::string_view text) { return TBytes(text.begin(), text.end()); }

// Deterministic test inputs of a given size and kind; raw engine output only, so that the bytes
// are the same with every standard library.
enum class TDataKind { Random, FewSymbols, Binary, Text, Runs, Periodic, Sparse };

inline TBytes MakeData(TDataKind kind, size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    TBytes data;
    data.reserve(size);
    static constexpr std::string_view kWords[] = {"the ", "setup ", "skin ", "<Button ", "Name=\"", "\" ",
                                                  "/>\n", "of ", "pack ", "window ", "Left=\"10\" ", "and "};
    while (data.size() < size) {
        const uint32_t r = random();
        switch (kind) {
            case TDataKind::Random:
                data.push_back(static_cast<uint8_t>(r));
                break;
            case TDataKind::FewSymbols:
                data.push_back(static_cast<uint8_t>('a' + (r & 3)));
                break;
            case TDataKind::Binary:
                // Little-endian words of small values: many zeros and short repeats.
                data.push_back(static_cast<uint8_t>((r >> 8) % 7 == 0 ? r : r & 0x0F));
                break;
            case TDataKind::Text:
                for (char c : kWords[r % std::size(kWords)]) data.push_back(static_cast<uint8_t>(c));
                break;
            case TDataKind::Runs:
                data.insert(data.end(), 1 + (r >> 8) % 40, static_cast<uint8_t>(r));
                break;
            case TDataKind::Sparse:
                // Zeros with short strokes, like the alpha of glyphs and transparent pixels.
                data.insert(data.end(), (r >> 8) % 45, 0);
                data.insert(data.end(), 1 + (r >> 16) % 3, static_cast<uint8_t>(r % 3 == 0 ? r | 1 : 0xFF));
                break;
            case TDataKind::Periodic: {
                const size_t period = 1 + seed % 23;
                data.push_back(data.size() >= period && (r & 63) != 0 ? data[data.size() - period]
                                                                       : static_cast<uint8_t>(r));
                break;
            }
        }
    }
    data.resize(size);
    return data;
}

constexpr TDataKind kAllKinds[] = {TDataKind::Random, TDataKind::FewSymbols, TDataKind::Binary, TDataKind::Text,
                                   TDataKind::Runs,   TDataKind::Periodic,   TDataKind::Sparse};

// Sizes around every boundary of the formats: groups of 8 and 32 items, the 18-byte match, the
// 4096-byte window, a full LZWB dictionary.
constexpr size_t kSizes[] = {0,  1,  2,   3,    4,    5,    7,    8,    9,    15,    16,   17,
                             18, 19, 31,  32,   33,   64,   100,  255,  1000, 4095,  4096, 4097,
                             5000, 9000, 20000, 70000};

inline TBytes Compress(const TCompressAlgorithm& algorithm, const TBytes& data) {
    TBytes out(static_cast<size_t>(algorithm.MaxCompressedSize(static_cast<int32_t>(data.size()))));
    const int32_t size = algorithm.Compress(data.data(), static_cast<int32_t>(data.size()), out.data());
    out.resize(static_cast<size_t>(size));
    return out;
}

// Decodes into a buffer of exactly `size` bytes, so that AddressSanitizer sees any stray access.
inline TBytes Decompress(const TCompressAlgorithm& algorithm, const TBytes& block, size_t size) {
    const TBytes source(block);  // exact-size copy
    TBytes out(size);
    algorithm.Decompress(source.data(), static_cast<int32_t>(source.size()), out.data(), static_cast<int32_t>(size));
    return out;
}

}  // namespace marlowen::testing
