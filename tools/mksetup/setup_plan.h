// What a setup is made of: the stub, the package header's fields and the
// entries in package order.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

#include "build_inputs.h"

struct SetupPlan {
    std::string stub;  // the installer program's bytes
    std::string productCode, windowClass, mainProgram;  // Windows-1252
    uint32_t dateWord = 0;
    std::vector<PackageEntry> entries;  // in package order
    bool quiet = false;                 // no progress
    int level = 9;                      // compression, 0 quickest to 9 smallest
};

// Length of the record stream the plan gives (header, records and file bytes).
uint64_t RecordStreamLength(const SetupPlan& plan);
