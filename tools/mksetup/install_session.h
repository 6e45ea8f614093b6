// What an unattended install needs of the system around the installer's own
// sequence: on Windows the shell-link objects live in COM, which the Windows
// program starts at its start-up and mksetup must start itself.
#pragma once

void BeginInstallSession();
void EndInstallSession();
