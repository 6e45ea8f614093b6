// mksetup install: the installer's own sequence without a screen. The setup's
// dialog is the in-memory model; the scan, the proposals and the install pass
// are exactly the ones the Windows program runs behind its dialog.
#include <stdint.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli.h"
#include "commands.h"
#include "common/activity_log.h"
#include "common/memory.h"
#include "common/text.h"
#include "install_session.h"
#include "installer/dialog_init.h"
#include "installer/install.h"
#include "state/state.h"
#include "text_codec.h"
#include "model/dialog_model.h"
#include "ui/language_list.h"
#include "ui/texts.h"
#include "ui/window.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "Usage: mksetup install FILE [options]\n"
    "\n"
    "Installs the product that the setup FILE carries, without a screen: the same\n"
    "steps the setup's dialog runs, with the dialog's proposals as defaults.\n"
    "It prints what the dialog would show, each file, registry record and shortcut\n"
    "as it is made, and the final message: the lines that Setup.exe /LOG=FILE\n"
    "writes (docs/deploying.md).\n"
    "\n"
    "Options:\n"
    "  --dest DIR               install into DIR (made absolute; default: the folder\n"
    "                           the setup proposes, as in its dialog)\n"
    "  --languages CODE,...     install exactly these languages, by code (US, DE, ...);\n"
    "                           the rest are left out (default: the dialog's ticks)\n"
    "  --start-menu, --no-start-menu\n"
    "                           make the Start-menu group, or not\n"
    "  --desktop, --no-desktop  make the desktop shortcut, or not\n"
    "  --quick-launch, --no-quick-launch\n"
    "                           make the Quick Launch shortcut, or not\n"
    "                           (shortcut defaults: all on a first installation,\n"
    "                           none on an update)\n"
    "  --dry-run                show what the dialog would show and stop\n"
    "  -h, --help               show this help\n"
    "\n"
    "Away from Windows the registry, the special folders and the Windows folder come\n"
    "from SETUP_REGISTRY and the SETUP_FOLDER_* variables (docs/registry-and-shortcuts.md);\n"
    "an unset folder variable means that folder does not exist, and its shortcut is\n"
    "not made.\n"
    "\n"
    "Exit status: 0 installed (or a dry run), 1 the setup is broken or the\n"
    "installation failed, 2 wrong usage.\n";

const char kCommand[] = "install";

struct Box {
    int32_t id;
    const char* option;  // without the leading "--"
};
const Box kBoxes[] = {{kIdStartMenu, "start-menu"}, {kIdDesktop, "desktop"}, {kIdQuickLaunch, "quick-launch"}};

struct InstallOptions {
    std::string file;
    std::optional<std::string> destination;
    std::optional<std::vector<std::string>> languages;
    std::optional<bool> boxes[3];
    bool dryRun = false;
    bool help = false;
};

int UsageError(const std::string& message) { return ::UsageError(kCommand, message); }

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return text;
}

bool ParseLanguages(const std::string& value, std::vector<std::string>* codes, std::string* error) {
    if (value.empty()) return true;  // no language at all, as unticking every row
    size_t start = 0;
    for (;;) {
        size_t comma = value.find(',', start);
        size_t end = comma == std::string::npos ? value.size() : comma;
        std::string code = Upper(value.substr(start, end - start));
        if (code.empty() || code.size() > 4) {
            *error = "bad language code '" + code + "' in --languages (codes have 1 to 4 letters)";
            return false;
        }
        codes->push_back(code);
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

// Answers an exit code when the arguments end the command, nothing to go on.
std::optional<int> ParseOptions(const std::vector<std::string>& args, InstallOptions* options) {
    OptionSpec spec{{"--dest", "--languages"}, {"--dry-run"}};
    for (const Box& box : kBoxes) {
        spec.flags.insert(std::string("--") + box.option);
        spec.flags.insert(std::string("--no-") + box.option);
    }
    ParsedArgs parsed;
    std::string error;
    if (!ParseArgs(args, spec, &parsed, &error)) return UsageError(error);
    if (parsed.help) {
        options->help = true;
        return std::nullopt;
    }
    options->dryRun = parsed.flags.count("--dry-run") != 0;
    for (size_t b = 0; b < 3; ++b) {
        bool on = parsed.flags.count(std::string("--") + kBoxes[b].option) != 0;
        bool off = parsed.flags.count(std::string("--no-") + kBoxes[b].option) != 0;
        if (on && off)
            return UsageError(std::string("--") + kBoxes[b].option + " and --no-" + kBoxes[b].option +
                              " contradict each other");
        if (on || off) options->boxes[b] = on;
    }
    if (parsed.Has("--dest")) {
        if (parsed.Value("--dest").empty()) return UsageError("--dest needs a folder");
        options->destination = parsed.Value("--dest");
    }
    if (parsed.Has("--languages")) {
        std::vector<std::string> codes;
        if (!ParseLanguages(parsed.Value("--languages"), &codes, &error)) return UsageError(error);
        options->languages = codes;
    }
    if (parsed.positional.empty()) return UsageError("no setup file given");
    if (parsed.positional.size() > 1) return UsageError("more than one setup file given: " + parsed.positional[1]);
    options->file = parsed.positional[0];
    return std::nullopt;
}

// The program's own start-up: the one state, the text table, its own path.
struct StateSession {
    InstallerState* previous = gState;
    bool ready = false;
    explicit StateSession(const std::u16string& packagePath) {
        gState = static_cast<InstallerState*>(AllocZeroed(sizeof(InstallerState)));
        if (!gState) return;
        SelectTextTable();
        ready = CopyText(packagePath.c_str(), gState->packagePath, 1024) == kPathFits;
    }
    ~StateSession() {
        FreeAndClear(&gState);
        gState = previous;
    }
};

void PrintActivity(const char16_t* line, void*) { std::cout << Printable(Utf16ToUtf8(line)) << std::endl; }

// What the installation does (each file, record and shortcut) is the progress
// the tool gives: the activity log, printed as it goes.
struct ModelSession {
    std::optional<Window> previousDialog;
    std::unique_ptr<DialogModel> model;
    ModelSession() {
        if (CurrentDialog()) previousDialog = *CurrentDialog();
        model = CreateMainDialogModel();
        SetActivityListener(PrintActivity, nullptr);
    }
    ~ModelSession() {
        SetActivityListener(nullptr, nullptr);
        model.reset();
        if (previousDialog) SetCurrentDialog(&*previousDialog);
    }
    const Window* Dialog() const { return &model->window; }
};

std::string ItemText(const Window* dialog, int32_t id) {
    char16_t text[1024];
    GetItemText(dialog, id, text, 1024);
    // Titles, language names and paths come from the package: never raw to the terminal.
    return Printable(Utf16ToUtf8(text));
}

std::string Tick(bool ticked) { return ticked ? "[x] " : "[ ] "; }

std::string CodeOf(const Window* list, int32_t row) {
    char code[8];
    LanguageCodeText(GetRowCode(list, row), code);
    return code;
}

void PrintDialog(const ModelSession& session) {
    const Window* dialog = session.Dialog();
    char16_t caption[1025];
    GetWindowCaption(dialog, caption, 1025);
    std::cout << "Caption: " << Printable(Utf16ToUtf8(caption)) << "\n"
              << "Title: " << ItemText(dialog, kIdTitle) << "\n"
              << "Platform line: " << ItemText(dialog, kIdPlatformLine) << "\n"
              << "Languages:\n";
    Window list;
    GetControl(dialog, kIdLanguageList, &list);
    for (int32_t row = 0; row < GetRowCount(&list); ++row) {
        char16_t text[1024];
        uint32_t data = 0;
        ListGetRow(&list, row, text, 1024, &data);
        std::cout << "  " << Tick(GetRowCheck(&list, row) == kRowTicked) << Printable(Utf16ToUtf8(text)) << " ("
                  << CodeOf(&list, row) << ")\n";
    }
    std::string label = ItemText(dialog, kIdDestinationLabel);
    if (!label.empty() && label.back() == ':') label.pop_back();
    std::string destination = ItemText(dialog, kIdDestination);
    std::cout << label << ": " << (destination.empty() ? "(none proposed)" : destination) << "\n";
    for (const Box& box : kBoxes) {
        ModelControl* control = FindModelControl(session.model.get(), box.id);
        std::cout << "  " << Tick(IsItemChecked(dialog, box.id)) << ItemText(dialog, box.id)
                  << (control && !control->visible ? " (hidden: not offered on this system)" : "") << "\n";
    }
}

int ReportBrokenSetup(const std::string& file, int32_t result) {
    char16_t text[512];
    LookupText(gState->textTable, kTextBrokenFile, text, 510);
    std::cerr << "mksetup install: " << file << ": " << Utf16ToUtf8(text);
    if (result > 0) std::cerr << " (" << SystemErrorText(static_cast<uint32_t>(result)) << ")";
    else std::cerr << " (package error " << result << ")";
    std::cerr << "\n";
    return kExitFailed;
}

// --languages: exactly the rows named; every code must be one the setup offers.
std::optional<int> ApplyLanguages(const Window* dialog, const std::vector<std::string>& codes) {
    Window list;
    GetControl(dialog, kIdLanguageList, &list);
    std::vector<LanguageCode> wanted;
    for (const std::string& code : codes) wanted.push_back(MakeLanguageCode(code.c_str(), static_cast<int32_t>(code.size())));
    int32_t unknown = TickExactlyLanguages(&list, wanted.data(), static_cast<int32_t>(wanted.size()));
    if (unknown < 0) return std::nullopt;
    std::string all;
    for (int32_t row = 0; row < GetRowCount(&list); ++row) all += (all.empty() ? "" : ", ") + CodeOf(&list, row);
    return UsageError("the setup offers no language " + codes[static_cast<size_t>(unknown)] + " (it offers " + all + ")");
}

std::optional<int> ApplyOptions(const ModelSession& session, const InstallOptions& options) {
    const Window* dialog = session.Dialog();
    if (options.languages) {
        if (auto exit = ApplyLanguages(dialog, *options.languages)) return exit;
    }
    for (size_t b = 0; b < 3; ++b)
        if (options.boxes[b]) CheckItem(dialog, kBoxes[b].id, *options.boxes[b]);
    if (options.destination) {
        auto full = AbsolutePath(*options.destination);
        if (!full || full->size() > 1021) return UsageError("cannot use " + *options.destination + " as a folder");
        SetItemText(dialog, kIdDestination, full->c_str());
    }
    // The program would quietly do nothing here; a tool must say why.
    if (ItemText(dialog, kIdDestination).empty())
        return UsageError("the setup proposes no destination folder on this system; give one with --dest DIR");
    return std::nullopt;
}

std::string Summary(const Window* dialog) {
    Window list;
    GetControl(dialog, kIdLanguageList, &list);
    std::string languages;
    for (int32_t row = 0; row < GetRowCount(&list); ++row)
        if (GetRowCheck(&list, row) == kRowTicked) languages += (languages.empty() ? "" : ",") + CodeOf(&list, row);
    std::string boxes;
    for (const Box& box : kBoxes)
        if (IsItemChecked(dialog, box.id)) boxes += (boxes.empty() ? "" : ",") + std::string(box.option);
    return "into " + ItemText(dialog, kIdDestination) + " (languages: " +
           (languages.empty() ? "none" : languages) + "; shortcuts: " + (boxes.empty() ? "none" : boxes) + ")";
}

int RunUnattended(const ModelSession& session, const InstallOptions& options) {
    const Window* dialog = session.Dialog();
    std::cout << "Installing " << Summary(dialog) << std::endl;
    BeginInstallSession();
    int32_t result = RunInstall(dialog);
    EndInstallSession();
    const std::vector<ModelMessage>& messages = session.model->messages;
    std::string message = messages.empty() ? "" : Utf16ToUtf8(messages.back().text);
    if (result == 0) {
        std::cout << Printable(message) << std::endl;
        return 0;
    }
    if (message.empty()) message = result > 0 ? SystemErrorText(static_cast<uint32_t>(result)) : "the installation failed";
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    std::cerr << "mksetup install: " << options.file << ": " << Printable(message) << "\n";
    return kExitFailed;
}

int Install(const InstallOptions& options) {
    std::error_code error;
    if (!fs::is_regular_file(fs::u8path(options.file), error))
        return UsageError("no setup file " + options.file);
    auto packagePath = AbsolutePath(options.file);
    if (!packagePath) return UsageError("cannot use the path " + options.file);
    StateSession state(*packagePath);
    if (!state.ready) {
        std::cerr << "mksetup install: cannot start (out of memory, or a path over 1023 characters)\n";
        return kExitFailed;
    }
    ModelSession session;
    int32_t scan = InitDialogContents(session.Dialog(), nullptr);
    if (scan != 0) return ReportBrokenSetup(options.file, scan);
    PrintDialog(session);
    if (auto exit = ApplyOptions(session, options)) return *exit;
    if (options.dryRun) {
        std::cout << "Dry run: would install " << Summary(session.Dialog()) << "; nothing installed." << std::endl;
        return 0;
    }
    return RunUnattended(session, options);
}

}  // namespace

int InstallCommand(const std::vector<std::string>& args) {
    try {
        InstallOptions options;
        if (auto exit = ParseOptions(args, &options)) return *exit;
        if (options.help) {
            std::cout << kUsage;
            return 0;
        }
        return Install(options);
    } catch (const std::exception& failure) {
        std::cerr << "mksetup install: " << failure.what() << "\n";
        return kExitFailed;
    }
}
