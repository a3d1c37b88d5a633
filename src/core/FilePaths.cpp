#include "core/FilePaths.h"

#include <string_view>
#include <vector>

#include "core/StringHash.h"

namespace marlowen {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// A path taken apart: its root as written ("C:\", "\\server\share", "C:", "\" or ""), whether
// that root is fixed (not a current folder), and the parts below it with "." and ".." resolved.
struct TPathParts {
    std::string Root;
    bool Absolute = false;
    bool Rooted = false;  // ".." cannot climb above the root
    std::vector<std::string> Parts;
};

// Windows ignores trailing dots and spaces of a name.
std::string_view TrimName(std::string_view part) {
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.remove_suffix(1);
    return part;
}

std::vector<std::string_view> SplitParts(std::string_view text) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\\') {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

// The next non-empty part from `pos` on, moving `pos` past it.
std::string_view NextPart(std::string_view text, size_t& pos) {
    while (pos < text.size() && text[pos] == '\\') ++pos;
    const size_t start = pos;
    while (pos < text.size() && text[pos] != '\\') ++pos;
    return text.substr(start, pos - start);
}

TPathParts ParsePath(std::string path) {
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    // The long and device prefixes add nothing to where a path leads.
    if (path.rfind("\\\\?\\", 0) == 0 || path.rfind("\\\\.\\", 0) == 0) {
        path.erase(0, 4);
        if (path.size() >= 4 && TextEquals(std::string_view(path).substr(0, 4), "UNC\\")) path.replace(0, 4, "\\\\");
    }
    TPathParts result;
    std::string_view rest = path;
    if (path.rfind("\\\\", 0) == 0) {
        size_t pos = 2;
        const std::string_view server = NextPart(path, pos);
        const std::string_view share = NextPart(path, pos);
        result.Root = "\\\\" + std::string(server);
        if (!share.empty()) result.Root += "\\" + std::string(share);
        result.Absolute = !TrimName(server).empty() && !TrimName(share).empty();
        result.Rooted = true;
        rest = std::string_view(path).substr(pos);
    } else if (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':') {
        const bool fromRoot = path.size() >= 3 && path[2] == '\\';
        result.Root = path.substr(0, fromRoot ? 3 : 2);
        result.Absolute = result.Rooted = fromRoot;
        rest = std::string_view(path).substr(fromRoot ? 3 : 2);
    } else if (!path.empty() && path[0] == '\\') {
        result.Root = "\\";
        result.Rooted = true;
        rest = std::string_view(path).substr(1);
    }
    for (const std::string_view part : SplitParts(rest)) {
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!result.Parts.empty() && result.Parts.back() != "..") {
                result.Parts.pop_back();
            } else if (!result.Rooted) {
                result.Parts.emplace_back("..");
            }
            continue;
        }
        const std::string_view name = TrimName(part);
        if (!name.empty()) result.Parts.emplace_back(name);
    }
    return result;
}

// Names Windows takes for devices in any folder, with or without an extension.
bool IsDeviceName(std::string_view name) {
    name = name.substr(0, name.find('.'));
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (TextEquals(name, device)) return true;
    }
    const bool numbered = name.size() == 4 && name[3] >= '1' && name[3] <= '9';
    return numbered && (TextEquals(name.substr(0, 3), "COM") || TextEquals(name.substr(0, 3), "LPT"));
}

bool IsRefusedCharacter(char c) {
    return static_cast<unsigned char>(c) < 0x20 || std::string_view(":<>\"|?*").find(c) != std::string_view::npos;
}

}  // namespace

std::string ExtractFileName(const std::string& path) {
    const size_t separator = path.find_last_of("\\:");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string ExtractFilePath(const std::string& path) {
    const size_t separator = path.find_last_of("\\:");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string ExtractFileTitle(const std::string& path) {
    std::string name = ExtractFileName(path);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot != 0) name.resize(dot);
    return name;
}

std::string ExtractFileDir(const std::string& path) {
    std::string folder = ExtractFilePath(path);
    const bool driveRoot = folder.size() == 3 && folder[1] == ':';
    if (folder.size() > 1 && folder.back() == '\\' && !driveRoot) folder.pop_back();
    return folder;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '\\') return folder + name;
    return folder + "\\" + name;
}

std::string NormalizePath(const std::string& path) {
    const TPathParts parsed = ParsePath(path);
    std::string text = parsed.Root;
    for (size_t i = 0; i < parsed.Parts.size(); ++i) {
        if (!text.empty() && text.back() != '\\' && text.back() != ':') text += '\\';
        text += parsed.Parts[i];
    }
    return text;
}

bool IsAbsolutePath(const std::string& path) { return ParsePath(path).Absolute; }

bool IsBelowRoot(const std::string& path) {
    const TPathParts parsed = ParsePath(path);
    return parsed.Absolute && !parsed.Parts.empty();
}

bool SamePath(const std::string& a, const std::string& b) { return TextEquals(NormalizePath(a), NormalizePath(b)); }

bool IsPathInside(const std::string& path, const std::string& folder) {
    const TPathParts inner = ParsePath(path);
    const TPathParts outer = ParsePath(folder);
    if (!inner.Absolute || !outer.Absolute || !TextEquals(inner.Root, outer.Root)) return false;
    if (inner.Parts.size() < outer.Parts.size()) return false;
    for (size_t i = 0; i < outer.Parts.size(); ++i) {
        if (!TextEquals(inner.Parts[i], outer.Parts[i])) return false;
    }
    return true;
}

bool IsContainedPath(const std::string& relative) {
    if (relative.empty()) return true;
    if (IsSeparator(relative[0])) return false;
    for (const char c : relative) {
        if (IsRefusedCharacter(c)) return false;
    }
    std::string slashes = relative;
    for (char& c : slashes) {
        if (c == '/') c = '\\';
    }
    for (const std::string_view part : SplitParts(slashes)) {
        if (part.empty()) continue;
        if (TrimName(part).empty() || IsDeviceName(part)) return false;
    }
    return true;
}

}  // namespace marlowen
