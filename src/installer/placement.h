// The install pass's per-file rules: platform folder, language, flat destination.
#pragma once
#include <stdint.h>

// context: the InstallContext of the running install.
int32_t PlaceFileCallback(char16_t* name, const uint8_t* data, uint32_t length, void* context);

struct InstallContext;

// One error box about the entries the pass left out, naming the first few and
// saying how many there were; nothing when there were none.
void ReportRefusedEntries(const InstallContext* install);
