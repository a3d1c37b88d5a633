#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/UpdatePackage.h"
#include "storage/CompressAlgorithm.h"
#include "storage/CompressedBlock.h"
#include "storage/LZRBCompress.h"
#include "storage/SealedStream.h"
#include "storage/StreamException.h"
#include "storage/TableWriter.h"
#include "storage/TypedStream.h"

namespace marlowen {
namespace {

std::vector<uint8_t> Seal(const std::vector<uint8_t>& content, const std::string& key) {
    TTypedStream stream;
    if (!content.empty()) stream.WriteBuffer(content.data(), static_cast<int32_t>(content.size()));
    SealStream(stream, key);
    return std::vector<uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

std::string MessageOf(const std::vector<uint8_t>& bytes, const std::string& key) {
    TUpdatePackageHeader header;
    TDataRecords actions;
    try {
        ReadUpdatePackage(bytes, key, header, actions);
    } catch (const Exception& error) {
        return error.Message();
    }
    return "no error";
}

TEST(UpdatePackageTest, RoundTripKeepsHeaderActionsAndBinaryBodies) {
    TUpdatePackageHeader header{"C:\\Program Files\\Марлоу", "C:\\Links", 0xFFFFFFF0u};  // above 2^31
    TDataRecords written;
    AddUpdateActionFields(written);
    const std::string binary("\0\xff\x01[eng]x", 9);
    AddUpdateAction(written, "U", "MarlowenApp.exe", "", "Marlowen", binary);
    AddUpdateAction(written, "D", "old file.dll", "bin\\sub", "");
    AddUpdateAction(written, "Update", "", "docs", "Docs");

    const std::vector<uint8_t> bytes = WriteUpdatePackage(header, written, "key", "a comment");
    EXPECT_EQ(bytes, WriteUpdatePackage(header, written, "key", "a comment")) << "output is deterministic";

    TUpdatePackageHeader read;
    TDataRecords actions;
    ReadUpdatePackage(bytes, "key", read, actions);
    EXPECT_EQ(read.FilesFolder, header.FilesFolder);
    EXPECT_EQ(read.LinksFolder, "C:\\Links");
    EXPECT_EQ(read.UpdateLevel, 0xFFFFFFF0u);
    ASSERT_EQ(actions.Count(), 3);
    EXPECT_EQ(actions[0]->GetText("UpdateAction"), "U");
    EXPECT_EQ(actions[0]->GetText("Link"), "Marlowen");
    EXPECT_EQ(actions[0]->GetBlob("Body").Data(), binary);
    EXPECT_EQ(actions[1]->GetText("FileName"), "old file.dll");
    EXPECT_EQ(actions[1]->GetText("Path"), "bin\\sub");
    EXPECT_EQ(actions[1]->GetText("Link"), "") << "an absent value reads as empty";
    EXPECT_EQ(actions[2]->GetText("UpdateAction"), "Update");
    EXPECT_EQ(actions[2]->GetBlob("Body").Size(), 0);
}

// Packages of other writers may put any value in the free slot and any texts after it.
TEST(UpdatePackageTest, ReadsPackagesWithOtherDescriptiveValues) {
    TTypedStream content;
    content.WriteString("C:\\Files");
    content.WriteString("C:\\Links");
    content.WriteDateTime(TDateTime{45000.5});
    content.WriteString("Marlowen");
    content.WriteString("");
    content.WriteString("whatever");
    content.WriteInteger(12);
    TDataRecords table;
    table.AddFieldDef("UpdateAction", TFieldType::Text);
    table.Add().SetText("UpdateAction", "D");
    WriteTable(table, content);
    const std::vector<uint8_t> packed = CompressBlock(LZRBCompress(), content.Memory(), content.Size());

    TUpdatePackageHeader header;
    TDataRecords actions;
    ReadUpdatePackage(Seal(packed, "k"), "k", header, actions);
    EXPECT_EQ(header.FilesFolder, "C:\\Files");
    EXPECT_EQ(header.UpdateLevel, 12u);
    ASSERT_EQ(actions.Count(), 1);
    EXPECT_EQ(actions.FieldDefs().Count(), 1);
}

TEST(UpdatePackageTest, HostileBytesRaiseTheStorageErrors) {
    TDataRecords table;
    AddUpdateActionFields(table);
    const std::vector<uint8_t> good = WriteUpdatePackage({"a", "b", 2}, table, "key");
    EXPECT_EQ(MessageOf(good, "other"), "Данные повреждены или испорчены.");
    EXPECT_EQ(MessageOf({}, "key"), "Данные повреждены или испорчены.");
    std::vector<uint8_t> flipped = good;
    flipped[flipped.size() / 2] ^= 0x20;
    EXPECT_EQ(MessageOf(flipped, "key"), "Данные повреждены или испорчены.");

    // Sealed correctly, but the content is not what a package holds.
    EXPECT_EQ(MessageOf(Seal({}, "key"), "key"), EStreamException::ReadOverrun("TTypedStream").Message())
        << "empty content stays empty and has no header";
    EXPECT_EQ(MessageOf(Seal({1, 2}, "key"), "key"), ECompressException().Message());
    EXPECT_EQ(MessageOf(Seal({0xFF, 0xFF, 0xFF, 0x7F, 0x01}, "key"), "key"), ECompressException().Message())
        << "a huge announced size is refused before allocation";
    const std::vector<uint8_t> header = CompressBlock(TCompressMethod::LZRB, std::vector<uint8_t>{5, 5, 5});
    EXPECT_EQ(MessageOf(Seal(header, "key"), "key"), EStreamException::ReadOverrun("TTypedStream").Message())
        << "cut short after the folders";
}

}  // namespace
}  // namespace marlowen
