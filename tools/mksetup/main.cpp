// mksetup: builds, lists, tests, extracts setups, and installs and uninstalls products.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"
#include "commands.h"
#include "platform.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const std::vector<std::string>&);
    const char* summary;
};

const Command kCommands[] = {
    {"build", BuildCommand, "pack a product folder into a setup"},
    {"list", ListCommand, "list the header and the files of a setup's package"},
    {"test", TestCommand, "decode a setup's package and verify its checksum"},
    {"extract", ExtractCommand, "write the files of a setup's package into a folder"},
    {"install", InstallCommand, "run the installer's own sequence unattended"},
    {"uninstall", UninstallCommand, "run the uninstaller's own sequence on an installed folder"},
};

void PrintToolHelp() {
    std::cout << "Usage: mksetup COMMAND [ARGUMENTS]\n"
                 "\n"
                 "Builds self-extracting setups for Windows and inspects them.\n"
                 "\n"
                 "Commands:\n";
    for (const Command& command : kCommands)
        std::cout << "  " << command.name << std::string(10 - std::string(command.name).size(), ' ')
                  << command.summary << "\n";
    std::cout << "\n"
                 "'mksetup COMMAND --help' describes one command; 'mksetup --version' names\n"
                 "this version. The manual: man mksetup.\n"
                 "Exit status, for every command: 0 success, 1 the operation failed (a damaged\n"
                 "package, refused input, a failed extraction), 2 wrong usage.\n";
}

int Run(const std::vector<std::string>& args) {
    // Started by a double click or from the Start menu, the window would close
    // before anyone could read it: the help stays until Enter is pressed.
    if (args.empty() && ConsoleIsOurOwn()) {
        PrintToolHelp();
        std::cout << "\nPress Enter to close." << std::flush;
        std::string line;
        std::getline(std::cin, line);
        return kExitSuccess;
    }
    if (args.empty()) {
        std::cerr << "mksetup: a command is missing\nTry 'mksetup --help'.\n";
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintToolHelp();
        return kExitSuccess;
    }
    if (args[0] == "--version") {
        std::cout << "mksetup " << MKSETUP_VERSION << "\n";
        return kExitSuccess;
    }
    for (const Command& command : kCommands)
        if (args[0] == command.name) return command.run(std::vector<std::string>(args.begin() + 1, args.end()));
    std::cerr << "mksetup: unknown command " << Quoted(args[0]) << "\nTry 'mksetup --help'.\n";
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(CommandLineArguments(argc, argv));
    } catch (const std::exception& e) {
        std::cerr << "mksetup: " << e.what() << "\n";
    } catch (...) {
        std::cerr << "mksetup: unexpected failure\n";
    }
    return kExitFailed;
}
