#include "build_inputs.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <map>
#include <system_error>

#include "cli.h"
#include "common/file_names.h"
#include "package/format.h"
#include "text_codec.h"

namespace fs = std::filesystem;

static bool CheckComponent(const std::string& ansi, const std::string& relative, std::string* error) {
    for (unsigned char c : ansi) {
        // A name holding it would end early and leave the rest of its
        // record to be read as file bytes.
        if (c == kUnstorableTextByte) {
            *error = Quoted(relative) + ": the character \xC3\x9D (byte 221) cannot be stored in a package";
            return false;
        }
        if (c < 0x20 || std::string("<>:\"|?*\\").find(static_cast<char>(c)) != std::string::npos) {
            *error = Quoted(relative) + ": Windows file names cannot hold the character " +
                     (c < 0x20 ? "with code " + std::to_string(c) : "'" + std::string(1, static_cast<char>(c)) + "'");
            return false;
        }
    }
    // Windows opens a device for "CON" or "nul.txt" and drops trailing dots and
    // spaces; the installer refuses such entries, so a setup must not hold them.
    std::u16string wide;
    for (unsigned char c : ansi) wide.push_back(c);
    if (!IsPlainFileName(wide.c_str())) {
        *error = Quoted(relative) + ": Windows cannot store " + Quoted(Windows1252ToUtf8(ansi)) +
                 " under that name (a device name, or a trailing dot or space)";
        return false;
    }
    return true;
}

bool StoredNameOf(const std::string& relative, std::string* stored, std::string* error) {
    std::string ansi, bad;
    if (!Utf8ToWindows1252(relative, &ansi, &bad)) {
        *error = bad == "invalid UTF-8" ? Quoted(relative) + ": the name is not valid UTF-8"
                                        : Quoted(relative) + ": Windows-1252 has no character " + Quoted(bad);
        return false;
    }
    stored->clear();
    size_t start = 0;
    for (;;) {
        size_t slash = ansi.find('/', start);
        std::string part = ansi.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (!CheckComponent(part, relative, error)) return false;
        stored->append(part);
        if (slash == std::string::npos) break;
        stored->push_back('\\');
        start = slash + 1;
    }
    if (stored->size() > kLongestStoredName) {
        *error = Quoted(relative) + ": the name has " + std::to_string(stored->size()) +
                 " characters; a package takes at most " + std::to_string(kLongestStoredName);
        return false;
    }
    return true;
}

static bool AddFile(const fs::path& folder, const fs::path& file, std::vector<PackageEntry>* entries,
                    std::string* error) {
    std::error_code ec;
    PackageEntry entry;
    entry.source = file;
    entry.relative = file.lexically_relative(folder).generic_u8string();
    entry.size = fs::file_size(file, ec);
    if (ec) {
        *error = Quoted(entry.relative) + ": " + SystemErrorText(ec);
        return false;
    }
    if (!StoredNameOf(entry.relative, &entry.storedName, error)) return false;
    entries->push_back(entry);
    return true;
}

static void NoteSkipped(const fs::path& folder, const fs::path& path, const std::string& why,
                        std::vector<FileWarning>* warnings) {
    fs::path relative = path.lexically_relative(folder);
    warnings->push_back({relative.parent_path().generic_u8string(), Quoted(relative.generic_u8string()),
                         "is left out", why, '/'});
}

bool CollectEntries(const fs::path& folder, std::vector<PackageEntry>* entries, std::vector<FileWarning>* warnings,
                    std::string* error) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        *error = Quoted(folder.u8string()) + " is not a folder";
        return false;
    }
    fs::recursive_directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        fs::file_status link = it->symlink_status(ec);
        if (ec) break;
        fs::file_status target = fs::status(path, ec);
        if (ec && fs::is_symlink(link)) {
            ec.clear();
            NoteSkipped(folder, path, "a symbolic link to nothing", warnings);
            continue;
        }
        if (ec) break;
        if (fs::is_directory(target)) {
            if (fs::is_symlink(link))
                NoteSkipped(folder, path, "symbolic links to folders are not followed", warnings);
            else if (fs::is_empty(path, ec))
                NoteSkipped(folder, path, "a package holds files, not empty folders", warnings);
            continue;
        }
        if (!fs::is_regular_file(target)) {
            NoteSkipped(folder, path, "not a regular file", warnings);
            continue;
        }
        if (!AddFile(folder, path, entries, error)) return false;
    }
    if (ec) {
        *error = Quoted(folder.u8string()) + ": " + SystemErrorText(ec);
        return false;
    }
    if (entries->empty()) {
        *error = Quoted(folder.u8string()) + " holds no files";
        return false;
    }
    return true;
}

bool IsPlatformEntry(const std::string& storedName) {
    return storedName.size() > 3 && storedName[2] == '\\' &&
           (storedName.compare(0, 2, "32") == 0 || storedName.compare(0, 2, "64") == 0);
}

void SortDefault(std::vector<PackageEntry>* entries) {
    std::sort(entries->begin(), entries->end(), [](const PackageEntry& a, const PackageEntry& b) {
        bool platformA = IsPlatformEntry(a.storedName), platformB = IsPlatformEntry(b.storedName);
        if (platformA != platformB) return platformA;
        return a.storedName < b.storedName;  // char_traits compares as unsigned bytes
    });
}

static std::string OrderLineName(std::string line, size_t number) {
    if (number == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);  // a byte-order mark
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::replace(line.begin(), line.end(), '\\', '/');
    return line;
}

bool ApplyOrderFile(const fs::path& listFile, std::vector<PackageEntry>* entries, std::string* error) {
    std::ifstream in(listFile, std::ios::binary);
    if (!in) {
        *error = "cannot read the order file " + Quoted(listFile.u8string());
        return false;
    }
    std::map<std::string, size_t> byName;
    for (size_t i = 0; i < entries->size(); ++i) byName[(*entries)[i].relative] = i;
    std::vector<PackageEntry> ordered;
    std::vector<bool> taken(entries->size(), false);
    std::string line;
    for (size_t number = 1; std::getline(in, line); ++number) {
        std::string name = OrderLineName(line, number);
        if (name.empty()) continue;
        std::string where = "order file line " + std::to_string(number) + ": ";
        auto found = byName.find(name);
        if (found == byName.end()) {
            *error = where + Quoted(name) + " is not a file of the product folder";
            return false;
        }
        if (taken[found->second]) {
            *error = where + Quoted(name) + " is named twice";
            return false;
        }
        taken[found->second] = true;
        ordered.push_back((*entries)[found->second]);
    }
    for (size_t i = 0; i < entries->size(); ++i) {
        if (taken[i]) continue;
        *error = "the order file does not name " + Quoted((*entries)[i].relative) + " (it must name every file)";
        return false;
    }
    *entries = ordered;
    return true;
}

std::unique_ptr<std::istream> OpenEntry(const PackageEntry& entry) {
    if (entry.made) return std::make_unique<std::istringstream>(entry.bytes, std::ios::binary);
    return std::make_unique<std::ifstream>(entry.source, std::ios::binary);
}
