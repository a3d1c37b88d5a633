#pragma once

#include <cstdint>
#include <vector>

namespace marlowen {

class TCustomMemStream;

// A plain 8-bit mask (text glyphs): Width x Height bytes, rows top first, row length = Width.
class TImage8 {
public:
    TImage8() = default;
    TImage8(const TImage8&) = delete;
    TImage8& operator=(const TImage8&) = delete;

    int32_t Width() const { return Width_; }
    int32_t Height() const { return Height_; }
    int32_t RowLength() const { return Width_; }
    // Null while a side is 0.
    uint8_t* Bits() { return Bytes_.empty() ? nullptr : Bytes_.data(); }
    const uint8_t* Bits() const { return Bytes_.empty() ? nullptr : Bytes_.data(); }
    // Row y (0 <= y < Height) of a mask whose two sides are both non-zero.
    uint8_t* Row(int32_t y) { return Bytes_.data() + int64_t{y} * Width_; }
    const uint8_t* Row(int32_t y) const { return Bytes_.data() + int64_t{y} * Width_; }

    // Holds exactly width x height bytes, all 0 after a change; a negative side counts as 0.
    // Raises EBitmapException beyond 2^31 - 1 bytes or when memory runs out.
    void SetSize(int32_t width, int32_t height);

    // The stored form: typed integer width, typed integer height, then width x height bytes. A
    // negative size raises the stream's UnexpectedDataType, bytes that are not all there its
    // ReadOverrun; the mask then stays as it was.
    void LoadFromPack(TCustomMemStream& stream);
    void SaveToPack(TCustomMemStream& stream) const;

private:
    int32_t Width_ = 0;
    int32_t Height_ = 0;
    std::vector<uint8_t> Bytes_;
};

}  // namespace marlowen
