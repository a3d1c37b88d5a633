#include "storage/LZWBCompress.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace marlowen {

namespace {

constexpr uint32_t kFirstCode = 256;
constexpr uint32_t kCodes = 4336;  // codes 0 to 4335
constexpr uint32_t kShortCodes = 240;

// The encoder's dictionary: (code of a string, next byte) → code of the extended string, in an
// open-addressed table kept at most about half full.
constexpr int kTableBits = 13;
constexpr uint32_t kTableSize = uint32_t{1} << kTableBits;
static_assert(kTableSize >= 2 * (kCodes - kFirstCode));

[[noreturn]] void FormatError() { throw ECompressException(); }

uint8_t* WriteCode(uint8_t* out, uint32_t code) {
    if (code < kShortCodes) {
        *out++ = static_cast<uint8_t>(code);
    } else {
        code -= kShortCodes;
        *out++ = static_cast<uint8_t>(kShortCodes + (code >> 8));
        *out++ = static_cast<uint8_t>(code);
    }
    return out;
}

}  // namespace

int32_t TLZWBCompress::Compress(const uint8_t* source, int32_t sourceSize, uint8_t* destination) const {
    MaxCompressedSize(sourceSize);  // raises for a size without a 32-bit bound
    if (sourceSize == 0) return 0;

    uint32_t keys[kTableSize];  // (string code << 8 | byte) + 1; 0 for a free slot
    uint16_t codes[kTableSize];
    std::fill_n(keys, kTableSize, 0u);
    uint32_t next = kFirstCode;

    uint8_t* out = destination;
    uint32_t current = source[0];
    for (int32_t i = 1; i < sourceSize; ++i) {
        const uint8_t c = source[i];
        const uint32_t key = ((current << 8) | c) + 1;
        uint32_t slot = (key * 2654435761u) >> (32 - kTableBits);
        while (keys[slot] != 0 && keys[slot] != key) slot = (slot + 1) & (kTableSize - 1);
        if (keys[slot] == key) {
            current = codes[slot];
            continue;
        }
        out = WriteCode(out, current);
        if (next == kCodes) {
            // Code 4335 was the last one given out: start afresh, adding nothing.
            std::fill_n(keys, kTableSize, 0u);
            next = kFirstCode;
        } else {
            keys[slot] = key;
            codes[slot] = static_cast<uint16_t>(next++);
        }
        current = c;
    }
    out = WriteCode(out, current);
    return static_cast<int32_t>(out - destination);
}

// Every string of the dictionary beyond the single bytes is the previous string followed by the
// first byte of the one after it, and the two lie side by side in the output; so a code is kept
// as the place and length of its first occurrence in the destination.
void TLZWBCompress::Decompress(const uint8_t* source, int32_t sourceSize, uint8_t* destination,
                               int32_t destinationSize) const {
    CheckSize(sourceSize);
    CheckSize(destinationSize);
    if (destinationSize == 0) return;

    const uint8_t* in = source;
    const uint8_t* const inEnd = source + sourceSize;
    auto readCode = [&]() -> uint32_t {
        if (in == inEnd) FormatError();
        const uint32_t b = *in++;
        if (b < kShortCodes) return b;
        if (in == inEnd) FormatError();
        return kShortCodes + ((b - kShortCodes) << 8) + *in++;
    };

    int32_t offsets[kCodes];
    int32_t lengths[kCodes];
    uint32_t next = kFirstCode;

    uint8_t* out = destination;
    uint8_t* const outEnd = destination + destinationSize;
    const uint32_t first = readCode();
    if (first >= kFirstCode) FormatError();
    *out++ = static_cast<uint8_t>(first);
    int32_t previousOffset = 0;
    int32_t previousLength = 1;

    while (out < outEnd) {
        const uint32_t code = readCode();
        const int32_t offset = static_cast<int32_t>(out - destination);
        const ptrdiff_t room = outEnd - out;
        if (code < next) {
            int32_t length = 1;
            if (code < kFirstCode) {
                *out = static_cast<uint8_t>(code);
            } else {
                length = lengths[code];
                if (length > room) FormatError();
                // The first occurrence ended before this one starts.
                std::memcpy(out, destination + offsets[code], static_cast<size_t>(length));
            }
            out += length;
            if (next == kCodes) {
                next = kFirstCode;
                previousOffset = offset + length - 1;
                previousLength = 1;
            } else {
                offsets[next] = previousOffset;
                lengths[next] = previousLength + 1;
                ++next;
                previousOffset = offset;
                previousLength = length;
            }
        } else if (code == next) {
            // The previous string and its own first byte; the previous string ends where this
            // one starts.
            const int32_t length = previousLength + 1;
            if (length > room) FormatError();
            offsets[next] = previousOffset;
            lengths[next] = length;
            ++next;
            std::memcpy(out, destination + previousOffset, static_cast<size_t>(previousLength));
            out[previousLength] = out[0];
            out += length;
            previousOffset = offset;
            previousLength = length;
        } else {
            FormatError();
        }
    }
}

int32_t TLZWBCompress::MaxCompressedSize(int32_t n) const {
    CheckSize(n);
    return CheckedBound(2 * int64_t{n} + 2 * int64_t{n} / 4095 + 2);
}

int64_t TLZWBCompress::MaxDecompressedSize(int32_t n) const {
    CheckSize(n);
    return 2041 * int64_t{n};
}

TLZWBCompress& LZWBCompress() {
    static TLZWBCompress instance;
    return instance;
}

}  // namespace marlowen
