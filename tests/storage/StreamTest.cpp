#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "StreamTestSupport.h"
#include "storage/FileIo.h"
#include "storage/TypedStream.h"

namespace marlowen {
namespace {

const char kMemOverrun[] = "Выход за пределы потока TMemStream при попытке чтения данных.";

std::vector<std::string> FolderEntries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().u8string());
    return names;
}

TEST(MemStream, WriteGrowsByAThirdAndRawWritersByAThirdPlusTen) {
    TMemStream stream;
    const TBytes bytes(30, 7);
    EXPECT_EQ(stream.Write(bytes.data(), 30), 30);
    EXPECT_EQ(stream.Capacity(), 40);
    EXPECT_EQ(stream.Size(), 30);

    TMemStream raw;
    raw.WriteByte(1);
    EXPECT_EQ(raw.Capacity(), 11);
    raw.WriteBuffer(bytes.data(), 30);  // position 31
    EXPECT_EQ(raw.Capacity(), 31 + 10 + 10);
    uint8_t* place = raw.Reserve(4);
    place[3] = 9;
    EXPECT_EQ(raw.Size(), 35);
    EXPECT_EQ(raw.Memory()[34], 9);
}

TEST(MemStream, SeekPastTheEndThenWriteFillsTheGapWithZeros) {
    TMemStream stream;
    Fill(stream, {1, 2, 3, 4, 5});
    stream.SetSize(2);  // leaves stale bytes in the buffer
    stream.Seek(10, TSeekOrigin::End);
    EXPECT_EQ(stream.Position(), 12);
    const uint8_t b = 0xEE;
    EXPECT_EQ(stream.Write(&b, 1), 1);
    EXPECT_EQ(stream.Size(), 13);
    EXPECT_EQ(Content(stream), (TBytes{1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xEE}));

    stream.Seek(-3, TSeekOrigin::Current);
    EXPECT_EQ(stream.Position(), 10);
    stream.SetSize(4);
    EXPECT_EQ(stream.Position(), 4);  // cut back with the size
    stream.SetSize(6);                // grows with zeros
    EXPECT_EQ(Content(stream), (TBytes{1, 2, 0, 0, 0, 0}));
}

TEST(MemStream, ReadAndWriteRefuseNegativePositionsAndCounts) {
    TMemStream stream;
    Fill(stream, {1, 2, 3});
    uint8_t buffer[8] = {};
    EXPECT_EQ(stream.Read(buffer, -1), 0);
    stream.SetPosition(1);
    EXPECT_EQ(stream.Read(buffer, 8), 2);  // as many as there are
    EXPECT_EQ(buffer[1], 3);
    EXPECT_EQ(stream.Read(buffer, 8), 0);
    EXPECT_TRUE(stream.AtEnd());

    stream.Seek(-5, TSeekOrigin::Beginning);
    EXPECT_EQ(stream.Read(buffer, 1), 0);
    EXPECT_EQ(stream.Write(buffer, 1), 0);
    EXPECT_THROW(stream.WriteByte(1), EStreamException);
    EXPECT_THROW(stream.Reserve(1), EStreamException);
    EXPECT_THROW(stream.SetSize(-1), EStreamException);
    EXPECT_EQ(Content(stream), (TBytes{1, 2, 3}));

    // Positions near 2^31 neither overflow nor allocate: the write is refused.
    stream.SetPosition(INT32_MAX - 2);
    EXPECT_THROW(stream.Write(buffer, 8), EStreamException);
    EXPECT_THROW(stream.WriteBuffer(buffer, 8), EStreamException);
    EXPECT_EQ(stream.Capacity(), 3 + 1 + 10);

    // Seeking wraps around in 32 bits instead of overflowing.
    stream.SetPosition(INT32_MAX);
    EXPECT_EQ(stream.Seek(1, TSeekOrigin::Current), INT32_MIN);
    EXPECT_THROW(stream.ReadByte(), EStreamException);
}

TEST(MemStream, RawReadsRaiseTheOverrunAndStayPut) {
    TMemStream stream;
    Fill(stream, {1, 2, 3});
    uint8_t buffer[4];
    stream.SetPosition(1);
    try {
        stream.ReadBuffer(buffer, 3);
        FAIL();
    } catch (const EStreamException& error) {
        EXPECT_STREQ(error.what(), kMemOverrun);
    }
    EXPECT_EQ(stream.Position(), 1);
    stream.ReadBuffer(buffer, 2);
    EXPECT_THROW(stream.ReadByte(), EStreamException);
    EXPECT_THROW(stream.ReadBuffer(buffer, -1), EStreamException);
    stream.SetPosition(0);
    EXPECT_EQ(stream.ReadByte(), 1);
}

TEST(MemStream, SetCapacityBelowTheSizeCutsTheSize) {
    TMemStream stream;
    Fill(stream, {1, 2, 3, 4, 5, 6});
    stream.SetCapacity(2);
    EXPECT_EQ(stream.Size(), 2);
    uint8_t buffer[6];
    EXPECT_EQ(stream.Read(buffer, 6), 2);  // never past the buffer
    stream.SetCapacity(0);
    EXPECT_EQ(stream.Memory(), nullptr);
    EXPECT_EQ(stream.Size(), 0);
}

TEST(MemStream, WritingItsOwnBytesSurvivesReallocation) {
    TMemStream stream;
    TBytes bytes(64);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
    stream.Write(bytes.data(), 64);
    stream.SetCapacity(64);
    for (int round = 0; round < 3; ++round) stream.WriteBuffer(stream.Memory(), stream.Size());
    ASSERT_EQ(stream.Size(), 512);
    for (int i = 0; i < 512; ++i) ASSERT_EQ(stream.Memory()[i], i % 64);

    stream.SaveToStream(stream);  // appends a copy of itself
    EXPECT_EQ(stream.Size(), 1024);
    EXPECT_EQ(stream.Memory()[1023], 63);
}

TEST(MemStream, LoadAndSaveBetweenStreams) {
    TMemStream source;
    Fill(source, {9, 8, 7});
    source.SetPosition(2);
    TTypedStream target;
    Fill(target, {1, 1, 1, 1, 1});
    target.LoadFromStream(source);
    EXPECT_EQ(Content(target), (TBytes{9, 8, 7}));
    EXPECT_EQ(target.Position(), 0);
    EXPECT_TRUE(source.AtEnd());

    target.SetPosition(1);
    source.SaveToStream(target);  // at the target's position
    EXPECT_EQ(Content(target), (TBytes{9, 9, 8, 7}));
    target.LoadFromStream(target);
    EXPECT_EQ(Content(target), (TBytes{9, 9, 8, 7}));
}

TEST(MemStream, FilesRoundTripUnderNonAsciiNames) {
    TTempFolder folder("stream-files");
    const std::string path = folder.File("пакет ü.bin");
    TMemStream stream;
    TBytes bytes(5000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 31);
    Fill(stream, bytes);
    stream.SaveToFile(path);

    TTypedStream loaded;
    loaded.LoadFromFile(path);
    EXPECT_EQ(Content(loaded), bytes);
    EXPECT_EQ(loaded.Position(), 0);

    // Replacing a longer file leaves exactly the new bytes, and no temporary.
    Fill(stream, {1, 2});
    stream.SaveToFile(path);
    loaded.LoadFromFile(path);
    EXPECT_EQ(Content(loaded), (TBytes{1, 2}));
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"пакет ü.bin"});

    TMemStream empty;
    empty.SaveToFile(path);
    loaded.LoadFromFile(path);
    EXPECT_EQ(loaded.Size(), 0);
}

TEST(MemStream, FileFailuresRaiseAndChangeNothing) {
    TTempFolder folder("stream-failures");
    TMemStream stream;
    Fill(stream, {1, 2, 3});
    EXPECT_THROW(stream.LoadFromFile(folder.File("missing.bin")), EFileError);
    EXPECT_EQ(Content(stream), (TBytes{1, 2, 3}));

    EXPECT_THROW(stream.SaveToFile(folder.File("no folder/x.bin")), EFileError);
    EXPECT_THROW(stream.SaveToFile(folder.Path().u8string()), EFileError);  // a folder is in the way
    EXPECT_TRUE(FolderEntries(folder.Path()).empty());
}

}  // namespace
}  // namespace marlowen
