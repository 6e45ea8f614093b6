// What mksetup needs of the system beyond the standard library.
#pragma once
#include <stdint.h>

#include <string>
#include <system_error>
#include <vector>

// The Windows system error code of a failure the standard library reports,
// so that mksetup words every system error alike (SystemErrorText).
uint32_t SystemErrorCode(const std::error_code& error);

// The arguments after the program name, as UTF-8.
std::vector<std::string> CommandLineArguments(int argc, char** argv);
// Full path of the running program (UTF-8), or "" when the system does not say.
std::string ExecutablePath();
// True when no other process shares our console: the system made it for us,
// as for a program started from the Start menu or by a double click, and it
// closes the moment we end. Never away from Windows.
bool ConsoleIsOurOwn();
// True when standard error goes to a terminal (progress then redraws one line).
bool StandardErrorIsTerminal();
// A new, empty file at path that did not exist before; false when it cannot be made.
bool CreateExclusiveFile(const std::string& path);
// While set, an interrupt (Ctrl-C, a termination request) removes this file
// before the program ends; "" forgets it.
void RemoveOnInterrupt(const std::string& path);
