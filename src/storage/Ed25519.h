#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Pure Ed25519 signatures (RFC 8032, section 5.1).
namespace marlowen::Ed25519 {

using TSeed = std::array<uint8_t, 32>;  // the secret key as RFC 8032 defines it
using TPublicKey = std::array<uint8_t, 32>;
using TSignature = std::array<uint8_t, 64>;

TPublicKey PublicKeyOf(const TSeed& seed);
TSignature Sign(const TSeed& seed, const uint8_t* message, size_t size);
// Pure Ed25519 verification, strict: false for a public key or R that does not decode to a point
// on the curve (non-canonical y >= p included) or is of small order (order 1, 2, 4 or 8), for
// S >= L (malleability), and for a wrong signature.
bool Verify(const TPublicKey& key, const uint8_t* message, size_t size, const TSignature& signature);

}  // namespace marlowen::Ed25519
