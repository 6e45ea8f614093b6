// The printed result: what was measured, one line per step, then every target.
#include <stdio.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "bench_driver.h"

namespace fs = std::filesystem;

namespace {

std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five;
    in >> one >> five;
    return in ? one + " " + five : "unknown";
}

void CountProduct(const std::string& folder, uint64_t* files, uint64_t* bytes) {
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        *files += 1;
        *bytes += it->file_size(ec);
    }
}

std::string StepLine(const StepFigures& step, double unpackedMiB, const std::string& extra) {
    const std::vector<double>& t = step.wallSeconds;
    double median = Median(t);
    char line[220];
    snprintf(line, sizeof line, "  %-32s %8.3f %8.3f %8.3f %8.3f %8.1f %9.1f  %s", step.label.c_str(), median,
             *std::min_element(t.begin(), t.end()), *std::max_element(t.begin(), t.end()), Median(step.cpuSeconds),
             median > 0 ? unpackedMiB / median : 0.0, static_cast<double>(step.peakKiB) / 1024.0, extra.c_str());
    return line;
}

uint64_t DriverPeakKiB() {
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<uint64_t>(usage.ru_maxrss);
}

std::string Fixed1(double value) {
    char text[32];
    snprintf(text, sizeof text, "%.1f", value);
    return text;
}

}  // namespace

int Report(const DriverOptions& options, const Workspace& space, const Results& r) {
    uint64_t files = 0, bytes = 0;
    CountProduct(options.product, &files, &bytes);
    const PackageLocation& at = space.location;
    double unpackedMiB = static_cast<double>(at.unpackedSize) / (1 << 20);
    std::error_code ec;
    uint64_t stubSize = fs::file_size(options.stub, ec);
    if (ec) stubSize = 0;

    std::cout << "Benchmark of the package engine\n"
              << "  corpus: " << files << " files, " << bytes << " bytes (" << options.product << ")\n"
              << "  package: " << at.unpackedSize << " bytes unpacked, " << at.compressedSize << " bytes compressed ("
              << (at.unpackedSize ? 100.0 * static_cast<double>(at.compressedSize) / at.unpackedSize : 0.0)
              << " %), stream at offset " << at.streamOffset << "\n"
              << "  rounds: " << options.rounds << " of A-E, " << options.buildRounds << " of F; load average "
              << LoadAverage() << "\n"
              << "  peak memory is the kernel's count per child; the driver's own peak, which no child\n"
              << "  can read below, is " << Fixed1(static_cast<double>(DriverPeakKiB()) / 1024) << " MiB\n\n";
    char head[200];
    snprintf(head, sizeof head, "  %-32s %8s %8s %8s %8s %8s %9s", "step", "median s", "min s", "max s", "cpu s",
             "MiB/s", "peak MiB");
    std::cout << head << "\n";
    for (const StepFigures* step : {&r.decode, &r.test, &r.extract, &r.install, &r.xzDecode})
        std::cout << StepLine(*step, unpackedMiB, "") << "\n";
    std::cout << StepLine(r.build, unpackedMiB, std::to_string(r.buildSize - at.streamOffset) + " bytes of stream")
              << "\n"
              << StepLine(r.xzBuild, unpackedMiB, std::to_string(r.xzBuildSize) + " bytes of stream") << "\n\n";

    BenchFigures f;
    f.decode = r.decode.wallSeconds;
    f.test = r.test.wallSeconds;
    f.extract = r.extract.wallSeconds;
    f.install = r.install.wallSeconds;
    f.xzDecode = r.xzDecode.wallSeconds;
    f.build = r.build.wallSeconds;
    f.xzBuild = r.xzBuild.wallSeconds;
    f.buildSize = r.buildSize - at.streamOffset;
    f.xzBuildSize = r.xzBuildSize;
    f.decodePeakKiB = r.decode.peakKiB;
    f.testPeakKiB = r.test.peakKiB;
    f.extractPeakKiB = r.extract.peakKiB;
    f.installPeakKiB = r.install.peakKiB;
    f.stubSize = stubSize;
    std::vector<Target> targets = JudgeFigures(f);
    std::cout << "Targets (time ratios: the median of the rounds' ratios of wall times)\n";
    for (const Target& target : targets) std::cout << FormatTarget(target) << "\n";
    if (!r.rebuildsIdentical) std::cout << "  mksetup build did not reproduce the setup byte for byte: MISSED\n";
    bool hold = AllHold(targets) && r.rebuildsIdentical;
    std::cout << "\n" << (hold ? "All targets hold." : "Some targets are missed.") << "\n";
    return hold ? 0 : 1;
}
