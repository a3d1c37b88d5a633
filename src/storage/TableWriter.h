#pragma once

#include "storage/DataRecords.h"
#include "storage/MemStream.h"

namespace marlowen {

// Writes the table at the stream's position in the layout TDataRecords::LoadFromStream reads:
// field count, (name, type code) per field, record count, then per record its presence bytes and
// each present value (none for an 8-byte-value field, whose value is therefore not stored). A table
// without fields but with records cannot be stored and raises Exception.
void WriteTable(const TDataRecords& table, TCustomMemStream& stream);

}  // namespace marlowen
