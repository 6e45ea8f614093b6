#include "test_support.h"

#include "text_codec.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <system_error>

#include "package/record_writer.h"

namespace fs = std::filesystem;

namespace test {

TempFolder::TempFolder(bool inMemory) {
    const char* base = getenv("TMPDIR");
    if (!base || !*base) base = "/tmp";
    if (inMemory && access("/dev/shm", W_OK | X_OK) == 0) base = "/dev/shm";
    std::string pattern = std::string(base) + "/setup-test-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back(0);
    if (!mkdtemp(buffer.data())) {
        ADD_FAILURE() << "cannot create a temporary folder from " << pattern;
        return;
    }
    path = buffer.data();
}

TempFolder::~TempFolder() {
    if (path.empty()) return;
    std::error_code ignored;
    // Folders left without write or search bits by a test must still go.
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path, ignored);
}

std::u16string TempFolder::U16() const { return test::U16(path); }
std::u16string TempFolder::U16(const std::string& name) const { return test::U16(Join(name)); }

std::u16string U16(const std::string& utf8) { return Utf8ToUtf16(utf8); }

std::string Utf8(const std::u16string& text) { return Utf16ToUtf8(text); }

std::string Utf8(const char16_t* text) { return Utf8(std::u16string(text ? text : u"")); }

bool ReadWholeFile(const std::string& path, std::string* contents) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    *contents = buffer.str();
    return !in.bad();
}

std::string FileText(const std::string& path) {
    std::string contents;
    return ReadWholeFile(path, &contents) ? contents : std::string("<unreadable>");
}

bool WriteWholeFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    out.close();
    return !out.fail();
}

bool MakeFolders(const std::string& path) {
    std::error_code error;
    fs::create_directories(path, error);
    return !error && fs::is_directory(path, error);
}

bool PathExists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

uint64_t FileModificationTime(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return 0;
    const int64_t kUnixEpochIn1601Seconds = 11644473600LL;
    int64_t seconds = static_cast<int64_t>(st.st_mtim.tv_sec) + kUnixEpochIn1601Seconds;
    return static_cast<uint64_t>(seconds) * 10000000u + static_cast<uint64_t>(st.st_mtim.tv_nsec / 100);
}

ScopedTimeZone::ScopedTimeZone(const char* zone) {
    const char* old = getenv("TZ");
    hadValue = old != nullptr;
    if (old) oldValue = old;
    setenv("TZ", zone, 1);
    tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
    if (hadValue) setenv("TZ", oldValue.c_str(), 1);
    else unsetenv("TZ");
    tzset();
}

// ----- Packages -------------------------------------------------------------

static bool AppendToVector(const uint8_t* bytes, uint32_t n, void* context) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    out->insert(out->end(), bytes, bytes + n);
    return true;
}

uint32_t ExpectedChecksum(const PackagePlan& plan) {
    uint32_t sum = 0;
    for (size_t i = 0; i < plan.files.size(); ++i) {
        const PackageFile& file = plan.files[i];
        int32_t first = file.name.empty() ? 0 : static_cast<int8_t>(file.name[0]);
        for (unsigned char b : file.bytes) sum += static_cast<uint32_t>(first + static_cast<int32_t>(i + 1) + 10 + b);
    }
    return sum;
}

std::vector<uint8_t> MakeRecordStream(const PackagePlan& plan) {
    std::vector<uint8_t> stream;
    RecordWriter writer;
    InitRecordWriter(&writer, AppendToVector, &stream);
    uint32_t checksum = plan.computeChecksum ? ExpectedChecksum(plan) : plan.storedChecksum;
    WritePackageHeader(&writer, checksum, plan.productCode.c_str(), plan.windowClass.c_str(),
                       plan.mainProgram.c_str(), plan.dateWord);
    for (const PackageFile& file : plan.files) {
        BeginFileRecord(&writer, file.name.c_str(), static_cast<uint32_t>(file.bytes.size()));
        WriteFileBytes(&writer, reinterpret_cast<const uint8_t*>(file.bytes.data()),
                       static_cast<uint32_t>(file.bytes.size()));
    }
    if (FinishRecordWriter(&writer) != kWriterOk) {
        ADD_FAILURE() << "the package writer refused the test package: " << RecordWriterError(&writer);
        return {};
    }
    return stream;
}

int32_t RecordingCallback(char16_t* name, const uint8_t* data, uint32_t length, void* context) {
    Recorder* recorder = static_cast<Recorder*>(context);
    CallbackEvent event{data != nullptr, std::u16string(name), length,
                        data ? std::string(reinterpret_cast<const char*>(data), length) : std::string()};
    // A rewritten name points into the run's own folder: keep the events free of it.
    const std::u16string prefix = U16(recorder->folder + "/");
    if (!recorder->folder.empty() && event.name.compare(0, prefix.size(), prefix) == 0)
        event.name = u"<folder>/" + event.name.substr(prefix.size());
    recorder->events.push_back(event);
    if (data || recorder->folder.empty()) return 0;
    if (recorder->emptyName) {
        name[0] = 0;
        return 1;
    }
    auto found = recorder->outputs.find(event.name);
    if (found == recorder->outputs.end()) {
        std::string path = recorder->folder + "/out" + std::to_string(recorder->nextOutput++);
        found = recorder->outputs.emplace(event.name, path).first;
    }
    std::u16string target = U16(found->second);
    target.resize(std::min<size_t>(target.size(), kNameCapacity - 1));
    std::copy(target.begin(), target.end(), name);
    name[target.size()] = 0;
    return 1;
}

ParseOutcome ParseInChunks(const std::vector<uint8_t>& stream, const std::vector<uint32_t>& cuts,
                           Recorder* recorder) {
    std::unique_ptr<ExtractionContext> owner(new ExtractionContext);
    ExtractionContext* context = owner.get();
    InitExtractionContext(context, RecordingCallback, recorder);
    ParseOutcome outcome;
    uint32_t start = 0;
    std::vector<uint32_t> ends(cuts);
    const uint32_t size = static_cast<uint32_t>(stream.size());
    ends.push_back(size);
    for (uint32_t end : ends) {
        end = std::min(std::max(end, start), size);
        // Each chunk in a heap block of exactly its size, so that the
        // sanitizers catch a read past its end.
        std::unique_ptr<uint8_t[]> chunk(new uint8_t[end - start]);
        std::copy(stream.begin() + start, stream.begin() + end, chunk.get());
        int32_t answer = ParsePackageChunk(chunk.get(), end - start, context);
        outcome.answers.push_back(answer);
        start = end;
        if (answer == 1) {
            outcome.stopped = true;
            break;
        }
    }
    outcome.onBoundary = ExtractionEndedOnRecordBoundary(context);
    FinishExtraction(context);
    outcome.error = context->error;
    outcome.checksum = context->checksum;
    outcome.storedChecksum = context->storedChecksum;
    outcome.productCode = context->productCode;
    outcome.windowClass = context->windowClass;
    outcome.headerMainProgram = context->headerMainProgram;
    outcome.fileTime = context->fileTime;
    outcome.fileIndex = context->fileIndex;
    return outcome;
}

}  // namespace test
