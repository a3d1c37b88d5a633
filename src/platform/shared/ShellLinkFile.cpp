#include "platform/shared/ShellLinkFile.h"

#include <algorithm>
#include <string>

#include "core/Exception.h"
#include "core/Utf.h"

namespace marlowen {

namespace {

constexpr uint32_t kHeaderSize = 0x4C;
// {00021401-0000-0000-C000-000000000046}, the shell link class, in its stored byte order.
constexpr uint8_t kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                    0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
// {20D04FE0-3AEA-1069-A2D8-08002B30309D}, "My Computer", the root of a drive path's ID list.
constexpr uint8_t kMyComputerClsid[16] = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                          0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};

namespace LinkFlag {
constexpr uint32_t HasLinkTargetIdList = 0x01;
constexpr uint32_t HasLinkInfo = 0x02;
constexpr uint32_t HasName = 0x04;
constexpr uint32_t HasRelativePath = 0x08;
constexpr uint32_t HasWorkingDir = 0x10;
constexpr uint32_t HasArguments = 0x20;
constexpr uint32_t HasIconLocation = 0x40;
constexpr uint32_t IsUnicode = 0x80;
}  // namespace LinkFlag

constexpr uint32_t kVolumeIdAndLocalBasePath = 0x01;
constexpr uint32_t kLinkInfoHeaderSize = 0x1C;
constexpr uint32_t kLinkInfoHeaderSizeUnicode = 0x24;
constexpr uint32_t kDriveFixed = 3;
constexpr uint32_t kShowNormal = 1;

using TBytes = std::vector<uint8_t>;

// ---- writing ----

void PutU16(TBytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(TBytes& out, uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

void PutBytes(TBytes& out, const uint8_t* data, size_t size) { out.insert(out.end(), data, data + size); }

void PutCString(TBytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

void PutWideCString(TBytes& out, const std::u16string& text) {
    for (char16_t c : text) PutU16(out, c);
    PutU16(out, 0);
}

bool IsAscii(const std::string& text) {
    for (unsigned char c : text) {
        if (c >= 0x80) return false;
    }
    return true;
}

bool HasDrive(const std::string& path) {
    const char letter = path.empty() ? '\0' : path[0];
    const bool isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    return isLetter && path.size() >= 3 && path[1] == ':' && path[2] == '\\';
}

// One item of an ID list: its 16-bit size (counting itself) and the data.
void PutItem(TBytes& out, const TBytes& data) {
    PutU16(out, static_cast<uint32_t>(data.size() + 2));
    out.insert(out.end(), data.begin(), data.end());
}

TBytes RootItem() {
    TBytes item = {0x1F, 0x50};  // root folder item, sort index of "My Computer"
    PutBytes(item, kMyComputerClsid, sizeof kMyComputerClsid);
    return item;
}

TBytes VolumeItem(char letter) {
    TBytes item = {0x2F, static_cast<uint8_t>(letter), ':', '\\'};
    item.resize(23, 0);  // the drive name field is 22 bytes, zero filled
    return item;
}

// A file entry item: type (folder 0x31, file 0x32, plus 0x04 for a UTF-16 name), size, no time,
// attributes, name. ASCII names are stored as 8-bit text, others in UTF-16.
TBytes FileEntryItem(const std::string& name, bool folder) {
    const bool ascii = IsAscii(name);
    const uint8_t type = static_cast<uint8_t>((folder ? 0x31 : 0x32) | (ascii ? 0x00 : 0x04));
    TBytes item = {type, 0x00};
    PutU32(item, 0);  // file size
    PutU32(item, 0);  // FAT modification date and time
    PutU16(item, folder ? 0x10 : 0x20);
    if (ascii) {
        PutCString(item, name);
    } else {
        PutWideCString(item, Utf8ToUtf16(name));
    }
    if ((item.size() + 2) % 2 != 0) item.push_back(0);  // the item ends on a 16-bit boundary
    return item;
}

// The ID list with its size, or nothing when it is too long for that size.
TBytes TargetIdList(const std::string& target) {
    TBytes list;
    PutItem(list, RootItem());
    PutItem(list, VolumeItem(target[0]));
    std::vector<std::string> parts;
    size_t start = 3;
    while (start < target.size()) {
        size_t end = target.find('\\', start);
        if (end == std::string::npos) end = target.size();
        if (end > start) parts.push_back(target.substr(start, end - start));
        start = end + 1;
    }
    for (size_t i = 0; i < parts.size(); ++i) PutItem(list, FileEntryItem(parts[i], i + 1 < parts.size()));
    PutU16(list, 0);  // terminal item
    if (list.size() > 0xFFFF) return TBytes();

    TBytes out;
    PutU16(out, static_cast<uint32_t>(list.size()));
    out.insert(out.end(), list.begin(), list.end());
    return out;
}

// The link info: a fixed drive without serial or label, and the target as the local base path
// (in 8-bit text, and in UTF-16 too when it is not plain ASCII).
TBytes LinkInfo(const std::string& target) {
    const bool unicode = !IsAscii(target);
    const uint32_t headerSize = unicode ? kLinkInfoHeaderSizeUnicode : kLinkInfoHeaderSize;

    TBytes body;
    const uint32_t volumeIdOffset = headerSize;
    PutU32(body, 0x11);  // VolumeIDSize: 16 bytes of fields and an empty label
    PutU32(body, kDriveFixed);
    PutU32(body, 0);     // serial number
    PutU32(body, 0x10);  // label offset
    body.push_back(0);
    const uint32_t localBasePathOffset = headerSize + static_cast<uint32_t>(body.size());
    PutCString(body, target);
    const uint32_t suffixOffset = headerSize + static_cast<uint32_t>(body.size());
    body.push_back(0);
    const uint32_t localBasePathUnicodeOffset = headerSize + static_cast<uint32_t>(body.size());
    if (unicode) PutWideCString(body, Utf8ToUtf16(target));
    const uint32_t suffixUnicodeOffset = headerSize + static_cast<uint32_t>(body.size());
    if (unicode) PutU16(body, 0);

    TBytes out;
    PutU32(out, headerSize + static_cast<uint32_t>(body.size()));
    PutU32(out, headerSize);
    PutU32(out, kVolumeIdAndLocalBasePath);
    PutU32(out, volumeIdOffset);
    PutU32(out, localBasePathOffset);
    PutU32(out, 0);  // no network location
    PutU32(out, suffixOffset);
    if (unicode) {
        PutU32(out, localBasePathUnicodeOffset);
        PutU32(out, suffixUnicodeOffset);
    }
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

void PutCountedString(TBytes& out, const std::string& text) {
    const std::u16string wide = Utf8ToUtf16(text);
    if (wide.size() > 0xFFFF) throw Exception("Строка ярлыка слишком длинная.");
    PutU16(out, static_cast<uint32_t>(wide.size()));
    for (char16_t c : wide) PutU16(out, c);
}

uint32_t LinkFlagsOf(const TShellLinkData& link) {
    uint32_t flags = LinkFlag::HasLinkInfo | LinkFlag::IsUnicode;
    if (HasDrive(link.Target)) flags |= LinkFlag::HasLinkTargetIdList;
    if (!link.Description.empty()) flags |= LinkFlag::HasName;
    if (!link.WorkingFolder.empty()) flags |= LinkFlag::HasWorkingDir;
    if (!link.Arguments.empty()) flags |= LinkFlag::HasArguments;
    if (link.IconIndex >= 0) flags |= LinkFlag::HasIconLocation;
    return flags;
}

void PutHeader(TBytes& out, uint32_t flags, int32_t iconIndex) {
    PutU32(out, kHeaderSize);
    PutBytes(out, kLinkClsid, sizeof kLinkClsid);
    PutU32(out, flags);
    PutU32(out, 0x20);  // the target's attributes: an ordinary file
    out.resize(out.size() + 3 * 8, 0);  // creation, access and write times unknown
    PutU32(out, 0);     // target size
    PutU32(out, static_cast<uint32_t>(iconIndex >= 0 ? iconIndex : 0));
    PutU32(out, kShowNormal);
    PutU16(out, 0);  // no hot key
    out.resize(out.size() + 2 + 4 + 4, 0);  // reserved
}

// ---- reading ----

[[noreturn]] void Malformed() { throw Exception("Файл ярлыка повреждён."); }

// Bounds-checked little-endian reads from a buffer.
class TLinkReader {
public:
    explicit TLinkReader(const TBytes& bytes) : Bytes_(bytes) {}

    void Need(size_t offset, size_t size) const {
        if (offset > Bytes_.size() || Bytes_.size() - offset < size) Malformed();
    }
    uint32_t U16(size_t offset) const {
        Need(offset, 2);
        return Bytes_[offset] | (Bytes_[offset + 1] << 8);
    }
    uint32_t U32(size_t offset) const { return U16(offset) | (U16(offset + 2) << 16); }

    // A zero-terminated 8-bit string starting at `offset` that ends before `end`.
    std::string CString(size_t offset, size_t end) const {
        std::string text;
        for (size_t i = offset;; ++i) {
            if (i >= end || i >= Bytes_.size()) Malformed();
            if (Bytes_[i] == 0) return text;
            text += static_cast<char>(Bytes_[i]);
        }
    }
    // A zero-terminated UTF-16 string starting at `offset` that ends before `end`, as UTF-8.
    std::string WideCString(size_t offset, size_t end) const {
        std::u16string text;
        for (size_t i = offset;; i += 2) {
            if (i >= end || end - i < 2) Malformed();
            const uint32_t c = U16(i);
            if (c == 0) return Utf16ToUtf8(text);
            text += static_cast<char16_t>(c);
        }
    }
    // A counted string of the string data at `offset`; moves `offset` past it. Some writers
    // count a terminating zero in: it is not part of the text.
    std::string CountedString(size_t& offset, bool unicode) const {
        const size_t count = U16(offset);
        offset += 2;
        const size_t size = unicode ? count * 2 : count;
        Need(offset, size);
        std::string text;
        if (unicode) {
            std::u16string wide;
            for (size_t i = 0; i < count; ++i) wide += static_cast<char16_t>(U16(offset + 2 * i));
            text = Utf16ToUtf8(wide);
        } else {
            text.assign(Bytes_.begin() + static_cast<std::ptrdiff_t>(offset),
                        Bytes_.begin() + static_cast<std::ptrdiff_t>(offset + size));
        }
        offset += size;
        if (!text.empty() && text.back() == '\0') text.pop_back();
        return text;
    }

private:
    const TBytes& Bytes_;
};

// The target path from the link info at `start`; returns the offset after it.
size_t ReadLinkInfo(const TLinkReader& reader, size_t start, std::string& target) {
    const size_t size = reader.U32(start);
    const size_t headerSize = reader.U32(start + 4);
    if (size < kLinkInfoHeaderSize || headerSize < kLinkInfoHeaderSize || headerSize > size) Malformed();
    reader.Need(start, size);
    const size_t end = start + size;
    const uint32_t flags = reader.U32(start + 8);
    if ((flags & kVolumeIdAndLocalBasePath) == 0) return end;

    // An offset field, which must point inside the link info.
    const auto field = [&](size_t at) {
        const size_t value = reader.U32(start + at);
        if (value >= size) Malformed();
        return value;
    };
    const bool unicode = headerSize >= kLinkInfoHeaderSizeUnicode;
    if (unicode && field(28) != 0) {
        target = reader.WideCString(start + field(28), end);
        if (field(32) != 0) target += reader.WideCString(start + field(32), end);
    } else {
        target = reader.CString(start + field(16), end);
        if (field(24) != 0) target += reader.CString(start + field(24), end);
    }
    return end;
}

}  // namespace

std::vector<uint8_t> WriteShellLinkFile(const TShellLinkData& link) {
    uint32_t flags = LinkFlagsOf(link);
    const TBytes list = (flags & LinkFlag::HasLinkTargetIdList) ? TargetIdList(link.Target) : TBytes();
    if (list.empty()) flags &= ~LinkFlag::HasLinkTargetIdList;
    TBytes out;
    PutHeader(out, flags, link.IconIndex);
    out.insert(out.end(), list.begin(), list.end());
    const TBytes info = LinkInfo(link.Target);
    out.insert(out.end(), info.begin(), info.end());
    if (flags & LinkFlag::HasName) PutCountedString(out, link.Description);
    if (flags & LinkFlag::HasWorkingDir) PutCountedString(out, link.WorkingFolder);
    if (flags & LinkFlag::HasArguments) PutCountedString(out, link.Arguments);
    if (flags & LinkFlag::HasIconLocation) PutCountedString(out, link.Target);
    PutU32(out, 0);  // terminal extra data block
    return out;
}

TShellLinkData ReadShellLinkFile(const std::vector<uint8_t>& bytes) {
    const TLinkReader reader(bytes);
    reader.Need(0, kHeaderSize);
    if (reader.U32(0) != kHeaderSize || !std::equal(kLinkClsid, kLinkClsid + 16, bytes.begin() + 4)) Malformed();
    const uint32_t flags = reader.U32(20);
    const bool unicode = (flags & LinkFlag::IsUnicode) != 0;

    TShellLinkData link;
    size_t offset = kHeaderSize;
    if (flags & LinkFlag::HasLinkTargetIdList) offset += 2 + reader.U16(offset);
    if (flags & LinkFlag::HasLinkInfo) offset = ReadLinkInfo(reader, offset, link.Target);
    if (flags & LinkFlag::HasName) link.Description = reader.CountedString(offset, unicode);
    if (flags & LinkFlag::HasRelativePath) reader.CountedString(offset, unicode);
    if (flags & LinkFlag::HasWorkingDir) link.WorkingFolder = reader.CountedString(offset, unicode);
    if (flags & LinkFlag::HasArguments) link.Arguments = reader.CountedString(offset, unicode);
    if (flags & LinkFlag::HasIconLocation) {
        reader.CountedString(offset, unicode);
        link.IconIndex = static_cast<int32_t>(reader.U32(56));
    }
    return link;
}

}  // namespace marlowen
