#include "platform/headless/HeadlessHeldFolder.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/Exception.h"
#include "core/SafePath.h"
#include "core/Utf.h"
#include "platform/SystemFileError.h"
#include "platform/headless/HeadlessFileSystem.h"

namespace marlowen {

namespace fs = std::filesystem;

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The reasons a copy fails for, in the system's words.
constexpr const char* kAccessDenied = "Access is denied.";
constexpr const char* kInUse = "The process cannot access the file because it is being used by another process.";
constexpr const char* kNotFound = "The system cannot find the file specified.";
constexpr const char* kWriteFault = "The system cannot write to the specified device.";

// What an entry of a folder is, the link itself for a link.
enum class TEntryKind { Missing, File, ReadOnlyFile, Folder, Link };

#ifndef _WIN32
// Host folders as descriptors: every entry is reached relative to the folder that was opened.
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

int OpenFolderAt(int folder, const fs::path& host, const std::string& name) {
    return folder < 0 ? ::open(host.c_str(), kFolderFlags) : ::openat(folder, name.c_str(), kFolderFlags);
}
void CloseFolder(int folder) { ::close(folder); }
bool MakeFolderAt(int folder, const fs::path&, const std::string& name) {
    return ::mkdirat(folder, name.c_str(), 0777) == 0 || errno == EEXIST;
}
TEntryKind KindAt(int folder, const fs::path&, const std::string& name) {
    struct stat status {};
    if (fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return TEntryKind::Missing;
    if (S_ISLNK(status.st_mode)) return TEntryKind::Link;
    if (S_ISDIR(status.st_mode)) return TEntryKind::Folder;
    return (status.st_mode & S_IWUSR) != 0 ? TEntryKind::File : TEntryKind::ReadOnlyFile;
}
bool RemoveAt(int folder, const fs::path&, const std::string& name, bool isFolder) {
    return ::unlinkat(folder, name.c_str(), isFolder ? AT_REMOVEDIR : 0) == 0;
}
bool RenameAt(int folder, const fs::path&, const std::string& from, const std::string& to) {
    return ::renameat(folder, from.c_str(), folder, to.c_str()) == 0;
}
// A new file of the folder for writing; false when the name is taken.
bool WriteNewAt(int folder, const fs::path&, const std::string& name,
                const std::function<bool(const std::function<bool(const char*, size_t)>&)>& fill) {
    const int file = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (file < 0) return false;
    const auto write = [file](const char* bytes, size_t count) {
        while (count > 0) {
            const ssize_t written = ::write(file, bytes, count);
            if (written <= 0) return false;
            bytes += written;
            count -= static_cast<size_t>(written);
        }
        return true;
    };
    bool done = false;
    try {
        done = fill(write);
    } catch (...) {
        ::close(file);
        throw;
    }
    return ::close(file) == 0 && done;
}
#else
// A Windows host has no descriptors of folders to work relative to: the headless backend there
// (unit tests only) reaches entries by host path, with the same decisions on what they are.
int OpenFolderAt(int, const fs::path& host, const std::string&) {
    std::error_code error;
    const auto status = fs::symlink_status(host, error);
    if (error || !fs::exists(status)) {
        errno = ENOENT;
        return -1;
    }
    if (fs::is_symlink(status) || !fs::is_directory(status)) {
        errno = ENOTDIR;
        return -1;
    }
    return 0;
}
void CloseFolder(int) {}
bool MakeFolderAt(int, const fs::path& folder, const std::string& name) {
    std::error_code error;
    fs::create_directory(folder / fs::u8path(name), error);
    return !error;
}
TEntryKind KindAt(int, const fs::path& folder, const std::string& name) {
    std::error_code error;
    const fs::path host = folder / fs::u8path(name);
    const auto status = fs::symlink_status(host, error);
    if (error || !fs::exists(status)) return TEntryKind::Missing;
    if (fs::is_symlink(status)) return TEntryKind::Link;
    if (fs::is_directory(status)) return TEntryKind::Folder;
    return (status.permissions() & fs::perms::owner_write) != fs::perms::none ? TEntryKind::File
                                                                             : TEntryKind::ReadOnlyFile;
}
bool RemoveAt(int, const fs::path& folder, const std::string& name, bool) {
    std::error_code error;
    return fs::remove(folder / fs::u8path(name), error) && !error;
}
bool RenameAt(int, const fs::path& folder, const std::string& from, const std::string& to) {
    std::error_code error;
    fs::rename(folder / fs::u8path(from), folder / fs::u8path(to), error);
    return !error;
}
bool WriteNewAt(int, const fs::path& folder, const std::string& name,
                const std::function<bool(const std::function<bool(const char*, size_t)>&)>& fill) {
    const fs::path host = folder / fs::u8path(name);
    std::error_code error;
    if (fs::exists(fs::symlink_status(host, error))) return false;
    std::ofstream out(host, std::ios::binary);
    if (!out) return false;
    const auto write = [&out](const char* bytes, size_t count) {
        out.write(bytes, static_cast<std::streamsize>(count));
        return static_cast<bool>(out);
    };
    const bool done = fill(write);
    out.close();
    return done && !out.fail();
}
#endif

bool IsMissingError() { return errno == ENOENT || errno == ENOTDIR || errno == ELOOP; }

}  // namespace

THeadlessHeldFolder::THeadlessHeldFolder(THeadlessFileSystem& files, std::string path, fs::path host, int descriptor)
    : Files_(files), Path_(std::move(path)), Host_(std::move(host)), Descriptor_(descriptor) {}

THeadlessHeldFolder::~THeadlessHeldFolder() { CloseFolder(Descriptor_); }

std::unique_ptr<THeadlessHeldFolder> THeadlessHeldFolder::Open(THeadlessFileSystem& files, const std::string& path,
                                                               const fs::path& host) {
    const int descriptor = OpenFolderAt(-1, host, std::string());
    if (descriptor < 0) {
        if (IsMissingError()) return nullptr;
        throw Exception("Не удаётся открыть папку " + Quoted(path) + ".");
    }
    return std::unique_ptr<THeadlessHeldFolder>(new THeadlessHeldFolder(files, path, host, descriptor));
}

fs::path THeadlessHeldFolder::Entry(const std::string& name) const {
    if (!IsEntryName(Utf8ToUtf16(name))) throw Exception("Недопустимое имя " + Quoted(VisiblePath(name)) + ".");
    fs::path host = Host_ / fs::u8path(name);
    if (Files_.BeforeHeldEntryUse) Files_.BeforeHeldEntryUse(host);
    return host;
}

std::vector<TFileEntry> THeadlessHeldFolder::List() const { return Files_.FindFiles(Path_, "*"); }

std::unique_ptr<THeldFolder> THeadlessHeldFolder::OpenFolder(const std::string& name, bool create) const {
    const fs::path host = Entry(name);
    const std::string path = Path_ + "\\" + name;
    if (create && !MakeFolderAt(Descriptor_, Host_, name)) throw Exception("Не удаётся создать папку " + Quoted(path) + ".");
    const int descriptor = OpenFolderAt(Descriptor_, host, name);
    if (descriptor < 0) {
        if (IsMissingError()) return nullptr;
        throw Exception("Не удаётся открыть папку " + Quoted(path) + ".");
    }
    return std::unique_ptr<THeldFolder>(new THeadlessHeldFolder(Files_, path, host, descriptor));
}

bool THeadlessHeldFolder::DeleteEntry(const std::string& name) const {
    const fs::path host = Entry(name);
    const TEntryKind kind = KindAt(Descriptor_, Host_, name);
    // A link goes as a link, whatever it leads to.
    if (kind == TEntryKind::Link) return RemoveAt(Descriptor_, Host_, name, false);
    if (kind == TEntryKind::Missing || kind == TEntryKind::ReadOnlyFile || Files_.IsLockedHost(host)) return false;
    // Windows refuses to remove a read-only folder.
    if (kind == TEntryKind::Folder && (Files_.AttributesOf(host) & FileAttribute::ReadOnly) != 0) return false;
    if (!RemoveAt(Descriptor_, Host_, name, kind == TEntryKind::Folder)) return false;
    Files_.ExtraAttributes_.erase(THeadlessFileSystem::KeyOf(host));
    return true;
}

bool THeadlessHeldFolder::ReplaceWith(const std::string& name, const TFill& fill) const {
    const std::string temporary = THeadlessFileSystem::TemporaryName(name, ++Files_.TemporaryCounter_);
    bool done = false;
    try {
        done = WriteNewAt(Descriptor_, Host_, temporary, fill);
    } catch (...) {
        RemoveAt(Descriptor_, Host_, temporary, false);
        throw;
    }
    // A file in use is found out only now, when it is to be replaced, as on Windows.
    done = done && !Files_.IsLockedHost(Host_ / fs::u8path(name));
    // The rename replaces whatever has the name, a link too, and never writes through it.
    done = done && RenameAt(Descriptor_, Host_, temporary, name);
    if (!done) RemoveAt(Descriptor_, Host_, temporary, false);
    return done;
}

bool THeadlessHeldFolder::Replaceable(const std::string& name) const {
    const TEntryKind kind = KindAt(Descriptor_, Host_, name);
    return kind != TEntryKind::Folder && kind != TEntryKind::ReadOnlyFile;
}

void THeadlessHeldFolder::WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const {
    const fs::path host = Entry(name);
    const std::string shown = Quoted(Path_ + "\\" + name);
    if (!Replaceable(name)) throw Exception("Нет доступа к файлу " + shown + ".");
    const bool locked = Files_.IsLockedHost(host);
    const bool written = ReplaceWith(name, [&bytes](const TWrite& write) {
        return write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    });
    if (locked) throw Exception("Файл " + shown + " занят другим процессом.");
    if (!written) throw Exception("Не удаётся записать файл " + shown + ".");
    Files_.ExtraAttributes_.erase(THeadlessFileSystem::KeyOf(host));
}

bool THeadlessHeldFolder::CopyFileInto(const std::string& source, const std::string& name,
                                       const TCopyProgress& progress) const {
    const fs::path host = Entry(name);
    const fs::path from = Files_.HostPath(source);
    const std::string shown = Path_ + "\\" + name;
    const auto fail = [&shown](const char* reason) {
        throw ESystemFileError("Не удаётся скопировать файл " + Quoted(shown) + ". " + reason, shown, reason);
    };
    std::error_code error;
    if (!Replaceable(name)) fail(kAccessDenied);
    if (Files_.IsLockedHost(host)) fail(kInUse);
    std::ifstream in;
    if (fs::is_regular_file(from, error)) in.open(from, std::ios::binary);
    if (!in.is_open() || !in) fail(kNotFound);
    const auto size = static_cast<int64_t>(fs::file_size(from, error));
    bool cancelled = false;
    const TCopyProgress watched = [&progress, &cancelled](int64_t fileSize, int64_t done) {
        cancelled = progress && progress(fileSize, done);
        return cancelled;
    };
    const bool copied = ReplaceWith(name, [&](const TWrite& write) {
        return THeadlessFileSystem::CopyChunks(in, write, error ? 0 : size, watched);
    });
    if (cancelled) return false;
    if (!copied) fail(kWriteFault);
    Files_.TakeCopiedAttributes(from, host);
    return true;
}

THeadlessHeldFile::~THeadlessHeldFile() {
    if (File_ != nullptr) std::fclose(File_);
}

std::unique_ptr<THeadlessHeldFile> THeadlessHeldFile::Open(const std::string& path, const fs::path& host) {
    auto file = std::make_unique<THeadlessHeldFile>();
    file->Host_ = host;
    std::error_code error;
    if (fs::is_regular_file(host, error)) file->File_ = std::fopen(host.string().c_str(), "rb");
    if (file->File_ == nullptr) throw Exception("Не удаётся открыть файл " + Quoted(path) + ".");
    char buffer[64 * 1024];
    for (;;) {
        const size_t got = std::fread(buffer, 1, sizeof buffer, file->File_);
        file->Bytes_.insert(file->Bytes_.end(), buffer, buffer + got);
        if (got < sizeof buffer) break;
    }
    if (std::ferror(file->File_)) throw Exception("Не удаётся прочитать файл " + Quoted(path) + ".");
    file->Identity_ = IdentityOf(host);
    return file;
}

bool THeadlessHeldFile::Delete() {
    if (File_ == nullptr) return false;
    std::fclose(File_);
    File_ = nullptr;
    // Only while the name still leads to the file that was read: a file put in its place stays.
    std::error_code error;
    return !Identity_.empty() && IdentityOf(Host_) == Identity_ && fs::remove(Host_, error) && !error;
}

std::string THeadlessHeldFile::IdentityOf(const fs::path& host) {
#ifndef _WIN32
    struct stat status {};
    if (lstat(host.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::string();
    return std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
#else
    // No inode numbers through the standard library: the moment of the last write stands in.
    std::error_code error;
    const auto time = fs::last_write_time(host, error);
    return error ? std::string() : std::to_string(time.time_since_epoch().count());
#endif
}

}  // namespace marlowen
