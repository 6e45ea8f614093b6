// Steps that read the system rather than the setup's windows: a registry
// value as the program wrote it (type and byte count included, which
// `wine reg query` does not show), a special folder's path and who may use
// a file or folder.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <string>

#include "remote.h"
#include "steps.h"

bool ParseValuePath(const std::string& argument, HKEY* root, std::string* key, std::string* name) {
    size_t slash = argument.find('\\');
    size_t colon = argument.rfind(':');
    if (slash == std::string::npos || colon == std::string::npos || colon < slash) return false;
    std::string rootName = argument.substr(0, slash);
    if (rootName == "HKLM") *root = HKEY_LOCAL_MACHINE;
    else if (rootName == "HKCU") *root = HKEY_CURRENT_USER;
    else return false;
    *key = argument.substr(slash + 1, colon - slash - 1);
    *name = argument.substr(colon + 1);
    return true;
}

// regvalue=HKLM\KEY\PATH:NAME prints "reg NAME type=T bytes=N text=...", "reg NAME type=4 number=N"
// for a REG_DWORD, or "reg NAME missing".
bool StepRegistryValue(Session*, const std::string& argument) {
    HKEY root = nullptr;
    std::string keyPath, name;
    if (!ParseValuePath(argument, &root, &keyPath, &name)) return Fail("regvalue wants HKLM\\KEY:NAME or HKCU\\KEY:NAME");
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, Wide(keyPath).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        Say("reg " + name + " missing");
        return true;
    }
    DWORD type = 0;
    BYTE data[4096] = {};
    DWORD bytes = sizeof data - sizeof(wchar_t);
    LONG status = RegQueryValueExW(key, Wide(name).c_str(), nullptr, &type, data, &bytes);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        Say("reg " + name + " missing");
        return true;
    }
    if (type == REG_DWORD) {
        Say("reg " + name + " type=" + std::to_string(type) + " number=" + std::to_string(*reinterpret_cast<DWORD*>(data)));
        return true;
    }
    std::wstring text(reinterpret_cast<const wchar_t*>(data));
    Say("reg " + name + " type=" + std::to_string(type) + " bytes=" + std::to_string(bytes) + " text=" + Utf8(text));
    return true;
}

// folder=CSIDL prints "folder CSIDL PATH", or "folder CSIDL none".
bool StepSpecialFolder(Session*, const std::string& argument) {
    int csidl = std::atoi(argument.c_str());
    wchar_t path[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, csidl, nullptr, 0, path) != S_OK) {
        Say("folder " + argument + " none");
        return true;
    }
    Say("folder " + argument + " " + Utf8(path));
    return true;
}

// access=PATH prints "access PATH DACL" (the access list as SDDL) and "user SID"
// (the running user, whom the list should name).
bool StepAccess(Session*, const std::string& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(Wide(path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                              nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return Fail("cannot read the access list of " + path);
    LPWSTR text = nullptr;
    bool converted = ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1,
                                                                          DACL_SECURITY_INFORMATION, &text, nullptr);
    LocalFree(descriptor);
    if (!converted) return Fail("cannot write the access list of " + path);
    Say("access " + path + " " + Utf8(text));
    LocalFree(text);
    HANDLE token = nullptr;
    alignas(8) BYTE user[256];
    DWORD size = 0;
    LPWSTR sid = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
        GetTokenInformation(token, TokenUser, user, sizeof user, &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &sid)) {
        Say("user " + Utf8(sid));
        LocalFree(sid);
    }
    if (token) CloseHandle(token);
    return true;
}
