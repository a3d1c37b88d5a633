#include "storage/CompressAlgorithm.h"

#include <cstdint>

namespace marlowen {

ECompressException::ECompressException() : Exception("Неверный формат сжатых данных.") {}

ECompressException::ECompressException(std::string message) : Exception(std::move(message)) {}

void TCompressAlgorithm::CheckSize(int32_t n) {
    if (n < 0) throw ECompressException("Неверный размер блока данных (" + std::to_string(n) + ").");
}

int32_t TCompressAlgorithm::CheckedBound(int64_t bound) {
    if (bound > INT32_MAX) throw ECompressException("Слишком большой блок данных для сжатия.");
    return static_cast<int32_t>(bound);
}

}  // namespace marlowen
