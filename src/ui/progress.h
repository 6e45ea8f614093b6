// How far a package pass has come, as a progress bar shows it.
#pragma once
#include <stdint.h>

enum : int32_t { kProgressRange = 10000 };

// done of total bytes as a position from 0 to kProgressRange: never past the
// end, never below 0, and 0 while the total is unknown (0).
int32_t ProgressPosition(uint64_t done, uint64_t total);
