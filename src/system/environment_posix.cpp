// The environment and the Windows folder away from Windows: the process
// environment, and SETUP_WINDOWS_DIR for the folder.
#include "system/environment.h"
#include "common/unicode.h"

#include <stdlib.h>
#include <string.h>

namespace {

enum : int32_t { kVariableNameCapacity = 1024 };

void ReadNativeText(const char* value, char16_t* buffer, int32_t capacity) {
    buffer[0] = 0;
    if (!value) return;
    int32_t n = DecodeUtf8(value, value + strlen(value), false, buffer, capacity - 1);
    buffer[n < 0 ? 0 : n] = 0;
}

}  // namespace

void ReadEnvironmentVariable(const char16_t* name, char16_t* buffer, int32_t capacity) {
    if (!buffer || capacity <= 0) return;
    buffer[0] = 0;
    char native[kVariableNameCapacity];
    if (!name || !EncodeUtf8(name, native, kVariableNameCapacity)) return;
    ReadNativeText(getenv(native), buffer, capacity);
}

void ReadWindowsFolder(char16_t* buffer, int32_t capacity) {
    if (!buffer || capacity <= 0) return;
    ReadNativeText(getenv("SETUP_WINDOWS_DIR"), buffer, capacity);
}
