// bench_corpus: writes the benchmark's product folder, or leaves the one
// already there when it was made by this generator version with the same size
// and seed.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "corpus.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "Usage: bench_corpus --out DIR [--bytes N] [--seed N]\n"
    "\n"
    "Writes a deterministic product folder of about N bytes (default 104857600,\n"
    "about 2,000 files) to DIR/product: text of several kinds, already-compressed\n"
    "data, executable-like programs, many tiny files, a description and language\n"
    "files. A folder made before by the same generator version with the same\n"
    "size and seed is kept as it is.\n";

struct Options {
    fs::path out;
    uint64_t bytes = 100ull << 20;
    uint64_t seed = 20240601;
};

bool ParseNumber(const std::string& text, uint64_t* value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    *value = strtoull(text.c_str(), nullptr, 10);
    return true;
}

// Answers an exit code when the arguments end the program (help, misuse), -1 to go on.
int ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (i + 1 >= argc) {
            std::cerr << "bench_corpus: " << arg << " needs a value (or is unknown)\n" << kUsage;
            return 2;
        }
        std::string value = argv[++i];
        bool ok = true;
        if (arg == "--out") options->out = value;
        else if (arg == "--bytes") ok = ParseNumber(value, &options->bytes) && options->bytes >= 65536;
        else if (arg == "--seed") ok = ParseNumber(value, &options->seed);
        else ok = false;
        if (!ok) {
            std::cerr << "bench_corpus: bad option " << arg << " " << value << "\n" << kUsage;
            return 2;
        }
    }
    if (options->out.empty()) {
        std::cerr << "bench_corpus: --out DIR is required\n" << kUsage;
        return 2;
    }
    return -1;
}

std::string StampText(const Options& options) {
    std::ostringstream text;
    text << "version " << kCorpusVersion << " bytes " << options.bytes << " seed " << options.seed << "\n";
    return text.str();
}

bool HasStamp(const fs::path& stamp, const std::string& expected) {
    std::ifstream in(stamp);
    std::stringstream text;
    text << in.rdbuf();
    return in && text.str() == expected;
}

bool WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

int Generate(const Options& options) {
    fs::path stamp = options.out / "corpus.stamp";
    std::string expected = StampText(options);
    if (HasStamp(stamp, expected)) {
        std::cout << "bench_corpus: " << options.out.string() << " is up to date\n";
        return 0;
    }
    std::error_code ec;
    fs::remove_all(options.out, ec);
    fs::path product = options.out / "product";
    uint64_t total = 0;
    std::vector<CorpusEntry> plan = PlanCorpus(options.bytes, options.seed);
    for (const CorpusEntry& entry : plan) {
        std::vector<uint8_t> bytes = GenerateEntry(entry);
        if (!WriteFile(product / entry.path, bytes)) {
            std::cerr << "bench_corpus: cannot write " << (product / entry.path).string() << "\n";
            return 1;
        }
        total += bytes.size();
    }
    std::ofstream out(stamp);
    out << expected;
    out.close();
    if (!out) {
        std::cerr << "bench_corpus: cannot write " << stamp.string() << "\n";
        return 1;
    }
    std::cout << "bench_corpus: " << plan.size() << " files, " << total << " bytes in " << product.string() << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        Options options;
        int code = ParseOptions(argc, argv, &options);
        if (code >= 0) return code;
        return Generate(options);
    } catch (const std::exception& failure) {
        std::cerr << "bench_corpus: " << failure.what() << "\n";
        return 1;
    }
}
