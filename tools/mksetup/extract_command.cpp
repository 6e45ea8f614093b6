// mksetup extract: every file of the package below one folder, with its folders.
#include <string.h>

#include <filesystem>
#include <iostream>
#include <system_error>

#include "cli.h"
#include "commands.h"
#include "extract_names.h"
#include "package/package_run.h"
#include "package_reading.h"
#include "progress.h"
#include "text_codec.h"

namespace fs = std::filesystem;

static const char kCommand[] = "extract";

static void PrintExtractHelp() {
    std::cout << "Usage: mksetup extract FILE -o DIR [-q]\n"
                 "\n"
                 "Writes every file of the setup FILE's package below DIR (created when\n"
                 "missing), keeping its folders ('\\' becomes '/'), with the package date at\n"
                 "noon local time as its file times. Nothing is written outside DIR: a name\n"
                 "with a '..' part, an absolute name or a drive letter is refused with a\n"
                 "message naming the entry, and the run then fails at its end; so is a name\n"
                 "Windows would not store as itself (a device name such as CON, a stream, a\n"
                 "trailing dot or space, a character Windows forbids). The checksum\n"
                 "is verified; files of a damaged package stay as far as they were written.\n"
                 "\n"
                 "  -o DIR   the folder to extract into\n"
                 "  -q       no progress or summary\n"
                 "\n"
                 "Exit status: 0 every file extracted from a sound package, 1 otherwise,\n"
                 "2 wrong usage.\n";
}

namespace {

struct Extraction {
    fs::path folder;
    Progress progress;
    uint64_t started = 0, files = 0;
    size_t refused = 0;
    std::string current;  // the last target, named when the run fails
};

void Refuse(Extraction* run, const std::u16string& stored, const std::string& why) {
    run->refused += 1;
    std::cerr << "mksetup extract: refused " << Quoted(Utf16ToUtf8(stored)) << ": " << why << "\n";
}

// An existing symbolic link below the folder could carry a file elsewhere.
bool ThroughLink(const fs::path& folder, const std::vector<std::u16string>& parts) {
    fs::path at = folder;
    for (const std::u16string& part : parts) {
        at /= fs::u8path(Utf16ToUtf8(part));
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(at, ec))) return true;
    }
    return false;
}

int32_t PlaceEntry(char16_t* name, const uint8_t* data, uint32_t length, void* context) {
    if (data) return 0;
    Extraction* run = static_cast<Extraction*>(context);
    UpdateProgress(&run->progress, run->started);
    run->started += length;
    std::u16string stored(name);
    name[0] = 0;
    std::vector<std::u16string> parts;
    std::string why;
    if (!SafeEntryParts(stored, &parts, &why)) {
        Refuse(run, stored, why + " would be written outside " + Quoted(run->folder.u8string()));
        return 0;
    }
    if (ThroughLink(run->folder, parts)) {
        Refuse(run, stored, "a symbolic link below " + Quoted(run->folder.u8string()) + " stands in its way");
        return 0;
    }
    fs::path target = EntryTarget(run->folder, parts);
    std::u16string wide = Utf8ToUtf16(target.u8string());
    if (wide.size() >= kNameCapacity) {
        Refuse(run, stored, "the path below the folder is too long");
        return 0;
    }
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);  // a failure shows when the file is created
    memcpy(name, wide.c_str(), (wide.size() + 1) * sizeof(char16_t));
    run->current = target.u8string();
    run->files += 1;
    return 1;
}

}  // namespace

int ExtractCommand(const std::vector<std::string>& raw) {
    ParsedArgs args;
    std::string error;
    if (!ParseArgs(raw, OptionSpec{{"-o"}, {"-q"}}, &args, &error)) return UsageError(kCommand, error);
    if (args.help) {
        PrintExtractHelp();
        return kExitSuccess;
    }
    if (args.positional.size() != 1)
        return UsageError(kCommand, args.positional.empty() ? "FILE is missing" : "only one FILE is taken");
    if (args.Value("-o").empty()) return UsageError(kCommand, "option -o DIR is required");
    bool quiet = args.flags.count("-q") != 0;
    const std::string& path = args.positional[0];
    Extraction run;
    run.folder = fs::u8path(args.Value("-o"));
    std::error_code ec;
    fs::create_directories(run.folder, ec);
    if (!fs::is_directory(run.folder, ec))
        return Failure(kCommand, "cannot make the folder " + Quoted(run.folder.u8string()));
    PackageGlance glance = GlancePackage(path);
    StartProgress(&run.progress, "extracting", glance.unpacked, quiet);
    ExtractionContext extraction;
    uint32_t streamCode = 0;
    std::u16string wide = Utf8ToUtf16(path);
    int32_t result = RunPackage(wide.c_str(), &extraction, PlaceEntry, &run, &streamCode);
    EndProgress(&run.progress);
    if (result > 0 && !run.current.empty())
        return Failure(kCommand,
                       "cannot write " + Quoted(run.current) + ": " + SystemErrorText(static_cast<uint32_t>(result)));
    if (result != 0)
        return Failure(kCommand, Quoted(path) + ": " + ResultMeaning(result, glance, extraction, streamCode) +
                                     " (result " + std::to_string(result) + ")");
    if (run.refused > 0)
        return Failure(kCommand, std::to_string(run.refused) + (run.refused == 1 ? " entry was" : " entries were") +
                                     " refused; the other files are extracted");
    if (!quiet) std::cout << "extracted " << run.files << " files to " << run.folder.u8string() << "\n";
    return kExitSuccess;
}
