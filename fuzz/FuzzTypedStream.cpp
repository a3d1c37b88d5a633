// Typed reads over arbitrary bytes: each read either succeeds or raises EStreamException, never
// touches memory outside the stream, and a failed read leaves the position where it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "storage/TypedStream.h"

using namespace marlowen;

namespace {

// The first byte chooses the reads; the rest is the stream.
void ReadAll(TTypedStream& stream, uint8_t plan) {
    for (int step = 0; step < 64 && !stream.AtEnd(); ++step) {
        const int32_t position = stream.Position();
        try {
            switch ((plan + step) % 12) {
                case 0: stream.ReadInteger(); break;
                case 1: stream.ReadInt64(); break;
                case 2: stream.ReadString(); break;
                case 3: stream.ReadWideString(); break;
                case 4: stream.ReadBoolean(); break;
                case 5: stream.ReadDouble(); break;
                case 6: stream.ReadDateTime(); break;
                case 7: stream.ReadExtended(); break;
                case 8: {
                    TMemStream target;
                    stream.ReadBlock(target);
                    break;
                }
                case 9: stream.ReadVariant(); break;
                default: stream.SkipValue(); break;
            }
        } catch (const EStreamException&) {
            if (stream.Position() != position) std::abort();
            stream.SkipValue();  // past the value that failed; raises again when it is cut short
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > (1u << 20)) return 0;
    TTypedStream stream;
    stream.WriteBuffer(data + 1, static_cast<int32_t>(size - 1));
    stream.SetPosition(0);
    try {
        ReadAll(stream, data[0]);
    } catch (const EStreamException&) {
    }
    // Every value SkipValue passes must also be passed by the matching typed reader.
    stream.SetPosition(0);
    try {
        while (!stream.AtEnd()) {
            const int32_t start = stream.Position();
            stream.SkipValue();
            const int32_t end = stream.Position();
            stream.SetPosition(start);
            try {
                stream.ReadVariant();
                if (stream.Position() != end) std::abort();
            } catch (const EStreamException&) {
                if (stream.Position() != start) std::abort();
                stream.SetPosition(end);
            }
        }
    } catch (const EStreamException&) {
    }
    return 0;
}
