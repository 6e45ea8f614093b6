// Shared helpers of the unit tests: temporary folders, whole-file reads and
// writes, UTF-16 conversions, record streams made with the package writer and a
// parser run that feeds such a stream in chunks cut where a test says.
#pragma once
#include <stdint.h>

#include <map>
#include <string>
#include <vector>

#include "package/record_stream.h"

namespace test {

// A fresh folder under $TMPDIR (or /tmp), removed with everything in it when
// the object goes. Paths are native UTF-8 strings; U16() gives the same path as
// the core takes it.
struct TempFolder {
    // inMemory: under /dev/shm when it can be used, for tests that create and
    // replace thousands of small files (ext4 flushes each replaced file).
    explicit TempFolder(bool inMemory = false);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path; }
    std::string Join(const std::string& name) const { return path + "/" + name; }
    std::u16string U16() const;
    std::u16string U16(const std::string& name) const;

    std::string path;
};

std::u16string U16(const std::string& utf8);
std::string Utf8(const std::u16string& text);
std::string Utf8(const char16_t* text);

// Whole contents of a file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string* contents);
// Contents of a file, or "<unreadable>" so a comparison fails visibly.
std::string FileText(const std::string& path);
// Creates or replaces a file; false on failure.
bool WriteWholeFile(const std::string& path, const std::string& contents);
bool MakeFolders(const std::string& path);  // like mkdir -p
bool PathExists(const std::string& path);
bool IsFolder(const std::string& path);
// Last-modification time as a file time (100 ns units since 1601), 0 when missing.
uint64_t FileModificationTime(const std::string& path);

// Sets TZ for the lifetime of the object (and tzset), restoring the old value.
struct ScopedTimeZone {
    explicit ScopedTimeZone(const char* zone);
    ~ScopedTimeZone();
    bool hadValue;
    std::string oldValue;
};

// ----- Packages -------------------------------------------------------------

struct PackageFile {
    std::string name;   // ANSI bytes as stored
    std::string bytes;  // plain contents
};

struct PackagePlan {
    std::string productCode;
    std::string windowClass;
    std::string mainProgram;
    uint32_t dateWord = 32;
    bool computeChecksum = true;  // false: storedChecksum is written as given
    uint32_t storedChecksum = 0;
    std::vector<PackageFile> files;
};

// The decoded record stream the writer makes for plan. A writer refusal fails
// the current test and answers an empty stream.
std::vector<uint8_t> MakeRecordStream(const PackagePlan& plan);
// The checksum of the files of plan, taken independently of the writer.
uint32_t ExpectedChecksum(const PackagePlan& plan);

// One callback call as the parser made it.
struct CallbackEvent {
    bool preview;          // false: start call
    std::u16string name;   // name as offered; a path into the recorder's folder starts "<folder>/"
    uint32_t length;
    std::string data;      // preview bytes
    bool operator==(const CallbackEvent& o) const {
        return preview == o.preview && name == o.name && length == o.length && data == o.data;
    }
};

// A callback that records every call and has each file written into a folder,
// under a short name of its own (so that names of any length and any bytes can
// be extracted): equal stored names give the same output file.
struct Recorder {
    std::string folder;     // empty: nothing is written (answer 0)
    bool emptyName = false; // answer 1 but empty the name (skip without error)
    std::vector<CallbackEvent> events;
    std::map<std::u16string, std::string> outputs;  // stored name -> file path; preset ones win
    int nextOutput = 0;                              // new names get out0, out1, ... in order
};
int32_t RecordingCallback(char16_t* name, const uint8_t* data, uint32_t length, void* context);

struct ParseOutcome {
    std::vector<int32_t> answers;  // ParsePackageChunk's answers, chunk by chunk
    bool stopped = false;          // an answer was 1 (no further chunk is fed)
    uint32_t error = 0;
    uint32_t checksum = 0;
    uint32_t storedChecksum = 0;
    bool onBoundary = false;
    std::string productCode, windowClass, headerMainProgram;
    uint64_t fileTime = 0;
    uint32_t fileIndex = 0;
};

// Feeds a copy of stream to the parser, cut at the given ascending positions
// (a cut past the end or before the previous one makes an empty chunk),
// stopping like the decoder does when the parser answers 1; then finishes the run.
ParseOutcome ParseInChunks(const std::vector<uint8_t>& stream, const std::vector<uint32_t>& cuts,
                           Recorder* recorder);

}  // namespace test
