#include "storage/MemStream.h"

#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <new>

#include "storage/FileIo.h"

namespace marlowen {

namespace {

constexpr int64_t kMaxSize = std::numeric_limits<int32_t>::max();

}  // namespace

void TCustomMemStream::SetCapacity(int32_t n) {
    if (n < 0) n = 0;
    if (n == Capacity_) return;
    if (n == 0) {
        Memory_.reset();
    } else {
        std::unique_ptr<uint8_t[]> memory;
        try {
            memory.reset(new uint8_t[static_cast<size_t>(n)]());
        } catch (const std::bad_alloc&) {
            throw EStreamException::OutOfMemory(ClassName());
        }
        const int32_t kept = std::min(Size_, n);
        if (kept > 0) std::memcpy(memory.get(), Memory_.get(), static_cast<size_t>(kept));
        Memory_ = std::move(memory);
    }
    Capacity_ = n;
    if (Size_ > Capacity_) Size_ = Capacity_;
}

void TCustomMemStream::SetSize(int32_t n) {
    if (n < 0) throw EStreamException::WriteOverrun(ClassName());
    if (n > Capacity_) SetCapacity(n);
    if (n > Size_) std::memset(Memory_.get() + Size_, 0, static_cast<size_t>(n - Size_));
    Size_ = n;
    if (Position_ > n) Position_ = n;
}

int32_t TCustomMemStream::Seek(int32_t offset, TSeekOrigin origin) {
    uint32_t base = 0;
    switch (origin) {
        case TSeekOrigin::Beginning: base = 0; break;
        case TSeekOrigin::Current: base = static_cast<uint32_t>(Position_); break;
        case TSeekOrigin::End: base = static_cast<uint32_t>(Size_); break;
    }
    Position_ = static_cast<int32_t>(base + static_cast<uint32_t>(offset));
    return Position_;
}

int32_t TCustomMemStream::Read(void* buffer, int32_t count) {
    if (Position_ < 0 || count < 0 || Position_ >= Size_) return 0;
    const int32_t n = std::min(count, Size_ - Position_);
    if (n > 0) std::memmove(buffer, Memory_.get() + Position_, static_cast<size_t>(n));
    Position_ += n;
    return n;
}

int32_t TCustomMemStream::Write(const void* buffer, int32_t count) {
    if (Position_ < 0 || count < 0) return 0;
    CopyIn(nullptr, 0, buffer, count, false);
    return count;
}

void TCustomMemStream::Clear() {
    SetCapacity(0);
    Size_ = 0;
    Position_ = 0;
}

void TCustomMemStream::LoadFromStream(TCustomMemStream& source) {
    if (&source == this) {
        Position_ = 0;
        return;
    }
    source.Position_ = 0;
    Clear();
    SetSize(source.Size());
    source.ReadBuffer(Memory_.get(), Size_);
    Position_ = 0;
}

void TCustomMemStream::LoadFromFile(const std::string& path) {
    std::ifstream file(FilePath(path), std::ios::binary);
    if (!file) throw EFileError("Не удаётся открыть файл \"" + path + "\".");
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    file.seekg(0, std::ios::beg);
    if (size < 0 || !file) throw EFileError("Ошибка чтения файла \"" + path + "\".");
    if (size > kMaxSize) throw EStreamException::OutOfMemory(ClassName());
    // Read into a fresh buffer first, so that a failed read leaves the content as it was.
    std::unique_ptr<uint8_t[]> memory;
    if (size > 0) {
        try {
            memory.reset(new uint8_t[static_cast<size_t>(size)]);
        } catch (const std::bad_alloc&) {
            throw EStreamException::OutOfMemory(ClassName());
        }
        file.read(reinterpret_cast<char*>(memory.get()), static_cast<std::streamsize>(size));
        if (file.gcount() != size) throw EFileError("Ошибка чтения файла \"" + path + "\".");
    }
    Memory_ = std::move(memory);
    Capacity_ = static_cast<int32_t>(size);
    Size_ = Capacity_;
    Position_ = 0;
}

void TCustomMemStream::SaveToStream(TCustomMemStream& target) const {
    const int32_t size = Size_;  // the target may be this stream, whose size then grows
    if (size == 0) return;
    if (target.Write(Memory_.get(), size) != size) throw EStreamException::WriteOverrun(target.ClassName());
}

void TCustomMemStream::SaveToFile(const std::string& path) const {
    SaveFileReplacing(path, Memory_.get(), static_cast<size_t>(Size_));
}

uint8_t* TCustomMemStream::PrepareWrite(int64_t end, bool rawGrowth) {
    if (end > kMaxSize) throw EStreamException::OutOfMemory(ClassName());
    if (end > Capacity_) {
        const int64_t capacity = end + end / 3 + (rawGrowth ? 10 : 0);
        SetCapacity(static_cast<int32_t>(std::min(capacity, kMaxSize)));
    }
    // A write past the end: the gap reads as zeros, whatever the buffer held there before.
    if (Position_ > Size_) std::memset(Memory_.get() + Size_, 0, static_cast<size_t>(Position_ - Size_));
    uint8_t* const place = Memory_.get() + Position_;
    if (end > Size_) Size_ = static_cast<int32_t>(end);
    Position_ = static_cast<int32_t>(end);
    return place;
}

bool TCustomMemStream::Contains(const void* p) const {
    const auto* byte = static_cast<const uint8_t*>(p);
    const uint8_t* const base = Memory_.get();
    return base != nullptr && std::less_equal<const uint8_t*>()(base, byte) &&
           std::less<const uint8_t*>()(byte, base + Capacity_);
}

void TCustomMemStream::CopyIn(const uint8_t* head, int32_t headSize, const void* body, int64_t bodySize,
                              bool rawGrowth) {
    const auto* source = static_cast<const uint8_t*>(body);
    // A body inside our own buffer must be found again after a reallocation.
    const bool inside = bodySize > 0 && Contains(source);
    const ptrdiff_t offset = inside ? source - Memory_.get() : 0;
    uint8_t* const place = PrepareWrite(int64_t{Position_} + headSize + bodySize, rawGrowth);
    if (inside) source = Memory_.get() + offset;
    if (headSize > 0) std::memcpy(place, head, static_cast<size_t>(headSize));
    if (bodySize > 0) std::memmove(place + headSize, source, static_cast<size_t>(bodySize));
}

void TCustomMemStream::WriteByte(uint8_t value) {
    if (Position_ < 0) throw EStreamException::WriteOverrun(ClassName());
    *PrepareWrite(int64_t{Position_} + 1, true) = value;
}

void TCustomMemStream::WriteBuffer(const void* buffer, int32_t count) {
    if (Position_ < 0 || count < 0) throw EStreamException::WriteOverrun(ClassName());
    CopyIn(nullptr, 0, buffer, count, true);
}

uint8_t* TCustomMemStream::Reserve(int32_t count) {
    if (Position_ < 0 || count < 0) throw EStreamException::WriteOverrun(ClassName());
    return PrepareWrite(int64_t{Position_} + count, true);
}

uint8_t TCustomMemStream::ReadByte() {
    if (Position_ < 0 || Position_ >= Size_) throw EStreamException::ReadOverrun(ClassName());
    return Memory_[Position_++];
}

void TCustomMemStream::ReadBuffer(void* buffer, int32_t count) {
    if (count < 0 || Position_ < 0 || int64_t{Position_} + count > Size_) {
        throw EStreamException::ReadOverrun(ClassName());
    }
    if (count > 0) std::memmove(buffer, Memory_.get() + Position_, static_cast<size_t>(count));
    Position_ += count;
}

}  // namespace marlowen
