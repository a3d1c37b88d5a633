#include "storage/LZRDCompress.h"

#include "storage/LZRCoder.h"

namespace marlowen {

int32_t TLZRDCompress::Compress(const uint8_t* source, int32_t sourceSize, uint8_t* destination) const {
    MaxCompressedSize(sourceSize);  // raises for a size without a 32-bit bound
    return lzr::Encode(source, sourceSize, destination, 4);
}

void TLZRDCompress::Decompress(const uint8_t* source, int32_t sourceSize, uint8_t* destination,
                               int32_t destinationSize) const {
    CheckSize(sourceSize);
    CheckSize(destinationSize);
    lzr::Decode(source, sourceSize, destination, destinationSize, 4);
}

int32_t TLZRDCompress::MaxCompressedSize(int32_t n) const {
    CheckSize(n);
    return CheckedBound(int64_t{n} + 4 * ((int64_t{n} + 31) / 32));
}

int64_t TLZRDCompress::MaxDecompressedSize(int32_t n) const {
    CheckSize(n);
    return 9 * int64_t{n};
}

TLZRDCompress& LZRDCompress() {
    static TLZRDCompress instance;
    return instance;
}

}  // namespace marlowen
