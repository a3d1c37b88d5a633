#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "storage/CompressAlgorithm.h"

namespace marlowen {

// The methods a compressed block can be stored with.
enum class TCompressMethod : int32_t { LZRB, LZRD, LZWB };

// "lzrb", "lzrd" or "lzwb", letter case ignored; none for anything else.
std::optional<TCompressMethod> FindCompressMethod(std::string_view name);
// As FindCompressMethod; raises ECompressException naming an unknown method.
TCompressMethod GetCompressMethod(std::string_view name);
// "lzrb", "lzrd" or "lzwb".
const char* CompressMethodName(TCompressMethod method);
// The shared instance of the method's compressor.
TCompressAlgorithm& GetCompressAlgorithm(TCompressMethod method);

// The container of packs, update packages and compressed files: the uncompressed size N as a
// 4-byte little-endian signed count, then the compressed block. Empty data gives just the size 0;
// an empty container (no bytes at all) also stands for empty data.

// The container of size bytes compressed with the algorithm.
std::vector<uint8_t> CompressBlock(const TCompressAlgorithm& algorithm, const uint8_t* data, int32_t size);
std::vector<uint8_t> CompressBlock(TCompressMethod method, const std::vector<uint8_t>& data);

// The uncompressed size a container announces. Raises ECompressException for 1 to 3 bytes, a
// negative size, and a size the block behind it cannot expand to (so that a hostile header cannot
// make the caller allocate gigabytes).
int32_t BlockUncompressedSize(const TCompressAlgorithm& algorithm, const uint8_t* block, int32_t size);

// The data of a container; raises ECompressException where BlockUncompressedSize does and for a
// block that does not decode to exactly N bytes. Bytes after the end of the block are ignored.
std::vector<uint8_t> DecompressBlock(const TCompressAlgorithm& algorithm, const uint8_t* block, int32_t size);
std::vector<uint8_t> DecompressBlock(TCompressMethod method, const std::vector<uint8_t>& block);

}  // namespace marlowen
