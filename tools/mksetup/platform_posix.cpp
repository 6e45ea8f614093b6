#include "platform.h"

#include "common/native_path.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <string.h>
#include <unistd.h>

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return args;
}

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return "";
    return std::string(buffer, static_cast<size_t>(n));
}

uint32_t SystemErrorCode(const std::error_code& error) { return WindowsCodeOfErrno(error.value(), nullptr); }

bool ConsoleIsOurOwn() { return false; }

bool StandardErrorIsTerminal() { return isatty(2) != 0; }

bool CreateExclusiveFile(const std::string& path) {
    // Setups are programs: readable by all, as the user's umask allows.
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    close(fd);
    return true;
}

static char gDoomedPath[PATH_MAX];

static void RemoveAndEnd(int signalNumber) {
    if (gDoomedPath[0]) unlink(gDoomedPath);
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

void RemoveOnInterrupt(const std::string& path) {
    gDoomedPath[0] = 0;
    if (path.empty() || path.size() >= sizeof gDoomedPath) return;
    memcpy(gDoomedPath, path.c_str(), path.size() + 1);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) signal(signalNumber, RemoveAndEnd);
}
