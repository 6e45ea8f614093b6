// The uninstaller cannot delete its own file while it runs. A copy of it in
// the temporary folder waits for it to end, deletes the file and the folder,
// and has its own file removed at the next restart.
#include <windows.h>

#include "uninstall/finish.h"

#include "common/path.h"
#include "common/text.h"
#include "common/wide.h"
#include "uninstall/file_list.h"
#include "uninstall/ownership.h"

enum : DWORD { kRetryMilliseconds = 100, kRetries = 50, kCommandCapacity = 2 * kPathCapacity + 64 };

static bool IsOwnProgram(const char16_t* programPath) {
    char16_t own[kPathCapacity], ownLong[kPathCapacity];
    DWORD n = GetModuleFileNameW(nullptr, as_wcstr(own), kPathCapacity);
    if (n == 0 || n >= kPathCapacity) return false;
    DWORD m = GetLongPathNameW(as_wcstr(own), as_wcstr(ownLong), kPathCapacity);
    return EqualsIgnoreCase(own, programPath) || (m > 0 && m < kPathCapacity && EqualsIgnoreCase(ownLong, programPath));
}

// "UnInst-<process id>.exe" in the temporary folder, a copy of the program.
static bool MakeHelperCopy(const char16_t* programPath, char16_t* temp, char16_t* helper) {
    DWORD n = GetTempPathW(kPathCapacity, as_wcstr(temp));
    if (n == 0 || n >= kPathCapacity) return false;
    CopyText(temp, helper, kPathCapacity);
    AppendText(u"UnInst-", helper, kPathCapacity);
    AppendNumber(GetCurrentProcessId(), helper, kPathCapacity);
    if (AppendText(u".exe", helper, kPathCapacity) != kPathFits) return false;
    return CopyFileW(as_wcstr(programPath), as_wcstr(helper), FALSE) != 0;
}

static bool StartHelper(const char16_t* programPath, bool removeFolder) {
    char16_t temp[kPathCapacity], helper[kPathCapacity];
    if (!MakeHelperCopy(programPath, temp, helper)) return false;
    HANDLE self = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE,
                         0)) {
        DeleteFileW(as_wcstr(helper));
        return false;
    }
    char16_t command[kCommandCapacity] = u"\"";
    AppendText(helper, command, kCommandCapacity);
    AppendText(u"\" /finish ", command, kCommandCapacity);
    AppendNumber(reinterpret_cast<uintptr_t>(self), command, kCommandCapacity);
    AppendText(removeFolder ? u" 1 " : u" 0 ", command, kCommandCapacity);
    PathResult fits = AppendText(programPath, command, kCommandCapacity);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // The temporary folder as the helper's current folder: it must hold nothing open in ours.
    bool started = fits == kPathFits && CreateProcessW(as_wcstr(helper), as_wcstr(command), nullptr, nullptr, TRUE, 0,
                                                       nullptr, as_wcstr(temp), &startup, &process);
    CloseHandle(self);
    if (!started) {
        DeleteFileW(as_wcstr(helper));
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void FinishRemoval(const char16_t* programPath, const char16_t* folder, bool removeFolder) {
    if (!IsOwnProgram(programPath)) {
        DeleteFileW(as_wcstr(programPath));
        if (removeFolder) RemoveDirectoryW(as_wcstr(folder));
        return;
    }
    if (StartHelper(programPath, removeFolder)) return;
    MoveFileExW(as_wcstr(programPath), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    if (removeFolder) MoveFileExW(as_wcstr(folder), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// --- The helper copy --------------------------------------------------------

static bool ReadNumber(const char16_t** text, uint64_t* value) {
    const char16_t* p = *text;
    while (*p == u' ') ++p;
    if (*p < u'0' || *p > u'9') return false;
    uint64_t v = 0;
    for (; *p >= u'0' && *p <= u'9'; ++p) v = v * 10 + static_cast<uint64_t>(*p - u'0');
    *text = p;
    *value = v;
    return true;
}

static bool Retry(bool (*step)(const char16_t*), const char16_t* path) {
    for (DWORD attempt = 0; attempt < kRetries; ++attempt) {
        if (step(path)) return true;
        Sleep(kRetryMilliseconds);
    }
    return false;
}

static bool FileGone(const char16_t* path) {
    return DeleteFileW(as_wcstr(path)) || GetLastError() == ERROR_FILE_NOT_FOUND ||
           GetLastError() == ERROR_PATH_NOT_FOUND;
}

// Gone, or holding something that is not ours to remove.
static bool FolderDone(const char16_t* folder) {
    return RemoveDirectoryW(as_wcstr(folder)) || GetLastError() == ERROR_DIR_NOT_EMPTY ||
           GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
}

int32_t RunFinishHelper(const char16_t* arguments) {
    uint64_t handle = 0, removeFolder = 0;
    const char16_t* p = arguments;
    if (!ReadNumber(&p, &handle) || !ReadNumber(&p, &removeFolder)) return 2;
    while (*p == u' ') ++p;
    char16_t program[kPathCapacity], folder[kPathCapacity];
    if (!*p || CopyText(p, program, kPathCapacity) != kPathFits) return 2;
    CopyText(program, folder, kPathCapacity);
    CutToParentFolder(folder);
    // Only the uninstaller that started this copy is finished: its handle must
    // be one to wait on, and its file must be an uninstaller.
    if (!EqualsIgnoreCase(program + FileNamePosition(program), kUninstallerFileName)) return 2;
    HANDLE parent = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(handle));
    DWORD waited = WaitForSingleObject(parent, INFINITE);
    CloseHandle(parent);
    if (waited != WAIT_OBJECT_0) return 2;
    bool programGone = Retry(FileGone, program);
    if (!programGone) MoveFileExW(as_wcstr(program), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    // The folder decision is taken again here: the command line is only a request.
    if (removeFolder && !IsProtectedFolder(folder)) {
        if (!programGone) MoveFileExW(as_wcstr(folder), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        else Retry(FolderDone, folder);
    }
    char16_t own[kPathCapacity];
    DWORD n = GetModuleFileNameW(nullptr, as_wcstr(own), kPathCapacity);
    if (n > 0 && n < kPathCapacity) MoveFileExW(as_wcstr(own), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return 0;
}
