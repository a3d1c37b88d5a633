#include "platform/headless/HeadlessFileSystem.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "core/Exception.h"
#include "platform/SystemFileError.h"
#include "platform/headless/HeadlessHeldFolder.h"

namespace marlowen {

namespace fs = std::filesystem;

namespace {

// Marks a side-table entry whose attributes were set explicitly: such a file is not an archive
// unless the bits say so.
constexpr uint32_t kExplicit = 0x80000000u;
// The bits the side table holds for a file (ReadOnly is the host's write permission there).
constexpr uint32_t kFileSideBits = FileAttribute::Hidden | FileAttribute::System | FileAttribute::Archive;
constexpr uint32_t kFolderSideBits = kFileSideBits | FileAttribute::ReadOnly;
constexpr fs::perms kWriteBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool Matches(const char* name, const char* mask) {
    // Iterative wildcard match with one backtrack point for the latest "*".
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name != '\0') {
        if (*mask == '*') {
            star = mask++;
            resume = name;
        } else if (*mask == '?' || (*mask != '\0' && Upper(*mask) == Upper(*name))) {
            ++mask;
            ++name;
        } else if (star != nullptr) {
            mask = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*mask == '*') ++mask;
    return *mask == '\0';
}

std::string NameOf(const fs::path& host) { return host.filename().u8string(); }
bool IsDotName(const fs::path& host) {
    const std::string name = NameOf(host);
    return !name.empty() && name[0] == '.';
}

bool IsFile(const fs::path& host) {
    std::error_code error;
    return fs::is_regular_file(host, error);
}
bool IsFolder(const fs::path& host) {
    std::error_code error;
    return fs::is_directory(host, error);
}

bool IsLink(const fs::path& host) {
    std::error_code error;
    return fs::is_symlink(host, error);
}

// Permission bits, not the host's verdict: tests often run with rights that ignore them.
bool HostListable(const fs::path& host) {
    std::error_code error;
    const auto status = fs::status(host, error);
    if (error) return false;
    constexpr fs::perms kListBits = fs::perms::owner_read | fs::perms::owner_exec;
    return (status.permissions() & kListBits) == kListBits;
}

bool HostWritable(const fs::path& host) {
    std::error_code error;
    const auto status = fs::status(host, error);
    if (error) return true;
    return (status.permissions() & fs::perms::owner_write) != fs::perms::none;
}

// Gives or takes the host's write permission; on Windows hosts this is the read-only attribute.
bool SetHostWritable(const fs::path& host, bool writable) {
    std::error_code error;
    fs::permissions(host, kWriteBits, writable ? fs::perm_options::add : fs::perm_options::remove, error);
    return !error;
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

bool MatchesMask(const std::string& name, const std::string& mask) {
    if (Matches(name.c_str(), mask.c_str())) return true;
    // As on Windows, a mask ending in ".*" also takes names without an extension ("*.*" lists all).
    const bool extensionWildcard = mask.size() >= 2 && mask.compare(mask.size() - 2, 2, ".*") == 0;
    return extensionWildcard && name.find('.') == std::string::npos &&
           Matches(name.c_str(), mask.substr(0, mask.size() - 2).c_str());
}

THeadlessFileSystem::THeadlessFileSystem(std::filesystem::path root) : Root_(std::move(root)) {}

std::filesystem::path THeadlessFileSystem::HostPath(const std::string& windowsPath) const {
    // A verbatim path ("\\?\C:\x", "\\?\UNC\server\share\x") names the same entry as its plain form.
    std::string path = windowsPath;
    if (path.rfind("\\\\?\\UNC\\", 0) == 0) {
        path.erase(0, 8);
    } else if (path.rfind("\\\\?\\", 0) == 0) {
        path.erase(0, 4);
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("\\/", start);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(start, end - start);
        if (parts.empty() && start == 0 && part.size() == 2 && part[1] == ':') part = std::string(1, Upper(part[0]));
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    fs::path host = Root_;
    for (const auto& part : parts) host /= fs::u8path(part);
    return host;
}

std::string THeadlessFileSystem::KeyOf(const std::filesystem::path& host) {
    return host.lexically_normal().generic_u8string();
}

uint32_t THeadlessFileSystem::AttributesOf(const std::filesystem::path& host) const {
    const auto found = ExtraAttributes_.find(KeyOf(host));
    const uint32_t extra = found != ExtraAttributes_.end() ? found->second : 0;
    uint32_t attributes = IsDotName(host) ? FileAttribute::Hidden : 0;
    if (IsLink(host)) attributes |= FileAttribute::ReparsePoint;
    if (IsFolder(host)) return attributes | FileAttribute::Directory | (extra & kFolderSideBits);
    attributes |= extra & kFileSideBits;
    if (!HostWritable(host)) attributes |= FileAttribute::ReadOnly;
    if ((extra & kExplicit) == 0) attributes |= FileAttribute::Archive;
    return attributes != 0 ? attributes : FileAttribute::Normal;
}

std::vector<TFileEntry> THeadlessFileSystem::FindFiles(const std::string& folder, const std::string& mask) const {
    std::vector<TFileEntry> entries;
    const fs::path host = HostPath(folder);
    if (!IsFolder(host)) return entries;
    const auto unlistable = [&folder] { return Exception("Не удаётся прочитать папку " + Quoted(folder) + "."); };
    if (!HostListable(host)) throw unlistable();
    std::error_code error;
    fs::directory_iterator entry(host, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const std::string name = NameOf(entry->path());
        if (!MatchesMask(name, mask)) continue;
        std::error_code sizeError;
        const bool isFile = entry->is_regular_file(sizeError);
        const int64_t size = isFile ? static_cast<int64_t>(entry->file_size(sizeError)) : 0;
        entries.push_back({name, AttributesOf(entry->path()), sizeError ? 0 : size});
    }
    if (error) throw unlistable();
    SortListing(entries);
    return entries;
}

std::vector<uint8_t> THeadlessFileSystem::ReadFile(const std::string& path) const {
    const fs::path host = HostPath(path);
    std::ifstream file;
    if (IsFile(host)) file.open(host, std::ios::binary);
    if (!file.is_open()) throw Exception("Не удаётся открыть файл " + Quoted(path) + ".");
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) throw Exception("Не удаётся прочитать файл " + Quoted(path) + ".");
    return bytes;
}

void THeadlessFileSystem::WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const fs::path host = HostPath(path);
    if (IsFolder(host) || (IsFile(host) && !HostWritable(host))) {
        throw Exception("Нет доступа к файлу " + Quoted(path) + ".");
    }
    if (!IsFolder(host.parent_path())) throw Exception("Не найдена папка файла " + Quoted(path) + ".");

    // The bytes go to a hidden file beside the target, which then takes the target's place.
    fs::path temporary = host;
    temporary.replace_filename(fs::u8path(TemporaryName(NameOf(host), ++TemporaryCounter_)));
    bool written = false;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) {
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            out.close();
            written = !out.fail();
        }
    }
    // A file in use is found out only now, when it is to be replaced, as on Windows.
    const bool locked = written && IsLockedHost(host);
    std::error_code error;
    if (written && !locked) fs::rename(temporary, host, error);
    if (!written || locked || error) {
        fs::remove(temporary, error);
        if (locked) throw Exception("Файл " + Quoted(path) + " занят другим процессом.");
        throw Exception("Не удаётся записать файл " + Quoted(path) + ".");
    }
    ExtraAttributes_.erase(KeyOf(host));
}

std::string THeadlessFileSystem::TemporaryName(const std::string& name, uint32_t counter) {
    const std::string suffix = "." + std::to_string(counter) + ".tmp";
    // The host holds names of up to 255 bytes: cut the target's name to leave room, never inside
    // a character.
    size_t keep = std::min(name.size(), kMaxName - 1 - suffix.size());
    while (keep > 0 && keep < name.size() && (static_cast<uint8_t>(name[keep]) & 0xC0) == 0x80) --keep;
    return "." + name.substr(0, keep) + suffix;
}

bool THeadlessFileSystem::FileExists(const std::string& path) const { return IsFile(HostPath(path)); }

bool THeadlessFileSystem::FolderExists(const std::string& path) const { return IsFolder(HostPath(path)); }

void THeadlessFileSystem::CreateFolder(const std::string& path) {
    const fs::path host = HostPath(path);
    std::error_code error;
    fs::create_directories(host, error);
    if (error || !IsFolder(host)) throw Exception("Не удаётся создать папку " + Quoted(path) + ".");
}

bool THeadlessFileSystem::DeleteFile(const std::string& path) {
    const fs::path host = HostPath(path);
    if (IsLink(host)) {
        // The link goes, whatever it leads to (a dangling one too); a link to a folder is a folder's.
        std::error_code error;
        return !IsFolder(host) && fs::remove(host, error) && !error;
    }
    if (!IsFile(host) || IsLockedHost(host) || !HostWritable(host)) return false;
    std::error_code error;
    if (!fs::remove(host, error) || error) return false;
    ExtraAttributes_.erase(KeyOf(host));
    return true;
}

bool THeadlessFileSystem::RemoveFolder(const std::string& path) {
    const fs::path host = HostPath(path);
    if (!IsFolder(host) || IsLockedHost(host)) return false;
    std::error_code error;
    // A link to a folder goes as a link, however full the folder is.
    if (IsLink(host)) return fs::remove(host, error) && !error;
    // Windows refuses to remove a read-only folder.
    if (AttributesOf(host) & FileAttribute::ReadOnly) return false;
    if (!fs::is_empty(host, error) || error) return false;
    if (!fs::remove(host, error) || error) return false;
    ExtraAttributes_.erase(KeyOf(host));
    return true;
}

std::optional<uint32_t> THeadlessFileSystem::GetAttributes(const std::string& path) const {
    const fs::path host = HostPath(path);
    std::error_code error;
    if (!fs::exists(fs::symlink_status(host, error))) return std::nullopt;
    return AttributesOf(host);
}

bool THeadlessFileSystem::SetAttributes(const std::string& path, uint32_t attributes) {
    const fs::path host = HostPath(path);
    const bool folder = IsFolder(host);
    if (!folder && !IsFile(host)) return false;
    if (IsDotName(host) && (attributes & FileAttribute::Hidden) == 0) return false;
    if (folder) {
        ExtraAttributes_[KeyOf(host)] = kExplicit | (attributes & kFolderSideBits);
        return true;
    }
    if (!SetHostWritable(host, (attributes & FileAttribute::ReadOnly) == 0)) return false;
    ExtraAttributes_[KeyOf(host)] = kExplicit | (attributes & kFileSideBits);
    return true;
}

bool THeadlessFileSystem::CopyFile(const std::string& source, const std::string& destination,
                                   const TCopyProgress& progress) {
    const fs::path from = HostPath(source);
    const fs::path to = HostPath(destination);
    if (!IsFile(from) || IsFolder(to) || !IsFolder(to.parent_path())) return false;
    if (IsLockedHost(to) || (IsFile(to) && !HostWritable(to))) return false;
    if (KeyOf(from) == KeyOf(to)) return false;  // Windows refuses to copy a file onto itself

    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!in || !out) return false;
    std::error_code error;
    const int64_t size = static_cast<int64_t>(fs::file_size(from, error));
    bool copied = false;
    try {
        const auto write = [&out](const char* bytes, size_t count) {
            out.write(bytes, static_cast<std::streamsize>(count));
            return static_cast<bool>(out);
        };
        copied = CopyChunks(in, write, error ? 0 : size, progress) && out.flush();
    } catch (...) {
        // An error raised by the progress routine cancels the copy like a cancel does.
        out.close();
        fs::remove(to, error);
        throw;
    }
    if (!copied) {
        out.close();
        fs::remove(to, error);
        return false;
    }

    TakeCopiedAttributes(from, to);
    return true;
}

void THeadlessFileSystem::TakeCopiedAttributes(const std::filesystem::path& from, const std::filesystem::path& to) {
    // Like the Windows copy: the destination takes the source's attributes and is an archive.
    const uint32_t sourceAttributes = AttributesOf(from);
    ExtraAttributes_.erase(KeyOf(to));
    if (sourceAttributes & (FileAttribute::Hidden | FileAttribute::System)) {
        ExtraAttributes_[KeyOf(to)] =
            kExplicit | FileAttribute::Archive | (sourceAttributes & (FileAttribute::Hidden | FileAttribute::System));
    }
    if (sourceAttributes & FileAttribute::ReadOnly) SetHostWritable(to, false);
}

bool THeadlessFileSystem::CopyChunks(std::istream& in, const std::function<bool(const char*, size_t)>& write,
                                     int64_t size, const TCopyProgress& progress) {
    // Progress is reported before the first piece and after each one; true from it cancels.
    int64_t done = 0;
    if (progress && progress(size, done)) return false;
    std::vector<char> buffer(kCopyChunk);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const std::streamsize got = in.gcount();
        if (got <= 0) break;
        if (!write(buffer.data(), static_cast<size_t>(got))) return false;
        done += got;
        if (progress && progress(size, done)) return false;
    }
    return !in.bad();
}

std::string THeadlessFileSystem::TempFolder() const {
    std::error_code error;
    fs::create_directories(HostPath("C:\\Temp"), error);
    return "C:\\Temp\\";
}

std::string THeadlessFileSystem::SystemFolder() const {
    std::error_code error;
    fs::create_directories(HostPath("C:\\Windows\\System32"), error);
    fs::create_directories(HostPath("C:\\Windows\\Temp"), error);
    return "C:\\Windows\\System32";
}

bool THeadlessFileSystem::CreateNewFolder(const std::string& path, TFolderRights rights) {
    const fs::path host = HostPath(path);
    std::error_code error;
    if (fs::exists(fs::symlink_status(host, error))) return false;
    if (!fs::create_directory(host, error) || error) {
        const std::string reason = IsFolder(host.parent_path()) ? "Access is denied." : "The system cannot find the path specified.";
        throw ESystemFileError("Не удаётся создать папку " + Quoted(path) + ". " + reason, path, reason);
    }
    Rights_[KeyOf(host)] = rights;
    return true;
}

std::optional<TFolderRights> THeadlessFileSystem::RightsOf(const std::string& path) const {
    const auto found = Rights_.find(KeyOf(HostPath(path)));
    return found == Rights_.end() ? std::nullopt : std::optional<TFolderRights>(found->second);
}

std::unique_ptr<THeldFolder> THeadlessFileSystem::OpenHeldFolder(const std::string& path) {
    return THeadlessHeldFolder::Open(*this, path, HostPath(path));
}

std::unique_ptr<THeldFile> THeadlessFileSystem::OpenHeldFile(const std::string& path) {
    return THeadlessHeldFile::Open(path, HostPath(path));
}

void THeadlessFileSystem::Lock(const std::string& path) { Locked_.insert(KeyOf(HostPath(path))); }

void THeadlessFileSystem::Unlock(const std::string& path) { Locked_.erase(KeyOf(HostPath(path))); }

bool THeadlessFileSystem::IsLocked(const std::string& path) const { return IsLockedHost(HostPath(path)); }

}  // namespace marlowen
