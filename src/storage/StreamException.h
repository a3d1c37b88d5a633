#pragma once

#include <string>
#include <string_view>

#include "core/Exception.h"

namespace marlowen {

// Every error of a memory or typed stream. The messages name the stream's class.
class EStreamException : public Exception {
public:
    using Exception::Exception;

    // A read would pass the end of the stream (or start before its beginning).
    static EStreamException ReadOverrun(std::string_view className) {
        return EStreamException("Выход за пределы потока " + std::string(className) + " при попытке чтения данных.");
    }

    // A raw write at a negative position or of a negative count.
    static EStreamException WriteOverrun(std::string_view className) {
        return EStreamException("Выход за пределы потока " + std::string(className) + " при попытке записи данных.");
    }

    // An unexpected tag, or a value out of the reader's range.
    static EStreamException UnexpectedDataType(std::string_view className) {
        return EStreamException(std::string(className) + ": Unexpected data type.");
    }

    // The stream would outgrow 2^31 - 1 bytes, or its memory cannot be allocated.
    static EStreamException OutOfMemory(std::string_view className) {
        return EStreamException("Недостаточно памяти для потока " + std::string(className) + ".");
    }

    // A sealed stream whose checksum or digest does not match (also a wrong key or a short file).
    static EStreamException Damaged() { return EStreamException("Данные повреждены или испорчены."); }
};

}  // namespace marlowen
