#include "platform.h"

#include <windows.h>
#include <shellapi.h>
#include <errno.h>
#include <io.h>

#include "common/wide.h"
#include "text_codec.h"

uint32_t SystemErrorCode(const std::error_code& error) {
    // The system category carries the Windows code itself; the generic one an errno.
    if (error.category() == std::system_category()) return static_cast<uint32_t>(error.value());
    switch (error.value()) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case ENOSPC: return ERROR_DISK_FULL;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    default: return ERROR_ACCESS_DENIED;
    }
}

std::vector<std::string> CommandLineArguments(int, char**) {
    // The ANSI argv of a Windows program loses whatever the code page cannot
    // hold; the wide command line keeps every name as typed.
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return args;
    for (int i = 1; i < count; ++i) args.push_back(Utf16ToUtf8(as_u16(wide[i])));
    LocalFree(wide);
    return args;
}

std::string ExecutablePath() {
    wchar_t buffer[32768];
    DWORD n = GetModuleFileNameW(nullptr, buffer, sizeof buffer / sizeof buffer[0]);
    if (n == 0 || n >= sizeof buffer / sizeof buffer[0]) return "";
    return Utf16ToUtf8(as_u16(buffer));
}

bool ConsoleIsOurOwn() {
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}

bool StandardErrorIsTerminal() { return _isatty(2) != 0; }

bool CreateExclusiveFile(const std::string& path) {
    std::u16string wide = Utf8ToUtf16(path);
    HANDLE file = CreateFileW(as_wcstr(wide.c_str()), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

static wchar_t gDoomedPath[32768];

static BOOL WINAPI RemoveAndEnd(DWORD) {
    if (gDoomedPath[0]) DeleteFileW(gDoomedPath);
    return FALSE;  // the default handler ends the process
}

void RemoveOnInterrupt(const std::string& path) {
    gDoomedPath[0] = 0;
    std::u16string wide = Utf8ToUtf16(path);
    if (path.empty() || wide.size() >= sizeof gDoomedPath / sizeof gDoomedPath[0]) return;
    for (size_t i = 0; i <= wide.size(); ++i) gDoomedPath[i] = static_cast<wchar_t>(wide.c_str()[i]);
    SetConsoleCtrlHandler(RemoveAndEnd, TRUE);
}
