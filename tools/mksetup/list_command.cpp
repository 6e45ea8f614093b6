// mksetup list: the package header and one line per file, as an archiver lists.
#include <iomanip>
#include <iostream>

#include "cli.h"
#include "commands.h"
#include "package/package_run.h"
#include "package_reading.h"
#include "text_codec.h"

static const char kCommand[] = "list";

static void PrintListHelp() {
    std::cout << "Usage: mksetup list FILE\n"
                 "\n"
                 "Lists the package of the setup FILE: its header (product code, window class,\n"
                 "main program, date) and one line per file with its size and stored name, in\n"
                 "package order. The whole package is decoded and its checksum verified.\n"
                 "Exit status: 0 listed and sound, 1 damaged or unreadable, 2 wrong usage.\n";
}

namespace {

struct Listing {
    const ExtractionContext* extraction = nullptr;
    bool headerShown = false;
    uint64_t files = 0, bytes = 0;
};

void ShowHeader(Listing* listing) {
    if (listing->headerShown) return;
    listing->headerShown = true;
    const ExtractionContext& e = *listing->extraction;
    std::cout << "product code:  " << Printable(Windows1252ToUtf8(e.productCode)) << "\n"
              << "window class:  " << Printable(Windows1252ToUtf8(e.windowClass)) << "\n"
              << "main program:  " << Printable(Windows1252ToUtf8(e.headerMainProgram)) << "\n"
              << "date:          " << PackageDateText(e.fileTime) << "\n"
              << "\n"
              << std::setw(12) << "size"
              << "  name\n";
}

int32_t ListFile(char16_t* name, const uint8_t* data, uint32_t length, void* context) {
    if (data) return 0;
    Listing* listing = static_cast<Listing*>(context);
    ShowHeader(listing);
    std::cout << std::setw(12) << length << "  " << Printable(Utf16ToUtf8(name)) << "\n";
    listing->files += 1;
    listing->bytes += length;
    return 0;
}

}  // namespace

int ListCommand(const std::vector<std::string>& raw) {
    ParsedArgs args;
    std::string error;
    if (!ParseArgs(raw, OptionSpec{}, &args, &error)) return UsageError(kCommand, error);
    if (args.help) {
        PrintListHelp();
        return kExitSuccess;
    }
    if (args.positional.size() != 1)
        return UsageError(kCommand, args.positional.empty() ? "FILE is missing" : "only one FILE is taken");
    const std::string& path = args.positional[0];
    PackageGlance glance = GlancePackage(path);
    if (!glance.opened) return Failure(kCommand, Quoted(path) + ": " + SystemErrorText(glance.openError));
    ExtractionContext extraction;
    uint32_t streamCode = 0;
    Listing listing;
    listing.extraction = &extraction;
    std::u16string wide = Utf8ToUtf16(path);
    int32_t result = RunPackage(wide.c_str(), &extraction, ListFile, &listing, &streamCode);
    if (extraction.state != kExpectHeader) ShowHeader(&listing);
    if (listing.headerShown)
        std::cout << std::setw(12) << listing.bytes << "  " << listing.files
                  << (listing.files == 1 ? " file" : " files") << "\n";
    if (result != 0)
        return Failure(kCommand, Quoted(path) + ": " + ResultMeaning(result, glance, extraction, streamCode) +
                                     " (result " + std::to_string(result) + ")");
    return kExitSuccess;
}
