#include "common/dll_search.h"

#include <windows.h>

// System DLLs that other system DLLs load only when first needed, through
// their own delay-load tables (uxtheme, for instance, takes msimg32 when it
// first draws a themed control). Wine resolves those along the program's
// folder whatever the default directories say; a DLL already loaded is
// taken by its name, so these are loaded from System32 up front.
static const wchar_t* const kLateSystemDlls[] = {L"msimg32.dll"};

void LimitDllSearchToSystem() {
    // Present from Windows 8 on, and on Windows Vista and 7 with the update
    // that brought it, so it is looked up rather than imported.
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesCall)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesCall>(
        reinterpret_cast<void*>(kernel ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr));
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        // Without it, at least the current folder leaves the search.
        SetDllDirectoryW(L"");
        return;
    }
    for (const wchar_t* name : kLateSystemDlls) LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}
