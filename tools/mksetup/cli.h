// Shared pieces of the commands: argument parsing, messages and exit codes.
#pragma once
#include <map>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

enum ExitCode { kExitSuccess = 0, kExitFailed = 1, kExitUsage = 2 };

struct OptionSpec {
    std::set<std::string> withValue;  // e.g. "-o", "--code"
    std::set<std::string> flags;      // e.g. "-q"
};

struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    bool help = false;

    bool Has(const std::string& option) const { return values.count(option) != 0; }
    std::string Value(const std::string& option) const;
};

// Accepts "--name value" and "--name=value", "--" ends the options. False with
// *error set for an unknown option, a missing value or an option given twice.
bool ParseArgs(const std::vector<std::string>& args, const OptionSpec& spec, ParsedArgs* parsed,
               std::string* error);

// "mksetup COMMAND: message" and a pointer to --help on standard error; answers 2.
int UsageError(const std::string& command, const std::string& message);
// "mksetup COMMAND: message" on standard error; answers 1.
int Failure(const std::string& command, const std::string& message);
void Warning(const std::string& command, const std::string& message);

// Text of a Windows system error code as the tool reports it.
std::string SystemErrorText(uint32_t code);
// The same for a failure the standard library reports.
std::string SystemErrorText(const std::error_code& error);
// "'name'" with the name as printable UTF-8 for messages.
std::string Quoted(const std::string& utf8);

// The absolute, lexically normal form of a path, as the Windows programs'
// wide text; none when it cannot be made.
std::optional<std::u16string> AbsolutePath(const std::string& path);
