// The Ed25519 verifier against libsodium's on the same inputs: every verdict must be the same,
// for sound signatures, tampered ones and the edge cases the careful verifiers refuse.
#include <gtest/gtest.h>

#include <sodium.h>

#include <array>
#include <random>
#include <vector>

#include "storage/Ed25519.h"

namespace marlowen {
namespace {

using namespace Ed25519;

bool SodiumVerifies(const TPublicKey& key, const std::vector<uint8_t>& message, const TSignature& signature) {
    return crypto_sign_verify_detached(signature.data(), message.data(), message.size(), key.data()) == 0;
}

bool OursVerifies(const TPublicKey& key, const std::vector<uint8_t>& message, const TSignature& signature) {
    return Verify(key, message.data(), message.size(), signature);
}

class Ed25519Sodium : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_GE(sodium_init(), 0); }

    void ExpectSameVerdict(const TPublicKey& key, const std::vector<uint8_t>& message, const TSignature& signature,
                           const char* what) {
        EXPECT_EQ(OursVerifies(key, message, signature), SodiumVerifies(key, message, signature)) << what;
    }
};

TEST_F(Ed25519Sodium, KeysSignaturesAndVerdictsAgreeOnRandomInputs) {
    std::mt19937_64 random(20261209);
    // Each round: a key, a message of random length, the sound signature and one bit flipped in
    // R, S, the key and the message.
    // Ten thousand rounds in optimised builds; an unoptimised one (the checked standard library's)
    // runs a tenth of them, which its purpose does not need more of.
#ifdef __OPTIMIZE__
    constexpr int kRounds = 10000;
#else
    constexpr int kRounds = 1000;
#endif
    for (int round = 0; round < kRounds; ++round) {
        TSeed seed;
        for (uint8_t& byte : seed) byte = static_cast<uint8_t>(random());
        std::vector<uint8_t> message(random() % 1000);
        for (uint8_t& byte : message) byte = static_cast<uint8_t>(random());

        TPublicKey theirKey;
        std::array<uint8_t, 64> theirSecret;
        crypto_sign_seed_keypair(theirKey.data(), theirSecret.data(), seed.data());
        TSignature theirSignature;
        crypto_sign_detached(theirSignature.data(), nullptr, message.data(), message.size(), theirSecret.data());
        const TPublicKey key = PublicKeyOf(seed);
        const TSignature signature = Sign(seed, message.data(), message.size());
        ASSERT_EQ(key, theirKey) << round;
        ASSERT_EQ(signature, theirSignature) << round;
        ASSERT_TRUE(OursVerifies(key, message, signature)) << round;

        TSignature badR = signature, badS = signature;
        badR[random() % 32] ^= static_cast<uint8_t>(1u << (random() % 8));
        badS[32 + random() % 32] ^= static_cast<uint8_t>(1u << (random() % 8));
        TPublicKey badKey = key;
        badKey[random() % 32] ^= static_cast<uint8_t>(1u << (random() % 8));
        std::vector<uint8_t> badMessage = message;
        if (badMessage.empty()) badMessage.push_back(0);
        badMessage[random() % badMessage.size()] ^= static_cast<uint8_t>(1u << (random() % 8));
        ExpectSameVerdict(key, message, badR, "R");
        ExpectSameVerdict(key, message, badS, "S");
        ExpectSameVerdict(badKey, message, signature, "key");
        ExpectSameVerdict(key, badMessage, signature, "message");
    }
}

// S = L and S = L + 1, R and A of small order, non-canonical encodings: the verdicts agree.
TEST_F(Ed25519Sodium, EdgeCasesGetLibsodiumsVerdict) {
    TSeed seed{};
    seed.fill(42);
    const std::vector<uint8_t> message{'e', 'd', 'g', 'e'};
    const TPublicKey key = PublicKeyOf(seed);
    const TSignature sound = Sign(seed, message.data(), message.size());
    const std::array<uint8_t, 32> order = {0xed, 0xd3, 0xf5, 0x5c, 0x1a, 0x63, 0x12, 0x58, 0xd6, 0x9c, 0xf7,
                                           0xa2, 0xde, 0xf9, 0xde, 0x14, 0,    0,    0,    0,    0,    0,
                                           0,    0,    0,    0,    0,    0,    0,    0,    0,    0x10};
    for (uint8_t add = 0; add < 3; ++add) {
        TSignature signature = sound;
        for (int i = 0; i < 32; ++i) signature[32 + i] = order[i];
        signature[32] = static_cast<uint8_t>(signature[32] + add);  // L, L + 1, L + 2
        ExpectSameVerdict(key, message, signature, "S at or above L");
    }
    // Points of small order and encodings of y at or above p, as keys and as R.
    std::vector<TPublicKey> odd;
    TPublicKey point{};
    point[0] = 1;
    odd.push_back(point);  // the identity
    point = {};
    odd.push_back(point);  // y = 0, order 4
    point[31] = 0x80;
    odd.push_back(point);
    point.fill(0xff);
    point[31] = 0x7f;
    point[0] = 0xec;
    odd.push_back(point);  // y = p - 1, order 2
    for (uint8_t low = 0xed; low != 0; ++low) {  // y = p .. p + 18
        point.fill(0xff);
        point[31] = 0x7f;
        point[0] = low;
        odd.push_back(point);
    }
    const std::array<uint8_t, 32> zero{};
    for (const TPublicKey& a : odd) {
        ExpectSameVerdict(a, message, sound, "odd key");
        TSignature signature = sound;
        std::copy(a.begin(), a.end(), signature.begin());
        ExpectSameVerdict(key, message, signature, "odd R");
        for (int i = 0; i < 32; ++i) signature[32 + i] = zero[i];
        ExpectSameVerdict(a, message, signature, "odd key and R, S = 0");
    }
}

}  // namespace
}  // namespace marlowen
