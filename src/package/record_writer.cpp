#include "package/record_writer.h"

enum : uint32_t { kScrambleBlock = 4096 };

static uint32_t StringLength(const char* text) {
    uint32_t n = 0;
    if (!text) return 0;
    while (text[n]) ++n;
    return n;
}

static bool HoldsForbiddenByte(const char* text) {
    if (!text) return false;
    for (; *text; ++text)
        if (static_cast<uint8_t>(*text) == kUnstorableTextByte) return true;
    return false;
}

uint32_t ChecksumAddBytes(uint32_t sum, uint32_t ordinal, const char* ansiName, const uint8_t* plain,
                          uint32_t n) {
    // Every byte adds the same term besides its own value: add that once.
    uint32_t perByte = ChecksumByteTerm(FirstNameByte(ansiName), ordinal);
    uint32_t bytes = 0;
    for (uint32_t k = 0; k < n; ++k) bytes += plain[k];
    return sum + bytes + perByte * n;
}

uint64_t HeaderRecordLength(const char* productCode, const char* windowClass, const char* mainProgram) {
    return 4ull + StringLength(productCode) + 1 + StringLength(windowClass) + 1 + StringLength(mainProgram) + 1 +
           4;
}

uint64_t FileRecordLength(const char* ansiName, uint32_t size) {
    return 4ull + StringLength(ansiName) + 1 + size;
}

void InitRecordWriter(RecordWriter* writer, RecordSink sink, void* sinkContext) {
    *writer = RecordWriter{};
    writer->sink = sink;
    writer->sinkContext = sinkContext;
    writer->error = "";
}

static RecordWriterStatus Fail(RecordWriter* writer, RecordWriterStatus status, const char* why) {
    writer->status = status;
    writer->error = why;
    return status;
}

static bool Emit(RecordWriter* writer, const uint8_t* bytes, uint32_t n) {
    if (n == 0) return true;
    if (!writer->sink(bytes, n, writer->sinkContext)) {
        Fail(writer, kWriterSinkFailed, "the package stream could not be written");
        return false;
    }
    writer->streamLength += n;
    return true;
}

static bool EmitStoredNumber(RecordWriter* writer, uint32_t value) {
    uint8_t bytes[4];
    WriteStoredNumber(value, bytes);
    return Emit(writer, bytes, 4);
}

// Strings may be of any length, so they go out scrambled in blocks.
static bool EmitString(RecordWriter* writer, const char* text) {
    uint8_t block[kScrambleBlock];
    uint32_t used = 0;
    for (const char* p = text ? text : ""; *p; ++p) {
        block[used++] = static_cast<uint8_t>(static_cast<uint8_t>(*p) + kStringShift);
        if (used == kScrambleBlock) {
            if (!Emit(writer, block, used)) return false;
            used = 0;
        }
    }
    block[used++] = 0;
    return Emit(writer, block, used);
}

static RecordWriterStatus CheckUsable(RecordWriter* writer) {
    if (writer->status != kWriterOk) return writer->status;
    if (!writer->sink) return Fail(writer, kWriterWrongOrder, "the package writer has no output");
    return kWriterOk;
}

RecordWriterStatus WritePackageHeader(RecordWriter* writer, uint32_t storedChecksum, const char* productCode,
                                      const char* windowClass, const char* mainProgram, uint32_t dateWord) {
    if (CheckUsable(writer) != kWriterOk) return writer->status;
    if (writer->headerWritten) return Fail(writer, kWriterWrongOrder, "the package header was already written");
    if (HoldsForbiddenByte(productCode) || HoldsForbiddenByte(windowClass) || HoldsForbiddenByte(mainProgram))
        return Fail(writer, kWriterBadText, "a header text holds the byte 221 (0xDD), which a package cannot store");
    if (writer->streamLength + HeaderRecordLength(productCode, windowClass, mainProgram) >= kStreamLimit)
        return Fail(writer, kWriterTooLarge, "the package would reach 4 GiB, more than its format can describe");
    if (!EmitStoredNumber(writer, storedChecksum) || !EmitString(writer, productCode) ||
        !EmitString(writer, windowClass) || !EmitString(writer, mainProgram) || !EmitStoredNumber(writer, dateWord))
        return writer->status;
    writer->headerWritten = true;
    return kWriterOk;
}

RecordWriterStatus BeginFileRecord(RecordWriter* writer, const char* ansiName, uint32_t size) {
    if (CheckUsable(writer) != kWriterOk) return writer->status;
    if (!writer->headerWritten)
        return Fail(writer, kWriterWrongOrder, "a file record was written before the package header");
    if (writer->inFile)
        return Fail(writer, kWriterSizeMismatch, "a file was given fewer bytes than its record declares");
    if (HoldsForbiddenByte(ansiName))
        return Fail(writer, kWriterBadText, "a file name holds the byte 221 (0xDD), which a package cannot store");
    if (writer->streamLength + FileRecordLength(ansiName, size) >= kStreamLimit)
        return Fail(writer, kWriterTooLarge, "the package would reach 4 GiB, more than its format can describe");
    if (!EmitStoredNumber(writer, size) || !EmitString(writer, ansiName)) return writer->status;
    writer->fileIndex += 1;
    writer->nameFirstByte = FirstNameByte(ansiName);
    writer->fileRemaining = size;
    writer->inFile = size > 0;
    return kWriterOk;
}

RecordWriterStatus WriteFileBytes(RecordWriter* writer, const uint8_t* plain, uint32_t n) {
    if (CheckUsable(writer) != kWriterOk) return writer->status;
    if (n == 0) return kWriterOk;
    if (!writer->inFile || n > writer->fileRemaining)
        return Fail(writer, kWriterSizeMismatch, "a file was given more bytes than its record declares");
    uint8_t block[kScrambleBlock];
    uint32_t perByte = ChecksumByteTerm(writer->nameFirstByte, writer->fileIndex);
    for (uint32_t done = 0; done < n;) {
        uint32_t m = n - done < kScrambleBlock ? n - done : kScrambleBlock;
        uint32_t bytes = 0;
        for (uint32_t k = 0; k < m; ++k) {
            uint8_t b = plain[done + k];
            bytes += b;
            block[k] = static_cast<uint8_t>(b - kByteShift);
        }
        if (!Emit(writer, block, m)) return writer->status;
        writer->checksum += bytes + perByte * m;
        done += m;
    }
    writer->fileRemaining -= n;
    writer->inFile = writer->fileRemaining > 0;
    return kWriterOk;
}

RecordWriterStatus FinishRecordWriter(RecordWriter* writer) {
    if (CheckUsable(writer) != kWriterOk) return writer->status;
    if (!writer->headerWritten) return Fail(writer, kWriterWrongOrder, "the package header was never written");
    if (writer->inFile)
        return Fail(writer, kWriterSizeMismatch, "the last file was given fewer bytes than its record declares");
    return kWriterOk;
}

const char* RecordWriterError(const RecordWriter* writer) {
    return writer->error ? writer->error : "";
}
