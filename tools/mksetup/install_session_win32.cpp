#include "install_session.h"

#include <objbase.h>

static bool sComStarted = false;

void BeginInstallSession() {
    // Shortcuts are made on this thread, as the Windows program makes them on its dialog's.
    sComStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

void EndInstallSession() {
    if (sComStarted) CoUninitialize();
    sComStarted = false;
}
