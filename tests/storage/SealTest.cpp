#include <gtest/gtest.h>

#include <string>

#include "StreamTestSupport.h"
#include "storage/Rc4.h"
#include "storage/SealedStream.h"
#include "storage/TypedStream.h"

namespace marlowen {
namespace {

const char kDamaged[] = "Данные повреждены или испорчены.";

TBytes FromHex(const std::string& hex) {
    TBytes bytes;
    for (size_t i = 0; i < hex.size(); i += 2) bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

// Opening must fail with the damage message and leave the bytes exactly as given.
void ExpectDamaged(const TBytes& sealed, const std::string& key) {
    TTypedStream stream;
    Fill(stream, sealed);
    try {
        OpenSealedStream(stream, key);
        ADD_FAILURE() << "opened";
    } catch (const EStreamException& error) {
        EXPECT_STREQ(error.what(), kDamaged);
    }
    EXPECT_EQ(Content(stream), sealed);
}

// Enciphers the plain bytes and appends a checksum that matches them, without a digest.
TBytes SealWithoutDigest(TBytes plain, const std::string& key) {
    TRc4 cipher(key);
    uint32_t sum = 0;
    for (uint8_t& b : plain) {
        sum += b;
        b ^= cipher.Next();
    }
    for (int i = 0; i < 4; ++i) plain.push_back(static_cast<uint8_t>((sum >> (8 * i)) ^ cipher.Next()));
    return plain;
}

TEST(Seal, ExactBytes) {
    TTypedStream stream;
    SealStream(stream, "Marlowen");
    EXPECT_EQ(Content(stream), FromHex("34d921e4a8c0cfa8526a7471c98496e99560869cd7a77be4ca3e1f586385ff8f0c980196"));
    EXPECT_TRUE(stream.AtEnd());
    OpenSealedStream(stream, "Marlowen");
    EXPECT_EQ(stream.Size(), 0);

    stream.WriteString("abc");
    SealStream(stream, "Marlowen");
    EXPECT_EQ(Content(stream),
              FromHex("76ee71c2f3c6ced05d157704bb839eeee81cfdefd6da049fcc3f1f566182fcf80ba640a79f48edc587"));
    stream.SetPosition(17);
    OpenSealedStream(stream, "Marlowen");
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_EQ(stream.ReadString(), "abc");
    EXPECT_TRUE(stream.AtEnd());
}

TEST(Seal, RoundTripsAnyContentAndKey) {
    TBytes content(10000);
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<uint8_t>(i * i);
    std::string key256(256, 'k');
    for (const std::string& key : {std::string("k"), std::string("ключ"), std::string(255, 'z')}) {
        TTypedStream stream;
        Fill(stream, content);
        SealStream(stream, key);
        EXPECT_EQ(stream.Size(), 10036);
        OpenSealedStream(stream, key);
        EXPECT_EQ(Content(stream), content);
    }
    // A 256-byte key acts as the empty key.
    TTypedStream stream;
    Fill(stream, content);
    SealStream(stream, key256);
    OpenSealedStream(stream, "");
    EXPECT_EQ(Content(stream), content);
}

TEST(Seal, WrongKeyAndEveryFlippedByteFail) {
    TTypedStream stream;
    stream.WriteString("update package");
    stream.WriteInteger(12345);
    SealStream(stream, "right");
    const TBytes sealed = Content(stream);
    ExpectDamaged(sealed, "wrong");
    ExpectDamaged(sealed, "");
    for (size_t i = 0; i < sealed.size(); ++i) {
        for (const uint8_t flip : {0x01, 0x80}) {
            TBytes damaged = sealed;
            damaged[i] ^= flip;
            ExpectDamaged(damaged, "right");
        }
    }
    TBytes longer = sealed;
    longer.push_back(0);
    ExpectDamaged(longer, "right");
    ExpectDamaged(TBytes(sealed.begin() + 1, sealed.end()), "right");
}

TEST(Seal, ShortStreamsAndDigestMismatchFailEvenWithAGoodChecksum) {
    for (size_t n = 0; n < 4; ++n) ExpectDamaged(TBytes(n, 0), "key");
    ExpectDamaged(SealWithoutDigest({}, "key"), "key");                        // checksum fine, no digest
    ExpectDamaged(SealWithoutDigest(TBytes(31, 'A'), "key"), "key");          // one byte short of a digest
    TBytes plain = {'x'};
    const std::string lowerCase = "9dd4e461268c8034f5c8564e155c67a6";  // MD5 of "x" in lower case
    plain.insert(plain.end(), lowerCase.begin(), lowerCase.end());
    ExpectDamaged(SealWithoutDigest(plain, "key"), "key");

    // The same construction with the upper-case digest opens: the checks above failed for the
    // reasons named, not by accident.
    TBytes good = {'x'};
    const std::string upperCase = "9DD4E461268C8034F5C8564E155C67A6";
    good.insert(good.end(), upperCase.begin(), upperCase.end());
    TTypedStream stream;
    Fill(stream, SealWithoutDigest(good, "key"));
    OpenSealedStream(stream, "key");
    EXPECT_EQ(Content(stream), TBytes{'x'});
}

TEST(Seal, DigestTextLeavesThePosition) {
    TTypedStream stream;
    stream.WriteString("abc");
    EXPECT_EQ(StreamDigestText(stream), "EEA793E05838ECC1DFCCBF66542D9A13");
    EXPECT_EQ(stream.Position(), 5);
}

}  // namespace
}  // namespace marlowen
