#pragma once

#include <cstdint>

#include "storage/MemStream.h"

namespace marlowen {

class TCompressAlgorithm;

// Tag bytes of the typed value encoding: one tag per value, choosing the width of what follows.
// Numbers are little-endian; wide-string counts are in 16-bit units. Tags 15 to 31 and 44 have no
// reader (SkipValue passes them); tags above 44 are invalid.
constexpr uint8_t kTagZero = 0;              // integer 0
constexpr uint8_t kTagUInt8 = 1;             // 1 to 4: not negative, 1-4 bytes
constexpr uint8_t kTagUInt32 = 4;            // 4-byte unsigned
constexpr uint8_t kTagEmptyString = 5;       // 5 to 8: 8-bit string, 0/1/2/4-byte length
constexpr uint8_t kTagString8 = 6;
constexpr uint8_t kTagString16 = 7;
constexpr uint8_t kTagString32 = 8;          // length below 2^30
constexpr uint8_t kTagTrue = 9;
constexpr uint8_t kTagFalse = 10;
constexpr uint8_t kTagDouble = 11;           // 8-byte IEEE double
constexpr uint8_t kTagDateTime = 12;         // 8-byte IEEE double, days since 1899-12-30
constexpr uint8_t kTagExtended = 13;         // 10-byte x87 extended
constexpr uint8_t kTagBlock = 14;            // 4-byte length, then the bytes
constexpr uint8_t kTagUnassigned = 32;
constexpr uint8_t kTagNull = 33;
constexpr uint8_t kTagEmptyWideString = 34;  // 34 to 37: wide string, 0/1/2/4-byte count
constexpr uint8_t kTagWideString8 = 35;
constexpr uint8_t kTagWideString16 = 36;
constexpr uint8_t kTagWideString32 = 37;
constexpr uint8_t kTagInt64 = 38;            // 8-byte signed
constexpr uint8_t kTagNegative8 = 39;        // 39 to 42: minus a 1-4 byte unsigned magnitude
constexpr uint8_t kTagNegative32 = 42;
constexpr uint8_t kTagNegative64 = 43;       // minus an 8-byte magnitude (at most 2^63)
constexpr uint8_t kTagLast = 44;

// The stream of packs, update packages and typed files.
class TTypedStream : public TCustomMemStream {
public:
    TTypedStream() = default;
    const char* ClassName() const override { return "TTypedStream"; }
};

// Expands a stream holding a 4-byte size N and a compressed block into its N bytes, position 0.
// An empty stream stays empty. A stream of 1 to 3 bytes, a negative N or one the block cannot
// expand to, and malformed data raise ECompressException; the stream is then unchanged.
void DecompressStream(TCustomMemStream& stream, const TCompressAlgorithm& algorithm);

}  // namespace marlowen
