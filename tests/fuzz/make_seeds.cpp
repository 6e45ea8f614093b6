// Writes the seed corpus of every fuzz target: record streams made with the
// package writer, setups with LZMA packages of them, and entries and names of
// the kinds the scan, the placement and extract's path rule meet.
// Usage: make_seeds CORPUS_FOLDER (the folder holding one folder per target).
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "LzmaEnc.h"
#include "package/record_writer.h"

namespace {

typedef std::vector<uint8_t> Bytes;

const uint8_t kSignature[4] = {0xA7, 0x3C, 0x5E, 0x91};

struct File {
    const char* name;
    std::string bytes;
};

bool Collect(const uint8_t* bytes, uint32_t n, void* context) {
    static_cast<Bytes*>(context)->insert(static_cast<Bytes*>(context)->end(), bytes, bytes + n);
    return true;
}

Bytes Stream(const char* code, const char* windowClass, const char* mainProgram, const std::vector<File>& files) {
    uint32_t checksum = 0;
    for (size_t i = 0; i < files.size(); ++i)
        checksum = ChecksumAddBytes(checksum, static_cast<uint32_t>(i + 1), files[i].name,
                                    reinterpret_cast<const uint8_t*>(files[i].bytes.data()),
                                    static_cast<uint32_t>(files[i].bytes.size()));
    Bytes stream;
    RecordWriter writer;
    InitRecordWriter(&writer, Collect, &stream);
    WritePackageHeader(&writer, checksum, code, windowClass, mainProgram, DateWord(2024, 2, 29));
    for (const File& file : files) {
        BeginFileRecord(&writer, file.name, static_cast<uint32_t>(file.bytes.size()));
        WriteFileBytes(&writer, reinterpret_cast<const uint8_t*>(file.bytes.data()),
                       static_cast<uint32_t>(file.bytes.size()));
    }
    if (FinishRecordWriter(&writer) != kWriterOk) {
        fprintf(stderr, "make_seeds: %s\n", RecordWriterError(&writer));
        exit(1);
    }
    return stream;
}

void* Allocate(void*, size_t size) { return malloc(size); }
void Release(void*, void* address) { free(address); }

// 16 bytes of the stub, the signature, the properties, the unpacked size and
// the LZMA data: what the package target puts behind its own stub.
Bytes SetupTail(const Bytes& stream, bool endMarker, uint32_t dictionary) {
    CLzmaEncProps props;
    LzmaEncProps_Init(&props);
    props.level = 5;
    props.dictSize = dictionary;
    props.writeEndMark = endMarker ? 1 : 0;
    Bytes packed(stream.size() + stream.size() / 2 + 4096);
    SizeT packedSize = packed.size();
    uint8_t header[LZMA_PROPS_SIZE];
    SizeT headerSize = LZMA_PROPS_SIZE;
    ISzAlloc alloc = {Allocate, Release};
    if (LzmaEncode(packed.data(), &packedSize, stream.data(), stream.size(), &props, header, &headerSize, 1,
                   nullptr, &alloc, &alloc) != SZ_OK) {
        fprintf(stderr, "make_seeds: LZMA encoding failed\n");
        exit(1);
    }
    Bytes tail(16, 0);
    tail.insert(tail.end(), kSignature, kSignature + 4);
    tail.insert(tail.end(), header, header + headerSize);
    uint32_t size = static_cast<uint32_t>(stream.size());
    for (int shift = 24; shift >= 0; shift -= 8) tail.push_back(static_cast<uint8_t>(size >> shift));
    tail.insert(tail.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packedSize));
    return tail;
}

void Save(const std::string& folder, const std::string& name, const Bytes& bytes) {
    mkdir(folder.c_str(), 0755);
    std::string path = folder + "/" + name;
    FILE* file = fopen(path.c_str(), "wb");
    if (!file || fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || fclose(file) != 0) {
        fprintf(stderr, "make_seeds: cannot write %s\n", path.c_str());
        exit(1);
    }
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Wide(const std::u16string& text) {
    Bytes bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    return bytes;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Two(uint32_t value) { return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)}; }

const std::vector<File> kProduct = {
    {"FILE_ID.DIZ", "Sample Tool Version 2.5 (2024)\r\nfor 32-bit and 64-bit Windows\r\n"},
    {"32\\a.dll", "thirty-two"},
    {"64\\a.dll", "sixty-four"},
    {"PROGRAM_IT.LNG", "[Strings]\r\nLanguage=Italiano (Italian)\r\n"},
    {"PROGRAM_IT.CHM", std::string(1500, 'h')},
    {"docs\\readme.txt", "read me"},
    {"Qtool.exe", std::string(3000, 'q')},
    {"UnInst.exe", "uninstaller"},
    {"empty.txt", ""},
};

void RecordSeeds(const std::string& folder) {
    Bytes plain = {0, 0, 0, 0};  // answer masks, no cuts
    Save(folder, "product", plain + Stream("QW", "QwWindow", "Qtool.exe", kProduct));
    Bytes cuts = {0, 0, 0, 4};
    for (uint32_t length : {7u, 1u, 0u, 300u}) cuts = cuts + Two(length);
    Save(folder, "product-in-chunks", cuts + Stream("QW", "QwWindow", "Qtool.exe", kProduct));
    Save(folder, "header-only", plain + Stream("", "", "", {}));
    Save(folder, "long-header", plain + Stream("LONGCODE", std::string(40, 'w').c_str(), std::string(40, 'm').c_str(),
                                               {{"a", std::string(2, '\xFF')}}));
    Save(folder, "skips-and-failures", Bytes{0x22, 0x44, 0x08, 0} + Stream("QW", "", "", kProduct));
}

void PackageSeeds(const std::string& folder) {
    Bytes product = Stream("QW", "QwWindow", "Qtool.exe", kProduct);
    Save(folder, "product", SetupTail(product, true, 1 << 16));
    Save(folder, "product-without-end-marker", SetupTail(product, false, 1 << 16));
    Save(folder, "header-only", SetupTail(Stream("E", "", "", {}), true, 4096));
    std::string big;
    uint64_t x = 7;
    for (int i = 0; i < 70000; ++i) {
        x = x * 6364136223846793005ull + 1442695040888963407ull;
        big.push_back(static_cast<char>('a' + ((x >> 60) & 3)));
    }
    Save(folder, "two-chunks", SetupTail(Stream("BIG", "", "", {{"big.txt", big}}), true, 1 << 17));
}

// One entry of the scan target: kind 0 (description), 1 (<bytes>.LNG),
// 2 (PROGRAM_xx.lng), 3 (32 or 64 folder), 4 (any name); then its preview.
Bytes ScanEntry(const Bytes& entry, const std::string& preview) {
    return entry + Two(static_cast<uint32_t>(preview.size() - 1)) + Text(preview);
}

void ScanSeeds(const std::string& folder) {
    Bytes platform = ScanEntry({3, 1, 1}, "x");
    Bytes description = ScanEntry({0, 1}, "Sample Tool Version 2.5 (2024)\r\nfor 32-bit and 64-bit Windows\r\n");
    Bytes german = ScanEntry(Bytes{2} + Wide(u"_DE"), "[Strings]\r\nLanguage=Deutsch (German)\r\n");
    Bytes italian = ScanEntry(Bytes{1, 16} + Wide(u"PROGRAM_IT"), "[Strings]\r\nLanguage = Italiano\r\n");
    std::u16string utf16 = u"\xFEFF[Strings]\r\nLanguage=Fran\u00E7ais\r\n";
    Bytes french = Bytes{2} + Wide(u"_FR") + Two(static_cast<uint32_t>(utf16.size() * 2 - 1)) + Wide(utf16);
    Bytes hostile = ScanEntry({0, 1}, "..\\..\\Startup\r\n");
    Bytes named = Bytes{4} + Two(24) + Wide(u"docs\\FILE_ID.DIZ") + Two(3) + Text("Docs");
    Save(folder, "product", platform + description + german + italian + french);
    Save(folder, "hostile-title", hostile + named);
}

// The placement target: language prefix, list and rows, destination's tail,
// platform folder, main program; then the entries, each as pieces.
void PlacementSeeds(const std::string& folder) {
    Bytes prefix = Bytes{14} + Wide(u"PROGRAM");
    Bytes rows = {1, 2, 2, 'I', 'T', 0, 1, 1, 1, 0};  // the list, one row IT; US, DE ticked, IT unticked
    Bytes setting = {0, 2, 0};                       // no tail, platform 64, no main program
    // Entries: pieces (1 = listed piece index, 0 = text of n bytes), then the long-name byte.
    Bytes platformFile = {3, 1, 5, 1, 2, 0, 10};
    platformFile = platformFile + Wide(u"a.dll") + Bytes{1};
    Bytes climbing = {4, 1, 0, 1, 2, 1, 0, 1, 2};
    climbing = climbing + Bytes{0, 14} + Wide(u"up.dll") + Bytes{1};
    Bytes device = {2, 1, 6, 0, 8};
    device = device + Wide(u".txt") + Bytes{1};
    Bytes language = {2, 0, 14};
    language = language + Wide(u"PROGRAM") + Bytes{1, 14, 1};
    Save(folder, "product", prefix + rows + setting + platformFile + climbing + device + language);
    Save(folder, "plain", Bytes{0, 1, 0, 0, 0, 0, 0, 1, 0, 10} + Wide(u"a.dll") + Bytes{1});
}

void ExtractSeeds(const std::string& folder) {
    const char* names[] = {"docs\\readme.txt", "..\\evil.txt", "C:\\Windows\\x.dll", "a.txt:stream", "CON",
                           "docs\\nul.txt", "trailing.", "64/sub\\a.dll", "docs\\", "\\abs"};
    int index = 0;
    for (const char* name : names) Save(folder, "name" + std::to_string(index++), Bytes{0} + Text(name));
    Save(folder, "wide", Bytes{1} + Wide(u"d\u00F6cs\\\u00FCber.txt"));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: make_seeds CORPUS_FOLDER\n");
        return 2;
    }
    std::string corpus = argv[1];
    mkdir(corpus.c_str(), 0755);
    RecordSeeds(corpus + "/record_parser");
    PackageSeeds(corpus + "/package_run");
    ScanSeeds(corpus + "/scan");
    PlacementSeeds(corpus + "/placement");
    ExtractSeeds(corpus + "/extract_names");
    return 0;
}
