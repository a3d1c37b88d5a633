#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/Variant.h"
#include "storage/StreamException.h"

namespace marlowen {

enum class TSeekOrigin : int32_t { Beginning = 0, Current = 1, End = 2 };

// A growable byte buffer with a read/write position, and the tagged value encoding on top of it.
// Sizes and positions are signed 32-bit. `Position` may lie past `Size` (or, after a seek, below
// 0): reads there fail, writes past the end fill the gap with zero bytes. Every read checks its
// bounds, so hostile content can raise but never reach outside the buffer. Bytes between `Size`
// and `Capacity` are always zero or stale content that no read can reach.
//
// The typed operations (declared below, implemented with the encoding in TypedStream.cpp) check,
// in this order: a tag byte is there (else ReadOverrun), the tag is one the operation accepts (else
// UnexpectedDataType), the whole value lies within `Size` (else ReadOverrun); only then do they
// copy and advance. A failed read leaves `Position` at the start of the value and the content
// unchanged. The error messages name ClassName().
class TCustomMemStream {
public:
    TCustomMemStream(const TCustomMemStream&) = delete;
    TCustomMemStream& operator=(const TCustomMemStream&) = delete;
    virtual ~TCustomMemStream() = default;

    // The class name the error messages carry.
    virtual const char* ClassName() const = 0;

    uint8_t* Memory() { return Memory_.get(); }
    const uint8_t* Memory() const { return Memory_.get(); }
    int32_t Size() const { return Size_; }
    int32_t Capacity() const { return Capacity_; }
    int32_t Position() const { return Position_; }
    void SetPosition(int32_t position) { Position_ = position; }
    bool AtEnd() const { return Position_ == Size_; }

    // Reallocates to n bytes (n <= 0 frees); the same capacity again does nothing. A capacity below
    // `Size` cuts `Size` to it, so that no read can pass the buffer.
    void SetCapacity(int32_t n);
    // Grows the capacity to n when needed (new bytes are zero); `Position` is cut back to n. A
    // negative n raises WriteOverrun.
    void SetSize(int32_t n);
    // Sets `Position` from the origin (32-bit wrap-around, nothing clamped); returns it.
    int32_t Seek(int32_t offset, TSeekOrigin origin);
    // Copies up to count bytes from `Position`; returns how many (0 outside the content).
    int32_t Read(void* buffer, int32_t count);
    // Writes count bytes at `Position`, growing the capacity by a third beyond the new end when
    // needed; returns count, or 0 for a negative position or count. Every writer raises
    // OutOfMemory rather than grow the stream beyond 2^31 - 1 bytes.
    int32_t Write(const void* buffer, int32_t count);
    // Frees the memory; `Size` = `Position` = 0.
    void Clear();

    // Replaces the content with the whole of `source` (whose position ends at its end); position 0.
    void LoadFromStream(TCustomMemStream& source);
    // Replaces the content with the whole file; position 0. Raises EFileError.
    void LoadFromFile(const std::string& path);
    // Appends the content at the target's position (its own write operation).
    void SaveToStream(TCustomMemStream& target) const;
    // Creates or replaces the file with the content; never leaves a half-written file.
    void SaveToFile(const std::string& path) const;

    // Raw operations (no tags). The writers grow the capacity to Position + Position / 3 + 10 when
    // the new position passes it; the readers raise ReadOverrun when the bytes are not all there.
    void WriteByte(uint8_t value);
    void WriteBuffer(const void* buffer, int32_t count);
    // Room for count bytes at `Position`, which advances past it; valid until the next write.
    uint8_t* Reserve(int32_t count);
    uint8_t ReadByte();
    void ReadBuffer(void* buffer, int32_t count);

    // Typed reads.
    int32_t ReadInteger();            // tags 0-4, 39-42 (range-checked)
    int64_t ReadInt64();              // tags 0-4, 38, 39-43
    std::string ReadString();         // tags 5-8 (tag 8 length below 2^30)
    std::u16string ReadWideString();  // tags 34-37
    bool ReadBoolean();               // tags 9, 10
    double ReadDouble();              // tag 11 (size checked before the tag)
    TDateTime ReadDateTime();         // tag 12 (size checked before the tag)
    long double ReadExtended();       // tag 13 (size checked before the tag)
    // Tag 14: writes the block's bytes at the target's position; returns the length.
    int32_t ReadBlock(TCustomMemStream& target);
    // Integer, 64-bit integer, 8-bit or wide string, boolean, double (tags 11 and 13), date,
    // unassigned or null; any other tag raises UnexpectedDataType.
    TVariant ReadVariant();
    // Moves past one value of any tag 0-44 without decoding it; returns the tag.
    uint8_t SkipValue();

    // Typed writers; each picks the shortest encoding that reads back as the same value.
    void WriteInteger(int32_t value);
    // Up to 2^32 - 1 in magnitude as an integer tag (ReadInt64 reads them all), beyond as 38 or 43.
    void WriteInt64(int64_t value);
    void WriteString(std::string_view text);  // 2^30 bytes or more raise UnexpectedDataType
    void WriteWideString(std::u16string_view text);
    void WriteBoolean(bool value);
    void WriteDouble(double value);
    void WriteDateTime(TDateTime value);
    void WriteExtended(long double value);
    void WriteBlock(const void* bytes, int32_t count);
    void WriteUnassigned();
    void WriteNull();
    // The tag ReadVariant reads back as the same type (a 64-bit integer always as tag 38).
    void WriteVariant(const TVariant& value);

protected:
    TCustomMemStream() = default;

private:
    // Makes room for the bytes [Position, end) and returns where they go; `Size` grows to end.
    uint8_t* PrepareWrite(int64_t end, bool rawGrowth);
    // Writes head then body at `Position` in one step (capacity grows once); the body may lie in
    // Memory itself.
    void CopyIn(const uint8_t* head, int32_t headSize, const void* body, int64_t bodySize, bool rawGrowth);
    bool Contains(const void* p) const;

    std::unique_ptr<uint8_t[]> Memory_;
    int32_t Size_ = 0;
    int32_t Capacity_ = 0;
    int32_t Position_ = 0;
};

// A memory stream for raw bytes (sounds, blocks).
class TMemStream : public TCustomMemStream {
public:
    TMemStream() = default;
    const char* ClassName() const override { return "TMemStream"; }
};

}  // namespace marlowen
