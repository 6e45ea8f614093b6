// mksetup test: decodes the whole package as the installer does and verifies it.
#include <iostream>

#include "cli.h"
#include "commands.h"
#include "package/package_run.h"
#include "package_reading.h"
#include "progress.h"
#include "text_codec.h"

static const char kCommand[] = "test";

static void PrintTestHelp() {
    std::cout << "Usage: mksetup test FILE [-q]\n"
                 "\n"
                 "Decodes the whole package of the setup FILE, as the installer does, without\n"
                 "writing any file, and verifies its checksum. Prints the result code and its\n"
                 "meaning: 0 sound, a negative code for a damaged package, a positive system\n"
                 "error code when the file cannot be read.\n"
                 "\n"
                 "  -q   no progress on standard error\n"
                 "\n"
                 "Exit status: 0 only for a sound package, 1 otherwise, 2 wrong usage.\n";
}

namespace {

struct TestRun {
    Progress progress;
    uint64_t started = 0;
};

int32_t CountFile(char16_t*, const uint8_t* data, uint32_t length, void* context) {
    if (data) return 0;
    TestRun* run = static_cast<TestRun*>(context);
    UpdateProgress(&run->progress, run->started);
    run->started += length;
    return 0;
}

}  // namespace

int TestCommand(const std::vector<std::string>& raw) {
    ParsedArgs args;
    std::string error;
    if (!ParseArgs(raw, OptionSpec{{}, {"-q"}}, &args, &error)) return UsageError(kCommand, error);
    if (args.help) {
        PrintTestHelp();
        return kExitSuccess;
    }
    if (args.positional.size() != 1)
        return UsageError(kCommand, args.positional.empty() ? "FILE is missing" : "only one FILE is taken");
    const std::string& path = args.positional[0];
    PackageGlance glance = GlancePackage(path);
    TestRun run;
    StartProgress(&run.progress, "testing", glance.unpacked, args.flags.count("-q") != 0);
    ExtractionContext extraction;
    uint32_t streamCode = 0;
    std::u16string wide = Utf8ToUtf16(path);
    int32_t result = RunPackage(wide.c_str(), &extraction, CountFile, &run, &streamCode);
    EndProgress(&run.progress);
    std::string meaning = ResultMeaning(result, glance, extraction, streamCode);
    std::cout << path << ": result " << result << ": " << meaning;
    if (result == 0) std::cout << " (" << extraction.fileIndex << " files, " << run.started << " bytes)";
    std::cout << "\n";
    return result == 0 ? kExitSuccess : kExitFailed;
}
