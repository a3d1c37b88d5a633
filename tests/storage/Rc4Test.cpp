#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/Rc4.h"

namespace marlowen {
namespace {

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

// Keystream bytes [offset, offset + 16) as hexadecimal.
std::string KeystreamAt(const std::string& key, int offset) {
    TRc4 cipher(key);
    for (int i = 0; i < offset; ++i) cipher.Next();
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (int i = 0; i < 16; ++i) {
        const uint8_t b = cipher.Next();
        hex += kHex[b >> 4];
        hex += kHex[b & 15];
    }
    return hex;
}

TEST(Rc4, PublishedKeystreams) {
    const struct {
        const char* key;
        int offset;
        const char* keystream;
    } cases[] = {
        {"0102030405", 0, "b2396305f03dc027ccc3524a0a1118a8"},
        {"0102030405", 16, "6982944f18fc82d589c403a47a0d0919"},
        {"0102030405", 240, "28cb1132c96ce286421dcaadb8b69eae"},
        {"0102030405", 4080, "068326a2118416d21f9d04b2cd1ca050"},
        {"01020304050607", 0, "293f02d47f37c9b633f2af5285feb46b"},
        {"01020304050607", 4080, "f3172ceffc3b3d997c85ccd5af1a950c"},
        {"0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20", 0, "eaa6bd25880bf93d3f5d1e4ca2611d91"},
        {"0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20", 4080, "a13a7c79c7e119b5ab0296ab28c300b9"},
        {"c109163908ebe51debb46227c6cc8b37641910833222772a", 240, "cfcc922fb4a14ab45d6175aabbf2d201"},
    };
    for (const auto& c : cases) EXPECT_EQ(KeystreamAt(FromHex(c.key), c.offset), c.keystream) << c.key << " @" << c.offset;
}

TEST(Rc4, KeyLengthCountsModulo256) {
    std::string key255;
    for (int i = 0; i < 255; ++i) key255 += static_cast<char>((i * 7 + 3) & 255);
    EXPECT_EQ(KeystreamAt(key255, 0), "61f388f9b9d4ce6a0c58c9197e721247");
    EXPECT_EQ(KeystreamAt(key255.substr(0, 254), 0), "61f388f9b9d4ce6a0c58c93b7e721289");
    // The empty key schedules with an all-zero key block, as the one-byte key 0 does; 256 bytes
    // count as empty, whatever they hold.
    EXPECT_EQ(KeystreamAt("", 0), "de188941a3375d3a8a061e67576e926d");
    EXPECT_EQ(KeystreamAt(key255 + "x", 0), "de188941a3375d3a8a061e67576e926d");
    EXPECT_EQ(KeystreamAt(key255 + "xy", 0), KeystreamAt(key255.substr(0, 1), 0));
}

TEST(Rc4, ApplyTwiceRestores) {
    std::vector<uint8_t> bytes(300);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
    const std::vector<uint8_t> original = bytes;
    TRc4("secret").Apply(bytes.data(), bytes.size());
    EXPECT_NE(bytes, original);
    TRc4("secret").Apply(bytes.data(), bytes.size());
    EXPECT_EQ(bytes, original);
}

}  // namespace
}  // namespace marlowen
