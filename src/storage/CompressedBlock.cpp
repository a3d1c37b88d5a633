#include "storage/CompressedBlock.h"

#include <iterator>
#include <string>

#include "core/StringHash.h"
#include "storage/LZRBCompress.h"
#include "storage/LZRDCompress.h"
#include "storage/LZWBCompress.h"

namespace marlowen {

namespace {

constexpr int32_t kHeaderSize = 4;

constexpr const char* kMethodNames[] = {"lzrb", "lzrd", "lzwb"};

int32_t CheckedSize(size_t size) {
    if (size > static_cast<size_t>(INT32_MAX)) throw ECompressException("Слишком большой блок данных для сжатия.");
    return static_cast<int32_t>(size);
}

}  // namespace

std::optional<TCompressMethod> FindCompressMethod(std::string_view name) {
    for (int32_t i = 0; i < static_cast<int32_t>(std::size(kMethodNames)); ++i) {
        if (TextEquals(name, kMethodNames[i])) return static_cast<TCompressMethod>(i);
    }
    return std::nullopt;
}

TCompressMethod GetCompressMethod(std::string_view name) {
    if (const auto method = FindCompressMethod(name)) return *method;
    throw ECompressException("Неизвестный метод сжатия \"" + std::string(name) + "\".");
}

const char* CompressMethodName(TCompressMethod method) {
    const auto index = static_cast<size_t>(method);
    return index < std::size(kMethodNames) ? kMethodNames[index] : "?";
}

TCompressAlgorithm& GetCompressAlgorithm(TCompressMethod method) {
    switch (method) {
        case TCompressMethod::LZRB:
            return LZRBCompress();
        case TCompressMethod::LZRD:
            return LZRDCompress();
        case TCompressMethod::LZWB:
            return LZWBCompress();
    }
    throw ECompressException("Неизвестный метод сжатия (" + std::to_string(static_cast<int32_t>(method)) + ").");
}

std::vector<uint8_t> CompressBlock(const TCompressAlgorithm& algorithm, const uint8_t* data, int32_t size) {
    const int32_t bound = algorithm.MaxCompressedSize(size);
    if (bound > INT32_MAX - kHeaderSize) throw ECompressException("Слишком большой блок данных для сжатия.");
    std::vector<uint8_t> block(static_cast<size_t>(kHeaderSize + bound));
    for (int i = 0; i < kHeaderSize; ++i) block[i] = static_cast<uint8_t>(static_cast<uint32_t>(size) >> (8 * i));
    const int32_t packed = algorithm.Compress(data, size, block.data() + kHeaderSize);
    block.resize(static_cast<size_t>(kHeaderSize + packed));
    return block;
}

std::vector<uint8_t> CompressBlock(TCompressMethod method, const std::vector<uint8_t>& data) {
    return CompressBlock(GetCompressAlgorithm(method), data.data(), CheckedSize(data.size()));
}

int32_t BlockUncompressedSize(const TCompressAlgorithm& algorithm, const uint8_t* block, int32_t size) {
    if (size == 0) return 0;
    if (size < kHeaderSize) throw ECompressException();
    const uint32_t raw = block[0] | (uint32_t{block[1]} << 8) | (uint32_t{block[2]} << 16) | (uint32_t{block[3]} << 24);
    const auto n = static_cast<int32_t>(raw);
    if (n < 0 || n > algorithm.MaxDecompressedSize(size - kHeaderSize)) throw ECompressException();
    return n;
}

std::vector<uint8_t> DecompressBlock(const TCompressAlgorithm& algorithm, const uint8_t* block, int32_t size) {
    const int32_t n = BlockUncompressedSize(algorithm, block, size);
    std::vector<uint8_t> data(static_cast<size_t>(n));
    if (n > 0) algorithm.Decompress(block + kHeaderSize, size - kHeaderSize, data.data(), n);
    return data;
}

std::vector<uint8_t> DecompressBlock(TCompressMethod method, const std::vector<uint8_t>& block) {
    return DecompressBlock(GetCompressAlgorithm(method), block.data(), CheckedSize(block.size()));
}

}  // namespace marlowen
