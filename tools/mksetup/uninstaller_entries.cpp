#include "uninstaller_entries.h"

#include <string.h>

#include "build_checks.h"
#include "cli.h"
#include "common/codepage.h"
#include "model/dialog_model.h"
#include "installer/scan.h"
#include "state/state.h"
#include "ui/texts.h"
#include "uninstall/file_list.h"

namespace fs = std::filesystem;

namespace {

const char kListName[] = "UnInst.lst";
const char kProgramName[] = "UnInst.exe";

std::string FlatName(const std::string& stored) {
    size_t last = stored.rfind('\\');
    return last == std::string::npos ? stored : stored.substr(last + 1);
}

std::u16string Widened(const std::string& ansi) {
    std::u16string wide(ansi.size() + 1, u'\0');
    AnsiToWide(ansi.c_str(), &wide[0], static_cast<int32_t>(wide.size()));
    wide.resize(wide.find(u'\0'));
    return wide;
}

// Top-level files, and those directly inside a top-level "32" or "64" folder,
// are what some installation of the package writes; with no platform folder
// at all, every file is.
bool MayBeInstalled(const PackageEntry& entry, bool hasPlatformFolder) {
    size_t separator = entry.storedName.rfind('\\');
    if (separator == std::string::npos || !hasPlatformFolder) return true;
    std::string folder = entry.storedName.substr(0, separator);
    return folder == "32" || folder == "64";
}

bool ChecksumOf(const PackageEntry& entry, uint32_t* checksum, std::string* error) {
    std::unique_ptr<std::istream> in = OpenEntry(entry);
    char block[1 << 16];
    uint32_t crc = 0;
    uint64_t total = 0;
    while (*in) {
        in->read(block, sizeof block);
        uint32_t got = static_cast<uint32_t>(in->gcount());
        crc = UpdateChecksum(crc, block, got);
        total += got;
    }
    if (in->bad() || total != entry.size) {
        *error = "cannot read " + Quoted(entry.relative) + " whole";
        return false;
    }
    *checksum = crc;
    return true;
}

}  // namespace

std::string ProductNameOf(const std::vector<PackageEntry>& entries) {
    InstallerState state = {};
    InstallerState* previous = gState;
    gState = &state;
    SelectTextTable();
    {
        std::unique_ptr<DialogModel> model = CreateMainDialogModel();
        for (const PackageEntry& entry : entries) {
            std::u16string name = Widened(entry.storedName);
            name.resize(kListNameCapacity);
            ScanFileCallback(&name[0], nullptr, 0, &model->window);
            if (entry.size == 0) continue;
            std::unique_ptr<std::istream> in = OpenEntry(entry);
            char preview[1024];
            in->read(preview, sizeof preview);
            uint32_t got = static_cast<uint32_t>(in->gcount());
            if (got > 0)
                ScanFileCallback(&name[0], reinterpret_cast<const uint8_t*>(preview), got, &model->window);
        }
    }
    gState = previous;
    return state.productName;
}

bool UninstallListText(const SetupPlan& plan, const std::string& productName, std::string* text,
                       std::string* error) {
    char line[kListLineCapacity];
    if (FormatListHeader(productName.c_str(), plan.productCode.c_str(), plan.windowClass.c_str(),
                         plan.mainProgram.c_str(), line, sizeof line) == 0) {
        *error = "the product name, code, window class or main program holds a tab or line break";
        return false;
    }
    *text = line;
    bool hasPlatformFolder = false;
    for (const PackageEntry& entry : plan.entries) hasPlatformFolder = hasPlatformFolder || (entry.size > 0 && IsPlatformEntry(entry.storedName));
    int32_t count = 0;
    for (const PackageEntry& entry : plan.entries) {
        if (!MayBeInstalled(entry, hasPlatformFolder)) continue;
        uint32_t checksum = 0;
        if (!ChecksumOf(entry, &checksum, error)) return false;
        if (FormatListedFile(entry.size, checksum, FlatName(entry.storedName).c_str(), line, sizeof line) == 0) {
            *error = Quoted(entry.relative) + " has a name the list cannot hold";
            return false;
        }
        *text += line;
        ++count;
    }
    FormatListEnd(count, line, sizeof line);
    *text += line;
    return true;
}

bool AddUninstaller(const fs::path& uninstaller, SetupPlan* plan, std::string* error) {
    for (const PackageEntry& entry : plan->entries) {
        std::string flat = FoldCase1252(FlatName(entry.storedName));
        if (flat != FoldCase1252(kProgramName) && flat != FoldCase1252(kListName)) continue;
        *error = Quoted(entry.relative) + " would be installed as " + Quoted(FlatName(entry.storedName)) +
                 ": --add-uninstaller brings its own UnInst.exe and UnInst.lst";
        return false;
    }
    std::string productName = ProductNameOf(plan->entries);
    if (productName.empty()) {
        *error = "--add-uninstaller needs a product name, and FILE_ID.DIZ names none (no top-level FILE_ID.DIZ "
                 "with a title): without it the setup writes no uninstall entry";
        return false;
    }
    std::error_code ec;
    if (!fs::is_regular_file(uninstaller, ec)) {
        *error = "the uninstaller " + Quoted(uninstaller.u8string()) + " is not a file";
        return false;
    }
    PackageEntry program;
    program.source = uninstaller;
    program.relative = program.storedName = kProgramName;
    program.size = fs::file_size(uninstaller, ec);
    if (ec) {
        *error = "the uninstaller " + Quoted(uninstaller.u8string()) + ": " + SystemErrorText(ec);
        return false;
    }
    plan->entries.push_back(program);
    PackageEntry list;
    list.relative = list.storedName = kListName;
    list.made = true;
    if (!UninstallListText(*plan, productName, &list.bytes, error)) {
        plan->entries.pop_back();
        return false;
    }
    list.size = list.bytes.size();
    plan->entries.push_back(list);
    return true;
}
