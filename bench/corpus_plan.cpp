// What the corpus holds: how many files of each kind, their sizes and names.
// The full corpus is laid out like a product: programs and libraries in 64/
// (a few in 32/), documents, data, images and many small resources at the top,
// a description and language files the installer reads.
#include <math.h>

#include <set>

#include "corpus.h"

namespace {

constexpr uint64_t kFullBytes = 100ull << 20;

struct KindShare {
    FileKind kind;
    const char* folder;      // "" for the top level
    int percent;             // of the corpus's bytes (0: sized per file)
    int files;               // in the full corpus
    int doublings;           // largest to smallest file, as a power of two
    const char* const* extensions;
};

const char* const kProgramExtensions[] = {"dll", "exe", "dll", "sys", nullptr};
const char* const kCompressedExtensions[] = {"png", "zip", "jpg", "cab", nullptr};
const char* const kProseExtensions[] = {"txt", "html", "rtf", nullptr};
const char* const kSourceExtensions[] = {"js", "h", "py", "css", nullptr};
const char* const kRecordExtensions[] = {"csv", "log", "xml", nullptr};
const char* const kTinyExtensions[] = {"ini", "ico", "txt", "dat", "cfg", nullptr};

const KindShare kShares[] = {
    {FileKind::Executable, "64/", 30, 36, 6, kProgramExtensions},
    {FileKind::Executable, "32/", 3, 8, 3, kProgramExtensions},
    {FileKind::Executable, "", 6, 20, 4, kProgramExtensions},
    {FileKind::Compressed, "", 20, 70, 6, kCompressedExtensions},
    {FileKind::Prose, "", 17, 150, 6, kProseExtensions},
    {FileKind::Source, "", 10, 250, 6, kSourceExtensions},
    {FileKind::Records, "", 13, 100, 6, kRecordExtensions},
    {FileKind::Tiny, "", 0, 1400, 0, kTinyExtensions},
};

struct Language {
    const char* code;
    const char* name;
};
const Language kLanguages[] = {{"DE", "Deutsch"}, {"FR", "Francais"}, {"IT", "Italiano"}, {"ES", "Espanol"}};

uint64_t Scaled(uint64_t full, double scale, uint64_t least) {
    uint64_t value = static_cast<uint64_t>(llround(static_cast<double>(full) * scale));
    return value < least ? least : value;
}

// Sizes with a long tail, summing to exactly budget. Integer weights and plain
// arithmetic only: libm's exp() and log() may round differently elsewhere.
std::vector<uint64_t> SplitBudget(Random* random, uint64_t budget, uint64_t files, int doublings) {
    std::vector<double> weights(files);
    double total = 0;
    for (double& weight : weights)
        total += weight = static_cast<double>((64 + RandomBelow(random, 64)) << RandomBelow(random, doublings + 1));
    std::vector<uint64_t> sizes(files);
    uint64_t given = 0;
    for (uint64_t k = 0; k < files; ++k) given += sizes[k] = static_cast<uint64_t>(budget * (weights[k] / total));
    sizes[0] += budget - given;
    return sizes;
}

// Unique file names even once the installer drops the folders: a word, a
// number and an extension, never a '_' (that would read as a language code).
std::string UniqueName(Random* random, const char* const* extensions, std::set<std::string>* taken) {
    size_t extensionCount = 0;
    while (extensions[extensionCount]) ++extensionCount;
    for (;;) {
        std::string name = VocabularyWord(ZipfRank(random) % 1500);
        name[0] = static_cast<char>(name[0] - 32);
        name += "-" + std::to_string(RandomBelow(random, 10000)) + "." + extensions[RandomBelow(random, extensionCount)];
        if (taken->insert(name).second) return name;
    }
}

void AddKind(const KindShare& share, uint64_t targetBytes, double scale, Random* random, std::set<std::string>* taken,
             std::vector<CorpusEntry>* plan) {
    uint64_t files = Scaled(static_cast<uint64_t>(share.files), scale, 1);
    std::vector<uint64_t> sizes;
    if (share.percent > 0) {
        sizes = SplitBudget(random, targetBytes * static_cast<uint64_t>(share.percent) / 100, files, share.doublings);
    } else {
        // Small files are spread about evenly on a log scale from 0 to 4 KiB.
        for (uint64_t k = 0; k < files; ++k) sizes.push_back(RandomBelow(random, 2ull << RandomBelow(random, 12)));
    }
    for (uint64_t size : sizes)
        plan->push_back({share.folder + UniqueName(random, share.extensions, taken), share.kind, size, NextRandom(random), ""});
}

bool EndsWith(const std::string& text, const char* tail) {
    std::string end = tail;
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

RecordStyle RecordStyleFor(const std::string& path) {
    if (EndsWith(path, ".log")) return RecordStyle::Log;
    if (EndsWith(path, ".xml")) return RecordStyle::Xml;
    return RecordStyle::Csv;
}

}  // namespace

std::vector<CorpusEntry> PlanCorpus(uint64_t targetBytes, uint64_t seed) {
    Random random = SeedRandom(seed);
    double scale = static_cast<double>(targetBytes) / static_cast<double>(kFullBytes);
    std::vector<CorpusEntry> plan;
    std::set<std::string> taken;
    for (const KindShare& share : kShares) AddKind(share, targetBytes, scale, &random, &taken, &plan);
    // The largest program of 64/ is the product's main program.
    CorpusEntry* main = nullptr;
    for (CorpusEntry& entry : plan)
        if (entry.path.rfind("64/", 0) == 0 && (!main || entry.size > main->size)) main = &entry;
    if (main) main->path = "64/BenchMain.exe";
    plan.push_back({"UnInst.exe", FileKind::Executable, Scaled(300000, scale, 4096), NextRandom(&random), ""});
    plan.push_back({"FILE_ID.DIZ", FileKind::Description, 0, 0, ""});
    for (const Language& language : kLanguages) {
        std::string stem = std::string("BENCH_") + language.code;
        plan.push_back({stem + ".LNG", FileKind::Language, Scaled(120000, scale, 2048), NextRandom(&random), language.name});
        plan.push_back({stem + ".CHM", FileKind::Compressed, Scaled(400000, scale, 4096), NextRandom(&random), ""});
    }
    return plan;
}

std::vector<uint8_t> GenerateEntry(const CorpusEntry& entry) {
    static const char kDescription[] = "Bench Product Version 1.0 (generated)\r\nfor 64-bit Windows\r\n";
    Random random = SeedRandom(entry.seed);
    std::vector<uint8_t> out;
    out.reserve(entry.size);
    switch (entry.kind) {
    case FileKind::Prose: MakeProse(&random, entry.size, EndsWith(entry.path, ".html"), &out); break;
    case FileKind::Source: MakeSource(&random, entry.size, &out); break;
    case FileKind::Records: MakeRecords(&random, entry.size, RecordStyleFor(entry.path), &out); break;
    case FileKind::Compressed: MakeCompressed(&random, entry.size, &out); break;
    case FileKind::Executable: MakeExecutable(&random, entry.size, &out); break;
    case FileKind::Tiny: MakeTiny(&random, entry.size, &out); break;
    case FileKind::Language: MakeLanguageFile(&random, entry.size, entry.label, &out); break;
    case FileKind::Description: out.assign(kDescription, kDescription + sizeof kDescription - 1); break;
    }
    return out;
}
