// The uninstaller's list on arbitrary bytes: a list it reads says what its
// writers would write again, word for word, and its names stay inside it.
#include <string.h>

#include <string>
#include <vector>

#include "fuzz_support.h"
#include "uninstall/file_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A block of exactly the input's size, so the sanitizers see any overread.
    std::vector<char> text(data, data + size);
    char* bytes = size ? text.data() : nullptr;
    UninstallList list;
    ListStatus status = ParseUninstallList(bytes, static_cast<uint32_t>(size), &list);
    if (status != kListRead) {
        fuzz::Check(list.fileCount == 0 && list.files == nullptr, "a refused list kept its files");
        return 0;
    }
    fuzz::Check(list.productName[0] != 0, "a list without a product was read");
    char line[kListLineCapacity];
    std::string again;
    fuzz::Check(FormatListHeader(list.productName, list.productCode, list.windowClass, list.mainProgram, line,
                                 sizeof line) > 0,
                "the header read cannot be written");
    again += line;
    for (int32_t i = 0; i < list.fileCount; ++i) {
        const ListedFile& file = list.files[i];
        fuzz::Check(file.name >= bytes && file.name < bytes + size && file.name[0], "a name outside the list");
        fuzz::Check(FormatListedFile(file.size, file.checksum, file.name, line, sizeof line) > 0,
                    "a file line read cannot be written");
        again += line;
    }
    fuzz::Check(FormatListEnd(list.fileCount, line, sizeof line) > 0, "the end line cannot be written");
    again += line;
    UninstallList reread;
    fuzz::Check(ParseUninstallList(&again[0], static_cast<uint32_t>(again.size()), &reread) == kListRead &&
                    reread.fileCount == list.fileCount && strcmp(reread.productName, list.productName) == 0,
                "the list written again reads differently");
    for (int32_t i = 0; i < list.fileCount; ++i)
        fuzz::Check(reread.files[i].size == list.files[i].size && reread.files[i].checksum == list.files[i].checksum &&
                        strcmp(reread.files[i].name, list.files[i].name) == 0,
                    "a file line written again reads differently");
    FreeUninstallList(&reread);
    FreeUninstallList(&list);
    return 0;
}
