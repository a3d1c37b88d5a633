#include "core/FilePaths.h"

namespace marlowen {

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
    if (folder.size() > 1 && folder.back() == '\\') folder.pop_back();
    return folder;
}

}  // namespace marlowen
