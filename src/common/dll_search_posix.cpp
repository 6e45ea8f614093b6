#include "common/dll_search.h"

// The dynamic loader here searches only the system's own library folders
// (and what the administrator configured); there is nothing to limit.
void LimitDllSearchToSystem() {}
