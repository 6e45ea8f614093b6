// The install pass's per-file rules: platform folder, language, flat destination.
#pragma once
#include <stdint.h>

// context: the InstallContext of the running install.
int32_t PlaceFileCallback(char16_t* name, const uint8_t* data, uint32_t length, void* context);
