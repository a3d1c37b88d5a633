#include "skin/Image8.h"

#include <algorithm>
#include <new>

#include "skin/Bitmap32.h"
#include "storage/MemStream.h"
#include "storage/StreamException.h"

namespace marlowen {

void TImage8::SetSize(int32_t width, int32_t height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == Width_ && height == Height_) return;
    const int64_t count = int64_t{width} * height;
    if (count > INT32_MAX) throw EBitmapException::OutOfMemory(width, height);
    std::vector<uint8_t> bytes;
    try {
        bytes.assign(static_cast<size_t>(count), 0);
    } catch (const std::bad_alloc&) {
        throw EBitmapException::OutOfMemory(width, height);
    }
    Bytes_.swap(bytes);
    Width_ = width;
    Height_ = height;
}

void TImage8::LoadFromPack(TCustomMemStream& stream) {
    const int32_t width = stream.ReadInteger();
    const int32_t height = stream.ReadInteger();
    if (width < 0 || height < 0) throw EStreamException::UnexpectedDataType(stream.ClassName());
    const int64_t count = int64_t{width} * height;
    if (count > int64_t{stream.Size()} - stream.Position()) throw EStreamException::ReadOverrun(stream.ClassName());
    SetSize(width, height);
    if (count > 0) stream.ReadBuffer(Bytes_.data(), static_cast<int32_t>(count));
}

void TImage8::SaveToPack(TCustomMemStream& stream) const {
    stream.WriteInteger(Width_);
    stream.WriteInteger(Height_);
    if (!Bytes_.empty()) stream.WriteBuffer(Bytes_.data(), static_cast<int32_t>(Bytes_.size()));
}

}  // namespace marlowen
