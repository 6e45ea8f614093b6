// The product description (FILE_ID.DIZ): title and version from its first
// line, the platform line from its second, shown in the caption and the title
// controls; the first description also names the product.
#include "installer/scan.h"

#include <string.h>

#include "common/text.h"
#include "common/file_names.h"
#include "state/state.h"
#include "ui/window.h"
#include "common/codepage.h"

enum : int32_t {
    kPreviewLimit = 1024,
    kTitleCapacity = 128,
    kVersionCapacity = 32,
    kPlatformCapacity = 64,
    kCaptionCapacity = 1025
};

static char AsciiUpperA(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

static bool StartsWithIgnoreCaseA(const char* text, const char* prefix) {
    for (; *prefix; ++text, ++prefix)
        if (AsciiUpperA(*text) != AsciiUpperA(*prefix)) return false;
    return true;
}

// The platform line is only meaningful when a 32/64 folder was seen before the
// description: a package without platform folders shows none.
static void ReadPlatformLine(const char* text, char* platform) {
    const char* line = strchr(text, '\n');
    if (!line || gState->platformFlags == 0) return;
    ++line;
    if (StartsWithIgnoreCaseA(line, "for ")) line += 4;
    int32_t n = 0;
    while (n < kPlatformCapacity - 1 && line[n] && line[n] != '\r') {
        platform[n] = line[n];
        ++n;
    }
    platform[n] = 0;
    char* windows = strstr(platform, "Windows");
    if (windows) *windows = 0;
    else platform[0] = 0;
}

static bool IsTitleStop(char c) { return c == 0 || c == '\n' || c == '\r' || c == '(' || c == '['; }

// "Title Version 2.5 (extra)": the title ends before " Version ", the version
// runs to the stop character, and one space before the stop is dropped.
static void ReadTitleLine(char* text, char* title, char* version) {
    int32_t stop = 0;
    while (!IsTitleStop(text[stop])) ++stop;
    if (stop == 0) return;
    if (text[stop - 1] == ' ') --stop;
    text[stop] = 0;
    char* versionWord = strstr(text, " Version ");
    if (versionWord) {
        AppendTextA(versionWord + 9, version, kVersionCapacity);
        *versionWord = 0;
    }
    AppendTextA(text, title, kTitleCapacity);
}

// The space is there even when title or version are empty.
static void AppendTitleAndVersion(const char* title, const char* version, char* line) {
    AppendTextA(title, line, kCaptionCapacity);
    AppendTextA(" ", line, kCaptionCapacity);
    AppendTextA(version, line, kCaptionCapacity);
}

// The product name becomes a folder below Program Files, a Start-menu group,
// link names and a registry key: a title that would make any of them reach
// elsewhere (..\..\Startup, C:x) keeps one name. Any other title is kept
// exactly, byte for byte.
static void NameProduct(const char* title) {
    char* name = gState->productName;
    const int32_t capacity = static_cast<int32_t>(sizeof gState->productName);
    AppendTextA(title, name, capacity);
    char16_t wide[sizeof gState->productName];
    AnsiToWide(name, wide, capacity);
    if (!MakeSingleName(wide)) return;
    WideToAnsi(wide, name, capacity);
}

void ReadProductDescription(const Window* dialog, const uint8_t* data, uint32_t length) {
    char text[kPreviewLimit + 1];
    uint32_t n = length > kPreviewLimit ? static_cast<uint32_t>(kPreviewLimit) : length;
    memcpy(text, data, n);
    text[n] = 0;
    char title[kTitleCapacity] = "";
    char version[kVersionCapacity] = "";
    char platform[kPlatformCapacity] = "";
    // The second line first: reading the title cuts the text at its end.
    ReadPlatformLine(text, platform);
    ReadTitleLine(text, title, version);

    char caption[kCaptionCapacity] = "";
    GetWindowCaptionA(dialog, caption, kCaptionCapacity);
    AppendTextA(" ", caption, kCaptionCapacity);
    AppendTitleAndVersion(title, version, caption);
    SetWindowCaptionA(dialog, caption);

    char titleLine[kCaptionCapacity] = "";
    AppendTitleAndVersion(title, version, titleLine);
    SetTitleFont(dialog, kIdTitle);
    SetItemTextA(dialog, kIdTitle, titleLine);
    SetItemTextA(dialog, kIdPlatformLine, platform);

    if (gState->productName[0]) return;
    NameProduct(title);
    AppendTextA(version, gState->productVersion, static_cast<int32_t>(sizeof gState->productVersion));
}
