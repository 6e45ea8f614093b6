// The installer program a setup starts with: found, read and checked.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

// Where a Windows program of the same build (Setup.exe, UnInst.exe) is looked
// for when no path is given: beside mksetup itself, then in ../share/mksetup/
// (an installed mksetup), then in the windows build next to its build folder.
std::vector<std::filesystem::path> DefaultProgramCandidates(const std::string& fileName);

// Reads the stub. Refuses one the package could not follow: too large for the
// installer's 32-bit offsets, or holding the package signature at or beyond the
// offset where the installer starts looking for it (it would be taken for the package).
bool LoadStub(const std::filesystem::path& path, std::string* bytes, std::string* error);
