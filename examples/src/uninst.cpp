// The sample product's uninstaller: after the user agrees, it removes the
// sample's files from its own folder, its shortcuts, its uninstall entry and
// the remembered destination, and has itself and the folder removed at the
// next restart (a running program cannot delete its own file).
#include <windows.h>
#include <shlobj.h>

#include <string>

namespace {

const wchar_t kProduct[] = L"Sample Notes";
const wchar_t kProductCode[] = L"SNO";
const wchar_t* const kFilePatterns[] = {L"Notes.exe", L"ReadMe.txt", L"FILE_ID.DIZ", L"Platform.txt",
                                        L"Notes_*.LNG", L"Notes_*.CHM"};

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::wstring SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, 0, path))) return std::wstring();
    return path;
}

void DeleteMatches(const std::wstring& folder, const wchar_t* pattern) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

void DeleteShortcuts() {
    std::wstring link = std::wstring(L"\\") + kProduct + L".lnk";
    std::wstring desktop = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
    if (!desktop.empty()) DeleteFileW((desktop + link).c_str());
    std::wstring appData = SpecialFolder(CSIDL_APPDATA);
    if (!appData.empty()) DeleteFileW((appData + L"\\Microsoft\\Internet Explorer\\Quick Launch" + link).c_str());
    for (int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
        std::wstring programs = SpecialFolder(csidl);
        if (programs.empty()) continue;
        std::wstring group = programs + L"\\" + kProduct;
        DeleteFileW((group + link).c_str());
        DeleteFileW((group + L"\\Uninstall.lnk").c_str());
        RemoveDirectoryW(group.c_str());
    }
}

void DeleteRegistryEntries() {
    std::wstring uninstallKey = std::wstring(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kProduct;
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, uninstallKey.c_str());
    HKEY remembered;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Quillworks", 0, KEY_SET_VALUE, &remembered) != ERROR_SUCCESS) return;
    RegDeleteValueW(remembered, kProductCode);
    RegCloseKey(remembered);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::wstring question = std::wstring(L"Remove ") + kProduct + L" and all of its files?";
    if (MessageBoxW(nullptr, question.c_str(), kProduct, MB_YESNO | MB_ICONQUESTION) != IDYES) return 1;
    std::wstring folder = OwnFolder();
    for (const wchar_t* pattern : kFilePatterns) DeleteMatches(folder, pattern);
    DeleteShortcuts();
    DeleteRegistryEntries();
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    MoveFileExW(self, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    std::wstring done = std::wstring(kProduct) + L" has been removed.";
    MessageBoxW(nullptr, done.c_str(), kProduct, MB_OK | MB_ICONINFORMATION);
    return 0;
}
