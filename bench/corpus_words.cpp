// The generator's randomness and its made-up language: a vocabulary built from
// syllables, drawn with Zipf's law so that text compresses as real text does.
#include <algorithm>

#include "corpus.h"

namespace {

const char* const kSyllables[] = {
    "a",   "an",  "ar",  "ba",  "be",  "ca",  "co",  "da",  "de",  "di",  "e",   "el",  "en",  "er",
    "fa",  "fo",  "ga",  "ge",  "ha",  "he",  "i",   "in",  "is",  "ka",  "la",  "le",  "li",  "lo",
    "ma",  "me",  "mi",  "mo",  "na",  "ne",  "ni",  "no",  "o",   "on",  "or",  "pa",  "pe",  "pro",
    "ra",  "re",  "ri",  "ro",  "sa",  "se",  "si",  "so",  "sta", "ta",  "te",  "ti",  "to",  "tra",
    "u",   "un",  "ur",  "va",  "ve",  "vi",  "wa",  "we",  "ya",  "ze",  "tion", "ment", "ing", "ed"};
constexpr size_t kSyllableCount = sizeof kSyllables / sizeof kSyllables[0];
constexpr size_t kVocabulary = 6000;
constexpr uint64_t kVocabularySeed = 0x5EEDF00DULL;

std::vector<std::string> BuildVocabulary() {
    Random random = SeedRandom(kVocabularySeed);
    std::vector<std::string> words;
    words.reserve(kVocabulary);
    while (words.size() < kVocabulary) {
        // Frequent words are short: the syllable count grows with the rank.
        size_t rank = words.size();
        uint64_t most = rank < 60 ? 1 : rank < 600 ? 2 : rank < 3000 ? 3 : 4;
        uint64_t count = 1 + RandomBelow(&random, most);
        std::string word;
        for (uint64_t k = 0; k < count; ++k) word += kSyllables[RandomBelow(&random, kSyllableCount)];
        if (std::find(words.begin(), words.end(), word) == words.end()) words.push_back(word);
    }
    return words;
}

const std::vector<std::string>& Vocabulary() {
    static const std::vector<std::string> words = BuildVocabulary();
    return words;
}

std::vector<double> BuildZipfTable() {
    std::vector<double> cumulative(kVocabulary);
    double total = 0;
    for (size_t rank = 0; rank < kVocabulary; ++rank) {
        // Exponent 1: plain division rounds the same everywhere, pow() need not.
        total += 1.0 / static_cast<double>(rank + 1);
        cumulative[rank] = total;
    }
    for (double& value : cumulative) value /= total;
    return cumulative;
}

}  // namespace

Random SeedRandom(uint64_t seed) { return Random{seed ^ 0x9E3779B97F4A7C15ULL}; }

// splitmix64: every state gives a well-mixed output, so neighbouring seeds
// give unrelated files.
uint64_t NextRandom(Random* random) {
    uint64_t z = (random->state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

uint64_t RandomBelow(Random* random, uint64_t bound) { return NextRandom(random) % bound; }

double RandomUnit(Random* random) { return static_cast<double>(NextRandom(random) >> 11) * 0x1.0p-53; }

const std::string& VocabularyWord(size_t rank) { return Vocabulary()[rank % kVocabulary]; }

size_t VocabularySize() { return kVocabulary; }

size_t ZipfRank(Random* random) {
    static const std::vector<double> table = BuildZipfTable();
    double u = RandomUnit(random);
    size_t rank = static_cast<size_t>(std::upper_bound(table.begin(), table.end(), u) - table.begin());
    return rank < kVocabulary ? rank : kVocabulary - 1;
}
