// The measured steps. Every round extracts and installs into folders of its
// own, and all of them are removed only after the last round: ext4 searches
// past recently deleted inodes when it allocates new ones, so deleting
// thousands of files right before a step would slow that step's file creation
// several times over, a cost no real installation pays (on a file system
// without a journal, for a minute after the deletion has reached the disk).
// The time of the last mass deletion is kept beside the work folder, and the
// rounds wait until it lies far enough back. Dirty pages are flushed before
// each step, so no step pays for the writes of the one before.
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "bench_driver.h"

namespace fs = std::filesystem;

namespace {

const char kLzmaRaw[] = "--lzma1=lc=3,lp=0,pb=2,dict=16MiB";

constexpr int64_t kDeletionQuietSeconds = 65;

void Reset(const std::string& path) {
    std::error_code ec;
    fs::remove_all(path, ec);
}

int64_t WallClockSeconds() { return static_cast<int64_t>(time(nullptr)); }

// Removes a folder of many files and notes when, so the rounds can wait.
void RemoveMany(const Workspace& space, const std::string& folder) {
    std::error_code ec;
    if (!fs::exists(folder, ec)) return;
    Reset(folder);
    sync();
    std::ofstream(space.deletionStamp) << WallClockSeconds() << "\n";
}

bool Measure(const Command& command, const std::string& what, StepFigures* figures, std::string* error) {
    sync();
    Measurement m = RunMeasured(command);
    if (!m.started) {
        *error = what + ": cannot run " + command.args[0];
        return false;
    }
    if (m.exitCode != 0) {
        *error = what + " failed with exit status " + std::to_string(m.exitCode) + LogTail(command.stderrPath);
        return false;
    }
    figures->wallSeconds.push_back(m.wallSeconds);
    figures->cpuSeconds.push_back(m.cpuSeconds);
    if (m.peakKiB > figures->peakKiB) figures->peakKiB = m.peakKiB;
    return true;
}

std::string RoundFolder(const Workspace& space, int round) { return space.rounds + "/" + std::to_string(round); }

std::vector<std::string> InstallEnvironment(const std::string& folder) {
    const std::string shell = folder + "/shell";
    return {"SETUP_REGISTRY=" + folder + "/registry.txt",
            "SETUP_WINDOWS_DIR=" + shell + "/windows",
            "SETUP_FOLDER_DESKTOP=" + shell + "/desktop",
            "SETUP_FOLDER_PROGRAMS=" + shell + "/programs",
            "SETUP_FOLDER_COMMON_PROGRAMS=" + shell + "/common-programs",
            "SETUP_FOLDER_APPDATA=" + shell + "/appdata"};
}

void MakeShellFolders(const std::string& folder) {
    std::error_code ec;
    for (const char* name : {"windows", "desktop", "programs", "common-programs", "appdata"})
        fs::create_directories(folder + "/shell/" + name, ec);
}

}  // namespace

Workspace MakeWorkspace(const std::string& folder) {
    Workspace space;
    space.folder = fs::absolute(folder).string();
    space.deletionStamp = space.folder + ".deleted";
    space.rounds = space.folder + "/rounds";
    RemoveMany(space, space.rounds);  // left by a run that was killed
    Reset(space.folder);
    fs::create_directories(space.folder);
    const std::string& f = space.folder;
    space.setup = f + "/setup.exe";
    space.rebuild = f + "/rebuild.exe";
    space.stream = f + "/package.lzma";
    space.records = f + "/records.bin";
    space.xzOutput = f + "/records.xz-9e.lzma";
    space.log = f + "/step.log";
    return space;
}

bool RunBuildRound(const DriverOptions& options, const Workspace& space, Results* results, bool first,
                   std::string* error) {
    const std::string& out = first ? space.setup : space.rebuild;
    Command build{{options.mksetup, "build", options.product, "-o", out, "--code", "BEN", "--window-class",
                   "BenchWindow", "--main-program", "BenchMain.exe", "--date", "2024-06-01", "--stub", options.stub,
                   "-q"},
                  {}, "/dev/null", space.log};
    if (!Measure(build, "mksetup build", &results->build, error)) return false;
    if (!first && !SameFileContents(space.setup, space.rebuild)) results->rebuildsIdentical = false;
    std::error_code ec;
    if (first) results->buildSize = fs::file_size(space.setup, ec);
    return true;
}

bool RunXzBuild(const DriverOptions& options, const Workspace& space, Results* results, std::string* error) {
    Command build{{options.xz, "--format=raw", "--lzma1=preset=9e,dict=16MiB", "-c", space.records},
                  {}, space.xzOutput, space.log};
    if (!Measure(build, "xz -9e", &results->xzBuild, error)) return false;
    std::error_code ec;
    results->xzBuildSize = fs::file_size(space.xzOutput, ec);
    return true;
}

// The five steps of one round start at a different one each round, so that no
// step always follows the same neighbour (and its after-effects).
bool RunDecodeRound(const DriverOptions& options, const Workspace& space, int round, Results* results,
                    std::string* error) {
    std::string folder = RoundFolder(space, round);
    MakeShellFolders(folder);
    const struct {
        Command command;
        const char* what;
        StepFigures* figures;
    } steps[] = {
        {{{options.decoder, space.setup}, {}, "/dev/null", space.log}, "bare decode", &results->decode},
        {{{options.mksetup, "test", space.setup, "-q"}, {}, "/dev/null", space.log}, "mksetup test", &results->test},
        {{{options.mksetup, "extract", space.setup, "-o", folder + "/extracted", "-q"}, {}, "/dev/null", space.log},
         "mksetup extract",
         &results->extract},
        {{{options.mksetup, "install", space.setup, "--dest", folder + "/installed", "--languages", "US,DE,FR,IT,ES",
           "--start-menu", "--desktop", "--quick-launch"},
          InstallEnvironment(folder),
          "/dev/null",
          space.log},
         "mksetup install",
         &results->install},
        {{{options.xz, "--format=raw", kLzmaRaw, "-dc", space.stream}, {}, "/dev/null", space.log}, "xz -dc",
         &results->xzDecode},
    };
    const int count = static_cast<int>(sizeof steps / sizeof steps[0]);
    for (int k = 0; k < count; ++k) {
        const auto& step = steps[(round - 1 + k) % count];
        if (!Measure(step.command, step.what, step.figures, error)) return false;
    }
    return true;
}

void RemoveRoundFolders(const Workspace& space) { RemoveMany(space, space.rounds); }

void WaitForQuietFileSystem(const Workspace& space) {
    int64_t deleted = 0;
    std::ifstream(space.deletionStamp) >> deleted;
    int64_t wait = deleted + kDeletionQuietSeconds - WallClockSeconds();
    if (wait <= 0 || wait > kDeletionQuietSeconds) return;
    std::cerr << "bench: waiting " << wait << " s: files deleted less than a minute ago slow down the creation of new\n"
              << "bench: files on this file system, and that is no cost of ours\n";
    sleep(static_cast<unsigned>(wait));
}

int Fail(const std::string& message) {
    std::cerr << "bench_driver: " << message << "\n";
    return 2;
}
