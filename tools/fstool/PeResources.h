#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace marlowen::fstool {

// The bytes of the data resource (RCDATA) `name` of a Windows executable image (PE32 or PE32+),
// its first language; none when the image has no such resource. The image is read as untrusted:
// anything that points outside it, or a directory deeper or longer than the format allows, is
// no resource, never a crash.
std::optional<std::vector<uint8_t>> FindDataResource(const std::vector<uint8_t>& image, const std::string& name);

}  // namespace marlowen::fstool
