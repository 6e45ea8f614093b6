#include "remote.h"

#include <commctrl.h>

namespace {

constexpr int kTextPlaces = 1024;

// One block of the target process's memory, freed when it goes out of scope.
struct RemoteBlock {
    HANDLE process = nullptr;
    void* address = nullptr;

    RemoteBlock(HWND window, SIZE_T size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process) address = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBlock() {
        if (address) VirtualFreeEx(process, address, 0, MEM_RELEASE);
        if (process) CloseHandle(process);
    }
    bool ok() const { return address != nullptr; }
    char* at(SIZE_T offset) const { return static_cast<char*>(address) + offset; }
    bool write(SIZE_T offset, const void* data, SIZE_T size) const {
        SIZE_T done = 0;
        return WriteProcessMemory(process, at(offset), data, size, &done) && done == size;
    }
    bool read(SIZE_T offset, void* data, SIZE_T size) const {
        SIZE_T done = 0;
        return ReadProcessMemory(process, at(offset), data, size, &done) && done == size;
    }
};

std::wstring Terminated(std::vector<wchar_t>& buffer) {
    buffer.back() = 0;
    return std::wstring(buffer.data());
}

}  // namespace

bool ReadRemoteRows(HWND list, std::vector<RemoteRow>* rows) {
    rows->clear();
    RemoteBlock block(list, sizeof(LVITEMW) + kTextPlaces * sizeof(wchar_t));
    if (!block.ok()) return false;
    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_STATE;
        item.iItem = index;
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.pszText = reinterpret_cast<LPWSTR>(block.at(sizeof(LVITEMW)));
        item.cchTextMax = kTextPlaces;
        if (!block.write(0, &item, sizeof item)) return false;
        if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(block.at(0)))) return false;
        std::vector<wchar_t> text(kTextPlaces, 0);
        if (!block.read(0, &item, sizeof item)) return false;
        if (!block.read(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t))) return false;
        RemoteRow row;
        row.text = Terminated(text);
        row.data = item.lParam;
        row.stateImage = (item.state & LVIS_STATEIMAGEMASK) >> 12;
        rows->push_back(row);
    }
    return true;
}

bool SetRemoteRowCheck(HWND list, int index, UINT stateImage) {
    RemoteBlock block(list, sizeof(LVITEMW));
    if (!block.ok()) return false;
    LVITEMW item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(stateImage);
    if (!block.write(0, &item, sizeof item)) return false;
    return SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(block.at(0))) != 0;
}

bool ReadRemoteColumnText(HWND list, int column, std::wstring* text) {
    RemoteBlock block(list, sizeof(LVCOLUMNW) + kTextPlaces * sizeof(wchar_t));
    if (!block.ok()) return false;
    LVCOLUMNW request = {};
    request.mask = LVCF_TEXT;
    request.pszText = reinterpret_cast<LPWSTR>(block.at(sizeof(LVCOLUMNW)));
    request.cchTextMax = kTextPlaces;
    if (!block.write(0, &request, sizeof request)) return false;
    if (!SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(block.at(0))))
        return false;
    std::vector<wchar_t> buffer(kTextPlaces, 0);
    if (!block.read(sizeof(LVCOLUMNW), buffer.data(), buffer.size() * sizeof(wchar_t))) return false;
    *text = Terminated(buffer);
    return true;
}

bool ReadRemoteTreeSelection(HWND tree, std::vector<std::wstring>* path) {
    path->clear();
    RemoteBlock block(tree, sizeof(TVITEMW) + kTextPlaces * sizeof(wchar_t));
    if (!block.ok()) return false;
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    while (item) {
        TVITEMW request = {};
        request.mask = TVIF_TEXT | TVIF_HANDLE;
        request.hItem = item;
        request.pszText = reinterpret_cast<LPWSTR>(block.at(sizeof(TVITEMW)));
        request.cchTextMax = kTextPlaces;
        if (!block.write(0, &request, sizeof request)) return false;
        if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(block.at(0)))) return false;
        std::vector<wchar_t> text(kTextPlaces, 0);
        if (!block.read(sizeof(TVITEMW), text.data(), text.size() * sizeof(wchar_t))) return false;
        path->push_back(Terminated(text));
        item = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
    }
    return !path->empty();
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& text) {
    if (text.empty()) return std::wstring();
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size);
    return out;
}

std::wstring WindowText(HWND window) {
    std::vector<wchar_t> text(kTextPlaces, 0);
    // WM_GETTEXT crosses processes; GetWindowTextW would not ask a control of another one.
    SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return Terminated(text);
}

std::wstring ClassName(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}
