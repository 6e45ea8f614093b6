// The install pass asks here about every package entry: is it installed at
// all, and where. Every file lands flat in the destination folder.
#include "installer/placement.h"

#include "common/activity_log.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "common/file_names.h"
#include "state/state.h"
#include "package/record_stream.h"
#include "system/kept_lists.h"
#include "ui/language_list.h"
#include "ui/texts.h"
#include "ui/window.h"
#include "common/codepage.h"

enum : int32_t {
    kLongestCode = 4,
    kCodeBytes = 3,
    kMessageCapacity = 1200
};

enum : uint32_t {
    kErrorInvalidName = 123,     // ERROR_INVALID_NAME
    kErrorFileNameTooLong = 206  // ERROR_FILENAME_EXCED_RANGE
};

// Only a backslash marks a folder here; a name with '/' alone counts as a
// top-level entry. Answers the name behind the first backslash, or nullptr
// when the entry belongs to another platform folder.
static const char16_t* PassPlatformFilter(const char16_t* name, const char16_t* platformFolder) {
    int32_t first = FindText(name, u"\\");
    if (first < 0) return name;
    if (platformFolder[0]) {
        char16_t folder[kPathCapacity];
        CopyText(name, folder, kPathCapacity);
        CutToParentFolder(folder);
        if (!EqualsIgnoreCase(folder, platformFolder)) return nullptr;
    }
    return name + first + 1;
}

// "<prefix>_XX.ext": the entry is left out when the row of code XX is unticked.
// Only the prefix's length matters, not its letters.
static bool PassLanguageFilter(const Window* dialog, const char16_t* rest) {
    int32_t prefixLength = TextLength(gState->languagePrefix);
    if (TextLength(rest) <= prefixLength || rest[prefixLength] != u'_') return true;
    const char16_t* codeText = rest + prefixLength + 1;
    int32_t codeLength = 0;
    while (codeText[codeLength] && codeText[codeLength] != u'.') ++codeLength;
    Window list;
    if (codeLength > kLongestCode || !GetControl(dialog, kIdLanguageList, &list)) return true;
    char16_t upper[kLongestCode + 1];
    for (int32_t i = 0; i < codeLength; ++i) upper[i] = AsciiUpper(codeText[i]);
    upper[codeLength] = 0;
    char bytes[kCodeBytes + 1];
    WideToAnsi(upper, bytes, sizeof bytes);
    int32_t count = codeLength < kCodeBytes ? codeLength : kCodeBytes;
    int32_t row = FindLanguageRow(&list, MakeLanguageCode(bytes, count));
    return row < 0 || GetRowCheck(&list, row) != kRowUnticked;
}

static void NoteSpecialFile(InstallContext* install, const char16_t* fileName) {
    const int32_t capacity = static_cast<int32_t>(sizeof install->mainProgram / sizeof(char16_t));
    if (EqualsIgnoreCase(fileName, kUninstallerFileName)) {
        CopyText(fileName, install->uninstaller, capacity);
        return;
    }
    if (install->mainProgram[0] || TextLength(fileName) <= 4) return;
    if (fileName[0] != u'Q' && fileName[0] != u'q') return;
    if (EndsWithIgnoreCase(fileName, u".EXE")) CopyText(fileName, install->mainProgram, capacity);
}

static int32_t Skip(char16_t* name) {
    name[0] = 0;
    return 0;
}

enum : int32_t { kShownNameLength = 100 };  // characters of one refused name in the report

// A package name that would not land as a plain file directly in the
// destination (a device, a stream, the folder itself or its parent, a cut
// name) is left out, and the user is told after the pass, in one box however
// many there are, so that a partial installation never passes unnoticed and a
// hostile package cannot bury the user in boxes. Control characters are not
// shown as they are.
static int32_t Refuse(InstallContext* install, char16_t* name, uint32_t code) {
    if (install->refusedCount == 0) install->refusedCode = code;
    install->refusedCount += 1;
    if (install->refusedCount <= static_cast<uint32_t>(kRefusalsNamed)) {
        char16_t shown[kShownNameLength + 6];
        CopyText(name, shown, kShownNameLength + 1);
        if (TextLength(name) > kShownNameLength) AppendText(u"...", shown, kShownNameLength + 6);
        for (char16_t* c = shown; *c; ++c)
            if (*c < 0x20 || (*c >= 0x7F && *c < 0xA0)) *c = u'?';
        AppendText(u"\r\n", shown, kShownNameLength + 6);
        AppendText(shown, install->refusedNames, kRefusedNamesCapacity);
    }
    return Skip(name);
}

void ReportRefusedEntries(const InstallContext* install) {
    if (install->refusedCount == 0) return;
    char16_t text[kMessageCapacity];
    LookupText(gState->textTable, kTextNotInstalled, text, kMessageCapacity);
    AppendNumber(install->refusedCount, text, kMessageCapacity);
    AppendText(u"\r\n", text, kMessageCapacity);
    int32_t used = TextLength(text);
    GetSystemErrorText(install->refusedCode, text + used, kMessageCapacity - used);
    if (!EndsWithIgnoreCase(text, u"\n")) AppendText(u"\r\n", text, kMessageCapacity);
    AppendText(u"\r\n", text, kMessageCapacity);
    AppendText(install->refusedNames, text, kMessageCapacity);
    if (install->refusedCount > static_cast<uint32_t>(kRefusalsNamed)) AppendText(u"...", text, kMessageCapacity);
    ShowMessage(install->dialog, text, u"", kMbIconError);
}

int32_t PlaceFileCallback(char16_t* name, const uint8_t* data, uint32_t length, void* context) {
    if (data) return 0;
    InstallContext* install = static_cast<InstallContext*>(context);
    const char16_t* rest = PassPlatformFilter(name, install->platformFolder);
    if (!rest || !PassLanguageFilter(install->dialog, rest)) return Skip(name);
    const char16_t* fileName = name + FileNamePosition(name);
    if (!IsPlainFileName(fileName)) return Refuse(install, name, kErrorInvalidName);

    char16_t path[kPathCapacity];
    CopyText(install->destination, path, kPathCapacity);
    if (AppendPathPart(fileName, path, kPathCapacity) != kPathFits)
        return Refuse(install, name, kErrorFileNameTooLong);
    NoteSpecialFile(install, fileName);
    // The list of the version installed before stays beside the new one.
    if (EqualsIgnoreCase(fileName, kListFileName)) KeepOlderList(install->destination);
    // A file that cannot be deleted shows up when the engine creates it anew.
    if (ProbePath(path) == 0) DeleteDiskFile(path);
    CopyText(path, name, kNameCapacity);
    SetItemText(install->dialog, kIdStatus, path);
    NoteActivity(nullptr, path);
    install->installedBytes += length;
    return 1;
}
