#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marlowen {

// Why the guard refused a path.
enum class TPathFault : uint8_t {
    None,
    Empty,               // nothing, or a relative path where a folder was wanted
    NotAbsolute,         // "x", "C:x", "\x": depends on a current folder
    Rooted,              // a relative path that starts at a root or names a drive
    ControlCharacter,    // a character below U+0020 (NUL among them)
    DevicePrefix,        // "\\?\", "\\.\", "\??\" and the like
    ReservedCharacter,   // one of * ? " < > |, or "/" or "\" inside a single name
    Stream,              // ":" other than after the drive letter
    TrailingDotOrSpace,  // a part ending in "." or " " (so "." and ".." too)
    DeviceName,          // CON, NUL, COM1, LPT¹.txt, "aux  "...
};

// A short English name of the fault, for logs and test output.
const char* PathFaultName(TPathFault fault);

// Whether `name` may be joined as one entry of a folder by a listing: not empty, not "." or "..",
// no separator, no ":" and no character below U+0020 or among * ? " < > |. Trailing dots and
// spaces and device names are fine here: a verbatim path names such an entry as itself.
bool IsEntryName(std::u16string_view name);

// A path in the one spelling that every elevated file-system call receives: "\\?\C:\a\b" or
// "\\?\UNC\server\share\a". The system passes such a string on as it is (no "/" conversion, no
// "." or ".." resolution, no trimming of dots and spaces, no device names), so the string this
// class checks is exactly the string the call sees: the backends pass Text() through unchanged.
//
// Paths from outside (a package's folders and record fields, the registry's install folder and
// program group) are checked on the UTF-16 text the call receives, by one set of rules: no
// character below U+0020, none of * ? " < > |, no prefix ("\\?\", "\\.\", "\??\"), no ":" but
// after the drive letter, no part ending in a dot or a space ("." and ".." included), no device
// name in any spelling (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9 and LPT0-9 with the digits
// or ¹ ² ³, with or without an extension or trailing spaces). "/" counts as "\" and empty parts
// (doubled or trailing separators) are dropped, as Windows does for the plain spellings.
class TSafePath {
public:
    // An absolute folder or file: "C:\..." or "\\server\share\...".
    static std::optional<TSafePath> FromAbsolute(std::string_view path, TPathFault* fault = nullptr);

    // This path joined with a relative path of a package record ("" is this path itself); every
    // part checked by the rules above, and nothing rooted or drive-qualified.
    std::optional<TSafePath> Join(std::string_view relative, TPathFault* fault = nullptr) const;
    // This path joined with one entry name as a listing gives it (IsEntryName), verbatim.
    std::optional<TSafePath> Child(std::string_view name) const;

    // The call string, UTF-8: "\\?\C:\a\b".
    const std::string& Text() const { return Text_; }
    // The path as a person writes it ("C:\a\b", "\\server\share\a"), for messages.
    std::string Display() const;
    // The parts below the drive or share, as written.
    const std::vector<std::string>& Parts() const { return Parts_; }
    // The drive ("C:") or share ("\\server\share") the parts hang from.
    const std::string& Root() const { return Root_; }

    // Whether this path is `folder` or lies below it: the same root and the same leading parts,
    // compared exactly but for the case of ASCII letters (a spelling Windows might also take for
    // the same name, an 8.3 short name say, counts as different: refused, never let through).
    bool IsInside(const TSafePath& folder) const;
    // This path cut to its first `count` parts (all of it when it has fewer).
    TSafePath Ancestor(size_t count) const;
    // The parts of this path below `folder`; only for a path IsInside it.
    std::vector<std::string> PartsBelow(const TSafePath& folder) const;

private:
    TSafePath(std::string root, std::vector<std::string> parts);

    std::string Root_;
    std::vector<std::string> Parts_;
    std::string Text_;
};

// A verbatim path as a person writes it ("\\?\C:\x" is "C:\x", "\\?\UNC\s\x" is "\\s\x");
// any other path as it is.
std::string PlainSpelling(std::string_view path);

// A path of a message: a NUL shown as "<NUL>" and other characters below U+0020 as "<U+001F>",
// so that a NUL inside a path is seen rather than cutting the text short.
std::string VisiblePath(std::string_view path);

}  // namespace marlowen
