#include "installer_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>

#include "LzmaEnc.h"
#include "common/memory.h"
#include "state/state.h"
#include "ui/language_list.h"
#include "ui/texts.h"
#include "ui/window.h"

namespace fs = std::filesystem;

namespace test {

static void* LzmaAlloc(void*, size_t size) { return malloc(size); }
static void LzmaFree(void*, void* address) { free(address); }

void WriteSetupFile(const std::string& path, const PackagePlan& contents) {
    std::vector<uint8_t> stream = MakeRecordStream(contents);
    CLzmaEncProps props;
    LzmaEncProps_Init(&props);
    props.level = 5;
    props.dictSize = 1 << 16;
    props.writeEndMark = 1;
    std::vector<uint8_t> packed(stream.size() + stream.size() / 2 + 4096);
    SizeT packedSize = packed.size();
    uint8_t header[LZMA_PROPS_SIZE];
    SizeT headerSize = LZMA_PROPS_SIZE;
    ISzAlloc alloc = {LzmaAlloc, LzmaFree};
    SRes result = LzmaEncode(packed.data(), &packedSize, stream.data(), stream.size(), &props, header,
                             &headerSize, 1, nullptr, &alloc, &alloc);
    ASSERT_EQ(result, SZ_OK) << "LZMA encoding of the test package failed";
    std::string file(89999, '\0');
    file += std::string("\xA7\x3C\x5E\x91", 4);
    file.append(reinterpret_cast<const char*>(header), headerSize);
    uint32_t size = static_cast<uint32_t>(stream.size());
    for (int shift = 24; shift >= 0; shift -= 8) file.push_back(static_cast<char>((size >> shift) & 0xFF));
    file.append(reinterpret_cast<const char*>(packed.data()), packedSize);
    ASSERT_TRUE(WriteWholeFile(path, file)) << "cannot write " << path;
}

StateScope::StateScope() : previous(gState) {
    gState = static_cast<InstallerState*>(AllocZeroed(sizeof(InstallerState)));
    SetDefaultLanguageOverride(1033);
    SelectTextTable();
}

StateScope::~StateScope() {
    FreeAndClear(&gState);
    gState = previous;
    SetDefaultLanguageOverride(0);
}

ScopedEnv::ScopedEnv(const char* variable, const char* value) : name(variable) {
    const char* old = getenv(variable);
    hadValue = old != nullptr;
    if (old) oldValue = old;
    if (value) setenv(variable, value, 1);
    else unsetenv(variable);
}

ScopedEnv::~ScopedEnv() {
    if (hadValue) setenv(name.c_str(), oldValue.c_str(), 1);
    else unsetenv(name.c_str());
}

std::vector<RowView> Rows(DialogModel* model) {
    std::vector<RowView> rows;
    Window list;
    if (!GetControl(&model->window, kIdLanguageList, &list)) return rows;
    for (int32_t i = 0; i < GetRowCount(&list); ++i) {
        char16_t text[1024];
        uint32_t data = 0;
        ListGetRow(&list, i, text, 1024, &data);
        char code[8];
        LanguageCodeText(GetRowCode(&list, i), code);
        rows.push_back({Utf8(text), code, GetRowCheck(&list, i) == kRowTicked});
    }
    return rows;
}

std::string ControlText(DialogModel* model, int32_t id) {
    char16_t text[1100];
    GetItemText(&model->window, id, text, 1100);
    return Utf8(text);
}

bool Ticked(DialogModel* model, int32_t id) { return IsItemChecked(&model->window, id); }

bool Visible(DialogModel* model, int32_t id) {
    ModelControl* control = FindModelControl(model, id);
    return control && control->visible;
}

std::string Caption(DialogModel* model) {
    char16_t text[1100];
    GetWindowCaption(&model->window, text, 1100);
    return Utf8(text);
}

void TickOnly(DialogModel* model, const std::vector<std::string>& codes) {
    Window list;
    ASSERT_TRUE(GetControl(&model->window, kIdLanguageList, &list));
    for (int32_t i = 0; i < GetRowCount(&list); ++i) {
        char code[8];
        LanguageCodeText(GetRowCode(&list, i), code);
        bool wanted = std::find(codes.begin(), codes.end(), code) != codes.end();
        SetRowCheck(&list, i, wanted ? kRowTicked : kRowUnticked);
    }
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string() + (entry.is_directory() ? "/" : ""));
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace test
