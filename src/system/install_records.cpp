#include "system/install_records.h"

#include "common/activity_log.h"
#include "common/codepage.h"
#include "common/text.h"
#include "state/state.h"
#include "system/registry.h"
#include "system/registry_delete.h"
#include "system/registry_store.h"

const char16_t kUrlInfoAbout[] = u"https://www.quillworks.example/";

namespace {

const char16_t kPublisher[] = u"Quillworks";

enum : int32_t { kCodeCapacity = 4, kNameCapacity = 32, kCommandCapacity = 1040 };

bool WriteValue(const RegistryKey* key, const char16_t* name, const char16_t* data) {
    return WriteRegistryString(key, name, data, static_cast<uint32_t>(TextLength(data) + 1) * 2);
}

void NoteRecord(RegistryRoot root, const char16_t* keyPath) {
    NoteActivity(root == kLocalMachine ? u"Registry: HKEY_LOCAL_MACHINE\\" : u"Registry: HKEY_CURRENT_USER\\",
                 keyPath);
}

uint32_t KiBRoundedUp(uint64_t bytes) {
    uint64_t kib = (bytes + 1023) / 1024;
    return kib > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(kib);
}

void WriteDeploymentValues(const RegistryKey* key, const char16_t* keyPath, const UninstallEntry* entry) {
    // An update whose description names no version leaves none of an earlier one.
    if (entry->version && entry->version[0]) WriteValue(key, u"DisplayVersion", entry->version);
    else DeleteRegistryValue(kLocalMachine, keyPath, u"DisplayVersion");
    WriteValue(key, u"InstallLocation", entry->folder ? entry->folder : u"");
    WriteRegistryNumber(key, u"EstimatedSize", KiBRoundedUp(entry->installedBytes));
    char16_t quiet[kCommandCapacity] = u"";
    if (entry->command) CopyText(entry->command, quiet, kCommandCapacity);
    AppendText(u" /S", quiet, kCommandCapacity);
    WriteValue(key, u"QuietUninstallString", quiet);
    WriteRegistryNumber(key, u"NoModify", 1);
    WriteRegistryNumber(key, u"NoRepair", 1);
}

}  // namespace

void RememberInstallFolder(const char16_t* folder) {
    char16_t code[kCodeCapacity];
    AnsiToWide(gState ? gState->productCode : "", code, kCodeCapacity);
    if (!code[0] || !folder || !folder[0]) return;
    RegistryKey key;
    if (!CreateRegistryKey(kCurrentUser, kMakerKey, &key)) return;
    if (WriteValue(&key, code, folder)) {
        char16_t path[kUninstallKeyCapacity];
        CopyText(kMakerKey, path, kUninstallKeyCapacity);
        AppendText(u"\\", path, kUninstallKeyCapacity);
        AppendText(code, path, kUninstallKeyCapacity);
        NoteRecord(kCurrentUser, path);
    }
    CloseRegistryKey(&key);
}

void WriteUninstallEntry(const UninstallEntry* entry) {
    char16_t name[kNameCapacity];
    AnsiToWide(gState ? gState->productName : "", name, kNameCapacity);
    // Without a name the key path would be the system's Uninstall key itself.
    if (!entry || !name[0]) return;
    char16_t keyPath[kUninstallKeyCapacity];
    CopyText(kUninstallPrefix, keyPath, kUninstallKeyCapacity);
    AppendText(name, keyPath, kUninstallKeyCapacity);
    RegistryKey key;
    if (!CreateRegistryKey(kLocalMachine, keyPath, &key)) return;
    WriteValue(&key, u"DisplayName", name);
    WriteValue(&key, u"UninstallString", entry->command ? entry->command : u"");
    WriteValue(&key, u"DisplayIcon", entry->iconPath ? entry->iconPath : u"");
    WriteValue(&key, u"Publisher", kPublisher);
    WriteValue(&key, u"URLInfoAbout", kUrlInfoAbout);
    WriteDeploymentValues(&key, keyPath, entry);
    CloseRegistryKey(&key);
    NoteRecord(kLocalMachine, keyPath);
}
