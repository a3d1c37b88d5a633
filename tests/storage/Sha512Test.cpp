#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "storage/Sha512.h"

namespace marlowen {
namespace {

std::string Hex(const TSha512::TDigest& digest) {
    std::string text;
    for (uint8_t byte : digest) text += "0123456789abcdef"[byte >> 4], text += "0123456789abcdef"[byte & 15];
    return text;
}

std::string Hex(const std::string& text) {
    return Hex(TSha512::Digest(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

TEST(Sha512, PublishedVectors) {
    EXPECT_EQ(Hex("abc"),
              "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
              "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f");
    EXPECT_EQ(Hex(""),
              "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce"
              "47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417a81a538327af927da3e");
    // 112 bytes: the length field no longer fits the first block.
    EXPECT_EQ(Hex("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmno"
                  "ijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu"),
              "8e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa17299aeadb6889018"
              "501d289e4900f7e4331b99dec4b5433ac7d329eeb6dd26545e96e55b874be909");
}

TEST(Sha512, OneMillionLettersInOddPieces) {
    const std::string piece(997, 'a');
    TSha512 sha;
    size_t fed = 0;
    for (size_t size = 1; fed < 1000000; size = size * 3 % 997 + 1) {
        const size_t take = std::min(size, 1000000 - fed);
        sha.Update(reinterpret_cast<const uint8_t*>(piece.data()), take);
        fed += take;
    }
    EXPECT_EQ(Hex(sha.Final()),
              "e718483d0ce769644e2e42c7bc15b4638e1f98b13b2044285632a803afa973eb"
              "de0ff244877ea60a4cb0432ce577c31beb009c5c2c49aa2e4eadb217ad8cc09b");
}

// Lengths either side of the block and padding boundaries.
TEST(Sha512, PaddingBoundaries) {
    const struct {
        size_t length;
        const char* digest;
    } cases[] = {
        {111, "68cffa6d0d76f309c9ce0d35280939f8e25990c43b7b086ccdf709be35b07d4d"
              "dba599541ff2b1c19d34ea49aeafb9659adb7ac3c0b078bb30a22d57fc6687ef"},
        {127, "e0b6a20f1c0c88970a9340152cd5a1c1ecf3d3b8de5510274187943807947354"
              "0133b812706e5dbec322c8c9523b6fc8c6d16ee626e87ad5fe3d2916afedc369"},
        {128, "99b16f17aa0b969a5b8f08f367719d516e330ccd2660b6f0688ec031dbc783de"
              "50a1cd185a2568dba75070a2403d17d4741d163578515dfd2ff756ddfe4d47b1"},
        {240, "9d60ee60d29ec4fa0b9690c04c1c29413bbe3ed345639182d9d53dcc05926b77"
              "b04f4fec1562fb85182954c96b7cbb5d5e4410251ff4f352d09a2da90419fb13"},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> data(c.length);
        for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + 3);
        EXPECT_EQ(Hex(TSha512::Digest(data.data(), data.size())), c.digest) << c.length;
    }
}

TEST(Sha512, SplitUpdatesEqualOneDigest) {
    std::vector<uint8_t> data(200);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 31 + 17);
    const TSha512::TDigest whole = TSha512::Digest(data.data(), data.size());
    TSha512 sha;
    for (size_t split = 0; split <= data.size(); ++split) {
        sha.Update(data.data(), split);
        sha.Update(data.data() + split, data.size() - split);
        EXPECT_EQ(sha.Final(), whole) << split;  // Final also starts the object over
    }
}

}  // namespace
}  // namespace marlowen
