/* bench_decode: the decoder alone, as fast as the package can ever be read.
 * Finds the package in a setup the way the installer does, then runs the LZMA
 * decoder over it with 64 KiB reads into a 64 KiB output buffer and throws the
 * bytes away. Nothing else: no parsing, no checksum, no files. */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "LzmaDec.h"

enum { kSearchStart = 89999, kBufferSize = 65536, kPropsSize = 5, kHeaderSize = 9 };

static const unsigned char kSignature[4] = {0xA7, 0x3C, 0x5E, 0x91};

static void* HeapAlloc(void* unused, size_t size) {
    (void)unused;
    return malloc(size);
}

static void HeapFree(void* unused, void* address) {
    (void)unused;
    free(address);
}

static ISzAlloc gHeap = {HeapAlloc, HeapFree};

/* Reads until count bytes are in or the file ends; -1 on a failed read. */
static long ReadFull(int fd, unsigned char* buffer, size_t count) {
    size_t got = 0;
    while (got < count) {
        ssize_t step = read(fd, buffer + got, count - got);
        if (step < 0) return -1;
        if (step == 0) break;
        got += (size_t)step;
    }
    return (long)got;
}

/* File offset behind the first signature at or beyond 89999, or 0. */
static long FindPackage(int fd) {
    static unsigned char block[3 + kBufferSize];
    long base = kSearchStart; /* file offset of block[0] */
    size_t carry = 0;
    if (lseek(fd, kSearchStart, SEEK_SET) < 0) return 0;
    for (;;) {
        long got = ReadFull(fd, block + carry, kBufferSize);
        if (got <= 0) return 0;
        size_t filled = carry + (size_t)got;
        for (size_t i = 0; i + 4 <= filled; ++i)
            if (memcmp(block + i, kSignature, 4) == 0) return base + (long)i + 4;
        /* A signature may straddle two reads: keep the last three bytes. */
        carry = filled < 3 ? filled : 3;
        memmove(block, block + filled - carry, carry);
        base += (long)(filled - carry);
    }
}

static int Fail(const char* message) {
    fprintf(stderr, "bench_decode: %s\n", message);
    return 1;
}

static int Decode(int fd, unsigned long long* total) {
    unsigned char header[kHeaderSize];
    if (ReadFull(fd, header, kHeaderSize) != kHeaderSize) return Fail("the file ends inside the stream header");
    unsigned long unpacked = ((unsigned long)header[5] << 24) | ((unsigned long)header[6] << 16) |
                             ((unsigned long)header[7] << 8) | header[8];
    CLzmaDec decoder;
    LzmaDec_Construct(&decoder);
    if (LzmaDec_Allocate(&decoder, header, kPropsSize, &gHeap) != SZ_OK) return Fail("unsupported properties");
    unsigned char* input = malloc(kBufferSize);
    unsigned char* output = malloc(kBufferSize);
    if (!input || !output) return Fail("out of memory");
    LzmaDec_Init(&decoder);
    size_t position = 0, fill = 0;
    int code = 0;
    for (;;) {
        if (position == fill) {
            long got = ReadFull(fd, input, kBufferSize);
            if (got < 0) { code = Fail("reading failed"); break; }
            fill = (size_t)got;
            position = 0;
        }
        int last = unpacked < kBufferSize;
        SizeT produced = last ? unpacked : kBufferSize;
        SizeT consumed = fill - position;
        ELzmaStatus status;
        SRes res = LzmaDec_DecodeToBuf(&decoder, output, &produced, input + position, &consumed,
                                       last ? LZMA_FINISH_END : LZMA_FINISH_ANY, &status);
        position += consumed;
        unpacked -= produced;
        *total += produced;
        if (res != SZ_OK) { code = Fail("corrupt data"); break; }
        if (unpacked == 0) break;
        if (consumed == 0 && produced == 0) {
            if (status != LZMA_STATUS_FINISHED_WITH_MARK) code = Fail("the stream is cut short");
            break;
        }
    }
    free(input);
    free(output);
    LzmaDec_Free(&decoder, &gHeap);
    return code;
}

int main(int argc, char** argv) {
    if (argc != 2 || strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0) {
        printf("Usage: bench_decode SETUP\n\nDecodes the package of SETUP with the LZMA decoder alone (64 KiB reads,\n"
               "64 KiB output buffer) and prints the number of decoded bytes.\n");
        return argc == 2 ? 0 : 2;
    }
    int fd = open(argv[1], O_RDONLY);
    if (fd < 0) return Fail("cannot open the setup");
    long start = FindPackage(fd);
    if (start == 0) return Fail("no package in the file");
    if (lseek(fd, start, SEEK_SET) < 0) return Fail("cannot seek to the package");
    unsigned long long total = 0;
    int code = Decode(fd, &total);
    close(fd);
    if (code == 0) printf("%llu bytes decoded\n", total);
    return code;
}
