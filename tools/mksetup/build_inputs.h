// The files of a product folder as package entries: their stored names, the
// checks those names must pass, and the order they go into the package.
#pragma once
#include <stdint.h>

#include <filesystem>
#include <istream>
#include <memory>
#include <string>
#include <vector>

struct PackageEntry {
    std::filesystem::path source;  // the file on disk
    std::string relative;          // its path below the product folder, UTF-8 with '/'
    std::string storedName;        // Windows-1252 with '\' as separator
    uint64_t size = 0;
    bool made = false;             // no file on disk: the bytes are these
    std::string bytes;
};

// The entry's bytes for reading: its file, or what mksetup made.
std::unique_ptr<std::istream> OpenEntry(const PackageEntry& entry);

// A warning about one file, told together with the others of its cause and folder.
struct FileWarning {
    std::string folder;  // the file's folder as shown, empty at the top level
    std::string name;    // the file as shown, quoted
    std::string verb;    // "is never installed", "is left out"
    std::string reason;
    char separator = '\\';  // between the folder's parts as shown
};

// A file name of this many characters or more would not fit the installer's
// buffer for a record split across two decoded chunks.
constexpr size_t kLongestStoredName = 1019;

// The stored form of a relative path ('/' separated, UTF-8), or false with
// *error saying what Windows-1252 or a Windows file name cannot hold.
bool StoredNameOf(const std::string& relative, std::string* stored, std::string* error);

// Every regular file below folder, in no particular order. Refuses (false,
// *error) a missing or unreadable folder; notes in *warnings what is left out.
bool CollectEntries(const std::filesystem::path& folder, std::vector<PackageEntry>* entries,
                    std::vector<FileWarning>* warnings, std::string* error);

// True for names under a top-level "32" or "64" folder.
bool IsPlatformEntry(const std::string& storedName);

// Platform entries first, then the rest, each group in byte order of the stored name.
void SortDefault(std::vector<PackageEntry>* entries);

// Reorders entries as the list file says: one path per line, relative to the
// product folder, '/' or '\' as separators, every file exactly once.
bool ApplyOrderFile(const std::filesystem::path& listFile, std::vector<PackageEntry>* entries, std::string* error);
