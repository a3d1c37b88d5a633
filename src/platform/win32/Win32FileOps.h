#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/win32/Win32Api.h"

namespace marlowen {

// The pieces the file system and the held folders share.

// The file a write goes to beside `target` (a long path) before it takes the target's place:
// the target's name + "." + process + "." + counter + ".tmp", the name cut so that the whole stays
// within the 255 UTF-16 characters a name may hold, never between the halves of a surrogate pair.
std::wstring TemporaryPath(const std::wstring& target, uint32_t counter);
// A new number for each temporary file of this process.
uint32_t NextTemporaryNumber();

// Raises an ESystemFileError: `what` "path". and the system's text for `code`.
[[noreturn]] void RaiseFileError(const char* what, const std::string& path, DWORD code);

// The whole content of an open file; raises naming `path`.
std::vector<uint8_t> ReadWholeFile(HANDLE file, const std::string& path);

// Writes `bytes` to a new file beside `target` and renames it over whatever has the target's name
// (a link is replaced, never written through); a failure at any step leaves the target as it was
// and nothing beside it. `path` names the target in the error raised.
void WriteThroughTemporary(const std::wstring& target, const std::vector<uint8_t>& bytes, const std::string& path);

// CopyFileExW with a progress routine that may cancel or raise (the exception reaches the caller
// once the system's frames are left); a cancelled copy leaves no target. ERROR_SUCCESS when the
// file was copied, ERROR_REQUEST_ABORTED when it was cancelled, the system's code otherwise.
DWORD CopyWithProgress(const std::wstring& source, const std::wstring& target, const TCopyProgress& progress,
                       DWORD flags);

}  // namespace marlowen
