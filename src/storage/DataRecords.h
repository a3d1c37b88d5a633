#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/NameHash.h"
#include "core/ObjectList.h"
#include "core/Variant.h"
#include "storage/MemStream.h"

namespace marlowen {

class TDataRecords;

// Field type codes as stored; the comment gives the slot in a record's value block.
enum class TFieldType : uint8_t {
    Text = 0,      // 4 bytes: index of the record's string
    Integer = 1,   // 4-byte signed integer
    DateTime = 2,  // 8-byte double
    Double = 3,    // 8-byte double
    Boolean = 4,   // 1 byte, 0 or 1
    Blob = 5,      // 4 bytes: index of the record's blob
    Value8 = 6,    // 8 bytes; the loader reads no value for it
};

// One column: name, type, and where its value and presence bit live in a record's value block.
class TFieldDef {
public:
    TFieldDef(std::string name, TFieldType fieldType) : Name_(std::move(name)), FieldType_(fieldType) {}

    const std::string& Name() const { return Name_; }
    TFieldType FieldType() const { return FieldType_; }
    int32_t ValuePosition() const { return ValuePosition_; }
    int32_t FlagByte() const { return FlagByte_; }
    uint8_t FlagMask() const { return FlagMask_; }
    uint8_t FlagClearMask() const { return static_cast<uint8_t>(~FlagMask_); }
    // Index of the value among a record's strings (text field) or blobs (blob field).
    int32_t ListIndex() const { return ListIndex_; }

private:
    friend class TFieldDefs;

    std::string Name_;
    TFieldType FieldType_;
    int32_t ValuePosition_ = 0;
    int32_t FlagByte_ = 0;
    uint8_t FlagMask_ = 0;
    int32_t ListIndex_ = 0;  // among the text fields, or among the blob fields
};

// The columns of a table, in definition order, with a name index (letter case ignored; of equal
// names the later one is found) and the value-block layout. Changed only through TDataRecords, so
// that no record outlives the layout it was made with.
class TFieldDefs {
public:
    int32_t Count() const { return Items_.Count(); }
    TFieldDef* Items(int32_t index) const { return Items_.Items(index); }
    TFieldDef* operator[](int32_t index) const { return Items_.Items(index); }
    TFieldDef* const* begin() const { return Items_.begin(); }
    TFieldDef* const* end() const { return Items_.end(); }

    TFieldDef* Find(std::string_view name) const { return Hash_.Find(name); }
    // Raises Exception "Неизвестное имя поля '<name>'." for a name the table does not define.
    TFieldDef& Get(std::string_view name) const;

    const TObjectRefList<TFieldDef>& TextFields() const { return TextFields_; }
    const TObjectRefList<TFieldDef>& BlobFields() const { return BlobFields_; }
    // Bytes of one value block: 8-byte slots, 4-byte slots, 1-byte slots, then the presence bits.
    int32_t RecordSize() const { return RecordSize_; }
    // Offset of the first presence-flag byte.
    int32_t FlagsPosition() const { return FlagsPosition_; }
    // Bytes one record laid out with these definitions takes in memory with all its values absent
    // (value block, string and blob objects, bookkeeping): an upper bound on the 32- and the
    // 64-bit build alike, so that whether a table loads does not depend on the build.
    int64_t RecordMemoryCost() const;

private:
    friend class TDataRecords;

    TFieldDef* Add(std::string name, TFieldType fieldType);
    void Clear();
    void Layout();

    TObjectList<TFieldDef> Items_;
    TNameHash<TFieldDef> Hash_;
    TObjectRefList<TFieldDef> TextFields_;
    TObjectRefList<TFieldDef> BlobFields_;
    int32_t RecordSize_ = 0;
    int32_t FlagsPosition_ = 0;
};

// The bytes of one blob value.
class TBlobValue {
public:
    const std::string& Data() const { return Data_; }
    void SetData(std::string data) { Data_ = std::move(data); }
    int32_t Size() const { return static_cast<int32_t>(Data_.size()); }
    // Creates or replaces the file with all the bytes; never leaves a half-written file.
    void SaveToFile(const std::string& path) const;

private:
    std::string Data_;
};

// One row: a zero-filled value block laid out by the owner's definitions, plus the record's
// strings and blobs (one empty blob per blob field from the start). An absent value (presence bit
// clear) reads as the zero value of its slot: 0, false, an empty string or an empty blob.
//
// Getters and setters find the field by name (Exception "Неизвестное имя поля '<name>'.") and
// raise Exception "Несовместимый тип данных." for a field of another type.
class TDataRecord {
public:
    // Raises Exception "TDataRecord.Create не может быть вызван с Owner = nil." without an owner.
    explicit TDataRecord(TDataRecords* owner);
    TDataRecord(const TDataRecord&) = delete;
    TDataRecord& operator=(const TDataRecord&) = delete;

    TDataRecords& Owner() const { return *Owner_; }
    const uint8_t* Values() const { return Values_.get(); }

    bool HasValue(std::string_view name) const;
    // A text field's string or a blob field's bytes.
    std::string GetText(std::string_view name) const;
    const TBlobValue& GetBlob(std::string_view name) const;
    void SaveBlobToFile(std::string_view name, const std::string& path) const;
    int32_t GetInteger(std::string_view name) const;
    TDateTime GetDateTime(std::string_view name) const;
    double GetDouble(std::string_view name) const;
    bool GetBoolean(std::string_view name) const;
    int64_t GetValue8(std::string_view name) const;

    // Each setter stores the value and sets the presence bit.
    void SetText(std::string_view name, std::string text);
    void SetBlob(std::string_view name, std::string bytes);
    void SetInteger(std::string_view name, int32_t value);
    void SetDateTime(std::string_view name, TDateTime value);
    void SetDouble(std::string_view name, double value);
    void SetBoolean(std::string_view name, bool value);
    void SetValue8(std::string_view name, int64_t value);
    // Clears the presence bit and resets the value to the slot's zero.
    void ClearValue(std::string_view name);

private:
    friend class TDataRecords;
    friend void WriteTable(const TDataRecords& table, TCustomMemStream& stream);

    const TFieldDef& Field(std::string_view name, TFieldType fieldType) const;
    bool Present(const TFieldDef& field) const { return (Values_[field.FlagByte()] & field.FlagMask()) != 0; }
    void MarkPresent(const TFieldDef& field) { Values_[field.FlagByte()] |= field.FlagMask(); }
    uint64_t Slot(const TFieldDef& field, int width) const;
    double DoubleSlot(const TFieldDef& field) const;
    void SetSlot(const TFieldDef& field, uint64_t value, int width);
    // Reads the presence bits, then each present value, as the table stores them. Returns the
    // least number of bytes any encoding of what it read takes: the presence bytes, a tag per
    // present value (none for Value8) and the bytes of each text and blob.
    int64_t Load(TCustomMemStream& stream);

    TDataRecords* Owner_;
    std::unique_ptr<uint8_t[]> Values_;
    std::vector<std::string> Texts_;
    TObjectList<TBlobValue> Blobs_;
};

// A small typed table: field definitions and the records laid out with them.
class TDataRecords {
public:
    TDataRecords() = default;
    TDataRecords(const TDataRecords&) = delete;
    TDataRecords& operator=(const TDataRecords&) = delete;

    const TFieldDefs& FieldDefs() const { return FieldDefs_; }
    // Adds a column. Raises Exception while the table has records (their layout would no longer
    // fit) and for an empty name.
    TFieldDef& AddFieldDef(std::string name, TFieldType fieldType);

    int32_t Count() const { return Records_.Count(); }
    TDataRecord* Items(int32_t index) const { return Records_.Items(index); }
    TDataRecord* operator[](int32_t index) const { return Records_.Items(index); }
    TDataRecord* const* begin() const { return Records_.begin(); }
    TDataRecord* const* end() const { return Records_.end(); }

    // Appends an empty record.
    TDataRecord& Add();
    void ClearRecords() { Records_.Clear(); }
    // Records, then definitions.
    void Clear();

    // Replaces definitions and records with a table read at the stream's position: field count,
    // (name, type code) per field, record count, then per record its presence bytes (raw) and
    // each present value as a typed value. Malformed input raises EStreamException (a type code
    // outside 0..6, records in a table without fields, or a record beyond what the stream may
    // make, as UnexpectedDataType); the records read so far then stay, always with the
    // definitions they were laid out with.
    //
    // The records of one load may cost (RecordMemoryCost each) at most kLoadAllowance plus
    // kLoadCostPerInputByte per byte that they take at the least (presence bytes, a tag per
    // present value, the bytes of texts and blobs, whatever their encoding); the record that
    // would pass that is refused before it is made, counting it at its presence bytes. A record
    // stored with values pays its way (an update action with a one-letter file name costs 469 and
    // takes 5 at the least), while one of absent values takes only its presence bits: without the
    // limit a few megabytes would ask for gigabytes.
    void LoadFromStream(TCustomMemStream& stream);

    static constexpr int64_t kLoadCostPerInputByte = 128;
    static constexpr int64_t kLoadAllowance = 64 * 1024;

private:
    TFieldDefs FieldDefs_;
    TObjectList<TDataRecord> Records_;  // declared last: released before the definitions
};

}  // namespace marlowen
