#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/Exception.h"
#include "platform/shared/ShellLinkFile.h"

namespace marlowen {
namespace {

namespace fs = std::filesystem;

TShellLinkData SampleLink() {
    TShellLinkData link;
    link.Target = "C:\\Program Files\\Marlowen\\MarlowenApp.exe";
    link.WorkingFolder = "C:\\Program Files\\Marlowen";
    link.Arguments = "/skin \"Blue Sky\"";
    link.Description = "Marlowen";
    link.IconIndex = 2;
    return link;
}

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 | static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

void ExpectSameLink(const TShellLinkData& actual, const TShellLinkData& expected) {
    EXPECT_EQ(actual.Target, expected.Target);
    EXPECT_EQ(actual.WorkingFolder, expected.WorkingFolder);
    EXPECT_EQ(actual.Arguments, expected.Arguments);
    EXPECT_EQ(actual.Description, expected.Description);
    EXPECT_EQ(actual.IconIndex, expected.IconIndex);
}

TEST(ShellLinkFile, HeaderHoldsTheLinkClassFlagsAndIcon) {
    const auto bytes = WriteShellLinkFile(SampleLink());
    ASSERT_GE(bytes.size(), 76u);
    EXPECT_EQ(U32At(bytes, 0), 0x4Cu);
    const std::vector<uint8_t> clsid(bytes.begin() + 4, bytes.begin() + 20);
    EXPECT_EQ(clsid, (std::vector<uint8_t>{0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46}));
    // ID list, link info, name, working folder, arguments, icon location, Unicode.
    EXPECT_EQ(U32At(bytes, 20), 0x01u | 0x02 | 0x04 | 0x10 | 0x20 | 0x40 | 0x80);
    EXPECT_EQ(U32At(bytes, 56), 2u);  // icon index
    EXPECT_EQ(U32At(bytes, 60), 1u);  // shown normally
    EXPECT_EQ(U32At(bytes, bytes.size() - 4), 0u);  // terminal block

    TShellLinkData noIcon = SampleLink();
    noIcon.IconIndex = -1;
    const auto plain = WriteShellLinkFile(noIcon);
    EXPECT_EQ(U32At(plain, 20) & 0x40, 0u);
    EXPECT_EQ(U32At(plain, 56), 0u);
}

TEST(ShellLinkFile, ReadsBackWhatItWrites) {
    ExpectSameLink(ReadShellLinkFile(WriteShellLinkFile(SampleLink())), SampleLink());

    TShellLinkData wide;  // non-ASCII target: the Unicode local base path carries it
    wide.Target = "C:\\Программы\\Марлоуэн\\Марлоуэн.exe";
    wide.Description = "Запуск 🚀";
    ExpectSameLink(ReadShellLinkFile(WriteShellLinkFile(wide)), wide);

    TShellLinkData bare;  // no drive: no ID list, only the link info
    bare.Target = "MarlowenApp.exe";
    ExpectSameLink(ReadShellLinkFile(WriteShellLinkFile(bare)), bare);
}

// A Windows path may hold 32767 characters; so many parts need more ID list than its 16-bit size
// holds, and the link info alone names the target.
TEST(ShellLinkFile, TargetsTooDeepForAnIdListStillSave) {
    TShellLinkData deep = SampleLink();
    deep.Target = "C:";
    while (deep.Target.size() < 30000) deep.Target += "\\a";
    deep.Target += "\\MarlowenApp.exe";
    const auto bytes = WriteShellLinkFile(deep);
    EXPECT_EQ(U32At(bytes, 20) & 0x01, 0u);  // no ID list
    ExpectSameLink(ReadShellLinkFile(bytes), deep);
}

// Some writers count the terminating zero of a string in; it is not part of the text.
TEST(ShellLinkFile, CountedTerminatorsAreNotText) {
    TShellLinkData counted = SampleLink();
    counted.Description += '\0';
    counted.Arguments += '\0';
    const TShellLinkData read = ReadShellLinkFile(WriteShellLinkFile(counted));
    EXPECT_EQ(read.Description, SampleLink().Description);
    EXPECT_EQ(read.Arguments, SampleLink().Arguments);
}

TEST(ShellLinkFile, HostileBytesRaiseInsteadOfOverreading) {
    const auto bytes = WriteShellLinkFile(SampleLink());
    // Every truncation either still parses (the tail is optional) or raises; none reads outside.
    for (size_t size = 0; size < bytes.size(); ++size) {
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
        try {
            ReadShellLinkFile(cut);
        } catch (const Exception&) {
        }
    }
    EXPECT_THROW(ReadShellLinkFile(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 100)), Exception);
    for (size_t at = 0; at < bytes.size(); ++at) {  // any single corrupted byte
        auto corrupt = bytes;
        corrupt[at] = 0xFF;
        try {
            ReadShellLinkFile(corrupt);
        } catch (const Exception&) {
        }
    }

    auto badClass = bytes;
    badClass[19] ^= 0xFF;
    EXPECT_THROW(ReadShellLinkFile(badClass), Exception);

    // Offsets and sizes pointing past the end of the link info or the file.
    const size_t linkInfo = 76 + 2 + (bytes[76] | bytes[77] << 8);
    for (size_t field : {0u, 4u, 16u, 24u}) {
        auto broken = bytes;
        broken[linkInfo + field + 3] = 0x7F;
        EXPECT_THROW(ReadShellLinkFile(broken), Exception) << "link info field " << field;
    }
    auto longIdList = bytes;
    longIdList[77] = 0xFF;
    EXPECT_THROW(ReadShellLinkFile(longIdList), Exception);
}

// A standard reader of the format agrees with what is written.
TEST(ShellLinkFile, StandardToolReadsTheLink) {
#ifdef _WIN32
    GTEST_SKIP() << "the link tool is a Linux program";
#else
    if (!fs::exists("/usr/bin/lnkinfo")) GTEST_SKIP() << "lnkinfo is not installed";
    const fs::path file = fs::temp_directory_path() / ("marlowen-link-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".lnk");
    {
        const auto bytes = WriteShellLinkFile(SampleLink());
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
    }
    std::string output;
    if (FILE* pipe = ::popen(("/usr/bin/lnkinfo '" + file.string() + "' 2>&1").c_str(), "r")) {
        char buffer[512];
        while (const size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
        ::pclose(pipe);
    }
    fs::remove(file);
    EXPECT_NE(output.find("Local path\t\t\t: C:\\Program Files\\Marlowen\\MarlowenApp.exe"), std::string::npos) << output;
    EXPECT_NE(output.find("Description\t\t\t: Marlowen"), std::string::npos) << output;
    EXPECT_NE(output.find("Working directory\t\t: C:\\Program Files\\Marlowen"), std::string::npos) << output;
    EXPECT_NE(output.find("Command line arguments\t\t: /skin \"Blue Sky\""), std::string::npos) << output;
#endif
}

}  // namespace
}  // namespace marlowen
