#include "core/StringHash.h"

namespace marlowen {

namespace {

constexpr std::array<uint8_t, 256> BuildUpperTable() {
    std::array<uint8_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[c] = static_cast<uint8_t>(c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c);
    }
    return table;
}

constexpr uint32_t RotateRight(uint32_t value, int bits) {
    return (value >> bits) | (value << (32 - bits));
}

int32_t Reduce(uint32_t hash, int32_t bucketCount) {
    return static_cast<int32_t>(hash % static_cast<uint32_t>(bucketCount));
}

}  // namespace

const std::array<uint8_t, 256> UpperTable = BuildUpperTable();

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(UpperTable[static_cast<uint8_t>(c)]);
    return upper;
}

int32_t TextHash(std::string_view text, int32_t bucketCount) {
    uint32_t h = 0;
    for (const char c : text) {
        h = RotateRight(h, 4) ^ UpperTable[static_cast<uint8_t>(c)];
    }
    return Reduce(h, bucketCount);
}

int32_t BinaryHash(std::string_view bytes, int32_t bucketCount) {
    uint32_t h = 0;
    const size_t words = bytes.size() / 4;
    for (size_t i = 0; i < words; ++i) {
        const auto* p = reinterpret_cast<const uint8_t*>(bytes.data() + 4 * i);
        const uint32_t w = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
        h = RotateRight(h, 3) ^ w;
    }
    for (size_t i = 4 * words; i < bytes.size(); ++i) {
        h = RotateRight(h, 8) ^ static_cast<uint8_t>(bytes[i]);
    }
    return Reduce(h, bucketCount);
}

bool TextEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (UpperTable[static_cast<uint8_t>(a[i])] != UpperTable[static_cast<uint8_t>(b[i])]) {
            return false;
        }
    }
    return true;
}

bool BinaryEquals(std::string_view a, std::string_view b) { return a == b; }

}  // namespace marlowen
