// ProcessPackage on arbitrary whole files. The input is the tail of a setup
// from 16 bytes before the first offset the signature search looks at, so the
// fuzzer reaches the search's start, the signature, the properties, the sizes
// and the compressed bytes alike. Every file the package asks for is written
// into a scratch folder. A failed run must leave the state's header fields as
// they were; a sound one must leave them terminated within their widths.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "fuzz_support.h"
#include "state/state.h"
#include "package/package_run.h"
#include "common/test_seams.h"

namespace {

const size_t kLead = 16;  // the input's bytes that lie before offset 89999

// Dictionaries beyond this are refused as a machine short of memory would;
// a hostile header may ask for 4 GiB and that answer (-2) is a sound one.
void* LimitedAllocate(size_t size) {
    if (size == 0 || size > (64u << 20)) return nullptr;
    return calloc(1, size);
}


struct Outputs {
    std::string folder;
    uint32_t starts = 0;
    uint32_t size = 0;
};

int32_t WriteEveryFile(char16_t* name, const uint8_t* data, uint32_t length, void* context) {
    Outputs* outputs = static_cast<Outputs*>(context);
    if (data) {
        fuzz::Check(length > 0 && length <= 1024 && length <= outputs->size, "a preview of a wrong length");
        return 0;
    }
    outputs->size = length;
    outputs->starts += 1;
    std::u16string target = fuzz::U16(outputs->folder + "/f" + std::to_string(outputs->starts % 4));
    memcpy(name, target.c_str(), (target.size() + 1) * sizeof(char16_t));
    return 1;
}

bool IsKnownResult(int32_t result) {
    if (result >= 0) return true;  // 0, or a system code of a file that could not be written
    for (int32_t known : {-1, -2, -4, -6, -8, -11, -1235})
        if (result == known) return true;
    return false;
}

void Sentinel(InstallerState* state) {
    memset(state, 0, sizeof *state);
    strcpy(state->productCode, "SNT");
    strcpy(state->windowClass, "SentinelWindowClass");
    strcpy(state->headerMainProgram, "Sentinel.exe");
}

bool Terminated(const char* field, size_t size) { return memchr(field, 0, size) != nullptr; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string setup = fuzz::Scratch() + "/setup.exe";
    static const std::vector<uint8_t> stub(kSearchStart - kLead, 0);
    FILE* file = fopen(setup.c_str(), "wb");
    fuzz::Check(file != nullptr, "cannot write the setup file");
    fwrite(stub.data(), 1, stub.size(), file);
    if (size) fwrite(data, 1, size, file);
    fuzz::Check(fclose(file) == 0, "cannot write the setup file");

    InstallerState state;
    Sentinel(&state);
    InstallerState before = state;
    gState = &state;
    gTestSeams.allocate = LimitedAllocate;
    Outputs outputs;
    outputs.folder = fuzz::FreshFolder("out");
    int32_t result = ProcessPackage(fuzz::U16(setup).c_str(), WriteEveryFile, &outputs);
    gTestSeams = kNoTestSeams;
    gState = nullptr;

    fuzz::Check(IsKnownResult(result), "a result outside the documented ones");
    fuzz::Check(Terminated(state.productCode, sizeof state.productCode) &&
                    Terminated(state.windowClass, sizeof state.windowClass) &&
                    Terminated(state.headerMainProgram, sizeof state.headerMainProgram),
                "a header field unterminated in the state");
    if (result != 0) {
        fuzz::Check(strcmp(state.productCode, before.productCode) == 0 &&
                        strcmp(state.windowClass, before.windowClass) == 0 &&
                        strcmp(state.headerMainProgram, before.headerMainProgram) == 0,
                    "a failed run changed the header fields");
    }
    // Nothing else of the state is the package run's to change.
    fuzz::Check(state.productName[0] == 0 && state.platformFlags == 0 && state.languagePrefix[0] == 0,
                "the run touched fields it does not own");
    return 0;
}
