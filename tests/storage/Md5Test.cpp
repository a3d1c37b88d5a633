#include <gtest/gtest.h>

#include <string>

#include "storage/Md5.h"

namespace marlowen {
namespace {

std::string Hex(const std::string& text) { return TMd5::HexDigest(text.data(), text.size()); }

TEST(Md5, PublishedTestSuite) {
    EXPECT_EQ(Hex(""), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(Hex("a"), "0CC175B9C0F1B6A831C399E269772661");
    EXPECT_EQ(Hex("abc"), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(Hex("message digest"), "F96B697D7CB7938D525A2F31AAF161D0");
    EXPECT_EQ(Hex("abcdefghijklmnopqrstuvwxyz"), "C3FCD3D76192E4007DFB496CCA67E13B");
    EXPECT_EQ(Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "D174AB98D277D9F5A5611C2C9F419D9F");
    EXPECT_EQ(Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
              "57EDF4A22BE3C955AC49DA2E2107B67A");
}

// Lengths around the padding boundaries, where one or two final blocks are needed.
TEST(Md5, PaddingBoundaries) {
    const struct {
        size_t length;
        const char* digest;
    } cases[] = {
        {55, "EF1772B6DFF9A122358552954AD0DF65"},  {56, "3B0C8AC703F828B04C6C197006D17218"},
        {57, "652B906D60AF96844EBD21B674F35E93"},  {63, "B06521F39153D618550606BE297466D5"},
        {64, "014842D480B571495A4A0363793F7367"},  {65, "C743A45E0D2E6A95CB859ADAE0248435"},
        {127, "020406E1D05CDC2AA287641F7AE2CC39"}, {128, "E510683B3F5FFE4093D021808BC6FF70"},
        {1000, "CABE45DCC9AE5B66BA86600CCA6B8BA8"},
    };
    for (const auto& c : cases) EXPECT_EQ(Hex(std::string(c.length, 'a')), c.digest) << c.length;
}

TEST(Md5, PiecewiseFeedingEqualsOneCall) {
    std::string text;
    for (int i = 0; i < 777; ++i) text += static_cast<char>(i * 13);
    const std::string whole = Hex(text);
    for (const size_t piece : {1u, 3u, 63u, 64u, 65u, 200u}) {
        TMd5 md5;
        for (size_t at = 0; at < text.size(); at += piece) md5.Update(text.data() + at, std::min(piece, text.size() - at));
        md5.Update(nullptr, 0);
        const TMd5::TDigest digest = md5.Final();
        std::string hex;
        for (uint8_t b : digest) hex += "0123456789ABCDEF"[b >> 4], hex += "0123456789ABCDEF"[b & 15];
        EXPECT_EQ(hex, whole) << piece;
        EXPECT_EQ(md5.Final(), (TMd5().Final()));  // starts over after Final
    }
}

}  // namespace
}  // namespace marlowen
