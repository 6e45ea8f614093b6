#include "installer/state.h"

InstallerState* gState = nullptr;
