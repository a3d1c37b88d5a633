#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/PackageSignature.h"

namespace marlowen {
namespace {

using namespace PackageSignature;

TEST(PackageSignature, KeyAndSignatureFilesAreLowerCaseHexWithALineEnd) {
    const std::array<uint8_t, 3> bytes{0x00, 0xab, 0xF0};
    EXPECT_EQ(FileText(bytes), "00abf0\n");
    EXPECT_EQ(ParseFileText("00abf0\n", 3), (std::vector<uint8_t>{0x00, 0xab, 0xf0}));
    // Upper case and white space around the digits are read too; nothing else is.
    EXPECT_EQ(ParseFileText(" \t00ABF0\r\n", 3), (std::vector<uint8_t>{0x00, 0xab, 0xf0}));
    for (const char* bad : {"00abf", "00abf00", "00a bf0", "00abg0", "0x00ab", "", "00abf0\n00"}) {
        EXPECT_EQ(ParseFileText(bad, 3), std::nullopt) << bad;
    }
    EXPECT_EQ(ParsePublicKey(std::string(63, 'a')), std::nullopt);
    EXPECT_NE(ParsePublicKey(std::string(64, 'a')), std::nullopt);
    EXPECT_EQ(ParseSignature(std::string(64, 'a')), std::nullopt);
    EXPECT_EQ(ParseSignature(std::string(130, 'a')), std::nullopt);
    EXPECT_EQ(SignatureFileName("C:\\update.pkg"), "C:\\update.pkg.sig");
}

TEST(PackageSignature, APackageIsSignedByAnyOfTheKeysAndByNothingElse) {
    Ed25519::TSeed first{}, second{}, third{};
    first.fill(1);
    second.fill(2);
    third.fill(3);
    const std::vector<uint8_t> package{'p', 'k', 'g', 0, 0xff};
    const std::string signature = FileText(Ed25519::Sign(second, package.data(), package.size()));
    const std::vector<Ed25519::TPublicKey> trusted{Ed25519::PublicKeyOf(first), Ed25519::PublicKeyOf(second)};

    EXPECT_TRUE(SignedByAny(trusted, package, signature)) << "the second key, as after a key rotation";
    EXPECT_FALSE(SignedByAny({Ed25519::PublicKeyOf(third)}, package, signature));
    EXPECT_FALSE(SignedByAny({}, package, signature));
    std::vector<uint8_t> changed = package;
    changed.back() ^= 1;
    EXPECT_FALSE(SignedByAny(trusted, changed, signature));
    EXPECT_FALSE(SignedByAny(trusted, package, signature.substr(0, 127)));
    EXPECT_FALSE(SignedByAny(trusted, package, ""));
}

}  // namespace
}  // namespace marlowen
