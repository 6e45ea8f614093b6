// The commands of mksetup. Each takes the arguments after its name and answers
// the process exit code: 0 success, 1 the operation failed, 2 wrong usage.
#pragma once
#include <string>
#include <vector>

int BuildCommand(const std::vector<std::string>& args);
int ListCommand(const std::vector<std::string>& args);
int TestCommand(const std::vector<std::string>& args);
int ExtractCommand(const std::vector<std::string>& args);
int InstallCommand(const std::vector<std::string>& args);
int UninstallCommand(const std::vector<std::string>& args);
