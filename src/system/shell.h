// Special folders and shell links: the Windows shell on Windows; elsewhere
// folders named by SETUP_FOLDER_* variables and our own .lnk writer. Both
// answer an HRESULT: 0 for success, a failure code otherwise (a system error
// code e as HRESULT_FROM_WIN32(e), 0x80070000 + e).
#pragma once
#include <stdint.h>

enum : int32_t {
    kCsidlDesktop = 0,
    kCsidlPrograms = 2,
    kCsidlCommonPrograms = 23,
    kCsidlAppData = 26,
    // Folders the uninstaller never removes, even when they end up empty.
    kCsidlPersonal = 5,
    kCsidlFavorites = 6,
    kCsidlStartup = 7,
    kCsidlMyMusic = 13,
    kCsidlMyVideo = 14,
    kCsidlFonts = 20,
    kCsidlTemplates = 21,
    kCsidlStartMenu = 11,
    kCsidlDesktopDirectory = 16,
    kCsidlCommonStartMenu = 22,
    kCsidlCommonStartup = 24,
    kCsidlCommonDesktop = 25,
    kCsidlLocalAppData = 28,
    kCsidlCommonAppData = 35,
    kCsidlWindows = 36,
    kCsidlSystem = 37,
    kCsidlProgramFiles = 38,
    kCsidlMyPictures = 39,
    kCsidlProfile = 40,
    kCsidlSystemX86 = 41,
    kCsidlProgramFilesX86 = 42,
    kCsidlCommonProgramFiles = 43,
    kCsidlCommonProgramFilesX86 = 44,
    kCsidlCommonTemplates = 45,
    kCsidlCommonDocuments = 46,
    kCsidlCommonMusic = 53,
    kCsidlCommonPictures = 54,
    kCsidlCommonVideo = 55
};

// The folder's file-system path, or an empty buffer (1024 places).
int32_t GetSpecialFolder(int32_t folder, char16_t* path);
// Writes a shell link with target, working directory and show command 5.
int32_t CreateShortcut(const char16_t* linkPath, const char16_t* target, const char16_t* workingDirectory);
