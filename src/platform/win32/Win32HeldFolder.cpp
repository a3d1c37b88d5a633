#include "platform/win32/Win32HeldFolder.h"

#include <optional>

#include "core/Exception.h"
#include "core/SafePath.h"
#include "platform/win32/Win32FileOps.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Text.h"

namespace marlowen {

namespace {

// Opens the entry itself, never what a link leads to; folders open too.
constexpr DWORD kNoFollow = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr const char* kCopyFailed = "Не удаётся скопировать файл";

TFileHandle OpenEntry(const std::wstring& path, DWORD access, DWORD share) {
    return TFileHandle(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, kNoFollow, nullptr));
}

// The attributes of what the handle holds, not of what a listing said.
std::optional<DWORD> AttributesOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(handle, &information)) return std::nullopt;
    return information.dwFileAttributes;
}

bool IsMissing(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }
bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
bool IsRealFolder(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !IsLink(attributes); }

// Whether the name is a link as the name's own attributes show it. Windows shows a link through
// the handle opened on it already; some emulations open what a link leads to all the same and
// show the link only on its name. Read once the entry is open, the name is the entry's.
bool NameIsLink(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && IsLink(attributes);
}

// Whether the entry at `path` is a file that must not be replaced (read-only, as Windows keeps it).
bool IsReadOnlyFile(const std::wstring& path) {
    const TFileHandle entry = OpenEntry(path, FILE_READ_ATTRIBUTES, kShareAll);
    if (!entry) return false;
    const auto attributes = AttributesOf(entry.Get());
    return attributes && !IsLink(*attributes) && !NameIsLink(path) && (*attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool MarkDeleted(HANDLE handle) {
    // Its one member is named after a macro of the Windows headers: set it by position.
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

bool Exists(const std::wstring& path) {
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    return !IsMissing(GetLastError());
}

}  // namespace

TWin32HeldFolder::TWin32HeldFolder(std::wstring wide, std::shared_ptr<const TPin> pin)
    : Wide_(std::move(wide)), Path_(Utf8Text(Wide_)), Pin_(std::move(pin)) {}

std::unique_ptr<TWin32HeldFolder> TWin32HeldFolder::Open(const std::wstring& path, std::shared_ptr<const TPin> parent) {
    // No FILE_SHARE_DELETE: nobody may rename or remove the folder while it is held.
    TFileHandle handle = OpenEntry(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!handle) {
        const DWORD code = GetLastError();
        if (IsMissing(code)) return nullptr;
        RaiseFileError("Не удаётся открыть папку", Utf8Text(path), code);
    }
    const auto attributes = AttributesOf(handle.Get());
    if (!attributes) RaiseFileError("Не удаётся открыть папку", Utf8Text(path), GetLastError());
    if (!IsRealFolder(*attributes) || NameIsLink(path)) return nullptr;
    auto pin = std::make_shared<const TPin>(TPin{std::move(handle), std::move(parent)});
    return std::unique_ptr<TWin32HeldFolder>(new TWin32HeldFolder(path, std::move(pin)));
}

std::wstring TWin32HeldFolder::EntryPath(const std::string& name) const {
    const std::wstring wide = WideText(name);
    if (!IsEntryName(std::u16string(wide.begin(), wide.end()))) {
        RaiseFileError("Недопустимое имя", VisiblePath(name), ERROR_INVALID_NAME);
    }
    return Wide_ + L"\\" + wide;
}

std::vector<TFileEntry> TWin32HeldFolder::List() const { return TWin32FileSystem().FindFiles(Path_, "*"); }

std::unique_ptr<THeldFolder> TWin32HeldFolder::OpenFolder(const std::string& name, bool create) const {
    const std::wstring path = EntryPath(name);
    if (create && !CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        RaiseFileError("Не удаётся создать папку", Utf8Text(path), GetLastError());
    }
    return Open(path, Pin_);
}

bool TWin32HeldFolder::DeleteEntry(const std::string& name) const {
    const std::wstring path = EntryPath(name);
    TFileHandle entry = OpenEntry(path, DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShareAll);
    if (!entry) return false;
    const auto attributes = AttributesOf(entry.Get());
    if (!attributes) return false;
    if (IsLink(*attributes) || NameIsLink(path)) {
        // The link alone goes, through its name: removing a name never follows a link, and the
        // handle may hold what the link leads to where the system followed it.
        entry.Reset();
        const DWORD named = GetFileAttributesW(path.c_str());
        const bool folder = named != INVALID_FILE_ATTRIBUTES && (named & FILE_ATTRIBUTE_DIRECTORY) != 0;
        return (folder ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str())) != 0;
    }
    // Read-only entries stay, as Windows keeps them (some emulations delete them all the same).
    if ((*attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
    const bool marked = MarkDeleted(entry.Get());
    entry.Reset();  // the entry goes as its last handle closes
    return marked && !Exists(path);
}

void TWin32HeldFolder::WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const {
    const std::wstring target = EntryPath(name);
    if (IsReadOnlyFile(target)) RaiseFileError("Не удаётся записать файл", Utf8Text(target), ERROR_ACCESS_DENIED);
    WriteThroughTemporary(target, bytes, Utf8Text(target));
}

bool TWin32HeldFolder::CopyFileInto(const std::string& source, const std::string& name,
                                    const TCopyProgress& progress) const {
    const std::wstring target = EntryPath(name);
    const std::string shown = Utf8Text(target);
    if (source.empty()) RaiseFileError(kCopyFailed, shown, ERROR_INVALID_NAME);
    if (IsReadOnlyFile(target)) RaiseFileError(kCopyFailed, shown, ERROR_ACCESS_DENIED);
    // A new file beside, renamed over the name: whatever had the name (a link too) is replaced.
    const std::wstring temporary = TemporaryPath(target, NextTemporaryNumber());
    const DWORD copied = CopyWithProgress(LongPath(source), temporary, progress, COPY_FILE_FAIL_IF_EXISTS);
    if (copied == ERROR_REQUEST_ABORTED) return false;
    if (copied != ERROR_SUCCESS) {
        // Some systems leave what a failed copy wrote (a full disk's part of the file).
        SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(temporary.c_str());
        RaiseFileError(kCopyFailed, shown, copied);
    }
    if (MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    const DWORD code = GetLastError();
    SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(temporary.c_str());
    RaiseFileError(kCopyFailed, shown, code);
}

std::unique_ptr<TWin32HeldFile> TWin32HeldFile::Open(const std::wstring& wide, const std::string& path) {
    auto file = std::make_unique<TWin32HeldFile>();
    file->Handle_.Reset(CreateFileW(wide.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    file->MayDelete_ = file->Handle_.Valid();
    if (!file->Handle_ && GetLastError() == ERROR_ACCESS_DENIED) {
        // A package on a medium it cannot be deleted from is still read.
        file->Handle_.Reset(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    if (!file->Handle_) RaiseFileError("Не удаётся открыть файл", path, GetLastError());
    file->Bytes_ = ReadWholeFile(file->Handle_.Get(), path);
    return file;
}

bool TWin32HeldFile::Delete() {
    if (!MayDelete_ || !Handle_) return false;
    const bool marked = MarkDeleted(Handle_.Get());
    Handle_.Reset();
    return marked;
}

}  // namespace marlowen
