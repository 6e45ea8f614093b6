// Writing a decoded record stream: the package header, then for each file its
// record and its bytes, scrambled exactly as the parser unscrambles them. The
// bytes go straight to a sink as they come; no product is held in memory.
//
// The writer refuses only what the stream cannot carry at all (a string holding
// the byte 221, a stream of 4 GiB or more) and calls out of order. It happily
// writes what the reader cuts (long product codes and names), so that such
// packages can be made on purpose; publisher-facing limits belong to the tools.
#pragma once
#include <stdint.h>

#include "package/format.h"

// Receives the next n bytes of the stream; false stops the writer.
typedef bool (*RecordSink)(const uint8_t* bytes, uint32_t n, void* context);

typedef int32_t RecordWriterStatus;
enum : int32_t {
    kWriterOk = 0,
    kWriterBadText = 1,       // a string holds the byte 221 (its stored form is the terminator)
    kWriterTooLarge = 2,      // the stream would reach 4 GiB
    kWriterWrongOrder = 3,    // header twice or missing, a record while a file is short, ...
    kWriterSizeMismatch = 4,  // more bytes than declared, or a file left short
    kWriterSinkFailed = 5     // the sink answered false
};

struct RecordWriter {
    RecordSink sink;
    void* sinkContext;
    RecordWriterStatus status;  // sticky: after a failure every call answers it again
    const char* error;          // why, in words; "" while status is kWriterOk
    bool headerWritten;
    bool inFile;                // a file's record is written and bytes are still due
    uint32_t fileIndex;         // ordinal of the current file, the first being 1
    int32_t nameFirstByte;      // first byte of the current name, signed
    uint32_t fileRemaining;     // bytes of the current file still due
    uint32_t checksum;          // running checksum over every file byte so far
    uint64_t streamLength;      // bytes handed to the sink so far
};

// The checksum after n more plain bytes of file number `ordinal` named ansiName
// (ANSI, as stored). Lets a caller learn the checksum in a pass of its own.
uint32_t ChecksumAddBytes(uint32_t sum, uint32_t ordinal, const char* ansiName, const uint8_t* plain,
                          uint32_t n);

// Bytes the header record and a file record (with its bytes) take in the stream,
// so a caller can know the stream's length before writing it.
uint64_t HeaderRecordLength(const char* productCode, const char* windowClass, const char* mainProgram);
uint64_t FileRecordLength(const char* ansiName, uint32_t size);

void InitRecordWriter(RecordWriter* writer, RecordSink sink, void* sinkContext);
RecordWriterStatus WritePackageHeader(RecordWriter* writer, uint32_t storedChecksum, const char* productCode,
                                      const char* windowClass, const char* mainProgram, uint32_t dateWord);
// Writes the record of the next file; its `size` bytes must follow through WriteFileBytes.
RecordWriterStatus BeginFileRecord(RecordWriter* writer, const char* ansiName, uint32_t size);
// Plain bytes of the current file; refuses more than the record declared.
RecordWriterStatus WriteFileBytes(RecordWriter* writer, const uint8_t* plain, uint32_t n);
// Checks that the stream ends on a record boundary (header written, last file complete).
RecordWriterStatus FinishRecordWriter(RecordWriter* writer);
const char* RecordWriterError(const RecordWriter* writer);
