// What mksetup build checks before it writes anything: the header texts, and
// what the installer would silently drop or lose from the files as ordered.
#pragma once
#include <string>
#include <vector>

#include "build_inputs.h"

// Windows-1252 form of a header text of at most maxChars characters, or false
// with *error naming the option and the reason.
bool HeaderText(const std::string& option, const std::string& utf8, size_t maxChars, std::string* ansi,
                std::string* error);

// Warnings, in the order of the entries: files never installed (grouped as
// GroupWarnings does), files that overwrite each other once folders are
// flattened, a main program that is not installed, and a missing description
// or uninstaller.
std::vector<std::string> PlacementWarnings(const std::vector<PackageEntry>& entries, const std::string& mainProgram,
                                           bool verbose = false);

// One line per cause and folder, in the order each was first met: a single
// file as "'docs\a.txt' is never installed: REASON", more as
// "docs\…: 1,000 files are never installed: REASON: 'docs\a.txt', 'docs\b.txt',
// 'docs\c.txt', …". Verbose names every file.
std::vector<std::string> GroupWarnings(const std::vector<FileWarning>& warnings, bool verbose);

// Windows file names compare without regard to letter case.
std::string FoldCase1252(const std::string& ansi);
