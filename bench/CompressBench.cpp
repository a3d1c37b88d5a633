// Throughput and ratio of the compression methods against zlib (levels 1 and 6), LZ4 and memcpy,
// all on one fixed corpus of about 1 MiB of the kinds of data the packs hold. Compression counts
// input bytes per second, decompression output bytes per second; "ratio" is compressed / original.
#include <benchmark/benchmark.h>
#include <lz4.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "storage/LZRBCompress.h"
#include "storage/LZRDCompress.h"
#include "storage/LZWBCompress.h"

namespace {

using TBytes = std::vector<uint8_t>;

// xorshift32: the same corpus on every machine.
class TRandom {
public:
    uint32_t Next() {
        State_ ^= State_ << 13;
        State_ ^= State_ >> 17;
        State_ ^= State_ << 5;
        return State_;
    }
    uint32_t Below(uint32_t n) { return Next() % n; }

private:
    uint32_t State_ = 2463534242u;
};

void AppendText(TBytes& out, size_t size, TRandom& random) {
    static const char* const kWords[] = {
        "the",   "window", "button", "skin",   "style", "setup",  "install", "folder", "program", "update",
        "of",    "and",    "to",     "a",      "in",    "is",     "for",     "with",   "Marlowen", "odds",
        "poker", "hand",   "card",   "table",  "click", "next",   "cancel",  "finish", "please",  "select"};
    static const char* const kElements[] = {"Button", "Label", "Image", "Frame", "Edit", "CheckBox"};
    const size_t end = out.size() + size;
    while (out.size() < end) {
        std::string line;
        if (random.Below(3) == 0) {
            line = "  <" + std::string(kElements[random.Below(6)]) + " Name=\"" + kWords[random.Below(30)] +
                   std::to_string(random.Below(100)) + "\" Left=\"" + std::to_string(random.Below(640)) +
                   "\" Top=\"" + std::to_string(random.Below(480)) + "\" Style=\"" + kWords[random.Below(30)] +
                   "\"/>\n";
        } else {
            const uint32_t words = 4 + random.Below(12);
            for (uint32_t i = 0; i < words; ++i) {
                line += kWords[random.Below(30) % (1 + random.Below(30))];
                line += i + 1 < words ? ' ' : '.';
            }
            line += '\n';
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    out.resize(end);
}

// 32-bit ARGB pixels: gradients, flat panels and a few noisy edges.
void AppendBitmap(TBytes& out, size_t size, TRandom& random) {
    const size_t end = out.size() + size;
    const uint32_t width = 256;
    for (uint32_t y = 0; out.size() < end; ++y) {
        for (uint32_t x = 0; x < width && out.size() < end; ++x) {
            uint32_t pixel;
            if ((x / 64 + y / 48) % 3 == 0) {
                pixel = 0xFF000000u | ((x * 255 / width) << 16) | ((y % 256) << 8) | 0x40;
            } else if ((x / 64 + y / 48) % 3 == 1) {
                pixel = 0xFF2A3B4Cu;
            } else {
                pixel = (random.Below(8) == 0 ? random.Next() : 0x80FFFFFFu);
            }
            for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(pixel >> (8 * i)));
        }
    }
    out.resize(end);
}

// Glyph alpha maps of a bitmap font: mostly transparent, with short opaque strokes.
void AppendGlyphs(TBytes& out, size_t size, TRandom& random) {
    const size_t end = out.size() + size;
    while (out.size() < end) {
        const uint32_t strokes = random.Below(6);
        TBytes glyph(16 * 16, 0);
        for (uint32_t s = 0; s < strokes; ++s) {
            const uint32_t row = random.Below(16);
            const uint32_t from = random.Below(12);
            for (uint32_t x = from; x < from + 4; ++x) glyph[row * 16 + x] = static_cast<uint8_t>(0xC0 + random.Below(64));
        }
        out.insert(out.end(), glyph.begin(), glyph.end());
    }
    out.resize(end);
}

// Little-endian records of a data table: ids counting up, small amounts, flags.
void AppendRecords(TBytes& out, size_t size, TRandom& random) {
    const size_t end = out.size() + size;
    for (uint32_t id = 1000; out.size() < end; ++id) {
        const uint32_t fields[] = {id, random.Below(5000), random.Below(4), 0x20240101u + random.Below(365)};
        for (uint32_t field : fields) {
            for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(field >> (8 * i)));
        }
    }
    out.resize(end);
}

// Already compressed content (images, sounds): incompressible.
void AppendNoise(TBytes& out, size_t size, TRandom& random) {
    for (size_t i = 0; i < size; ++i) out.push_back(static_cast<uint8_t>(random.Next() >> 11));
}

const TBytes& Corpus() {
    static const TBytes corpus = [] {
        TRandom random;
        TBytes data;
        const size_t k = 1024;
        AppendText(data, 384 * k, random);
        AppendBitmap(data, 256 * k, random);
        AppendGlyphs(data, 128 * k, random);
        AppendRecords(data, 128 * k, random);
        AppendNoise(data, 128 * k, random);
        return data;
    }();
    return corpus;
}

// One codec: compress into a buffer of its bound, decompress into the original size.
struct TCodec {
    size_t (*Bound)(size_t n);
    size_t (*Compress)(const TBytes& in, TBytes& out);
    void (*Decompress)(const TBytes& in, size_t packed, TBytes& out);
};

template <const marlowen::TCompressAlgorithm& (*Algorithm)()>
TCodec Own() {
    return TCodec{
        [](size_t n) { return static_cast<size_t>(Algorithm().MaxCompressedSize(static_cast<int32_t>(n))); },
        [](const TBytes& in, TBytes& out) {
            return static_cast<size_t>(Algorithm().Compress(in.data(), static_cast<int32_t>(in.size()), out.data()));
        },
        [](const TBytes& in, size_t packed, TBytes& out) {
            Algorithm().Decompress(in.data(), static_cast<int32_t>(packed), out.data(), static_cast<int32_t>(out.size()));
        }};
}

const marlowen::TCompressAlgorithm& Lzrb() { return marlowen::LZRBCompress(); }
const marlowen::TCompressAlgorithm& Lzrd() { return marlowen::LZRDCompress(); }
const marlowen::TCompressAlgorithm& Lzwb() { return marlowen::LZWBCompress(); }

template <int Level>
TCodec Zlib() {
    return TCodec{[](size_t n) { return static_cast<size_t>(compressBound(static_cast<uLong>(n))); },
                  [](const TBytes& in, TBytes& out) {
                      uLongf size = out.size();
                      if (compress2(out.data(), &size, in.data(), in.size(), Level) != Z_OK) std::abort();
                      return static_cast<size_t>(size);
                  },
                  [](const TBytes& in, size_t packed, TBytes& out) {
                      uLongf size = out.size();
                      if (uncompress(out.data(), &size, in.data(), packed) != Z_OK || size != out.size()) std::abort();
                  }};
}

TCodec Lz4() {
    return TCodec{[](size_t n) { return static_cast<size_t>(LZ4_compressBound(static_cast<int>(n))); },
                  [](const TBytes& in, TBytes& out) {
                      return static_cast<size_t>(LZ4_compress_default(reinterpret_cast<const char*>(in.data()),
                                                                      reinterpret_cast<char*>(out.data()),
                                                                      static_cast<int>(in.size()),
                                                                      static_cast<int>(out.size())));
                  },
                  [](const TBytes& in, size_t packed, TBytes& out) {
                      const int size = LZ4_decompress_safe(reinterpret_cast<const char*>(in.data()),
                                                           reinterpret_cast<char*>(out.data()), static_cast<int>(packed),
                                                           static_cast<int>(out.size()));
                      if (size != static_cast<int>(out.size())) std::abort();
                  }};
}

TCodec Memcpy() {
    return TCodec{[](size_t n) { return n; },
                  [](const TBytes& in, TBytes& out) {
                      std::memcpy(out.data(), in.data(), in.size());
                      return in.size();
                  },
                  [](const TBytes& in, size_t packed, TBytes& out) { std::memcpy(out.data(), in.data(), packed); }};
}

void BenchCompress(benchmark::State& state, TCodec codec) {
    const TBytes& data = Corpus();
    TBytes packed(codec.Bound(data.size()));
    size_t size = 0;
    for (auto _ : state) {
        size = codec.Compress(data, packed);
        benchmark::DoNotOptimize(packed.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
    state.counters["ratio"] = static_cast<double>(size) / static_cast<double>(data.size());
}

void BenchDecompress(benchmark::State& state, TCodec codec) {
    const TBytes& data = Corpus();
    TBytes packed(codec.Bound(data.size()));
    const size_t size = codec.Compress(data, packed);
    TBytes out(data.size());
    for (auto _ : state) {
        codec.Decompress(packed, size, out);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    if (out != data) state.SkipWithError("round trip failed");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
    state.counters["ratio"] = static_cast<double>(size) / static_cast<double>(data.size());
}

void RegisterAll() {
    const std::pair<const char*, TCodec> codecs[] = {
        {"LZRB", Own<Lzrb>()}, {"LZRD", Own<Lzrd>()},   {"LZWB", Own<Lzwb>()},   {"zlib-1", Zlib<1>()},
        {"zlib-6", Zlib<6>()}, {"LZ4", Lz4()},          {"memcpy", Memcpy()}};
    for (const auto& [name, codec] : codecs) {
        benchmark::RegisterBenchmark((std::string("Compress/") + name).c_str(), BenchCompress, codec)
            ->Unit(benchmark::kMillisecond);
    }
    for (const auto& [name, codec] : codecs) {
        benchmark::RegisterBenchmark((std::string("Decompress/") + name).c_str(), BenchDecompress, codec)
            ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
