// Writing a setup: the stub, zero bytes up to where the installer starts
// looking, the signature, the stream header and the compressed record stream.
#pragma once
#include <stdint.h>

#include <filesystem>
#include <string>

#include "setup_plan.h"

struct SetupOutcome {
    uint64_t packageOffset = 0;  // file offset of the signature
    uint64_t unpacked = 0;       // length of the record stream
    uint64_t setupSize = 0;
    uint32_t checksum = 0;
};

// Writes the setup to a temporary file beside out and renames it into place
// only when it is complete; on failure nothing is left behind and *error says why.
bool WriteSetupFile(const SetupPlan& plan, const std::filesystem::path& out, SetupOutcome* outcome,
                    std::string* error);

