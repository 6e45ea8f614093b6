// No window system of the product's away from Windows: nothing runs to be closed.
#include "system/product_windows.h"

bool CloseProductWindows(const char*, uint32_t) { return true; }
