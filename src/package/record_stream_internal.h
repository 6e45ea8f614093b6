// The parser's single steps, which ParsePackageChunk strings together. Only
// the parser itself and its tests call them one by one.
#pragma once
#include <stdint.h>

#include "package/record_stream.h"

// Consumed bytes, or 0 while the record (or string) is not complete yet.
uint32_t ReadRecordString(const uint8_t* bytes, uint32_t available, char* field, uint32_t fieldSize);
uint32_t ReadPackageHeader(ExtractionContext* context, const uint8_t* bytes, uint32_t available);
uint32_t ReadFileRecord(ExtractionContext* context, const uint8_t* bytes, uint32_t available);
uint32_t ReadFileData(ExtractionContext* context, uint8_t* bytes, uint32_t available);
void AddToPending(ExtractionContext* context, const uint8_t* bytes, uint32_t count);
