#include "platform/headless/HeadlessHeldFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "core/Exception.h"
#include "core/SafePath.h"
#include "core/Utf.h"
#include "platform/headless/HeadlessFileSystem.h"

namespace marlowen {

namespace fs = std::filesystem;

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The entry's own status, a link's as a link.
bool StatOf(int folder, const std::string& name, struct stat& status) {
    return fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

bool OwnerWritable(const struct stat& status) { return (status.st_mode & S_IWUSR) != 0; }

bool WriteAll(int descriptor, const char* bytes, size_t count) {
    while (count > 0) {
        const ssize_t written = ::write(descriptor, bytes, count);
        if (written <= 0) return false;
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

THeadlessHeldFolder::THeadlessHeldFolder(THeadlessFileSystem& files, std::string path, fs::path host, int descriptor)
    : Files_(files), Path_(std::move(path)), Host_(std::move(host)), Descriptor_(descriptor) {}

THeadlessHeldFolder::~THeadlessHeldFolder() { ::close(Descriptor_); }

std::unique_ptr<THeadlessHeldFolder> THeadlessHeldFolder::Open(THeadlessFileSystem& files, const std::string& path,
                                                               const fs::path& host) {
    const int descriptor = ::open(host.c_str(), kFolderFlags);
    if (descriptor < 0) {
        if (errno == ENOENT || errno == ENOTDIR || errno == ELOOP) return nullptr;
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
    if (create && ::mkdirat(Descriptor_, name.c_str(), 0777) != 0 && errno != EEXIST) {
        throw Exception("Не удаётся создать папку " + Quoted(Path_ + "\\" + name) + ".");
    }
    const int descriptor = ::openat(Descriptor_, name.c_str(), kFolderFlags);
    if (descriptor < 0) {
        if (errno == ENOENT || errno == ENOTDIR || errno == ELOOP) return nullptr;
        throw Exception("Не удаётся открыть папку " + Quoted(Path_ + "\\" + name) + ".");
    }
    return std::unique_ptr<THeldFolder>(new THeadlessHeldFolder(Files_, Path_ + "\\" + name, host, descriptor));
}

bool THeadlessHeldFolder::DeleteEntry(const std::string& name) const {
    const fs::path host = Entry(name);
    struct stat status {};
    if (!StatOf(Descriptor_, name, status)) return false;
    // A link goes as a link, whatever it leads to.
    if (S_ISLNK(status.st_mode)) return ::unlinkat(Descriptor_, name.c_str(), 0) == 0;
    if (Files_.IsLockedHost(host)) return false;
    if (S_ISDIR(status.st_mode)) {
        // Windows refuses to remove a read-only folder.
        if (Files_.AttributesOf(host) & FileAttribute::ReadOnly) return false;
        if (::unlinkat(Descriptor_, name.c_str(), AT_REMOVEDIR) != 0) return false;
    } else {
        if (!OwnerWritable(status) || ::unlinkat(Descriptor_, name.c_str(), 0) != 0) return false;
    }
    Files_.ExtraAttributes_.erase(THeadlessFileSystem::KeyOf(host));
    return true;
}

bool THeadlessHeldFolder::ReplaceWith(const std::string& name, const std::function<bool(int)>& fill) const {
    const std::string temporary = THeadlessFileSystem::TemporaryName(name, ++Files_.TemporaryCounter_);
    const int descriptor =
        ::openat(Descriptor_, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor < 0) return false;
    bool done = false;
    try {
        done = fill(descriptor);
    } catch (...) {
        ::close(descriptor);
        ::unlinkat(Descriptor_, temporary.c_str(), 0);
        throw;
    }
    done = ::close(descriptor) == 0 && done;
    // A file in use is found out only now, when it is to be replaced, as on Windows.
    done = done && !Files_.IsLockedHost(Host_ / fs::u8path(name));
    // The rename replaces whatever has the name, a link too, and never writes through it.
    done = done && ::renameat(Descriptor_, temporary.c_str(), Descriptor_, name.c_str()) == 0;
    if (!done) ::unlinkat(Descriptor_, temporary.c_str(), 0);
    return done;
}

void THeadlessHeldFolder::WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const {
    const fs::path host = Entry(name);
    const std::string shown = Quoted(Path_ + "\\" + name);
    struct stat status {};
    if (StatOf(Descriptor_, name, status) &&
        (S_ISDIR(status.st_mode) || (S_ISREG(status.st_mode) && !OwnerWritable(status)))) {
        throw Exception("Нет доступа к файлу " + shown + ".");
    }
    const bool locked = Files_.IsLockedHost(host);
    const bool written = ReplaceWith(name, [&bytes](int descriptor) {
        return WriteAll(descriptor, reinterpret_cast<const char*>(bytes.data()), bytes.size());
    });
    if (locked) throw Exception("Файл " + shown + " занят другим процессом.");
    if (!written) throw Exception("Не удаётся записать файл " + shown + ".");
    Files_.ExtraAttributes_.erase(THeadlessFileSystem::KeyOf(host));
}

bool THeadlessHeldFolder::CopyFileInto(const std::string& source, const std::string& name,
                                       const TCopyProgress& progress) const {
    const fs::path host = Entry(name);
    const fs::path from = Files_.HostPath(source);
    struct stat status {};
    if (StatOf(Descriptor_, name, status) &&
        (S_ISDIR(status.st_mode) || (S_ISREG(status.st_mode) && !OwnerWritable(status)))) {
        return false;
    }
    std::error_code error;
    if (!fs::is_regular_file(from, error)) return false;
    std::ifstream in(from, std::ios::binary);
    if (!in) return false;
    const auto size = static_cast<int64_t>(fs::file_size(from, error));
    const bool copied = ReplaceWith(name, [&](int descriptor) {
        const auto write = [descriptor](const char* bytes, size_t count) { return WriteAll(descriptor, bytes, count); };
        return THeadlessFileSystem::CopyChunks(in, write, error ? 0 : size, progress);
    });
    if (copied) Files_.TakeCopiedAttributes(from, host);
    return copied;
}

THeadlessHeldFile::~THeadlessHeldFile() {
    if (Descriptor_ >= 0) ::close(Descriptor_);
}

std::unique_ptr<THeadlessHeldFile> THeadlessHeldFile::Open(const std::string& path, const fs::path& host) {
    auto file = std::make_unique<THeadlessHeldFile>();
    file->Host_ = host;
    file->Descriptor_ = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status {};
    if (file->Descriptor_ < 0 || fstat(file->Descriptor_, &status) != 0 || !S_ISREG(status.st_mode)) {
        throw Exception("Не удаётся открыть файл " + Quoted(path) + ".");
    }
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(file->Descriptor_, buffer, sizeof buffer);
        if (got < 0) throw Exception("Не удаётся прочитать файл " + Quoted(path) + ".");
        if (got == 0) break;
        file->Bytes_.insert(file->Bytes_.end(), buffer, buffer + got);
    }
    return file;
}

bool THeadlessHeldFile::Delete() {
    if (Descriptor_ < 0) return false;
    // Only while the name still leads to the file that was read: a file put in its place stays.
    struct stat held {}, named {};
    const bool same = fstat(Descriptor_, &held) == 0 && lstat(Host_.c_str(), &named) == 0 &&
                      held.st_dev == named.st_dev && held.st_ino == named.st_ino;
    ::close(Descriptor_);
    Descriptor_ = -1;
    return same && ::unlink(Host_.c_str()) == 0;
}

}  // namespace marlowen
