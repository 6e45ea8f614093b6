#include "setup_writer.h"

#include <fstream>
#include <system_error>

#include "cli.h"
#include "lzma_encode.h"
#include "package/package_run.h"
#include "platform.h"
#include "progress.h"
#include "record_source.h"

namespace fs = std::filesystem;


namespace {

// Removes the temporary file unless the finished setup was renamed into place.
struct TemporaryFile {
    fs::path path;
    bool keep = false;
    ~TemporaryFile() {
        RemoveOnInterrupt("");
        std::error_code ec;
        if (!keep && !path.empty()) fs::remove(path, ec);
    }
};

bool MakeTemporary(const fs::path& out, TemporaryFile* temporary, std::string* error) {
    fs::path folder = out.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = folder / ("." + out.filename().u8string() + ".part" + std::to_string(attempt));
        if (CreateExclusiveFile(candidate.u8string())) {
            temporary->path = candidate;
            RemoveOnInterrupt(candidate.u8string());
            return true;
        }
    }
    *error = "cannot create a file in " + Quoted((folder.empty() ? fs::path(".") : folder).u8string());
    return false;
}

// Everything in front of the compressed data: stub, padding, signature, stream header.
std::string SetupPrefix(const SetupPlan& plan, uint64_t unpacked, uint64_t* packageOffset) {
    std::string prefix = plan.stub;
    if (prefix.size() < kSearchStart) prefix.resize(kSearchStart, '\0');
    *packageOffset = prefix.size();
    prefix.append(reinterpret_cast<const char*>(kPackageSignature), 4);
    uint8_t props[5];
    PackageLzmaProperties(props);
    prefix.append(reinterpret_cast<const char*>(props), 5);
    uint8_t size[4];
    WriteBigEndian32(static_cast<uint32_t>(unpacked), size);
    prefix.append(reinterpret_cast<const char*>(size), 4);
    return prefix;
}

bool CheckSizes(const SetupPlan& plan, uint64_t unpacked, std::string* error) {
    if (unpacked >= kStreamLimit) {
        *error = "the package would unpack to " + std::to_string(unpacked) +
                 " bytes; the installer takes less than 4 GiB";
        return false;
    }
    uint64_t start = plan.stub.size() < kSearchStart ? uint64_t{kSearchStart} : plan.stub.size();
    if (start + kStreamHeaderSize + 4 >= kAddressableLimit) {
        *error = "the setup would reach 2 GiB; the installer reads files below 2 GiB only";
        return false;
    }
    return true;
}

bool Compress(const SetupPlan& plan, uint32_t checksum, std::ofstream* file, uint64_t* setupSize,
              std::string* error) {
    RecordSource source(plan, checksum);
    Progress progress;
    StartProgress(&progress, "compressing", RecordStreamLength(plan), plan.quiet);
    bool tooLarge = false;
    ByteSink sink = [&](const uint8_t* bytes, size_t n) {
        if (*setupSize + n >= kAddressableLimit) {
            tooLarge = true;
            return false;
        }
        file->write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(n));
        *setupSize += n;
        return file->good();
    };
    ByteSource pull = [&](uint8_t* buffer, size_t capacity) { return source.Read(buffer, capacity); };
    bool encoded = EncodeLzmaStream(pull, sink, [&](uint64_t done) { UpdateProgress(&progress, done); }, true,
                                     plan.level, error);
    EndProgress(&progress);
    if (!source.Error().empty()) *error = source.Error();
    else if (tooLarge) *error = "the setup would reach 2 GiB; the installer reads files below 2 GiB only";
    else if (!encoded && error->empty()) *error = "cannot write the setup";
    if (!encoded) return false;
    return source.Finish(error);
}

}  // namespace

bool WriteSetupFile(const SetupPlan& plan, const fs::path& out, SetupOutcome* outcome, std::string* error) {
    uint64_t unpacked = RecordStreamLength(plan);
    if (!CheckSizes(plan, unpacked, error)) return false;
    uint32_t checksum = 0;
    if (!PackageChecksum(plan.entries, &checksum, error)) return false;
    TemporaryFile temporary;
    if (!MakeTemporary(out, &temporary, error)) return false;
    std::ofstream file(temporary.path, std::ios::binary | std::ios::trunc);
    std::string prefix = SetupPrefix(plan, unpacked, &outcome->packageOffset);
    file.write(prefix.data(), static_cast<std::streamsize>(prefix.size()));
    uint64_t setupSize = prefix.size();
    if (!file.good() || !Compress(plan, checksum, &file, &setupSize, error)) {
        if (error->empty()) *error = "cannot write " + Quoted(temporary.path.u8string());
        return false;
    }
    file.close();
    if (file.fail()) {
        *error = "cannot write " + Quoted(temporary.path.u8string());
        return false;
    }
    std::error_code ec;
    fs::rename(temporary.path, out, ec);
    if (ec) {
        *error = "cannot put the setup in place as " + Quoted(out.u8string()) + ": " + SystemErrorText(ec);
        return false;
    }
    temporary.keep = true;
    outcome->unpacked = unpacked;
    outcome->setupSize = setupSize;
    outcome->checksum = checksum;
    return true;
}
