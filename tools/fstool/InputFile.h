#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace marlowen::fstool {

// The whole content of a file the command reads; raises the storage layer's file error.
std::vector<uint8_t> ReadWholeFile(const std::string& path);

}  // namespace marlowen::fstool
