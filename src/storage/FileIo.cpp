#include "storage/FileIo.h"

#include <fstream>
#include <system_error>

namespace marlowen {

std::filesystem::path FilePath(const std::string& path) {
#ifdef _WIN32
    // On Windows a narrow path would go through the ANSI code page; ours is UTF-8.
    return std::filesystem::u8path(path);
#else
    return std::filesystem::path(path);
#endif
}

void SaveFileReplacing(const std::string& path, const void* data, size_t size) {
    const std::filesystem::path target = FilePath(path);
    std::filesystem::path temporary = target;
    temporary += ".~tmp";
    std::error_code ignored;
    bool written = false;
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) throw EFileError("Не удаётся создать файл \"" + path + "\".");
        if (size > 0) file.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
        file.flush();
        written = file.good();
        file.close();
        written = written && !file.fail();
    }
    if (!written) {
        std::filesystem::remove(temporary, ignored);
        throw EFileError("Ошибка записи файла \"" + path + "\".");
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::filesystem::remove(temporary, ignored);
        throw EFileError("Не удаётся создать файл \"" + path + "\".");
    }
}

}  // namespace marlowen
