// The benchmark driver's pieces: running a command under measurement, finding
// the package stream in a setup, and judging the figures against the targets.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

// --- running a command -------------------------------------------------------

struct Command {
    std::vector<std::string> args;           // args[0] is looked up in PATH when it has no '/'
    std::vector<std::string> environment;    // extra "NAME=value" entries
    std::string stdoutPath = "/dev/null";
    std::string stderrPath = "/dev/null";
};

struct Measurement {
    bool started = false;   // false: the program could not be run at all
    int exitCode = -1;      // the program's exit status, or 128 + signal
    double wallSeconds = 0;
    double cpuSeconds = 0;  // user + system
    uint64_t peakKiB = 0;   // peak resident set, as the kernel counts it
};

// Runs the command to its end; the time and memory are the child's alone.
Measurement RunMeasured(const Command& command);

// --- the package inside a setup ----------------------------------------------

struct PackageLocation {
    bool found = false;
    uint64_t streamOffset = 0;   // first byte of the raw LZMA stream
    uint64_t compressedSize = 0; // from there to the end of the file
    uint32_t unpackedSize = 0;   // from the stream header
    uint8_t properties[5] = {};
};

// The installer's own rule: the first A7 3C 5E 91 at or beyond offset 89999,
// then 9 header bytes (5 properties, big-endian unpacked size). Files are
// read in blocks: the driver's own peak memory is inherited by every child it
// starts (the kernel counts the pre-exec image), so it must stay small.
PackageLocation LocatePackage(const std::string& setupPath);
// Copies length bytes from offset on into a new file.
bool CopyFilePart(const std::string& from, uint64_t offset, uint64_t length, const std::string& to);
bool SameFileContents(const std::string& a, const std::string& b);

// --- figures and targets -----------------------------------------------------

double Median(std::vector<double> values);
// The median of the per-round ratios a[i] / b[i]. Steps of one round run back
// to back, so a slow spell of the machine tends to hit both sides of a pair;
// rounds where b has no time are left out. 0 when no pair is left.
double PairedRatio(const std::vector<double>& a, const std::vector<double>& b, double bFactor = 1);

enum class Comparison { AtMost, AtLeast };

struct Target {
    std::string name;     // what is compared, e.g. "B / A"
    double value;
    Comparison comparison;
    double limit;
    std::string unit;     // "", " %", " MiB", " bytes"
    std::string note;     // extra words after the verdict
    bool Holds() const { return comparison == Comparison::AtMost ? value <= limit : value >= limit; }
};

// One line per target: name, value, limit and "ok" or "MISSED".
std::string FormatTarget(const Target& target);
// True when every target holds.
bool AllHold(const std::vector<Target>& targets);

struct StepFigures {
    std::string label;                  // "A bare decode"
    std::vector<double> wallSeconds;    // one per round
    std::vector<double> cpuSeconds;     // user + system, one per round
    uint64_t peakKiB = 0;               // the largest of the rounds
};

// The figures the targets are judged from, one run's medians.
// Wall times in seconds, one per round; the i-th entries of A to E come from
// the same round, as do the i-th entries of the two F builds.
struct BenchFigures {
    std::vector<double> decode, test, extract, install, xzDecode;  // A B C D E
    std::vector<double> build, xzBuild;                           // F
    uint64_t buildSize = 0, xzBuildSize = 0;                              // F, compressed bytes
    uint64_t decodePeakKiB = 0, testPeakKiB = 0, extractPeakKiB = 0, installPeakKiB = 0;
    uint64_t stubSize = 0;
    // mksetup install decodes the package twice: the scan pass that fills the
    // dialog and the install pass, each verifying the checksum.
    int installPasses = 2;
};

std::vector<Target> JudgeFigures(const BenchFigures& figures);
