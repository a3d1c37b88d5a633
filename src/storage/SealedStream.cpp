#include "storage/SealedStream.h"

#include <cstdint>

#include "storage/Md5.h"
#include "storage/Rc4.h"

namespace marlowen {

namespace {

constexpr int32_t kDigestSize = 32;
constexpr int32_t kChecksumSize = 4;

uint32_t NextKeystreamWord(TRc4& cipher) {
    uint32_t word = 0;
    for (int i = 0; i < 4; ++i) word |= uint32_t{cipher.Next()} << (8 * i);
    return word;
}

// XORs the bytes with the keystream, summing the plain bytes (before when enciphering, after when
// deciphering).
uint32_t ApplySumming(TRc4& cipher, uint8_t* bytes, int32_t count, bool enciphering) {
    uint32_t sum = 0;
    for (int32_t n = 0; n < count; ++n) {
        if (enciphering) sum += bytes[n];
        bytes[n] ^= cipher.Next();
        if (!enciphering) sum += bytes[n];
    }
    return sum;
}

}  // namespace

std::string StreamDigestText(const TCustomMemStream& stream) {
    return TMd5::HexDigest(stream.Memory(), static_cast<size_t>(stream.Size()));
}

void SealStream(TCustomMemStream& stream, std::string_view key) {
    // Room for digest and checksum first, so that nothing can fail once enciphering has begun.
    if (stream.Size() > INT32_MAX - kDigestSize - kChecksumSize) {
        throw EStreamException::OutOfMemory(stream.ClassName());
    }
    const int32_t sealedSize = stream.Size() + kDigestSize + kChecksumSize;
    if (stream.Capacity() < sealedSize) stream.SetCapacity(sealedSize);
    TRc4 cipher(key);
    const std::string digest = StreamDigestText(stream);
    stream.Seek(0, TSeekOrigin::End);
    stream.WriteBuffer(digest.data(), kDigestSize);
    const uint32_t sum = ApplySumming(cipher, stream.Memory(), stream.Size(), true);
    const uint32_t checksum = sum ^ NextKeystreamWord(cipher);
    uint8_t bytes[kChecksumSize];
    for (int i = 0; i < kChecksumSize; ++i) bytes[i] = static_cast<uint8_t>(checksum >> (8 * i));
    stream.WriteBuffer(bytes, kChecksumSize);
}

void OpenSealedStream(TCustomMemStream& stream, std::string_view key) {
    if (stream.Size() < kChecksumSize) throw EStreamException::Damaged();
    TRc4 cipher(key);
    uint8_t* const memory = stream.Memory();
    const int32_t sealed = stream.Size() - kChecksumSize;
    const uint32_t sum = ApplySumming(cipher, memory, sealed, false);
    const uint32_t stored = uint32_t{memory[sealed]} | uint32_t{memory[sealed + 1]} << 8 |
                            uint32_t{memory[sealed + 2]} << 16 | uint32_t{memory[sealed + 3]} << 24;
    bool intact = stored == (sum ^ NextKeystreamWord(cipher));
    if (intact) intact = sealed >= kDigestSize;
    if (intact) {
        const int32_t content = sealed - kDigestSize;
        const std::string digest = TMd5::HexDigest(memory, static_cast<size_t>(content));
        intact = digest.compare(0, kDigestSize, reinterpret_cast<const char*>(memory + content), kDigestSize) == 0;
    }
    if (!intact) {
        // Encipher again with a fresh keystream: the stream holds its sealed bytes once more.
        TRc4 restore(key);
        restore.Apply(memory, static_cast<size_t>(sealed));
        throw EStreamException::Damaged();
    }
    stream.SetSize(sealed - kDigestSize);
    stream.SetPosition(0);
}

}  // namespace marlowen
