#include "storage/LZRBCompress.h"

#include "storage/LZRCoder.h"

namespace marlowen {

int32_t TLZRBCompress::Compress(const uint8_t* source, int32_t sourceSize, uint8_t* destination) const {
    MaxCompressedSize(sourceSize);  // raises for a size without a 32-bit bound
    return lzr::Encode(source, sourceSize, destination, 1);
}

void TLZRBCompress::Decompress(const uint8_t* source, int32_t sourceSize, uint8_t* destination,
                               int32_t destinationSize) const {
    CheckSize(sourceSize);
    CheckSize(destinationSize);
    lzr::Decode(source, sourceSize, destination, destinationSize, 1);
}

int32_t TLZRBCompress::MaxCompressedSize(int32_t n) const {
    CheckSize(n);
    return CheckedBound(int64_t{n} + (int64_t{n} + 7) / 8);
}

int64_t TLZRBCompress::MaxDecompressedSize(int32_t n) const {
    CheckSize(n);
    return 9 * int64_t{n};
}

TLZRBCompress& LZRBCompress() {
    static TLZRBCompress instance;
    return instance;
}

}  // namespace marlowen
