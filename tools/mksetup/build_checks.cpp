#include "build_checks.h"

#include <algorithm>
#include <map>

#include "cli.h"
#include "package/format.h"
#include "text_codec.h"

bool HeaderText(const std::string& option, const std::string& utf8, size_t maxChars, std::string* ansi,
                std::string* error) {
    std::string bad;
    if (!Utf8ToWindows1252(utf8, ansi, &bad)) {
        *error =
            option + " " + Quoted(utf8) + ": " +
            (bad == "invalid UTF-8" ? std::string("not valid UTF-8") : "Windows-1252 has no character " + Quoted(bad));
        return false;
    }
    if (ansi->find(static_cast<char>(kUnstorableTextByte)) != std::string::npos) {
        *error = option + " " + Quoted(utf8) + ": the character \xC3\x9D (byte 221) cannot be stored in a package";
        return false;
    }
    if (ansi->size() > maxChars) {
        *error = option + " " + Quoted(utf8) + " has " + std::to_string(ansi->size()) +
                 " characters; the installer keeps at most " + std::to_string(maxChars);
        return false;
    }
    return true;
}

std::string FoldCase1252(const std::string& ansi) {
    std::string folded = ansi;
    for (char& ch : folded) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 'a' && c <= 'z')
            c -= 0x20;
        else if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
            c -= 0x20;
        else if (c == 0x9A || c == 0x9C || c == 0x9E)
            c -= 0x10;
        else if (c == 0xFF)
            c = 0x9F;
        ch = static_cast<char>(c);
    }
    return folded;
}

namespace {

std::string FolderOf(const std::string& stored) {
    size_t last = stored.rfind('\\');
    return last == std::string::npos ? std::string() : stored.substr(0, last);
}

std::string FileNameOf(const std::string& stored) {
    size_t last = stored.rfind('\\');
    return last == std::string::npos ? stored : stored.substr(last + 1);
}

std::string Shown(const std::string& stored) { return Quoted(Windows1252ToUtf8(stored)); }

// The installer learns of a platform folder from the preview of a file in it,
// and empty files get no preview.
bool MarksPlatform(const PackageEntry& e) { return e.size > 0 && IsPlatformEntry(e.storedName); }

// The folder whose files the installer takes besides the top level: "64" when
// the package has one, else "32", else none (then every file is installed).
std::string PlatformFolder(const std::vector<PackageEntry>& entries) {
    std::string chosen;
    for (const PackageEntry& e : entries) {
        if (!MarksPlatform(e)) continue;
        std::string top = e.storedName.substr(0, 2);
        if (top == "64" || chosen.empty()) chosen = top;
    }
    return chosen;
}

// The main program the installer would pick when the header names none.
bool FallbackMainProgram(const std::string& fileName) {
    std::string upper = FoldCase1252(fileName);
    return fileName.size() > 4 && upper[0] == 'Q' && upper.compare(upper.size() - 4, 4, ".EXE") == 0 &&
           upper != "UNINST.EXE";
}

struct Installed {
    std::vector<const PackageEntry*> entries;  // in package order
    std::vector<FileWarning> warnings;
};

Installed ModelPlacement(const std::vector<PackageEntry>& entries) {
    Installed result;
    std::string platform = PlatformFolder(entries);
    for (const PackageEntry& e : entries) {
        std::string folder = FolderOf(e.storedName);
        if (folder.empty() || platform.empty() || folder == platform) {
            result.entries.push_back(&e);
        } else if (IsPlatformEntry(e.storedName) && folder.size() > 2) {
            result.warnings.push_back({Windows1252ToUtf8(folder), Shown(e.storedName), "is never installed",
                                       "the installer takes no subfolders of " + folder.substr(0, 2)});
        } else if (!IsPlatformEntry(e.storedName)) {
            result.warnings.push_back({Windows1252ToUtf8(folder), Shown(e.storedName), "is never installed",
                                       "with a " + platform + " folder in the package only top-level files and those in " +
                                           platform + " are installed"});
        }
    }
    return result;
}

void CollisionWarnings(const Installed& installed, std::vector<std::string>* warnings) {
    std::map<std::string, const PackageEntry*> byName;
    for (const PackageEntry* e : installed.entries) {
        std::string key = FoldCase1252(FileNameOf(e->storedName));
        auto found = byName.find(key);
        if (found != byName.end())
            warnings->push_back(Shown(found->second->storedName) + " and " + Shown(e->storedName) +
                                " are installed as the same file " + Shown(FileNameOf(e->storedName)) +
                                "; the later one wins");
        byName[key] = e;
    }
}

bool HasInstalled(const Installed& installed, const std::string& fileName) {
    std::string key = FoldCase1252(fileName);
    for (const PackageEntry* e : installed.entries)
        if (FoldCase1252(FileNameOf(e->storedName)) == key) return true;
    return false;
}

void MainProgramWarnings(const Installed& installed, const std::string& mainProgram,
                         std::vector<std::string>* warnings) {
    if (!mainProgram.empty()) {
        if (!HasInstalled(installed, mainProgram))
            warnings->push_back("the main program " + Shown(mainProgram) +
                                " is not among the installed files: its shortcuts would point to nothing");
        return;
    }
    for (const PackageEntry* e : installed.entries)
        if (FallbackMainProgram(FileNameOf(e->storedName))) return;
    warnings->push_back("no main program is named and no installed file can stand in for one: no shortcuts");
}

void DescriptionWarnings(const std::vector<PackageEntry>& entries, std::vector<std::string>* warnings) {
    bool platformSeen = false, platformLater = false;
    const PackageEntry* description = nullptr;
    for (const PackageEntry& e : entries) {
        if (MarksPlatform(e)) (description ? platformLater : platformSeen) = true;
        if (!description && FoldCase1252(e.storedName) == "FILE_ID.DIZ") description = &e;
    }
    if (!description) {
        warnings->push_back("no FILE_ID.DIZ at the top level: no product name, so no shortcuts and no uninstall entry");
        return;
    }
    if (description->size == 0)
        warnings->push_back("FILE_ID.DIZ is empty: no product name, so no shortcuts and no uninstall entry");
    else if (!platformSeen && platformLater)
        warnings->push_back("FILE_ID.DIZ comes before every file under 32 or 64: the installer shows no platform line");
}

}  // namespace

// "1,000": counts are read by people.
static std::string WithThousands(size_t count) {
    std::string digits = std::to_string(count);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

std::vector<std::string> GroupWarnings(const std::vector<FileWarning>& warnings, bool verbose) {
    enum : size_t { kNamesShown = 3 };
    std::vector<std::vector<const FileWarning*>> groups;
    std::map<std::string, size_t> groupOf;
    for (const FileWarning& w : warnings) {
        std::string key = w.verb + '\n' + w.reason + '\n' + w.folder;
        auto found = groupOf.find(key);
        if (found == groupOf.end()) {
            groupOf[key] = groups.size();
            groups.push_back({&w});
        } else {
            groups[found->second].push_back(&w);
        }
    }
    std::vector<std::string> lines;
    for (const auto& group : groups) {
        const FileWarning& first = *group.front();
        if (group.size() == 1) {
            lines.push_back(first.name + " " + first.verb + ": " + first.reason);
            continue;
        }
        std::string verb = first.verb.rfind("is ", 0) == 0 ? "are " + first.verb.substr(3) : first.verb;
        std::string where = first.folder.empty() ? std::string() : first.folder + first.separator + "\xE2\x80\xA6: ";
        std::string line = where + WithThousands(group.size()) + " files " + verb + ": " + first.reason + ": ";
        size_t shown = verbose ? group.size() : std::min<size_t>(group.size(), kNamesShown);
        for (size_t i = 0; i < shown; ++i) line += (i ? ", " : "") + group[i]->name;
        if (shown < group.size()) line += ", \xE2\x80\xA6";
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> PlacementWarnings(const std::vector<PackageEntry>& entries, const std::string& mainProgram,
                                           bool verbose) {
    Installed installed = ModelPlacement(entries);
    std::vector<std::string> warnings = GroupWarnings(installed.warnings, verbose);
    CollisionWarnings(installed, &warnings);
    MainProgramWarnings(installed, mainProgram, &warnings);
    DescriptionWarnings(entries, &warnings);
    if (!HasInstalled(installed, "UnInst.exe")) warnings.push_back("no UnInst.exe is installed: no uninstall entry");
    return warnings;
}
