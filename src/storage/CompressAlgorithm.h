#pragma once

#include <cstdint>
#include <string>

#include "core/Exception.h"

namespace marlowen {

// Raised for a compressed block that cannot be decoded and for sizes a compressor cannot take.
class ECompressException : public Exception {
public:
    // The format error: "Неверный формат сжатых данных."
    ECompressException();
    explicit ECompressException(std::string message);
};

// A whole-block compressor. Implementations keep no state between calls, so one shared instance
// of each serves the whole process, from any number of threads. Sizes are signed 32-bit counts of
// bytes; a negative size, or one whose bound does not fit in 32 bits, raises ECompressException.
class TCompressAlgorithm {
public:
    TCompressAlgorithm() = default;
    TCompressAlgorithm(const TCompressAlgorithm&) = delete;
    TCompressAlgorithm& operator=(const TCompressAlgorithm&) = delete;
    virtual ~TCompressAlgorithm() = default;

    // Writes the compressed form of sourceSize bytes to destination, which holds at least
    // MaxCompressedSize(sourceSize) bytes, and returns the number of bytes written.
    virtual int32_t Compress(const uint8_t* source, int32_t sourceSize, uint8_t* destination) const = 0;

    // Rebuilds exactly destinationSize bytes from a block of sourceSize bytes; bytes after the
    // point where the destination is full are ignored. Any block that does not decode to exactly
    // that many bytes (cut short, a reference outside the output, a piece longer than the room
    // left) raises ECompressException; nothing outside either buffer is ever touched, though the
    // destination may then hold a partial result.
    virtual void Decompress(const uint8_t* source, int32_t sourceSize, uint8_t* destination,
                            int32_t destinationSize) const = 0;

    // The largest size Compress can return for n input bytes.
    virtual int32_t MaxCompressedSize(int32_t n) const = 0;

    // The most bytes a block of n bytes can decode to: a check on an announced size before the
    // destination is allocated for it.
    virtual int64_t MaxDecompressedSize(int32_t n) const = 0;

protected:
    // Raises the size error for n < 0; for the bound computations.
    static void CheckSize(int32_t n);
    // The bound narrowed to 32 bits; raises the size error when it does not fit.
    static int32_t CheckedBound(int64_t bound);
};

}  // namespace marlowen
