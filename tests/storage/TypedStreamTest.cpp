#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "StreamTestSupport.h"
#include "storage/CompressedBlock.h"
#include "storage/LZRBCompress.h"
#include "storage/TypedStream.h"

namespace marlowen {
namespace {

const char kOverrun[] = "Выход за пределы потока TTypedStream при попытке чтения данных.";
const char kUnexpected[] = "TTypedStream: Unexpected data type.";

TBytes Bytes(std::initializer_list<int> values) {
    TBytes bytes;
    for (int v : values) bytes.push_back(static_cast<uint8_t>(v));
    return bytes;
}

// The message a read raises on the bytes; "" when it succeeds. The position must not move on
// failure.
std::string Failure(const TBytes& bytes, const std::function<void(TTypedStream&)>& read) {
    TTypedStream stream;
    Fill(stream, bytes);
    try {
        read(stream);
    } catch (const EStreamException& error) {
        EXPECT_EQ(stream.Position(), 0);
        EXPECT_EQ(Content(stream), bytes);
        return error.what();
    }
    return "";
}

TEST(TypedStream, IntegersHaveExactEncodings) {
    const struct {
        int64_t value;
        TBytes bytes;
    } cases[] = {
        {0, Bytes({0})},
        {255, Bytes({1, 255})},
        {256, Bytes({2, 0, 1})},
        {65536, Bytes({3, 0, 0, 1})},
        {16777216, Bytes({4, 0, 0, 0, 1})},
        {INT32_MAX, Bytes({4, 255, 255, 255, 127})},
        {-1, Bytes({39, 1})},
        {-256, Bytes({40, 0, 1})},
        {-65536, Bytes({41, 0, 0, 1})},
        {INT32_MIN, Bytes({42, 0, 0, 0, 128})},
    };
    for (const auto& c : cases) {
        TTypedStream stream;
        stream.WriteInteger(static_cast<int32_t>(c.value));
        EXPECT_EQ(Content(stream), c.bytes) << c.value;
        stream.SetPosition(0);
        EXPECT_EQ(stream.ReadInteger(), c.value);
        EXPECT_TRUE(stream.AtEnd());
        stream.SetPosition(0);
        EXPECT_EQ(stream.ReadInt64(), c.value);
    }
}

TEST(TypedStream, IntegerRangesAndSixtyFourBitTags) {
    EXPECT_EQ(Failure(Bytes({42, 1, 0, 0, 128}), [](TTypedStream& s) { s.ReadInteger(); }), kUnexpected);
    EXPECT_EQ(Failure(Bytes({4, 255, 255, 255, 255}), [](TTypedStream& s) { s.ReadInteger(); }), kUnexpected);
    TTypedStream stream;
    Fill(stream, Bytes({4, 255, 255, 255, 255}));
    EXPECT_EQ(stream.ReadInt64(), 4294967295);

    const struct {
        int64_t value;
        TBytes bytes;
    } cases[] = {
        {-4294967295, Bytes({42, 255, 255, 255, 255})},
        {4294967296, Bytes({38, 0, 0, 0, 0, 1, 0, 0, 0})},
        {-4294967296, Bytes({43, 0, 0, 0, 0, 1, 0, 0, 0})},
        {INT64_MIN, Bytes({43, 0, 0, 0, 0, 0, 0, 0, 128})},
        {INT64_MAX, Bytes({38, 255, 255, 255, 255, 255, 255, 255, 127})},
    };
    for (const auto& c : cases) {
        stream.Clear();
        stream.WriteInt64(c.value);
        EXPECT_EQ(Content(stream), c.bytes) << c.value;
        stream.SetPosition(0);
        EXPECT_EQ(stream.ReadInt64(), c.value);
    }
    EXPECT_EQ(Failure(Bytes({43, 1, 0, 0, 0, 0, 0, 0, 128}), [](TTypedStream& s) { s.ReadInt64(); }), kUnexpected);
    EXPECT_EQ(Failure(Bytes({38, 0, 0, 0, 0, 0, 0, 0}), [](TTypedStream& s) { s.ReadInt64(); }), kOverrun);
    EXPECT_EQ(Failure(Bytes({38, 1, 0, 0, 0, 0, 0, 0, 0}), [](TTypedStream& s) { s.ReadInteger(); }), kUnexpected);
}

TEST(TypedStream, StringsHaveExactEncodings) {
    TTypedStream stream;
    stream.WriteString("abc");
    stream.WriteWideString(u"ab");
    stream.WriteString("");
    stream.WriteWideString(u"");
    EXPECT_EQ(Content(stream), Bytes({6, 3, 'a', 'b', 'c', 35, 2, 'a', 0, 'b', 0, 5, 34}));
    stream.SetPosition(0);
    EXPECT_EQ(stream.ReadString(), "abc");
    EXPECT_EQ(stream.ReadWideString(), u"ab");
    EXPECT_EQ(stream.ReadString(), "");
    EXPECT_EQ(stream.ReadWideString(), u"");
    EXPECT_TRUE(stream.AtEnd());

    for (const size_t length : {255u, 256u, 65535u, 65536u}) {
        stream.Clear();
        const std::string text(length, 'x');
        const std::u16string wide(length, u'\x4E2D');
        stream.WriteString(text);
        stream.WriteWideString(wide);
        const uint8_t expectedTag = length < 256 ? 6 : length < 65536 ? 7 : 8;
        EXPECT_EQ(stream.Memory()[0], expectedTag);
        stream.SetPosition(0);
        EXPECT_EQ(stream.ReadString(), text);
        EXPECT_EQ(stream.ReadWideString(), wide);
        EXPECT_TRUE(stream.AtEnd());
    }
}

TEST(TypedStream, HostileLengthsRaiseWithoutAllocating) {
    const auto readString = [](TTypedStream& s) { s.ReadString(); };
    const auto readWide = [](TTypedStream& s) { s.ReadWideString(); };
    EXPECT_EQ(Failure(Bytes({6, 5, 'a', 'b'}), readString), kOverrun);
    EXPECT_EQ(Failure(Bytes({7, 1}), readString), kOverrun);
    EXPECT_EQ(Failure(Bytes({8, 0, 0, 0, 64}), readString), kUnexpected);  // 2^30: range before size
    EXPECT_EQ(Failure(Bytes({8, 255, 255, 255, 63}), readString), kOverrun);
    EXPECT_EQ(Failure(Bytes({37, 255, 255, 255, 255, 'a', 0}), readWide), kOverrun);
    EXPECT_EQ(Failure(Bytes({35, 2, 'a', 0, 'b'}), readWide), kOverrun);
    EXPECT_EQ(Failure(Bytes({14, 255, 255, 255, 255, 1}), [](TTypedStream& s) {
                  TMemStream target;
                  s.ReadBlock(target);
              }),
              kOverrun);
    EXPECT_EQ(Failure(Bytes({}), readString), kOverrun);
    EXPECT_EQ(Failure(Bytes({9}), readString), kUnexpected);

    TTypedStream stream;
    Fill(stream, Bytes({6, 1, 'a'}));
    stream.SetPosition(-1);
    EXPECT_THROW(stream.ReadString(), EStreamException);
    stream.SetPosition(3);
    EXPECT_THROW(stream.ReadString(), EStreamException);
}

TEST(TypedStream, FloatingPointReadsCheckTheSizeBeforeTheTag) {
    const auto readDouble = [](TTypedStream& s) { s.ReadDouble(); };
    EXPECT_EQ(Failure(Bytes({9}), readDouble), kOverrun);
    EXPECT_EQ(Failure(Bytes({9, 0, 0, 0, 0, 0, 0, 0, 0}), readDouble), kUnexpected);
    EXPECT_EQ(Failure(Bytes({12, 0, 0, 0, 0, 0, 0, 0, 0}), readDouble), kUnexpected);
    EXPECT_EQ(Failure(Bytes({13, 0, 0, 0, 0, 0, 0, 0, 0, 0}), [](TTypedStream& s) { s.ReadExtended(); }), kOverrun);
    EXPECT_EQ(Failure(Bytes({11}), [](TTypedStream& s) { s.ReadBoolean(); }), kUnexpected);

    TTypedStream stream;
    stream.WriteDouble(1.5);
    stream.WriteDateTime(TDateTime{2.25});
    stream.WriteBoolean(true);
    stream.WriteBoolean(false);
    EXPECT_EQ(Content(stream), Bytes({11, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F, 12, 0, 0, 0, 0, 0, 0, 2, 0x40, 9, 10}));
    stream.SetPosition(0);
    EXPECT_EQ(stream.ReadDouble(), 1.5);
    EXPECT_EQ(stream.ReadDateTime(), TDateTime{2.25});
    EXPECT_TRUE(stream.ReadBoolean());
    EXPECT_FALSE(stream.ReadBoolean());
}

TEST(TypedStream, ExtendedIsTheTenByteX87Layout) {
    TTypedStream stream;
    stream.WriteExtended(1.0L);
    stream.WriteExtended(-0.375L);
    EXPECT_EQ(Content(stream), Bytes({13, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F,  //
                                      13, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFD, 0xBF}));
    for (const long double value : {0.0L, -0.0L, 3.141592653589793238L, 1e-4000L, 1e4000L,
                                    std::numeric_limits<long double>::denorm_min(),
                                    std::numeric_limits<long double>::infinity()}) {
        stream.Clear();
        stream.WriteExtended(value);
        stream.SetPosition(0);
        const long double read = stream.ReadExtended();
        EXPECT_EQ(read, value);
        EXPECT_EQ(std::signbit(read), std::signbit(value));
    }
    stream.Clear();
    stream.WriteExtended(std::numeric_limits<long double>::quiet_NaN());
    stream.SetPosition(0);
    EXPECT_TRUE(std::isnan(stream.ReadExtended()));
}

TEST(TypedStream, ReadVariantMapsEveryTag) {
    TTypedStream stream;
    const TVariant values[] = {TVariant(int32_t{-7}),       TVariant(int64_t{1} << 40), TVariant(int64_t{3}),
                               TVariant("text"),            TVariant(u"wide"),          TVariant(true),
                               TVariant(2.5),               TVariant(TDateTime{45000.5}), TVariant(),
                               TVariant::Null()};
    for (const TVariant& value : values) stream.WriteVariant(value);
    stream.WriteExtended(0.5L);
    stream.SetPosition(0);
    for (const TVariant& value : values) EXPECT_EQ(stream.ReadVariant(), value);
    EXPECT_EQ(stream.ReadVariant(), TVariant(0.5));
    EXPECT_TRUE(stream.AtEnd());

    // A tag-4 value beyond the 32-bit range fails as ReadInteger does.
    const auto readVariant = [](TTypedStream& s) { s.ReadVariant(); };
    EXPECT_EQ(Failure(Bytes({4, 0, 0, 0, 128}), readVariant), kUnexpected);
    EXPECT_EQ(Failure(Bytes({14, 0, 0, 0, 0}), readVariant), kUnexpected);
    EXPECT_EQ(Failure(Bytes({15, 0}), readVariant), kUnexpected);
    EXPECT_EQ(Failure(Bytes({44}), readVariant), kUnexpected);
}

TEST(TypedStream, SkipValuePassesEveryTagByItsSize) {
    const struct {
        TBytes bytes;
        int32_t size;
    } cases[] = {
        {Bytes({35, 2, 'a', 0, 'b', 0, 99}), 6}, {Bytes({0, 99}), 1},
        {Bytes({3, 1, 2, 3, 99}), 4},            {Bytes({8, 1, 0, 0, 0, 'x', 99}), 6},
        {Bytes({13, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 99}), 11},
        {Bytes({14, 2, 0, 0, 0, 1, 2, 99}), 7},   {Bytes({15, 1, 99}), 2},
        {Bytes({18, 1, 2, 3, 4, 99}), 5},          {Bytes({30, 1, 2, 3, 4, 99}), 5},
        {Bytes({31, 99}), 1},                      {Bytes({41, 1, 2, 3, 99}), 4},
        {Bytes({43, 0, 0, 0, 0, 0, 0, 0, 0, 99}), 9}, {Bytes({44, 99}), 1},
        {Bytes({37, 1, 0, 0, 0, 'a', 0, 99}), 7},
    };
    for (const auto& c : cases) {
        TTypedStream stream;
        Fill(stream, c.bytes);
        EXPECT_EQ(stream.SkipValue(), c.bytes[0]);
        EXPECT_EQ(stream.Position(), c.size) << int{c.bytes[0]};
    }
    const auto skip = [](TTypedStream& s) { s.SkipValue(); };
    EXPECT_EQ(Failure(Bytes({45}), skip), kUnexpected);
    EXPECT_EQ(Failure(Bytes({255, 0, 0, 0, 0}), skip), kUnexpected);
    EXPECT_EQ(Failure(Bytes({30, 1, 2, 3}), skip), kOverrun);
    EXPECT_EQ(Failure(Bytes({37, 255, 255, 255, 255, 0, 0}), skip), kOverrun);
    EXPECT_EQ(Failure(Bytes({14, 0, 0, 0, 128}), skip), kOverrun);
}

TEST(TypedStream, ReadBlockWritesAtTheTargetsPosition) {
    TTypedStream stream;
    const uint8_t block[] = {5, 6, 7};
    stream.WriteBlock(block, 3);
    EXPECT_EQ(Content(stream), Bytes({14, 3, 0, 0, 0, 5, 6, 7}));

    TMemStream target;
    Fill(target, Bytes({1, 1, 1, 1}));
    target.SetPosition(2);
    stream.SetPosition(0);
    EXPECT_EQ(stream.ReadBlock(target), 3);
    EXPECT_EQ(Content(target), Bytes({1, 1, 5, 6, 7}));
    EXPECT_TRUE(stream.AtEnd());

    // Into itself: read first, then written after the value.
    stream.SetPosition(0);
    EXPECT_EQ(stream.ReadBlock(stream), 3);
    EXPECT_EQ(Content(stream), Bytes({14, 3, 0, 0, 0, 5, 6, 7, 5, 6, 7}));

    // A target that cannot take the bytes is an error, and the source stays at the value.
    target.SetPosition(-1);
    stream.SetPosition(0);
    EXPECT_THROW(stream.ReadBlock(target), EStreamException);
    EXPECT_EQ(stream.Position(), 0);
}

TEST(TypedStream, DecompressStreamExpandsInPlace) {
    TTypedStream stream;
    DecompressStream(stream, LZRBCompress());
    EXPECT_EQ(stream.Size(), 0);

    TBytes data;
    for (int i = 0; i < 3000; ++i) data.push_back(static_cast<uint8_t>("typed stream "[i % 13]));
    Fill(stream, CompressBlock(LZRBCompress(), data.data(), static_cast<int32_t>(data.size())));
    stream.SetPosition(7);
    DecompressStream(stream, LZRBCompress());
    EXPECT_EQ(Content(stream), data);
    EXPECT_EQ(stream.Position(), 0);

    // Malformed containers fail and leave the stream as it was.
    for (const TBytes& bad : {Bytes({1}), Bytes({1, 2, 3}), Bytes({255, 255, 255, 127, 0}),
                              Bytes({255, 255, 255, 255, 0}), Bytes({4, 0, 0, 0, 1, 'a'})}) {
        Fill(stream, bad);
        EXPECT_THROW(DecompressStream(stream, LZRBCompress()), ECompressException);
        EXPECT_EQ(Content(stream), bad);
    }
}

}  // namespace
}  // namespace marlowen
