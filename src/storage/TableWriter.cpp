#include "storage/TableWriter.h"

namespace marlowen {

void WriteTable(const TDataRecords& table, TCustomMemStream& stream) {
    const TFieldDefs& fields = table.FieldDefs();
    if (fields.Count() == 0 && table.Count() > 0) {
        throw Exception("Таблицу без полей с записями нельзя записать.");
    }
    stream.WriteInteger(fields.Count());
    for (const TFieldDef* field : fields) {
        stream.WriteString(field->Name());
        stream.WriteInteger(static_cast<int32_t>(field->FieldType()));
    }
    stream.WriteInteger(table.Count());
    for (const TDataRecord* record : table) {
        stream.WriteBuffer(record->Values_.get() + fields.FlagsPosition(), fields.RecordSize() - fields.FlagsPosition());
        for (const TFieldDef* field : fields) {
            if (!record->Present(*field)) continue;
            switch (field->FieldType()) {
                case TFieldType::Text: stream.WriteString(record->Texts_[field->ListIndex()]); break;
                case TFieldType::Integer:
                    stream.WriteInteger(static_cast<int32_t>(static_cast<uint32_t>(record->Slot(*field, 4))));
                    break;
                case TFieldType::DateTime: stream.WriteDateTime(TDateTime{record->DoubleSlot(*field)}); break;
                case TFieldType::Double: stream.WriteDouble(record->DoubleSlot(*field)); break;
                case TFieldType::Boolean: stream.WriteBoolean(record->Slot(*field, 1) != 0); break;
                case TFieldType::Blob: stream.WriteString(record->Blobs_[field->ListIndex()]->Data()); break;
                case TFieldType::Value8: break;
            }
        }
    }
}

}  // namespace marlowen
