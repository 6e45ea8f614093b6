// Writes a setup whose entries are named exactly as told, names that mksetup
// build rightly refuses included, so that the Wine tests can hand the real
// installer a hostile package.
//   raw_setup STUB OUT CODE CLASS MAIN STORED=FILE...
// STORED is the entry's name as stored (bytes as given, '\' between folders).
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "package/record_writer.h"
#include "setup_writer.h"

int main(int argc, char** argv) {
    if (argc < 7) {
        std::cerr << "usage: raw_setup STUB OUT CODE CLASS MAIN STORED=FILE...\n";
        return 2;
    }
    SetupPlan plan;
    std::ifstream stub(argv[1], std::ios::binary);
    plan.stub.assign(std::istreambuf_iterator<char>(stub), std::istreambuf_iterator<char>());
    if (!stub && !stub.eof()) {
        std::cerr << "raw_setup: cannot read " << argv[1] << "\n";
        return 1;
    }
    plan.productCode = argv[3];
    plan.windowClass = argv[4];
    plan.mainProgram = argv[5];
    plan.dateWord = DateWord(2026, 3, 14);
    plan.quiet = true;
    for (int i = 6; i < argc; ++i) {
        std::string arg = argv[i];
        size_t equals = arg.rfind('=');
        if (equals == std::string::npos) {
            std::cerr << "raw_setup: " << arg << " is not STORED=FILE\n";
            return 2;
        }
        PackageEntry entry;
        entry.storedName = arg.substr(0, equals);
        entry.source = arg.substr(equals + 1);
        std::error_code ec;
        entry.size = std::filesystem::file_size(entry.source, ec);
        if (ec) {
            std::cerr << "raw_setup: cannot read " << entry.source << "\n";
            return 1;
        }
        plan.entries.push_back(entry);
    }
    SetupOutcome outcome;
    std::string error;
    if (!WriteSetupFile(plan, argv[2], &outcome, &error)) {
        std::cerr << "raw_setup: " << error << "\n";
        return 1;
    }
    return 0;
}
