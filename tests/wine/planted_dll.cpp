// What a web page could drop into the download folder: a DLL under a system
// DLL's name. It does nothing but leave a marker naming itself and the
// process that loaded it, in C:\planted-markers, which the test checks.
#include <windows.h>

namespace {

void AppendWide(const wchar_t* text, wchar_t* buffer, int capacity) {
    int used = lstrlenW(buffer);
    while (*text && used + 1 < capacity) buffer[used++] = *text++;
    buffer[used] = 0;
}

const wchar_t* BaseName(const wchar_t* path) {
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p; ++p)
        if (*p == L'\\' || *p == L'/') name = p + 1;
    return name;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t dll[MAX_PATH] = L"", program[MAX_PATH] = L"", marker[3 * MAX_PATH] = L"C:\\planted-markers\\";
    GetModuleFileNameW(self, dll, MAX_PATH);
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    CreateDirectoryW(marker, nullptr);
    wchar_t pid[16];
    DWORD n = GetCurrentProcessId(), i = 15;
    pid[i] = 0;
    do pid[--i] = static_cast<wchar_t>(L'0' + n % 10); while ((n /= 10) && i > 0);
    AppendWide(pid + i, marker, 3 * MAX_PATH);
    AppendWide(L"-", marker, 3 * MAX_PATH);
    AppendWide(BaseName(dll), marker, 3 * MAX_PATH);
    AppendWide(L".txt", marker, 3 * MAX_PATH);
    HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return TRUE;
    char line[4 * MAX_PATH];
    int used = WideCharToMultiByte(CP_UTF8, 0, dll, -1, line, MAX_PATH, nullptr, nullptr);
    if (used > 0) line[used - 1] = ' ';
    int more = WideCharToMultiByte(CP_UTF8, 0, program, -1, line + used, 2 * MAX_PATH, nullptr, nullptr);
    int length = used + (more > 0 ? more - 1 : 0);
    line[length++] = '\n';
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
    return TRUE;
}
