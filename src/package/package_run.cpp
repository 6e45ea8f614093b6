// One package run: the stream header, the LZMA decoder over the rest of the
// installer file, the record parser on every decoded chunk, and the verdict.
// This is the only file that sees the decoder's API.
#include "package/package_run.h"
#include "common/test_seams.h"

#include <LzmaDec.h>
#include <string.h>

#include "common/memory.h"
#include "common/text.h"
#include "state/state.h"

enum : uint32_t { kSmallestDictionary = 4096 };

static void* RunAllocate(void*, size_t size) {
    const TestSeams* seams = TestSeamsInForce();
    if (seams && seams->allocate) return seams->allocate(size);
    if (size == 0 || size > 0xFFFFFFFFu) return nullptr;
    return AllocZeroed(static_cast<uint32_t>(size));
}

static void RunFree(void*, void* address) { FreeBlock(address); }

static ISzAlloc gRunAllocator = {RunAllocate, RunFree};

// Repeats reads until count bytes are in or the file ends; false when a read fails.
static bool ReadUpTo(DiskFile file, uint8_t* buffer, uint32_t count, uint32_t* got) {
    *got = 0;
    while (*got < count) {
        uint32_t step = 0;
        if (!ReadInstallerFile(file, buffer + *got, count - *got, &step)) return false;
        if (step == 0) return true;
        *got += step;
    }
    return true;
}

// A valid stream never reaches back further than it has produced, so a
// dictionary of the unpacked size serves it; a hostile header cannot make us
// reserve gigabytes for a few bytes of output.
static void LimitDictionary(uint8_t* props, uint32_t unpacked) {
    uint32_t declared = static_cast<uint32_t>(props[1]) | (static_cast<uint32_t>(props[2]) << 8) |
                        (static_cast<uint32_t>(props[3]) << 16) | (static_cast<uint32_t>(props[4]) << 24);
    uint32_t needed = unpacked < kSmallestDictionary ? kSmallestDictionary : unpacked;
    if (declared <= needed) return;
    for (uint32_t k = 0; k < 4; ++k) props[1 + k] = static_cast<uint8_t>(needed >> (8 * k));
}

static uint32_t DecodeLoop(CLzmaDec* decoder, DiskFile file, uint32_t unpacked, uint8_t* input, uint8_t* output,
                           ChunkHandler handler, void* handlerContext, const PackageProgress* progress) {
    const uint32_t total = unpacked;
    uint32_t position = 0, fill = 0;
    for (;;) {
        if (position == fill) {
            if (!ReadUpTo(file, input, kInputBufferSize, &fill)) return SZ_ERROR_READ;
            position = 0;
        }
        // Below one chunk from the end the decoder must stop exactly at the unpacked size.
        bool last = unpacked < kOutputChunkSize;
        SizeT produced = last ? unpacked : kOutputChunkSize;
        SizeT consumed = fill - position;
        ELzmaStatus status = LZMA_STATUS_NOT_SPECIFIED;
        SRes res = LzmaDec_DecodeToBuf(decoder, output, &produced, input + position, &consumed,
                                       last ? LZMA_FINISH_END : LZMA_FINISH_ANY, &status);
        position += static_cast<uint32_t>(consumed);
        unpacked -= static_cast<uint32_t>(produced);
        // The parser sees every decoded byte, those before a data error included.
        if (handler(output, static_cast<uint32_t>(produced), handlerContext) != 0) return kStopCode;
        if (progress) progress->tell(total - unpacked, total, progress->context);
        if (res != SZ_OK) return static_cast<uint32_t>(res);
        if (unpacked == 0) return 0;
        if (consumed == 0 && produced == 0) return status == LZMA_STATUS_FINISHED_WITH_MARK ? 0 : SZ_ERROR_DATA;
    }
}

uint32_t DecodePackageStream(DiskFile file, ChunkHandler handler, void* handlerContext,
                             const PackageProgress* progress) {
    uint8_t header[kStreamHeaderSize];
    uint32_t got = 0;
    if (!ReadUpTo(file, header, kStreamHeaderSize, &got)) return SZ_ERROR_READ;
    if (got < kStreamHeaderSize) return SZ_ERROR_INPUT_EOF;
    uint32_t unpacked = ReadBigEndian32(header + kLzmaPropertiesSize);
    LimitDictionary(header, unpacked);

    CLzmaDec decoder;
    LzmaDec_Construct(&decoder);
    SRes res = LzmaDec_Allocate(&decoder, header, kLzmaPropertiesSize, &gRunAllocator);
    if (res != SZ_OK) return static_cast<uint32_t>(res);
    uint8_t* buffers = static_cast<uint8_t*>(RunAllocate(nullptr, kInputBufferSize + kOutputChunkSize));
    if (!buffers) {
        LzmaDec_Free(&decoder, &gRunAllocator);
        return SZ_ERROR_MEM;
    }
    LzmaDec_Init(&decoder);
    uint32_t code =
        DecodeLoop(&decoder, file, unpacked, buffers, buffers + kInputBufferSize, handler, handlerContext, progress);
    FreeBlock(buffers);
    LzmaDec_Free(&decoder, &gRunAllocator);
    return code;
}

// The verdict of a run. A stop always follows an error the parser recorded (a
// file that could not be created or written): that system code is what the
// user needs to see, not a claim that the package is broken.
static int32_t RunVerdict(uint32_t code, const ExtractionContext* extraction) {
    if (code == kStopCode && extraction->error != 0) return static_cast<int32_t>(extraction->error);
    if (code != 0) return -static_cast<int32_t>(code);
    if (extraction->error != 0) return static_cast<int32_t>(extraction->error);
    // A stream that ends before the header, inside a record or inside a file's
    // bytes is no sound package, whatever its checksum says.
    if (!ExtractionEndedOnRecordBoundary(extraction)) return -1;
    if (extraction->checksum != extraction->storedChecksum) return -1;
    return 0;
}

int32_t RunPackage(const char16_t* path, ExtractionContext* extraction, FileCallback callback, void* context,
                   uint32_t* streamCode, const PackageProgress* progress) {
    InitExtractionContext(extraction, callback, context);
    if (streamCode) *streamCode = 0;
    DiskFile file = kInvalidDiskFile;
    uint32_t opened = OpenDiskFile(path, &file, kDiskRead);
    if (opened != 0) return static_cast<int32_t>(opened);
    uint64_t size = GetDiskFileSize(file);
    uint32_t start = size == 0 ? 0 : FindPackageStart(file, size);
    if (start == 0) {
        CloseDiskFile(file);
        return -1;
    }
    uint32_t code = SZ_ERROR_READ;
    if (SeekDiskFile(file, static_cast<int32_t>(start)))
        code = DecodePackageStream(file, ParsePackageChunk, extraction, progress);
    if (streamCode) *streamCode = code;
    // A file the stream stopped or ended in is closed, so that a later run can replace it.
    FinishExtraction(extraction);
    CloseDiskFile(file);
    return RunVerdict(code, extraction);
}

// The close-running-instances thread reads a copy of the class taken before it
// starts (src/setup/), never these fields. A value that did not change is
// still left untouched, so that a later run of the same package writes nothing
// a reader of the state could see half-written; a changed value is copied.
static void ReplaceIfChanged(const char* source, char* field, int32_t capacity) {
    char value[32];
    value[0] = 0;
    AppendTextA(source, value, capacity);
    if (strcmp(value, field) == 0) return;
    memcpy(field, value, static_cast<size_t>(capacity));
}

static void PublishHeaderFields(const ExtractionContext* extraction) {
    InstallerState* state = gState;
    if (!state) return;
    ReplaceIfChanged(extraction->productCode, state->productCode, sizeof state->productCode);
    // A package without a window class has the dialog stand in the product name;
    // a later run does not empty it again.
    if (extraction->windowClass[0] != 0)
        ReplaceIfChanged(extraction->windowClass, state->windowClass, sizeof state->windowClass);
    ReplaceIfChanged(extraction->headerMainProgram, state->headerMainProgram, sizeof state->headerMainProgram);
}

int32_t ProcessPackageWithProgress(const char16_t* path, FileCallback callback, void* context,
                                   const PackageProgress* progress) {
    ExtractionContext extraction;
    int32_t result = RunPackage(path, &extraction, callback, context, nullptr, progress);
    if (result != 0) return result;
    PublishHeaderFields(&extraction);
    return 0;
}

int32_t ProcessPackage(const char16_t* path, FileCallback callback, void* context) {
    return ProcessPackageWithProgress(path, callback, context, nullptr);
}
