#include "state/state.h"

InstallerState* gState = nullptr;
