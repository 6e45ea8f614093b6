// The setup's command line. Without arguments the setup is exactly its dialog;
// with them an administrator presets the dialog or installs without any window:
//   /S  /D=FOLDER (last: the rest of the line)  /LANG=US,DE  /NOSTARTMENU
//   /NODESKTOP  /NOQUICKLAUNCH  /LOG=FILE  /? or /HELP
// Switches are matched without regard to case.
#pragma once
#include <stdint.h>

#include "ui/language_list.h"

struct Window;

enum : int32_t { kSwitchLanguagesMost = 32, kSwitchProblemCapacity = 1100 };

// How a setup started with switches ends. A failed write ends with its
// system error code; the damaged-package code has the bit the system leaves to
// applications (bit 29), so it is never one of the system's own codes.
enum : uint32_t { kExitInstalled = 0, kExitUsage = 2, kExitDamaged = 0x20000001u };

struct SetupSwitches {
    bool silent;  // /S
    bool help;    // /? or /HELP
    bool noStartMenu;
    bool noDesktop;
    bool noQuickLaunch;
    bool hasLanguages;
    int32_t languageCount;
    LanguageCode languages[kSwitchLanguagesMost];
    char16_t destination[1024];  // empty when not given
    char16_t logPath[1024];      // empty when not given
    char16_t problem[kSwitchProblemCapacity];  // what was not understood, for the usage
};

// switches must start zeroed. false when an argument is unknown or malformed,
// or /D= is not the last; problem then names it.
bool ParseSetupSwitches(const char16_t* commandLine, SetupSwitches* switches);
// The dialog's proposals overridden: the folder, the language ticks, the
// boxes. false when /LANG= names a language the setup does not offer.
bool ApplySetupSwitches(const Window* dialog, SetupSwitches* switches);
// The problem (if any), the switches and the exit codes, in a box (owner
// nullptr: a box of its own). Answers the exit code: kExitUsage after a
// problem, else 0.
uint32_t ShowSetupUsage(const Window* owner, const SetupSwitches* switches);
// The same text, into the buffer.
void SetupUsageText(const SetupSwitches* switches, char16_t* text, int32_t capacity);
