// A link's target through the shell-link object. COM is already initialised
// on this thread by the program's start-up.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "system/shortcut_target.h"
#include "common/path.h"
#include "common/text.h"
#include "common/wide.h"
#include "system/shell_ids_win32.h"

int32_t GetShortcutTarget(const char16_t* linkPath, char16_t* target) {
    if (!target) return E_POINTER;
    target[0] = 0;
    IShellLinkW* link = nullptr;
    HRESULT status = CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, kShellLinkInterface,
                                      reinterpret_cast<void**>(&link));
    if (FAILED(status)) return status;
    if (!link) return E_FAIL;
    IPersistFile* file = nullptr;
    status = link->QueryInterface(kPersistFileInterface, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(status) && file) {
        status = file->Load(as_wcstr(linkPath ? linkPath : u""), STGM_READ);
        // The raw path: no search for a target that has moved, no variables expanded.
        if (SUCCEEDED(status)) status = link->GetPath(as_wcstr(target), kPathCapacity, nullptr, SLGP_RAWPATH);
        file->Release();
    } else if (SUCCEEDED(status)) {
        status = E_FAIL;
    }
    link->Release();
    if (status != S_OK) target[0] = 0;
    // A raw path may hold variables (%ProgramFiles%\...): compare what they stand for.
    char16_t expanded[kPathCapacity];
    DWORD n = target[0] ? ExpandEnvironmentStringsW(as_wcstr(target), as_wcstr(expanded), kPathCapacity) : 0;
    if (n > 0 && n <= kPathCapacity) CopyText(expanded, target, kPathCapacity);
    return target[0] ? 0 : (FAILED(status) ? status : E_FAIL);
}
