// Verifying an update package's signature: this project's Ed25519 against libsodium's
// crypto_sign_verify_detached on the same key, package and signature, for a 1 KiB and a 100 MiB
// package (the latter bound by SHA-512). Before timing, a 10 000-round differential run checks that
// both give the same verdict on random keys, messages and single-bit forgeries.
#include <benchmark/benchmark.h>
#include <sodium.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "storage/Ed25519.h"

namespace {

using namespace marlowen;

struct TSignedPackage {
    Ed25519::TPublicKey Key;
    std::vector<uint8_t> Bytes;
    Ed25519::TSignature Signature;
};

const TSignedPackage& Package(size_t size) {
    static std::vector<std::pair<size_t, TSignedPackage>> made;
    for (const auto& [s, package] : made) {
        if (s == size) return package;
    }
    Ed25519::TSeed seed;
    seed.fill(0x5a);
    TSignedPackage package;
    package.Key = Ed25519::PublicKeyOf(seed);
    package.Bytes.resize(size);
    std::mt19937 random(7);
    for (uint8_t& byte : package.Bytes) byte = static_cast<uint8_t>(random());
    package.Signature = Ed25519::Sign(seed, package.Bytes.data(), package.Bytes.size());
    made.emplace_back(size, std::move(package));
    return made.back().second;
}

void BM_VerifyOurs(benchmark::State& state) {
    const TSignedPackage& p = Package(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        if (!Ed25519::Verify(p.Key, p.Bytes.data(), p.Bytes.size(), p.Signature)) state.SkipWithError("no verdict");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_VerifyLibsodium(benchmark::State& state) {
    const TSignedPackage& p = Package(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        if (crypto_sign_verify_detached(p.Signature.data(), p.Bytes.data(), p.Bytes.size(), p.Key.data()) != 0) {
            state.SkipWithError("no verdict");
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

BENCHMARK(BM_VerifyOurs)->Arg(1024)->Arg(100 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VerifyLibsodium)->Arg(1024)->Arg(100 << 20)->Unit(benchmark::kMicrosecond);

bool SameVerdict(const Ed25519::TPublicKey& key, const std::vector<uint8_t>& message,
                 const Ed25519::TSignature& signature) {
    const bool ours = Ed25519::Verify(key, message.data(), message.size(), signature);
    const bool theirs =
        crypto_sign_verify_detached(signature.data(), message.data(), message.size(), key.data()) == 0;
    return ours == theirs;
}

// 10 000 random keys and messages of random length: the same keys and signatures, and the same
// verdicts on the sound signature and on one bit flipped in R, S, the key and the message.
bool DifferentialRun() {
    std::mt19937_64 random(1209);
    for (int round = 0; round < 10000; ++round) {
        Ed25519::TSeed seed;
        for (uint8_t& byte : seed) byte = static_cast<uint8_t>(random());
        std::vector<uint8_t> message(random() % 2000);
        for (uint8_t& byte : message) byte = static_cast<uint8_t>(random());
        Ed25519::TPublicKey theirKey;
        uint8_t theirSecret[64];
        crypto_sign_seed_keypair(theirKey.data(), theirSecret, seed.data());
        Ed25519::TSignature theirs;
        crypto_sign_detached(theirs.data(), nullptr, message.data(), message.size(), theirSecret);
        const Ed25519::TPublicKey key = Ed25519::PublicKeyOf(seed);
        const Ed25519::TSignature signature = Ed25519::Sign(seed, message.data(), message.size());
        if (key != theirKey || signature != theirs || !SameVerdict(key, message, signature)) return false;
        Ed25519::TSignature badR = signature, badS = signature;
        badR[random() % 32] ^= static_cast<uint8_t>(1u << (random() % 8));
        badS[32 + random() % 32] ^= static_cast<uint8_t>(1u << (random() % 8));
        Ed25519::TPublicKey badKey = key;
        badKey[random() % 32] ^= static_cast<uint8_t>(1u << (random() % 8));
        std::vector<uint8_t> badMessage = message;
        badMessage.push_back(0);
        badMessage[random() % badMessage.size()] ^= static_cast<uint8_t>(1u << (random() % 8));
        if (!SameVerdict(key, message, badR) || !SameVerdict(key, message, badS) ||
            !SameVerdict(badKey, message, signature) || !SameVerdict(key, badMessage, signature)) {
            std::fprintf(stderr, "the verdicts differ in round %d\n", round);
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (sodium_init() < 0) return 1;
    if (!DifferentialRun()) return 1;
    std::printf("differential run: 10000 keys, 50000 verdicts, all the same as libsodium's\n");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
