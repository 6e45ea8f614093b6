// bench_driver: builds a setup from the corpus, then measures, side by side and
// round after round, the bare decoder (A), mksetup test (B), extract (C),
// install (D), xz's decoder (E), and mksetup build against xz -9e (F), with
// peak memory (G). Prints a table and the targets; exit 0 when all hold,
// 1 when one is missed, 2 when the benchmark itself could not run.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "bench.h"
#include "bench_driver.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "Usage: bench_driver --mksetup PATH --decoder PATH --product DIR --stub PATH --work DIR\n"
    "                    [--rounds N] [--build-rounds N] [--xz PATH]\n"
    "\n"
    "Measures the package engine against the bare LZMA decoder and against xz on\n"
    "a setup built from DIR, and judges the figures against the targets.\n"
    "\n"
    "  --rounds N        rounds of A to E, interleaved (default 7)\n"
    "  --build-rounds N  rounds of the two builds of F, interleaved (default 2)\n"
    "\n"
    "Exit status: 0 every target holds, 1 a target is missed, 2 the benchmark\n"
    "could not run.\n";

bool ParseCount(const std::string& text, int* value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 4) return false;
    *value = atoi(text.c_str());
    return *value > 0;
}

int ParseOptions(int argc, char** argv, DriverOptions* options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (i + 1 >= argc) return Usage(arg + " needs a value (or is unknown)");
        std::string value = argv[++i];
        if (arg == "--mksetup") options->mksetup = value;
        else if (arg == "--decoder") options->decoder = value;
        else if (arg == "--product") options->product = value;
        else if (arg == "--stub") options->stub = value;
        else if (arg == "--work") options->work = value;
        else if (arg == "--xz") options->xz = value;
        else if (arg == "--rounds") {
            if (!ParseCount(value, &options->rounds)) return Usage("bad --rounds " + value);
        } else if (arg == "--build-rounds") {
            if (!ParseCount(value, &options->buildRounds)) return Usage("bad --build-rounds " + value);
        } else return Usage("unknown option " + arg);
    }
    for (const std::string* required : {&options->mksetup, &options->decoder, &options->product, &options->stub,
                                        &options->work})
        if (required->empty()) return Usage("--mksetup, --decoder, --product, --stub and --work are required");
    return -1;
}

// Hands the package's raw LZMA stream and its decoded record stream to xz's
// side of the comparison.
bool PrepareStreams(const DriverOptions& options, Workspace* space, std::string* error) {
    space->location = LocatePackage(space->setup);
    if (!space->location.found) {
        *error = space->setup + " holds no package";
        return false;
    }
    const PackageLocation& at = space->location;
    if (!CopyFilePart(space->setup, at.streamOffset, at.compressedSize, space->stream)) {
        *error = "cannot copy the package's stream to " + space->stream;
        return false;
    }
    Command unpack{{options.xz, "--format=raw", "--lzma1=lc=3,lp=0,pb=2,dict=16MiB", "-dc", space->stream},
                   {}, space->records, space->log};
    Measurement m = RunMeasured(unpack);
    std::error_code ec;
    if (!m.started || m.exitCode != 0 || fs::file_size(space->records, ec) != at.unpackedSize) {
        *error = "xz could not decode the package's stream to its " + std::to_string(at.unpackedSize) + " bytes" +
                 LogTail(space->log);
        return false;
    }
    return true;
}

bool Measure(const DriverOptions& options, Workspace* space, Results* results, std::string* error) {
    // The first build makes the setup every other step reads.
    if (!RunBuildRound(options, *space, results, true, error)) return false;
    if (!PrepareStreams(options, space, error)) return false;
    if (!RunXzBuild(options, *space, results, error)) return false;
    WaitForQuietFileSystem(*space);
    for (int round = 1; round <= options.rounds; ++round) {
        std::cerr << "bench: round " << round << " of " << options.rounds << "\n";
        if (!RunDecodeRound(options, *space, round, results, error)) return false;
    }
    for (int round = 2; round <= options.buildRounds; ++round) {
        std::cerr << "bench: build round " << round << " of " << options.buildRounds << "\n";
        if (!RunBuildRound(options, *space, results, false, error) || !RunXzBuild(options, *space, results, error))
            return false;
    }
    return true;
}

}  // namespace

int Usage(const std::string& message) {
    std::cerr << "bench_driver: " << message << "\n" << kUsage;
    return 2;
}

std::string LogTail(const std::string& log) {
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    std::string all = text.str();
    if (all.size() > 2000) all = "..." + all.substr(all.size() - 2000);
    return all.empty() ? "" : ":\n" + all;
}

int main(int argc, char** argv) {
    try {
        DriverOptions options;
        int code = ParseOptions(argc, argv, &options);
        if (code >= 0) return code;
        Workspace space = MakeWorkspace(options.work);
        std::string error;
        Results results;
        bool measured = Measure(options, &space, &results, &error);
        RemoveRoundFolders(space);
        if (!measured) return Fail(error);
        return Report(options, space, results);
    } catch (const std::exception& failure) {
        std::cerr << "bench_driver: " << failure.what() << "\n";
        return 2;
    }
}
