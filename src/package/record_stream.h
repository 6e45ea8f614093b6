// The decoded package: one header record, then for each file a file record and
// the file's bytes. The parser takes the stream in chunks cut anywhere.
#pragma once
#include <stdint.h>
#include "common/files.h"
#include "package/format.h"

// Called once at the start of every file (data == nullptr, length = file size)
// and once more with a preview of the first min(1024, size) bytes of every
// non-empty file. A non-zero answer to the start call with a non-empty name has
// the file written under whatever name then holds (1024 places, rewritable).
typedef int32_t (*FileCallback)(char16_t* name, const uint8_t* data, uint32_t length, void* context);

enum : int32_t {
    kExpectHeader = 0,
    kHeaderRead = 1,
    kRecordPending = 2,
    kInFile = 3
};

enum : uint32_t {
    kPendingCapacity = 1024,
    kPreviewCapacity = 1024,
    kNameCapacity = 1024
};

struct ExtractionContext {
    uint32_t error;
    int32_t state;
    FileCallback callback;
    void* callbackContext;
    uint32_t checksum;
    uint32_t storedChecksum;
    uint64_t fileTime;
    uint32_t fileIndex;
    char ansiName[kNameCapacity];
    char16_t name[kNameCapacity];
    uint32_t fileSize;
    uint32_t fileRemaining;
    DiskFile output;
    uint8_t pending[kPendingCapacity];
    uint32_t pendingLength;
    char productCode[4];
    char windowClass[32];
    char headerMainProgram[32];
    uint8_t preview[kPreviewCapacity];
    uint32_t previewLength;
};

// Every field 0 or empty, output invalid, callback and its context set.
void InitExtractionContext(ExtractionContext* context, FileCallback callback, void* callbackContext);
// Closes an output file left open when a run ends inside it (its bytes stay as written).
void FinishExtraction(ExtractionContext* context);
// True when the stream ended cleanly: header complete, no record pending, no file cut short.
bool ExtractionEndedOnRecordBoundary(const ExtractionContext* context);


// The chunk handler: 0 to go on, 1 to stop the decoding. Unscrambles in place.
int32_t ParsePackageChunk(uint8_t* bytes, uint32_t n, void* context);
