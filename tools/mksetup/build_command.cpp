// mksetup build: packs a product folder into a setup.
#include <stdlib.h>

#include <iostream>

#include "build_checks.h"
#include "build_date.h"
#include "build_inputs.h"
#include "cli.h"
#include "commands.h"
#include "package/record_writer.h"
#include "setup_writer.h"
#include "stub.h"
#include "uninstaller_entries.h"

namespace fs = std::filesystem;

static const char kCommand[] = "build";

static void PrintBuildHelp() {
    std::cout <<
        "Usage: mksetup build SOURCE_DIR -o OUT.exe --code CODE --window-class CLASS\n"
        "                     --main-program NAME [--date YYYY-MM-DD] [--stub STUB.exe]\n"
        "                     [--order LISTFILE] [--level N]\n"
        "                     [--add-uninstaller [--uninstaller-exe PATH]] [--verbose] [-q]\n"
        "\n"
        "Packs every file under SOURCE_DIR into the setup OUT.exe.\n"
        "\n"
        "  -o OUT.exe             the setup to write (replaced only once it is complete)\n"
        "  --code CODE            product code, at most 3 characters; the installer\n"
        "                         remembers the destination folder under it\n"
        "  --window-class CLASS   window class of the product's running windows, which\n"
        "                         the installer closes (at most 31 characters; may be empty)\n"
        "  --main-program NAME    file name of the main program, the target of the\n"
        "                         shortcuts (at most 31 characters)\n"
        "  --date YYYY-MM-DD      the date every installed file gets (not before\n"
        "                         2012-01-01); default: SOURCE_DATE_EPOCH as a UTC date\n"
        "                         when it is set, else today\n"
        "  --stub STUB.exe        the installer program the package is appended to;\n"
        "                         default: the bare Setup.exe of the same build, looked\n"
        "                         for beside mksetup, then in ../share/mksetup/ (an\n"
        "                         installed mksetup), then in ../windows/ next to\n"
        "                         mksetup's build folder (build/windows/Setup.exe)\n"
        "  --order LISTFILE       package order: one path per line, relative to\n"
        "                         SOURCE_DIR ('/' or '\\'), naming every file once;\n"
        "                         default: files under 32\\ and 64\\ first, then the\n"
        "                         rest, each group in byte order of its name\n"
        "  --level N              compression, 0 (quickest, largest) to 9 (smallest,\n"
        "                         the default); every level is reproducible\n"
        "  --add-uninstaller      add our uninstaller: UnInst.exe and the list of\n"
        "                         installed files it reads, UnInst.lst, as top-level\n"
        "                         entries (refused when SOURCE_DIR holds either name\n"
        "                         or FILE_ID.DIZ names no product)\n"
        "  --uninstaller-exe PATH the UnInst.exe to add (for example a signed copy);\n"
        "                         default: the one of the same build, looked for\n"
        "                         where the stub is\n"
        "  --verbose              name every file in a warning, not the first few\n"
        "  -q                     no progress on standard error (warnings still show)\n"
        "\n"
        "Names are stored in Windows-1252 with '\\' between folders. The same inputs\n"
        "give a byte-identical setup. Warnings name files the installer would drop or\n"
        "overwrite, one line per cause and folder. Exit status: 0 built, 1 refused or\n"
        "failed, 2 wrong usage.\n";
}

struct BuildRequest {
    fs::path source, out, stub, order, uninstaller;
    bool hasOrder = false;
    bool addUninstaller = false;
    bool verbose = false;
    SetupPlan plan;
};

static int ReadHeaderTexts(const ParsedArgs& args, SetupPlan* plan) {
    std::string error;
    if (!HeaderText("--code", args.Value("--code"), 3, &plan->productCode, &error) ||
        !HeaderText("--window-class", args.Value("--window-class"), 31, &plan->windowClass, &error) ||
        !HeaderText("--main-program", args.Value("--main-program"), 31, &plan->mainProgram, &error))
        return Failure(kCommand, error);
    return kExitSuccess;
}

static int ReadDate(const ParsedArgs& args, SetupPlan* plan) {
    CalendarDate date;
    std::string error;
    bool usage = false;
    if (!ChoosePackageDate(args.Value("--date"), getenv("SOURCE_DATE_EPOCH"), &date, &error, &usage))
        return usage ? UsageError(kCommand, error) : Failure(kCommand, error);
    plan->dateWord = DateWord(date.year, date.month, date.day);
    return kExitSuccess;
}

// The program given by option, else the one of the same build.
static int FindProgram(const ParsedArgs& args, const std::string& option, const std::string& fileName,
                       fs::path* program) {
    if (args.Has(option)) {
        *program = fs::u8path(args.Value(option));
        return kExitSuccess;
    }
    std::string looked;
    for (const fs::path& candidate : DefaultProgramCandidates(fileName)) {
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec)) {
            *program = candidate;
            return kExitSuccess;
        }
        looked += (looked.empty() ? "" : ", ") + Quoted(candidate.u8string());
    }
    return Failure(kCommand, "no " + fileName + " found (looked for " +
                                 (looked.empty() ? std::string("none") : looked) +
                                 "); build the windows preset or pass " + option + " PATH");
}

static int ParseRequest(const std::vector<std::string>& raw, BuildRequest* request, bool* help) {
    OptionSpec spec{{"-o", "--code", "--window-class", "--main-program", "--date", "--stub", "--order",
                     "--uninstaller-exe", "--level"},
                    {"-q", "--add-uninstaller", "--verbose"}};
    ParsedArgs args;
    std::string error;
    if (!ParseArgs(raw, spec, &args, &error)) return UsageError(kCommand, error);
    *help = args.help;
    if (args.help) return kExitSuccess;
    if (args.positional.size() != 1)
        return UsageError(kCommand, args.positional.empty() ? "SOURCE_DIR is missing" : "only one SOURCE_DIR is taken");
    for (const char* required : {"-o", "--code", "--window-class", "--main-program"})
        if (!args.Has(required)) return UsageError(kCommand, std::string("option ") + required + " is required");
    if (args.Value("-o").empty()) return UsageError(kCommand, "option -o needs a file name");
    request->source = fs::u8path(args.positional[0]);
    request->out = fs::u8path(args.Value("-o"));
    request->hasOrder = args.Has("--order");
    request->order = fs::u8path(args.Value("--order"));
    request->plan.quiet = args.flags.count("-q") != 0;
    request->addUninstaller = args.flags.count("--add-uninstaller") != 0;
    request->verbose = args.flags.count("--verbose") != 0;
    if (args.Has("--level")) {
        std::string level = args.Value("--level");
        if (level.size() != 1 || level[0] < '0' || level[0] > '9')
            return UsageError(kCommand, "--level takes a digit, 0 (quickest) to 9 (smallest), not " + Quoted(level));
        request->plan.level = level[0] - '0';
    }
    if (args.Has("--uninstaller-exe") && !request->addUninstaller)
        return UsageError(kCommand, "option --uninstaller-exe goes with --add-uninstaller");
    int code = ReadHeaderTexts(args, &request->plan);
    if (code == kExitSuccess) code = ReadDate(args, &request->plan);
    if (code == kExitSuccess) code = FindProgram(args, "--stub", "Setup.exe", &request->stub);
    if (code == kExitSuccess && request->addUninstaller)
        code = FindProgram(args, "--uninstaller-exe", "UnInst.exe", &request->uninstaller);
    return code;
}

// A setup built into its own product folder must not swallow its predecessor.
static void LeaveOutOutput(BuildRequest* request) {
    std::vector<PackageEntry>& entries = request->plan.entries;
    for (size_t i = 0; i < entries.size(); ++i) {
        std::error_code ec;
        if (!fs::equivalent(entries[i].source, request->out, ec)) continue;
        Warning(kCommand, Quoted(entries[i].relative) + " is the setup being built; it is left out");
        entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
        return;
    }
}

static int GatherFiles(BuildRequest* request) {
    std::vector<FileWarning> notes;
    std::string error;
    if (!CollectEntries(request->source, &request->plan.entries, &notes, &error)) return Failure(kCommand, error);
    for (const std::string& note : GroupWarnings(notes, request->verbose)) Warning(kCommand, note);
    LeaveOutOutput(request);
    if (request->plan.entries.empty()) return Failure(kCommand, Quoted(request->source.u8string()) + " holds no files");
    SortDefault(&request->plan.entries);
    if (request->hasOrder && !ApplyOrderFile(request->order, &request->plan.entries, &error))
        return Failure(kCommand, error);
    if (request->addUninstaller && !AddUninstaller(request->uninstaller, &request->plan, &error))
        return Failure(kCommand, error);
    for (const std::string& warning :
         PlacementWarnings(request->plan.entries, request->plan.mainProgram, request->verbose))
        Warning(kCommand, warning);
    return kExitSuccess;
}

int BuildCommand(const std::vector<std::string>& raw) {
    BuildRequest request;
    bool help = false;
    int code = ParseRequest(raw, &request, &help);
    if (help) {
        PrintBuildHelp();
        return kExitSuccess;
    }
    if (code != kExitSuccess) return code;
    if ((code = GatherFiles(&request)) != kExitSuccess) return code;
    std::string error;
    if (!LoadStub(request.stub, &request.plan.stub, &error)) return Failure(kCommand, error);
    SetupOutcome outcome;
    if (!WriteSetupFile(request.plan, request.out, &outcome, &error)) return Failure(kCommand, error);
    if (!request.plan.quiet)
        std::cout << request.out.u8string() << ": " << request.plan.entries.size() << " files, " << outcome.unpacked
                  << " bytes unpacked, setup of " << outcome.setupSize << " bytes (package at offset "
                  << outcome.packageOffset << ")\n";
    return kExitSuccess;
}
