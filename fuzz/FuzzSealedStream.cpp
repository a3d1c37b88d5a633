// Opening a seal over arbitrary bytes: it succeeds or raises the damage error, and on failure the
// stream still holds exactly the bytes it was given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "storage/SealedStream.h"
#include "storage/TypedStream.h"

using namespace marlowen;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > (1u << 20)) return 0;
    // The first byte is the key length; the key follows, then the sealed bytes.
    const size_t keyLength = std::min<size_t>(data[0], size - 1);
    const std::string key(reinterpret_cast<const char*>(data + 1), keyLength);
    const uint8_t* sealed = data + 1 + keyLength;
    const auto sealedSize = static_cast<int32_t>(size - 1 - keyLength);

    TTypedStream stream;
    stream.WriteBuffer(sealed, sealedSize);
    try {
        OpenSealedStream(stream, key);
    } catch (const EStreamException&) {
        if (stream.Size() != sealedSize || (sealedSize > 0 && std::memcmp(stream.Memory(), sealed, sealedSize) != 0)) {
            std::abort();
        }
        return 0;
    }
    // Opened: sealing the content again with the same key gives the same bytes back.
    SealStream(stream, key);
    if (stream.Size() != sealedSize || std::memcmp(stream.Memory(), sealed, sealedSize) != 0) std::abort();
    return 0;
}
