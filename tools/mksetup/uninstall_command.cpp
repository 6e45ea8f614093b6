// mksetup uninstall: the uninstaller's own sequence on a folder a setup
// installed, without a screen; the question is asked on the terminal.
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"
#include "commands.h"
#include "install_session.h"
#include "text_codec.h"
#include "ui/texts.h"
#include "uninstall/file_list.h"
#include "uninstall/uninstall.h"
#include "uninstall/uninstall_texts.h"

namespace {

const char kCommand[] = "uninstall";

const char kUsage[] =
    "Usage: mksetup uninstall DIR [--yes]\n"
    "\n"
    "Removes the product that a setup built with --add-uninstaller installed into\n"
    "DIR: the same steps UnInst.exe takes. Only files that are unchanged since the\n"
    "installation are deleted, by the lists of every version installed (UnInst.lst\n"
    "and UnInst-<n>.lst); the shortcuts and registry entries go only when they point\n"
    "to DIR; the lists, the uninstaller and DIR (when then empty) go last.\n"
    "\n"
    "Options:\n"
    "  --yes        answer the question with Yes (without it the question is asked\n"
    "               on standard input; no answer counts as No)\n"
    "  -h, --help   show this help\n"
    "\n"
    "Away from Windows the registry and the special folders come from SETUP_REGISTRY\n"
    "and the SETUP_FOLDER_* variables (docs/registry-and-shortcuts.md).\n"
    "\n"
    "Exit status: 0 DIR is gone, 1 something stays (each file or folder kept, and\n"
    "DIR, named on standard error), 2 wrong usage, or nothing was removed (no list,\n"
    "a damaged list, or the answer No).\n";

bool AskOnTerminal(void* context, const char16_t* question, const char16_t*) {
    if (*static_cast<bool*>(context)) return true;
    std::cout << Printable(Utf16ToUtf8(question)) << " [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer)) {
        std::cout << "\n";
        return false;
    }
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes";
}

// A line of the report a line on the terminal; file names from the list are never raw.
void TellOnTerminal(void*, const char16_t* text, const char16_t*, bool problem) {
    std::string message = Utf16ToUtf8(text);
    std::ostream& out = problem ? std::cerr : std::cout;
    out << (problem ? "mksetup uninstall: " : "");
    for (size_t start = 0; start < message.size();) {
        size_t end = message.find('\n', start);
        if (end == std::string::npos) end = message.size();
        out << (start ? "  " : "") << Printable(message.substr(start, end - start)) << "\n";
        start = end + 1;
    }
    out.flush();
}

}  // namespace

int UninstallCommand(const std::vector<std::string>& args) {
    try {
        OptionSpec spec{{}, {"--yes"}};
        ParsedArgs parsed;
        std::string error;
        if (!ParseArgs(args, spec, &parsed, &error)) return UsageError(kCommand, error);
        if (parsed.help) {
            std::cout << kUsage;
            return kExitSuccess;
        }
        if (parsed.positional.size() != 1)
            return UsageError(kCommand, parsed.positional.empty() ? "DIR is missing" : "only one DIR is taken");
        auto folder = AbsolutePath(parsed.positional[0]);
        if (!folder) return UsageError(kCommand, "cannot use the path " + Quoted(parsed.positional[0]));
        std::u16string program = *folder + u"\\" + kUninstallerFileName;
        bool yes = parsed.flags.count("--yes") != 0;
        char languageCode[8] = "";
        GetLanguageCode(languageCode);
        UninstallRequest request = {program.c_str(), UninstallTextTable(languageCode), false,
                                    {AskOnTerminal, TellOnTerminal, &yes}};
        BeginInstallSession();
        int32_t result = RunUninstall(&request);
        EndInstallSession();
        return result;
    } catch (const std::exception& failure) {
        return Failure(kCommand, failure.what());
    }
}
