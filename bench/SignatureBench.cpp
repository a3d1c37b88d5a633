// Verifying an update package's signature: this project's Ed25519 against libsodium's
// crypto_sign_verify_detached on the same key, package and signature, for a 1 KiB and a 100 MiB
// package (the latter bound by SHA-512). That both give the same verdicts is the storage tests'
// business (Ed25519Sodium).
#include <benchmark/benchmark.h>
#include <sodium.h>

#include <cstdint>
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

}  // namespace

int main(int argc, char** argv) {
    if (sodium_init() < 0) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
