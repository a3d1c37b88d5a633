#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "PeResources.h"

namespace marlowen::fstool {
namespace {

void Put16(std::vector<uint8_t>& image, size_t at, uint32_t value) {
    image[at] = static_cast<uint8_t>(value);
    image[at + 1] = static_cast<uint8_t>(value >> 8);
}
void Put32(std::vector<uint8_t>& image, size_t at, uint32_t value) {
    Put16(image, at, value & 0xFFFF);
    Put16(image, at + 2, value >> 16);
}

// The smallest 32-bit image with one section, .rsrc, that holds RCDATA `name` (language 1033).
std::vector<uint8_t> ImageWith(const std::string& name, const std::string& data) {
    std::vector<uint8_t> image(0x400, 0);
    Put16(image, 0, 0x5A4D);
    Put32(image, 0x3C, 0x40);
    Put32(image, 0x40, 0x4550);
    Put16(image, 0x44, 0x14C);  // i386
    Put16(image, 0x46, 1);      // one section
    Put16(image, 0x54, 224);    // the optional header's size
    const size_t optional = 0x58;
    Put16(image, optional, 0x10B);
    Put32(image, optional + 92, 16);           // data directories
    Put32(image, optional + 96 + 16, 0x1000);  // the resource directory's address
    Put32(image, optional + 96 + 20, 0x200);
    const size_t section = optional + 224;
    for (size_t i = 0; i < 5; ++i) image[section + i] = static_cast<uint8_t>(".rsrc"[i]);
    Put32(image, section + 8, 0x200);
    Put32(image, section + 12, 0x1000);
    Put32(image, section + 16, 0x200);
    Put32(image, section + 20, 0x200);
    const size_t tree = 0x200;
    Put16(image, tree + 14, 1);  // types: one by number
    Put32(image, tree + 16, 10);
    Put32(image, tree + 20, 0x80000000u | 0x18);
    Put16(image, tree + 0x18 + 12, 1);  // names: one by name
    Put32(image, tree + 0x28, 0x80000000u | 0x60);
    Put32(image, tree + 0x2C, 0x80000000u | 0x30);
    Put16(image, tree + 0x30 + 14, 1);  // languages
    Put32(image, tree + 0x40, 1033);
    Put32(image, tree + 0x44, 0x50);
    Put32(image, tree + 0x50, 0x1000 + 0x80);  // the data entry
    Put32(image, tree + 0x54, static_cast<uint32_t>(data.size()));
    Put16(image, tree + 0x60, static_cast<uint32_t>(name.size()));
    for (size_t i = 0; i < name.size(); ++i) Put16(image, tree + 0x62 + 2 * i, static_cast<uint8_t>(name[i]));
    for (size_t i = 0; i < data.size(); ++i) image[tree + 0x80 + i] = static_cast<uint8_t>(data[i]);
    return image;
}

std::string Text(const std::optional<std::vector<uint8_t>>& bytes) {
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<none>";
}

TEST(PeResources, FindsADataResourceByNameWithoutRegardToCase) {
    const std::vector<uint8_t> image = ImageWith("UPDATEKEYS", "key one\nkey two\n");
    EXPECT_EQ(Text(FindDataResource(image, "UPDATEKEYS")), "key one\nkey two\n");
    EXPECT_EQ(Text(FindDataResource(image, "updatekeys")), "key one\nkey two\n");
    EXPECT_EQ(FindDataResource(image, "OTHER"), std::nullopt);
    EXPECT_EQ(FindDataResource(image, "UPDATEKEY"), std::nullopt);
    EXPECT_EQ(FindDataResource(std::vector<uint8_t>{'M', 'Z'}, "UPDATEKEYS"), std::nullopt);
}

// Read as untrusted: every cut and thousands of damaged copies give the resource, none, or other
// bytes of the image, and never read outside it (the sanitizers would say).
TEST(PeResources, ACutOrDamagedImageIsNeverReadOutsideItself) {
    const std::vector<uint8_t> image = ImageWith("UPDATEKEYS", "data");
    for (size_t size = 0; size < image.size(); ++size) {
        const std::vector<uint8_t> cut(image.begin(), image.begin() + static_cast<ptrdiff_t>(size));
        const auto found = FindDataResource(cut, "UPDATEKEYS");
        if (found) {
            EXPECT_LE(found->size(), size);
        }
    }
    std::mt19937 random(12345);
    for (int round = 0; round < 5000; ++round) {
        std::vector<uint8_t> damaged = image;
        for (int i = 0; i < 4; ++i) {
            damaged[random() % (0x300)] = static_cast<uint8_t>(random());
        }
        const auto found = FindDataResource(damaged, "UPDATEKEYS");
        if (found) {
            EXPECT_LE(found->size(), damaged.size());
        }
    }
}

}  // namespace
}  // namespace marlowen::fstool
