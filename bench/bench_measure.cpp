// Runs one command and takes its wall time, CPU time and peak memory from the
// kernel's own accounting of that child (wait4), so no wrapper process is
// counted and no outside tool is needed.
#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

#include "bench.h"

extern char** environ;

namespace {

double Now() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double Seconds(const timeval& value) {
    return static_cast<double>(value.tv_sec) + static_cast<double>(value.tv_usec) * 1e-6;
}

std::vector<char*> Pointers(std::vector<std::string>* texts) {
    std::vector<char*> pointers;
    for (std::string& text : *texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// The parent's environment with the command's entries replacing same-named ones.
std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> merged;
    for (char** entry = environ; *entry; ++entry) {
        std::string text = *entry;
        std::string name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const std::string& e : extra) replaced = replaced || e.substr(0, e.find('=')) == name;
        if (!replaced) merged.push_back(text);
    }
    merged.insert(merged.end(), extra.begin(), extra.end());
    return merged;
}

}  // namespace

Measurement RunMeasured(const Command& command) {
    Measurement result;
    if (command.args.empty()) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, command.stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, command.stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> args = command.args;
    std::vector<std::string> environment = MergedEnvironment(command.environment);
    std::vector<char*> argv = Pointers(&args), envp = Pointers(&environment);
    pid_t child = 0;
    double start = Now();
    int failed = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) return result;
    int status = 0;
    rusage usage = {};
    pid_t waited;
    do waited = wait4(child, &status, 0, &usage);
    while (waited < 0 && errno == EINTR);
    if (waited < 0) return result;
    result.wallSeconds = Now() - start;
    result.started = true;
    // glibc's posix_spawnp reports a program it cannot execute as exit status 127.
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    result.peakKiB = static_cast<uint64_t>(usage.ru_maxrss);
    return result;
}
