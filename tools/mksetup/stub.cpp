#include "stub.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "cli.h"
#include "package/package_run.h"
#include "platform.h"

namespace fs = std::filesystem;


std::vector<fs::path> DefaultProgramCandidates(const std::string& fileName) {
    std::vector<fs::path> candidates;
    std::string self = ExecutablePath();
    if (self.empty()) return candidates;
    fs::path folder = fs::u8path(self).parent_path();
    candidates.push_back(folder / fileName);
    candidates.push_back((folder / ".." / "share" / "mksetup" / fileName).lexically_normal());
    candidates.push_back((folder / ".." / "windows" / fileName).lexically_normal());
    return candidates;
}

bool LoadStub(const fs::path& path, std::string* bytes, std::string* error) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        *error = "the stub " + Quoted(path.u8string()) + " is not a file";
        return false;
    }
    uint64_t size = fs::file_size(path, ec);
    if (ec || size >= kAddressableLimit) {
        *error =
            "the stub " + Quoted(path.u8string()) + (ec ? ": " + SystemErrorText(ec) : std::string(" is 2 GiB or larger"));
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        *error = "cannot read the stub " + Quoted(path.u8string());
        return false;
    }
    std::string signature(reinterpret_cast<const char*>(kPackageSignature), 4);
    size_t found = bytes->find(signature, kSearchStart);
    if (found != std::string::npos) {
        *error = "the stub " + Quoted(path.u8string()) + " holds the package signature at offset " +
                 std::to_string(found) + " (at or beyond " + std::to_string(kSearchStart) +
                 "): the installer would take it for the package";
        return false;
    }
    return true;
}
