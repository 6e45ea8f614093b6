// Medians, and the targets each figure is judged by.
#include <math.h>
#include <stdio.h>

#include <algorithm>

#include "bench.h"

namespace {

std::string Fixed(double value, int decimals) {
    char text[64];
    snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

double MiB(uint64_t kib) { return static_cast<double>(kib) / 1024.0; }

}  // namespace

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    if (values.size() % 2 == 1) return values[middle];
    return (values[middle - 1] + values[middle]) / 2;
}

double PairedRatio(const std::vector<double>& a, const std::vector<double>& b, double bFactor) {
    std::vector<double> ratios;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (b[i] * bFactor > 0) ratios.push_back(a[i] / (b[i] * bFactor));
    return Median(ratios);
}

std::string FormatTarget(const Target& target) {
    bool percent = target.unit == " %";
    int decimals = percent ? 2 : target.unit.empty() ? 3 : target.unit == " bytes" ? 0 : 1;
    std::string sign = target.unit == " bytes" ? "<=" : target.comparison == Comparison::AtMost ? "<=" : ">=";
    char line[256];
    snprintf(line, sizeof line, "  %-34s %12s %4s %-12s %s", target.name.c_str(),
             ((percent && target.value > 0 ? "+" : "") + Fixed(target.value, decimals) + target.unit).c_str(),
             sign.c_str(), (Fixed(target.limit, decimals) + target.unit).c_str(), target.Holds() ? "ok" : "MISSED");
    std::string text = line;
    if (!target.note.empty()) text += "  (" + target.note + ")";
    return text;
}

bool AllHold(const std::vector<Target>& targets) {
    for (const Target& target : targets)
        if (!target.Holds()) return false;
    return true;
}

std::vector<Target> JudgeFigures(const BenchFigures& f) {
    std::vector<Target> targets;
    double passes = f.installPasses > 0 ? f.installPasses : 1;
    targets.push_back({"B / A   test against bare decode", PairedRatio(f.test, f.decode), Comparison::AtMost, 1.03, "", ""});
    targets.push_back(
        {"C / A   extract against bare decode", PairedRatio(f.extract, f.decode), Comparison::AtMost, 1.10, "", ""});
    targets.push_back({"D / A   install, per package pass", PairedRatio(f.install, f.decode, passes), Comparison::AtMost,
                       1.12, "", "D / A = " + Fixed(PairedRatio(f.install, f.decode), 3) + " for " +
                                     std::to_string(f.installPasses) + " passes: scan and install"});
    double belowXz = PairedRatio(f.test, f.xzDecode);
    targets.push_back({"B / E   test against xz -dc", belowXz, Comparison::AtMost, 1.00, "",
                       Fixed(fabs(1 - belowXz) * 100, 1) + " % " + (belowXz <= 1 ? "below" : "above") + " xz"});
    double sizeExcess = f.xzBuildSize > 0 ? (static_cast<double>(f.buildSize) / static_cast<double>(f.xzBuildSize) - 1) * 100 : 0;
    targets.push_back({"F size against xz -9e", sizeExcess, Comparison::AtMost, 0.5, " %",
                       std::to_string(f.buildSize) + " against " + std::to_string(f.xzBuildSize) + " bytes"});
    targets.push_back({"F time / xz -9e time", PairedRatio(f.build, f.xzBuild), Comparison::AtMost, 1.20, "", ""});
    const struct {
        const char* name;
        uint64_t peak;
    } peaks[] = {{"G peak memory B - A", f.testPeakKiB},
                 {"G peak memory C - A", f.extractPeakKiB},
                 {"G peak memory D - A", f.installPeakKiB}};
    for (const auto& peak : peaks)
        targets.push_back({peak.name, MiB(peak.peak) - MiB(f.decodePeakKiB), Comparison::AtMost, 4.0, " MiB", ""});
    targets.push_back({"G Setup.exe size", static_cast<double>(f.stubSize), Comparison::AtMost, 89999, " bytes",
                       f.stubSize == 0 ? "no Setup.exe found" : ""});
    if (f.stubSize == 0) targets.back().value = 1e12;
    return targets;
}
