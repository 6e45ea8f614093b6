// The shortcuts made after an installation. All silent.
#pragma once
#include <stdint.h>

#include "system/shell.h"

struct InstallContext;

void GetQuickLaunchFolder(char16_t* buffer, int32_t capacity);
bool HasQuickLaunchFolder();
void CreateDesktopShortcut(const char16_t* target, const char16_t* name);
void CreateQuickLaunchShortcut(const char16_t* target, const char16_t* name);
void CreateGroupShortcut(const char16_t* shortcutName, const char16_t* folder, const char16_t* fileName,
                         const char16_t* groupFolder);
void CreateStartMenuGroup(const InstallContext* context);
