// The record parser on arbitrary decoded bytes, cut into chunks where the
// fuzzer says, with a callback that has every file written into a scratch
// folder. Each input is parsed twice, whole and in chunks; apart from records
// too long for the pending buffer, both runs must make the same calls, find
// the same checksum and header and leave the same files. The whole run's
// checksum and file count must also match a walk of the stream done here by
// the format's own description.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "common/text.h"
#include "fuzz_support.h"
#include "package/format.h"
#include "package/record_stream.h"

namespace {

// How the callback answers the start call of the file with ordinal i: bit i % 8
// of each mask picks an answer, checked in this order.
struct Answers {
    uint8_t skip;       // answer 0
    uint8_t emptyName;  // answer 1 with the name emptied
    uint8_t cannotOpen; // a path below a folder that does not exist (error 3)
};

struct Event {
    bool preview;
    std::u16string name;
    uint32_t length;
    std::string data;
    bool operator==(const Event& o) const {
        return preview == o.preview && name == o.name && length == o.length && data == o.data;
    }
};

struct Run {
    std::string folder;
    Answers answers;
    std::vector<Event> events;
    uint32_t starts = 0;
    uint32_t currentSize = 0;
    bool previewSeen = false;
};

int32_t Callback(char16_t* name, const uint8_t* data, uint32_t length, void* context) {
    Run* run = static_cast<Run*>(context);
    int32_t nameLength = TextLength(name);
    fuzz::Check(nameLength < static_cast<int32_t>(kNameCapacity), "the name is not terminated in its buffer");
    // A preview names the path the start call gave: the run's own folder is left out.
    std::u16string shown(name, static_cast<size_t>(nameLength));
    std::u16string folder = fuzz::U16(run->folder);
    if (shown.compare(0, folder.size(), folder) == 0) shown.replace(0, folder.size(), u"<folder>");
    run->events.push_back({data != nullptr, shown, length,
                           data ? std::string(reinterpret_cast<const char*>(data), length) : std::string()});
    if (data) {
        uint32_t expected = run->currentSize < kPreviewCapacity ? run->currentSize : kPreviewCapacity;
        fuzz::Check(length == expected, "a preview of other than min(1024, size) bytes");
        fuzz::Check(!run->previewSeen, "a second preview of one file");
        run->previewSeen = true;
        return 0;
    }
    run->starts += 1;
    run->currentSize = length;
    run->previewSeen = false;
    uint32_t bit = 1u << (run->starts % 8);
    if (run->answers.skip & bit) return 0;
    if (run->answers.emptyName & bit) {
        name[0] = 0;
        return 1;
    }
    std::string target = run->folder + ((run->answers.cannotOpen & bit) ? "/missing/x" : "/f" + std::to_string(run->starts % 4));
    std::u16string wide = fuzz::U16(target);
    memcpy(name, wide.c_str(), (wide.size() + 1) * sizeof(char16_t));
    return 1;
}

// The stream walked apart from the parser, by the format's own description:
// the checksum of every file byte present, the number of file records, and
// whether a file record is longer than 1024 bytes (a name of 1020 to 1025
// stored characters), the one documented case in which a chunk boundary that
// splits the record changes the outcome, since it cannot wait in `pending`.
struct StreamFacts {
    uint32_t checksum = 0;
    uint32_t files = 0;
    bool recordBeyondPending = false;
};

StreamFacts Walk(const std::vector<uint8_t>& stream) {
    StreamFacts facts;
    size_t pos = 4;
    // A string of a field of N bytes ends within its first N + 2 bytes, or never.
    for (size_t field : {4u, 32u, 32u}) {
        size_t end = pos;
        while (end < stream.size() && end - pos <= field && stream[end] != 0) ++end;
        if (end >= stream.size() || stream[end] != 0) return facts;  // the header never completes
        pos = end + 1;
    }
    pos += 4;
    while (pos + 4 <= stream.size()) {
        size_t end = pos + 4;
        while (end < stream.size() && end - pos - 4 <= kNameCapacity && stream[end] != 0) ++end;
        if (end >= stream.size() || stream[end] != 0) return facts;  // never completes either way
        if (end + 1 - pos > kPendingCapacity) facts.recordBeyondPending = true;
        facts.files += 1;
        // The first character of the name, unscrambled, as a signed byte (0 for an empty name).
        int32_t first = end > pos + 4 ? static_cast<int8_t>(static_cast<uint8_t>(stream[pos + 4] - kStringShift)) : 0;
        uint64_t size = ReadStoredNumber(&stream[pos]);
        pos = end + 1;
        size_t present = size < stream.size() - pos ? static_cast<size_t>(size) : stream.size() - pos;
        for (size_t k = 0; k < present; ++k)
            facts.checksum += static_cast<uint32_t>(first) + facts.files + kChecksumOrdinalBias +
                              static_cast<uint8_t>(stream[pos + k] + kByteShift);
        pos += present;
    }
    return facts;
}

struct Outcome {
    uint32_t error, checksum, storedChecksum, fileIndex;
    uint64_t fileTime;
    bool onBoundary, stopped;
    std::string productCode, windowClass, headerMainProgram;
};

// Each chunk in a buffer of exactly its size, so a read past its end is caught.
Outcome Parse(const std::vector<uint8_t>& stream, const std::vector<size_t>& lengths, Run* run) {
    ExtractionContext context;
    InitExtractionContext(&context, Callback, run);
    Outcome outcome{};
    size_t at = 0;
    for (size_t k = 0; at < stream.size() || k < lengths.size(); ++k) {
        size_t n = k < lengths.size() ? lengths[k] : stream.size() - at;
        if (n > stream.size() - at) n = stream.size() - at;
        uint8_t* chunk = static_cast<uint8_t*>(malloc(n ? n : 1));
        if (n) memcpy(chunk, stream.data() + at, n);
        at += n;
        int32_t answer = ParsePackageChunk(chunk, static_cast<uint32_t>(n), &context);
        free(chunk);
        fuzz::Check(answer == 0 || answer == 1, "the parser answered other than 0 or 1");
        fuzz::Check(context.pendingLength <= kPendingCapacity, "pending beyond its buffer");
        // An error stops the run at the next check, which may come a chunk later.
        fuzz::Check(answer == 0 || context.error != 0, "a stop without an error");
        if (answer == 1) {
            outcome.stopped = true;
            break;
        }
    }
    outcome.onBoundary = ExtractionEndedOnRecordBoundary(&context);
    FinishExtraction(&context);
    fuzz::Check(context.output == kInvalidDiskFile, "an output file left open");
    outcome.error = context.error;
    outcome.checksum = context.checksum;
    outcome.storedChecksum = context.storedChecksum;
    outcome.fileIndex = context.fileIndex;
    outcome.fileTime = context.fileTime;
    fuzz::Check(memchr(context.productCode, 0, sizeof context.productCode) != nullptr, "product code unterminated");
    fuzz::Check(memchr(context.windowClass, 0, sizeof context.windowClass) != nullptr, "window class unterminated");
    fuzz::Check(memchr(context.headerMainProgram, 0, sizeof context.headerMainProgram) != nullptr,
                "main program unterminated");
    outcome.productCode = context.productCode;
    outcome.windowClass = context.windowClass;
    outcome.headerMainProgram = context.headerMainProgram;
    return outcome;
}

// What the two runs did, for the report of a finding.
void Dump(const char* title, const Run& run, const Outcome& outcome) {
    fprintf(stderr, "%s: error %u, %zu calls\n", title, outcome.error, run.events.size());
    for (const Event& e : run.events)
        fprintf(stderr, "  %s %s (%u, name of %zu)\n", e.preview ? "preview" : "start  ",
                fuzz::Utf8(e.name).substr(0, 40).c_str(), e.length, e.name.size());
}

void CompareFiles(const std::string& a, const std::string& b) {
    std::vector<std::string> names = fuzz::FolderEntries(a);
    fuzz::Check(names == fuzz::FolderEntries(b), "the two runs left different files");
    for (const std::string& name : names) {
        std::string left, right;
        fuzz::ReadWholeFile(a + "/" + name, &left);
        fuzz::ReadWholeFile(b + "/" + name, &right);
        fuzz::Check(left == right, "the two runs wrote different bytes");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Three answer masks, the number of cuts and each chunk's length (two
    // bytes), then the decoded stream.
    fuzz::Reader in(data, size);
    Answers answers{in.Byte(), in.Byte(), in.Byte()};
    std::vector<size_t> lengths(in.Below(25));
    for (size_t& length : lengths) length = in.Below(2101);
    std::vector<uint8_t> stream = in.Rest();

    Run whole{fuzz::FreshFolder("whole"), answers, {}};
    Outcome reference = Parse(stream, {}, &whole);
    Run chunked{fuzz::FreshFolder("chunked"), answers, {}};
    Outcome outcome = Parse(stream, lengths, &chunked);
    StreamFacts facts = Walk(stream);
    if (reference.error == 0) {
        if (reference.checksum != facts.checksum || reference.fileIndex != facts.files) {
            fprintf(stderr, "parser: checksum %u, %u files; the stream: checksum %u, %u files\n", reference.checksum,
                    reference.fileIndex, facts.checksum, facts.files);
            Dump("whole", whole, reference);
        }
        fuzz::Check(reference.checksum == facts.checksum, "the checksum differs from the format's own sum");
        fuzz::Check(reference.fileIndex == facts.files, "the file count differs from the records in the stream");
    }
    if (facts.recordBeyondPending) return 0;

    bool prefix = chunked.events.size() >= whole.events.size() &&
                  std::equal(whole.events.begin(), whole.events.end(), chunked.events.begin());
    if (reference.error != outcome.error || !prefix) {
        Dump("whole", whole, reference);
        Dump("in chunks", chunked, outcome);
    }
    fuzz::Check(reference.error == outcome.error, "the chunking changed the error");
    fuzz::Check(prefix, "the chunking changed the callback calls");
    if (reference.error != 0) return 0;
    fuzz::Check(whole.events.size() == chunked.events.size(), "the chunking added callback calls");
    fuzz::Check(reference.checksum == outcome.checksum && reference.storedChecksum == outcome.storedChecksum,
                "the chunking changed the checksum");
    fuzz::Check(reference.fileIndex == outcome.fileIndex && reference.onBoundary == outcome.onBoundary,
                "the chunking changed where the stream ended");
    fuzz::Check(reference.productCode == outcome.productCode && reference.windowClass == outcome.windowClass &&
                    reference.headerMainProgram == outcome.headerMainProgram && reference.fileTime == outcome.fileTime,
                "the chunking changed the header");
    CompareFiles(whole.folder, chunked.folder);
    return 0;
}
