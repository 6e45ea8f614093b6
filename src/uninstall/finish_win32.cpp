// The uninstaller cannot delete its own file while it runs. A copy of it, in
// a new folder of its own inside the temporary folder, waits for it to end,
// deletes the file and the folder, and has itself and its folder removed at
// the next restart.
#include <windows.h>
#include <ntsecapi.h>
#include <sddl.h>

#include "uninstall/finish.h"

#include "common/path.h"
#include "common/text.h"
#include "common/wide.h"
#include "uninstall/file_list.h"
#include "uninstall/ownership.h"

enum : DWORD {
    kRetryMilliseconds = 100,
    kRetries = 50,
    kCommandCapacity = 2 * kPathCapacity + 64,
    kFolderAttempts = 8,
    kRandomBytes = 8,
    kSecurityCapacity = 256
};

static const char16_t kHelperFolderPrefix[] = u"UnInst-";

static bool IsOwnProgram(const char16_t* programPath) {
    char16_t own[kPathCapacity], ownLong[kPathCapacity];
    DWORD n = GetModuleFileNameW(nullptr, as_wcstr(own), kPathCapacity);
    if (n == 0 || n >= kPathCapacity) return false;
    DWORD m = GetLongPathNameW(as_wcstr(own), as_wcstr(ownLong), kPathCapacity);
    return EqualsIgnoreCase(own, programPath) || (m > 0 && m < kPathCapacity && EqualsIgnoreCase(ownLong, programPath));
}

static bool GetTempFolder(char16_t* temp) {
    DWORD n = GetTempPathW(kPathCapacity, as_wcstr(temp));
    return n > 0 && n < kPathCapacity;
}

// Access for SYSTEM, the Administrators group and the running user, nobody
// else, and nothing inherited from the temporary folder. LocalFree it.
static PSECURITY_DESCRIPTOR PrivateFolderSecurity() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return nullptr;
    union {
        TOKEN_USER user;
        BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } info;
    DWORD size = 0;
    BOOL known = GetTokenInformation(token, TokenUser, &info, sizeof info, &size);
    CloseHandle(token);
    LPWSTR user = nullptr;
    if (!known || !ConvertSidToStringSidW(info.user.User.Sid, &user)) return nullptr;
    char16_t text[kSecurityCapacity] = u"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;";
    bool fits = AppendText(as_u16(user), text, kSecurityCapacity) == kPathFits &&
                AppendText(u")", text, kSecurityCapacity) == kPathFits;
    LocalFree(user);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!fits ||
        !ConvertStringSecurityDescriptorToSecurityDescriptorW(as_wcstr(text), SDDL_REVISION_1, &descriptor, nullptr))
        return nullptr;
    return descriptor;
}

// "UnInst-" and 16 random hexadecimal digits.
static bool AppendRandomName(char16_t* path) {
    uint8_t bytes[kRandomBytes];
    if (!RtlGenRandom(bytes, sizeof bytes)) return false;
    char16_t name[2 * kRandomBytes + 1];
    for (DWORD i = 0; i < kRandomBytes; ++i) {
        name[2 * i] = u"0123456789abcdef"[bytes[i] >> 4];
        name[2 * i + 1] = u"0123456789abcdef"[bytes[i] & 15];
    }
    name[2 * kRandomBytes] = 0;
    return AppendText(kHelperFolderPrefix, path, kPathCapacity) == kPathFits &&
           AppendText(name, path, kPathCapacity) == kPathFits;
}

// A new folder under a name nobody can guess, made by us: a folder that is
// already there, whoever made it, is never used.
static bool MakeHelperFolder(char16_t* folder) {
    char16_t temp[kPathCapacity];
    if (!GetTempFolder(temp)) return false;
    PSECURITY_DESCRIPTOR descriptor = PrivateFolderSecurity();
    if (!descriptor) return false;
    SECURITY_ATTRIBUTES security = {sizeof security, descriptor, FALSE};
    bool made = false;
    for (DWORD attempt = 0; attempt < kFolderAttempts && !made; ++attempt) {
        CopyText(temp, folder, kPathCapacity);
        if (!AppendRandomName(folder)) break;
        made = CreateDirectoryW(as_wcstr(folder), &security) != 0;
        if (!made && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    LocalFree(descriptor);
    return made;
}

// The folder, the copy in it and the command that starts it: "<copy>" /finish
// <handle> <0|1> <program>.
static bool StartHelperIn(const char16_t* folder, const char16_t* programPath, bool removeFolder, char16_t* helper) {
    CopyText(folder, helper, kPathCapacity);
    // A create-new copy: nothing that was there first is ever started.
    if (AppendPathPart(kUninstallerFileName, helper, kPathCapacity) != kPathFits ||
        !CopyFileW(as_wcstr(programPath), as_wcstr(helper), TRUE))
        return false;
    HANDLE self = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0))
        return false;
    char16_t command[kCommandCapacity] = u"\"";
    AppendText(helper, command, kCommandCapacity);
    AppendText(u"\" /finish ", command, kCommandCapacity);
    AppendNumber(reinterpret_cast<uintptr_t>(self), command, kCommandCapacity);
    AppendText(removeFolder ? u" 1 " : u" 0 ", command, kCommandCapacity);
    PathResult fits = AppendText(programPath, command, kCommandCapacity);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // Its own folder as its current folder: it must hold nothing open in ours.
    bool started = fits == kPathFits && CreateProcessW(as_wcstr(helper), as_wcstr(command), nullptr, nullptr, TRUE, 0,
                                                       nullptr, as_wcstr(folder), &startup, &process);
    CloseHandle(self);
    if (!started) return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

static bool StartHelper(const char16_t* programPath, bool removeFolder) {
    char16_t folder[kPathCapacity], helper[kPathCapacity] = u"";
    if (!MakeHelperFolder(folder)) return false;
    if (StartHelperIn(folder, programPath, removeFolder, helper)) return true;
    if (helper[0]) DeleteFileW(as_wcstr(helper));
    RemoveDirectoryW(as_wcstr(folder));
    return false;
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

// The copy and its folder go at the next restart; only a copy that runs from
// a helper folder of the temporary folder takes that step.
static void RemoveOwnCopyAtRestart() {
    char16_t own[kPathCapacity], folder[kPathCapacity], temp[kPathCapacity];
    DWORD n = GetModuleFileNameW(nullptr, as_wcstr(own), kPathCapacity);
    if (n == 0 || n >= kPathCapacity || !GetTempFolder(temp)) return;
    CopyText(own, folder, kPathCapacity);
    CutToParentFolder(folder);
    const char16_t* name = folder + FileNamePosition(folder);
    char16_t parent[kPathCapacity];
    CopyText(folder, parent, kPathCapacity);
    CutToParentFolder(parent);
    if (!SamePath(parent, temp) || !StartsWithIgnoreCase(name, kHelperFolderPrefix)) return;
    MoveFileExW(as_wcstr(own), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExW(as_wcstr(folder), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
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
    RemoveOwnCopyAtRestart();
    return 0;
}
