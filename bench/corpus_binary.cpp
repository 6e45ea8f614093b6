// Binary files: already-compressed data, executable-like programs and the many
// tiny files (icons, settings, small resources) every product carries.
#include <string.h>

#include "corpus.h"

namespace {

constexpr uint64_t kImageBase = 0x140000000ULL;

void Put(std::vector<uint8_t>* out, std::initializer_list<uint8_t> bytes) { out->insert(out->end(), bytes); }

void PutLe(std::vector<uint8_t>* out, uint64_t value, int bytes) {
    for (int k = 0; k < bytes; ++k) out->push_back(static_cast<uint8_t>(value >> (8 * k)));
}

void PutText(std::vector<uint8_t>* out, const std::string& text) { out->insert(out->end(), text.begin(), text.end()); }

void PadTo(std::vector<uint8_t>* out, size_t end, uint8_t fill) {
    if (out->size() < end) out->resize(end, fill);
}

void PutHeaders(Random* random, std::vector<uint8_t>* out, size_t start) {
    Put(out, {'M', 'Z', 0x90, 0, 3, 0, 0, 0, 4, 0, 0, 0, 0xFF, 0xFF});
    PadTo(out, start + 0x3C, 0);
    PutLe(out, 0x80, 4);
    PadTo(out, start + 0x4E, 0);
    PutText(out, "This program cannot be run in DOS mode.\r\r\n$");
    PadTo(out, start + 0x80, 0);
    Put(out, {'P', 'E', 0, 0, 0x64, 0x86, 6, 0});
    PutLe(out, 0x60000000 + RandomBelow(random, 0x10000000), 4);
    PadTo(out, start + 0x188, 0);
    for (const char* name : {".text", ".rdata", ".data", ".pdata", ".rsrc", ".reloc"}) {
        size_t at = out->size();
        PutText(out, name);
        PadTo(out, at + 8, 0);
        for (int k = 0; k < 4; ++k) PutLe(out, (RandomBelow(random, 0x4000) + 1) << 9, 4);
        PadTo(out, at + 40, 0);
    }
    PadTo(out, start + 1024, 0);
}

// x86-64 code as compilers lay it out: aligned functions with prologues and
// epilogues, register moves, stack accesses, and calls whose 32-bit relative
// targets differ at every call site.
void PutFunction(Random* random, std::vector<uint8_t>* out, size_t start, std::vector<uint64_t>* functions,
                 uint64_t dataBase) {
    uint64_t here = kImageBase + 0x1000 + (out->size() - start);
    functions->push_back(here);
    uint64_t frame = 0x20 + 8 * RandomBelow(random, 12);
    Put(out, {0x48, 0x89, 0x5C, 0x24, 0x08, 0x57, 0x48, 0x83, 0xEC, static_cast<uint8_t>(frame)});
    uint64_t count = 4 + RandomBelow(random, 40);
    for (uint64_t k = 0; k < count; ++k) {
        uint64_t at = kImageBase + 0x1000 + (out->size() - start);
        uint8_t reg = static_cast<uint8_t>(RandomBelow(random, 8));
        switch (RandomBelow(random, 10)) {
        case 0: Put(out, {0x48, 0x8B, static_cast<uint8_t>(0x44 | (reg << 3)), 0x24, static_cast<uint8_t>(8 * RandomBelow(random, 8))}); break;
        case 1: Put(out, {0x48, 0x89, static_cast<uint8_t>(0x44 | (reg << 3)), 0x24, static_cast<uint8_t>(8 * RandomBelow(random, 8))}); break;
        case 2: {
            uint64_t target = (*functions)[RandomBelow(random, functions->size())];
            Put(out, {0xE8});
            PutLe(out, target - (at + 5), 4);
            break;
        }
        case 3:
            Put(out, {0xFF, 0x15});
            PutLe(out, dataBase + 8 * RandomBelow(random, 120) - (at + 6), 4);
            break;
        case 4:
            Put(out, {0x48, 0x8D, static_cast<uint8_t>(0x05 | (reg << 3))});
            PutLe(out, dataBase + 0x400 + 16 * RandomBelow(random, 4000) - (at + 7), 4);
            break;
        case 5: Put(out, {0x85, 0xC0, static_cast<uint8_t>(0x74 + RandomBelow(random, 2)), static_cast<uint8_t>(4 + RandomBelow(random, 40))}); break;
        case 6:
            Put(out, {static_cast<uint8_t>(0xB8 + reg)});
            PutLe(out, RandomBelow(random, 3) ? RandomBelow(random, 64) : NextRandom(random), 4);
            break;
        case 7: Put(out, {0x83, static_cast<uint8_t>(0xF8 + reg), static_cast<uint8_t>(RandomBelow(random, 32))}); break;
        case 8: Put(out, {0x33, static_cast<uint8_t>(0xC0 | (reg << 3) | reg)}); break;
        default: Put(out, {0x48, 0x8B, static_cast<uint8_t>(0xC0 | (reg << 3) | static_cast<uint8_t>(RandomBelow(random, 8)))}); break;
        }
    }
    Put(out, {0x48, 0x8B, 0x5C, 0x24, static_cast<uint8_t>(frame + 0x10), 0x48, 0x83, 0xC4, static_cast<uint8_t>(frame),
              0x5F, 0xC3});
    PadTo(out, start + ((out->size() - start + 15) & ~static_cast<size_t>(15)), 0xCC);
}

void PutReadOnlyData(Random* random, std::vector<uint8_t>* out, size_t end, uint64_t dataBase) {
    for (int k = 0; k < 120 && out->size() < end; ++k) PutLe(out, dataBase + 0x10000 + 24 * RandomBelow(random, 4000), 8);
    while (out->size() < end) {
        std::string word = VocabularyWord(ZipfRank(random));
        switch (RandomBelow(random, 4)) {
        case 0: PutText(out, word + " " + VocabularyWord(ZipfRank(random)) + "%s: %d"); out->push_back(0); break;
        case 1:
            for (char c : word + "." + VocabularyWord(ZipfRank(random))) PutLe(out, static_cast<uint8_t>(c), 2);
            PutLe(out, 0, 2);
            break;
        case 2:
            for (int n = 0; n < 6; ++n) PutLe(out, kImageBase + 0x1000 + 16 * RandomBelow(random, 1 << 16), 8);
            break;
        default: PutText(out, word); out->push_back(0); break;
        }
        PadTo(out, (out->size() + 7) & ~static_cast<size_t>(7), 0);
    }
}

void PutData(Random* random, std::vector<uint8_t>* out, size_t end) {
    while (out->size() < end) {
        if (RandomBelow(random, 5) == 0) PutLe(out, RandomBelow(random, 3) ? RandomBelow(random, 1000) : NextRandom(random), 8);
        else PadTo(out, out->size() + 8 * (1 + RandomBelow(random, 16)), 0);
    }
}

// Bitmaps in resources: smooth gradients with a little noise.
void PutResources(Random* random, std::vector<uint8_t>* out, size_t end) {
    while (out->size() < end) {
        uint32_t width = 16u << RandomBelow(random, 3);
        Put(out, {40, 0, 0, 0});
        PutLe(out, width, 4);
        PutLe(out, width * 2, 4);
        Put(out, {1, 0, 32, 0});
        PadTo(out, out->size() + 24, 0);
        uint8_t base = static_cast<uint8_t>(NextRandom(random));
        for (uint32_t y = 0; y < width; ++y)
            for (uint32_t x = 0; x < width; ++x) {
                uint8_t noise = static_cast<uint8_t>(RandomBelow(random, 4));
                Put(out, {static_cast<uint8_t>(base + x * 4 + noise), static_cast<uint8_t>(base + y * 4),
                          static_cast<uint8_t>(base + (x + y) * 2), 0xFF});
            }
    }
}

void PutRelocations(Random* random, std::vector<uint8_t>* out, size_t end) {
    for (uint32_t page = 0x1000; out->size() < end; page += 0x1000) {
        PutLe(out, page, 4);
        PutLe(out, 8 + 2 * 32, 4);
        uint32_t offset = 0;
        for (int k = 0; k < 32; ++k) {
            offset = (offset + 8 + 8 * static_cast<uint32_t>(RandomBelow(random, 12))) & 0xFFF;
            PutLe(out, 0xA000 | offset, 2);
        }
    }
}

}  // namespace

void MakeCompressed(Random* random, uint64_t size, std::vector<uint8_t>* out) {
    static const uint8_t kMagic[3][8] = {{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'},
                                         {'P', 'K', 3, 4, 20, 0, 0, 0},
                                         {0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F'}};
    size_t start = out->size();
    const uint8_t* magic = kMagic[RandomBelow(random, 3)];
    out->insert(out->end(), magic, magic + (size < 8 ? size : 8));
    while (out->size() - start + 8 <= size) PutLe(out, NextRandom(random), 8);
    while (out->size() - start < size) out->push_back(static_cast<uint8_t>(NextRandom(random)));
}

void MakeExecutable(Random* random, uint64_t size, std::vector<uint8_t>* out) {
    size_t start = out->size();
    PutHeaders(random, out, start);
    size_t textEnd = start + 1024 + size * 55 / 100;
    uint64_t dataBase = kImageBase + 0x1000 + size * 55 / 100;
    std::vector<uint64_t> functions;
    while (out->size() < textEnd) PutFunction(random, out, start, &functions, dataBase);
    PutReadOnlyData(random, out, out->size() + size * 20 / 100, dataBase);
    PutData(random, out, out->size() + size * 8 / 100);
    PutResources(random, out, out->size() + size * 12 / 100);
    PutRelocations(random, out, start + size);
    out->resize(start + size);
}

// Settings, icons and small resources, a few bytes to a few KiB.
void MakeTiny(Random* random, uint64_t size, std::vector<uint8_t>* out) {
    size_t start = out->size();
    switch (RandomBelow(random, 4)) {
    case 0:
        while (out->size() - start < size)
            PutText(out, VocabularyWord(ZipfRank(random)) + "=" + std::to_string(RandomBelow(random, 1000)) + "\r\n");
        break;
    case 1: PutResources(random, out, start + size); break;
    case 2: MakeProse(random, size, false, out); break;
    default: MakeCompressed(random, size, out); break;
    }
    out->resize(start + size);
}
