#pragma once
#include <stdint.h>

typedef uint32_t (*ThreadRoutine)(void* argument);

// Starts a thread; the answer is its handle (nullptr on failure). Nobody waits for it.
void* StartThread(ThreadRoutine routine, void* argument);
