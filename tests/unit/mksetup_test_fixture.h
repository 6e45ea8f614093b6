// Running mksetup's commands inside the test process, with their output caught.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands.h"
#include "test_support.h"

namespace test {

struct CommandResult {
    int code = -1;
    std::string out, err;
};

inline CommandResult RunCommand(int (*command)(const std::vector<std::string>&), const std::vector<std::string>& args) {
    CommandResult result;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    result.code = command(args);
    fflush(stdout);
    result.out = testing::internal::GetCapturedStdout();
    result.err = testing::internal::GetCapturedStderr();
    return result;
}

// A stub of zeros: any file serves, the package engine never runs it.
inline std::string WriteStub(const TempFolder& folder, size_t size = 4096) {
    std::string path = folder.Join("stub.exe");
    EXPECT_TRUE(WriteWholeFile(path, std::string(size, '\0')));
    return path;
}

// Writes files (name -> contents, '/' between folders) below folder/name.
inline std::string MakeProduct(const TempFolder& folder, const std::string& name,
                               const std::vector<std::pair<std::string, std::string>>& files) {
    std::string root = folder.Join(name);
    EXPECT_TRUE(MakeFolders(root));
    for (const auto& file : files) {
        std::string path = root + "/" + file.first;
        size_t slash = path.rfind('/');
        EXPECT_TRUE(MakeFolders(path.substr(0, slash)));
        EXPECT_TRUE(WriteWholeFile(path, file.second)) << path;
    }
    return root;
}

inline std::vector<std::string> BuildArgs(const std::string& source, const std::string& out, const std::string& stub,
                                          std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {source, "-o", out, "--code", "QW", "--window-class", "QwWindow",
                                     "--main-program", "Qw.exe", "--stub", stub, "--date", "2024-02-29", "-q"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

}  // namespace test
