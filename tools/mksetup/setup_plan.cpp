#include "setup_plan.h"

#include "package/record_writer.h"

uint64_t RecordStreamLength(const SetupPlan& plan) {
    uint64_t length =
        HeaderRecordLength(plan.productCode.c_str(), plan.windowClass.c_str(), plan.mainProgram.c_str());
    // A file's size may exceed what one record can declare; the writer refuses it later.
    for (const PackageEntry& e : plan.entries) length += FileRecordLength(e.storedName.c_str(), 0) + e.size;
    return length;
}
