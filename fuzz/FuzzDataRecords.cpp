// Loading a data-record table from arbitrary bytes: it succeeds or raises a library error, and
// whatever was loaded can be read by every field name, written, and loaded back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "storage/DataRecords.h"
#include "storage/TableWriter.h"
#include "storage/TypedStream.h"

using namespace marlowen;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    TTypedStream stream;
    stream.WriteBuffer(data, static_cast<int32_t>(size));
    stream.SetPosition(0);
    TDataRecords table;
    try {
        table.LoadFromStream(stream);
    } catch (const Exception&) {
    }
    for (const TDataRecord* record : table) {
        for (const TFieldDef* field : table.FieldDefs()) {
            try {
                record->HasValue(field->Name());
                record->GetText(field->Name());
            } catch (const Exception&) {
                // A field of another type, or a name an older duplicate hides.
            }
        }
    }
    // Whatever loaded, even partly, is a well-formed table: it writes, loads back whole and writes
    // the same bytes again.
    TTypedStream copy;
    WriteTable(table, copy);
    copy.SetPosition(0);
    TDataRecords again;
    again.LoadFromStream(copy);
    if (!copy.AtEnd()) std::abort();
    TTypedStream second;
    WriteTable(again, second);
    if (second.Size() != copy.Size() || std::memcmp(second.Memory(), copy.Memory(), copy.Size()) != 0) std::abort();
    return 0;
}
