// The scan callback's readers on arbitrary entries: product descriptions,
// language files (ANSI and UTF-16) and names of any shape, against the
// in-memory dialog. The state's fields must stay terminated within their
// widths, the product name one plain name, the built-in rows keep their names,
// every language row is unique and its name free of what ends a value.
#include <string.h>

#include "common/text.h"
#include "fuzz_support.h"
#include "common/file_names.h"
#include "installer/scan.h"
#include "state/state.h"
#include "package/record_stream.h"
#include "model/dialog_model.h"
#include "ui/language_list.h"
#include "ui/texts.h"
#include "ui/window.h"
#include "common/codepage.h"

namespace {

// An entry: one byte for its kind, then what the kind needs (see the seeds).
std::u16string EntryName(fuzz::Reader* in) {
    switch (in->Below(5)) {
    case 0: return in->Bool() ? u"FILE_ID.DIZ" : u"file_id.diz";
    case 1: return fuzz::WideFromBytes(in->Bytes(in->Below(41))) + u".LNG";
    case 2: return u"PROGRAM_" + fuzz::WideFromBytes(in->Bytes(4)) + u".lng";
    case 3: return (in->Bool() ? u"32" : u"64") + std::u16string(in->Bool() ? u"\\" : u"/") + u"a.dll";
    default: return fuzz::WideFromBytes(in->Bytes(in->Below(2101)));
    }
}

std::u16string RowText(const Window* list, int32_t row) {
    char16_t text[1100];
    uint32_t data = 0;
    ListGetRow(list, row, text, 1100, &data);
    return text;
}

void CheckState(DialogModel* model) {
    fuzz::Check(memchr(gState->productName, 0, sizeof gState->productName) != nullptr, "product name unterminated");
    fuzz::Check(TextLength(gState->languagePrefix) < 32, "language prefix unterminated");
    fuzz::Check((gState->platformFlags & ~3u) == 0, "a platform flag beyond bits 0 and 1");
    char16_t name[32];
    AnsiToWide(gState->productName, name, 32);
    fuzz::Check(!MakeSingleName(name), "a product name that is not one name");

    Window list;
    fuzz::Check(GetControl(&model->window, kIdLanguageList, &list), "the language list went away");
    fuzz::Check(RowText(&list, FindLanguageRow(&list, kCodeUS)) == u"English", "the English row was renamed");
    fuzz::Check(RowText(&list, FindLanguageRow(&list, kCodeDE)) == u"German", "the German row was renamed");
    int32_t count = GetRowCount(&list);
    for (int32_t row = 0; row < count; ++row) {
        fuzz::Check(FindLanguageRow(&list, GetRowCode(&list, row)) == row, "two rows with one code");
        std::u16string text = RowText(&list, row);
        fuzz::Check(!text.empty() && text.size() < 1024, "a language row without a name, or too long");
        fuzz::Check(text.find_first_of(u"(=\r\n") == std::u16string::npos, "a row name holding what ends it");
        fuzz::Check(text.back() != u' ', "a row name ending in a space");
    }
    char16_t caption[1100];
    GetWindowCaption(&model->window, caption, 1100);
    fuzz::Check(TextLength(caption) < 1025, "a caption beyond its buffer");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static InstallerState state;
    memset(&state, 0, sizeof state);
    gState = &state;
    SetDefaultLanguageOverride(1033);
    SelectTextTable();
    std::unique_ptr<DialogModel> model = CreateMainDialogModel();
    SetWindowCaption(&model->window, u"Setup");
    Window list;
    GetControl(&model->window, kIdLanguageList, &list);
    AddDefaultLanguageRows(&list);

    fuzz::Reader in(data, size);
    for (int entries = 0; entries < 12 && in.Remaining() > 0; ++entries) {
        std::u16string entry = EntryName(&in);
        if (entry.size() >= kNameCapacity) entry.resize(kNameCapacity - 1);
        char16_t name[kNameCapacity];
        memcpy(name, entry.c_str(), (entry.size() + 1) * sizeof(char16_t));
        std::vector<uint8_t> preview = in.Bytes(1 + in.Below(1024));
        fuzz::Check(ScanFileCallback(name, nullptr, static_cast<uint32_t>(preview.size()), &model->window) == 0,
                    "the scan asked for a file to be written");
        // The engine offers no preview of an empty file.
        if (!preview.empty()) {
            fuzz::Check(ScanFileCallback(name, preview.data(), static_cast<uint32_t>(preview.size()), &model->window) == 0,
                        "the scan answered a preview with other than 0");
        }
        CheckState(model.get());
    }
    model.reset();
    gState = nullptr;
    return 0;
}
