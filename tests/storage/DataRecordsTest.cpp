#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "StreamTestSupport.h"
#include "storage/DataRecords.h"
#include "storage/FileIo.h"
#include "storage/TableWriter.h"
#include "storage/TypedStream.h"

namespace marlowen {
namespace {

const char kIncompatible[] = "Несовместимый тип данных.";

// Appends typed-stream bytes: numbers as single bytes, texts as their characters.
struct TByteBuilder {
    TBytes Bytes;
    TByteBuilder& operator()(std::initializer_list<int> values) {
        for (int v : values) Bytes.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    TByteBuilder& Text(const std::string& text) {  // tag 6
        Bytes.push_back(6);
        Bytes.push_back(static_cast<uint8_t>(text.size()));
        Bytes.insert(Bytes.end(), text.begin(), text.end());
        return *this;
    }
};

void DefineActionFields(TDataRecords& table) {
    table.AddFieldDef("UpdateAction", TFieldType::Text);
    table.AddFieldDef("Count", TFieldType::Integer);
    table.AddFieldDef("When", TFieldType::DateTime);
    table.AddFieldDef("Ratio", TFieldType::Double);
    table.AddFieldDef("Done", TFieldType::Boolean);
    table.AddFieldDef("Body", TFieldType::Blob);
    table.AddFieldDef("Raw", TFieldType::Value8);
}

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& error) {
        return error.what();
    }
    return "";
}

TEST(DataRecords, LayoutPutsWideSlotsFirstThenFlags) {
    TDataRecords table;
    DefineActionFields(table);
    const TFieldDefs& fields = table.FieldDefs();
    const std::pair<const char*, int32_t> positions[] = {{"When", 0},          {"Ratio", 8}, {"Raw", 16},
                                                         {"UpdateAction", 24}, {"Count", 28}, {"Body", 32},
                                                         {"Done", 36}};
    for (const auto& [name, position] : positions) EXPECT_EQ(fields.Get(name).ValuePosition(), position) << name;
    EXPECT_EQ(fields.FlagsPosition(), 37);
    EXPECT_EQ(fields.RecordSize(), 38);
    EXPECT_EQ(fields.Get("Done").FlagMask(), 16);
    EXPECT_EQ(fields.Get("Done").FlagClearMask(), 0xEF);
    EXPECT_EQ(fields.TextFields().Count(), 1);
    EXPECT_EQ(fields.BlobFields().Count(), 1);

    TDataRecords eight, nine;
    for (int i = 0; i < 9; ++i) {
        if (i < 8) eight.AddFieldDef("B" + std::to_string(i), TFieldType::Boolean);
        nine.AddFieldDef("B" + std::to_string(i), TFieldType::Boolean);
    }
    EXPECT_EQ(eight.FieldDefs().RecordSize(), 8 + 1);
    EXPECT_EQ(eight.FieldDefs().Get("B7").FlagMask(), 128);
    EXPECT_EQ(nine.FieldDefs().RecordSize(), 9 + 2);
    EXPECT_EQ(nine.FieldDefs().Get("B8").FlagByte(), 10);
    EXPECT_EQ(nine.FieldDefs().Get("B8").FlagMask(), 1);
    EXPECT_EQ(TDataRecords().FieldDefs().RecordSize(), 0);
}

TEST(DataRecords, WriterProducesTheExactLayoutAndLoaderReadsItBack) {
    TDataRecords table;
    DefineActionFields(table);
    TDataRecord& first = table.Add();
    first.SetText("UpdateAction", "U");
    first.SetInteger("Count", 300);
    first.SetBoolean("Done", true);
    first.SetBlob("Body", std::string("\0\1", 2));
    table.Add();
    TDataRecord& third = table.Add();
    third.SetDateTime("When", TDateTime{2.25});
    third.SetDouble("Ratio", 1.5);
    third.SetValue8("Raw", 77);

    TTypedStream stream;
    WriteTable(table, stream);
    TByteBuilder expected;
    expected({1, 7}).Text("UpdateAction")({0}).Text("Count")({1, 1}).Text("When")({1, 2}).Text("Ratio")({1, 3});
    expected.Text("Done")({1, 4}).Text("Body")({1, 5}).Text("Raw")({1, 6});
    expected({1, 3});
    expected({0x33}).Text("U")({2, 44, 1})({9})({6, 2, 0, 1});
    expected({0x00});
    expected({0x4C})({12, 0, 0, 0, 0, 0, 0, 2, 0x40})({11, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F});  // Raw: bit only
    EXPECT_EQ(Content(stream), expected.Bytes);

    TDataRecords loaded;
    stream.SetPosition(0);
    loaded.LoadFromStream(stream);
    EXPECT_TRUE(stream.AtEnd());
    ASSERT_EQ(loaded.Count(), 3);
    EXPECT_EQ(loaded[0]->GetText("UPDATEACTION"), "U");  // names ignore letter case
    EXPECT_EQ(loaded[0]->GetInteger("count"), 300);
    EXPECT_TRUE(loaded[0]->GetBoolean("Done"));
    EXPECT_EQ(loaded[0]->GetBlob("Body").Data(), std::string("\0\1", 2));
    EXPECT_EQ(loaded[0]->GetText("Body"), std::string("\0\1", 2));
    EXPECT_FALSE(loaded[0]->HasValue("When"));
    EXPECT_EQ(loaded[2]->GetDateTime("When"), TDateTime{2.25});
    EXPECT_EQ(loaded[2]->GetDouble("Ratio"), 1.5);
    EXPECT_TRUE(loaded[2]->HasValue("Raw"));
    EXPECT_EQ(loaded[2]->GetValue8("Raw"), 0);  // 8-byte values are not stored

    // Absent values read as the zero of their slot.
    const TDataRecord& empty = *loaded[1];
    EXPECT_EQ(empty.GetText("UpdateAction"), "");
    EXPECT_EQ(empty.GetBlob("Body").Size(), 0);
    EXPECT_EQ(empty.GetInteger("Count"), 0);
    EXPECT_FALSE(empty.GetBoolean("Done"));

    // Writing the loaded table again gives the same bytes.
    TTypedStream again;
    WriteTable(loaded, again);
    EXPECT_EQ(Content(again), Content(stream));
}

TEST(DataRecords, ZeroRecordsAndClearedValues) {
    TTypedStream stream;
    stream.WriteInteger(1);
    stream.WriteString("FileName");
    stream.WriteInteger(0);
    stream.WriteInteger(0);
    stream.WriteString("after");
    stream.SetPosition(0);
    TDataRecords table;
    table.LoadFromStream(stream);
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.FieldDefs().Count(), 1);
    EXPECT_EQ(stream.ReadString(), "after");

    TDataRecord& record = table.Add();
    record.SetText("FileName", "a.txt");
    record.ClearValue("FileName");
    EXPECT_FALSE(record.HasValue("FileName"));
    EXPECT_EQ(record.GetText("FileName"), "");
}

TEST(DataRecords, ErrorsCarryTheirMessages) {
    TDataRecords table;
    DefineActionFields(table);
    TDataRecord& record = table.Add();
    EXPECT_EQ(ErrorOf([&] { record.GetText("Path"); }), "Неизвестное имя поля 'Path'.");
    EXPECT_EQ(ErrorOf([&] { record.GetText("Count"); }), kIncompatible);
    EXPECT_EQ(ErrorOf([&] { record.GetBlob("UpdateAction"); }), kIncompatible);
    EXPECT_EQ(ErrorOf([&] { record.SetInteger("Done", 1); }), kIncompatible);
    EXPECT_EQ(ErrorOf([&] { record.SetText("Body", "x"); }), kIncompatible);
    EXPECT_EQ(ErrorOf([] { TDataRecord orphan(nullptr); }), "TDataRecord.Create не может быть вызван с Owner = nil.");
    EXPECT_NE(ErrorOf([&] { table.AddFieldDef("Late", TFieldType::Text); }), "");
    EXPECT_EQ(table.FieldDefs().Count(), 7);

    TDataRecords noFields;
    noFields.Add();
    TTypedStream stream;
    EXPECT_NE(ErrorOf([&] { WriteTable(noFields, stream); }), "");
}

TEST(DataRecords, HostileTablesFailCleanly) {
    const char kUnexpected[] = "TTypedStream: Unexpected data type.";
    const char kOverrun[] = "Выход за пределы потока TTypedStream при попытке чтения данных.";
    const auto load = [](const TBytes& bytes, TDataRecords& table) {
        TTypedStream stream;
        Fill(stream, bytes);
        return ErrorOf([&] { table.LoadFromStream(stream); });
    };
    TDataRecords table;
    // A huge field count with nothing behind it.
    EXPECT_EQ(load(TByteBuilder()({4, 255, 255, 255, 127}).Bytes, table), kOverrun);
    // A type code outside 0..6.
    EXPECT_EQ(load(TByteBuilder()({1, 1}).Text("A")({1, 7}).Bytes, table), kUnexpected);
    EXPECT_EQ(table.FieldDefs().Count(), 0);
    // Records in a table without fields.
    EXPECT_EQ(load(TByteBuilder()({0, 4, 255, 255, 255, 127}).Bytes, table), kUnexpected);
    // A huge record count: the records read so far stay, each with the current layout.
    EXPECT_EQ(load(TByteBuilder()({1, 1}).Text("Name")({0, 4, 255, 255, 255, 127, 1}).Text("a")({0, 1}).Bytes, table),
              kOverrun);
    ASSERT_EQ(table.Count(), 3);
    EXPECT_EQ(table[0]->GetText("Name"), "a");
    EXPECT_EQ(table[1]->GetText("Name"), "");
    // A value that does not match its field's type.
    EXPECT_EQ(load(TByteBuilder()({1, 1}).Text("N")({1, 1})({1, 1, 1})({9}).Bytes, table), kUnexpected);
    // A loaded table replaces the old one whole.
    EXPECT_EQ(table.FieldDefs().Count(), 1);
    EXPECT_EQ(table.Count(), 1);
    EXPECT_EQ(table.FieldDefs().Find("Name"), nullptr);
}

// A record whose values are all absent is stored as its presence bits alone, yet takes its whole
// layout in memory: the bytes of the records must pay for every record the loader makes.
TEST(DataRecords, RecordsAreMadeOnlyAsFarAsTheirBytesPayForThem) {
    const char kUnexpected[] = "TTypedStream: Unexpected data type.";
    TDataRecords blobs;
    for (int i = 0; i < 8; ++i) blobs.AddFieldDef("B" + std::to_string(i), TFieldType::Blob);
    const int64_t cost = blobs.FieldDefs().RecordMemoryCost();
    // Eight blob fields, a record count, then `stored` zero bytes: records of one presence byte.
    const auto load = [](TDataRecords& table, int32_t claimed, int32_t stored, int32_t& left) {
        TTypedStream stream;
        stream.WriteInteger(8);
        for (int i = 0; i < 8; ++i) {
            stream.WriteString("B" + std::to_string(i));
            stream.WriteInteger(static_cast<int32_t>(TFieldType::Blob));
        }
        stream.WriteInteger(claimed);
        const std::vector<uint8_t> zeros(static_cast<size_t>(stored), 0);
        stream.WriteBuffer(zeros.data(), stored);
        stream.SetPosition(0);
        const std::string error = ErrorOf([&] { table.LoadFromStream(stream); });
        left = stream.Size() - stream.Position();
        return error;
    };
    // n records of one byte each are paid for while n * cost <= allowance + n * perByte.
    const auto most = static_cast<int32_t>(TDataRecords::kLoadAllowance / (cost - TDataRecords::kLoadCostPerInputByte));
    TDataRecords table;
    int32_t left = 0;
    EXPECT_EQ(load(table, most, most, left), "");
    EXPECT_EQ(table.Count(), most);
    EXPECT_EQ(left, 0);

    EXPECT_EQ(load(table, most + 1, most + 1, left), kUnexpected);
    EXPECT_EQ(table.Count(), most);  // the refused record was never made
    EXPECT_EQ(left, 1);

    // A huge count over 64 KiB of empty records: the bytes that follow the records made so far do
    // not pay for them, and what was made writes and loads back whole.
    EXPECT_EQ(load(table, 0x7FFFFFFF, 64 * 1024, left), kUnexpected);
    EXPECT_EQ(table.Count(), most);
    EXPECT_EQ(left, 64 * 1024 - most);
    TTypedStream copy;
    WriteTable(table, copy);
    copy.SetPosition(0);
    TDataRecords again;
    again.LoadFromStream(copy);
    EXPECT_EQ(again.Count(), most);

    // The densest table the product writes loads whole: delete actions with one-letter names.
    TDataRecords actions;
    for (const char* name : {"Action", "FileName", "Path", "Link"}) actions.AddFieldDef(name, TFieldType::Text);
    actions.AddFieldDef("Body", TFieldType::Blob);
    for (int i = 0; i < 20000; ++i) {
        actions.Add().SetText("Action", "D");
        actions[i]->SetText("FileName", "f");
    }
    TTypedStream stream;
    WriteTable(actions, stream);
    stream.SetPosition(0);
    TDataRecords loaded;
    loaded.LoadFromStream(stream);
    EXPECT_EQ(loaded.Count(), 20000);
    EXPECT_EQ(loaded[19999]->GetText("Action"), "D");
}

TEST(DataRecords, BlobsSaveAllTheirBytes) {
    TTempFolder folder("data-records");
    TDataRecords table;
    table.AddFieldDef("Body", TFieldType::Blob);
    TDataRecord& record = table.Add();
    std::string body(70000, '\0');
    for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i % 251);
    record.SetBlob("Body", body);
    const std::string path = folder.File("файл.bin");
    record.SaveBlobToFile("body", path);
    std::ifstream file(FilePath(path), std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, body);

    EXPECT_THROW(record.SaveBlobToFile("Body", folder.File("missing/x.bin")), EFileError);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), std::filesystem::directory_iterator()), 1);
}

}  // namespace
}  // namespace marlowen
