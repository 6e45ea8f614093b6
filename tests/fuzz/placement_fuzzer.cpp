// The placement callback on arbitrary names, language prefixes, rows and
// ticks, platform folders and destinations as typed. Whatever it answers, a
// path it hands back lies directly inside the destination folder and names a
// plain file there; a name that is not plain is never placed; a skipped entry
// leaves no name behind; nothing next to the destination is touched.
#include <string.h>
#include <unistd.h>

#include "common/text.h"
#include "fuzz_support.h"
#include "installer/placement.h"
#include "state/state.h"
#include "package/record_stream.h"
#include "model/dialog_model.h"
#include "ui/language_list.h"
#include "ui/texts.h"
#include "ui/window.h"

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

std::u16string Text(fuzz::Reader* in, size_t most) {
    return fuzz::WideFromBytes(in->Bytes(in->Below(static_cast<uint32_t>(most * 2 + 1))));
}

std::u16string EntryName(fuzz::Reader* in) {
    static const char16_t* const kPieces[] = {u"..", u".", u"\\", u"/", u"32", u"64", u"CON", u"nul", u"COM1",
                                              u"C:", u":", u" ", u"UnInst.exe", u"Qx.exe", u"_IT.LNG", u"a"};
    std::u16string name;
    uint32_t pieces = in->Below(9);
    for (uint32_t i = 0; i < pieces; ++i) {
        if (in->Bool()) name += kPieces[in->Below(16)];
        else name += Text(in, 12);
    }
    if (in->Below(16) == 0) name += std::u16string(in->Below(1101), u'x');
    if (name.size() >= kNameCapacity) name.resize(kNameCapacity - 1);
    return name;
}

void AddRows(fuzz::Reader* in, const Window* list) {
    AddLanguageRow(list, u"English", kCodeUS);
    AddLanguageRow(list, u"German", kCodeDE);
    uint32_t rows = in->Below(5);
    for (uint32_t i = 0; i < rows; ++i) {
        std::vector<uint8_t> letters = in->Bytes(1 + in->Below(3));
        LanguageCode code = MakeLanguageCode(reinterpret_cast<const char*>(letters.data()), static_cast<int32_t>(letters.size()));
        if (FindLanguageRow(list, code) < 0) AddLanguageRow(list, u"Row", code);
    }
    for (int32_t row = 0; row < GetRowCount(list); ++row)
        SetRowCheck(list, row, in->Bool() ? kRowTicked : kRowUnticked);
}

// The answer to a start call: 1 with exactly destination + separator + the
// entry's file name, the name plain; or 0 with the name emptied.
void CheckAnswer(const InstallContext& install, const std::u16string& entry, const char16_t* name, int32_t answer) {
    size_t cut = entry.find_last_of(u"\\/");
    std::u16string fileName = cut == std::u16string::npos ? entry : entry.substr(cut + 1);
    if (answer == 0) {
        fuzz::Check(name[0] == 0, "a skipped entry left its name behind");
        return;
    }
    fuzz::Check(answer == 1, "an answer other than 0 or 1");
    fuzz::Check(fuzz::LooksPlain(fileName), "an entry that is no plain file name was placed");
    std::u16string destination = install.destination;
    std::u16string expected = destination;
    if (!destination.empty() && !IsSeparator(destination.back())) expected += u'\\';
    expected += fileName;
    fuzz::Check(expected == name, "the answered path is not the destination joined with the file name");
    std::u16string rest = std::u16string(name).substr(destination.size());
    if (!rest.empty() && IsSeparator(rest[0])) rest.erase(0, 1);
    fuzz::Check(!rest.empty() && rest.find_first_of(u"\\/") == std::u16string::npos && rest != u"." && rest != u"..",
                "the answered path does not lie directly inside the destination");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static InstallerState state;
    static const std::string destination = fuzz::Scratch() + "/dest";
    static const std::string beside = fuzz::Scratch() + "/beside.txt";
    memset(&state, 0, sizeof state);
    gState = &state;
    SetDefaultLanguageOverride(1033);
    SelectTextTable();
    fuzz::FreshFolder("dest");
    FILE* marker = fopen(beside.c_str(), "w");
    fuzz::Check(marker && fputs("beside", marker) >= 0 && fclose(marker) == 0, "cannot write the marker");
    marker = fopen((destination + "/old.dll").c_str(), "w");
    fuzz::Check(marker && fclose(marker) == 0, "cannot write a file in the destination");

    fuzz::Reader in(data, size);
    std::u16string prefix = Text(&in, 31);
    CopyText(prefix.c_str(), state.languagePrefix, 32);
    std::unique_ptr<DialogModel> model = CreateMainDialogModel(in.Below(8) != 0);
    Window list;
    if (GetControl(&model->window, kIdLanguageList, &list)) AddRows(&in, &list);

    InstallContext install;
    memset(&install, 0, sizeof install);
    install.dialog = &model->window;
    static const char16_t* const kTails[] = {u"", u"\\", u"/"};
    std::u16string typed = fuzz::U16(destination) + kTails[in.Below(3)];
    CopyText(typed.c_str(), install.destination, 1022);
    static const char16_t* const kPlatforms[] = {u"", u"32", u"64"};
    CopyText(kPlatforms[in.Below(3)], install.platformFolder, 4);
    if (in.Bool()) CopyText(Text(&in, 31).c_str(), install.mainProgram, 32);

    for (int entries = 0; entries < 10 && in.Remaining() > 0; ++entries) {
        std::u16string entry = EntryName(&in);
        char16_t name[kNameCapacity];
        memcpy(name, entry.c_str(), (entry.size() + 1) * sizeof(char16_t));
        size_t messages = model->messages.size();
        int32_t answer = PlaceFileCallback(name, nullptr, 1, &install);
        CheckAnswer(install, entry, name, answer);
        fuzz::Check(model->messages.size() <= messages + 1, "more than one message for one entry");
        fuzz::Check(TextLength(install.mainProgram) < 32 && TextLength(install.uninstaller) < 32,
                    "a learnt name unterminated");
        fuzz::Check(!install.uninstaller[0] || EqualsIgnoreCase(install.uninstaller, u"UnInst.exe"),
                    "an uninstaller of another name");
        char16_t kept[kNameCapacity];
        memcpy(kept, name, sizeof kept);
        const uint8_t preview[1] = {0};
        fuzz::Check(PlaceFileCallback(name, preview, 1, &install) == 0 && memcmp(kept, name, sizeof kept) == 0,
                    "a preview call answered or changed the name");
    }
    std::string contents;
    fuzz::Check(fuzz::ReadWholeFile(beside, &contents) && contents == "beside", "a file beside the destination changed");
    fuzz::Check(access((fuzz::Scratch() + "/dest").c_str(), F_OK) == 0, "the destination went away");
    model.reset();
    gState = nullptr;
    return 0;
}
