#include "package/record_stream.h"
#include "package/record_stream_internal.h"

#include <string.h>

#include "common/clock.h"
#include "common/text.h"
#include "package/format.h"
#include "common/codepage.h"

void InitExtractionContext(ExtractionContext* context, FileCallback callback, void* callbackContext) {
    memset(context, 0, sizeof *context);
    context->state = kExpectHeader;
    context->output = kInvalidDiskFile;
    context->callback = callback;
    context->callbackContext = callbackContext;
}

static void RecordError(ExtractionContext* context, uint32_t code) {
    if (context->error == 0) context->error = code;
}

// An error reported at close (a full quota, a network file system writing
// late) may have lost bytes of the file: it counts as a failed write.
static void CloseOutput(ExtractionContext* context) {
    if (context->output == kInvalidDiskFile) return;
    if (!CloseDiskFile(context->output)) RecordError(context, LastErrorOr(kErrorAccessDenied));
    context->output = kInvalidDiskFile;
}

// A file cut short stays as written but is not given the package's date, so it
// does not pass for a complete file of the package.
void FinishExtraction(ExtractionContext* context) { CloseOutput(context); }

bool ExtractionEndedOnRecordBoundary(const ExtractionContext* context) {
    if (context->state != kHeaderRead && context->state != kInFile) return false;
    return context->pendingLength == 0 && context->fileRemaining == 0;
}

// Strings longer than fieldSize + 1 characters are beyond what the reader takes:
// they never complete, so a damaged package cannot make us scan or write at will.
uint32_t ReadRecordString(const uint8_t* bytes, uint32_t available, char* field, uint32_t fieldSize) {
    if (available == 0 || fieldSize == 0) return 0;
    uint32_t scan = available < fieldSize + 2 ? available : fieldSize + 2;
    uint32_t end = 0;
    while (end < scan && bytes[end] != 0) ++end;
    if (end == scan) return 0;
    uint32_t keep = end < fieldSize - 1 ? end : fieldSize - 1;
    for (uint32_t k = 0; k < keep; ++k) field[k] = static_cast<char>(static_cast<uint8_t>(bytes[k] - kStringShift));
    field[keep] = 0;
    return end + 1;
}

uint32_t ReadPackageHeader(ExtractionContext* context, const uint8_t* bytes, uint32_t available) {
    if (available < 4) return 0;
    context->storedChecksum = ReadStoredNumber(bytes);
    uint32_t pos = 4;
    uint32_t r = ReadRecordString(bytes + pos, available - pos, context->productCode, sizeof context->productCode);
    if (r == 0) return 0;
    pos += r;
    r = ReadRecordString(bytes + pos, available - pos, context->windowClass, sizeof context->windowClass);
    if (r == 0) return 0;
    pos += r;
    r = ReadRecordString(bytes + pos, available - pos, context->headerMainProgram,
                         sizeof context->headerMainProgram);
    if (r == 0) return 0;
    pos += r;
    if (available - pos < 4) return 0;
    uint16_t year, month, day;
    SplitDateWord(ReadStoredNumber(bytes + pos), &year, &month, &day);
    context->fileTime = LocalNoonToFileTime(year, month, day);
    context->state = kHeaderRead;
    return pos + 4;
}

static void OpenOutput(ExtractionContext* context) {
    CloseOutput(context);
    DiskFile file = kInvalidDiskFile;
    uint32_t code = OpenDiskFile(context->name, &file, kDiskWrite);
    if (code != 0) {
        RecordError(context, code);
        return;
    }
    context->output = file;
}

uint32_t ReadFileRecord(ExtractionContext* context, const uint8_t* bytes, uint32_t available) {
    context->name[0] = 0;
    if (available < 4) return 0;
    context->fileSize = context->fileRemaining = ReadStoredNumber(bytes);
    uint32_t r = ReadRecordString(bytes + 4, available - 4, context->ansiName, sizeof context->ansiName);
    if (r == 0) return 0;
    context->fileIndex += 1;
    AnsiToWide(context->ansiName, context->name, kNameCapacity);
    context->state = kInFile;
    context->previewLength = 0;
    int32_t answer = 0;
    if (context->callback) answer = context->callback(context->name, nullptr, context->fileSize,
                                                      context->callbackContext);
    // The callback may have written up to the last place; the name must stay terminated.
    context->name[kNameCapacity - 1] = 0;
    if (answer != 0 && context->name[0] != 0) OpenOutput(context);
    return 4 + r;
}

// Eight bytes at a time, as one 64-bit word: every file byte of the package
// passes here, and byte by byte this loop took over 1 % of a whole package
// run (a third of that eight at a time), when the engine may add only 3 %.
// The shift is added to each byte without a carry into its neighbour (the low
// seven bits are added, the top bit is flipped in), and the plain bytes are
// summed in four 16-bit lanes that are folded before they can overflow.
static uint32_t UnscrambleAndSumWords(uint8_t* bytes, uint32_t words) {
    const uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL, kTop = 0x8080808080808080ULL;
    const uint64_t kShift = 0x0101010101010101ULL * kByteShift, kEvenBytes = 0x00FF00FF00FF00FFULL;
    const uint32_t kWordsPerFold = 128;  // 128 words add at most 128 * 2 * 255 to a lane
    uint32_t sum = 0;
    while (words > 0) {
        uint32_t run = words < kWordsPerFold ? words : kWordsPerFold;
        uint64_t lanes = 0;
        for (uint32_t w = 0; w < run; ++w, bytes += 8) {
            uint64_t word;
            memcpy(&word, bytes, 8);
            word = ((word & kLow7) + kShift) ^ (word & kTop);
            memcpy(bytes, &word, 8);
            lanes += (word & kEvenBytes) + ((word >> 8) & kEvenBytes);
        }
        lanes = (lanes & 0x0000FFFF0000FFFFULL) + ((lanes >> 16) & 0x0000FFFF0000FFFFULL);
        sum += static_cast<uint32_t>(lanes) + static_cast<uint32_t>(lanes >> 32);
        words -= run;
    }
    return sum;
}

// Unscrambles in place and answers the plain bytes' sum, in one pass.
static uint32_t UnscrambleAndSum(uint8_t* bytes, uint32_t m) {
    uint32_t sum = UnscrambleAndSumWords(bytes, m / 8);
    for (uint32_t k = m & ~7u; k < m; ++k) {
        uint8_t b = static_cast<uint8_t>(bytes[k] + kByteShift);
        bytes[k] = b;
        sum += b;
    }
    return sum;
}

static void TakePreview(ExtractionContext* context, const uint8_t* plain, uint32_t m) {
    uint32_t limit = context->fileSize < kPreviewCapacity ? context->fileSize : kPreviewCapacity;
    if (context->previewLength >= limit) return;
    uint32_t take = limit - context->previewLength;
    if (take > m) take = m;
    if (take > 0) memcpy(context->preview + context->previewLength, plain, take);
    context->previewLength += take;
    if (context->previewLength != limit || !context->callback) return;
    context->callback(context->name, context->preview, context->previewLength, context->callbackContext);
}

static void WriteOutput(ExtractionContext* context, const uint8_t* plain, uint32_t m) {
    if (context->output == kInvalidDiskFile) return;
    if (m > 0) {
        uint32_t written = 0;
        if (!WriteDiskFile(context->output, plain, m, &written) || written != m)
            RecordError(context, LastErrorOr(kErrorAccessDenied));
    }
    if (context->fileRemaining != 0) return;
    SetDiskFileTime(context->output, context->fileTime);
    CloseOutput(context);
}

uint32_t ReadFileData(ExtractionContext* context, uint8_t* bytes, uint32_t available) {
    uint32_t m = context->fileRemaining < available ? context->fileRemaining : available;
    uint32_t sum = UnscrambleAndSum(bytes, m);
    context->checksum += sum + ChecksumByteTerm(FirstNameByte(context->ansiName), context->fileIndex) * m;
    context->fileRemaining -= m;
    TakePreview(context, bytes, m);
    WriteOutput(context, bytes, m);
    return m;
}

void AddToPending(ExtractionContext* context, const uint8_t* bytes, uint32_t count) {
    uint32_t room = kPendingCapacity - context->pendingLength;
    uint32_t take = count < room ? count : room;
    if (take == 0) return;
    memcpy(context->pending + context->pendingLength, bytes, take);
    context->pendingLength += take;
}

// A record split by the previous chunk boundary waits in `pending`: try to
// complete it with this chunk. Answers how far into the chunk the record
// reached (its file's bytes included), or n while it still waits.
static uint32_t ResumePending(ExtractionContext* context, uint8_t* bytes, uint32_t n) {
    uint32_t before = context->pendingLength;
    AddToPending(context, bytes, n);
    bool fileRecord = context->state == kRecordPending;
    uint32_t d = 0;
    if (context->state == kExpectHeader) d = ReadPackageHeader(context, context->pending, context->pendingLength);
    else if (fileRecord) d = ReadFileRecord(context, context->pending, context->pendingLength);
    if (d == 0) return n;
    context->pendingLength = 0;
    uint32_t pos = d > before ? d - before : 0;
    if (fileRecord) pos += ReadFileData(context, bytes + pos, n - pos);
    return pos;
}

int32_t ParsePackageChunk(uint8_t* bytes, uint32_t n, void* raw) {
    ExtractionContext* context = static_cast<ExtractionContext*>(raw);
    uint32_t pos = 0;
    if (context->pendingLength > 0) pos = ResumePending(context, bytes, n);
    if (context->state == kExpectHeader && pos < n) {
        uint32_t r = ReadPackageHeader(context, bytes + pos, n - pos);
        if (r == 0) {
            AddToPending(context, bytes + pos, n - pos);
            pos = n;
        }
        pos += r;
    }
    if (context->fileRemaining > 0 && pos < n) pos += ReadFileData(context, bytes + pos, n - pos);
    while (pos < n) {
        uint32_t r = ReadFileRecord(context, bytes + pos, n - pos);
        if (context->error != 0) return 1;
        if (r == 0) {
            context->state = kRecordPending;
            AddToPending(context, bytes + pos, n - pos);
            return 0;
        }
        pos += r;
        pos += ReadFileData(context, bytes + pos, n - pos);
        if (context->error != 0) return 1;
    }
    return 0;
}
