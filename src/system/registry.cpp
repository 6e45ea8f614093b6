// The registry records of an installation: the proposed destination, the
// remembered one and the uninstall entry. Nothing here is ever reported: a
// record that cannot be read or written leaves the installation as it is.
#include "system/registry.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "state/state.h"
#include "system/environment.h"
#include "system/registry_store.h"
#include "common/codepage.h"

const char16_t kUrlInfoAbout[] = u"https://www.quillworks.example/";
const char16_t kMakerKey[] = u"Software\\Quillworks";
const char16_t kUninstallPrefix[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

namespace {

const char16_t kPublisher[] = u"Quillworks";
const char16_t kCurrentVersionKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion";

enum : int32_t { kCodeCapacity = 4, kNameCapacity = 32 };

void WidenProductCode(char16_t* code) {
    AnsiToWide(gState ? gState->productCode : "", code, kCodeCapacity);
}

void WidenProductName(char16_t* name) {
    AnsiToWide(gState ? gState->productName : "", name, kNameCapacity);
}

uint32_t ByteCountOf(const char16_t* text) {
    return static_cast<uint32_t>(TextLength(text) + 1) * 2;
}

bool ReadRememberedFolder(const char16_t* code, char16_t* buffer, int32_t capacity) {
    if (!code[0]) return false;
    RegistryKey key;
    if (!OpenRegistryKey(kCurrentUser, kMakerKey, &key)) return false;
    bool read = ReadRegistryString(&key, code, buffer, static_cast<uint32_t>(capacity) * 2);
    CloseRegistryKey(&key);
    if (read && buffer[0]) return true;
    buffer[0] = 0;
    return false;
}

// "Programme" where such a folder exists beside the Windows folder (a German
// system of old), "Program Files" otherwise.
void ProposeBesideWindowsFolder(char16_t* buffer, int32_t capacity) {
    ReadWindowsFolder(buffer, capacity);
    if (!buffer[0]) return;
    CutToParentFolder(buffer);
    if (!buffer[0]) return;  // a folder without a parent names no place to install to
    AddTrailingSeparator(buffer, capacity);
    int32_t length = TextLength(buffer);
    AppendText(u"Programme", buffer, capacity);
    if (ProbePath(buffer) == 0) return;
    buffer[length] = 0;
    AppendText(u"Program Files", buffer, capacity);
}

void WriteValue(const RegistryKey* key, const char16_t* name, const char16_t* data) {
    WriteRegistryString(key, name, data, ByteCountOf(data));
}

}  // namespace

void ReadProgramFilesDir(char16_t* buffer, int32_t capacity) {
    if (!buffer || capacity <= 0) return;
    buffer[0] = 0;
    RegistryKey key;
    if (!OpenRegistryKey(kLocalMachine, kCurrentVersionKey, &key)) return;
    if (!ReadRegistryString(&key, u"ProgramFilesDir", buffer, static_cast<uint32_t>(capacity) * 2)) buffer[0] = 0;
    CloseRegistryKey(&key);
}

void GetDefaultInstallFolder(char16_t* buffer, int32_t capacity) {
    if (!buffer || capacity <= 0) return;
    buffer[0] = 0;
    char16_t code[kCodeCapacity];
    WidenProductCode(code);
    // The folder of an earlier installation is proposed exactly as it was chosen.
    if (ReadRememberedFolder(code, buffer, capacity)) return;
    ReadProgramFilesDir(buffer, capacity);
    if (!buffer[0]) ReadEnvironmentVariable(u"ProgramFiles", buffer, capacity);
    if (!buffer[0]) ProposeBesideWindowsFolder(buffer, capacity);
    if (!buffer[0]) return;
    AddTrailingSeparator(buffer, capacity);
    char16_t name[kNameCapacity];
    WidenProductName(name);
    AppendText(name, buffer, capacity);
}

void RememberInstallFolder(const char16_t* folder) {
    char16_t code[kCodeCapacity];
    WidenProductCode(code);
    if (!code[0] || !folder || !folder[0]) return;
    RegistryKey key;
    if (!CreateRegistryKey(kCurrentUser, kMakerKey, &key)) return;
    WriteValue(&key, code, folder);
    CloseRegistryKey(&key);
}

void WriteUninstallEntry(const char16_t* uninstallCommand, const char16_t* iconPath) {
    char16_t name[kNameCapacity];
    WidenProductName(name);
    // Without a name the key path would be the system's Uninstall key itself.
    if (!name[0]) return;
    char16_t keyPath[kUninstallKeyCapacity];
    CopyText(kUninstallPrefix, keyPath, kUninstallKeyCapacity);
    AppendText(name, keyPath, kUninstallKeyCapacity);
    RegistryKey key;
    if (!CreateRegistryKey(kLocalMachine, keyPath, &key)) return;
    WriteValue(&key, u"DisplayName", name);
    WriteValue(&key, u"UninstallString", uninstallCommand ? uninstallCommand : u"");
    WriteValue(&key, u"DisplayIcon", iconPath ? iconPath : u"");
    WriteValue(&key, u"Publisher", kPublisher);
    WriteValue(&key, u"URLInfoAbout", kUrlInfoAbout);
    CloseRegistryKey(&key);
}
