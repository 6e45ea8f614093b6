// The driver's own records, shared by its steps and its report.
#pragma once
#include <string>
#include <vector>

#include "bench.h"

struct DriverOptions {
    std::string mksetup, decoder, product, stub, work;
    std::string xz = "xz";
    int rounds = 7;
    int buildRounds = 2;
};

// Every path the driver writes, all below one work folder.
struct Workspace {
    std::string folder, setup, rebuild, stream, records, xzOutput, rounds, log;
    std::string deletionStamp;  // when many files were last deleted here
    PackageLocation location;
};

struct Results {
    StepFigures decode{"A bare decode (LZMA SDK alone)", {}, {}, 0};
    StepFigures test{"B mksetup test", {}, {}, 0};
    StepFigures extract{"C mksetup extract", {}, {}, 0};
    StepFigures install{"D mksetup install", {}, {}, 0};
    StepFigures xzDecode{"E xz -dc", {}, {}, 0};
    StepFigures build{"F mksetup build", {}, {}, 0};
    StepFigures xzBuild{"F xz -9e", {}, {}, 0};
    uint64_t buildSize = 0, xzBuildSize = 0;
    bool rebuildsIdentical = true;
};

Workspace MakeWorkspace(const std::string& folder);
// One timed mksetup build; the first writes the setup the other steps read,
// later ones must reproduce it byte for byte.
bool RunBuildRound(const DriverOptions& options, const Workspace& space, Results* results, bool first,
                   std::string* error);
bool RunXzBuild(const DriverOptions& options, const Workspace& space, Results* results, std::string* error);
// A, B, C, D and E once each, in that order; C and D write below the round's own folder.
bool RunDecodeRound(const DriverOptions& options, const Workspace& space, int round, Results* results,
                    std::string* error);
// The extractions and installations of every round.
void RemoveRoundFolders(const Workspace& space);
// Sleeps while a mass deletion of ours is recent enough to slow file creation.
void WaitForQuietFileSystem(const Workspace& space);
// Prints the table and the targets; answers the exit status.
int Report(const DriverOptions& options, const Workspace& space, const Results& results);

int Usage(const std::string& message);
int Fail(const std::string& message);
// The end of a command's log, for the error message.
std::string LogTail(const std::string& log);
