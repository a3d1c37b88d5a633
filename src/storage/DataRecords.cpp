#include "storage/DataRecords.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "storage/FileIo.h"

namespace marlowen {

namespace {

constexpr int32_t kLastFieldType = static_cast<int32_t>(TFieldType::Value8);

[[noreturn]] void RaiseIncompatibleType() { throw Exception("Несовместимый тип данных."); }

uint64_t BitsOfDouble(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double DoubleFromBits(uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Bytes left from the position to the end (0 when the position lies outside).
int32_t Remaining(const TCustomMemStream& stream) {
    const int32_t position = stream.Position();
    return position < 0 || position > stream.Size() ? 0 : stream.Size() - position;
}

}  // namespace

// --- TFieldDefs ---

TFieldDef& TFieldDefs::Get(std::string_view name) const {
    TFieldDef* field = Hash_.Find(name);
    if (field == nullptr) throw Exception("Неизвестное имя поля '" + std::string(name) + "'.");
    return *field;
}

TFieldDef* TFieldDefs::Add(std::string name, TFieldType fieldType) {
    auto field = std::make_unique<TFieldDef>(std::move(name), fieldType);
    Hash_.Add(field->Name(), field.get());  // raises for an empty name before anything is kept
    return Items_.Add(std::move(field));
}

void TFieldDefs::Clear() {
    Hash_.Clear();
    TextFields_.Clear();
    BlobFields_.Clear();
    Items_.Clear();
    RecordSize_ = 0;
    FlagsPosition_ = 0;
}

void TFieldDefs::Layout() {
    int64_t position = 0;
    for (TFieldDef* field : Items_) {
        const TFieldType type = field->FieldType();
        if (type == TFieldType::DateTime || type == TFieldType::Double || type == TFieldType::Value8) {
            field->ValuePosition_ = static_cast<int32_t>(position);
            position += 8;
        }
    }
    for (TFieldDef* field : Items_) {
        const TFieldType type = field->FieldType();
        if (type == TFieldType::Text || type == TFieldType::Integer || type == TFieldType::Blob) {
            field->ValuePosition_ = static_cast<int32_t>(position);
            position += 4;
        }
    }
    for (TFieldDef* field : Items_) {
        if (field->FieldType() == TFieldType::Boolean) {
            field->ValuePosition_ = static_cast<int32_t>(position);
            position += 1;
        }
    }
    // Only reachable with a definition list of gigabytes, but the positions are 32-bit.
    if (position + (int64_t{Items_.Count()} + 7) / 8 > std::numeric_limits<int32_t>::max()) {
        throw Exception("Слишком большая запись таблицы.");
    }
    FlagsPosition_ = static_cast<int32_t>(position);
    int32_t flagByte = FlagsPosition_;
    uint8_t mask = 1;
    for (TFieldDef* field : Items_) {
        field->FlagByte_ = flagByte;
        field->FlagMask_ = mask;
        if (mask == 128) {
            ++flagByte;
            mask = 1;
        } else {
            mask = static_cast<uint8_t>(mask << 1);
        }
    }
    RecordSize_ = flagByte + (mask > 1 ? 1 : 0);

    TextFields_.Clear();
    BlobFields_.Clear();
    for (TFieldDef* field : Items_) {
        if (field->FieldType() == TFieldType::Text) {
            field->ListIndex_ = TextFields_.Count();
            TextFields_.Add(field);
        } else if (field->FieldType() == TFieldType::Blob) {
            field->ListIndex_ = BlobFields_.Count();
            BlobFields_.Add(field);
        }
    }
    TextFields_.SetCapacity(TextFields_.Count());
    BlobFields_.SetCapacity(BlobFields_.Count());
}

int64_t TFieldDefs::RecordMemoryCost() const {
    // x86-64 takes the most: the record object (96 bytes with its heap block), its blob list's
    // first ten slots (96), the value block's and the string vector's heap blocks, the record's
    // slot in its table; a string object is 32 bytes, a blob 48 with its heap block plus a slot.
    constexpr int64_t kRecordOverhead = 256;
    constexpr int64_t kTextFieldCost = 32;
    constexpr int64_t kBlobFieldCost = 64;
    return kRecordOverhead + RecordSize_ + kTextFieldCost * TextFields_.Count() + kBlobFieldCost * BlobFields_.Count();
}

// --- TBlobValue ---

void TBlobValue::SaveToFile(const std::string& path) const {
    SaveFileReplacing(path, Data_.data(), Data_.size());
}

// --- TDataRecord ---

TDataRecord::TDataRecord(TDataRecords* owner) : Owner_(owner) {
    if (owner == nullptr) throw Exception("TDataRecord.Create не может быть вызван с Owner = nil.");
    const TFieldDefs& fields = owner->FieldDefs();
    Values_.reset(new uint8_t[static_cast<size_t>(fields.RecordSize())]());
    Texts_.resize(static_cast<size_t>(fields.TextFields().Count()));
    for (TFieldDef* field : fields.TextFields()) SetSlot(*field, static_cast<uint32_t>(field->ListIndex()), 4);
    for (TFieldDef* field : fields.BlobFields()) {
        Blobs_.Add(std::make_unique<TBlobValue>());
        SetSlot(*field, static_cast<uint32_t>(field->ListIndex()), 4);
    }
}

uint64_t TDataRecord::Slot(const TFieldDef& field, int width) const {
    uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = (value << 8) | Values_[field.ValuePosition() + i];
    return value;
}

void TDataRecord::SetSlot(const TFieldDef& field, uint64_t value, int width) {
    for (int i = 0; i < width; ++i) Values_[field.ValuePosition() + i] = static_cast<uint8_t>(value >> (8 * i));
}

double TDataRecord::DoubleSlot(const TFieldDef& field) const {
    return DoubleFromBits(Slot(field, 8));
}

const TFieldDef& TDataRecord::Field(std::string_view name, TFieldType fieldType) const {
    const TFieldDef& field = Owner_->FieldDefs().Get(name);
    if (field.FieldType() != fieldType) RaiseIncompatibleType();
    return field;
}

bool TDataRecord::HasValue(std::string_view name) const {
    return Present(Owner_->FieldDefs().Get(name));
}

std::string TDataRecord::GetText(std::string_view name) const {
    const TFieldDef& field = Owner_->FieldDefs().Get(name);
    if (field.FieldType() == TFieldType::Text) return Texts_[field.ListIndex()];
    if (field.FieldType() == TFieldType::Blob) return Blobs_[field.ListIndex()]->Data();
    RaiseIncompatibleType();
}

const TBlobValue& TDataRecord::GetBlob(std::string_view name) const {
    return *Blobs_[Field(name, TFieldType::Blob).ListIndex()];
}

void TDataRecord::SaveBlobToFile(std::string_view name, const std::string& path) const {
    GetBlob(name).SaveToFile(path);
}

int32_t TDataRecord::GetInteger(std::string_view name) const {
    return static_cast<int32_t>(static_cast<uint32_t>(Slot(Field(name, TFieldType::Integer), 4)));
}

TDateTime TDataRecord::GetDateTime(std::string_view name) const {
    return TDateTime{DoubleSlot(Field(name, TFieldType::DateTime))};
}

double TDataRecord::GetDouble(std::string_view name) const {
    return DoubleSlot(Field(name, TFieldType::Double));
}

bool TDataRecord::GetBoolean(std::string_view name) const {
    return Slot(Field(name, TFieldType::Boolean), 1) != 0;
}

int64_t TDataRecord::GetValue8(std::string_view name) const {
    return static_cast<int64_t>(Slot(Field(name, TFieldType::Value8), 8));
}

void TDataRecord::SetText(std::string_view name, std::string text) {
    const TFieldDef& field = Field(name, TFieldType::Text);
    Texts_[field.ListIndex()] = std::move(text);
    MarkPresent(field);
}

void TDataRecord::SetBlob(std::string_view name, std::string bytes) {
    const TFieldDef& field = Field(name, TFieldType::Blob);
    Blobs_[field.ListIndex()]->SetData(std::move(bytes));
    MarkPresent(field);
}

void TDataRecord::SetInteger(std::string_view name, int32_t value) {
    const TFieldDef& field = Field(name, TFieldType::Integer);
    SetSlot(field, static_cast<uint32_t>(value), 4);
    MarkPresent(field);
}

void TDataRecord::SetDateTime(std::string_view name, TDateTime value) {
    const TFieldDef& field = Field(name, TFieldType::DateTime);
    SetSlot(field, BitsOfDouble(value.Days), 8);
    MarkPresent(field);
}

void TDataRecord::SetDouble(std::string_view name, double value) {
    const TFieldDef& field = Field(name, TFieldType::Double);
    SetSlot(field, BitsOfDouble(value), 8);
    MarkPresent(field);
}

void TDataRecord::SetBoolean(std::string_view name, bool value) {
    const TFieldDef& field = Field(name, TFieldType::Boolean);
    SetSlot(field, value ? 1 : 0, 1);
    MarkPresent(field);
}

void TDataRecord::SetValue8(std::string_view name, int64_t value) {
    const TFieldDef& field = Field(name, TFieldType::Value8);
    SetSlot(field, static_cast<uint64_t>(value), 8);
    MarkPresent(field);
}

void TDataRecord::ClearValue(std::string_view name) {
    const TFieldDef& field = Owner_->FieldDefs().Get(name);
    Values_[field.FlagByte()] &= field.FlagClearMask();
    switch (field.FieldType()) {
        case TFieldType::Text: Texts_[field.ListIndex()].clear(); break;
        case TFieldType::Blob: Blobs_[field.ListIndex()]->SetData(std::string()); break;
        case TFieldType::Integer: SetSlot(field, 0, 4); break;
        case TFieldType::Boolean: SetSlot(field, 0, 1); break;
        case TFieldType::DateTime:
        case TFieldType::Double:
        case TFieldType::Value8: SetSlot(field, 0, 8); break;
    }
}

int64_t TDataRecord::Load(TCustomMemStream& stream) {
    const TFieldDefs& fields = Owner_->FieldDefs();
    int64_t least = fields.RecordSize() - fields.FlagsPosition();
    stream.ReadBuffer(Values_.get() + fields.FlagsPosition(), static_cast<int32_t>(least));
    for (const TFieldDef* field : fields) {
        if (!Present(*field)) continue;
        if (field->FieldType() != TFieldType::Value8) least += 1;  // the value's tag
        switch (field->FieldType()) {
            case TFieldType::Text:
                Texts_[field->ListIndex()] = stream.ReadString();
                least += static_cast<int64_t>(Texts_[field->ListIndex()].size());
                break;
            case TFieldType::Integer: SetSlot(*field, static_cast<uint32_t>(stream.ReadInteger()), 4); break;
            case TFieldType::DateTime: SetSlot(*field, BitsOfDouble(stream.ReadDateTime().Days), 8); break;
            case TFieldType::Double: SetSlot(*field, BitsOfDouble(stream.ReadDouble()), 8); break;
            case TFieldType::Boolean: SetSlot(*field, stream.ReadBoolean() ? 1 : 0, 1); break;
            case TFieldType::Blob:
                Blobs_[field->ListIndex()]->SetData(stream.ReadString());
                least += Blobs_[field->ListIndex()]->Size();
                break;
            case TFieldType::Value8: break;  // stored without a value
        }
    }
    return least;
}

// --- TDataRecords ---

TFieldDef& TDataRecords::AddFieldDef(std::string name, TFieldType fieldType) {
    if (Records_.Count() > 0) throw Exception("Нельзя изменить поля таблицы, в которой есть записи.");
    TFieldDef* field = FieldDefs_.Add(std::move(name), fieldType);
    FieldDefs_.Layout();
    return *field;
}

TDataRecord& TDataRecords::Add() {
    return *Records_.Add(std::make_unique<TDataRecord>(this));
}

void TDataRecords::Clear() {
    Records_.Clear();
    FieldDefs_.Clear();
}

void TDataRecords::LoadFromStream(TCustomMemStream& stream) {
    // Records go first: none may outlive the definitions it was laid out with.
    Clear();
    const int32_t fieldCount = stream.ReadInteger();
    // Every definition takes at least two bytes, so a hostile count cannot reserve more than that.
    FieldDefs_.Items_.SetCapacity(std::min(fieldCount, Remaining(stream) / 2));
    try {
        for (int32_t i = 0; i < fieldCount; ++i) {
            std::string name = stream.ReadString();
            const int32_t codePosition = stream.Position();
            const int32_t code = stream.ReadInteger();
            if (code < 0 || code > kLastFieldType) {
                stream.SetPosition(codePosition);  // a failed read stays at the value's start
                throw EStreamException::UnexpectedDataType(stream.ClassName());
            }
            FieldDefs_.Add(std::move(name), static_cast<TFieldType>(code));
        }
    } catch (...) {
        FieldDefs_.Layout();  // the definitions read so far stay usable
        throw;
    }
    FieldDefs_.Layout();

    const int32_t recordCount = stream.ReadInteger();
    if (recordCount <= 0) return;
    // Records of a table without fields take no bytes: a hostile count would only exhaust memory.
    if (FieldDefs_.Count() == 0) throw EStreamException::UnexpectedDataType(stream.ClassName());
    // Records of absent values are stored as their presence bits alone, yet each takes its whole
    // layout in memory: a record is made only when the records so far, with it, are paid for.
    // What pays is the least any encoding of the records read takes, never the bytes that merely
    // follow, so that a loaded table written again loads again. In 64-bit arithmetic nothing
    // overflows: `made` stays below the allowance plus 2^7 per input byte, plus one record.
    const int64_t cost = FieldDefs_.RecordMemoryCost();
    const int32_t flagBytes = FieldDefs_.RecordSize() - FieldDefs_.FlagsPosition();
    const int32_t remaining = Remaining(stream);
    const int64_t affordable = (kLoadAllowance + kLoadCostPerInputByte * remaining) / cost;
    Records_.SetCapacity(static_cast<int32_t>(std::min<int64_t>({recordCount, affordable, remaining / flagBytes})));
    int64_t made = 0;
    int64_t paid = 0;
    for (int32_t i = 0; i < recordCount; ++i) {
        // The stream stays at the refused record; the records before it stay, as for any fault.
        if (made + cost > kLoadAllowance + kLoadCostPerInputByte * (paid + flagBytes)) {
            throw EStreamException::UnexpectedDataType(stream.ClassName());
        }
        made += cost;
        paid += Add().Load(stream);
    }
}

}  // namespace marlowen
