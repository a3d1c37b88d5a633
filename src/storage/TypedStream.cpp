#include "storage/TypedStream.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "storage/CompressedBlock.h"

namespace marlowen {

namespace {

uint64_t LoadLE(const uint8_t* bytes, int width) {
    uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

void StoreLE(uint8_t* bytes, uint64_t value, int width) {
    for (int i = 0; i < width; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

double DoubleFromBits(uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

uint64_t BitsOfDouble(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// 10-byte x87 extended: 64-bit significand with an explicit integer bit, then sign and 15-bit
// exponent (bias 16383).
long double ExtendedFromBytes(const uint8_t* bytes) {
    const uint64_t significand = LoadLE(bytes, 8);
    const auto signAndExponent = static_cast<uint16_t>(LoadLE(bytes + 8, 2));
    const bool negative = (signAndExponent & 0x8000) != 0;
    const int exponent = signAndExponent & 0x7FFF;
    long double value;
    if (exponent == 0x7FFF) {
        value = (significand << 1) == 0 ? std::numeric_limits<long double>::infinity()
                                        : std::numeric_limits<long double>::quiet_NaN();
    } else {
        // Denormals (exponent 0) use the exponent of 1.
        value = std::ldexp(static_cast<long double>(significand), std::max(exponent, 1) - 16383 - 63);
    }
    return negative ? -value : value;
}

void ExtendedToBytes(long double value, uint8_t* bytes) {
    uint16_t signAndExponent = std::signbit(value) ? 0x8000 : 0;
    uint64_t significand = 0;
    if (std::isnan(value)) {
        signAndExponent |= 0x7FFF;
        significand = 0xC000000000000000u;
    } else if (std::isinf(value)) {
        signAndExponent |= 0x7FFF;
        significand = 0x8000000000000000u;
    } else if (value != 0) {
        int exponent = 0;
        const long double fraction = std::frexp(std::fabs(value), &exponent);  // [0.5, 1)
        significand = static_cast<uint64_t>(std::ldexp(fraction, 64));
        int biased = exponent - 1 + 16383;
        if (biased <= 0) {
            significand = 1 - biased < 64 ? significand >> (1 - biased) : 0;
            biased = 0;
        }
        signAndExponent |= static_cast<uint16_t>(biased);
    }
    StoreLE(bytes, significand, 8);
    StoreLE(bytes + 8, signAndExponent, 2);
}

// Width of the length or count field of a string, wide-string or block tag.
int LengthWidth(uint8_t tag) {
    switch (tag) {
        case kTagString8: case kTagWideString8: return 1;
        case kTagString16: case kTagWideString16: return 2;
        default: return 4;
    }
}

// Bounds-checked view of the value at a stream's position. Nothing here moves the position.
class TValueReader {
public:
    explicit TValueReader(const TCustomMemStream& stream) : Stream_(stream) {}

    // The tag at the position; ReadOverrun when there is none.
    uint8_t Tag() const {
        if (Available() < 1) throw Overrun();
        return Stream_.Memory()[Stream_.Position()];
    }

    // Raises ReadOverrun unless `bytes` bytes (tag included) lie within the content.
    void Need(uint64_t bytes) const {
        if (Available() < bytes) throw Overrun();
    }

    // The little-endian number of `width` bytes after the tag (and `skip` further bytes).
    uint64_t Number(int width, int skip = 0) const {
        Need(1 + static_cast<uint64_t>(skip) + static_cast<uint64_t>(width));
        return LoadLE(Stream_.Memory() + Stream_.Position() + 1 + skip, width);
    }

    const uint8_t* At(int offset) const { return Stream_.Memory() + Stream_.Position() + offset; }

    EStreamException Overrun() const { return EStreamException::ReadOverrun(Stream_.ClassName()); }
    EStreamException Unexpected() const { return EStreamException::UnexpectedDataType(Stream_.ClassName()); }

private:
    uint64_t Available() const {
        const int32_t position = Stream_.Position();
        if (position < 0 || position >= Stream_.Size()) return 0;
        return static_cast<uint64_t>(Stream_.Size() - position);
    }

    const TCustomMemStream& Stream_;
};

}  // namespace

int32_t TCustomMemStream::ReadInteger() {
    const TValueReader reader(*this);
    const uint8_t tag = reader.Tag();
    int width;
    bool negative = false;
    if (tag <= kTagUInt32) {
        width = tag;
    } else if (tag >= kTagNegative8 && tag <= kTagNegative32) {
        width = tag - kTagInt64;
        negative = true;
    } else {
        throw reader.Unexpected();
    }
    const uint64_t magnitude = reader.Number(width);
    if (magnitude > (negative ? uint64_t{1} << 31 : uint64_t{INT32_MAX})) throw reader.Unexpected();
    Position_ += 1 + width;
    return static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude));
}

int64_t TCustomMemStream::ReadInt64() {
    const TValueReader reader(*this);
    const uint8_t tag = reader.Tag();
    int width;
    bool negative = false;
    if (tag <= kTagUInt32) {
        width = tag;
    } else if (tag == kTagInt64) {
        width = 8;
    } else if (tag >= kTagNegative8 && tag <= kTagNegative64) {
        width = tag == kTagNegative64 ? 8 : tag - kTagInt64;
        negative = true;
    } else {
        throw reader.Unexpected();
    }
    const uint64_t bits = reader.Number(width);
    if (negative && bits > uint64_t{1} << 63) throw reader.Unexpected();
    Position_ += 1 + width;
    return negative ? static_cast<int64_t>(0 - bits) : static_cast<int64_t>(bits);
}

std::string TCustomMemStream::ReadString() {
    const TValueReader reader(*this);
    const uint8_t tag = reader.Tag();
    if (tag < kTagEmptyString || tag > kTagString32) throw reader.Unexpected();
    if (tag == kTagEmptyString) {
        Position_ += 1;
        return std::string();
    }
    const int width = LengthWidth(tag);
    const uint64_t length = reader.Number(width);
    if (tag == kTagString32 && length >= uint64_t{1} << 30) throw reader.Unexpected();
    reader.Need(1 + width + length);
    std::string text(reinterpret_cast<const char*>(reader.At(1 + width)), static_cast<size_t>(length));
    Position_ += static_cast<int32_t>(1 + width + length);
    return text;
}

std::u16string TCustomMemStream::ReadWideString() {
    const TValueReader reader(*this);
    const uint8_t tag = reader.Tag();
    if (tag < kTagEmptyWideString || tag > kTagWideString32) throw reader.Unexpected();
    if (tag == kTagEmptyWideString) {
        Position_ += 1;
        return std::u16string();
    }
    const int width = LengthWidth(tag);
    const uint64_t count = reader.Number(width);
    reader.Need(1 + width + 2 * count);  // no overflow: count < 2^32
    std::u16string text(static_cast<size_t>(count), u'\0');
    const uint8_t* units = reader.At(1 + width);
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char16_t>(units[2 * i] | units[2 * i + 1] << 8);
    Position_ += static_cast<int32_t>(1 + width + 2 * count);
    return text;
}

bool TCustomMemStream::ReadBoolean() {
    const TValueReader reader(*this);
    const uint8_t tag = reader.Tag();
    if (tag != kTagTrue && tag != kTagFalse) throw reader.Unexpected();
    Position_ += 1;
    return tag == kTagTrue;
}

double TCustomMemStream::ReadDouble() {
    const TValueReader reader(*this);
    reader.Need(9);
    if (reader.Tag() != kTagDouble) throw reader.Unexpected();
    const double value = DoubleFromBits(reader.Number(8));
    Position_ += 9;
    return value;
}

TDateTime TCustomMemStream::ReadDateTime() {
    const TValueReader reader(*this);
    reader.Need(9);
    if (reader.Tag() != kTagDateTime) throw reader.Unexpected();
    const TDateTime value{DoubleFromBits(reader.Number(8))};
    Position_ += 9;
    return value;
}

long double TCustomMemStream::ReadExtended() {
    const TValueReader reader(*this);
    reader.Need(11);
    if (reader.Tag() != kTagExtended) throw reader.Unexpected();
    const long double value = ExtendedFromBytes(reader.At(1));
    Position_ += 11;
    return value;
}

int32_t TCustomMemStream::ReadBlock(TCustomMemStream& target) {
    const TValueReader reader(*this);
    if (reader.Tag() != kTagBlock) throw reader.Unexpected();
    const uint64_t length = reader.Number(4);
    reader.Need(5 + length);
    const auto count = static_cast<int32_t>(length);  // below Size, so it fits
    if (&target == this) {
        // Our own buffer may move while we write into it: read first, then write at the position
        // after the value.
        const std::vector<uint8_t> bytes(reader.At(5), reader.At(5) + count);
        Position_ += 5 + count;
        if (Write(bytes.data(), count) != count) throw EStreamException::WriteOverrun(ClassName());
        return count;
    }
    if (target.Write(reader.At(5), count) != count) throw EStreamException::WriteOverrun(target.ClassName());
    Position_ += 5 + count;
    return count;
}

TVariant TCustomMemStream::ReadVariant() {
    const TValueReader reader(*this);
    const uint8_t tag = reader.Tag();
    if (tag <= kTagUInt32 || (tag >= kTagNegative8 && tag <= kTagNegative32)) return TVariant(ReadInteger());
    if (tag == kTagInt64 || tag == kTagNegative64) return TVariant(ReadInt64());
    if (tag >= kTagEmptyString && tag <= kTagString32) return TVariant(ReadString());
    if (tag >= kTagEmptyWideString && tag <= kTagWideString32) return TVariant(ReadWideString());
    switch (tag) {
        case kTagTrue:
        case kTagFalse: return TVariant(ReadBoolean());
        case kTagDouble: return TVariant(ReadDouble());
        case kTagExtended: return TVariant(static_cast<double>(ReadExtended()));
        case kTagDateTime: return TVariant(ReadDateTime());
        case kTagUnassigned: Position_ += 1; return TVariant();
        case kTagNull: Position_ += 1; return TVariant::Null();
        default: throw reader.Unexpected();
    }
}

uint8_t TCustomMemStream::SkipValue() {
    const TValueReader reader(*this);
    const uint8_t tag = reader.Tag();
    uint64_t size;  // after the tag
    if (tag > kTagLast) throw reader.Unexpected();
    if (tag <= kTagUInt32) {
        size = tag;
    } else if ((tag >= kTagString8 && tag <= kTagString32) || tag == kTagBlock) {
        const int width = LengthWidth(tag);
        size = width + reader.Number(width);
    } else if (tag >= kTagWideString8 && tag <= kTagWideString32) {
        const int width = LengthWidth(tag);
        size = width + 2 * reader.Number(width);
    } else if (tag == kTagDouble || tag == kTagDateTime || tag == kTagInt64 || tag == kTagNegative64) {
        size = 8;
    } else if (tag == kTagExtended) {
        size = 10;
    } else if (tag >= 15 && tag <= 30) {
        size = (tag - 15) % 4 + 1;
    } else if (tag >= kTagNegative8 && tag <= kTagNegative32) {
        size = tag - kTagInt64;
    } else {
        size = 0;  // 5, 9, 10, 31, 32, 33, 34, 44
    }
    reader.Need(1 + size);
    Position_ += static_cast<int32_t>(1 + size);
    return tag;
}

namespace {

// Tag and little-endian bytes of an integer of the given sign and magnitude below 2^32.
int EncodeCompact(bool negative, uint32_t magnitude, uint8_t* head) {
    if (magnitude == 0) {
        head[0] = kTagZero;
        return 1;
    }
    const int width = magnitude < 0x100 ? 1 : magnitude < 0x10000 ? 2 : magnitude < 0x1000000 ? 3 : 4;
    head[0] = static_cast<uint8_t>(negative ? kTagInt64 + width : width);
    StoreLE(head + 1, magnitude, width);
    return 1 + width;
}

}  // namespace

void TCustomMemStream::WriteInteger(int32_t value) {
    WriteInt64(value);
}

void TCustomMemStream::WriteInt64(int64_t value) {
    uint8_t head[9];
    int size;
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    if (magnitude <= UINT32_MAX) {
        size = EncodeCompact(value < 0, static_cast<uint32_t>(magnitude), head);
    } else {
        head[0] = value < 0 ? kTagNegative64 : kTagInt64;
        StoreLE(head + 1, magnitude, 8);
        size = 9;
    }
    if (Position_ < 0) throw EStreamException::WriteOverrun(ClassName());
    CopyIn(head, size, nullptr, 0, true);
}

void TCustomMemStream::WriteString(std::string_view text) {
    uint8_t head[5];
    int width;
    if (text.empty()) {
        head[0] = kTagEmptyString;
        width = 0;
    } else if (text.size() < 0x100) {
        head[0] = kTagString8;
        width = 1;
    } else if (text.size() < 0x10000) {
        head[0] = kTagString16;
        width = 2;
    } else if (text.size() < uint64_t{1} << 30) {
        head[0] = kTagString32;
        width = 4;
    } else {
        throw EStreamException::UnexpectedDataType(ClassName());
    }
    StoreLE(head + 1, text.size(), width);
    if (Position_ < 0) throw EStreamException::WriteOverrun(ClassName());
    CopyIn(head, 1 + width, text.data(), static_cast<int64_t>(text.size()), true);
}

void TCustomMemStream::WriteWideString(std::u16string_view text) {
    uint8_t head[5];
    int width;
    if (text.empty()) {
        head[0] = kTagEmptyWideString;
        width = 0;
    } else if (text.size() < 0x100) {
        head[0] = kTagWideString8;
        width = 1;
    } else if (text.size() < 0x10000) {
        head[0] = kTagWideString16;
        width = 2;
    } else if (text.size() <= UINT32_MAX) {
        head[0] = kTagWideString32;
        width = 4;
    } else {
        throw EStreamException::OutOfMemory(ClassName());
    }
    StoreLE(head + 1, text.size(), width);
    std::vector<uint8_t> units(2 * text.size());
    for (size_t i = 0; i < text.size(); ++i) StoreLE(&units[2 * i], text[i], 2);
    if (Position_ < 0) throw EStreamException::WriteOverrun(ClassName());
    CopyIn(head, 1 + width, units.data(), static_cast<int64_t>(units.size()), true);
}

void TCustomMemStream::WriteBoolean(bool value) {
    WriteByte(value ? kTagTrue : kTagFalse);
}

void TCustomMemStream::WriteDouble(double value) {
    uint8_t head[9] = {kTagDouble};
    StoreLE(head + 1, BitsOfDouble(value), 8);
    WriteBuffer(head, 9);
}

void TCustomMemStream::WriteDateTime(TDateTime value) {
    uint8_t head[9] = {kTagDateTime};
    StoreLE(head + 1, BitsOfDouble(value.Days), 8);
    WriteBuffer(head, 9);
}

void TCustomMemStream::WriteExtended(long double value) {
    uint8_t head[11] = {kTagExtended};
    ExtendedToBytes(value, head + 1);
    WriteBuffer(head, 11);
}

void TCustomMemStream::WriteBlock(const void* bytes, int32_t count) {
    if (Position_ < 0 || count < 0) throw EStreamException::WriteOverrun(ClassName());
    uint8_t head[5] = {kTagBlock};
    StoreLE(head + 1, static_cast<uint32_t>(count), 4);
    CopyIn(head, 5, bytes, count, true);
}

void TCustomMemStream::WriteUnassigned() {
    WriteByte(kTagUnassigned);
}

void TCustomMemStream::WriteNull() {
    WriteByte(kTagNull);
}

void TCustomMemStream::WriteVariant(const TVariant& value) {
    switch (value.Type()) {
        case TVarType::Empty: WriteUnassigned(); break;
        case TVarType::Null: WriteNull(); break;
        case TVarType::Integer: WriteInteger(value.ToInteger()); break;
        case TVarType::Int64: {
            uint8_t head[9] = {kTagInt64};
            StoreLE(head + 1, static_cast<uint64_t>(value.ToInt64()), 8);
            WriteBuffer(head, 9);
            break;
        }
        case TVarType::Boolean: WriteBoolean(value.ToBoolean()); break;
        case TVarType::Double: WriteDouble(value.ToDouble()); break;
        case TVarType::Date: WriteDateTime(value.ToDateTime()); break;
        case TVarType::String: WriteString(value.ToString()); break;
        case TVarType::WideString: WriteWideString(value.ToWideString()); break;
    }
}

void DecompressStream(TCustomMemStream& stream, const TCompressAlgorithm& algorithm) {
    if (stream.Size() == 0) return;
    // Expanded aside first: a malformed block leaves the stream as it was.
    const std::vector<uint8_t> data = DecompressBlock(algorithm, stream.Memory(), stream.Size());
    stream.Clear();
    stream.Write(data.data(), static_cast<int32_t>(data.size()));
    stream.SetPosition(0);
}

}  // namespace marlowen
