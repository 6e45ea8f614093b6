#include "lzma_encode.h"

#include <LzmaEnc.h>
#include <stdlib.h>

namespace {

void* EncoderAlloc(void*, size_t size) { return size ? malloc(size) : nullptr; }
void EncoderFree(void*, void* address) { free(address); }
ISzAlloc gHeap = {EncoderAlloc, EncoderFree};

// The SDK's stream interfaces take the record's address; each one is the first
// member of a record that carries our callable.
struct SourceStream {
    ISeqInStream stream;
    const ByteSource* source;
};

struct SinkStream {
    ISeqOutStream stream;
    const ByteSink* sink;
};

struct ProgressStream {
    ICompressProgress progress;
    const ProgressSink* report;
};

SRes ReadSource(void* p, void* buffer, size_t* size) {
    const SourceStream* self = static_cast<const SourceStream*>(p);
    int64_t got = (*self->source)(static_cast<uint8_t*>(buffer), *size);
    if (got < 0) return SZ_ERROR_READ;
    *size = static_cast<size_t>(got);
    return SZ_OK;
}

size_t WriteSink(void* p, const void* bytes, size_t n) {
    const SinkStream* self = static_cast<const SinkStream*>(p);
    return (*self->sink)(static_cast<const uint8_t*>(bytes), n) ? n : 0;
}

SRes ReportProgress(void* p, UInt64 inSize, UInt64) {
    const ProgressStream* self = static_cast<const ProgressStream*>(p);
    if (*self->report) (*self->report)(inSize);
    return SZ_OK;
}

// The quicker levels: the hash-chain match finder with shorter matches, fewer
// candidates and, at the lowest, a smaller window. Each takes more time than
// the one before and, on text, gives a smaller stream (docs/publisher-guide.md
// has the figures). The window never exceeds what the stream header promises.
struct QuickLevel {
    int fb;
    uint32_t mc;
    uint32_t window;
};
const QuickLevel kQuickLevels[kBestLevel] = {
    {8, 2, 1u << 16},  {16, 4, 1u << 18}, {16, 8, 1u << 20}, {24, 8, 1u << 22}, {32, 12, kPackageDictionarySize},
    {32, 16, kPackageDictionarySize}, {48, 24, kPackageDictionarySize}, {64, 32, kPackageDictionarySize},
    {128, 48, kPackageDictionarySize}};

// Level 9 is the optimal parser with the longest matches.
void SetPackageProps(CLzmaEncProps* props, bool endMarker, int level) {
    LzmaEncProps_Init(props);
    props->level = 9;
    props->dictSize = kPackageDictionarySize;
    props->lc = 3;
    props->lp = 0;
    props->pb = 2;
    props->algo = 1;
    props->fb = 273;
    props->btMode = 1;
    props->numHashBytes = 4;
    props->writeEndMark = endMarker ? 1 : 0;
    props->numThreads = 1;
    if (level < kQuickestLevel || level >= kBestLevel) return;
    const QuickLevel& quick = kQuickLevels[level];
    props->level = level;
    props->dictSize = quick.window;
    props->algo = 0;
    props->btMode = 0;
    props->fb = quick.fb;
    props->mc = quick.mc;
}

}  // namespace

void PackageLzmaProperties(uint8_t props[5]) {
    props[0] = (2 * 5 + 0) * 9 + 3;
    for (int k = 0; k < 4; ++k) props[1 + k] = static_cast<uint8_t>(kPackageDictionarySize >> (8 * k));
}

bool EncodeLzmaStream(const ByteSource& source, const ByteSink& sink, const ProgressSink& progress, bool endMarker,
                      int level, std::string* error) {
    CLzmaEncHandle encoder = LzmaEnc_Create(&gHeap);
    if (!encoder) {
        *error = "not enough memory for the LZMA encoder";
        return false;
    }
    CLzmaEncProps props;
    SetPackageProps(&props, endMarker, level);
    SRes res = LzmaEnc_SetProps(encoder, &props);
    if (res == SZ_OK) {
        SourceStream in = {{ReadSource}, &source};
        SinkStream out = {{WriteSink}, &sink};
        ProgressStream report = {{ReportProgress}, &progress};
        res = LzmaEnc_Encode(encoder, &out.stream, &in.stream, &report.progress, &gHeap, &gHeap);
    }
    LzmaEnc_Destroy(encoder, &gHeap, &gHeap);
    if (res == SZ_OK) return true;
    if (res == SZ_ERROR_MEM)
        *error = "not enough memory for the LZMA encoder";
    else if (res != SZ_ERROR_READ && res != SZ_ERROR_WRITE)
        *error = "the LZMA encoder failed (code " + std::to_string(res) + ")";
    return false;
}
