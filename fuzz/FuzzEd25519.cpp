// Ed25519 over arbitrary bytes: verifying a key, signature and message read from the input never
// misbehaves, and a signature made with the input's seed verifies while the same signature with
// one bit flipped (where the input says) does not.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "storage/Ed25519.h"

using namespace marlowen;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 32 + 64 + 2 || size > (1u << 16)) return 0;
    Ed25519::TPublicKey key;
    Ed25519::TSignature signature;
    for (size_t i = 0; i < 32; ++i) key[i] = data[i];
    for (size_t i = 0; i < 64; ++i) signature[i] = data[32 + i];
    const uint8_t* message = data + 96;
    const size_t length = size - 96;
    Ed25519::Verify(key, message, length, signature);

    Ed25519::TSeed seed;
    for (size_t i = 0; i < 32; ++i) seed[i] = data[i];
    const Ed25519::TPublicKey own = Ed25519::PublicKeyOf(seed);
    Ed25519::TSignature sound = Ed25519::Sign(seed, message, length);
    if (!Ed25519::Verify(own, message, length, sound)) std::abort();
    const size_t bit = (data[32] | size_t{data[33]} << 8) % 512;
    sound[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
    if (Ed25519::Verify(own, message, length, sound)) std::abort();
    return 0;
}
