#include "platform/win32/Win32FileSystem.h"

#include <algorithm>
#include <exception>
#include <limits>

#include "core/Exception.h"
#include "platform/SystemFileError.h"
#include "platform/win32/Win32FileOps.h"
#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32HeldFolder.h"
#include "platform/win32/Win32Text.h"

namespace marlowen {

namespace {

constexpr wchar_t kLongPrefix[] = L"\\\\?\\";
constexpr wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

// "/" becomes "\"; runs of "\" shrink to one, except the two that open a UNC name.
std::wstring CleanSeparators(std::wstring path) {
    std::wstring clean;
    clean.reserve(path.size());
    for (size_t i = 0; i < path.size(); ++i) {
        const wchar_t c = path[i] == L'/' ? L'\\' : path[i];
        if (c == L'\\' && !clean.empty() && clean.back() == L'\\' && !(i == 1)) continue;
        clean.push_back(c);
    }
    return clean;
}

std::wstring FullPath(const std::wstring& path) {
    DWORD size = static_cast<DWORD>(path.size()) + MAX_PATH;
    for (;;) {
        std::wstring full(size, L'\0');
        const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
        if (length == 0) return path;
        if (length < size) {
            full.resize(length);
            return full;
        }
        size = length + 1;
    }
}

// The length of the part of a long path that cannot be removed: "\\?\C:\" or "\\?\UNC\server\share\".
size_t RootLength(const std::wstring& longPath) {
    if (StartsWith(longPath, kLongUncPrefix)) {
        const size_t server = longPath.find(L'\\', 8);
        if (server == std::wstring::npos) return longPath.size();
        const size_t share = longPath.find(L'\\', server + 1);
        return share == std::wstring::npos ? longPath.size() : share + 1;
    }
    return std::min<size_t>(longPath.size(), 7);
}

std::wstring WithoutTrailingSeparator(std::wstring path) {
    while (path.size() > RootLength(path) && path.back() == L'\\') path.pop_back();
    return path;
}

}  // namespace

std::wstring TemporaryPath(const std::wstring& target, uint32_t counter) {
    constexpr size_t kMaxName = 255;
    const std::wstring suffix =
        L"." + std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(counter) + L".tmp";
    const size_t nameStart = target.find_last_of(L'\\') + 1;
    size_t keep = std::min(target.size() - nameStart, kMaxName - suffix.size());
    if (keep > 0 && IS_HIGH_SURROGATE(target[nameStart + keep - 1])) --keep;
    return target.substr(0, nameStart + keep) + suffix;
}

uint32_t NextTemporaryNumber() {
    static uint32_t counter = 0;
    return ++counter;
}

[[noreturn]] void RaiseFileError(const char* what, const std::string& path, DWORD code) {
    const std::string reason = SystemErrorMessage(code);
    throw ESystemFileError(std::string(what) + " \"" + path + "\". " + reason, path, reason);
}

void WriteThroughTemporary(const std::wstring& target, const std::vector<uint8_t>& bytes, const std::string& path) {
    const std::wstring temporary = TemporaryPath(target, NextTemporaryNumber());
    DWORD code = ERROR_SUCCESS;
    {
        TFileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                     nullptr));
        if (!file) RaiseFileError("Не удаётся записать файл", path, GetLastError());
        size_t done = 0;
        while (code == ERROR_SUCCESS && done < bytes.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
            DWORD written = 0;
            if (!::WriteFile(file.Get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) {
                code = GetLastError();
                if (code == ERROR_SUCCESS) code = ERROR_WRITE_FAULT;
            }
            done += written;
        }
        if (code == ERROR_SUCCESS && !FlushFileBuffers(file.Get())) code = GetLastError();
    }
    // The rename replaces whatever has the target's name, a link included, and never writes through it.
    if (code == ERROR_SUCCESS &&
        !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        code = GetLastError();
    }
    if (code != ERROR_SUCCESS) {
        DeleteFileW(temporary.c_str());
        RaiseFileError("Не удаётся записать файл", path, code);
    }
}

namespace {

void CreateFolderLong(const std::wstring& folder, const std::string& path) {
    if (CreateDirectoryW(folder.c_str(), nullptr)) return;
    DWORD code = GetLastError();
    if (code == ERROR_PATH_NOT_FOUND) {
        const size_t cut = folder.find_last_of(L'\\');
        if (cut != std::wstring::npos && cut >= RootLength(folder)) {
            CreateFolderLong(folder.substr(0, cut), path);
            if (CreateDirectoryW(folder.c_str(), nullptr)) return;
            code = GetLastError();
        }
    }
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return;
    RaiseFileError("Не удаётся создать папку", path, code);
}

struct TCopyContext {
    const TCopyProgress* Progress;
    bool Called;
    std::exception_ptr Error;
};

DWORD CALLBACK CopyProgressRoutine(LARGE_INTEGER totalSize, LARGE_INTEGER transferred, LARGE_INTEGER, LARGE_INTEGER,
                                   DWORD, DWORD, HANDLE, HANDLE, LPVOID data) {
    auto* context = static_cast<TCopyContext*>(data);
    context->Called = true;
    // An exception must not unwind through the system's frames: keep it for the caller.
    try {
        return (*context->Progress)(totalSize.QuadPart, transferred.QuadPart) ? PROGRESS_CANCEL : PROGRESS_CONTINUE;
    } catch (...) {
        context->Error = std::current_exception();
        return PROGRESS_CANCEL;
    }
}

}  // namespace

std::wstring LongPath(const std::string& path) {
    if (path.empty()) return std::wstring();
    std::wstring wide = WideText(path);
    if (StartsWith(wide, kLongPrefix) || StartsWith(wide, L"\\\\.\\")) return wide;
    wide = FullPath(CleanSeparators(std::move(wide)));
    if (StartsWith(wide, L"\\\\")) return kLongUncPrefix + wide.substr(2);
    return kLongPrefix + wide;
}

std::vector<TFileEntry> TWin32FileSystem::FindFiles(const std::string& folder, const std::string& mask) const {
    std::vector<TFileEntry> entries;
    std::wstring pattern = LongPath(folder);
    if (pattern.empty()) return entries;
    if (pattern.back() != L'\\') pattern.push_back(L'\\');
    pattern += WideText(mask);
    WIN32_FIND_DATAW data{};
    TFindHandle find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    if (!find) {
        // Nothing matched, or no such folder: no entries. A folder that is there but refuses to be
        // listed must not pass for an empty one.
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_NO_MORE_FILES || !FolderExists(folder)) return entries;
        RaiseFileError("Не удаётся прочитать папку", folder, code);
    }
    do {
        const std::wstring_view name(data.cFileName);
        if (name == L"." || name == L"..") continue;
        const int64_t size = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                                 ? 0
                                 : static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) |
                                                        data.nFileSizeLow);
        entries.push_back({Utf8Text(name), static_cast<uint32_t>(data.dwFileAttributes), size});
    } while (FindNextFileW(find.Get(), &data));
    const DWORD code = GetLastError();
    if (code != ERROR_NO_MORE_FILES) RaiseFileError("Не удаётся прочитать папку", folder, code);
    SortListing(entries);
    return entries;
}

std::vector<uint8_t> ReadWholeFile(HANDLE file, const std::string& path) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) RaiseFileError("Не удаётся прочитать файл", path, GetLastError());
    if (size.QuadPart < 0 || static_cast<uint64_t>(size.QuadPart) > std::numeric_limits<size_t>::max() / 2) {
        RaiseFileError("Не удаётся прочитать файл", path, ERROR_NOT_ENOUGH_MEMORY);
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        DWORD read = 0;
        if (!::ReadFile(file, bytes.data() + done, chunk, &read, nullptr)) {
            RaiseFileError("Не удаётся прочитать файл", path, GetLastError());
        }
        if (read == 0) break;
        done += read;
    }
    bytes.resize(done);
    return bytes;
}

std::vector<uint8_t> TWin32FileSystem::ReadFile(const std::string& path) const {
    TFileHandle file(CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) RaiseFileError("Не удаётся открыть файл", path, GetLastError());
    return ReadWholeFile(file.Get(), path);
}

void TWin32FileSystem::WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::wstring target = LongPath(path);
    // A read-only file is not replaced, whatever the file system underneath would allow.
    const DWORD existing = GetFileAttributesW(target.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) != 0) {
        RaiseFileError("Не удаётся записать файл", path, ERROR_ACCESS_DENIED);
    }
    WriteThroughTemporary(target, bytes, path);
}

bool TWin32FileSystem::FileExists(const std::string& path) const {
    const auto attributes = GetAttributes(path);
    return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool TWin32FileSystem::FolderExists(const std::string& path) const {
    const auto attributes = GetAttributes(path);
    return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void TWin32FileSystem::CreateFolder(const std::string& path) {
    const std::wstring folder = WithoutTrailingSeparator(LongPath(path));
    if (folder.empty()) RaiseFileError("Не удаётся создать папку", path, ERROR_INVALID_NAME);
    if (FolderExists(path)) return;
    CreateFolderLong(folder, path);
}

bool TWin32FileSystem::DeleteFile(const std::string& path) {
    if (path.empty()) return false;
    const std::wstring file = LongPath(path);
    // Read-only files stay, as Windows keeps them (some emulations delete them all the same).
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
    return DeleteFileW(file.c_str()) != 0;
}

bool TWin32FileSystem::RemoveFolder(const std::string& path) {
    return !path.empty() && RemoveDirectoryW(LongPath(path).c_str()) != 0;
}

std::optional<uint32_t> TWin32FileSystem::GetAttributes(const std::string& path) const {
    if (path.empty()) return std::nullopt;
    const DWORD attributes = GetFileAttributesW(LongPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
}

bool TWin32FileSystem::SetAttributes(const std::string& path, uint32_t attributes) {
    return !path.empty() && SetFileAttributesW(LongPath(path).c_str(), attributes) != 0;
}

DWORD CopyWithProgress(const std::wstring& source, const std::wstring& target, const TCopyProgress& progress,
                       DWORD flags) {
    TCopyContext context{&progress, false, nullptr};
    BOOL cancel = FALSE;
    const BOOL copied = CopyFileExW(source.c_str(), target.c_str(), progress ? CopyProgressRoutine : nullptr,
                                    &context, &cancel, flags);
    DWORD code = copied ? ERROR_SUCCESS : GetLastError();
    if (code == ERROR_SUCCESS && progress && !context.Called) {
        // Some systems copy without calling the routine: report the finished copy once, so that
        // the caller sees every byte done and may still reject the file.
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &data)) {
            const int64_t size = static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) |
                                                      data.nFileSizeLow);
            try {
                if (progress(size, size)) code = ERROR_REQUEST_ABORTED;
            } catch (...) {
                context.Error = std::current_exception();
                code = ERROR_REQUEST_ABORTED;
            }
        }
    }
    if (code == ERROR_REQUEST_ABORTED) {
        // A cancelled copy's destination is incomplete or unwanted.
        SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(target.c_str());
    }
    if (context.Error) std::rethrow_exception(context.Error);
    return code;
}

bool TWin32FileSystem::CopyFile(const std::string& source, const std::string& destination,
                                const TCopyProgress& progress) {
    if (source.empty() || destination.empty()) return false;
    const std::wstring target = LongPath(destination);
    // A read-only destination stays, as Windows keeps it (some emulations replace it all the same).
    const DWORD existing = GetFileAttributesW(target.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) != 0) return false;
    return CopyWithProgress(LongPath(source), target, progress, 0) == ERROR_SUCCESS;
}

std::unique_ptr<THeldFolder> TWin32FileSystem::OpenHeldFolder(const std::string& path) {
    return TWin32HeldFolder::Open(LongPath(path), nullptr);
}

std::unique_ptr<THeldFile> TWin32FileSystem::OpenHeldFile(const std::string& path) {
    return TWin32HeldFile::Open(LongPath(path), path);
}

std::string TWin32FileSystem::TempFolder() const {
    std::wstring buffer(1024, L'\0');
    for (;;) {
        const DWORD length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0) throw Exception("Не удаётся получить временную папку. " + SystemErrorMessage(GetLastError()));
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(length + 1);
    }
    if (buffer.back() != L'\\') buffer.push_back(L'\\');
    return Utf8Text(buffer);
}

// A protected list ("P", nothing inherited, "AI" marking what it passes on), each entry
// inherited by sub-folders and files ("OICI"): the system (SY) and the administrators (BA) full
// control (FA); for program folders the users (BU) read and run (0x1200A9: read, read
// attributes, list, traverse, synchronise).
const wchar_t* FolderRightsDescriptor(TFolderRights rights) {
    switch (rights) {
        case TFolderRights::ProgramFiles:
            return L"D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
        case TFolderRights::AdminsOnly:
            return L"D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
        case TFolderRights::Inherited:
            break;
    }
    return nullptr;
}

namespace {

// A security descriptor made from its text, freed with the object.
class TSecurityDescriptor {
public:
    explicit TSecurityDescriptor(const wchar_t* text) {
        if (text != nullptr &&
            !ConvertStringSecurityDescriptorToSecurityDescriptorW(text, SDDL_REVISION_1, &Descriptor_, nullptr)) {
            RaiseFileError("Не удаётся задать права папки", Utf8Text(text), GetLastError());
        }
    }
    TSecurityDescriptor(const TSecurityDescriptor&) = delete;
    TSecurityDescriptor& operator=(const TSecurityDescriptor&) = delete;
    ~TSecurityDescriptor() {
        if (Descriptor_ != nullptr) LocalFree(Descriptor_);
    }
    PSECURITY_DESCRIPTOR Get() const { return Descriptor_; }

private:
    PSECURITY_DESCRIPTOR Descriptor_ = nullptr;
};

}  // namespace

std::string TWin32FileSystem::SystemFolder() const {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const UINT length = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0) throw Exception("Не удаётся получить системную папку. " + SystemErrorMessage(GetLastError()));
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(length + 1);
    }
    while (buffer.size() > 3 && buffer.back() == L'\\') buffer.pop_back();
    return Utf8Text(buffer);
}

bool TWin32FileSystem::CreateNewFolder(const std::string& path, TFolderRights rights) {
    const std::wstring folder = LongPath(path);
    const TSecurityDescriptor descriptor(FolderRightsDescriptor(rights));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.Get(), FALSE};
    if (!CreateDirectoryW(folder.c_str(), descriptor.Get() != nullptr ? &attributes : nullptr)) {
        const DWORD code = GetLastError();
        if (code == ERROR_ALREADY_EXISTS) return false;
        RaiseFileError("Не удаётся создать папку", path, code);
    }
    return true;
}

}  // namespace marlowen
