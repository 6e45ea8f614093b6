#include "cli.h"

#include <filesystem>

#include <stdint.h>

#include <iostream>

#include "platform.h"
#include "text_codec.h"

std::string ParsedArgs::Value(const std::string& option) const {
    auto found = values.find(option);
    return found == values.end() ? std::string() : found->second;
}

static bool TakeOption(const std::vector<std::string>& args, size_t* i, const OptionSpec& spec, ParsedArgs* parsed,
                       std::string* error) {
    std::string arg = args[*i];
    std::string name = arg, value;
    size_t equals = arg.find('=');
    bool inlineValue = arg.compare(0, 2, "--") == 0 && equals != std::string::npos;
    if (inlineValue) {
        name = arg.substr(0, equals);
        value = arg.substr(equals + 1);
    }
    if (spec.flags.count(name) && !inlineValue) {
        parsed->flags.insert(name);
        return true;
    }
    if (!spec.withValue.count(name)) {
        *error = "unknown option " + Quoted(name);
        return false;
    }
    if (!inlineValue) {
        if (*i + 1 >= args.size()) {
            *error = "option " + name + " needs a value";
            return false;
        }
        value = args[++*i];
    }
    if (parsed->values.count(name)) {
        *error = "option " + name + " is given twice";
        return false;
    }
    parsed->values[name] = value;
    return true;
}

bool ParseArgs(const std::vector<std::string>& args, const OptionSpec& spec, ParsedArgs* parsed,
               std::string* error) {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed->positional.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            parsed->help = true;
        } else if (!TakeOption(args, &i, spec, parsed, error)) {
            return false;
        }
    }
    return true;
}

int UsageError(const std::string& command, const std::string& message) {
    std::cerr << "mksetup " << command << ": " << message << "\n"
              << "Try 'mksetup " << command << " --help'.\n";
    return kExitUsage;
}

int Failure(const std::string& command, const std::string& message) {
    std::cerr << "mksetup " << command << ": " << message << "\n";
    return kExitFailed;
}

void Warning(const std::string& command, const std::string& message) {
    std::cerr << "mksetup " << command << ": warning: " << message << "\n";
}

std::string SystemErrorText(const std::error_code& error) { return SystemErrorText(SystemErrorCode(error)); }

std::string SystemErrorText(uint32_t code) {
    switch (code) {
    case 2: return "system error 2: the file was not found";
    case 3: return "system error 3: the path was not found";
    case 5: return "system error 5: access is denied";
    case 32: return "system error 32: the file is in use";
    case 112: return "system error 112: there is not enough space on the disk";
    case 183: return "system error 183: the file already exists";
    case 206: return "system error 206: the file name is too long";
    default: return "system error " + std::to_string(code);
    }
}

std::string Quoted(const std::string& utf8) { return "'" + Printable(utf8) + "'"; }

std::optional<std::u16string> AbsolutePath(const std::string& path) {
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(std::filesystem::u8path(path), error);
    if (error) return std::nullopt;
    return Utf8ToUtf16(full.lexically_normal().u8string());
}
