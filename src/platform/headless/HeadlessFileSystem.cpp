#include "platform/headless/HeadlessFileSystem.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/Exception.h"

namespace marlowen {

namespace {

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

uint32_t AttributesOf(const std::filesystem::directory_entry& entry) {
    std::error_code error;
    uint32_t attributes = 0;
    if (entry.is_directory(error)) attributes |= FileAttribute::Directory;
    const auto permissions = entry.status(error).permissions();
    if ((permissions & std::filesystem::perms::owner_write) == std::filesystem::perms::none) {
        attributes |= FileAttribute::ReadOnly;
    }
    const std::string name = entry.path().filename().u8string();
    if (!name.empty() && name[0] == '.') attributes |= FileAttribute::Hidden;
    if (attributes == 0) attributes = FileAttribute::Archive;
    return attributes;
}

}  // namespace

bool MatchesMask(const std::string& name, const std::string& mask) { return Matches(name.c_str(), mask.c_str()); }

THeadlessFileSystem::THeadlessFileSystem(std::filesystem::path root) : Root_(std::move(root)) {}

std::filesystem::path THeadlessFileSystem::HostPath(const std::string& path) const {
    std::filesystem::path host = Root_;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(start, end - start);
        if (start == 0 && part.size() == 2 && part[1] == ':') part.resize(1);
        if (!part.empty() && part != ".") host /= std::filesystem::u8path(part);
        start = end + 1;
    }
    return host;
}

std::vector<TFileEntry> THeadlessFileSystem::FindFiles(const std::string& folder, const std::string& mask) const {
    std::vector<TFileEntry> entries;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(HostPath(folder), error)) {
        const std::string name = entry.path().filename().u8string();
        if (!MatchesMask(name, mask)) continue;
        std::error_code sizeError;
        const bool isFile = entry.is_regular_file(sizeError);
        entries.push_back({name, AttributesOf(entry), isFile ? static_cast<int64_t>(entry.file_size(sizeError)) : 0});
    }
    std::sort(entries.begin(), entries.end(), [](const TFileEntry& a, const TFileEntry& b) { return a.Name < b.Name; });
    return entries;
}

std::vector<uint8_t> THeadlessFileSystem::ReadFile(const std::string& path) const {
    std::ifstream file(HostPath(path), std::ios::binary);
    if (!file) throw Exception("Не удаётся открыть файл \"" + path + "\".");
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) throw Exception("Не удаётся прочитать файл \"" + path + "\".");
    return bytes;
}

bool THeadlessFileSystem::FileExists(const std::string& path) const {
    std::error_code error;
    return std::filesystem::is_regular_file(HostPath(path), error);
}

}  // namespace marlowen
