#include <windows.h>
#include "common/thread.h"

void* StartThread(ThreadRoutine routine, void* argument) {
    // Same calling convention on x64; the detour through a plain function
    // pointer type keeps the compiler's cast check quiet.
    auto start = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void (*)()>(routine));
    return CreateThread(nullptr, 0, start, argument, 0, nullptr);
}
