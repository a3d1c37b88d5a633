#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "storage/Ed25519.h"

namespace marlowen {
namespace {

using Ed25519::TPublicKey;
using Ed25519::TSeed;
using Ed25519::TSignature;

std::vector<uint8_t> FromHex(const std::string& hex) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

template <size_t N>
std::array<uint8_t, N> ArrayFromHex(const std::string& hex) {
    const std::vector<uint8_t> bytes = FromHex(hex);
    std::array<uint8_t, N> array{};
    EXPECT_EQ(bytes.size(), N);
    std::copy(bytes.begin(), bytes.begin() + std::min(N, bytes.size()), array.begin());
    return array;
}

struct TVector {
    TSeed Seed;
    TPublicKey Key;
    std::vector<uint8_t> Message;
    TSignature Signature;
};

TVector Vector(const std::string& seed, const std::string& key, const std::string& message,
               const std::string& signature) {
    return {ArrayFromHex<32>(seed), ArrayFromHex<32>(key), FromHex(message), ArrayFromHex<64>(signature)};
}

const char* const kLongMessage =
    "08b8b2b733424243760fe426a4b54908632110a66c2f6591eabd3345e3e4eb98fa6e264bf09efe12ee50f8f54e9f77b1"
    "e355f6c50544e23fb1433ddf73be84d879de7c0046dc4996d9e773f4bc9efe5738829adb26c81b37c93a1b270b20329d"
    "658675fc6ea534e0810a4432826bf58c941efb65d57a338bbd2e26640f89ffbc1a858efcb8550ee3a5e1998bd177e93a"
    "7363c344fe6b199ee5d02e82d522c4feba15452f80288a821a579116ec6dad2b3b310da903401aa62100ab5d1a36553e"
    "06203b33890cc9b832f79ef80560ccb9a39ce767967ed628c6ad573cb116dbefefd75499da96bd68a8a97b928a8bbc10"
    "3b6621fcde2beca1231d206be6cd9ec7aff6f6c94fcd7204ed3455c68c83f4a41da4af2b74ef5c53f1d8ac70bdcb7ed1"
    "85ce81bd84359d44254d95629e9855a94a7c1958d1f8ada5d0532ed8a5aa3fb2d17ba70eb6248e594e1a2297acbbb39d"
    "502f1a8c6eb6f1ce22b3de1a1f40cc24554119a831a9aad6079cad88425de6bde1a9187ebb6092cf67bf2b13fd65f270"
    "88d78b7e883c8759d2c4f5c65adb7553878ad575f9fad878e80a0c9ba63bcbcc2732e69485bbc9c90bfbd62481d9089b"
    "eccf80cfe2df16a2cf65bd92dd597b0707e0917af48bbb75fed413d238f5555a7a569d80c3414a8d0859dc65a46128ba"
    "b27af87a71314f318c782b23ebfe808b82b0ce26401d2e22f04d83d1255dc51addd3b75a2b1ae0784504df543af8969b"
    "e3ea7082ff7fc9888c144da2af58429ec96031dbcad3dad9af0dcbaaaf268cb8fcffead94f3c7ca495e056a9b47acdb7"
    "51fb73e666c6c655ade8297297d07ad1ba5e43f1bca32301651339e22904cc8c42f58c30c04aafdb038dda0847dd988d"
    "cda6f3bfd15c4b4c4525004aa06eeff8ca61783aacec57fb3d1f92b0fe2fd1a85f6724517b65e614ad6808d6f6ee34df"
    "f7310fdc82aebfd904b01e1dc54b2927094b2db68d6f903b68401adebf5a7e08d78ff4ef5d63653a65040cf9bfd4aca7"
    "984a74d37145986780fc0b16ac451649de6188a7dbdf191f64b5fc5e2ab47b57f7f7276cd419c17a3ca8e1b939ae49e4"
    "88acba6b965610b5480109c8b17b80e1b7b750dfc7598d5d5011fd2dcc5600a32ef5b52a1ecc820e308aa342721aac09"
    "43bf6686b64b2579376504ccc493d97e6aed3fb0f9cd71a43dd497f01f17c0e2cb3797aa2a2f256656168e6c496afc5f"
    "b93246f6b1116398a346f1a641f3b041e989f7914f90cc2c7fff357876e506b50d334ba77c225bc307ba537152f3f161"
    "0e4eafe595f6d9d90d11faa933a15ef1369546868a7f3a45a96768d40fd9d03412c091c6315cf4fde7cb68606937380d"
    "b2eaaa707b4c4185c32eddcdd306705e4dc1ffc872eeee475a64dfac86aba41c0618983f8741c5ef68d3a101e8a3b8ca"
    "c60c905c15fc910840b94c00a0b9d0";

// RFC 8032, section 7.1.
const std::vector<TVector>& RfcVectors() {
    static const std::vector<TVector> vectors = {
        Vector("9d61b19deffd5a60ba844af492ec2cc44449c5697b326919703bac031cae7f60",
               "d75a980182b10ab7d54bfed3c964073a0ee172f3daa62325af021a68f707511a", "",
               "e5564300c360ac729086e2cc806e828a84877f1eb8e5d974d873e06522490155"
               "5fb8821590a33bacc61e39701cf9b46bd25bf5f0595bbe24655141438e7a100b"),
        Vector("4ccd089b28ff96da9db6c346ec114e0f5b8a319f35aba624da8cf6ed4fb8a6fb",
               "3d4017c3e843895a92b70aa74d1b7ebc9c982ccf2ec4968cc0cd55f12af4660c", "72",
               "92a009a9f0d4cab8720e820b5f642540a2b27b5416503f8fb3762223ebdb69da"
               "085ac1e43e15996e458f3613d0f11d8c387b2eaeb4302aeeb00d291612bb0c00"),
        Vector("c5aa8df43f9f837bedb7442f31dcb7b166d38535076f094b85ce3a2e0b4458f7",
               "fc51cd8e6218a1a38da47ed00230f0580816ed13ba3303ac5deb911548908025", "af82",
               "6291d657deec24024827e69c3abe01a30ce548a284743a445e3680d7db5ac3ac"
               "18ff9b538d16f290ae67f760984dc6594a7c15e9716ed28dc027beceea1ec40a"),
        Vector("f5e5767cf153319517630f226876b86c8160cc583bc013744c6bf255f5cc0ee5",
               "278117fc144c72340f67d0f2316e8386ceffbf2b2428c9c51fef7c597f1d426e", kLongMessage,
               "0aab4c900501b3e24d7cdf4663326a3a87df5e4843b2cbdb67cbf6e460fec350"
               "aa5371b1508f9f4528ecea23c436d94b5e8fcd4f681e30a6ac00a9704a188a03"),
    };
    return vectors;
}

bool Verify(const TPublicKey& key, const std::vector<uint8_t>& message, const TSignature& signature) {
    return Ed25519::Verify(key, message.data(), message.size(), signature);
}

// Encodings of the points of order 1, 2 and 4: the identity (y = 1), (0, -1) and (+-sqrt(-1), 0).
constexpr TPublicKey kIdentity = {1};
constexpr TPublicKey kMinusOne = {0xec, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
                                  0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
                                  0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x7f};
constexpr TPublicKey kZeroY = {};
constexpr TPublicKey kZeroYOtherSign = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80};

// y written as y + p, which fits in 255 bits for y < 19.
TPublicKey PlusPrime(uint8_t y) {
    TPublicKey key = kMinusOne;
    key[0] = static_cast<uint8_t>(0xed + y);
    return key;
}

TSignature SignatureOf(const TPublicKey& encodedR, const std::array<uint8_t, 32>& s) {
    TSignature signature;
    std::copy(encodedR.begin(), encodedR.end(), signature.begin());
    std::copy(s.begin(), s.end(), signature.begin() + 32);
    return signature;
}

TEST(Ed25519, RfcVectors) {
    for (const TVector& v : RfcVectors()) {
        EXPECT_EQ(Ed25519::PublicKeyOf(v.Seed), v.Key) << v.Message.size();
        EXPECT_EQ(Ed25519::Sign(v.Seed, v.Message.data(), v.Message.size()), v.Signature) << v.Message.size();
        EXPECT_TRUE(Verify(v.Key, v.Message, v.Signature)) << v.Message.size();
    }
}

// TEST SHA(abc): the message is the 64-byte SHA-512 digest of "abc".
TEST(Ed25519, RfcVectorOfADigest) {
    const TVector v = Vector("833fe62409237b9d62ec77587520911e9a759cec1d19755b7da901b96dca3d42",
                             "ec172b93ad5e563bf4932c70e1245034c35467ef2efd4d64ebf819683467e2bf",
                             "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
                             "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f",
                             "dc2a4459e7369633a52b1bf277839a00201009a3efbf3ecb69bea2186c26b589"
                             "09351fc9ac90b3ecfdfbc7c66431e0303dca179c138ac17ad9bef1177331a704");
    EXPECT_EQ(Ed25519::PublicKeyOf(v.Seed), v.Key);
    EXPECT_EQ(Ed25519::Sign(v.Seed, v.Message.data(), v.Message.size()), v.Signature);
    EXPECT_TRUE(Verify(v.Key, v.Message, v.Signature));
}

TEST(Ed25519, SigningIsDeterministic) {
    const TVector& v = RfcVectors()[2];
    const TSignature first = Ed25519::Sign(v.Seed, v.Message.data(), v.Message.size());
    EXPECT_EQ(Ed25519::Sign(v.Seed, v.Message.data(), v.Message.size()), first);
    EXPECT_NE(Ed25519::Sign(v.Seed, v.Message.data(), 1), first);
}

TEST(Ed25519, EverySingleBitFlipIsRejected) {
    // TEST 3: a two-byte message; every bit of message, signature and key matters.
    for (const TVector& v : {RfcVectors()[2]}) {
        for (size_t bit = 0; bit < 8 * v.Message.size(); ++bit) {
            std::vector<uint8_t> message = v.Message;
            message[bit / 8] ^= static_cast<uint8_t>(1 << (bit % 8));
            EXPECT_FALSE(Verify(v.Key, message, v.Signature)) << "message bit " << bit;
        }
        for (size_t bit = 0; bit < 8 * v.Signature.size(); ++bit) {
            TSignature signature = v.Signature;
            signature[bit / 8] ^= static_cast<uint8_t>(1 << (bit % 8));
            EXPECT_FALSE(Verify(v.Key, v.Message, signature)) << "signature bit " << bit;
        }
        for (size_t bit = 0; bit < 8 * v.Key.size(); ++bit) {
            TPublicKey key = v.Key;
            key[bit / 8] ^= static_cast<uint8_t>(1 << (bit % 8));
            EXPECT_FALSE(Verify(key, v.Message, v.Signature)) << "key bit " << bit;
        }
    }
}

// S + L satisfies the same equation as S; only the range check stops it.
TEST(Ed25519, MalleatedScalarIsRejected) {
    const std::array<uint8_t, 32> order =
        ArrayFromHex<32>("edd3f55c1a631258d69cf7a2def9de1400000000000000000000000000000010");
    for (const TVector& v : RfcVectors()) {
        TSignature signature = v.Signature;
        unsigned carry = 0;
        for (size_t i = 0; i < 32; ++i) {
            carry += signature[32 + i] + order[i];
            signature[32 + i] = static_cast<uint8_t>(carry);
            carry >>= 8;
        }
        EXPECT_FALSE(Verify(v.Key, v.Message, signature)) << v.Message.size();
    }
    // S = L with the identity as A and R: [L]B is the identity too.
    EXPECT_FALSE(Verify(kIdentity, {'m'}, SignatureOf(kIdentity, order)));
}

// With A and R the identity and S = 0, the cofactorless equation holds for any message: only the
// small-order rule refuses it, and the same for every other point of order 2, 4 or 8.
TEST(Ed25519, SmallOrderKeysAndRAreRejected) {
    const std::array<uint8_t, 32> zero{};
    for (const TPublicKey& a : {kIdentity, kMinusOne, kZeroY, kZeroYOtherSign}) {
        for (const TPublicKey& r : {kIdentity, kMinusOne, kZeroY, kZeroYOtherSign}) {
            for (uint8_t m = 0; m < 4; ++m) EXPECT_FALSE(Verify(a, {m}, SignatureOf(r, zero)));
        }
    }
    const TVector& v = RfcVectors()[0];
    for (const TPublicKey& r : {kIdentity, kMinusOne, kZeroY}) {
        TSignature signature = v.Signature;
        std::copy(r.begin(), r.end(), signature.begin());
        EXPECT_FALSE(Verify(v.Key, v.Message, signature));
    }
    EXPECT_TRUE(Verify(v.Key, v.Message, v.Signature));
}

// Encodings of y at or above p, or of x = 0 with the sign bit: none decodes. (The points these
// spell are of small order too, so either rule refuses them.)
TEST(Ed25519, NonCanonicalEncodingsAreRejected) {
    const std::vector<uint8_t> message = {'m'};
    const std::array<uint8_t, 32> zero{};

    const TPublicKey identityPlusPrime = PlusPrime(1);
    EXPECT_FALSE(Verify(identityPlusPrime, message, SignatureOf(kIdentity, zero)));
    EXPECT_FALSE(Verify(kIdentity, message, SignatureOf(identityPlusPrime, zero)));
    TPublicKey identityWithSign = kIdentity;
    identityWithSign[31] |= 0x80;  // x = 0 has no negative
    EXPECT_FALSE(Verify(identityWithSign, message, SignatureOf(kIdentity, zero)));
    EXPECT_FALSE(Verify(kIdentity, message, SignatureOf(identityWithSign, zero)));

    // y = p stands for y = 0, a point of order 4: one R of that subgroup balances [k]A for about
    // one message in four, so enough messages and R would find any that slipped through.
    TPublicKey yIsPrimeOtherSign = PlusPrime(0);
    yIsPrimeOtherSign[31] |= 0x80;
    for (const TPublicKey& yIsPrime : {PlusPrime(0), yIsPrimeOtherSign}) {
        for (const TPublicKey& r : {kIdentity, kMinusOne, kZeroY, kZeroYOtherSign}) {
            for (uint8_t m = 0; m < 8; ++m) {
                EXPECT_FALSE(Verify(yIsPrime, {m}, SignatureOf(r, zero))) << int{yIsPrime[31]} << " " << int{m};
                EXPECT_FALSE(Verify(r, {m}, SignatureOf(yIsPrime, zero))) << int{yIsPrime[31]} << " " << int{m};
            }
        }
    }
    TPublicKey allOnes;
    allOnes.fill(0xff);
    EXPECT_FALSE(Verify(allOnes, message, SignatureOf(kIdentity, zero)));
}

TEST(Ed25519, PointsOffTheCurveAreRejected) {
    const TVector& v = RfcVectors()[0];
    TPublicKey offCurve{};  // y = 2: (y^2 - 1) / (d y^2 + 1) is not a square
    offCurve[0] = 2;
    EXPECT_FALSE(Verify(offCurve, v.Message, v.Signature));
    TSignature signature = v.Signature;
    std::copy(offCurve.begin(), offCurve.end(), signature.begin());
    EXPECT_FALSE(Verify(v.Key, v.Message, signature));
}

TEST(Ed25519, AllZeroSignatureIsRejected) {
    for (const TVector& v : RfcVectors()) EXPECT_FALSE(Verify(v.Key, v.Message, TSignature{})) << v.Message.size();
}

}  // namespace
}  // namespace marlowen
