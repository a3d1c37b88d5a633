#pragma once

#include <string>

namespace marlowen {

// The parts of a Windows path: the name after the last "\" (or ":"), and the folder before it
// with its trailing "\" ("" when the path has no folder).
std::string ExtractFileName(const std::string& path);
std::string ExtractFilePath(const std::string& path);
// The name without its extension ("Setup" for "C:\Setup\Setup.exe"; ".profile" stays whole).
std::string ExtractFileTitle(const std::string& path);
// The folder before the name without its trailing "\" ("C:\Setup" for "C:\Setup\Setup.exe").
std::string ExtractFileDir(const std::string& path);

}  // namespace marlowen
