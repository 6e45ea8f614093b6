// The registry records an installation reads: the proposed destination and
// the program-files folder. A record that cannot be read is simply missing.
#include "system/registry.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "state/state.h"
#include "system/environment.h"
#include "system/registry_store.h"
#include "common/codepage.h"

const char16_t kMakerKey[] = u"Software\\Quillworks";
const char16_t kUninstallPrefix[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

namespace {

const char16_t kCurrentVersionKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion";

enum : int32_t { kCodeCapacity = 4, kNameCapacity = 32 };

void WidenProductCode(char16_t* code) {
    AnsiToWide(gState ? gState->productCode : "", code, kCodeCapacity);
}

void WidenProductName(char16_t* name) {
    AnsiToWide(gState ? gState->productName : "", name, kNameCapacity);
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
