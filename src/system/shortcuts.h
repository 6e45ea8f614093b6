// Special folders and the shortcuts made after an installation. All silent.
#pragma once
#include <stdint.h>

struct InstallContext;

enum : int32_t {
    kCsidlDesktop = 0,
    kCsidlPrograms = 2,
    kCsidlCommonPrograms = 23,
    kCsidlAppData = 26
};

// The folder's file-system path, or an empty buffer (1024 places).
int32_t GetSpecialFolder(int32_t folder, char16_t* path);
void GetQuickLaunchFolder(char16_t* buffer, int32_t capacity);
bool HasQuickLaunchFolder();
// Writes a shell link with target, working directory and show command 5.
uint32_t CreateShortcut(const char16_t* linkPath, const char16_t* target, const char16_t* workingDirectory);
void CreateDesktopShortcut(const char16_t* target, const char16_t* name);
void CreateQuickLaunchShortcut(const char16_t* target, const char16_t* name);
void CreateGroupShortcut(const char16_t* shortcutName, const char16_t* folder, const char16_t* fileName,
                         const char16_t* groupFolder);
void CreateStartMenuGroup(const InstallContext* context);
