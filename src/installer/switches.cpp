#include "installer/switches.h"

#include "common/text.h"
#include "ui/texts.h"
#include "ui/window.h"

namespace {

enum : int32_t { kArgumentCapacity = 1100, kDestinationMost = 1021, kUsageCapacity = 2400 };

// English only: the text is for administrators, and so are the switches.
const char kUsage[] =
    "Setup.exe [/S] [/LANG=US,DE] [/NOSTARTMENU] [/NODESKTOP] [/NOQUICKLAUNCH] [/LOG=FILE] [/D=FOLDER]\n\n"
    "/S\tno window: install what the dialog proposes\n"
    "/D=\tthe folder: a full path, last, no quotes\n"
    "/LANG=\texactly these languages\n"
    "/NO...\tleave that shortcut out\n"
    "/LOG=\twith /S: write what was installed to the file (UTF-8)\n"
    "/?\tthis text\n\n"
    "Without /S the others preset the dialog. Exit codes: 0 installed, 2 wrong usage,\n"
    "536870913 damaged setup, any other: the system error of a failed write.";

const char kNotUnderstood[] = "Not understood: ";

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

void SetProblem(SetupSwitches* switches, const char* what, const char16_t* argument) {
    switches->problem[0] = 0;
    AppendAnsiText(what, switches->problem, kSwitchProblemCapacity);
    AppendText(argument, switches->problem, kSwitchProblemCapacity);
}

// One argument as the system splits a command line: up to the next blank
// outside quotes, the quotes removed. Answers where the next one starts.
const char16_t* ReadArgument(const char16_t* at, char16_t* argument) {
    int32_t n = 0;
    bool quoted = false;
    for (; *at && (quoted || !IsBlank(*at)); ++at) {
        if (*at == u'"') quoted = !quoted;
        else if (n < kArgumentCapacity - 1) argument[n++] = *at;
    }
    argument[n] = 0;
    return at;
}

bool IsFullPath(const char16_t* path) {
    bool drive = AsciiUpper(path[0]) >= u'A' && AsciiUpper(path[0]) <= u'Z' && path[1] == u':' && path[2] == u'\\';
    return drive || (path[0] == u'\\' && path[1] == u'\\' && path[2]);
}

// The rest of the line, blanks at its end dropped; quotes are not taken off,
// as administrators know the switch. A folder name never holds " /": where it
// does, another switch follows.
bool ReadDestination(const char16_t* rest, SetupSwitches* switches) {
    char16_t* folder = switches->destination;
    CopyText(rest, folder, 1024);
    TrimTrailingSpaces(folder);
    int32_t length = TextLength(folder);
    if (FindText(folder, u" /") >= 0) {
        SetProblem(switches, "Not understood (/D= comes last): /D=", rest);
        return false;
    }
    if (length > kDestinationMost || !IsFullPath(folder)) {
        SetProblem(switches, kNotUnderstood, rest - 3);
        return false;
    }
    return true;
}

bool IsCodeCharacter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
}

// "US,DE": 1 to 4 letters or digits each, no empty code.
bool ReadLanguages(const char16_t* list, const char16_t* argument, SetupSwitches* switches) {
    switches->hasLanguages = true;
    switches->languageCount = 0;
    const char16_t* at = list;
    for (;;) {
        char letters[5];
        int32_t n = 0;
        while (IsCodeCharacter(*at) && n < 5) letters[n++] = static_cast<char>(AsciiUpper(*at++));
        bool ended = *at == 0 || *at == u',';
        if (n == 0 || n > 4 || !ended || switches->languageCount == kSwitchLanguagesMost) {
            SetProblem(switches, kNotUnderstood, argument);
            return false;
        }
        switches->languages[switches->languageCount++] = MakeLanguageCode(letters, n);
        if (*at++ == 0) return true;
    }
}

const struct {
    const char16_t* name;
    bool SetupSwitches::*field;
} kFlags[] = {{u"/S", &SetupSwitches::silent},
              {u"/?", &SetupSwitches::help},
              {u"/HELP", &SetupSwitches::help},
              {u"/NOSTARTMENU", &SetupSwitches::noStartMenu},
              {u"/NODESKTOP", &SetupSwitches::noDesktop},
              {u"/NOQUICKLAUNCH", &SetupSwitches::noQuickLaunch}};

bool ReadSwitch(const char16_t* argument, SetupSwitches* switches) {
    for (const auto& flag : kFlags) {
        if (!EqualsIgnoreCase(argument, flag.name)) continue;
        switches->*flag.field = true;
        return true;
    }
    if (StartsWithIgnoreCase(argument, u"/LANG=")) return ReadLanguages(argument + 6, argument, switches);
    bool log = StartsWithIgnoreCase(argument, u"/LOG=") && argument[5];
    if (log && CopyText(argument + 5, switches->logPath, 1024) == kPathFits) return true;
    SetProblem(switches, kNotUnderstood, argument);
    return false;
}

}  // namespace

bool ParseSetupSwitches(const char16_t* commandLine, SetupSwitches* switches) {
    const char16_t* at = commandLine ? commandLine : u"";
    for (;;) {
        while (IsBlank(*at)) ++at;
        if (!*at) return true;
        if (StartsWithIgnoreCase(at, u"/D=")) return ReadDestination(at + 3, switches);
        char16_t argument[kArgumentCapacity];
        at = ReadArgument(at, argument);
        if (!ReadSwitch(argument, switches)) return false;
    }
}

bool ApplySetupSwitches(const Window* dialog, SetupSwitches* switches) {
    if (switches->hasLanguages) {
        Window list;
        GetControl(dialog, kIdLanguageList, &list);
        int32_t unknown = TickExactlyLanguages(&list, switches->languages, switches->languageCount);
        if (unknown >= 0) {
            char letters[8];
            LanguageCodeText(switches->languages[unknown], letters);
            switches->problem[0] = 0;
            AppendAnsiText("This setup offers no language ", switches->problem, kSwitchProblemCapacity);
            AppendAnsiText(letters, switches->problem, kSwitchProblemCapacity);
            return false;
        }
    }
    if (switches->noStartMenu) CheckItem(dialog, kIdStartMenu, false);
    if (switches->noDesktop) CheckItem(dialog, kIdDesktop, false);
    if (switches->noQuickLaunch) CheckItem(dialog, kIdQuickLaunch, false);
    if (switches->destination[0]) SetItemText(dialog, kIdDestination, switches->destination);
    return true;
}

void SetupUsageText(const SetupSwitches* switches, char16_t* text, int32_t capacity) {
    text[0] = 0;
    if (switches->problem[0]) {
        AppendText(switches->problem, text, capacity);
        AppendText(u"\n\n", text, capacity);
    }
    AppendAnsiText(kUsage, text, capacity);
}

uint32_t ShowSetupUsage(const Window* owner, const SetupSwitches* switches) {
    char16_t text[kUsageCapacity];
    SetupUsageText(switches, text, kUsageCapacity);
    bool problem = switches->problem[0] != 0;
    ShowMessageBox(owner, text, u"Setup", problem ? kMbIconError : kMbIconInformation);
    return problem ? kExitUsage : kExitInstalled;
}
