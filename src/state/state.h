// The installer's shared records: the one process-wide state and the record of
// one install pass. A leaf header: it includes nothing of ours beyond common/.
#pragma once
#include <stdint.h>

struct Window;     // the control layer's window record (ui/window.h)
struct TextTable;  // one language's built-in texts (ui/texts.h)

enum : uint8_t {
    kPlatform32 = 1,  // the package holds entries under a top-level folder "32"
    kPlatform64 = 2   // ... under a top-level folder "64"
};

struct InstallerState {
    void* dialogIcon;
    char languageCode[8];
    const TextTable* textTable;
    char productCode[4];
    char productName[32];
    char productVersion[32];  // from the description that named the product
    char windowClass[32];
    char headerMainProgram[32];
    uint8_t platformFlags;
    char16_t languagePrefix[32];
    char16_t packagePath[1024];
};

// The one instance, valid from the first to the last step of start-up.
extern InstallerState* gState;

enum : int32_t {
    kRefusalsNamed = 5,         // entries a refusal report names
    kRefusedNamesCapacity = 600 // room for their names, each cut to fit a line
};

struct InstallContext {
    const Window* dialog;
    char16_t destination[1024];
    char16_t mainProgram[32];
    char16_t uninstaller[32];
    char16_t platformFolder[4];
    // Entries the placement left out because their names are no plain file
    // names: how many, the system code of the first and the first few names,
    // one per line. The user is told once, after the pass.
    uint32_t refusedCount;
    uint32_t refusedCode;
    char16_t refusedNames[kRefusedNamesCapacity];
    // The bytes of the files the placement wrote (the languages left out are
    // never written): the uninstall entry's size.
    uint64_t installedBytes;
};
