#include "core/SafePath.h"

#include <algorithm>
#include <array>

#include "core/StringHash.h"
#include "core/Utf.h"

namespace marlowen {

namespace {

constexpr char16_t kSeparator = u'\\';

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }
bool IsReserved(char16_t c) { return std::u16string_view(u"*?\"<>|").find(c) != std::u16string_view::npos; }

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    }
    return true;
}

// The digits Windows accepts after COM and LPT: 0-9 and the superscripts ¹ ² ³.
bool IsDeviceDigit(char16_t c) { return (c >= u'0' && c <= u'9') || c == u'\u00B9' || c == u'\u00B2' || c == u'\u00B3'; }

// A device name: the part before its first dot, trailing spaces dropped, is one of the names the
// system keeps for devices in every folder.
bool IsDeviceName(std::u16string_view part) {
    std::u16string_view stem = part.substr(0, part.find(u'.'));
    while (!stem.empty() && stem.back() == u' ') stem.remove_suffix(1);
    for (const std::u16string_view device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"}) {
        if (EqualsIgnoringAsciiCase(stem, device)) return true;
    }
    if (stem.size() != 4 || !IsDeviceDigit(stem[3])) return false;
    return EqualsIgnoringAsciiCase(stem.substr(0, 3), u"COM") || EqualsIgnoringAsciiCase(stem.substr(0, 3), u"LPT");
}

TPathFault CheckCharacters(std::u16string_view text) {
    for (const char16_t c : text) {
        if (c < 0x20) return TPathFault::ControlCharacter;
    }
    return TPathFault::None;
}

// One part of a path from outside (it holds no separator and no control character).
TPathFault CheckPart(std::u16string_view part) {
    for (const char16_t c : part) {
        if (c == u':') return TPathFault::Stream;
        if (IsReserved(c)) return TPathFault::ReservedCharacter;
    }
    if (part.back() == u'.' || part.back() == u' ') return TPathFault::TrailingDotOrSpace;
    if (IsDeviceName(part)) return TPathFault::DeviceName;
    return TPathFault::None;
}

// Splits at "\" (the text has "/" already turned into "\"), dropping empty parts, and checks each.
TPathFault SplitChecked(std::u16string_view text, std::vector<std::string>& parts) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(kSeparator, start);
        if (end == std::u16string_view::npos) end = text.size();
        const std::u16string_view part = text.substr(start, end - start);
        if (!part.empty()) {
            const TPathFault fault = CheckPart(part);
            if (fault != TPathFault::None) return fault;
            parts.push_back(Utf16ToUtf8(part));
        }
        start = end + 1;
    }
    return TPathFault::None;
}

std::u16string WithBackslashes(std::string_view text) {
    std::u16string wide = Utf8ToUtf16(text);
    for (char16_t& c : wide) {
        if (c == u'/') c = kSeparator;
    }
    return wide;
}

// The next part of `text` from `pos`, which must start right there (no empty part).
std::u16string_view TakePart(std::u16string_view text, size_t& pos) {
    const size_t start = pos;
    while (pos < text.size() && text[pos] != kSeparator) ++pos;
    return text.substr(start, pos - start);
}

// Reads the drive or share of an absolute path into `root` and moves `pos` past it.
TPathFault ParseRoot(std::u16string_view text, std::u16string& root, size_t& pos) {
    if (text.size() >= 2 && text[0] == kSeparator && text[1] == kSeparator) {
        // "\\?\", "\\.\" and their like reach the system's device namespace.
        if (text.size() >= 3 && (text[2] == u'?' || text[2] == u'.')) return TPathFault::DevicePrefix;
        pos = 2;
        const std::u16string_view server = TakePart(text, pos);
        if (pos < text.size()) ++pos;
        const std::u16string_view share = TakePart(text, pos);
        if (server.empty() || share.empty()) return TPathFault::NotAbsolute;
        for (const std::u16string_view name : {server, share}) {
            const TPathFault fault = CheckPart(name);
            if (fault != TPathFault::None) return fault;
        }
        root = u"\\\\" + std::u16string(server) + u"\\" + std::u16string(share);
        return TPathFault::None;
    }
    if (text.size() >= 4 && text[0] == kSeparator && text[1] == u'?' && text[2] == u'?' && text[3] == kSeparator) {
        return TPathFault::DevicePrefix;
    }
    if (text.size() >= 3 && IsAsciiLetter(text[0]) && text[1] == u':' && text[2] == kSeparator) {
        root = text.substr(0, 2);
        pos = 3;
        return TPathFault::None;
    }
    return TPathFault::NotAbsolute;
}

std::optional<TSafePath> Refuse(TPathFault* out, TPathFault fault) {
    if (out != nullptr) *out = fault;
    return std::nullopt;
}

}  // namespace

const char* PathFaultName(TPathFault fault) {
    static constexpr std::array<const char*, 10> kNames = {
        "none",           "empty",      "not absolute", "rooted",  "control character", "device prefix",
        "reserved character", "stream", "trailing dot or space", "device name"};
    const size_t index = static_cast<size_t>(fault);
    return index < kNames.size() ? kNames[index] : "unknown";
}

bool IsEntryName(std::u16string_view name) {
    if (name.empty() || name == u"." || name == u"..") return false;
    for (const char16_t c : name) {
        if (c < 0x20 || c == u'\\' || c == u'/' || c == u':' || IsReserved(c)) return false;
    }
    return true;
}

TSafePath::TSafePath(std::string root, std::vector<std::string> parts) : Root_(std::move(root)), Parts_(std::move(parts)) {
    Text_ = Root_.rfind("\\\\", 0) == 0 ? "\\\\?\\UNC\\" + Root_.substr(2) : "\\\\?\\" + Root_;
    if (Parts_.empty() && Root_.size() == 2) Text_ += '\\';
    for (const std::string& part : Parts_) Text_ += '\\' + part;
}

std::optional<TSafePath> TSafePath::FromAbsolute(std::string_view path, TPathFault* fault) {
    if (fault != nullptr) *fault = TPathFault::None;
    if (path.empty()) return Refuse(fault, TPathFault::Empty);
    const std::u16string wide = WithBackslashes(path);
    TPathFault found = CheckCharacters(wide);
    if (found != TPathFault::None) return Refuse(fault, found);
    std::u16string root;
    size_t pos = 0;
    found = ParseRoot(wide, root, pos);
    if (found != TPathFault::None) return Refuse(fault, found);
    std::vector<std::string> parts;
    found = SplitChecked(std::u16string_view(wide).substr(pos), parts);
    if (found != TPathFault::None) return Refuse(fault, found);
    return TSafePath(Utf16ToUtf8(root), std::move(parts));
}

std::optional<TSafePath> TSafePath::Join(std::string_view relative, TPathFault* fault) const {
    if (fault != nullptr) *fault = TPathFault::None;
    const std::u16string wide = WithBackslashes(relative);
    TPathFault found = CheckCharacters(wide);
    if (found != TPathFault::None) return Refuse(fault, found);
    if (!wide.empty() && wide[0] == kSeparator) return Refuse(fault, TPathFault::Rooted);
    if (wide.size() >= 2 && IsAsciiLetter(wide[0]) && wide[1] == u':') return Refuse(fault, TPathFault::Rooted);
    std::vector<std::string> parts = Parts_;
    found = SplitChecked(wide, parts);
    if (found != TPathFault::None) return Refuse(fault, found);
    return TSafePath(Root_, std::move(parts));
}

std::optional<TSafePath> TSafePath::Child(std::string_view name) const {
    const std::u16string wide = Utf8ToUtf16(name);
    if (!IsEntryName(wide)) return std::nullopt;
    std::vector<std::string> parts = Parts_;
    parts.push_back(Utf16ToUtf8(wide));
    return TSafePath(Root_, std::move(parts));
}

std::string TSafePath::Display() const {
    std::string text = Root_;
    if (Parts_.empty() && Root_.size() == 2) text += '\\';
    for (const std::string& part : Parts_) text += '\\' + part;
    return text;
}

bool TSafePath::IsInside(const TSafePath& folder) const {
    if (!TextEquals(Root_, folder.Root_) || Parts_.size() < folder.Parts_.size()) return false;
    for (size_t i = 0; i < folder.Parts_.size(); ++i) {
        if (!TextEquals(Parts_[i], folder.Parts_[i])) return false;
    }
    return true;
}

TSafePath TSafePath::Ancestor(size_t count) const {
    const size_t keep = std::min(count, Parts_.size());
    return TSafePath(Root_, std::vector<std::string>(Parts_.begin(), Parts_.begin() + static_cast<ptrdiff_t>(keep)));
}

std::vector<std::string> TSafePath::PartsBelow(const TSafePath& folder) const {
    const size_t skip = std::min(folder.Parts_.size(), Parts_.size());
    return std::vector<std::string>(Parts_.begin() + static_cast<ptrdiff_t>(skip), Parts_.end());
}

std::string PlainSpelling(std::string_view path) {
    if (path.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + std::string(path.substr(8));
    if (path.rfind("\\\\?\\", 0) == 0) return std::string(path.substr(4));
    return std::string(path);
}

std::string VisiblePath(std::string_view path) {
    // "<" and ">" never stand in a name, so what they enclose cannot be mistaken for part of it.
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string visible;
    for (const char c : path) {
        const auto code = static_cast<unsigned char>(c);
        if (code == 0) {
            visible += "<NUL>";
        } else if (code < 0x20) {
            visible += std::string("<U+00") + kHex[code >> 4] + kHex[code & 15] + ">";
        } else {
            visible += c;
        }
    }
    return visible;
}

}  // namespace marlowen
