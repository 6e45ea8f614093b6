// The benchmark's corpus: the same seed must give the same bytes (the cache
// and every comparison between machines rely on it), every entry must have
// exactly its planned size, and the layout must be one the installer writes
// in full.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "corpus.h"

namespace {

constexpr uint64_t kSeed = 20240601;
constexpr uint64_t kFull = 100ull << 20;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    return text;
}

std::string FlatName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

TEST(BenchCorpus, SameSeedSamePlanAndBytes) {
    std::vector<CorpusEntry> first = PlanCorpus(4 << 20, kSeed), second = PlanCorpus(4 << 20, kSeed);
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].path, second[i].path);
        EXPECT_EQ(first[i].size, second[i].size);
        EXPECT_EQ(GenerateEntry(first[i]), GenerateEntry(second[i])) << first[i].path;
    }
}

TEST(BenchCorpus, AnotherSeedAnotherCorpus) {
    std::vector<CorpusEntry> a = PlanCorpus(4 << 20, kSeed), b = PlanCorpus(4 << 20, kSeed + 1);
    size_t samePaths = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) samePaths += a[i].path == b[i].path;
    // Only the fixed names (description, languages, main program, uninstaller) repeat.
    EXPECT_LT(samePaths, 12u);
}

struct PlanCase {
    uint64_t bytes;
    size_t leastFiles, mostFiles;
};

TEST(BenchCorpus, PlanSizeAndFileCountFollowTheTarget) {
    const PlanCase cases[] = {
        {kFull, 1900, 2200},          // about 2,000 files
        {4ull << 20, 60, 200},        // the small mode
        {16ull << 20, 250, 500},
    };
    for (const PlanCase& c : cases) {
        std::vector<CorpusEntry> plan = PlanCorpus(c.bytes, kSeed);
        uint64_t total = 0;
        for (const CorpusEntry& entry : plan) total += entry.size;
        EXPECT_GE(plan.size(), c.leastFiles) << c.bytes;
        EXPECT_LE(plan.size(), c.mostFiles) << c.bytes;
        EXPECT_GT(total, c.bytes * 95 / 100) << c.bytes;
        EXPECT_LT(total, c.bytes * 110 / 100) << c.bytes;
    }
}

// Everything lands flat in the destination: names must not collide once the
// folders are dropped (Windows ignores case), and only the language files may
// read as "<prefix>_<code>" (the prefix being BENCH, five characters), or the
// install pass would leave files of unticked languages out.
TEST(BenchCorpus, FlatNamesAreUniqueAndOnlyLanguageFilesHaveCodes) {
    std::vector<CorpusEntry> plan = PlanCorpus(kFull, kSeed);
    std::set<std::string> flat;
    std::map<std::string, int> folders;
    for (const CorpusEntry& entry : plan) {
        std::string name = FlatName(entry.path);
        EXPECT_TRUE(flat.insert(Lower(name)).second) << "collision: " << entry.path;
        bool language = entry.path.rfind("BENCH_", 0) == 0;
        EXPECT_EQ(name.size() > 5 && name[5] == '_', language) << entry.path;
        folders[entry.path.substr(0, entry.path.size() - name.size())] += 1;
    }
    for (const auto& [folder, count] : folders) EXPECT_TRUE(folder.empty() || folder == "32/" || folder == "64/") << folder;
    EXPECT_GE(folders[""], 1800);
}

TEST(BenchCorpus, HoldsWhatTheInstallerLooksFor) {
    std::vector<CorpusEntry> plan = PlanCorpus(kFull, kSeed);
    std::set<std::string> paths;
    for (const CorpusEntry& entry : plan) paths.insert(entry.path);
    for (const char* wanted : {"FILE_ID.DIZ", "64/BenchMain.exe", "UnInst.exe", "BENCH_DE.LNG", "BENCH_FR.LNG",
                               "BENCH_IT.LNG", "BENCH_ES.LNG"})
        EXPECT_TRUE(paths.count(wanted)) << wanted;
    for (const CorpusEntry& entry : plan) {
        if (entry.kind != FileKind::Language) continue;
        std::vector<uint8_t> bytes = GenerateEntry(entry);
        std::string text(bytes.begin(), bytes.end());
        // The scan offers a language only for text that starts with '[' and names it.
        EXPECT_EQ(text[0], '[') << entry.path;
        EXPECT_NE(text.find("Language=" + entry.label + "\r\n"), std::string::npos) << entry.path;
    }
}

struct MakerCase {
    FileKind kind;
    const char* path;
};

TEST(BenchCorpus, EveryKindMakesExactlyItsSize) {
    const MakerCase makers[] = {{FileKind::Prose, "a.txt"},      {FileKind::Prose, "a.html"},
                                {FileKind::Source, "a.js"},      {FileKind::Records, "a.csv"},
                                {FileKind::Records, "a.log"},    {FileKind::Records, "a.xml"},
                                {FileKind::Compressed, "a.png"}, {FileKind::Executable, "a.dll"},
                                {FileKind::Tiny, "a.ini"},       {FileKind::Language, "BENCH_DE.LNG"}};
    const uint64_t sizes[] = {0, 1, 7, 100, 1023, 1025, 5000, 70001};
    for (const MakerCase& maker : makers)
        for (uint64_t size : sizes)
            for (uint64_t seed : {1u, 2u, 3u}) {
                CorpusEntry entry{maker.path, maker.kind, size, seed, "Deutsch"};
                EXPECT_EQ(GenerateEntry(entry).size(), size) << maker.path << " " << size << " seed " << seed;
            }
}

// Already-compressed data must not compress, text must: a corpus of one kind
// only would measure a different decoder speed than a real product.
TEST(BenchCorpus, KindsDifferInRedundancy) {
    auto distinctPairs = [](FileKind kind, const char* path) {
        std::vector<uint8_t> bytes = GenerateEntry(CorpusEntry{path, kind, 200000, 7, ""});
        std::set<uint32_t> pairs;
        for (size_t i = 0; i + 1 < bytes.size(); ++i) pairs.insert(bytes[i] << 8 | bytes[i + 1]);
        return pairs.size();
    };
    EXPECT_GT(distinctPairs(FileKind::Compressed, "a.zip"), 60000u);
    EXPECT_LT(distinctPairs(FileKind::Prose, "a.txt"), 2000u);
    size_t program = distinctPairs(FileKind::Executable, "a.dll");
    EXPECT_GT(program, 2000u);
    EXPECT_LT(program, 60000u);
}

TEST(BenchCorpus, ZipfRanksFavourShortFrequentWords) {
    Random random = SeedRandom(5);
    std::vector<int> hits(VocabularySize());
    for (int i = 0; i < 200000; ++i) {
        size_t rank = ZipfRank(&random);
        ASSERT_LT(rank, VocabularySize());
        hits[rank] += 1;
    }
    EXPECT_GT(hits[0], hits[10] * 3);
    EXPECT_GT(hits[10], hits[1000]);
    auto meanLength = [](size_t from, size_t to) {
        double total = 0;
        for (size_t rank = from; rank < to; ++rank) total += static_cast<double>(VocabularyWord(rank).size());
        return total / static_cast<double>(to - from);
    };
    EXPECT_LT(meanLength(0, 60) * 2, meanLength(VocabularySize() - 1000, VocabularySize()));
    std::set<std::string> words;
    for (size_t rank = 0; rank < VocabularySize(); ++rank) words.insert(VocabularyWord(rank));
    EXPECT_EQ(words.size(), VocabularySize());
}

TEST(BenchCorpus, RandomBelowStaysInRangeAndCoversIt) {
    Random random = SeedRandom(9);
    const struct {
        uint64_t bound;
        size_t leastSeen;
    } cases[] = {{1, 1}, {2, 2}, {3, 3}, {10, 10}, {1000, 950}};  // 1000 of 5000 draws: about 993 seen
    for (const auto& c : cases) {
        std::set<uint64_t> seen;
        for (int i = 0; i < 5000; ++i) {
            uint64_t value = RandomBelow(&random, c.bound);
            ASSERT_LT(value, c.bound);
            seen.insert(value);
        }
        EXPECT_GE(seen.size(), c.leastSeen) << c.bound;
    }
    double unit = RandomUnit(&random);
    EXPECT_GE(unit, 0.0);
    EXPECT_LT(unit, 1.0);
}

}  // namespace
