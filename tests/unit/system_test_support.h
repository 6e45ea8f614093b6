// Helpers of the registry and shortcut tests: environment variables and the
// installer state for one scope, and registry values as plain strings.
#pragma once
#include <stdlib.h>
#include <string.h>

#include <string>

#include "state/state.h"
#include "system/registry_store.h"
#include "test_support.h"

namespace systest {

using test::U16;
using test::Utf8;

// Sets (or, with null, removes) one environment variable until the end of the scope.
struct ScopedVariable {
    ScopedVariable(const char* name, const char* value) : name(name) {
        const char* old = getenv(name);
        if (old) oldValue = old;
        hadOld = old != nullptr;
        if (value) setenv(name, value, 1);
        if (!value) unsetenv(name);
    }
    ~ScopedVariable() {
        if (hadOld) setenv(name.c_str(), oldValue.c_str(), 1);
        if (!hadOld) unsetenv(name.c_str());
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;
    std::string name, oldValue;
    bool hadOld = false;
};

// The installer state with a product code and name, for one scope.
struct ScopedProduct {
    ScopedProduct(const char* code, const char* name) : previous(gState) {
        memset(&state, 0, sizeof state);
        strncpy(state.productCode, code, sizeof state.productCode - 1);
        strncpy(state.productName, name, sizeof state.productName - 1);
        gState = &state;
    }
    ~ScopedProduct() { gState = previous; }
    ScopedProduct(const ScopedProduct&) = delete;
    ScopedProduct& operator=(const ScopedProduct&) = delete;
    InstallerState state;
    InstallerState* previous;
};

// Writes a value with the given byte count (default: with its terminator).
inline bool Put(RegistryRoot root, const char16_t* key, const std::u16string& name, const std::u16string& data,
                uint32_t byteCount = 0) {
    RegistryKey handle;
    if (!CreateRegistryKey(root, key, &handle)) return false;
    uint32_t bytes = byteCount ? byteCount : static_cast<uint32_t>(data.size() + 1) * 2;
    bool written = WriteRegistryString(&handle, name.c_str(), data.c_str(), bytes);
    CloseRegistryKey(&handle);
    return written;
}

// The value read with the given byte count, or "<missing>".
inline std::string Get(RegistryRoot root, const char16_t* key, const std::u16string& name,
                       uint32_t byteCount = 2048) {
    RegistryKey handle;
    if (!OpenRegistryKey(root, key, &handle)) return "<missing>";
    std::u16string buffer(byteCount / 2 + 1, u'#');
    bool found = ReadRegistryString(&handle, name.c_str(), &buffer[0], byteCount);
    CloseRegistryKey(&handle);
    return found ? Utf8(buffer.c_str()) : "<missing>";
}

// Replaces every "$T" by folder.
inline std::string Expand(std::string text, const std::string& folder) {
    for (size_t at = text.find("$T"); at != std::string::npos; at = text.find("$T", at + folder.size()))
        text.replace(at, 2, folder);
    return text;
}

}  // namespace systest
