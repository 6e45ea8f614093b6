#include "progress.h"

#include <iostream>

#include "platform.h"

void StartProgress(Progress* progress, const std::string& label, uint64_t total, bool quiet) {
    progress->label = label;
    progress->total = total;
    progress->shown = !quiet && total >= kProgressThreshold;
    progress->terminal = progress->shown && StandardErrorIsTerminal();
    progress->lastPercent = -1;
}

void UpdateProgress(Progress* progress, uint64_t done) {
    if (!progress->shown || progress->total == 0) return;
    if (done > progress->total) done = progress->total;
    int percent = static_cast<int>(done * 100 / progress->total);
    // Into a pipe or a file: a line at 0, 25, 50, 75 and 100 percent at most.
    int step = progress->terminal ? 1 : 25;
    if (percent / step == progress->lastPercent / step && progress->lastPercent >= 0) return;
    progress->lastPercent = percent;
    if (progress->terminal)
        std::cerr << "\rmksetup: " << progress->label << " " << percent << "%" << std::flush;
    else
        std::cerr << "mksetup: " << progress->label << " " << (percent / step * step) << "%\n";
}

void EndProgress(Progress* progress) {
    if (!progress->shown) return;
    UpdateProgress(progress, progress->total);
    if (progress->terminal) std::cerr << "\n";
    progress->shown = false;
}
