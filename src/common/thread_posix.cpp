#include "common/thread.h"
#include <pthread.h>
#include <stdlib.h>

namespace {
struct Start {
    ThreadRoutine routine;
    void* argument;
};
}  // namespace

static void* Trampoline(void* raw) {
    Start start = *static_cast<Start*>(raw);
    free(raw);
    start.routine(start.argument);
    return nullptr;
}

void* StartThread(ThreadRoutine routine, void* argument) {
    Start* start = static_cast<Start*>(malloc(sizeof(Start)));
    if (!start) return nullptr;
    start->routine = routine;
    start->argument = argument;
    pthread_t thread;
    if (pthread_create(&thread, nullptr, Trampoline, start) != 0) {
        free(start);
        return nullptr;
    }
    pthread_detach(thread);
    return reinterpret_cast<void*>(thread);
}
