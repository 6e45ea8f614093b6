#include "common/clock.h"

#include <time.h>

uint64_t LocalFileTimeToUtc(uint64_t localFileTime) {
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    int64_t offset = static_cast<int64_t>(local.tm_gmtoff) * 10000000;
    return static_cast<uint64_t>(static_cast<int64_t>(localFileTime) - offset);
}
