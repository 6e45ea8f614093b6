// Special folders and shell links through the Windows shell. COM is already
// initialised on this thread by start-up.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "system/shell.h"
#include "common/path.h"
#include "common/text.h"
#include "common/wide.h"
#include "system/shell_ids_win32.h"

int32_t GetSpecialFolder(int32_t folder, char16_t* path) {
    if (!path) return E_POINTER;
    path[0] = 0;
    PIDLIST_ABSOLUTE list = nullptr;
    HRESULT status = SHGetSpecialFolderLocation(nullptr, folder, &list);
    if (FAILED(status)) return status;
    if (!list) return E_FAIL;
    // An item list without a file-system path is a folder we cannot use.
    if (!SHGetPathFromIDListW(list, as_wcstr(path))) path[0] = 0;
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(list);
        allocator->Release();
    }
    return status;
}

int32_t CreateShortcut(const char16_t* linkPath, const char16_t* target, const char16_t* workingDirectory) {
    IShellLinkW* link = nullptr;
    HRESULT status = CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, kShellLinkInterface,
                                      reinterpret_cast<void**>(&link));
    if (FAILED(status)) return status;
    if (!link) return E_FAIL;
    link->SetPath(as_wcstr(target ? target : u""));
    link->SetWorkingDirectory(as_wcstr(workingDirectory ? workingDirectory : u""));
    link->SetShowCmd(SW_SHOW);
    IPersistFile* file = nullptr;
    status = link->QueryInterface(kPersistFileInterface, reinterpret_cast<void**>(&file));
    if (FAILED(status) || !file) {
        link->Release();
        return FAILED(status) ? status : E_FAIL;
    }
    char16_t path[kPathCapacity];
    CopyTextLimited(linkPath ? linkPath : u"", path, kPathCapacity);
    status = file->Save(as_wcstr(path), TRUE);
    file->Release();
    link->Release();
    return status;
}
