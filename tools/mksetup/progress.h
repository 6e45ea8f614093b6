// Percent of bytes on standard error for work that takes a while. On a
// terminal one line is redrawn; elsewhere a line is written every 25 percent.
#pragma once
#include <stdint.h>
#include <string>

struct Progress {
    std::string label;     // "compressing", "extracting", ...
    uint64_t total = 0;
    bool shown = false;    // decided once: quiet runs and small jobs stay silent
    bool terminal = false;
    int lastPercent = -1;
};

// Below this many bytes a job is quick enough to need no progress.
constexpr uint64_t kProgressThreshold = 1u << 20;

void StartProgress(Progress* progress, const std::string& label, uint64_t total, bool quiet);
void UpdateProgress(Progress* progress, uint64_t done);
void EndProgress(Progress* progress);
