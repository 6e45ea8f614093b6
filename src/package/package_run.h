// Finding the package inside the installer's own file and running it through
// the LZMA decoder and the record parser.
#pragma once
#include <stdint.h>
#include "common/files.h"
#include "package/format.h"
#include "package/record_stream.h"

enum : uint32_t {
    kSearchBlock = 4092,
    kSearchCarry = 4,
    kInputBufferSize = 65536,
    kOutputChunkSize = 65536,
    kStopCode = 1235
};

typedef int32_t (*ChunkHandler)(uint8_t* bytes, uint32_t n, void* context);

// Told after every decoded chunk (at most 64 KiB): the bytes decoded so far
// and the stream header's unpacked size. The place where a window keeps
// answering and shows how far a pass has come.
struct PackageProgress {
    void (*tell)(uint64_t done, uint64_t total, void* context);
    void* context;
};

// Every read of the installer file, the search's and the stream's (a test
// seam may stand in for ReadDiskFile).
bool ReadInstallerFile(DiskFile file, void* buffer, uint32_t count, uint32_t* got);
// Offset of the first byte after the first signature at or beyond 89999, or 0;
// also 0 when the stream header behind it would not lie wholly below 2 GiB.
uint32_t FindPackageStart(DiskFile file, uint64_t size);
// 0 at the unpacked size or an end marker, 1235 when the handler stopped it,
// else the decoder's or the reader's code (1, 2, 4, 6, 8, 11).
uint32_t DecodePackageStream(DiskFile file, ChunkHandler handler, void* handlerContext,
                             const PackageProgress* progress = nullptr);
// 0 success, positive a system error code, negative a package failure. After a
// sound run the header's fields are published in gState (when it is set).
int32_t ProcessPackage(const char16_t* path, FileCallback callback, void* context);
// The same, telling progress (when given) after every chunk.
int32_t ProcessPackageWithProgress(const char16_t* path, FileCallback callback, void* context,
                                   const PackageProgress* progress);
// The same run with the parser's record in the caller's hands, for tools that
// want the header, the file count or the checksums; gState is not touched.
// *streamCode (when given) receives DecodePackageStream's code, 0 if it never ran.
int32_t RunPackage(const char16_t* path, ExtractionContext* extraction, FileCallback callback, void* context,
                   uint32_t* streamCode = nullptr, const PackageProgress* progress = nullptr);
