#include "ui/progress.h"

int32_t ProgressPosition(uint64_t done, uint64_t total) {
    if (total == 0) return 0;
    if (done >= total) return kProgressRange;
    // Both factors stay far below 2^64: total is at most 2^32 (the stream
    // header's size field) and the range is 10^4.
    return static_cast<int32_t>(done * kProgressRange / total);
}
