// Under ThreadSanitizer: a thread started with the program's own StartThread
// reads windowClass of the state the whole time while the dialog's thread runs
// the same package again and again and each sound run publishes the header
// fields. The shipped close-running-instances thread reads a copy of its own,
// so this is stricter than what ships: even a reader of the field itself must
// never see it empty or half-written, and the sanitizer must see no race.
// With --torn-write the main thread copies the field in place instead, which
// is a race the sanitizer has to report (that run is expected to fail).
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <vector>

#include "LzmaEnc.h"
#include "common/thread.h"
#include "state/state.h"
#include "package/package_run.h"
#include "package/record_writer.h"

namespace {

const char kWindowClass[] = "RaceWindowClass";
const int kRuns = 40;

std::atomic<bool> gStop{false};
std::atomic<bool> gReaderDone{false};
std::atomic<long> gReads{0};
std::atomic<long> gWrongReads{0};

uint32_t ReadWindowClass(void*) {
    while (!gStop.load(std::memory_order_acquire)) {
        char seen[sizeof gState->windowClass];
        memcpy(seen, gState->windowClass, sizeof seen);
        seen[sizeof seen - 1] = 0;
        if (strcmp(seen, kWindowClass) != 0) gWrongReads.fetch_add(1);
        gReads.fetch_add(1);
    }
    gReaderDone.store(true, std::memory_order_release);
    return 0;
}

bool Collect(const uint8_t* bytes, uint32_t n, void* context) {
    std::vector<uint8_t>* stream = static_cast<std::vector<uint8_t>*>(context);
    stream->insert(stream->end(), bytes, bytes + n);
    return true;
}

void* Allocate(void*, size_t size) { return malloc(size); }
void Release(void*, void* address) { free(address); }

// A setup with one small file: a stub of zeros, the signature and the package.
bool WriteSetup(const std::string& path) {
    const char name[] = "Qrace.exe";
    const uint8_t bytes[] = {1, 2, 3, 4, 5};
    std::vector<uint8_t> stream;
    RecordWriter writer;
    InitRecordWriter(&writer, Collect, &stream);
    WritePackageHeader(&writer, ChecksumAddBytes(0, 1, name, bytes, sizeof bytes), "RC", kWindowClass, name,
                       DateWord(2024, 2, 29));
    BeginFileRecord(&writer, name, sizeof bytes);
    WriteFileBytes(&writer, bytes, sizeof bytes);
    if (FinishRecordWriter(&writer) != kWriterOk) return false;

    CLzmaEncProps props;
    LzmaEncProps_Init(&props);
    props.dictSize = 1 << 16;
    props.writeEndMark = 1;
    std::vector<uint8_t> packed(stream.size() + 4096);
    SizeT packedSize = packed.size();
    uint8_t header[LZMA_PROPS_SIZE];
    SizeT headerSize = LZMA_PROPS_SIZE;
    ISzAlloc alloc = {Allocate, Release};
    if (LzmaEncode(packed.data(), &packedSize, stream.data(), stream.size(), &props, header, &headerSize, 1, nullptr,
                   &alloc, &alloc) != SZ_OK)
        return false;
    std::vector<uint8_t> file(kSearchStart, 0);
    file.insert(file.end(), kPackageSignature, kPackageSignature + 4);
    file.insert(file.end(), header, header + headerSize);
    for (int shift = 24; shift >= 0; shift -= 8) file.push_back(static_cast<uint8_t>(stream.size() >> shift));
    file.insert(file.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packedSize));
    FILE* out = fopen(path.c_str(), "wb");
    if (!out) return false;
    bool written = fwrite(file.data(), 1, file.size(), out) == file.size();
    return fclose(out) == 0 && written;
}

int32_t WriteNothing(char16_t*, const uint8_t*, uint32_t, void*) { return 0; }

std::u16string Wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

int Fail(const char* what) {
    fprintf(stderr, "window_class_race: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    bool tornWrite = argc > 1 && strcmp(argv[1], "--torn-write") == 0;
    char folder[] = "/tmp/setup-tsan-XXXXXX";
    if (!mkdtemp(folder)) return Fail("cannot make a temporary folder");
    std::string setup = std::string(folder) + "/setup.exe";
    if (!WriteSetup(setup)) return Fail("cannot write the setup");

    static InstallerState state;
    gState = &state;
    // The scan pass fills the field before the thread starts, as the dialog does.
    std::u16string path = Wide(setup);
    if (ProcessPackage(path.c_str(), WriteNothing, nullptr) != 0) return Fail("the first run failed");
    if (strcmp(state.windowClass, kWindowClass) != 0) return Fail("the first run did not publish the window class");

    if (!StartThread(ReadWindowClass, nullptr)) return Fail("cannot start the reading thread");
    int failedRuns = 0;
    for (int run = 0; run < kRuns; ++run) {
        if (tornWrite) {
            char copy[sizeof state.windowClass];
            memcpy(copy, state.windowClass, sizeof copy);
            memcpy(state.windowClass, copy, sizeof copy);
            usleep(1000);
        } else if (ProcessPackage(path.c_str(), WriteNothing, nullptr) != 0) {
            ++failedRuns;
        }
    }
    gStop.store(true, std::memory_order_release);
    while (!gReaderDone.load(std::memory_order_acquire)) usleep(1000);
    unlink(setup.c_str());
    rmdir(folder);

    printf("%d package runs, %ld reads of windowClass by the other thread, %ld wrong\n", kRuns, gReads.load(),
           gWrongReads.load());
    if (failedRuns) return Fail("a package run failed");
    if (gReads.load() == 0) return Fail("the reading thread never read");
    if (gWrongReads.load()) return Fail("the reading thread saw the field empty or half-written");
    return 0;
}
