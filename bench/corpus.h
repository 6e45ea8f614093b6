// The benchmark's product folder: a deterministic mix of the kinds of files a
// real product ships, generated from a fixed seed so every machine measures
// the same bytes.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

// Bump whenever the bytes the generator makes change: the cache is keyed by it.
constexpr int kCorpusVersion = 1;

enum class FileKind { Prose, Source, Records, Compressed, Executable, Tiny, Language, Description };

struct CorpusEntry {
    std::string path;  // relative, '/' between folders
    FileKind kind;
    uint64_t size;     // bytes to generate
    uint64_t seed;
    std::string label;  // a language file's display name
};

// A small, fast generator with a fully specified sequence (the standard
// library's distributions differ between implementations).
struct Random {
    uint64_t state;
};

Random SeedRandom(uint64_t seed);
uint64_t NextRandom(Random* random);
// Uniform in [0, bound), bound > 0.
uint64_t RandomBelow(Random* random, uint64_t bound);
// Uniform in [0, 1).
double RandomUnit(Random* random);

// The files of a corpus of about targetBytes, in a stable order. The full
// corpus is 100 MiB in about 2,000 files; smaller targets scale the byte
// budgets and the file counts down together.
std::vector<CorpusEntry> PlanCorpus(uint64_t targetBytes, uint64_t seed);

// The bytes of one entry: exactly entry.size of them, the same for the same entry.
std::vector<uint8_t> GenerateEntry(const CorpusEntry& entry);

// Kind-specific makers (corpus_text.cpp, corpus_binary.cpp).
void MakeProse(Random* random, uint64_t size, bool html, std::vector<uint8_t>* out);
void MakeSource(Random* random, uint64_t size, std::vector<uint8_t>* out);
enum class RecordStyle { Csv, Log, Xml };
void MakeRecords(Random* random, uint64_t size, RecordStyle style, std::vector<uint8_t>* out);
void MakeCompressed(Random* random, uint64_t size, std::vector<uint8_t>* out);
void MakeExecutable(Random* random, uint64_t size, std::vector<uint8_t>* out);
void MakeTiny(Random* random, uint64_t size, std::vector<uint8_t>* out);
void MakeLanguageFile(Random* random, uint64_t size, const std::string& languageName, std::vector<uint8_t>* out);

// A word of the generator's vocabulary by rank (0 = most frequent); words of
// low rank are short, as in natural language.
const std::string& VocabularyWord(size_t rank);
size_t VocabularySize();
// A rank drawn with Zipf's law over the vocabulary.
size_t ZipfRank(Random* random);
