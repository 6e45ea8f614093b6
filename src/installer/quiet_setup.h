// Setup.exe /S: the dialog's own steps, on a dialog that is never shown, with
// its proposals and the switches in place of a user's choices. No window and
// no box appears; /LOG= writes what the installation did to a file.
#pragma once
#include <stdint.h>

struct SetupSwitches;
struct Window;

// dialog: the main dialog, hidden (the model away from Windows); understood:
// the command line parsed (its problem otherwise). gState holds the package
// path and the text table. Answers the exit code (switches.h).
uint32_t RunQuietSetup(const Window* dialog, SetupSwitches* switches, bool understood);
